// Detail tables opened from the installed-codec lists in the real window: a double
// click on a row opens a table that is drawn (not an empty grey box), as the same
// table opened from a popup link is.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"
#include "table_dialog_ids.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

struct Found {
    DWORD process;
    HWND except;
    HWND window;
};

BOOL CALLBACK visitTopWindow(HWND hwnd, LPARAM data) {
    auto* f = reinterpret_cast<Found*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (owner == f->process && hwnd != f->except && IsWindowVisible(hwnd) &&
        GetDlgItem(hwnd, IDC_TABLE_LIST) &&
        std::string(title).find("etails") != std::string::npos) {
        f->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible table dialog of the process other than `except`, whose title names details.
HWND findDetailTable(DWORD process, HWND except) {
    Found f = {process, except, nullptr};
    EnumWindows(visitTopWindow, reinterpret_cast<LPARAM>(&f));
    return f.window;
}

// Pixels of the list's client area on the screen that are text-dark: an empty grey
// box has none.
int darkPixels(HWND list) {
    RECT client;
    GetClientRect(list, &client);
    POINT corner = {0, 0};
    ClientToScreen(list, &corner);
    const int width = client.right, height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    int dark = 0;
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, corner.x, corner.y, SRCCOPY);
        GdiFlush();
        const auto* pixel = static_cast<const uint8_t*>(bits);
        for (int i = 0; i < width * height; ++i, pixel += 4)
            if (pixel[0] + pixel[1] + pixel[2] < 3 * 96) ++dark;
        SelectObject(memory, old);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return dark;
}

// A real double click on the list's first row, through the mouse.
void doubleClickFirstRow(HWND list) {
    RECT header = {};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
    RECT frame;
    GetWindowRect(list, &frame);
    SetForegroundWindow(GetAncestor(list, GA_ROOT));
    SetCursorPos(frame.left + 30, header.bottom + 6);
    INPUT clicks[4] = {};
    const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                            MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = flags[i];
    }
    SendInput(4, clicks, sizeof(INPUT));
}

TEST(DetailTables, DoubleClickedRowOpensADrawnTable) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings");
    guitest::Program program(TAVRO_EXE, "");
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);

    const struct {
        int command;
        const char* title;
    } lists[] = {{IDM_VIEW_INSTALLED_AUDIO, "AUDIO: Installed codecs"},
                 {IDM_VIEW_INSTALLED_VIDEO, "VIDEO: Installed codecs"}};
    for (const auto& l : lists) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(l.command, 0), 0);
        HWND dialog = program.waitForWindow(l.title, 20000);
        ASSERT_NE(dialog, nullptr) << l.title;
        HWND list = GetDlgItem(dialog, IDC_TABLE_LIST);
        ASSERT_GT(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0) << l.title;
        guitest::settle(dialog);
        doubleClickFirstRow(list);
        HWND details = nullptr;
        ASSERT_TRUE(guitest::waitUntil(
            [&] { return (details = findDetailTable(process, dialog)) != nullptr; }, 10000))
            << l.title;
        HWND table = GetDlgItem(details, IDC_TABLE_LIST);
        EXPECT_GT(SendMessageA(table, LVM_GETITEMCOUNT, 0, 0), 5) << l.title;
        // Drawn: text shows in the list, within a few seconds and without any help.
        int dark = 0;
        EXPECT_TRUE(guitest::waitUntil([&] { return (dark = darkPixels(table)) > 200; }, 5000))
            << l.title << ": " << dark << " dark pixels";
        guitest::saveWindowBitmap(
            details, std::string(TAVRO_ARTIFACT_DIR) + "/details_" +
                         (l.command == IDM_VIEW_INSTALLED_AUDIO ? "audio" : "video") + ".bmp");
        // Modal to the list it came from: the list waits until the details close.
        EXPECT_FALSE(IsWindowEnabled(dialog)) << l.title;
        SendMessageA(details, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(details); }, 5000));
        EXPECT_TRUE(guitest::waitUntil([&] { return IsWindowEnabled(dialog) != 0; }, 5000));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000)) << l.title;
    }
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
