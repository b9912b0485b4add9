#include "render/mf_play_test.h"

#include <cstdio>

#include "codecs/media_guids.h"
#include "common/fourcc_text.h"
#include "render/render_fields.h"
#include "render/render_guids.h"

namespace tavro {
namespace {

// What a system without Media Foundation answers for its classes.
constexpr int32_t kClassNotRegistered = static_cast<int32_t>(0x80040154);

bool isBaseGuid(const Guid& g) {
    return hasFourccTail(g);
}

// WAVE_FORMAT_IEEE_FLOAT as a subtype.
constexpr Guid kSubtypeFloat{
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Braces would start links and "~" break lines in an explanation.
std::string markupSafeText(std::string text) {
    for (char& c : text)
        c = c == '{' ? '(' : c == '}' ? ')' : c == '~' ? '-' : c;
    return text;
}

// Already decoded: Media Foundation's uncompressed video (the D3D format codes
// below 256, NV12 and the YUV FourCCs DirectShow also knows) and PCM or float audio.
bool needsNoDecoder(const Guid& major, const Guid& subtype) {
    if (major == kMediaTypeAudio) return subtype == kMediaSubtypePcm || subtype == kSubtypeFloat;
    if (major != kMediaTypeVideo) return false;
    if (isBaseGuid(subtype) && subtype.Data1 < 256) return true;
    return subtype == fourccSubtype('N', 'V', '1', '2') ||
           subtype == fourccSubtype('I', '4', '2', '0') || isUncompressedVideo(major, subtype);
}

std::string kindText(const Guid& major) {
    if (major == kMediaTypeVideo) return "Video";
    if (major == kMediaTypeAudio) return "Audio";
    return "Other";
}

std::string subtypeText(const CodecDatabase* db, const Guid& subtype) {
    if (subtype == kNullGuid) return "unknown type";
    // The data base's name when it has one (it gives the GUID text when not).
    std::string name = mediaSubtypeName(db, subtype);
    if (!name.empty() && name[0] != '{') return name;
    // Media Foundation's own subtypes: a wave format tag or a D3D format code,
    // else a FourCC, in the base GUID's first field.
    if (isBaseGuid(subtype)) {
        char code[16];
        if (subtype.Data1 < 0x10000) {
            std::snprintf(code, sizeof code, "0x%04x", static_cast<unsigned>(subtype.Data1));
            return code;
        }
        fourccText(subtype.Data1, code);
        return code;
    }
    char text[39];
    formatRegistryGuid(subtype, text);
    return text;
}

const char* stageText(MfPlayStage stage) {
    switch (stage) {
    case MfPlayStage::Startup:
        return "Media Foundation could not be started on this system";
    case MfPlayStage::Resolver:
        return "Media Foundation's source resolver could not be created";
    case MfPlayStage::OpenSource:
        return "Media Foundation found no media source that opens this file";
    case MfPlayStage::Presentation:
        return "the media source could not describe the file's streams";
    case MfPlayStage::Cancelled:
        return "the test was cancelled before Media Foundation answered";
    default:
        return "";
    }
}

} // namespace

MfPlayOutcome runMfPlayTest(MfPlayer* player, const std::string& path, const CodecDatabase* db) {
    MfPlayOutcome out;
    if (player) {
        out.hr = player->describeFile(path, kMfMaxStreams, &out.description);
    } else {
        out.description.failedAt = MfPlayStage::Startup;
        out.hr = out.description.hr = kClassNotRegistered;
    }
    bool allDecodable = out.hr == 0;
    for (const MfStreamFacts& s : out.description.streams) {
        MfStreamVerdict v;
        v.kind = kindText(s.major);
        v.subtype = subtypeText(db, s.subtype);
        const bool media = s.major == kMediaTypeVideo || s.major == kMediaTypeAudio;
        v.needsDecoder = media && !needsNoDecoder(s.major, s.subtype);
        if (v.needsDecoder && !s.decoders.empty()) {
            const MfDecoderFound& d = s.decoders.front();
            if (d.name.empty()) {
                char clsid[39];
                formatRegistryGuid(d.clsid, clsid);
                v.decoder = clsid;
            } else {
                v.decoder = d.name;
            }
        }
        v.text = v.kind + ": " + v.subtype + " -> ";
        if (!media)
            v.text += "not played";
        else if (!v.needsDecoder)
            v.text += "no decoder needed";
        else if (!v.decoder.empty())
            v.text += v.decoder;
        else
            v.text += "no decoder accepts it";
        // Only the streams a player would play by default must decode.
        if (media && v.needsDecoder && v.decoder.empty() && s.selected) allDecodable = false;
        out.streams.push_back(std::move(v));
    }
    if (out.hr == 0 && !allDecodable) out.hr = kMfCodecNotFound;
    if (out.hr == 0 && out.description.streams.empty()) out.hr = kMfCodecNotFound;
    out.result = out.hr == 0 ? 1 : -1;
    out.errorText = renderErrorText(db, out.hr, &out.matchedError);
    return out;
}

std::string mfPlayStatusText(const MfPlayOutcome& outcome) {
    if (outcome.result == 0) return "";
    return renderStatusText(outcome.hr, outcome.errorText);
}

std::string explainMfPlay(const MfPlayOutcome& outcome, const std::string& disabledReason) {
    std::string text = "This section tries the file the way players built on Media Foundation "
                       "(the system's own player, browsers and most newer applications) would "
                       "open it: through Media Foundation's source resolver, then a decoder "
                       "for each stream.~~ ";
    if (!disabledReason.empty() || outcome.result == 0)
        return text + "The Media Foundation test is currently disabled for the reason shown in "
                      "its status. ";
    const MfPlayStage stage = outcome.description.failedAt;
    if (stage != MfPlayStage::None) {
        text += "In this case " + std::string(stageText(stage)) +
                ". The error returned is as follows:~~ " + markupSafeText(outcome.errorText);
        return text;
    }
    text += "Media Foundation opened the file and found " +
            std::to_string(outcome.description.streamCount) +
            (outcome.description.streamCount == 1 ? " stream:" : " streams:");
    for (const MfStreamVerdict& v : outcome.streams)
        text += "~ " + markupSafeText(v.text);
    if (outcome.result == 1)
        text += "~~ Every stream it would play has a decoder or needs none, so these players "
                "should play the file.";
    else
        text += "~~ A stream it would play has no decoder that accepts it: " +
                markupSafeText(outcome.errorText);
    return text;
}

} // namespace tavro
