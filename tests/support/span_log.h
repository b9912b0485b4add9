// A span sink that keeps what a reader hands the file map, for tests of the feeds.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/file_spans.h"

namespace tavro {
namespace test {

struct SpanLog : SpanSink {
    std::vector<FileSpan> spans;
    std::vector<std::string> names;
    uint64_t declared = 0;
    uint64_t readEnd = UINT64_MAX;

    void beginFile(uint64_t, uint64_t) override {}
    void declareEnd(uint64_t end) override { declared = end; }
    void readTo(uint64_t end) override { readEnd = std::min(readEnd, end); }
    void nameStream(int stream, const std::string& name) override {
        if (stream >= 0 && size_t(stream) >= names.size()) names.resize(size_t(stream) + 1);
        if (stream >= 0) names[size_t(stream)] = name;
    }
    void addSpan(const FileSpan& s) override { spans.push_back(s); }

    uint64_t bytes(SpanKind kind, int stream = kNoSpanStream - 1) const {
        uint64_t sum = 0;
        for (const FileSpan& s : spans)
            if (s.kind == kind && (stream < kNoSpanStream || s.stream == stream)) sum += s.size;
        return sum;
    }
    std::vector<FileSpan> sorted() const {
        std::vector<FileSpan> out = spans;
        std::sort(out.begin(), out.end(),
                  [](const FileSpan& a, const FileSpan& b) { return a.offset < b.offset; });
        return out;
    }
};

} // namespace test
} // namespace tavro
