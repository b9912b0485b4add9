#include "app/win/comments_list_input.h"

#include <commctrl.h>

#include "info_shell_resource.h"
#include "resource.h"

namespace tavro {

bool showCommentsMenu(HWND dialog, HWND from, LPARAM screenPoint) {
    HWND list = GetDlgItem(dialog, IDC_COMMENTS);
    if (!list || from != list || screenPoint == -1) return false;
    POINT screen = {static_cast<short>(LOWORD(screenPoint)),
                    static_cast<short>(HIWORD(screenPoint))};
    LVHITTESTINFO hit = {};
    hit.pt = screen;
    ScreenToClient(list, &hit.pt);
    // Over no row the menu does not open.
    if (SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return true;
    HMENU menu = CreatePopupMenu();
    if (!menu) return true;
    HMENU main = GetMenu(dialog);
    const struct {
        int id;
        const char* text;
    } items[] = {{IDM_EDIT_EDIT, "&Edit this RIFF Info Field"},
                 {IDM_EDIT_DELETE, "&Delete this RIFF Info Field"},
                 {IDM_EDIT_NEW, "&New RIFF Info Field"}};
    for (const auto& item : items) {
        UINT state = GetMenuState(main, item.id, MF_BYCOMMAND);
        UINT grayed = state != static_cast<UINT>(-1) && (state & MF_GRAYED) ? MF_GRAYED : 0;
        AppendMenuA(menu, MF_STRING | grayed, item.id, item.text);
    }
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, dialog, nullptr);
    DestroyMenu(menu);
    return true;
}

bool onCommentsNotify(HWND dialog, const NMHDR& header) {
    if (header.idFrom != IDC_COMMENTS) return false;
    int command = 0;
    switch (header.code) {
    case NM_DBLCLK:
        command = IDM_EDIT_EDIT;
        break;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE)
            command = IDM_EDIT_DELETE;
        break;
    case LVN_ITEMCHANGED:
        command = IDM_EDIT_SELECTION;
        break;
    default:
        break;
    }
    if (command) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return command != 0;
}

} // namespace tavro
