// Private window messages between the main window, its report controls and the
// explanation popup. All are sent within the process except the title-tip query,
// which tests also send from outside with a null buffer.
#pragma once
#include <windows.h>

namespace tavro {

// To a ReportField: wParam = buffer size, lParam = char buffer or 0. Answers the
// length of the full text when it does not fit the field (copied when a buffer is
// given), else 0.
constexpr UINT kMsgTitleTipQuery = WM_APP + 0x40;

// From a LinkButton's context menu to its parent: wParam = control id, lParam = code.
constexpr UINT kMsgLinkCommand = WM_APP + 0x41;
constexpr LPARAM kLinkCodeDetails = 0x8025;
constexpr LPARAM kLinkCodeAllFiles = 0x8026;
constexpr LPARAM kLinkCodeNextFile = 0x8027;

// To the main window: close the explanation popup.
constexpr UINT kMsgClosePopup = WM_APP + 0x42;

// To a link's owner: follow a link target; lParam = const char* target (sent).
constexpr UINT kMsgFollowLink = WM_APP + 0x43;

// To a link's parent: a "tavro://local.NAME" link; lParam = const char* NAME (sent).
constexpr UINT kMsgLocalLink = WM_APP + 0x44;

// To the main window: open the files named on the command line.
constexpr UINT kMsgOpenCommandLine = WM_APP + 0x45;

// To the main window: ESC cancelled a render test (posted); a running batch stops.
constexpr UINT kMsgRenderCancelled = WM_APP + 0x46;

} // namespace tavro
