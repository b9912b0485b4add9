#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

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
    guitest::ProgramResources resources(TAVRO_EXE);
    HWND dialog = resources.createDialog(IDD_MAIN);
    ASSERT_NE(dialog, nullptr) << GetLastError();

    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, kTitle);

    HMENU menu = GetMenu(dialog);
    ASSERT_NE(menu, nullptr);
    const std::vector<std::string> expected = {"&File", "&Edit", "&View", "&Options", "&Help"};
    EXPECT_EQ(topMenuTexts(menu), expected);

    RECT units = {0, 0, 520, 369};
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
    guitest::ProgramResources resources(TAVRO_EXE);
    HWND reference = resources.createDialog(IDD_MAIN);
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
