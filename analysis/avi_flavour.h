// The AVI flavour shown as the stream type: plain, OpenDML, multipart, VirtualDub
// segment, "rec list".
#pragma once
#include <string>

#include "analysis/analysis.h"

namespace tavro {

std::string aviFlavourText(MediaInfo& info);
// Writes the flavour into the Type field; only for AVI files.
void aviFlavour(Analysis& a);

} // namespace tavro
