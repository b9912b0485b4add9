#include "app/ui/open_selection.h"

#include <cstdio>
#include <cstring>

namespace tavro {
namespace {

// Length of the string at `at`, or `npos` when it runs to the end of the buffer
// without a terminator (a name cut short is not a name).
std::size_t terminatedLength(const char* buffer, std::size_t size, std::size_t at) {
    const void* end = std::memchr(buffer + at, '\0', size - at);
    return end ? static_cast<const char*>(end) - (buffer + at) : std::string::npos;
}

bool isSwitch(const std::string& arg) {
    return !arg.empty() && (arg[0] == '-' || arg[0] == '/');
}

} // namespace

std::vector<std::string> parseOpenSelection(const char* buffer, std::size_t size,
                                            std::size_t nameOffset) {
    std::vector<std::string> paths;
    if (!buffer || size == 0) return paths;
    const std::size_t firstLength = terminatedLength(buffer, size, 0);
    if (firstLength == 0 || firstLength == std::string::npos) return paths;
    std::string first(buffer, firstLength);
    if (nameOffset < firstLength) {
        paths.push_back(first);
        return paths;
    }
    // A root folder already ends in a backslash; do not double it.
    if (first.back() != '\\') first += '\\';
    std::size_t at = firstLength + 1;
    while (at < size && paths.size() < kMaxBatchFiles) {
        const std::size_t length = terminatedLength(buffer, size, at);
        if (length == 0 || length == std::string::npos) break;
        paths.push_back(first + std::string(buffer + at, length));
        at += length + 1;
    }
    return paths;
}

std::string firstSelectionString(const char* buffer, std::size_t size) {
    if (!buffer || size == 0) return std::string();
    std::size_t length = terminatedLength(buffer, size, 0);
    if (length == std::string::npos) length = size;
    return std::string(buffer, length < 259 ? length : 259);
}

std::vector<std::string> commandLineFiles(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::size_t i = 1;
    while (i < args.size() && (args[i].empty() || isSwitch(args[i])))
        ++i;
    if (i >= args.size()) return files;
    files.push_back(args[i]);
    // Arguments after the start-up file only: a switch before it must not make the
    // start-up file appear twice.
    for (++i; i < args.size() && files.size() < kMaxBatchFiles; ++i) {
        if (!args[i].empty() && !isSwitch(args[i])) files.push_back(args[i]);
    }
    return files;
}

std::string programFolderOf(const std::string& modulePath) {
    const std::size_t slash = modulePath.find_last_of('\\');
    return slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
}

std::string counterText(int position, int count) {
    char text[32];
    std::snprintf(text, sizeof text, "%3d/%-3d", position, count);
    return text;
}

} // namespace tavro
