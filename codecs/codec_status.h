// Which format a stream uses, what the data base calls it and whether a codec
// for it is installed. Pure functions: the driver gathers the inputs, calls
// ensureCodecInventories first, and copies the result into the report fields.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/video_codec_inventory.h"

namespace tavro {

constexpr int kNoCodecInstalled = -1;
constexpr int kNoCodecNeeded = -2;

// One status field. In run mode 3 it is cleared and disabled and no status is written.
struct CodecStatusField {
    bool enabled = true;
    bool clear = false;   // empty the field before anything else
    bool written = false; // `text` replaces the field's text
    std::string text;
};

// One name field: its text, and when a codec is found, the link to its record.
struct CodecNameField {
    std::string text;
    std::string linkTarget;    // "tavro://%d.video.codec", empty for none
    std::string secondaryText; // video: the installed record's name
};

struct VideoCodecStatus {
    std::string fourccText; // the video FourCC field
    CodecNameField name;
    CodecStatusField status;
    int entrySlot = 0; // data base video slot, 0 for "<unknown>"
    const CodecDatabaseEntry* entry = nullptr;
    int installedIndex = kNoCodecInstalled; // record index, -1 none, -2 no codec needed
    char alternateFourcc[5] = {};           // "DIV3" when a DIV4 handler carries DIV3 data
    std::vector<uint32_t> searchKeys;       // the FourCCs looked up, the file's own first
};

struct AudioCodecStatus {
    CodecNameField name;
    CodecStatusField status;
    int entrySlot = 0;
    const CodecDatabaseEntry* entry = nullptr;
    int installedIndex = kNoCodecInstalled; // -2 for PCM
    std::vector<uint32_t> searchKeys;       // the format tags looked up
};

struct VideoStatusInput {
    uint32_t compression = 0; // bitmap header compression: 0-5 built-in codes, else a FourCC
    uint32_t handler = 0;     // stream header FourCC handler
    int32_t runMode = 1;
};

struct AudioStatusInput {
    uint16_t formatTag = 0;
    int mpegVerdict = 0;      // the MPEG audio scanner's verdict for the stream
    std::string mpegKindText; // its kind text ("MPEG-1 Layer 3"), used with a verdict
    int32_t runMode = 1;
};

// The rules every resolver shares, so a stream read by any reader gets the same texts.
// The status field's starting state for a run mode; writing skips a disabled field.
CodecStatusField codecStatusFieldFor(int32_t runMode);
void writeCodecStatus(CodecStatusField& field, const char* text);
// The status text for a found record: installed, misconfigured or (audio) disabled.
const char* videoRecordStatusText(const VideoCodecRecord& rec);
const char* audioRecordStatusText(const AudioCodecInventory& inventory, int index);
// The data base key of a bitmap header's built-in compression code 0 to 5 ("_RGB"),
// null for any other value.
const char* builtInCompressionKey(uint32_t compression);
extern const char kCodecNotInstalledText[];
extern const char kCodecInstalledText[];
extern const char kNoCodecNeededText[];
extern const char kPcmNoCodecText[];

VideoCodecStatus resolveVideoCodec(const VideoStatusInput& input, const CodecDatabase& db,
                                   const VideoCodecInventory* inventory);
AudioCodecStatus resolveAudioCodec(const AudioStatusInput& input, const CodecDatabase& db,
                                   const AudioCodecInventory* inventory);

} // namespace tavro
