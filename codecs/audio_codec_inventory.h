// The audio decoders this machine offers through ACM drivers, DirectShow filters
// and DMOs, with the ACM registry's priority and disabled state of each driver.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "codecs/codec_source.h"
#include "codecs/codec_sources.h"
#include "codecs/version_strings.h"

namespace tavro {

struct AudioCodecRecord {
    int32_t source; // CodecSource; 0 ends the table
    char clsidText[39];
    char driverFile[260];
    char dshowDriverFile[260]; // the server file of a DirectShow entry merged into this record
    int32_t missing;
    // For DirectShow and DMO records the text fields hold the file's version texts.
    AcmDriverDetails driverDetails;
    AcmFormatTagDetails formatTagDetails;
    VersionStrings version; // filled only by the ACM registry walk
    int32_t link;           // index of a related record, -1 for none
    int32_t disabled;       // disabled in the ACM priority list
    int32_t priority;

    uint32_t formatTag() const { return formatTagDetails.dwFormatTag; }
    const char* formatName() const { return formatTagDetails.szFormatTag; }
};

class AudioCodecInventory {
  public:
    static constexpr int kCapacity = 300;

    static std::unique_ptr<AudioCodecInventory> create(int capacity = kCapacity);

    bool build(const CodecSources& sources, uint32_t enableBits);

    // First record whose format tag printed as "0x%04x" equals `tagText`, ignoring case.
    int find(const char* tagText) const;
    // First record whose format name is exactly `name`.
    int findByName(const char* name) const;

    int count() const { return count_; }
    const AudioCodecRecord& record(int index) const { return records_[index]; }
    const AudioCodecRecord* at(int index) const {
        return index >= 0 && index < count_ ? &records_[index] : nullptr;
    }

  private:
    AudioCodecInventory(int capacity, std::unique_ptr<AudioCodecRecord[]> records);
    AudioCodecRecord* newRecord();
    void addAcmDrivers();
    void applyDriverCache();
    void applyAlias(const std::string& alias);
    void addDirectShow();
    void addMoniker(PropertyBag* bag, int32_t link);
    void scanFilterData(int index);
    void addDmos();

    const CodecSources* sources_ = nullptr;
    uint32_t bits_ = 0;
    int capacity_;
    int count_ = 0;
    int32_t currentSource_ = kSourceNone;
    int32_t mpegLink_ = -1; // only meaningful while building
    std::unique_ptr<AudioCodecRecord[]> records_;
};

int findInstalledAudioCodec(const AudioCodecInventory* inventory, const char* tagText);
int findAudioRecordByName(const AudioCodecInventory* inventory, const char* name);

// The ACM priority list entry for a driver alias: its "PriorityN" number and
// whether the user disabled it. Exposed for the tests of its parsing.
struct AcmPriority {
    int32_t priority = 0;
    bool disabled = false;
};
AcmPriority acmPriorityOf(const std::vector<RegistryValue>& priorityValues,
                          const std::string& alias);

// The tags of an "aFormatTagCache" value: 8-byte items, first 4 bytes the tag;
// no more than `count`, than the value holds, or than 10.
std::vector<uint32_t> acmCachedTags(const std::vector<uint8_t>& cache, uint32_t count);

} // namespace tavro
