#include "report/export_template.h"

namespace tavro {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// Index of the first character of the final name ("c:name" counts "c:" as the drive).
size_t nameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i)
        if (isSeparator(path[i]) || (i == 1 && path[i] == ':')) start = i + 1;
    return start;
}

} // namespace

std::string baseName(const std::string& path) {
    const std::string name = path.substr(nameStart(path));
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string nameAndExtension(const std::string& path) {
    const std::string name = path.substr(nameStart(path));
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return name + ".";
    return name.substr(0, dot) + "." + name.substr(dot + 1);
}

std::string expandTemplate(const std::string& templ, const ExportFields& fields) {
    std::string out;
    out.reserve(templ.size());
    for (size_t i = 0; i < templ.size(); ++i) {
        const char c = templ[i];
        if (c != '%' && c != '\\') {
            out += c;
            continue;
        }
        if (i + 1 >= templ.size()) break;
        char next = templ[++i];
        if (next >= 'a' && next <= 'z') next = static_cast<char>(next - 'a' + 'A');
        if (c == '%') {
            if (next == '@')
                out += nameAndExtension(fields.mediaPath);
            else if (next >= 'A' && next <= 'X')
                out += fields.field[static_cast<size_t>(next - 'A')];
        } else if (next == 'N') {
            out += '\n';
        } else if (next == 'R') {
            out += '\r';
        } else if (next == 'T') {
            out += '\t';
        }
    }
    return out;
}

ExportTarget exportFilePath(const std::string& mediaPath, int mode, const std::string& folder,
                            const std::string& oneFile) {
    ExportTarget target;
    switch (mode) {
    case kExportSameFolder:
        target.path = mediaPath.substr(0, nameStart(mediaPath)) + baseName(mediaPath) + ".txt";
        break;
    case kExportChosenFolder: {
        std::string dir = folder;
        // A folder written with "/" only keeps that separator; otherwise "\".
        const char sep =
            dir.find('/') != std::string::npos && dir.find('\\') == std::string::npos ? '/' : '\\';
        if (!dir.empty() && !isSeparator(dir.back())) dir += sep;
        target.path = dir + baseName(mediaPath) + ".txt";
        break;
    }
    case kExportOneFile:
        target.path = oneFile;
        break;
    default:
        return target; // NoExport
    }
    target.kind = target.path.size() > kMaxExportPath ? ExportTarget::TooLong : ExportTarget::Path;
    return target;
}

} // namespace tavro
