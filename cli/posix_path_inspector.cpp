#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include "cli/path_inspector.h"

namespace tavro {
namespace {

PathInfo fromStat(const struct stat& st) {
    PathInfo info;
    if (S_ISREG(st.st_mode)) {
        info.kind = PathKind::File;
    } else if (S_ISDIR(st.st_mode)) {
        info.kind = PathKind::Folder;
        info.device = static_cast<uint64_t>(st.st_dev);
        info.node = static_cast<uint64_t>(st.st_ino);
    } else {
        info.kind = PathKind::Other;
        info.error = S_ISFIFO(st.st_mode)   ? "Is a FIFO, not a regular file"
                     : S_ISSOCK(st.st_mode) ? "Is a socket, not a regular file"
                                            : "Is a device, not a regular file";
    }
    return info;
}

PathInfo missing(int error) {
    PathInfo info;
    info.error = std::strerror(error);
    return info;
}

class PosixPathInspector : public PathInspector {
  public:
    PathInfo inspect(const std::string& path, bool followLink) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return missing(errno);
        if (!S_ISLNK(st.st_mode)) return fromStat(st);
        if (::stat(path.c_str(), &st) != 0) return missing(errno);
        PathInfo info = fromStat(st);
        if (info.kind == PathKind::Folder && !followLink) info.kind = PathKind::FolderLink;
        return info;
    }

    bool list(const std::string& folder, FolderListing& names, std::string& error) override {
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) {
            error = std::strerror(errno);
            return false;
        }
        while (dirent* d = ::readdir(dir)) {
            if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
            names.add(d->d_name, std::strlen(d->d_name), d->d_type == DT_REG);
        }
        ::closedir(dir);
        return true;
    }

    std::string join(const std::string& folder, const std::string& name) override {
        if (!folder.empty() && folder.back() == '/') return folder + name;
        return folder + "/" + name;
    }
};

} // namespace

PathInspector& platformPathInspector() {
    static PosixPathInspector inspector;
    return inspector;
}

} // namespace tavro
