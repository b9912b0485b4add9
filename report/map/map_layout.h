// What a drawn file map needs beyond the bins, for any canvas: the parts of a bin
// in drawing order with their names, the bins summed into pixel columns, and the
// texts shown when a pointer rests on the byte band or the time band.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "report/map/file_map.h"

namespace tavro {

// Parts of a column: the layers, then these three.
enum MapRestPart : int { kPartGap = kMapLayers, kPartUnread, kPartMissing, kMapParts };

// "Header", "Index", "JUNK", "Other data", a stream's name, "Gap", "Not read",
// "Missing (past the end)".
std::string mapPartName(const FileMap& map, int part);

// Each part's share (0..1) of one pixel column of the byte band.
using MapColumn = std::array<double, kMapParts>;
// The byte band cut into `pixels` columns (at most 100000); each column sums the
// bins under it.
std::vector<MapColumn> mapColumns(const FileMap& map, int pixels);

// "bytes 1,024 to 1,198 (0.3%): Video MJPG 60%, Audio 1 40%" for the bin holding
// `offset`; empty past the map.
std::string mapByteInfo(const FileMap& map, uint64_t offset);
// "at 1.25 s: Video MJPG in bytes 10,240 to 20,480; Audio 1 ..."; empty past the
// known time.
std::string mapTimeInfo(const FileMap& map, double seconds);

} // namespace tavro
