// How the command line's heap is laid out before the first file.
#pragma once

namespace tavro {

// Keeps a batch's large per-file buffers in the heap for reuse, and where the C
// library and kernel allow it, backs the heap with huge pages. A no-op elsewhere.
void setUpBatchHeap();

} // namespace tavro
