// Walking the chunk tree of a RIFF head and handing each leaf to the leaf handler.
#pragma once
#include "analysis/analysis.h"

namespace tavro {

// Lists nested deeper than this are not entered (real files use four levels).
constexpr int kMaxRiffDepth = 16;

// Walks the tree whose root chunk starts the head. False when a chunk claims more
// than 1 KiB beyond its parent; a tree cut by the end of the head is not a failure.
// Closes the chunk runs afterwards.
bool walkRiff(Analysis& a);

} // namespace tavro
