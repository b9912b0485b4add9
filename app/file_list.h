// The batch of files to analyse: at most 1000 paths and the current one.
#pragma once
#include <string>
#include <vector>

namespace tavro {

class FileList {
  public:
    static constexpr int kCapacity = 1000;

    // False when the list is full; the path is not added.
    bool add(const std::string& path);
    void clear();
    int count() const { return static_cast<int>(paths_.size()); }
    int current = 0;
    const std::string& at(int index) const { return paths_[index]; }
    bool hasCurrent() const { return current >= 0 && current < count(); }
    bool hasNext() const { return current < count() - 1; }

  private:
    std::vector<std::string> paths_;
};

} // namespace tavro
