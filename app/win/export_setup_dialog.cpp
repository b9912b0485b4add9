#include "app/win/export_setup_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

#include "app/ui/settings_io.h"
#include "app/ui/tooltip_rule.h"
#include "app/win/save_file_name.h"
#include "common/win/wide_text.h"
#include "export_ids.h"
#include "report/export_template.h"

namespace tavro {
namespace {

const int kModeIds[3] = {IDC_EXP_MODE_SAME, IDC_EXP_MODE_FOLDER, IDC_EXP_MODE_FILE};
const struct {
    int id;
    int text;
} kHelpLinks[] = {{IDC_EXP_LINK_SAMPLE, IDS_EXP_HELP_SAMPLE},
                  {IDC_EXP_LINK_KEY, IDS_EXP_HELP_KEY},
                  {IDC_EXP_LINK_BATCH, IDS_EXP_HELP_BATCH},
                  {IDC_EXP_LINK_MODES, IDS_EXP_HELP_MODES}};
const size_t kMaxTemplate = 255;
const size_t kMaxPath = 259;

std::string windowText(HWND control, size_t limit) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(std::strlen(text.c_str()));
    if (text.size() > limit) text.resize(limit);
    return text;
}

// A path typed into a box, as UTF-8 of at most `limit` bytes, cut between characters.
std::string widePathText(HWND control, size_t limit) {
    const int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(control, &text[0], static_cast<int>(text.size()));
    std::string utf8 = utf8FromWide(text.c_str(), got > 0 ? static_cast<size_t>(got) : 0);
    if (utf8.size() > limit) {
        size_t n = limit;
        while (n > 0 && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80)
            --n;
        utf8.resize(n);
    }
    return utf8;
}

std::string resourceText(HINSTANCE instance, int id) {
    char buffer[2048] = {};
    const int n = LoadStringA(instance, static_cast<UINT>(id), buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

bool ExportSetupDialog::run(HWND owner, HINSTANCE instance) {
    instance_ = instance;
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_EXPORT_SETUP), owner,
                        &ExportSetupDialog::dialogProc, reinterpret_cast<LPARAM>(this));
    popup_.close();
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
    return result == IDOK;
}

INT_PTR CALLBACK ExportSetupDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<ExportSetupDialog*>(lParam)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<ExportSetupDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR ExportSetupDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInit();
        return TRUE;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        auto found = links_.find(static_cast<int>(item->CtlID));
        if (found != links_.end()) found->second->draw(*item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
        // Read-only edit boxes: navy on light yellow.
        HWND control = reinterpret_cast<HWND>(lParam);
        const int id = GetDlgCtrlID(control);
        if (id != IDC_EXP_TEMPLATE && id != IDC_EXP_PATH) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, kFieldText);
        SetBkColor(dc, kFieldBackground);
        return reinterpret_cast<INT_PTR>(brush_);
    }
    case WM_LBUTTONDOWN:
        popup_.close();
        return FALSE;
    case WM_DESTROY:
        popup_.close();
        return FALSE;
    default:
        return FALSE;
    }
}

void ExportSetupDialog::onInit() {
    brush_ = CreateSolidBrush(kFieldBackground);
    for (const auto& help : kHelpLinks) {
        auto link = std::make_unique<LinkButton>();
        if (!link->attach(GetDlgItem(hwnd_, help.id), LinkButton::Menu::None)) continue;
        link->enable();
        links_[help.id] = std::move(link);
    }
    SendDlgItemMessageA(hwnd_, IDC_EXP_TEMPLATE, EM_LIMITTEXT, kMaxTemplate, 0);
    SendDlgItemMessageA(hwnd_, IDC_EXP_PATH, EM_LIMITTEXT, kMaxPath, 0);
    SetDlgItemTextA(hwnd_, IDC_EXP_TEMPLATE, copy_.exportFormat.c_str());
    CheckDlgButton(hwnd_, IDC_EXP_ENABLE, copy_.exportEnabled ? BST_CHECKED : BST_UNCHECKED);
    if (copy_.exportMode >= 1 && copy_.exportMode <= 3)
        CheckRadioButton(hwnd_, kModeIds[0], kModeIds[2], kModeIds[copy_.exportMode - 1]);
    showPath();
    updateControls();
}

// The path box shows the folder in mode 2 and the file in mode 3.
void ExportSetupDialog::showPath() {
    showingPath_ = true; // the box's own change notification must not copy it back
    const char* text = copy_.exportMode == kExportChosenFolder ? copy_.exportPath.c_str()
                       : copy_.exportMode == kExportOneFile    ? copy_.exportFile.c_str()
                                                               : "";
    // Paths are UTF-8: the box is given and read in UTF-16, never the ANSI code page.
    SetDlgItemTextW(hwnd_, IDC_EXP_PATH, wideFromUtf8(text).c_str());
    showingPath_ = false;
}

void ExportSetupDialog::updateControls() {
    const bool on = copy_.exportEnabled != 0;
    const bool pathMode =
        copy_.exportMode == kExportChosenFolder || copy_.exportMode == kExportOneFile;
    for (int id : kModeIds)
        EnableWindow(GetDlgItem(hwnd_, id), on);
    EnableWindow(GetDlgItem(hwnd_, IDC_EXP_DEFAULT), on);
    EnableWindow(GetDlgItem(hwnd_, IDC_EXP_MODIFY), on);
    EnableWindow(GetDlgItem(hwnd_, IDC_EXP_BROWSE), on && pathMode);
    EnableWindow(GetDlgItem(hwnd_, IDC_EXP_TEMPLATE), on);
    SendDlgItemMessageA(hwnd_, IDC_EXP_TEMPLATE, EM_SETREADONLY, !(on && editing_), 0);
    EnableWindow(GetDlgItem(hwnd_, IDC_EXP_PATH), on && pathMode);
    SendDlgItemMessageA(hwnd_, IDC_EXP_PATH, EM_SETREADONLY, !(on && pathMode), 0);
    SetDlgItemTextA(hwnd_, IDC_EXP_MODIFY, editing_ ? "Apply" : "Modify...");
}

void ExportSetupDialog::setEditing(bool editing) {
    editing_ = editing;
    updateControls();
}

void ExportSetupDialog::takeTemplate() {
    copy_.exportFormat = windowText(GetDlgItem(hwnd_, IDC_EXP_TEMPLATE), kMaxTemplate);
}

// The global copy and the registry, all at once.
void ExportSetupDialog::store() {
    global_ = copy_;
    saveWorkingSettings(store_, global_); // a failed registry write is not the user's concern
}

void ExportSetupDialog::onCommand(int id, int code) {
    if (id == IDC_EXP_PATH) {
        if (code != EN_CHANGE || showingPath_) return;
        const std::string text = widePathText(GetDlgItem(hwnd_, IDC_EXP_PATH), kMaxPath);
        if (copy_.exportMode == kExportChosenFolder) copy_.exportPath = text;
        if (copy_.exportMode == kExportOneFile) copy_.exportFile = text;
        return;
    }
    if (code != BN_CLICKED) return;
    for (const auto& help : kHelpLinks) {
        if (id == help.id) {
            showHelp(id);
            return;
        }
    }
    popup_.close();
    for (int mode = 1; mode <= 3; ++mode) {
        if (id == kModeIds[mode - 1]) {
            copy_.exportMode = mode;
            showPath();
            updateControls();
            return;
        }
    }
    switch (id) {
    case IDC_EXP_ENABLE:
        copy_.exportEnabled = IsDlgButtonChecked(hwnd_, IDC_EXP_ENABLE) == BST_CHECKED;
        updateControls();
        break;
    case IDC_EXP_MODIFY:
        if (!editing_) {
            setEditing(true);
            SetFocus(GetDlgItem(hwnd_, IDC_EXP_TEMPLATE));
        } else {
            takeTemplate();
            store();
            setEditing(false);
        }
        break;
    case IDC_EXP_DEFAULT:
        SetDlgItemTextA(hwnd_, IDC_EXP_TEMPLATE, kDefaultExportTemplate);
        setEditing(true);
        break;
    case IDC_EXP_BROWSE:
        browse();
        break;
    case IDOK:
        // A template being edited counts as applied: OK should not lose the typing.
        if (editing_) takeTemplate();
        store();
        EndDialog(hwnd_, IDOK);
        break;
    case IDCANCEL:
        EndDialog(hwnd_, IDCANCEL);
        break;
    default:
        break;
    }
}

void ExportSetupDialog::browse() {
    if (copy_.exportMode == kExportOneFile) {
        std::string name = copy_.exportFile;
        if (!askSaveFileName(hwnd_, "Text Files (*.txt)\0*.txt\0ALL Files (*.*)\0*.*\0",
                             "Export data as text to...", "txt", &name))
            return;
        copy_.exportFile = name;
    } else if (copy_.exportMode == kExportChosenFolder) {
        BROWSEINFOW info = {};
        wchar_t display[MAX_PATH] = {};
        info.hwndOwner = hwnd_;
        info.pszDisplayName = display;
        info.lpszTitle = L"Select Target Folder";
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
        if (!chosen) return;
        wchar_t folder[MAX_PATH] = {};
        const BOOL ok = SHGetPathFromIDListW(chosen, folder);
        CoTaskMemFree(chosen);
        if (!ok) return;
        copy_.exportPath = utf8FromWide(folder, lstrlenW(folder));
    } else {
        return;
    }
    showPath();
}

void ExportSetupDialog::showHelp(int linkId) {
    popup_.close(); // one help window at a time: a new one replaces the old one
    for (const auto& help : kHelpLinks) {
        if (help.id != linkId) continue;
        POINT mouse = {0, 0};
        GetCursorPos(&mouse);
        popup_.open(hwnd_, linkId, {resourceText(instance_, help.text), {}}, mouse, true);
    }
}

} // namespace tavro
