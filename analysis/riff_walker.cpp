#include "analysis/riff_walker.h"

#include <cstring>
#include <string>

#include "analysis/chunk_recorder.h"
#include "analysis/leaf_handler.h"

namespace tavro {
namespace {

constexpr size_t kMaxPath = 255;

void appendCode(std::string& text, const uint8_t* p) {
    for (int i = 0; i < 4 && p[i] != 0; ++i)
        text.push_back(static_cast<char>(p[i]));
}

// parent + "/" + code (+ ":" + list type), cut at kMaxPath; one allocation per chunk,
// which matters in a movi list of thousands.
std::string joinPath(const std::string& parent, const uint8_t* code, const uint8_t* type) {
    std::string path;
    path.reserve(parent.size() + 10);
    path = parent;
    path.push_back('/');
    appendCode(path, code);
    if (type) {
        path.push_back(':');
        appendCode(path, type);
    }
    if (path.size() > kMaxPath) path.resize(kMaxPath);
    return path;
}

bool walkChunk(Analysis& a, uint32_t chunk, const std::string& parentPath, uint32_t parentSize,
               int depth) {
    ByteView head = a.info.head();
    const uint8_t* p = head.data() + chunk; // the caller made sure 8 bytes are there
    uint32_t size = readLe32(p + 4);
    // Compared as unsigned sizes: lists of 2 GiB and more, and the 0xFFFFFFFF sizes of
    // files written to a pipe, must not fail their children.
    if (size > parentSize && size - parentSize > 1024) return false;
    bool list = std::memcmp(p, "RIFF", 4) == 0 || std::memcmp(p, "LIST", 4) == 0;
    if (!list) {
        onLeafChunk(a, chunk, joinPath(parentPath, p, nullptr));
        return true;
    }
    if (!head.has(uint64_t(chunk) + 8, 4)) return true; // the list type lies past the head
    if (std::memcmp(p + 8, "movi", 4) == 0) a.info.avi.moviSize = size;
    // 64-bit so that a size of 0xFFFFFFFF does not pad round to 0.
    int64_t padded = (int64_t(size) + 1) & ~int64_t(1);
    if (padded <= 4 || depth >= kMaxRiffDepth) return true;
    int64_t remaining = padded - 4;
    const std::string childPath = joinPath(parentPath, p, p + 8);
    uint64_t child = uint64_t(chunk) + 12;
    for (;;) {
        // A child whose header is not wholly in the head ends the list quietly.
        if (!head.has(child, 8)) return true;
        if (!walkChunk(a, static_cast<uint32_t>(child), childPath, size, depth + 1)) return false;
        // Every step moves at least 8 bytes, so zero-size chunks cannot loop.
        int64_t step = 8 + ((int64_t(readLe32(head.data() + child + 4)) + 1) & ~int64_t(1));
        remaining -= step;
        if (remaining == 0) return true;
        child += static_cast<uint64_t>(step);
    }
}

} // namespace

bool walkRiff(Analysis& a) {
    ByteView head = a.info.head();
    bool ok = true;
    if (head.has(0, 8)) ok = walkChunk(a, 0, "", head.u32(4), 0);
    closeRuns(a.info);
    return ok;
}

} // namespace tavro
