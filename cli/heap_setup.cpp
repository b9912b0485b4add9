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
    // volatile: a compiler may drop an allocation freed unused.
    void* volatile const probe = std::malloc(kProbe);
    if (!probe) return;
    // The chunk holding the probe begins two words before it; once freed it is the
    // start of the heap's free top.
    const uintptr_t top = reinterpret_cast<uintptr_t>(probe) - 2 * sizeof(size_t);
    std::free(probe);
    // Every first touch of a small page is a fault, and a run touches a few megabytes
    // (a head, read buffers, a report's text): on virtual machines, where a fault costs
    // about ten microseconds, that was a third of a run. From the first huge-page
    // boundary of the free top the heap may use huge pages. The space below that
    // boundary is taken by one allocation that is never freed or touched, so the
    // buffers that follow start on the boundary; untouched, it costs no memory.
    // Freeing the probe wrote the free top's header where the probe ended: that page is
    // mapped small, and a huge page cannot cover it, so the first boundary past it is used.
    const uintptr_t from = roundUp(top + kProbe + 64);
    const uintptr_t to = (top + kReserve) & ~(kHugePage - 1);
    if (to <= from + kHugePage) return;
    if (madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0) return;
    const size_t spacer = from - top;
    if (spacer > 4 * sizeof(size_t)) {
        // The spacer's own chunk header lies at `top`, the next chunk's at `from`.
        spacerBlock = std::malloc(spacer - 2 * sizeof(size_t));
    }
}
#else
void setUpBatchHeap() {}
#endif

} // namespace tavro
