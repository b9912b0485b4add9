// The interleave period, audio preload and interleaved media rate ratio of an AVI
// whose audio stream is MPEG audio.
#pragma once
#include <string>

#include "analysis/media_info.h"

namespace tavro {

// Each leaves `out` unchanged when it has no figure to give.
void imrrText(MediaInfo& info, int stream, std::string& out);
void interleaveText(MediaInfo& info, int stream, std::string& out);

} // namespace tavro
