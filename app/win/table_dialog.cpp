#include "app/win/table_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>

#include "table_dialog_ids.h"

namespace tavro {

INT_PTR TableDialog::run(HWND owner, HINSTANCE instance, bool smallUnits) {
    smallUnits_ = smallUnits;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TABLE), owner, &TableDialog::dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK TableDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TableDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TableDialog*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<TableDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR TableDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInit();
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(hwnd_, LOWORD(wParam));
            return TRUE;
        case IDM_TABLE_DETAILS:
            runAction();
            return TRUE;
        case IDM_TABLE_COPY_SELECTED:
        case IDM_TABLE_COPY_ALL:
            copyToClipboard(hwnd_, copiedText(spec_, rowsInListOrder(LOWORD(wParam) ==
                                                                     IDM_TABLE_COPY_SELECTED)));
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->hwndFrom != list_) return FALSE;
        if (hdr->code == LVN_COLUMNCLICK)
            sortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        else if (hdr->code == NM_DBLCLK)
            // Run once the list has finished its own click handling: a modal table
            // started inside the notification opens while the list still holds the
            // mouse, and is not drawn until something else repaints it.
            PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDM_TABLE_DETAILS, 0), 0);
        return TRUE;
    }
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == list_) {
            onContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void TableDialog::onInit() {
    list_ = GetDlgItem(hwnd_, IDC_TABLE_LIST);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (size_t c = 0; c < spec_.columns.size(); ++c) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(spec_.columns[c].title.c_str());
        column.cx = scaledColumnWidth(spec_.columns[c].width, smallUnits_);
        column.iSubItem = static_cast<int>(c);
        SendMessageA(list_, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    SetWindowTextA(hwnd_, spec_.title.c_str());
    RECT frame;
    if (GetWindowRect(hwnd_, &frame)) {
        // Detail tables open beside the list they came from, not over it.
        const int offset = isDetailTitle(spec_.title) ? 20 : 0;
        SetWindowPos(hwnd_, nullptr, frame.left + offset, frame.top + offset, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    sortBy(0);
}

void TableDialog::fill(const std::vector<int>& order) {
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    int at = 0;
    for (int row : order) {
        const auto& cells = spec_.rows[static_cast<size_t>(row)];
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = at;
        item.pszText = const_cast<char*>(cells[0].c_str());
        item.lParam = row; // the row's array index travels with it through every sort
        const int index = static_cast<int>(
            SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) continue;
        for (size_t c = 1; c < cells.size() && c < spec_.columns.size(); ++c) {
            LVITEMA sub = {};
            sub.iSubItem = static_cast<int>(c);
            sub.pszText = const_cast<char*>(cells[c].c_str());
            SendMessageA(list_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
        }
        ++at;
    }
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
}

void TableDialog::sortBy(int column) {
    fill(sortedRows(spec_, column));
}

int TableDialog::selectedRow() const {
    const int item = static_cast<int>(
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (item < 0) return -1;
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return -1;
    return static_cast<int>(lv.lParam);
}

std::vector<int> TableDialog::rowsInListOrder(bool selectedOnly) const {
    std::vector<int> rows;
    int item = -1;
    for (;;) {
        item = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                             selectedOnly ? LVNI_SELECTED : LVNI_ALL));
        if (item < 0) break;
        LVITEMA lv = {};
        lv.mask = LVIF_PARAM;
        lv.iItem = item;
        if (SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv)))
            rows.push_back(static_cast<int>(lv.lParam));
    }
    return rows;
}

void TableDialog::runAction() {
    if (!spec_.rowAction) return;
    const int row = selectedRow();
    if (row >= 0) spec_.rowAction(row);
}

void TableDialog::onContextMenu(int x, int y) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    AppendMenuA(menu, MF_STRING | (spec_.rowAction ? MF_ENABLED : MF_GRAYED), IDM_TABLE_DETAILS,
                "Details");
    AppendMenuA(menu, MF_STRING, IDM_TABLE_COPY_SELECTED, "Copy Selected");
    AppendMenuA(menu, MF_STRING, IDM_TABLE_COPY_ALL, "Copy All");
    SetMenuDefaultItem(menu, IDM_TABLE_DETAILS, FALSE);
    if (x == -1 && y == -1) { // from the keyboard: at the list's corner
        RECT r;
        GetWindowRect(list_, &r);
        x = r.left;
        y = r.top;
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
}

bool TableDialog::copyToClipboard(HWND owner, const std::string& text) {
    if (text.empty()) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) return false;
    char* bytes = static_cast<char*>(GlobalLock(memory));
    if (!bytes) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory); // else the clipboard owns it
    return placed;
}

} // namespace tavro
