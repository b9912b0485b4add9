// The Options and Help commands that open the shell dialogs (install, about), with
// the registry cleanup they offer.
#pragma once
#include <windows.h>

namespace tavro {

// IDM_OPTIONS_INSTALL and IDM_HELP_ABOUT; false for other commands.
bool runShellCommand(HWND window, int id);

// Deletes the settings key, then the program key, then the company key, each only if
// the one before went; the company key only when nothing else is under it.
bool deleteTavroRegistryEntries();

} // namespace tavro
