// Opens an "http://" link in the user's browser.
#pragma once
#include <windows.h>

#include <string>

namespace tavro {

// The shell's "open" verb first, then the command registered for ".htm"; on failure
// a beep and a message box. True when a browser was started.
bool openWebLink(HWND owner, const std::string& url);

} // namespace tavro
