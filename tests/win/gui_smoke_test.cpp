#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The program's resources, loaded as data into this process: Wine keeps menus and
// dialog units per process, so the template is inspected here, not across processes.
class ProgramResources {
public:
    ProgramResources() : module_(LoadLibraryExA(TAVRO_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramResources() {
        if (dialog_) DestroyWindow(dialog_);
        if (module_) FreeLibrary(module_);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    HWND createMainDialog() {
        if (!module_) return nullptr;
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(IDD_MAIN), MAKEINTRESOURCEA(5));
        HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
        auto* dialogTemplate = static_cast<LPCDLGTEMPLATEA>(loaded ? LockResource(loaded) : nullptr);
        if (!dialogTemplate) return nullptr;
        dialog_ = CreateDialogIndirectParamA(module_, dialogTemplate, nullptr, quietDialogProc, 0);
        return dialog_;
    }

private:
    HMODULE module_;
    HWND dialog_ = nullptr;
};

std::vector<std::string> topMenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
    }
    return texts;
}

TEST(MainDialogTemplate, HasTitleMenuBarAndSize) {
    ProgramResources resources;
    HWND dialog = resources.createMainDialog();
    ASSERT_NE(dialog, nullptr) << GetLastError();

    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, kTitle);

    HMENU menu = GetMenu(dialog);
    ASSERT_NE(menu, nullptr);
    const std::vector<std::string> expected = {"&File", "&Edit", "&View", "&Options", "&Help"};
    EXPECT_EQ(topMenuTexts(menu), expected);

    RECT units = {0, 0, 372, 273};
    ASSERT_TRUE(MapDialogRect(dialog, &units));
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
}

TEST(GuiSmoke, ProgramShowsItsWindowAndClosesCleanly) {
    guitest::Program program(TAVRO_EXE, "");
    ASSERT_TRUE(program.started()) << "CreateProcess failed: " << GetLastError();
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr) << "no window titled " << kTitle;

    // Same client size as the template laid out here.
    ProgramResources resources;
    HWND reference = resources.createMainDialog();
    ASSERT_NE(reference, nullptr);
    RECT shown, expected;
    GetClientRect(window, &shown);
    GetClientRect(reference, &expected);
    EXPECT_EQ(shown.right, expected.right);
    EXPECT_EQ(shown.bottom, expected.bottom);

    EXPECT_TRUE(
        guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) + "/main_window.bmp"));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
