// The files of a run, one at a time in the order the user gave them: the paths of
// the command line, then the lines of each --files-from list. A folder stands for
// its regular files sorted by name, and with -r for its subfolders' too. Only the
// folders on the current branch are held, so a run of any size takes little memory.
#pragma once
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/path_inspector.h"

namespace tavro {

struct InputEntry {
    std::string path;
    // Set for an entry never to be opened (a FIFO, a device, a folder that cannot be
    // listed): the system's reason.
    std::string error;
};

class InputSource {
  public:
    // `standardInput` is read for a "-" list.
    InputSource(const CliOptions& options, PathInspector& inspector, std::istream& standardInput);
    ~InputSource();
    bool next(InputEntry& entry);

    // The number of entries a run will see, or -1 when a list comes from standard
    // input (it cannot be read twice).
    static int64_t count(const CliOptions& options, PathInspector& inspector);

  private:
    struct Folder {
        std::string path;
        FolderListing names;
        size_t next = 0;
        uint64_t device = 0, node = 0;
    };
    bool nextArgument(std::string& path);
    // False (and `entry` set) when the folder cannot be listed.
    bool enterFolder(const std::string& path, const PathInfo& info, InputEntry& entry);

    const CliOptions& options_;
    PathInspector& inspector_;
    std::istream& standardInput_;
    size_t nextPath_ = 0;
    size_t nextList_ = 0;
    std::unique_ptr<std::istream> listFile_;
    std::istream* list_ = nullptr;
    std::vector<Folder> folders_;
    std::string listError_;
};

} // namespace tavro
