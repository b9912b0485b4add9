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
    // The README shipped beside the program: its name for the About box's link, and
    // how to open it. No link is shown when the name is empty.
    std::string readmeName;
    std::function<void(HWND owner)> openReadme;
    // Called as a dialog ends, so help it opened does not outlive it.
    std::function<void()> dialogEnded;
};

void runInstallDialog(HWND owner, const ShellDialogEnv& env);
void runAboutBox(HWND owner, const ShellDialogEnv& env);

// A flat link drawn for WM_DRAWITEM: underlined blue text on the dialog's face.
void drawLinkButton(const DRAWITEMSTRUCT& item);

} // namespace tavro
