#include "app/win/settings_dialog.h"

#include "resource.h"

namespace tavro {
namespace {

const int kBoxIds[kSettingsBoxCount] = {
    IDC_SET_DIRECTSHOW_ENUM, IDC_SET_DMO_ENUM, IDC_SET_VFW_ENUM,     IDC_SET_ACM_ENUM,
    IDC_SET_RENDERING,       IDC_SET_REGISTRY, IDC_SET_DRIVER_FILES, IDC_SET_RENDER_IN_BATCH};
const int kModeIds[3] = {IDC_SET_MODE_NORMAL, IDC_SET_MODE_NO_RENDER, IDC_SET_MODE_INFO_ONLY};

int boxOf(int id) {
    for (int box = 0; box < kSettingsBoxCount; ++box)
        if (kBoxIds[box] == id) return box;
    return -1;
}

} // namespace

bool SettingsDialog::run(HWND owner, HINSTANCE instance) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                           &SettingsDialog::dialogProc, reinterpret_cast<LPARAM>(this)) == IDOK;
}

INT_PTR CALLBACK SettingsDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<SettingsDialog*>(lParam)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR SettingsDialog::handle(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        show();
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) onCommand(LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void SettingsDialog::show() {
    for (int box = 0; box < kSettingsBoxCount; ++box) {
        CheckDlgButton(hwnd_, kBoxIds[box], model_.checked(box) ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(GetDlgItem(hwnd_, kBoxIds[box]), model_.boxEnabled(box));
    }
    CheckRadioButton(hwnd_, kModeIds[0], kModeIds[2], kModeIds[model_.mode() - 1]);
    EnableWindow(GetDlgItem(hwnd_, IDC_SET_SAVE_DEFAULT), model_.saveDefaultEnabled());
}

void SettingsDialog::onCommand(int id) {
    for (int mode = 1; mode <= 3; ++mode) {
        if (id == kModeIds[mode - 1]) {
            model_.selectMode(mode);
            show();
            return;
        }
    }
    const int box = boxOf(id);
    if (box >= 0) {
        model_.setChecked(box, IsDlgButtonChecked(hwnd_, id) == BST_CHECKED);
        show();
        return;
    }
    switch (id) {
    case IDOK:
        model_.ok(global_);
        EndDialog(hwnd_, IDOK);
        break;
    case IDC_SET_SAVE_DEFAULT:
        model_.saveAsDefault(global_, store_); // a failed write is not reported
        show();
        break;
    case IDCANCEL:
        EndDialog(hwnd_, model_.cancelReportsOk() ? IDOK : IDCANCEL);
        break;
    default:
        break;
    }
}

} // namespace tavro
