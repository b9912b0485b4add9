#include "app/win/header_save_dialog.h"

#include "app/win/save_file_name.h"
#include "export_ids.h"
#include "report/export_template.h"
#include "report/header_snapshot.h"

namespace tavro {

void HeaderSaveDialog::run(HWND owner, HINSTANCE instance) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_SAVE), owner,
                    &HeaderSaveDialog::dialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK HeaderSaveDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<HeaderSaveDialog*>(lParam)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<HeaderSaveDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR HeaderSaveDialog::handle(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        // The size its label calls the default starts selected.
        CheckRadioButton(hwnd_, IDC_HDR_5K, IDC_HDR_500K, IDC_HDR_50K);
        return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        saveHeaderSnapshot();
        EndDialog(hwnd_, IDOK);
    } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(hwnd_, IDCANCEL);
    }
    return TRUE;
}

void HeaderSaveDialog::saveHeaderSnapshot() {
    int choice = kSnapshotNoChoice;
    const int kSizeIds[3] = {IDC_HDR_5K, IDC_HDR_50K, IDC_HDR_500K};
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(hwnd_, kSizeIds[i]) == BST_CHECKED) choice = i;
    const uint32_t amount = snapshotAmount(choice, held_);
    if (amount == 0 || !head_) return;

    std::string name = baseName(mediaPath_);
    if (!askSaveFileName(hwnd_, "Binary Files (*.bin)\0*.bin\0ALL Files (*.*)\0*.*\0",
                         "Save File Header as...", "bin", &name))
        return;
    if (tavro::saveHeaderSnapshot(platformOutputFiles(), prompter_, head_, amount, name,
                                  mediaPath_) == SnapshotResult::Saved)
        prompter_.tell(snapshotSavedText(amount, name), "Header Saved", Icon::Information);
}

} // namespace tavro
