#include "analysis/riff_walker.h"

#include <cstring>
#include <string>

#include "analysis/chunk_recorder.h"
#include "analysis/leaf_handler.h"
#include "analysis/span_feed.h"

namespace tavro {
namespace {

constexpr size_t kMaxPath = 255;

void appendCode(std::string& text, const uint8_t* p) {
    for (int i = 0; i < 4 && p[i] != 0; ++i)
        text.push_back(static_cast<char>(p[i]));
}

// Appends "/" + code (+ ":" + list type) to the path, cut at kMaxPath. The walk
// grows and shrinks one path string, so a movi list of thousands of chunks
// allocates nothing per chunk.
void appendStep(std::string& path, const uint8_t* code, const uint8_t* type) {
    path.push_back('/');
    appendCode(path, code);
    if (type) {
        path.push_back(':');
        appendCode(path, type);
    }
    if (path.size() > kMaxPath) path.resize(kMaxPath);
}

// `path` holds the parent's path on entry and again on return.
bool walkChunk(Analysis& a, uint32_t chunk, std::string& path, uint32_t parentSize, int depth) {
    ByteView head = a.info.head();
    const uint8_t* p = head.data() + chunk; // the caller made sure 8 bytes are there
    uint32_t size = readLe32(p + 4);
    // Compared as unsigned sizes: lists of 2 GiB and more, and the 0xFFFFFFFF sizes of
    // files written to a pipe, must not fail their children.
    if (size > parentSize && size - parentSize > 1024) return false;
    const size_t parentLength = path.size();
    bool list = std::memcmp(p, "RIFF", 4) == 0 || std::memcmp(p, "LIST", 4) == 0;
    if (!list) {
        appendStep(path, p, nullptr);
        onLeafChunk(a, chunk, path);
        path.resize(parentLength);
        return true;
    }
    if (!head.has(uint64_t(chunk) + 8, 4)) return true; // the list type lies past the head
    mapRiffList(a.info, chunk, size, depth == 0);
    if (std::memcmp(p + 8, "movi", 4) == 0) a.info.avi.moviSize = size;
    // 64-bit so that a size of 0xFFFFFFFF does not pad round to 0.
    int64_t padded = (int64_t(size) + 1) & ~int64_t(1);
    if (padded <= 4 || depth >= kMaxRiffDepth) return true;
    int64_t remaining = padded - 4;
    appendStep(path, p, p + 8);
    uint64_t child = uint64_t(chunk) + 12;
    bool ok = true;
    for (;;) {
        // A child whose header is not wholly in the head ends the list quietly.
        if (!head.has(child, 8)) break;
        if (!walkChunk(a, static_cast<uint32_t>(child), path, size, depth + 1)) {
            ok = false;
            break;
        }
        // Every step moves at least 8 bytes, so zero-size chunks cannot loop.
        int64_t step = 8 + ((int64_t(readLe32(head.data() + child + 4)) + 1) & ~int64_t(1));
        remaining -= step;
        if (remaining == 0) break;
        child += static_cast<uint64_t>(step);
    }
    path.resize(parentLength);
    return ok;
}

} // namespace

bool walkRiff(Analysis& a) {
    ByteView head = a.info.head();
    bool ok = true;
    std::string path;
    path.reserve(kMaxPath);
    if (head.has(0, 8)) ok = walkChunk(a, 0, path, head.u32(4), 0);
    closeRuns(a.info);
    return ok;
}

} // namespace tavro
