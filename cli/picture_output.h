// The CLI's pictures of a file: the file map (--map, and "map" in the JSON) and the
// render graph (--graph-svg, --graph-dot). Each option names one file for a run over
// one input, or a folder that gets one picture per input file.
#pragma once
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "cli/path_inspector.h"
#include "report/map/file_map.h"

namespace tavro {

class PictureTarget {
  public:
    // `suffix` ends each file name made in a folder (".map.svg").
    PictureTarget(std::string option, std::string target, std::string suffix)
        : option_(std::move(option)), target_(std::move(target)), suffix_(std::move(suffix)) {}

    bool wanted() const { return !target_.empty(); }
    // Decides between a file and a folder. False with `error` when a file is named for
    // a run that may have several inputs, or a named folder does not exist.
    bool prepare(PathInspector& inspector, bool oneInput, std::string& error);
    // Where the picture of `input` goes; in a folder, a name no earlier input took.
    std::string pathFor(const std::string& input);
    // Writes `text` there, replacing what was; false with `error` (path and reason).
    bool write(const std::string& input, const std::string& text, std::string& error);

  private:
    std::string option_, target_, suffix_;
    bool folder_ = false;
    std::set<std::string> taken_;
};

// The last component of a path, "/" and (for Windows paths) "\" both separating.
std::string pathBaseName(const std::string& path);

} // namespace tavro
