#include "app/file_list.h"

namespace tavro {

bool FileList::add(const std::string& path) {
    if (count() >= kCapacity) return false;
    paths_.push_back(path);
    return true;
}

void FileList::clear() {
    paths_.clear();
    current = 0;
}

} // namespace tavro
