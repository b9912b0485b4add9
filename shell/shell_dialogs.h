// The install dialog and the about box. What they need of the program (following a
// link, the stored settings) comes in through ShellDialogEnv.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace tavro {

struct ShellDialogEnv {
    std::function<void(const std::string& target)> followLink;
    std::function<bool()> settingsStored; // "LastMediaFile" holds a path
    std::function<bool()> deleteSettings; // the registry cleanup; false when it stopped
};

void runInstallDialog(HWND owner, const ShellDialogEnv& env);
void runAboutBox(HWND owner, const ShellDialogEnv& env);

// A flat link drawn for WM_DRAWITEM: underlined blue text on the dialog's face.
void drawLinkButton(const DRAWITEMSTRUCT& item);

} // namespace tavro
