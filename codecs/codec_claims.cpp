#include "codecs/codec_claims.h"

#include <cstdio>

#include "codecs/codec_source.h"
#include "codecs/media_guids.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

uint32_t upperFourcc(uint32_t code) {
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        out |= static_cast<uint32_t>(static_cast<uint8_t>(asciiUpper(c))) << (8 * i);
    }
    return out;
}

// A subtype GUID names a key when it is the FourCC base GUID carrying it. FourCCs
// compare without case: decoders register "XVID" and "xvid" alike.
bool subtypeNames(const Guid& subtype, uint32_t key, bool video) {
    if (!hasFourccTail(subtype)) return false;
    if (video) return subtype.Data1 > 0xFFFF && upperFourcc(subtype.Data1) == upperFourcc(key);
    return subtype.Data1 == key;
}

bool inputsName(const std::vector<MediaTypePair>& inputs, uint32_t key, bool video) {
    for (const MediaTypePair& p : inputs)
        if (subtypeNames(p.subtype, key, video)) return true;
    return false;
}

std::string keyText(uint32_t key, bool video) {
    if (video) {
        char text[5];
        fourccText(upperFourcc(key), text);
        return text;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(key & 0xFFFF));
    return text;
}

const char* otherArchKind(int32_t source) {
    switch (source) {
    case kSourceVfw:
        return "VfW driver";
    case kSourceAcm:
        return "ACM driver";
    case kSourceDmo:
        return "DMO";
    case kSourceDirectShow:
        return "DirectShow filter";
    default:
        return "codec";
    }
}

std::vector<CodecClaim> claims(const CodecInventories& inventories,
                               const std::vector<uint32_t>& keys, bool video, size_t limit) {
    std::vector<CodecClaim> out;
    if (inventories.mft) {
        for (const MftRecord& r : inventories.mft->records()) {
            if (out.size() >= limit) return out;
            bool named = false;
            for (uint32_t key : keys)
                named = named || inputsName(r.entry.inputs, key, video);
            if (!named) continue;
            out.push_back(
                {"Media Foundation transform", r.entry.name, r.serverFile, r.bits, r.loadable});
        }
    }
    if (inventories.otherArch) {
        for (const OtherArchCodec& c : *inventories.otherArch) {
            if (out.size() >= limit) return out;
            if (c.video != video || c.key.empty()) continue;
            bool named = false;
            for (uint32_t key : keys)
                named = named || equalsNoCase(c.key, keyText(key, video));
            if (named) out.push_back({otherArchKind(c.source), c.name, c.file, c.bits, false});
        }
    }
    return out;
}

} // namespace

std::vector<CodecClaim> videoCodecClaims(const CodecInventories& inventories,
                                         const std::vector<uint32_t>& fourccs, size_t limit) {
    return claims(inventories, fourccs, true, limit);
}

std::vector<CodecClaim> audioCodecClaims(const CodecInventories& inventories,
                                         const std::vector<uint16_t>& tags, size_t limit) {
    return claims(inventories, std::vector<uint32_t>(tags.begin(), tags.end()), false, limit);
}

} // namespace tavro
