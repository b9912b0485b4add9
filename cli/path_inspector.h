// What the folder walk needs from the platform: the kind of a path, and the
// entries of a folder. POSIX natively, the wide-character Win32 calls on Windows;
// paths are UTF-8 inside Tavro.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

enum class PathKind {
    File,       // a regular file (or a link to one)
    Folder,     // a folder (a link to one only when it is named by the user)
    FolderLink, // a symbolic link or junction to a folder met inside a folder: not followed
    Other,      // a FIFO, device or socket: never opened
    Missing,    // vanished, unreadable or a dangling link; `error` says why
};

struct PathInfo {
    PathKind kind = PathKind::Missing;
    std::string error;             // the system's reason, for Other and Missing
    uint64_t device = 0, node = 0; // a folder's identity, to refuse a loop
};

// The names of one folder, packed: a folder of 100,000 files costs little more than
// its names, which must all be held to be sorted. A listing may say an entry is a
// regular file, as most systems tell while listing: such an entry needs no look of
// its own before it is opened (the open still checks what it got).
class FolderListing {
  public:
    void add(const char* name, size_t length, bool regularFile = false) {
        names_.push_back(regularFile ? 'f' : '?'); // kept before the name, so sorting keeps it
        offsets_.push_back(static_cast<uint32_t>(names_.size()));
        names_.append(name, length);
        names_.push_back('\0');
    }
    size_t size() const { return offsets_.size(); }
    const char* name(size_t i) const { return names_.c_str() + offsets_[i]; }
    bool regularFile(size_t i) const { return names_[offsets_[i] - 1] == 'f'; }
    // Byte order of the names.
    void sort();
    void clear() {
        names_.clear();
        offsets_.clear();
    }

  private:
    std::string names_;
    std::vector<uint32_t> offsets_;
};

class PathInspector {
  public:
    virtual ~PathInspector() = default;
    // `followLink`: a link to a folder counts as the folder (true for the paths a user
    // names; false for entries met inside a folder).
    virtual PathInfo inspect(const std::string& path, bool followLink) = 0;
    // The names in a folder, without "." and "..", in any order; false with `error`.
    virtual bool list(const std::string& folder, FolderListing& names, std::string& error) = 0;
    // The path of `name` inside `folder`.
    virtual std::string join(const std::string& folder, const std::string& name) = 0;
};

PathInspector& platformPathInspector();

} // namespace tavro
