#include <gtest/gtest.h>

#include "gui_harness.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

TEST(GuiSmoke, MainDialogOpensWithTitleMenuAndSizeThenCloses) {
    guitest::Program program(TAVRO_EXE, "");
    ASSERT_TRUE(program.started()) << "CreateProcess failed: " << GetLastError();
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr) << "no window titled " << kTitle;

    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    char first[64] = {};
    GetMenuStringA(menu, 0, first, sizeof first, MF_BYPOSITION);
    EXPECT_STREQ(first, "&File");
    EXPECT_GE(GetMenuItemCount(menu), 4);

    // The client area is the dialog template's 372 x 273 units in pixels.
    RECT units = {0, 0, 372, 273};
    ASSERT_TRUE(MapDialogRect(window, &units));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    EXPECT_TRUE(
        guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) + "/main_window.bmp"));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
