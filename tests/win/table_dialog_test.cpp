// The list dialog driven in this process under Wine: sorting by a column, the row
// action's index after sorting, and copying to the clipboard and reading it back.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/win/table_dialog.h"
#include "gui_harness.h"
#include "table_dialog_ids.h"

namespace tavro {
namespace {

void setClipboard(const std::string& text) {
    ASSERT_TRUE(TableDialog::copyToClipboard(nullptr, text));
}

HWND waitForDialog(const char* title) {
    for (int i = 0; i < 500; ++i) {
        if (HWND w = FindWindowA(MAKEINTATOM(32770), title)) return w;
        Sleep(20); // polling with a deadline for the dialog thread to show it
    }
    return nullptr;
}

std::string itemText(HWND list, int item, int column) {
    char text[256] = {};
    LVITEMA lv = {};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lv));
    return text;
}

void clickColumn(HWND dialog, HWND list, int column) {
    NMLISTVIEW nm = {};
    nm.hdr.hwndFrom = list;
    nm.hdr.idFrom = IDC_TABLE_LIST;
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = column;
    SendMessageA(dialog, WM_NOTIFY, IDC_TABLE_LIST, reinterpret_cast<LPARAM>(&nm));
}

void selectOnly(HWND list, int item) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    state.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

TEST(TableDialog, SortsCopiesAndActsOnTheArrayIndex) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    std::atomic<int> acted{-1};
    TableSpec spec;
    spec.title = "AUDIO: Installed codecs";
    spec.columns = {{"Type", 75}, {"Fmt Tag", 75}, {"Codec", 185}};
    spec.rows = {{"ACM", "0x0011", "IMA ADPCM"},
                 {"DMO", "", "WMA decoder"},
                 {"acm", "0x0002", "MS ADPCM"},
                 {"", "0x0055", "after the end"}};
    spec.rowAction = [&](int row) { acted = row; };

    std::string failure;
    std::thread driver([&] {
        HWND dialog = waitForDialog("AUDIO: Installed codecs");
        if (!dialog) {
            failure = "no dialog";
            return;
        }
        HWND list = GetDlgItem(dialog, IDC_TABLE_LIST);
        if (SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 3)
            failure += "rows end at an empty cell; ";
        // Sorted by column 0 at opening, ignoring case; ties keep their order.
        if (itemText(list, 0, 0) != "ACM" || itemText(list, 1, 2) != "MS ADPCM")
            failure += "initial sort; ";
        clickColumn(dialog, list, 1);
        // The empty tag sorts first.
        if (itemText(list, 0, 2) != "WMA decoder" || itemText(list, 2, 1) != "0x0011")
            failure += "sort by tag; ";
        selectOnly(list, 1); // "MS ADPCM", array index 2
        NMHDR dbl = {list, IDC_TABLE_LIST, static_cast<UINT>(NM_DBLCLK)};
        SendMessageA(dialog, WM_NOTIFY, IDC_TABLE_LIST, reinterpret_cast<LPARAM>(&dbl));
        SendMessageA(dialog, WM_COMMAND, IDM_TABLE_COPY_SELECTED, 0);
        if (guitest::clipboardText() != "acm\t0x0002\tMS ADPCM\r\n") failure += "copy selected; ";
        SendMessageA(dialog, WM_COMMAND, IDM_TABLE_COPY_ALL, 0);
        if (guitest::clipboardText() != "DMO\t\tWMA decoder\r\nacm\t0x0002\tMS ADPCM\r\n"
                                        "ACM\t0x0011\tIMA ADPCM\r\n")
            failure += "copy all; ";
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    TableDialog dialog(spec);
    EXPECT_EQ(dialog.run(nullptr, GetModuleHandleA(nullptr), false), IDOK);
    driver.join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(acted, 2);

    // An empty list copies nothing: the clipboard keeps what it had.
    setClipboard("before");
    TableSpec empty;
    empty.title = "VIDEO: details";
    empty.columns = {{"Src", 40}};
    std::thread closer([&] {
        HWND d = waitForDialog("VIDEO: details");
        if (!d) return;
        SendMessageA(d, WM_COMMAND, IDM_TABLE_COPY_ALL, 0);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    TableDialog(empty).run(nullptr, GetModuleHandleA(nullptr), true);
    closer.join();
    EXPECT_EQ(guitest::clipboardText(), "before");
}

} // namespace
} // namespace tavro
