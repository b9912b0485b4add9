// A span sink for the reader harnesses: every input is read with the file map's feed
// on, and what reaches the map is held to the feed's promises.
#pragma once
#include <cstdlib>
#include <string>

#include "analysis/file_spans.h"
#include "analysis/streams/map_feed.h"

namespace tavro::fuzz {

class SpanCheck : public SpanSink {
  public:
    void beginFile(uint64_t, uint64_t) override {}
    void declareEnd(uint64_t) override {}
    void readTo(uint64_t) override {}
    void nameStream(int, const std::string&) override {}
    void addSpan(const FileSpan& s) override {
        // No empty spans, no more than the budget, times in order where given.
        if (s.size == 0 || ++spans_ > kMapSpanBudget) std::abort();
        if (s.start >= 0 && !(s.end >= s.start)) std::abort();
    }

  private:
    uint64_t spans_ = 0;
};

} // namespace tavro::fuzz
