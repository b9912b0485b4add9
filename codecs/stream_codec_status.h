// Name and codec status of a stream a modern container reader described. A codec
// travels under several FourCCs or wave tags on Windows, and a decoder registered
// under any of them decodes it, so the stream's own key is tried first and then every
// key of its family; the texts and rules are those of resolveVideoCodec/AudioCodec.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/streams/media_streams.h"
#include "codecs/codec_status.h"

namespace tavro {

// Status of a stream that has no key to look up (TrueHD, Nellymoser, subtitles).
extern const char kNoCodecKeyText[];

// The keys a stream is looked up under, in the order they are tried: its own, then its
// family's, each once. Video keys are FourCCs, audio keys wave format tags.
struct StreamCodecKeys {
    StreamKind kind = StreamKind::other; // video or audio; other when there is no key
    std::vector<uint32_t> keys;
};
StreamCodecKeys streamCodecKeys(const StreamFacts& stream);

// A key as the data base and the inventories spell it: "avc1", "_RGB", "0x1610".
std::string streamCodecKeyText(StreamKind kind, uint32_t key);

struct StreamCodecStatus {
    StreamKind kind = StreamKind::other; // the inventory installedIndex points into
    CodecNameField name;
    CodecStatusField status;
    int entrySlot = 0; // slot in the video or audio table, 0 for "<unknown>"
    const CodecDatabaseEntry* entry = nullptr;
    int installedIndex = kNoCodecInstalled; // record index, -1 none, -2 no codec needed
    std::string namedBy;    // the key the name came from; "" when the data base knows none
    std::string matchedKey; // the key that decided the status; "" when nothing was found
    int keysTried = 0;      // 0: nothing could be looked up
};

// The name comes from the first key tried that the data base knows. The status comes
// from the first key that needs no codec or has a working decoder; failing that, from
// the first key whose decoder is misconfigured or disabled; else "not installed". In
// information-only run mode the status field is cleared, disabled and left unwritten.
StreamCodecStatus resolveStreamCodec(const StreamFacts& stream, int32_t runMode,
                                     const CodecDatabase& db, const VideoCodecInventory* video,
                                     const AudioCodecInventory* audio);

} // namespace tavro
