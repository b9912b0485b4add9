#include "cli/picture_output.h"

#include "common/output_files.h"

namespace tavro {

std::string pathBaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PictureTarget::prepare(PathInspector& inspector, bool oneInput, std::string& error) {
    if (!wanted()) return true;
    const char last = target_.back();
    const bool namedAsFolder = last == '/' || last == '\\';
    const PathInfo info = inspector.inspect(target_, true);
    folder_ = info.kind == PathKind::Folder;
    if (namedAsFolder && !folder_) {
        error = option_ + ": no folder " + target_;
        return false;
    }
    if (!folder_ && !oneInput) {
        error = option_ + " names one file, for one input; name a folder for several";
        return false;
    }
    return true;
}

std::string PictureTarget::pathFor(const std::string& input) {
    if (!folder_) return target_;
    std::string base = pathBaseName(input);
    if (base.empty()) base = "file";
    std::string name = base + suffix_;
    // Files of one name in several folders each get their own picture.
    for (int n = 2; taken_.count(name); ++n)
        name = base + "-" + std::to_string(n) + suffix_;
    taken_.insert(name);
    const char last = target_.back();
    return target_ + (last == '/' || last == '\\' ? "" : "/") + name;
}

bool PictureTarget::write(const std::string& input, const std::string& text, std::string& error) {
    const std::string path = pathFor(input);
    // A picture never replaces the file it is of.
    if (platformOutputFiles().sameFile(path, input)) {
        error = "cannot write " + path + ": it is the input file";
        return false;
    }
    FileError fileError;
    std::unique_ptr<OutputFile> file = platformOutputFiles().create(path, &fileError);
    if (!file || !file->append(text.data(), text.size(), &fileError)) {
        error = "cannot write " + path + ": " + fileError.systemText;
        return false;
    }
    return true;
}

} // namespace tavro
