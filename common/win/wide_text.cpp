#include "common/win/wide_text.h"

#include <windows.h>

#include <vector>

namespace tavro {

std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    UINT page = CP_UTF8;
    int length = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) {
        page = CP_ACP;
        length = MultiByteToWideChar(page, 0, text.data(), size, nullptr, 0);
    }
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(page, page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text.data(), size,
                        &wide[0], length);
    return wide;
}

std::string utf8FromWide(const wchar_t* text, std::size_t length) {
    if (!text || length == 0) return std::string();
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

std::string utf8FromWide(const std::wstring& text) {
    return utf8FromWide(text.data(), text.size());
}

std::wstring widePath(const std::string& path) {
    std::wstring wide = wideFromUtf8(path);
    if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    // The prefix turns off the API's own clean-up (relative parts, "..", "/"), so
    // the full path is made first.
    const DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0) return wide;
    std::vector<wchar_t> full(need + 1);
    const DWORD got = GetFullPathNameW(wide.c_str(), need + 1, full.data(), nullptr);
    if (got == 0 || got > need) return wide;
    std::wstring absolute(full.data(), got);
    if (absolute.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + absolute.substr(2);
    if (absolute.size() >= 3 && absolute[1] == L':') return L"\\\\?\\" + absolute;
    return wide;
}

} // namespace tavro
