// The file map as an SVG picture: the byte band (every layer in its colour, gaps,
// what was not read, what is missing past a cut end), the marks for the actual, the
// declared and the read end, and below it each stream's data along time against
// its byte offsets, then the legend. Plain SVG 1.1, no script, no outside resource.
#pragma once
#include <string>

#include "report/map/file_map.h"

namespace tavro {

// `title` names the file (any bytes; escaped and made valid UTF-8 here).
std::string fileMapSvg(const FileMap& map, const std::string& title);

// The colour a layer is drawn in ("#rrggbb").
const char* mapLayerColour(int layer);

} // namespace tavro
