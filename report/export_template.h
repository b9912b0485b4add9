// The text export's template and target: "%@" and "%A".."%X" stand for the report
// fields, "\n", "\r" and "\t" for control characters; the target file follows the
// file mode. Pure, so scripts (tavro-cli --template) and tests share the rules.
#pragma once
#include <array>
#include <string>

namespace tavro {

constexpr int kExportLetters = 24; // A to X
// The longest target path the program hands to the system (its 260-byte buffers).
constexpr size_t kMaxExportPath = 259;
constexpr const char* kDefaultExportTemplate =
    "Title: %@\\r\\nDuration: %K\\r\\nVideo Codec: %F\\r\\n\\r\\n";

struct ExportFields {
    std::string mediaPath;                         // for "%@": name and extension
    std::array<std::string, kExportLetters> field; // "%A" is field[0]
};

// Walks the template once: unknown letters and escapes give nothing, and a "%" or
// "\" at the very end ends the walk. The output grows as needed.
std::string expandTemplate(const std::string& templ, const ExportFields& fields);

// "memento.avi" for "c:\movies\memento.avi"; a name without extension ends in ".".
std::string nameAndExtension(const std::string& path);
// The file's name without folder and extension ("memento").
std::string baseName(const std::string& path);

enum ExportMode { kExportSameFolder = 1, kExportChosenFolder = 2, kExportOneFile = 3 };

struct ExportTarget {
    enum Kind { Path, NoExport, TooLong } kind = NoExport;
    std::string path;
};

// The file the record of `mediaPath` goes to: mode 1 beside the media file, mode 2
// in `folder`, both named after the media file with the extension "txt"; mode 3
// `oneFile`. Other modes export nothing. A target over kMaxExportPath characters is
// refused (TooLong), never cut into the name of some other file.
ExportTarget exportFilePath(const std::string& mediaPath, int mode, const std::string& folder,
                            const std::string& oneFile);

} // namespace tavro
