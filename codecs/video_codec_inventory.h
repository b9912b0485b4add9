// The video decoders this machine offers through DirectShow filters, VfW drivers
// and DMOs, gathered once per run and searched by FourCC.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/codec_database.h"
#include "codecs/codec_source.h"
#include "codecs/codec_sources.h"
#include "codecs/guid.h"
#include "codecs/version_strings.h"

namespace tavro {

struct VideoCodecRecord {
    int32_t source;   // CodecSource; 0 ends the table
    char fourcc[128]; // upper case
    char name[128];
    int32_t missing; // the driver file could not be found
    char friendlyName[128];
    char clsidText[128];
    char associatedFile[128]; // in-process server of clsidText (DMOs: the DMO wrapper's file)
    Guid subtypes[16];        // null after the last one
    char vfwName[128];
    char vfwDescription[128];
    char vfwDriver[128]; // DMOs: the DMO's own server file
    VersionStrings version;
};

class VideoCodecInventory {
  public:
    static constexpr int kCapacity = 200;

    // A zero-filled table; null when it cannot be allocated.
    static std::unique_ptr<VideoCodecInventory> create(int capacity = kCapacity);

    // Fills the table from the sources `enableBits` allows. Always succeeds.
    bool build(const CodecSources& sources, uint32_t enableBits, const CodecDatabase& db);
    // Only the DMO step, over any DMO category (the audio inventory borrows it).
    void addDmoDecoders(const CodecSources& sources, uint32_t enableBits, const Guid& category);

    // Index of the codec for a FourCC text, -1 when none; DMOs are preferred, then
    // DirectShow filters, then VfW-backed entries, then filters that list the
    // FourCC as a registered subtype, then anything.
    int find(const char* fourcc) const;
    // Every record that decodes the FourCC, in the order `find` prefers them.
    std::vector<int> findAll(const char* fourcc) const;

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    const VideoCodecRecord& record(int index) const { return records_[index]; }
    const VideoCodecRecord* at(int index) const {
        return index >= 0 && index < count_ ? &records_[index] : nullptr;
    }

  private:
    VideoCodecInventory(int capacity, std::unique_ptr<VideoCodecRecord[]> records);
    void addMoniker(PropertyBag* bag, int32_t source);
    void addDmos(const Guid& category);
    void scanFilterData(VideoCodecRecord& rec);
    void readDriverVersion(VideoCodecRecord& rec, const char* path, bool missingTest);
    void completeFourccs();

    const CodecSources* sources_ = nullptr;
    const CodecDatabase* db_ = nullptr; // only while building
    uint32_t bits_ = 0;
    int capacity_;
    int count_ = 0;
    std::unique_ptr<VideoCodecRecord[]> records_;
};

// The search over a published inventory; -1 when there is none.
int findInstalledVideoCodec(const VideoCodecInventory* inventory, const char* fourcc);

} // namespace tavro
