// A link button's saved texts: push keeps the shown text and enabled state, pop
// brings the last one back. Holds the four most recent; older ones are let go.
#pragma once
#include <string>

namespace tavro {

struct LinkState {
    std::string text;
    bool enabled = false;
};

class LinkTextStack {
  public:
    static constexpr int kDepth = 4;

    void push(const LinkState& state) {
        if (size_ == kDepth) {
            for (int i = 1; i < kDepth; ++i)
                saved_[i - 1] = saved_[i];
            --size_;
        }
        saved_[size_++] = state;
    }
    // False (and `state` untouched) when nothing is saved.
    bool pop(LinkState& state) {
        if (size_ == 0) return false;
        state = saved_[--size_];
        return true;
    }
    int size() const { return size_; }

  private:
    LinkState saved_[kDepth];
    int size_ = 0;
};

} // namespace tavro
