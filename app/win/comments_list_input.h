// The comments list's own input: the INFO context menu under the right button, the
// Delete key, double clicks and selection changes, all turned into menu commands.
#pragma once
#include <windows.h>

namespace tavro {

// WM_CONTEXTMENU from the comments list over one of its rows: opens the INFO context
// menu at the cursor, its items enabled as in the main menu. False when not handled.
bool showCommentsMenu(HWND dialog, HWND from, LPARAM screenPoint);

// WM_NOTIFY from the comments list: posts the command a double click (Edit), the
// Delete key (Delete) or a new selection stands for. False for other notifications.
bool onCommentsNotify(HWND dialog, const NMHDR& header);

} // namespace tavro
