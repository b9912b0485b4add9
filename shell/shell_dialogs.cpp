#include "shell/shell_dialogs.h"

#include "common/version.h"
#include "info_shell_resource.h"
#include "resource.h"
#include "shell/shortcuts.h"

namespace tavro {
namespace {

const char kInfoTarget[] = "tavro://local.info";
const char kLegalTarget[] = "tavro://local.legal";

struct Place {
    int control;
    ShortcutPlace place;
};
// OK works through them in this order: desktop, Start Menu, Send To.
const Place kPlaces[] = {{IDC_INST_DESKTOP, ShortcutPlace::Desktop},
                         {IDC_INST_STARTMENU, ShortcutPlace::StartMenuPrograms},
                         {IDC_INST_SENDTO, ShortcutPlace::SendTo}};

struct InstallState {
    const ShellDialogEnv* env = nullptr;
    bool folders = false;
    bool existed[3] = {};
};

INT_PTR CALLBACK installProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* state = reinterpret_cast<InstallState*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!state) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        state->folders = shellFoldersAvailable(hwnd) != 0;
        for (int i = 0; i < 3; ++i) {
            HWND box = GetDlgItem(hwnd, kPlaces[i].control);
            if (!state->folders) {
                EnableWindow(box, FALSE);
                continue;
            }
            state->existed[i] = shortcutExists(hwnd, kPlaces[i].place) != 0;
            SendMessageA(box, BM_SETCHECK, state->existed[i] ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        EnableWindow(GetDlgItem(hwnd, IDC_INST_REGISTRY),
                     state->env->settingsStored && state->env->settingsStored());
        return TRUE;
    case WM_DRAWITEM:
        drawLinkButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            for (int i = 0; state->folders && i < 3; ++i) {
                const bool ticked = IsDlgButtonChecked(hwnd, kPlaces[i].control) == BST_CHECKED;
                if (ticked && !state->existed[i])
                    createShortcut(hwnd, kPlaces[i].place);
                else if (!ticked && state->existed[i])
                    removeShortcut(hwnd, kPlaces[i].place);
            }
            EndDialog(hwnd, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(hwnd, IDCANCEL);
            return TRUE;
        case IDC_INST_INFO:
            if (state->env->followLink) state->env->followLink(kInfoTarget);
            return TRUE;
        case IDC_INST_REGISTRY:
            if (MessageBoxA(hwnd,
                            "This will remove all Tavro's registry entries.\r\nTavro preferences "
                            "will be lost.",
                            "Registry Cleanup Confirmation", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
                return TRUE;
            if (state->env->deleteSettings) state->env->deleteSettings();
            EnableWindow(GetDlgItem(hwnd, IDC_INST_REGISTRY), FALSE);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK aboutProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* env = reinterpret_cast<const ShellDialogEnv*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!env) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(hwnd, IDC_ABOUT_VERSION, "Version " TAVRO_VERSION);
        SetDlgItemTextA(hwnd, IDC_ABOUT_BUILD, "Build 030105");
        SetDlgItemTextA(hwnd, IDC_ABOUT_HOME, env->readmeName.c_str());
        if (env->readmeName.empty()) ShowWindow(GetDlgItem(hwnd, IDC_ABOUT_HOME), SW_HIDE);
        SetDlgItemTextA(hwnd, IDC_ABOUT_LEGAL, "legal");
        return TRUE;
    case WM_DRAWITEM:
        drawLinkButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(hwnd, LOWORD(wParam));
            return TRUE;
        case IDC_ABOUT_HOME:
            if (!env->readmeName.empty() && env->openReadme) env->openReadme(hwnd);
            return TRUE;
        case IDC_ABOUT_LEGAL:
            if (env->followLink) env->followLink(kLegalTarget);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

} // namespace

void drawLinkButton(const DRAWITEMSTRUCT& item) {
    char text[256] = {};
    GetWindowTextA(item.hwndItem, text, sizeof text);
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    LOGFONTA font = {};
    HFONT base = reinterpret_cast<HFONT>(SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    GetObjectA(base ? base : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(item.hDC, underlined);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, RGB(0, 0, 255));
    RECT r = item.rcItem;
    DrawTextA(item.hDC, text, -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
    SelectObject(item.hDC, old);
    DeleteObject(underlined);
}

void runInstallDialog(HWND owner, const ShellDialogEnv& env) {
    InstallState state;
    state.env = &env;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INSTALL), owner, installProc,
                    reinterpret_cast<LPARAM>(&state));
    if (env.dialogEnded) env.dialogEnded();
}

void runAboutBox(HWND owner, const ShellDialogEnv& env) {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), owner, aboutProc,
                    reinterpret_cast<LPARAM>(&env));
    if (env.dialogEnded) env.dialogEnded();
}

} // namespace tavro
