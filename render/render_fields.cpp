#include "render/render_fields.h"

#include <cstdio>
#include <cstring>

#include "codecs/guid_display_name.h"
#include "codecs/text_field.h"
#include "common/fourcc_text.h"
#include "render/render_guids.h"
#include "render/render_test.h"

namespace tavro {
namespace {

const char* const kRenderedText = "File rendered successfully; no errors reported   (details...)";
constexpr size_t kStatusPrefix = 60;

const FilterRecord* recordAt(const FilterTable& table, int index) {
    return index >= 0 ? table.at(index) : nullptr;
}

// The installed video codec record of a FourCC made from the subtype's first field.
int findByFirstField(const VideoCodecInventory* video, const Guid& subtype) {
    char fourcc[5];
    fourccText(subtype.Data1, fourcc);
    return findInstalledVideoCodec(video, fourcc);
}

} // namespace

int matchVideoCodec(const FilterRecord& filter, const VideoCodecInventory* video) {
    if (!video) return -1;
    if (filter.clsid == kClsidAviDec) {
        const int found = findByFirstField(video, filter.input.subtype);
        if (found >= 0) return found;
    }
    const int n = video->count() < VideoCodecInventory::kCapacity ? video->count()
                                                                  : VideoCodecInventory::kCapacity;
    for (int i = 0; i < n; ++i) {
        const VideoCodecRecord& r = video->record(i);
        if (r.source == kSourceNone) break;
        if (std::strcmp(r.friendlyName, filter.name) == 0) return i;
    }
    return -1;
}

int matchAudioCodec(const FilterRecord& filter, const AudioCodecInventory* audio) {
    if (!audio) return -1;
    int found = findAudioRecordByName(audio, filter.name);
    if (found < 0 && filter.clsid == kClsidAcmWrapper) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "0x%04x", static_cast<unsigned>(filter.input.subtype.Data1));
        found = findInstalledAudioCodec(audio, tag);
    }
    return found;
}

void matchDecoderCodecs(FilterTable& table, const FilterRoles& roles, const CodecDatabase* db,
                        const VideoCodecInventory* video, const AudioCodecInventory* audio) {
    if (roles.videoDecoder >= 0) {
        FilterRecord& decoder = table.records[roles.videoDecoder];
        if (db) {
            char unused[1];
            guidDisplayName(*db, decoder.input.subtype, unused, sizeof unused,
                            GuidNameOptions{true, true}, decoder.primaryFourcc);
        }
        decoder.videoCodecIndex = matchVideoCodec(decoder, video);
    }
    if (roles.audioDecoder >= 0) {
        FilterRecord& decoder = table.records[roles.audioDecoder];
        decoder.audioCodecIndex = matchAudioCodec(decoder, audio);
    }
}

std::string mediaSubtypeName(const CodecDatabase* db, const Guid& subtype) {
    if (subtype == kNullGuid) return "";
    if (!db) {
        char text[39];
        formatRegistryGuid(subtype, text);
        return text;
    }
    char name[128];
    guidDisplayName(*db, subtype, name, sizeof name, GuidNameOptions{false, true});
    return name;
}

RenderFieldTexts renderFieldTexts(const FilterTable& table, const FilterRoles& roles,
                                  const CodecDatabase* db, const VideoCodecInventory* video,
                                  const AudioCodecInventory* audio) {
    RenderFieldTexts out;
    const FilterRecord* splitter = recordAt(table, roles.splitter);
    const FilterRecord* audioRenderer = recordAt(table, roles.audioRenderer);
    const FilterRecord* videoRenderer = recordAt(table, roles.videoRenderer);
    auto splitterFeeds = [&](const FilterRecord* renderer) {
        return splitter && renderer &&
               (splitter->feeds(*renderer) || splitter->feeds(*renderer, true));
    };

    if (const FilterRecord* decoder = recordAt(table, roles.audioDecoder)) {
        const AudioCodecRecord* codec = audio ? audio->at(decoder->audioCodecIndex) : nullptr;
        std::string text = decoder->name;
        if (decoder->clsid == kClsidAcmWrapper && codec && codec->formatName()[0])
            text = std::string("ACM Wrapper -> ") + codec->formatName();
        if (const FilterRecord* pre = recordAt(table, roles.audioPreFilter))
            text = std::string(pre->name) + " --> " + text;
        if (const FilterRecord* post = recordAt(table, roles.audioPostFilter))
            text += std::string("-->") + post->name;
        out.audioCodec = {text, roles.audioDecoder};
        out.audioMedia.text = mediaSubtypeName(db, decoder->input.subtype);
    } else if (splitterFeeds(audioRenderer)) {
        out.audioCodec = {std::string("[ handled by ") + splitter->name + " ]", roles.splitter};
    }

    if (const FilterRecord* decoder = recordAt(table, roles.videoDecoder)) {
        const VideoCodecRecord* codec = video ? video->at(decoder->videoCodecIndex) : nullptr;
        std::string text;
        // Keyed on the VfW compressor's class, as the program always has been.
        if (decoder->clsid == kClsidAviCo && codec && codec->friendlyName[0]) {
            text = std::string("CLSID_AVICo wrapper -> ") + codec->friendlyName;
        } else if (const FilterRecord* pre = recordAt(table, roles.videoPreFilter)) {
            text = std::string(pre->name) + " --> " + decoder->name;
        } else {
            text = decoder->name;
        }
        if (const FilterRecord* post = recordAt(table, roles.videoPostFilter))
            text += std::string("-->") + post->name;
        out.videoCodec = {text, roles.videoDecoder};
        out.videoMedia.text = mediaSubtypeName(db, decoder->input.subtype);
    } else if (splitterFeeds(videoRenderer)) {
        out.videoCodec = {std::string("[ handled by ") + splitter->name + " ]", roles.splitter};
    }

    if (splitter) {
        const FilterRecord* extra = recordAt(table, roles.extra);
        out.splitter = {extra ? std::string(splitter->name) + " / " + extra->name
                              : std::string(splitter->name),
                        roles.splitter};
    }
    const FilterRecord* source = recordAt(table, roles.source);
    if (source && source->present())
        out.sourceMedia = {mediaSubtypeName(db, source->output1.subtype), roles.source};
    return out;
}

std::string renderStatusText(int32_t result, const std::string& errorText) {
    if (result == 0) return kRenderedText;
    return errorText.substr(0, kStatusPrefix) + "...   (more)";
}

std::string renderErrorText(const CodecDatabase* db, int32_t result,
                            const CodecDatabaseEntry** matched) {
    std::string text;
    const CodecDatabaseEntry* entry = nullptr;
    if (db) {
        entry = db->resultCodeText(static_cast<uint32_t>(result), &text);
    } else {
        char code[32];
        std::snprintf(code, sizeof code, "0x%08x: [unknown]", static_cast<unsigned>(result));
        text = code;
    }
    // Cancelled by the user: a code no data base lists, said in words.
    if (!entry && result == kRenderCancelled)
        text = "0x800704c7: ERROR_CANCELLED - Render test cancelled with ESC before "
               "DirectShow finished building the graph.";
    if (matched) *matched = entry;
    if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
    return text;
}

} // namespace tavro
