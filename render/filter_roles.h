// What each recorded filter of a render test does in the graph: source, splitter,
// decoders, renderers and the filters around them. Every role is a FilterTable
// index, -1 when the graph has no such filter.
#pragma once
#include "render/filter_table.h"

namespace tavro {

struct FilterRoles {
    int source = -1;
    int audioRenderer = -1;
    int audioPostFilter = -1;
    int videoRenderer = -1;
    int videoPostFilter = -1;
    int videoDecoder = -1;
    int audioDecoder = -1;
    int splitter = -1;
    int extra = -1; // a filter beside the splitter that feeds no decoder
    int videoPreFilter = -1;
    int audioPreFilter = -1;
};

// Roles are handed out in a fixed order, each to the first record (from index 0)
// that fits and has none yet; see the definition for the order.
FilterRoles classifyFilters(const FilterTable& table);

} // namespace tavro
