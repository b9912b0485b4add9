#include "app/win/field_editor_dialog.h"

#include <vector>

#include "info_shell_resource.h"

namespace tavro {
namespace {

// Read-only boxes: navy text on pale yellow.
constexpr COLORREF kReadOnlyText = 0x800000;
constexpr COLORREF kReadOnlyBack = 0xe7ffff;

class FieldEditor {
  public:
    FieldEditor(FieldEditorMode mode, FieldEditorValues& values) : mode_(mode), values_(values) {}
    ~FieldEditor() {
        if (brush_) DeleteObject(brush_);
    }
    FieldEditor(const FieldEditor&) = delete;
    FieldEditor& operator=(const FieldEditor&) = delete;

    static INT_PTR CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        auto* self = reinterpret_cast<FieldEditor*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        return self ? self->handle(hwnd, message, wParam, lParam) : FALSE;
    }

  private:
    INT_PTR handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            hwnd_ = hwnd;
            return init();
        case WM_CTLCOLORSTATIC: // read-only edit boxes ask here
            if (reinterpret_cast<HWND>(lParam) != item(IDC_FE_NAME)) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), kReadOnlyText);
            SetBkColor(reinterpret_cast<HDC>(wParam), kReadOnlyBack);
            return reinterpret_cast<INT_PTR>(brush_);
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    HWND item(int id) const { return GetDlgItem(hwnd_, id); }

    std::string textOf(int id) const {
        std::vector<char> buffer(1100);
        GetDlgItemTextA(hwnd_, id, buffer.data(), static_cast<int>(buffer.size()));
        return buffer.data();
    }
    std::string listSelection() const {
        HWND list = item(IDC_FE_LIST);
        LRESULT at = SendMessageA(list, CB_GETCURSEL, 0, 0);
        if (at == CB_ERR) return std::string();
        std::vector<char> buffer(SendMessageA(list, CB_GETLBTEXTLEN, at, 0) + 1);
        SendMessageA(list, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(buffer.data()));
        return buffer.data();
    }
    void selectFirst() { SendMessageA(item(IDC_FE_LIST), CB_SETCURSEL, 0, 0); }

    BOOL init() {
        brush_ = CreateSolidBrush(kReadOnlyBack);
        HWND list = item(IDC_FE_LIST);
        for (const std::string& text : fieldEditorItems(mode_))
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(item(IDC_FE_TEXT), EM_LIMITTEXT, kFieldEditorTypingLimit, 0);
        if (mode_ == FieldEditorMode::Edit) {
            ownName_ = fieldEditorNameFor(values_.id);
            SetDlgItemTextA(hwnd_, IDC_FE_NAME, ownName_.c_str());
            SetDlgItemTextA(hwnd_, IDC_FE_TEXT, values_.text.c_str());
            SendMessageA(item(IDC_FE_TEXT), EM_SETSEL, 0, -1);
            SetFocus(item(IDC_FE_NAME));
            return FALSE; // focus set here
        }
        ShowWindow(item(IDC_FE_NAME), SW_HIDE);
        ShowWindow(list, SW_SHOW);
        selectFirst();
        EnableWindow(item(IDC_FE_TEXT), FALSE);
        EnableWindow(item(IDOK), FALSE);
        return TRUE;
    }

    void command(WORD id, WORD code) {
        switch (id) {
        case IDC_FE_CHANGE:
            if (code != BN_CLICKED) return;
            ShowWindow(item(IDC_FE_NAME), SW_HIDE);
            ShowWindow(item(IDC_FE_LIST), SW_SHOW);
            selectFirst();
            SetFocus(item(IDC_FE_LIST));
            SendMessageA(item(IDC_FE_LIST), CB_SHOWDROPDOWN, TRUE, 0);
            break;
        case IDC_FE_LIST:
            if (code == CBN_SELCHANGE && mode_ == FieldEditorMode::New) {
                const BOOL real = fieldEditorItemIsField(listSelection());
                EnableWindow(item(IDC_FE_TEXT), real);
                EnableWindow(item(IDOK), real);
            } else if (code == CBN_CLOSEUP && IsWindowVisible(item(IDC_FE_NAME)) == FALSE &&
                       mode_ == FieldEditorMode::Edit) {
                const std::string chosen = listSelection();
                if (fieldEditorItemIsField(chosen))
                    SetDlgItemTextA(hwnd_, IDC_FE_NAME, chosen.c_str());
                ShowWindow(item(IDC_FE_LIST), SW_HIDE);
                ShowWindow(item(IDC_FE_NAME), SW_SHOW);
            }
            break;
        case IDOK: {
            bool listShown = IsWindowVisible(item(IDC_FE_LIST)) != FALSE;
            std::string name = listShown ? listSelection() : textOf(IDC_FE_NAME);
            if (!fieldEditorItemIsField(name) && mode_ == FieldEditorMode::Edit) {
                name = textOf(IDC_FE_NAME); // "{no change}"
                listShown = false;
            }
            if (!fieldEditorItemIsField(name)) return; // no field chosen yet
            values_.nameUnchanged = !listShown && name == ownName_;
            values_.id = fieldEditorIdOf(name);
            values_.text = fieldEditorTextOf(textOf(IDC_FE_TEXT));
            EndDialog(hwnd_, IDOK);
            break;
        }
        case IDCANCEL:
            EndDialog(hwnd_, IDCANCEL);
            break;
        default:
            break;
        }
    }

    FieldEditorMode mode_;
    FieldEditorValues& values_;
    HWND hwnd_ = nullptr;
    HBRUSH brush_ = nullptr;
    std::string ownName_;
};

} // namespace

bool runFieldEditor(HWND owner, FieldEditorMode mode, FieldEditorValues& values) {
    FieldEditor editor(mode, values);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_INFO_EDITOR), owner,
                           &FieldEditor::proc, reinterpret_cast<LPARAM>(&editor)) == IDOK;
}

} // namespace tavro
