// The install dialog and the about box in the real tavro.exe under Wine: shortcuts in
// the prefix's Send To, desktop and Start Menu folders, and a registry cleanup that
// leaves other programs' keys under the company key alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "gui_harness.h"
#include "info_shell_resource.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

TEST(ShellGui, AboutBoxTexts) {
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_HELP_ABOUT, 0), 0);
    HWND about = program.waitForWindow("About Tavro", 10000);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(guitest::controlText(about, IDC_ABOUT_VERSION), "Version 2.1");
    EXPECT_EQ(guitest::controlText(about, IDC_ABOUT_BUILD), "Build 030105");
    EXPECT_EQ(guitest::controlText(about, IDC_ABOUT_LEGAL), "legal");
    // The home link is the README shipped beside the program.
    EXPECT_EQ(guitest::controlText(about, IDC_ABOUT_HOME), "README.md");
    std::string readme = TAVRO_EXE;
    readme = readme.substr(0, readme.find_last_of("/\\") + 1) + "README.md";
    EXPECT_NE(GetFileAttributesA(readme.c_str()), INVALID_FILE_ATTRIBUTES) << readme;
    guitest::settle(about);
    EXPECT_TRUE(guitest::saveWindowBitmap(about, std::string(TAVRO_ARTIFACT_DIR) + "/about.bmp"));
    // "legal" opens its help text in the explanation popup.
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LEGAL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(about, IDC_ABOUT_LEGAL)));
    std::string help;
    EXPECT_TRUE(guitest::waitUntil(
        [&] {
            HWND popup = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
            help = popup && IsWindowVisible(popup) ? guitest::controlText(popup, 100) : "";
            return !help.empty();
        },
        5000));
    EXPECT_EQ(help.rfind("Tavro is provided as it is", 0), 0u) << help;
    // It leaves OK uncovered, and goes with the About box.
    HWND popup = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
    RECT p, ok, both;
    GetWindowRect(popup, &p);
    GetWindowRect(GetDlgItem(about, IDOK), &ok);
    EXPECT_FALSE(IntersectRect(&both, &p, &ok));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(about); }, 10000));
    EXPECT_TRUE(guitest::waitUntil(
        [&] {
            HWND left = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
            return !left || !IsWindowVisible(left);
        },
        5000));
    // The system menu's item opens it too.
    PostMessageA(window, WM_SYSCOMMAND, IDM_SYSTEM_ABOUT, 0);
    about = program.waitForWindow("About Tavro", 10000);
    ASSERT_NE(about, nullptr);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

std::string linkIn(int folder) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, folder, TRUE)) return std::string();
    return std::string(path) + "\\Tavro.lnk";
}
bool present(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
bool keyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Closes a dialog and waits until it is gone, so that the next one found is new.
void closeWith(HWND dialog, int id) {
    guitest::press(dialog, id);
    guitest::waitUntil([&] { return !IsWindow(dialog); }, 10000);
}

HWND openInstall(guitest::Program& program, HWND window) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_INSTALL, 0), 0);
    return program.waitForWindow("The no-install install dialog", 10000);
}

TEST(ShellGui, InstallDialogShortcutsAndRegistryCleanup) {
    const std::string sendTo = linkIn(CSIDL_SENDTO), desktop = linkIn(CSIDL_DESKTOP),
                      programs = linkIn(CSIDL_PROGRAMS);
    ASSERT_FALSE(sendTo.empty() || desktop.empty() || programs.empty());
    for (const std::string& p : {sendTo, desktop, programs})
        DeleteFileA(p.c_str());
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // Settings Tavro stored without ever opening a file still count as stored.
    RegSetValueExA(key, "ExportFormat", 0, REG_SZ, (const BYTE*)"%@", 3);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Orlent\\OtherProgram", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    HWND dialog = openInstall(program, window);
    ASSERT_NE(dialog, nullptr);
    const int boxes[] = {IDC_INST_SENDTO, IDC_INST_DESKTOP, IDC_INST_STARTMENU};
    for (int id : boxes) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id)));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0);
    }
    guitest::settle(dialog);
    EXPECT_TRUE(
        guitest::saveWindowBitmap(dialog, std::string(TAVRO_ARTIFACT_DIR) + "/install_dialog.bmp"));
    closeWith(dialog, IDOK);
    EXPECT_TRUE(present(sendTo) && present(desktop) && present(programs));

    // Reopened: the boxes show what exists; unticking Send To removes only that one.
    dialog = openInstall(program, window);
    ASSERT_NE(dialog, nullptr);
    for (int id : boxes)
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(GetDlgItem(dialog, IDC_INST_SENDTO), BM_SETCHECK, BST_UNCHECKED, 0);
    closeWith(dialog, IDOK);
    EXPECT_FALSE(present(sendTo));
    EXPECT_TRUE(present(desktop));
    EXPECT_TRUE(present(programs));

    // Registry cleanup: Tavro's keys go, the company key stays for the other program.
    dialog = openInstall(program, window);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_INST_REGISTRY)));
    guitest::press(dialog, IDC_INST_REGISTRY);
    HWND confirm = program.waitForWindow("Registry Cleanup Confirmation", 10000);
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(guitest::messageBoxText(confirm),
              "This will remove all Tavro's registry entries.\r\nTavro preferences will be lost.");
    PostMessageA(confirm, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return !IsWindowEnabled(GetDlgItem(dialog, IDC_INST_REGISTRY)); }, 10000));
    EXPECT_FALSE(keyExists("Software\\Orlent\\Tavro"));
    EXPECT_TRUE(keyExists("Software\\Orlent\\OtherProgram"));
    closeWith(dialog, IDCANCEL);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);

    for (const std::string& p : {sendTo, desktop, programs})
        DeleteFileA(p.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\OtherProgram");
}

} // namespace
