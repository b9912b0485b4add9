// Which kinds of player can decode a stream: a 32-bit DirectShow/VfW/ACM player,
// a 64-bit one, and Media Foundation. Each sees its own codecs: this process's
// inventories serve its own architecture, the other architecture's registrations
// the other one, and the transforms Media Foundation.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/streams/media_streams.h"
#include "codecs/codec_inventories.h"

namespace tavro {

enum class PlayerKind { DirectShow32 = 0, DirectShow64 = 1, MediaFoundation = 2 };
constexpr int kPlayerKinds = 3;

// "DirectShow 32-bit", "DirectShow 64-bit", "Media Foundation".
const char* playerKindText(PlayerKind kind);
// The JSON key: "directShow32", "directShow64", "mediaFoundation".
const char* playerKindKey(PlayerKind kind);

struct PlayerDecoder {
    std::string name;
    std::string type; // "DMO", "DSH", "VFW", "ACM" or "MFT"
    std::string key;  // the stream key it was found under ("avc1", "0x1610")
    std::string clsid;
    int bits = 0; // the architecture it serves; 0 unknown
    bool hasMerit = false;
    uint32_t merit = 0;
    bool works = true; // false: this process found its file missing or it disabled
    int record = -1;   // index in the inventory it came from
};

struct PlayerDecoderList {
    // False when that kind's codecs were not read: nothing can be said of it.
    bool known = false;
    std::vector<PlayerDecoder> decoders; // best first
    bool installed() const;
};

struct PlayerDecoders {
    PlayerDecoderList kinds[kPlayerKinds];
    const PlayerDecoderList& of(PlayerKind kind) const { return kinds[static_cast<int>(kind)]; }
};

// The decoders of every kind of player that accept any of a stream's keys
// (FourCCs for video, wave format tags for audio, as streamCodecKeys gives them).
// DirectShow lists keep the preference order of the codec search; Media
// Foundation's are ordered by merit, highest first.
PlayerDecoders findPlayerDecoders(StreamKind kind, const std::vector<uint32_t>& keys,
                                  const CodecInventories& inventories);

// The kind of player this process's own inventories serve (32-bit when unknown).
PlayerKind ownPlayerKind(int ownBits);

// What the per-player picture adds to a status text that speaks of this
// process's own player: "" when every known kind agrees with it, else
// "Not installed for 64-bit players" (own player decodes it) or
// "Installed (DirectShow 64-bit, Media Foundation)" (own player does not).
std::string playerStatusSuffix(const PlayerDecoders& decoders, int ownBits);

} // namespace tavro
