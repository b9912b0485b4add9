// The file map's numbers (the "map" member of a file's JSON), written straight to
// text: a map is thousands of numbers, and building them as JSON values first cost
// more than the whole analysis of the file.
#pragma once
#include <string>

#include "report/map/file_map.h"

namespace tavro {

// Appends the map exactly as the library would print the equivalent value: null
// for no file; sizes, ends and "mapped"; then, when any reader fed spans, the bin
// width, each layer's bytes per bin (layers with any bytes only), the streams, and
// each stream's first and last byte offset per time bin (null where it has none).
// `indent` < 0 writes one line; otherwise lines after the first start
// `currentIndent` spaces further in.
void appendFileMapJson(std::string& out, const FileMap& map, int indent, int currentIndent);

} // namespace tavro
