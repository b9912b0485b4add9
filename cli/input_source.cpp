#include "cli/input_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavro {

InputSource::InputSource(const CliOptions& options, PathInspector& inspector,
                         std::istream& standardInput)
    : options_(options), inspector_(inspector), standardInput_(standardInput) {}

InputSource::~InputSource() = default;

bool InputSource::nextArgument(std::string& path) {
    if (nextPath_ < options_.paths.size()) {
        path = options_.paths[nextPath_++];
        return true;
    }
    for (;;) {
        if (!list_) {
            if (nextList_ >= options_.filesFrom.size()) return false;
            const std::string& name = options_.filesFrom[nextList_++];
            if (name == "-") {
                list_ = &standardInput_;
            } else {
                errno = 0;
                // Through a path object: on Windows it opens the UTF-8 name wide, where
                // a plain narrow name would go through the ANSI code page.
                listFile_ = std::make_unique<std::ifstream>(std::filesystem::u8path(name),
                                                            std::ios::binary);
                list_ = listFile_.get();
                if (!*list_) {
                    // A list that cannot be read is an entry that failed, like a file.
                    path = name;
                    list_ = nullptr;
                    listFile_.reset();
                    listError_ = std::strerror(errno ? errno : ENOENT);
                    return true;
                }
            }
        }
        while (std::getline(*list_, path)) {
            if (!path.empty() && path.back() == '\r') path.pop_back(); // lists made on Windows
            if (!path.empty()) return true;
        }
        list_ = nullptr;
        listFile_.reset();
    }
}

bool InputSource::enterFolder(const std::string& path, const PathInfo& info, InputEntry& entry) {
    // Links to folders are not followed inside a walk; a folder met again on the same
    // branch (a bind mount of an ancestor) is skipped, so no loop can hold the run.
    for (const Folder& f : folders_)
        if ((info.device || info.node) && f.device == info.device && f.node == info.node)
            return true;
    Folder folder;
    folder.path = path;
    folder.device = info.device;
    folder.node = info.node;
    std::string error;
    if (!inspector_.list(path, folder.names, error)) {
        entry.path = path;
        entry.error = error;
        return false;
    }
    folder.names.sort();
    folders_.push_back(std::move(folder));
    return true;
}

bool InputSource::next(InputEntry& entry) {
    entry = InputEntry();
    for (;;) {
        if (!folders_.empty()) {
            Folder& folder = folders_.back();
            if (folder.next == folder.names.size()) {
                folders_.pop_back();
                continue;
            }
            // Each entry is looked at when its turn comes: one that vanished or changed
            // since the listing is told as it is then. A regular file by the listing is
            // opened without a look: a failed open tells what became of it.
            const bool listedFile = folder.names.regularFile(folder.next);
            std::string path = inspector_.join(folder.path, folder.names.name(folder.next++));
            if (listedFile) {
                entry.path = std::move(path);
                return true;
            }
            const PathInfo info = inspector_.inspect(path, false);
            switch (info.kind) {
            case PathKind::File:
            case PathKind::Missing: // opened, so the failure is told like any other
                entry.path = path;
                return true;
            case PathKind::Other:
                entry.path = path;
                entry.error = info.error;
                return true;
            case PathKind::Folder:
                if (options_.recursive && !enterFolder(path, info, entry)) return true;
                continue;
            case PathKind::FolderLink:
                continue;
            }
            continue;
        }
        std::string path;
        if (!nextArgument(path)) return false;
        if (!listError_.empty()) {
            entry.path = path;
            entry.error = listError_;
            listError_.clear();
            return true;
        }
        const PathInfo info = inspector_.inspect(path, true);
        if (info.kind == PathKind::Folder) {
            if (!enterFolder(path, info, entry)) return true;
            continue;
        }
        entry.path = path;
        if (info.kind == PathKind::Other) entry.error = info.error;
        return true;
    }
}

void FolderListing::sort() {
    std::sort(offsets_.begin(), offsets_.end(), [this](uint32_t a, uint32_t b) {
        return std::strcmp(names_.c_str() + a, names_.c_str() + b) < 0;
    });
}

int64_t InputSource::count(const CliOptions& options, PathInspector& inspector) {
    for (const std::string& list : options.filesFrom)
        if (list == "-") return -1;
    std::istringstream none;
    InputSource source(options, inspector, none);
    InputEntry entry;
    int64_t n = 0;
    while (source.next(entry))
        ++n;
    return n;
}

} // namespace tavro
