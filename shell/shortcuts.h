// Tavro's own shell entries: "Tavro.lnk" in the Send To folder, on the desktop and in
// the Start Menu's programs folder, pointing at the running program.
#pragma once
#include <windows.h>

#include <string>

namespace tavro {

enum class ShortcutPlace { SendTo = 9, Desktop = 0, StartMenuPrograms = 2 }; // shell folder ids

// 0 on success, else an error (1 when the folder or the program path cannot be found,
// or, with a message, when the link's path would be longer than the platform allows).
int createShortcut(HWND owner, ShortcutPlace place);
// Non-zero when the shortcut file was deleted.
int removeShortcut(HWND owner, ShortcutPlace place);
// Non-zero when the shortcut file is there.
int shortcutExists(HWND owner, ShortcutPlace place);
// Non-zero when the shell's folder function (shell32 4.71 and later) works.
int shellFoldersAvailable(HWND owner);

// The shortcut's full path ("" when the folder cannot be found).
std::string shortcutPath(HWND owner, ShortcutPlace place, bool createFolder);

} // namespace tavro
