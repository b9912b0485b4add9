#include "codecs/mft_inventory.h"

#include <cstdio>
#include <set>

#include "codecs/media_guids.h"
#include "common/settings.h"

namespace tavro {
namespace {

const char kTransformsKey[] = "Software\\Classes\\MediaFoundation\\Transforms";
constexpr size_t kMaxCategoryKeys = 256;
constexpr size_t kMaxTransformsPerCategory = 4096;

uint32_t dwordOf(const RegistryValue& value) {
    if (value.type != kRegDword || value.data.size() < 4) return 0;
    return static_cast<uint32_t>(value.data[0]) | static_cast<uint32_t>(value.data[1]) << 8 |
           static_cast<uint32_t>(value.data[2]) << 16 | static_cast<uint32_t>(value.data[3]) << 24;
}

} // namespace

const std::vector<MftCategoryInfo>& mftCategories() {
    static const std::vector<MftCategoryInfo> kCategories = {
        {kMftCategoryVideoDecoder, "Video Decoder"},
        {kMftCategoryAudioDecoder, "Audio Decoder"},
        {kMftCategoryVideoEncoder, "Video Encoder"},
        {kMftCategoryAudioEncoder, "Audio Encoder"},
        {kMftCategoryVideoEffect, "Video Effect"},
        {kMftCategoryAudioEffect, "Audio Effect"},
        {kMftCategoryVideoProcessor, "Video Processor"},
        {kMftCategoryMultiplexer, "Multiplexer"},
        {kMftCategoryDemultiplexer, "Demultiplexer"},
        {kMftCategoryOther, "Other"},
    };
    return kCategories;
}

std::string mftCategoryName(const Guid& category) {
    for (const MftCategoryInfo& c : mftCategories())
        if (c.guid == category) return c.name;
    char text[39];
    formatRegistryGuid(category, text);
    return text;
}

std::string mftFlagsText(uint32_t flags) {
    static const struct {
        uint32_t bit;
        const char* text;
    } kFlags[] = {{0x01, "sync"},         {0x02, "async"}, {0x04, "hardware"},
                  {0x08, "field of use"}, {0x10, "local"}, {0x20, "transcode only"}};
    std::string text;
    uint32_t known = 0;
    for (const auto& f : kFlags) {
        known |= f.bit;
        if (!(flags & f.bit)) continue;
        if (!text.empty()) text += ", ";
        text += f.text;
    }
    if (flags & ~known) {
        char rest[24];
        std::snprintf(rest, sizeof rest, "0x%x", static_cast<unsigned>(flags & ~known));
        if (!text.empty()) text += ", ";
        text += rest;
    }
    return text;
}

std::string architectureText(int bits) {
    return bits == 32 ? "32-bit" : bits == 64 ? "64-bit" : "";
}

bool parseGuidKeyName(const std::string& text, Guid* out) {
    if (text.size() == 38) return parseRegistryGuid(text.c_str(), text.size(), out);
    if (text.size() != 36) return false;
    const std::string braced = "{" + text + "}";
    return parseRegistryGuid(braced.c_str(), braced.size(), out);
}

std::vector<MediaTypePair> parseMftTypePairs(const std::vector<uint8_t>& data, size_t limit) {
    std::vector<MediaTypePair> pairs;
    for (size_t offset = 0; data.size() - offset >= 32 && pairs.size() < limit; offset += 32)
        pairs.push_back(
            {guidFromBytes(data.data() + offset), guidFromBytes(data.data() + offset + 16)});
    return pairs;
}

bool readRegisteredMfts(RegistrySource& registry, size_t limit,
                        const std::function<void(const MftEntry&)>& visit) {
    const std::string base = kTransformsKey;
    size_t delivered = 0;
    std::vector<std::string> categories =
        registry.subkeyNames(RegistryRoot::LocalMachine, base + "\\Categories");
    if (categories.empty()) return false;
    if (categories.size() > kMaxCategoryKeys) categories.resize(kMaxCategoryKeys);
    for (const std::string& categoryName : categories) {
        Guid category;
        if (!parseGuidKeyName(categoryName, &category)) continue;
        std::vector<std::string> transforms = registry.subkeyNames(
            RegistryRoot::LocalMachine, base + "\\Categories\\" + categoryName);
        if (transforms.size() > kMaxTransformsPerCategory)
            transforms.resize(kMaxTransformsPerCategory);
        for (const std::string& clsidName : transforms) {
            if (delivered >= limit) return true;
            MftEntry entry;
            if (!parseGuidKeyName(clsidName, &entry.clsid)) continue;
            entry.category = category;
            const std::string key = base + "\\" + clsidName;
            RegistryValue value;
            if (registry.readValue(RegistryRoot::LocalMachine, key, "", &value) &&
                (value.type == kRegSz || value.type == kRegExpandSz))
                entry.name = registryText(value);
            if (registry.readValue(RegistryRoot::LocalMachine, key, "MFTFlags", &value))
                entry.flags = dwordOf(value);
            if (registry.readValue(RegistryRoot::LocalMachine, key, "InputTypes", &value) &&
                value.type == kRegBinary)
                entry.inputs = parseMftTypePairs(value.data, MftInventory::kMaxTypes);
            if (registry.readValue(RegistryRoot::LocalMachine, key, "OutputTypes", &value) &&
                value.type == kRegBinary)
                entry.outputs = parseMftTypePairs(value.data, MftInventory::kMaxTypes);
            visit(entry);
            ++delivered;
        }
    }
    return true;
}

void MftInventory::add(const MftEntry& entry, int bits, bool loadable, RegistrySource* view) {
    if (records_.size() >= kCapacity) return;
    MftRecord record{entry, bits, loadable, {}};
    char clsid[39];
    formatRegistryGuid(entry.clsid, clsid);
    record.serverFile = installedProcServerFile(view, clsid, 259);
    if (record.entry.inputs.size() > kMaxTypes) record.entry.inputs.resize(kMaxTypes);
    if (record.entry.outputs.size() > kMaxTypes) record.entry.outputs.resize(kMaxTypes);
    records_.push_back(std::move(record));
}

void MftInventory::build(const CodecSources& sources, uint32_t enableBits) {
    records_.clear();
    consulted_ = false;
    if (enableBits == 0) return;
    const int own = sources.ownBits;
    const int other = own == 64 ? 32 : own == 32 ? 64 : 0;
    const bool registryAllowed = (enableBits & kEnableRegistry) != 0;
    // A transform in two categories is two rows; the same one seen twice in
    // one category (a local and a registered copy) is one.
    std::set<std::string> seen;
    RegistrySource* ownView = registryAllowed ? sources.registry : nullptr;
    RegistrySource* otherView = registryAllowed ? sources.otherRegistry : nullptr;
    auto addOnce = [&](const MftEntry& entry, int bits, bool loadable) {
        char category[39], clsid[39];
        formatRegistryGuid(entry.category, category);
        formatRegistryGuid(entry.clsid, clsid);
        if (seen.insert(std::string(category) + clsid + std::to_string(bits)).second)
            add(entry, bits, loadable, bits == own ? ownView : otherView);
    };
    if (sources.mft && sources.mft->available()) {
        consulted_ = true;
        for (const MftCategoryInfo& category : mftCategories())
            sources.mft->enumTransforms(category.guid, [&](const MftEntry& entry) {
                MftEntry e = entry;
                // Activation objects may omit the category they were asked for.
                if (e.category == kNullGuid) e.category = category.guid;
                addOnce(e, own, true);
            });
    } else if (sources.registry && registryAllowed) {
        consulted_ = readRegisteredMfts(*sources.registry, kCapacity,
                                        [&](const MftEntry& e) { addOnce(e, own, false); });
    }
    if (sources.otherRegistry && registryAllowed)
        readRegisteredMfts(*sources.otherRegistry, kCapacity,
                           [&](const MftEntry& e) { addOnce(e, other, false); });
}

} // namespace tavro
