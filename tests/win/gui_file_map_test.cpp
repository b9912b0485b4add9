// View > File Map in the real window: the map of the file the report shows, opened
// from the menu, pointed at, captured, and redrawn for the next file.
#include <gtest/gtest.h>

#include "gui_export_support.h"
#include "resource.h"

namespace {

using namespace exporttest;

TEST(FileMapMenu, ShowsTheCurrentFilesMap) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    setDword("RunMode", 3);
    const std::string first = writeWave("tavro_map_first.wav", 40000);
    const std::string second = writeWave("tavro_map_second.wav", 4000);
    guitest::Program program(TAVRO_EXE, quoted({first, second}));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  1/2  "; }, 10000));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_VIEW_FILE_MAP, 0), 0);
    HWND map = program.waitForWindow("File Map - tavro_map_first.wav", 10000);
    ASSERT_NE(map, nullptr);
    SetWindowPos(map, HWND_TOP, 30, 30, 800, 460, SWP_SHOWWINDOW);
    guitest::settle(map);
    // The WAVE's data chunk is its one stream, from the first bytes to the end.
    RECT client;
    GetClientRect(map, &client);
    PostMessageA(map, WM_MOUSEMOVE, 0, MAKELPARAM(72 + (client.right - 84) / 2, 60));
    ASSERT_TRUE(guitest::waitUntil(
        [&] {
            return guitest::controlText(map, IDC_MAP_INFO).find("Audio 100%") != std::string::npos;
        },
        5000))
        << guitest::controlText(map, IDC_MAP_INFO);
    EXPECT_TRUE(guitest::saveWindowBitmap(map, TAVRO_ARTIFACT_DIR "/gui_file_map.bmp"));
    // The next file redraws the open map under its own name.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
    EXPECT_NE(program.waitForWindow("File Map - tavro_map_second.wav", 10000), nullptr);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
