#include "app/win/wide_file_names.h"

#include "common/win/wide_text.h"

namespace tavro {

std::vector<std::string> droppedFiles(HDROP drop, std::size_t limit) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && paths.size() < limit; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        if (length == 0) break;
        std::wstring name(length + 1, L'\0');
        DragQueryFileW(drop, i, &name[0], length + 1);
        paths.push_back(utf8FromWide(name.data(), length));
    }
    return paths;
}

std::vector<char> utf8Selection(const wchar_t* buffer, std::size_t size, std::size_t& nameOffset) {
    std::vector<char> out;
    std::size_t at = 0;
    bool first = true;
    while (buffer && at < size && buffer[at] != L'\0') {
        std::size_t length = 0;
        while (at + length < size && buffer[at + length] != L'\0')
            ++length;
        const std::string text = utf8FromWide(buffer + at, length);
        if (first) nameOffset = nameOffset < length ? 0 : text.size() + 1;
        first = false;
        out.insert(out.end(), text.begin(), text.end());
        out.push_back('\0');
        at += length + 1;
    }
    out.push_back('\0');
    return out;
}

} // namespace tavro
