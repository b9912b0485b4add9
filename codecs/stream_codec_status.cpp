#include "codecs/stream_codec_status.h"

#include <cstdio>

#include "analysis/streams/codec_family.h"
#include "common/fourcc_text.h"

namespace tavro {

const char kNoCodecKeyText[] = "Not Checked: no Windows codec ID for this format";

namespace {

bool isLookupKind(StreamKind kind) {
    return kind == StreamKind::video || kind == StreamKind::audio;
}

// Needs no decoder: a video key whose data base remark says so, or audio tag 1 (PCM).
bool needsNoCodec(StreamKind kind, uint32_t key, const std::string& text, const CodecDatabase& db) {
    if (kind == StreamKind::audio) return key == 0x0001;
    const CodecDatabaseEntry& e = db.video(db.findVideoFormat(text.c_str()));
    return e.detail && e.detail[0] == '*';
}

void nameVideo(StreamCodecStatus& out, const std::vector<std::string>& texts,
               const CodecDatabase& db) {
    for (const std::string& text : texts) {
        const int slot = db.findVideoFormat(text.c_str());
        if (slot == 0) continue;
        out.entrySlot = slot;
        out.namedBy = text;
        break;
    }
    out.entry = &db.video(out.entrySlot);
    out.name.text = out.entry->name ? out.entry->name : "";
}

void nameAudio(StreamCodecStatus& out, const std::vector<uint32_t>& keys,
               const std::vector<std::string>& texts, const CodecDatabase& db) {
    out.entry = &db.audio(0);
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string display;
        const int slot = db.findAudioFormat(texts[i].c_str(), &display);
        // PCM is named the same whether or not the data base lists it.
        if (slot == 0 && keys[i] != 0x0001) continue;
        out.entrySlot = slot;
        out.entry = &db.audio(slot);
        out.namedBy = texts[i];
        out.name.text = keys[i] == 0x0001 ? "PCM Audio" : display;
        return;
    }
    out.name.text = texts.front() + ": <unknown>";
}

int findDecoder(StreamKind kind, const std::string& text, const VideoCodecInventory* video,
                const AudioCodecInventory* audio) {
    return kind == StreamKind::video ? findInstalledVideoCodec(video, text.c_str())
                                     : findInstalledAudioCodec(audio, text.c_str());
}

const char* recordStatusText(StreamKind kind, int index, const VideoCodecInventory* video,
                             const AudioCodecInventory* audio) {
    if (kind == StreamKind::video) {
        const VideoCodecRecord* rec = video ? video->at(index) : nullptr;
        return rec ? videoRecordStatusText(*rec) : kCodecNotInstalledText;
    }
    return audio ? audioRecordStatusText(*audio, index) : kCodecNotInstalledText;
}

} // namespace

StreamCodecKeys streamCodecKeys(const StreamFacts& stream) {
    StreamCodecKeys out;
    const CodecKeys* family = stream.codec.empty() ? nullptr : codecKeysFor(stream.codec.c_str());
    // A reader that left the kind open still gets its family's keys.
    StreamKind kind = stream.kind;
    if (!isLookupKind(kind) && family) kind = family->kind;
    if (!isLookupKind(kind)) return out;

    std::vector<std::string> seen;
    auto add = [&](uint32_t key) {
        if (key == 0) return;
        // The data base and the inventories match keys ignoring case: "AVC1" is "avc1".
        const std::string text = streamCodecKeyText(kind, key);
        // A FourCC starting with a zero byte reads as "", which a nameless record matches.
        if (text.empty()) return;
        for (const std::string& s : seen)
            if (equalsNoCase(s, text)) return;
        seen.push_back(text);
        out.keys.push_back(key);
    };
    if (kind == StreamKind::video) {
        add(stream.fourcc);
        if (family)
            for (uint32_t fourcc : family->fourccs)
                add(fourcc);
    } else {
        add(stream.formatTag);
        if (family)
            for (uint16_t tag : family->formatTags)
                add(tag);
    }
    if (!out.keys.empty()) out.kind = kind;
    return out;
}

std::string streamCodecKeyText(StreamKind kind, uint32_t key) {
    if (kind == StreamKind::audio) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(key & 0xFFFF));
        return text;
    }
    if (const char* builtIn = builtInCompressionKey(key)) return builtIn;
    char text[5];
    fourccText(key, text);
    return text;
}

StreamCodecStatus resolveStreamCodec(const StreamFacts& stream, int32_t runMode,
                                     const CodecDatabase& db, const VideoCodecInventory* video,
                                     const AudioCodecInventory* audio) {
    StreamCodecStatus out;
    out.status = codecStatusFieldFor(runMode);
    const StreamCodecKeys keys = streamCodecKeys(stream);
    out.kind = keys.kind;
    out.entry = &db.video(0);
    if (keys.keys.empty()) {
        // Nothing Windows could register a decoder under: say so rather than guess.
        out.name.text = out.entry->name ? out.entry->name : "<unknown>";
        writeCodecStatus(out.status, kNoCodecKeyText);
        return out;
    }

    std::vector<std::string> texts;
    for (uint32_t key : keys.keys)
        texts.push_back(streamCodecKeyText(keys.kind, key));
    out.keysTried = static_cast<int>(texts.size());
    if (keys.kind == StreamKind::video)
        nameVideo(out, texts, db);
    else
        nameAudio(out, keys.keys, texts, db);

    // A working decoder under any key plays the stream; a broken one is reported only
    // when no key has a working one.
    int fallback = kNoCodecInstalled;
    std::string fallbackKey;
    bool decided = false;
    for (size_t i = 0; i < texts.size() && !decided; ++i) {
        if (needsNoCodec(keys.kind, keys.keys[i], texts[i], db)) {
            out.installedIndex = kNoCodecNeeded;
            out.matchedKey = texts[i];
            decided = true;
            continue;
        }
        const int index = findDecoder(keys.kind, texts[i], video, audio);
        if (index < 0) continue;
        if (recordStatusText(keys.kind, index, video, audio) == kCodecInstalledText) {
            out.installedIndex = index;
            out.matchedKey = texts[i];
            decided = true;
        } else if (fallback < 0) {
            fallback = index;
            fallbackKey = texts[i];
        }
    }
    if (!decided && fallback >= 0) {
        out.installedIndex = fallback;
        out.matchedKey = fallbackKey;
    }

    const bool isVideo = keys.kind == StreamKind::video;
    if (out.installedIndex == kNoCodecNeeded) {
        writeCodecStatus(out.status, isVideo ? kNoCodecNeededText : kPcmNoCodecText);
    } else if (out.installedIndex < 0) {
        writeCodecStatus(out.status, kCodecNotInstalledText);
    } else {
        writeCodecStatus(out.status, recordStatusText(keys.kind, out.installedIndex, video, audio));
        out.name.linkTarget = "tavro://" + std::to_string(out.installedIndex) +
                              (isVideo ? ".video.codec" : ".audio.codec");
        if (isVideo) out.name.secondaryText = video->record(out.installedIndex).name;
    }
    return out;
}

} // namespace tavro
