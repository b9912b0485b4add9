// The common Save As box for a name in the ANSI code page: the file types, title
// and default extension are the caller's; an existing file is confirmed first.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include <string>

namespace tavro {

// Starts from *name and leaves the chosen path there; false when cancelled.
inline bool askSaveFileName(HWND owner, const char* filter, const char* title,
                            const char* defaultExt, std::string* name) {
    char buffer[MAX_PATH] = {};
    lstrcpynA(buffer, name->c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = defaultExt;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return false;
    *name = buffer;
    return true;
}

} // namespace tavro
