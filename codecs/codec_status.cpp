#include "codecs/codec_status.h"

#include <cstdio>
#include <cstring>

#include "codecs/text_field.h"
#include "common/fourcc_text.h"
#include "common/settings.h"

namespace tavro {
namespace {

const char kMisconfigured[] = "Codec Misconfigured!  [more info...]";
const char kDisabled[] = "Codec is Disabled!  [more info...]";

// Names of the bitmap header's built-in compression codes 0 to 5.
const char* const kBuiltInCompression[6] = {"_RGB", "_RL8", "_RL4", "_BIT", "_JPG", "_PNG"};

} // namespace

const char kCodecNotInstalledText[] = "Codec NOT Installed!  [more info...]";
const char kCodecInstalledText[] = "Codec IS Installed  (details...)";
const char kNoCodecNeededText[] = "No Codec Needed";
const char kPcmNoCodecText[] = "PCM: No Codec Required";

CodecStatusField codecStatusFieldFor(int32_t runMode) {
    CodecStatusField field;
    if (runMode == kRunModeInformationOnly) {
        field.enabled = false;
        field.clear = true;
    }
    return field;
}

void writeCodecStatus(CodecStatusField& field, const char* text) {
    if (!field.enabled) return;
    field.written = true;
    field.text = text;
}

const char* videoRecordStatusText(const VideoCodecRecord& rec) {
    return rec.missing ? kMisconfigured : kCodecInstalledText;
}

const char* audioRecordStatusText(const AudioCodecInventory& inventory, int index) {
    const AudioCodecRecord* rec = inventory.at(index);
    if (!rec) return kCodecNotInstalledText;
    const AudioCodecRecord* linked = inventory.at(rec->link);
    if (rec->missing || (linked && linked->missing)) return kMisconfigured;
    if (rec->disabled || (linked && linked->disabled)) return kDisabled;
    return kCodecInstalledText;
}

const char* builtInCompressionKey(uint32_t compression) {
    return compression < 6 ? kBuiltInCompression[compression] : nullptr;
}

VideoCodecStatus resolveVideoCodec(const VideoStatusInput& input, const CodecDatabase& db,
                                   const VideoCodecInventory* inventory) {
    VideoCodecStatus out;
    char h[5];
    fourccText(input.handler, h);
    char k[5];
    if (input.compression >= 6) {
        fourccText(input.compression, k);
        out.fourccText = equalsNoCase(h, k) ? std::string(h) : std::string(k) + "/" + h;
    } else {
        copyText(k, sizeof k, builtInCompressionKey(input.compression));
        out.fourccText = std::string(h) + "(" + k + ")";
    }
    out.status = codecStatusFieldFor(input.runMode);

    // DivX 3 files often carry a DIV4 handler: name them by it, but look for a DIV3 decoder.
    if (equalsNoCase(h, "DIV4") && equalsNoCase(k, "DIV3")) {
        out.entrySlot = db.findVideoFormat(h);
        copyText(out.alternateFourcc, sizeof out.alternateFourcc, "DIV3");
    } else {
        out.entrySlot = db.findVideoFormat(k);
    }
    if (out.entrySlot == 0) out.entrySlot = db.findVideoFormat(h);
    out.entry = &db.video(out.entrySlot);
    out.name.text = out.entry->name ? out.entry->name : "";

    if (out.entry->detail && out.entry->detail[0] == '*')
        out.installedIndex = kNoCodecNeeded;
    else
        out.installedIndex = findInstalledVideoCodec(inventory, k);
    if (input.compression >= 6) out.searchKeys.push_back(input.compression);

    if (out.installedIndex == kNoCodecNeeded) {
        writeCodecStatus(out.status, kNoCodecNeededText);
    } else if (out.installedIndex < 0) {
        writeCodecStatus(out.status, kCodecNotInstalledText);
    } else {
        const VideoCodecRecord& rec = inventory->record(out.installedIndex);
        writeCodecStatus(out.status, videoRecordStatusText(rec));
        char link[48];
        std::snprintf(link, sizeof link, "tavro://%d.video.codec", out.installedIndex);
        out.name.linkTarget = link;
        out.name.secondaryText = rec.name;
    }
    return out;
}

AudioCodecStatus resolveAudioCodec(const AudioStatusInput& input, const CodecDatabase& db,
                                   const AudioCodecInventory* inventory) {
    AudioCodecStatus out;
    char tagText[16];
    std::snprintf(tagText, sizeof tagText, "0x%04x", static_cast<unsigned>(input.formatTag));
    out.status = codecStatusFieldFor(input.runMode);
    out.entry = &db.audio(0);

    if (input.formatTag == 1) {
        writeCodecStatus(out.status, kPcmNoCodecText);
        out.name.text = "PCM Audio";
        out.installedIndex = kNoCodecNeeded;
        return out;
    }
    std::string displayName;
    out.entrySlot = db.findAudioFormat(tagText, &displayName);
    out.entry = &db.audio(out.entrySlot);
    if (input.mpegVerdict != 0 && (input.formatTag == 0x0055 || input.formatTag == 0x0050)) {
        out.name.text = input.formatTag == 0x0055 ? "0x0055(MP3)" : "0x0050(MPEG)";
        out.name.text += " ID'd as " + input.mpegKindText;
    } else {
        out.name.text = displayName;
    }

    out.installedIndex = findInstalledAudioCodec(inventory, tagText);
    out.searchKeys.push_back(input.formatTag);
    if (out.installedIndex < 0) {
        writeCodecStatus(out.status, kCodecNotInstalledText);
        return out;
    }
    writeCodecStatus(out.status, audioRecordStatusText(*inventory, out.installedIndex));
    char link[48];
    std::snprintf(link, sizeof link, "tavro://%d.audio.codec", out.installedIndex);
    out.name.linkTarget = link;
    return out;
}

} // namespace tavro
