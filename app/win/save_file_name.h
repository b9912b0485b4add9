// The common Save As box over UTF-8 names: the file types, title and default
// extension are the caller's; an existing file is confirmed first.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "common/win/wide_text.h"

namespace tavro {

// Starts from *name and leaves the chosen path there; false when cancelled. The
// wide dialog, so a name in any script comes back whole.
inline bool askSaveFileName(HWND owner, const char* filter, const char* title,
                            const char* defaultExt, std::string* name) {
    // The filter is a list of strings ended by an empty one.
    const char* end = filter;
    while (end[0] || end[1])
        ++end;
    const std::wstring types = wideFromUtf8(std::string(filter, end + 2));
    const std::wstring caption = wideFromUtf8(title);
    const std::wstring extension = wideFromUtf8(defaultExt);
    std::wstring buffer(32768, L'\0');
    const std::wstring start = wideFromUtf8(*name);
    if (start.size() < buffer.size()) buffer.replace(0, start.size(), start);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = types.c_str();
    dialog.lpstrFile = &buffer[0];
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return false;
    *name = utf8FromWide(buffer.c_str(), lstrlenW(buffer.c_str()));
    return true;
}

} // namespace tavro
