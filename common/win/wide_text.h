// Text at the Windows API boundary. Tavro keeps paths and texts as UTF-8; the
// wide-character API takes UTF-16. Bytes that are not UTF-8 (a legacy INFO comment,
// a name from an old code page) are read in the ANSI code page instead of being lost.
#pragma once
#include <cstddef>
#include <string>

namespace tavro {

std::wstring wideFromUtf8(const std::string& text);
std::string utf8FromWide(const wchar_t* text, std::size_t length);
std::string utf8FromWide(const std::wstring& text);

// A path for CreateFileW and friends: UTF-16, and when it is MAX_PATH (260)
// characters or longer, made absolute and given the "\\?\" prefix ("\\?\UNC\" for a
// share), the only form the file API accepts at that length.
std::wstring widePath(const std::string& path);

} // namespace tavro
