// The Media Foundation transforms a player can use: those this process's Media
// Foundation enumerates, and those the registry holds for the other
// architecture, which this process can list but never load.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/codec_sources.h"

namespace tavro {

struct MftRecord {
    MftEntry entry;
    int bits = 0;           // the architecture whose programs can load it; 0 unknown
    bool loadable = false;  // enumerated by this process's Media Foundation
    std::string serverFile; // InprocServer32 in the view of its architecture
};

struct MftCategoryInfo {
    Guid guid;
    const char* name;
};

// The transform categories the inventory asks about, decoders first.
const std::vector<MftCategoryInfo>& mftCategories();
// "Video Decoder", ...; the GUID text for a category we do not know.
std::string mftCategoryName(const Guid& category);
// "sync, hardware"; empty for no flags.
std::string mftFlagsText(uint32_t flags);
// "32-bit", "64-bit" or "".
std::string architectureText(int bits);

// A registry GUID with or without braces ("d6c02d4b-6833-..." as the
// transform keys are named).
bool parseGuidKeyName(const std::string& text, Guid* out);

// The {major, subtype} pairs of an InputTypes/OutputTypes value: 32 bytes
// each, a trailing part of a pair ignored, at most `limit` pairs.
std::vector<MediaTypePair> parseMftTypePairs(const std::vector<uint8_t>& data, size_t limit);

// Reads MediaFoundation\Transforms\Categories and each listed transform's key
// below HKLM\Software\Classes of `registry`'s view. `visit` gets each
// (category, transform) once; at most `limit` of them. False when the system has
// no transform categories registered at all (no Media Foundation).
bool readRegisteredMfts(RegistrySource& registry, size_t limit,
                        const std::function<void(const MftEntry&)>& visit);

class MftInventory {
  public:
    static constexpr size_t kCapacity = 2000;
    static constexpr size_t kMaxTypes = 256; // per direction and transform

    // Own architecture through `sources.mft` (the own registry view when Media
    // Foundation cannot be asked), then the other architecture's registrations.
    void build(const CodecSources& sources, uint32_t enableBits);

    const std::vector<MftRecord>& records() const { return records_; }
    // Media Foundation or the registry was asked: an empty list then means none.
    bool consulted() const { return consulted_; }
    const MftRecord* at(int index) const {
        return index >= 0 && static_cast<size_t>(index) < records_.size() ? &records_[index]
                                                                          : nullptr;
    }

  private:
    void add(const MftEntry& entry, int bits, bool loadable, RegistrySource* view);

    std::vector<MftRecord> records_;
    bool consulted_ = false;
};

} // namespace tavro
