#include "cli/heap_setup.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ where it applies

#if defined(__GLIBC__) && defined(__linux__)
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace tavro {

#if defined(__GLIBC__) && defined(__linux__)
namespace {

constexpr uintptr_t kHugePage = uintptr_t(2) << 20;
constexpr size_t kReserve = size_t(16) << 20;
constexpr size_t kProbe = size_t(1) << 20;
// Held for the whole run; volatile, or a compiler may drop an allocation never read.
void* volatile spacerBlock = nullptr;

uintptr_t roundUp(uintptr_t at) {
    return (at + kHugePage - 1) & ~(kHugePage - 1);
}

} // namespace

void setUpBatchHeap() {
    // A batch makes and frees the same large buffers per file (a head, a report's
    // text): kept in the heap they are reused, where the default would map and unmap
    // them, or trim the heap, each time and pay for fresh pages on every file.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    // One extension of the heap for the whole run, asked for now by one allocation
    // that is freed again, so the free space at the heap's top is known.
    mallopt(M_TOP_PAD, int(kReserve));
    void* volatile const probe = std::malloc(kProbe); // volatile: kept though unused
    if (!probe) return;
    // The chunk holding the probe begins two words before it; once freed it is the
    // start of the heap's free top.
    const uintptr_t top = reinterpret_cast<uintptr_t>(probe) - 2 * sizeof(size_t);
    std::free(probe);
    // Every first touch of a small page is a fault, and a run touches a few megabytes
    // (a head, read buffers, a report's text): on virtual machines, where a fault costs
    // about ten microseconds, that was a third of a run. So from a huge-page boundary
    // in the free top on, the heap may use huge pages, and one allocation that is never
    // freed or touched fills the space below that boundary, so that the buffers which
    // follow start on it; untouched, that space costs no memory. The boundary is the
    // first past the probe's end, where the free top's header was written (a page
    // mapped small already, which no huge page can then cover).
    const uintptr_t from = roundUp(top + kProbe + 64);
    const uintptr_t to = (top + kReserve) & ~(kHugePage - 1);
    if (to <= from + kHugePage) return;
    if (madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0) return;
    // The spacer's chunk header lies at `top`, so the next chunk's lies at `from`.
    spacerBlock = std::malloc(from - top - 2 * sizeof(size_t));
}
#else
void setUpBatchHeap() {}
#endif

} // namespace tavro
