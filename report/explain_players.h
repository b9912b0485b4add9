// The paragraph the video and audio explanations end with: which kinds of
// player (32-bit, 64-bit, Media Foundation) have a decoder for the stream.
#pragma once
#include <string>
#include <vector>

namespace tavro {

struct PlayerLine {
    std::string kind;                  // "DirectShow 64-bit"
    bool known = false;                // false: that kind's codecs were not read
    std::vector<std::string> decoders; // best first, each "Name (type...)"
};

// "" when no kind was read; else a paragraph with one line per kind.
std::string explainPlayers(const std::vector<PlayerLine>& lines);

} // namespace tavro
