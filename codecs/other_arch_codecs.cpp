#include "codecs/other_arch_codecs.h"

#include <cstdio>

#include "codecs/codec_source.h"
#include "codecs/media_guids.h"
#include "codecs/mft_inventory.h"
#include "common/fourcc_text.h"
#include "common/settings.h"

namespace tavro {
namespace {

constexpr size_t kLimit = 1000;
constexpr size_t kMaxDmosPerCategory = 1024;
const char kDrivers32[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const char kMediaObjects[] = "Software\\Classes\\DirectShow\\MediaObjects";

bool startsWithNoCase(const std::string& text, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || asciiLower(text[i]) != asciiLower(prefix[i])) return false;
    return true;
}

// The key a stream would be looked up by: the first input subtype that names
// a FourCC (video) or a format tag (audio).
std::string keyOfInputs(const std::vector<MediaTypePair>& inputs, bool video) {
    for (const MediaTypePair& p : inputs) {
        if (!hasFourccTail(p.subtype)) continue;
        const bool tag = p.subtype.Data1 <= 0xFFFF;
        if (video && !tag) {
            char text[5];
            fourccText(p.subtype.Data1, text);
            for (char* c = text; *c; ++c)
                *c = asciiUpper(*c);
            return text;
        }
        if (!video && tag) {
            char text[8];
            std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(p.subtype.Data1));
            return text;
        }
    }
    return {};
}

void readDmos(RegistrySource& registry, int bits, const Guid& category, bool video,
              std::vector<OtherArchCodec>& out) {
    char text[39];
    formatRegistryGuid(category, text);
    const std::string categoryKey =
        std::string(kMediaObjects) + "\\Categories\\" + std::string(text + 1, 36);
    std::vector<std::string> clsids = registry.subkeyNames(RegistryRoot::LocalMachine, categoryKey);
    if (clsids.size() > kMaxDmosPerCategory) clsids.resize(kMaxDmosPerCategory);
    for (const std::string& clsid : clsids) {
        Guid parsed;
        if (out.size() >= kLimit) return;
        if (!parseGuidKeyName(clsid, &parsed)) continue;
        OtherArchCodec c;
        c.bits = bits;
        c.source = kSourceDmo;
        c.video = video;
        const std::string key = std::string(kMediaObjects) + "\\" + clsid;
        RegistryValue value;
        if (registry.readValue(RegistryRoot::LocalMachine, key, "", &value) &&
            (value.type == kRegSz || value.type == kRegExpandSz))
            c.name = registryText(value);
        if (registry.readValue(RegistryRoot::LocalMachine, key, "InputTypes", &value) &&
            value.type == kRegBinary)
            c.key = keyOfInputs(parseMftTypePairs(value.data, MftInventory::kMaxTypes), video);
        char braced[39];
        formatRegistryGuid(parsed, braced);
        c.file = installedProcServerFile(&registry, braced, 259);
        out.push_back(std::move(c));
    }
}

void readDrivers32(RegistrySource& registry, int bits, std::vector<OtherArchCodec>& out) {
    for (const RegistryValue& v : registry.values(RegistryRoot::LocalMachine, kDrivers32)) {
        if (out.size() >= kLimit) return;
        if (v.type != kRegSz && v.type != kRegExpandSz) continue;
        OtherArchCodec c;
        c.bits = bits;
        c.name = v.name;
        c.file = registryText(v);
        if (startsWithNoCase(v.name, "vidc.") && v.name.size() > 5) {
            c.source = kSourceVfw;
            c.video = true;
            for (size_t i = 5; i < v.name.size() && i < 9; ++i)
                c.key += asciiUpper(v.name[i]);
        } else if (startsWithNoCase(v.name, "msacm.")) {
            c.source = kSourceAcm;
        } else {
            continue;
        }
        out.push_back(std::move(c));
    }
}

uint32_t readU32(const std::vector<uint8_t>& d, size_t at) {
    return static_cast<uint32_t>(d[at]) | static_cast<uint32_t>(d[at + 1]) << 8 |
           static_cast<uint32_t>(d[at + 2]) << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

// A GUID stored at `offset`, when all 16 bytes are inside the value.
bool guidAt(const std::vector<uint8_t>& d, uint32_t offset, Guid* out) {
    if (offset > d.size() || d.size() - offset < 16) return false;
    *out = guidFromBytes(d.data() + offset);
    return true;
}

// The filters a player's graph would pick as decoders: merit at least
// "normal" and a compressed input and an output of the same major type.
constexpr uint32_t kDecoderMerit = 0x600000;
constexpr char kFilterInstances[] =
    "Software\\Classes\\CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance";

void readFilters(RegistrySource& registry, int bits, bool wantVideo, bool wantAudio,
                 std::vector<OtherArchCodec>& out) {
    std::vector<std::string> clsids =
        registry.subkeyNames(RegistryRoot::LocalMachine, kFilterInstances);
    if (clsids.size() > kLimit) clsids.resize(kLimit);
    for (const std::string& clsid : clsids) {
        if (out.size() >= kLimit) return;
        const std::string key = std::string(kFilterInstances) + "\\" + clsid;
        RegistryValue value;
        FilterDataInfo info;
        if (!registry.readValue(RegistryRoot::LocalMachine, key, "FilterData", &value) ||
            value.type != kRegBinary || !parseFilterData(value.data, &info) ||
            info.merit < kDecoderMerit)
            continue;
        std::vector<MediaTypePair> inputs;
        bool videoOut = false, audioOut = false;
        for (const FilterPin& pin : info.pins)
            for (const MediaTypePair& t : pin.types) {
                if (!pin.output) inputs.push_back(t);
                if (pin.output && t.major == kMediaTypeVideo) videoOut = true;
                if (pin.output && t.major == kMediaTypeAudio) audioOut = true;
            }
        bool videoIn = false, audioIn = false;
        for (const MediaTypePair& t : inputs) {
            videoIn = videoIn || t.major == kMediaTypeVideo;
            audioIn = audioIn || t.major == kMediaTypeAudio;
        }
        const bool video = videoIn && videoOut, audio = audioIn && audioOut;
        if (!(video && wantVideo) && !(audio && wantAudio)) continue;
        OtherArchCodec c;
        c.bits = bits;
        c.source = kSourceDirectShow;
        c.video = video && wantVideo;
        if (registry.readValue(RegistryRoot::LocalMachine, key, "FriendlyName", &value) &&
            (value.type == kRegSz || value.type == kRegExpandSz))
            c.name = registryText(value);
        c.key = keyOfInputs(inputs, c.video);
        c.file = installedProcServerFile(&registry, clsid, 259);
        out.push_back(std::move(c));
    }
}

bool hasPrefixNoCase(const std::string& text, const std::string& prefix) {
    return !prefix.empty() && startsWithNoCase(text, prefix.c_str());
}

void readVersions(const CodecSources& sources, std::vector<OtherArchCodec>& codecs) {
    if (!sources.files) return;
    for (OtherArchCodec& c : codecs) {
        const std::string path =
            otherArchitecturePath(c.file, sources.systemDir, sources.otherSystemDir);
        if (path.empty() || !sources.files->readVersionStrings(path, &c.version)) c.version.clear();
    }
}

} // namespace

bool parseFilterData(const std::vector<uint8_t>& d, FilterDataInfo* out) {
    constexpr uint32_t kMaxPins = 64, kMaxTypes = 64, kMaxMediums = 64;
    if (d.size() < 16 || readU32(d, 0) != 2) return false;
    FilterDataInfo info;
    info.merit = readU32(d, 4);
    const uint32_t pins = readU32(d, 8);
    if (pins > kMaxPins) return false;
    size_t at = 16;
    for (uint32_t p = 0; p < pins; ++p) {
        // Pin: signature, flags, instances, media types, mediums, category offset.
        if (d.size() - at < 24) return false;
        FilterPin pin;
        pin.output = (readU32(d, at + 4) & 0x8) != 0;
        const uint32_t types = readU32(d, at + 12);
        const uint32_t mediums = readU32(d, at + 16);
        const bool category = readU32(d, at + 20) != 0;
        if (types > kMaxTypes || mediums > kMaxMediums) return false;
        at += 24;
        for (uint32_t t = 0; t < types; ++t) {
            // Type: signature, unused, major offset, subtype offset.
            if (d.size() - at < 16) return false;
            MediaTypePair pair;
            if (!guidAt(d, readU32(d, at + 8), &pair.major) ||
                !guidAt(d, readU32(d, at + 12), &pair.subtype))
                return false;
            pin.types.push_back(pair);
            at += 16;
        }
        const size_t rest = static_cast<size_t>(mediums) * 4 + (category ? 4 : 0);
        if (d.size() - at < rest) return false;
        at += rest;
        info.pins.push_back(std::move(pin));
    }
    *out = std::move(info);
    return true;
}

std::string otherArchitecturePath(const std::string& file, const std::string& systemDir,
                                  const std::string& otherSystemDir) {
    if (file.empty() || otherSystemDir.empty()) return {};
    if (file.find('\\') == std::string::npos && file.find('/') == std::string::npos)
        return otherSystemDir + "\\" + file;
    std::vector<std::string> prefixes = {"%SystemRoot%\\System32\\", "%windir%\\System32\\"};
    if (!systemDir.empty()) prefixes.push_back(systemDir + "\\");
    for (const std::string& prefix : prefixes)
        if (hasPrefixNoCase(file, prefix))
            return otherSystemDir + "\\" + file.substr(prefix.size());
    return file;
}

std::vector<OtherArchCodec> readOtherArchitectureCodecs(const CodecSources& sources,
                                                        uint32_t enableBits) {
    std::vector<OtherArchCodec> out;
    if (!sources.otherRegistry || !(enableBits & kEnableRegistry)) return out;
    const int bits = sources.ownBits == 64 ? 32 : sources.ownBits == 32 ? 64 : 0;
    RegistrySource& registry = *sources.otherRegistry;
    if (enableBits & kEnableVfw || enableBits & kEnableAcm) {
        std::vector<OtherArchCodec> drivers;
        readDrivers32(registry, bits, drivers);
        for (OtherArchCodec& d : drivers)
            if ((d.source == kSourceVfw && (enableBits & kEnableVfw)) ||
                (d.source == kSourceAcm && (enableBits & kEnableAcm)))
                out.push_back(std::move(d));
    }
    if (enableBits & kEnableDirectShow) readFilters(registry, bits, true, true, out);
    if (enableBits & kEnableDmo) {
        readDmos(registry, bits, kDmoCategoryVideoDecoder, true, out);
        readDmos(registry, bits, kDmoCategoryAudioDecoder, false, out);
    }
    if (enableBits & kEnableDriverFiles) readVersions(sources, out);
    return out;
}

} // namespace tavro
