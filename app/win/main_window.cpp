#include "app/win/main_window.h"

#include <algorithm>
#include <initializer_list>

#include <commctrl.h>
#include <objbase.h>

#include <new>

#include "app/ui/local_help.h"
#include "app/ui/open_selection.h"
#include "app/ui/settings_io.h"
#include "app/ui/tooltip_rule.h"
#include "app/win/comments_list_input.h"
#include "app/win/export_setup_dialog.h"
#include "app/win/list_only_driver.h"
#include "app/win/main_field_ids.h"
#include "app/win/settings_dialog.h"
#include "app/win/web_link.h"
#include "app/win/window_messages.h"
#include "info_shell_resource.h"
#include "resource.h"

namespace tavro {
namespace {

bool gSmallDialogUnits = false;
MainWindow* gKeyboardOwner = nullptr;
HHOOK gKeyboardHook = nullptr;

const int kStreamIds[] = {IDC_STREAM1, IDC_STREAM2, IDC_STREAM3};
// The popup kind of a local help text: none of the four status explanations.
const int kLocalHelpPopup = 9;

// The explanation kind a status link opens; 0 for other controls.
int explanationKindOf(int id) {
    switch (id) {
    case IDC_VIDEO_STATUS:
        return 1;
    case IDC_AUDIO_STATUS:
        return 2;
    case IDC_FILE_STATUS:
    case IDC_RENDER_STATUS:
    case IDC_MF_PLAY_STATUS:
        return 3;
    default:
        return 0;
    }
}

// "+" is the Next File accelerator; a modal dialog has no accelerator table, so the
// dialog's own message filter catches it.
LRESULT CALLBACK keyboardFilter(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg && msg->message == WM_CHAR && msg->wParam == '+' &&
        gKeyboardOwner) {
        HWND root = GetAncestor(msg->hwnd, GA_ROOT);
        if (root && root == static_cast<HWND>(gKeyboardOwner->windowHandle())) {
            PostMessageA(root, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 1), 0);
            return TRUE;
        }
    }
    return CallNextHookEx(gKeyboardHook, code, wParam, lParam);
}

} // namespace

bool smallDialogUnits() {
    return gSmallDialogUnits;
}

MainWindow::MainWindow(std::vector<std::string> commandLineFiles)
    : commandLineFiles_(std::move(commandLineFiles)) {
    // COM belongs to the GUI thread for the window's whole life (inventories, render test).
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
    settings_ = loadSettings(store_);
}

MainWindow::~MainWindow() {
    if (fieldBrush_) DeleteObject(fieldBrush_);
    if (comInitialised_) CoUninitialize();
}

INT_PTR MainWindow::run(HINSTANCE instance) {
    instance_ = instance;
    // A Unicode dialog, so that its fields can show paths in any script.
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, &MainWindow::dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

ReportField* MainWindow::field(int id) {
    auto found = fields_.find(id);
    return found == fields_.end() ? nullptr : found->second.get();
}

LinkButton* MainWindow::link(int id) {
    auto found = links_.find(id);
    return found == links_.end() ? nullptr : found->second.get();
}

INT_PTR CALLBACK MainWindow::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MainWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<MainWindow*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!onInitDialog()) EndDialog(hwnd_, -1);
        return TRUE;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_SYSTEM_ABOUT) {
            driver_->command(IDM_HELP_ABOUT);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        onCancel();
        return TRUE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (LinkButton* button = link(static_cast<int>(item->CtlID))) button->draw(*item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY:
        if (onCommentsNotify(hwnd_, *reinterpret_cast<const NMHDR*>(lParam))) return FALSE;
        tooltips_.onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case WM_CONTEXTMENU:
        driver_->command(IDM_EDIT_SELECTION); // the menu's items follow the row just clicked
        return showCommentsMenu(hwnd_, reinterpret_cast<HWND>(wParam), lParam);
    case WM_TIMER:
        onTimer(wParam);
        return TRUE;
    case WM_DROPFILES:
        onDropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case kMsgClosePopup:
        popup_.close();
        return FALSE;
    case kMsgLinkCommand:
        onLinkCommand(static_cast<int>(wParam), lParam);
        return TRUE;
    case kMsgFollowLink:
        if (lParam) followLink(reinterpret_cast<const char*>(lParam));
        return TRUE;
    case kMsgOpenCommandLine:
        // The dialog would show itself only once its queue is empty, after the whole
        // first file: shown and painted now, it fills as the steps finish.
        ShowWindow(hwnd_, SW_SHOWNORMAL);
        UpdateWindow(hwnd_);
        openFiles();
        return TRUE;
    case kMsgRenderCancelled:
        stopBatch();
        return TRUE;
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

bool MainWindow::onInitDialog() {
    HMENU system = GetSystemMenu(hwnd_, FALSE);
    if (system) {
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, IDM_SYSTEM_ABOUT, "&About Tavro...");
    }
    HICON icon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TAVRO));
    if (icon) {
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    fieldBrush_ = CreateSolidBrush(kFieldBackground);
    RECT hundred = {0, 0, 100, 0};
    MapDialogRect(hwnd_, &hundred);
    gSmallDialogUnits = hundred.right < 175;

    openFileBuffer_.reset(new (std::nothrow) wchar_t[kOpenBufferSize]());
    if (!openFileBuffer_) {
        MessageBoxA(hwnd_, "Out of Memory - Cannot Process File", "System Error", MB_ICONSTOP);
        MessageBoxA(hwnd_, "Error: Insufficient memory to run the application.\n", "Fatal Error",
                    MB_ICONSTOP);
        return false;
    }
    attachControls();
    tooltips_.create(hwnd_, instance_);
    if (!driver_) driver_ = std::make_unique<ListOnlyDriver>(*this);
    if (!driver_->start()) return false;
    gKeyboardOwner = this;
    gKeyboardHook = SetWindowsHookExA(WH_MSGFILTER, keyboardFilter, nullptr, GetCurrentThreadId());
    updateBatchCommands();
    // Opened once the window is on screen, so that any message box has its owner shown.
    if (!commandLineFiles_.empty()) PostMessageA(hwnd_, kMsgOpenCommandLine, 0, 0);
    return true;
}

namespace {

// Wide enough for the widest of `texts` in the list's font, with the cell margins.
int commentColumnWidth(HWND list, std::initializer_list<const char*> texts) {
    int widest = 0;
    for (const char* text : texts)
        widest = std::max(widest, static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                                reinterpret_cast<LPARAM>(text))));
    return widest + 16;
}

} // namespace

void MainWindow::attachControls() {
    auto attachField = [this](int id) {
        auto field = std::make_unique<ReportField>();
        if (field->attach(GetDlgItem(hwnd_, id))) fields_[id] = std::move(field);
    };
    attachField(kPathFieldId);
    for (int id : kReportFieldIds)
        attachField(id);
    const struct {
        int id;
        LinkButton::Menu menu;
    } links[] = {{IDC_FILE_STATUS, LinkButton::Menu::Details},
                 {IDC_VIDEO_STATUS, LinkButton::Menu::Details},
                 {IDC_AUDIO_STATUS, LinkButton::Menu::Details},
                 {IDC_RENDER_STATUS, LinkButton::Menu::Details},
                 {IDC_MF_PLAY_STATUS, LinkButton::Menu::Details},
                 {IDC_COUNTER, LinkButton::Menu::Batch}};
    for (const auto& l : links) {
        auto button = std::make_unique<LinkButton>();
        if (!button->attach(GetDlgItem(hwnd_, l.id), l.menu)) continue;
        button->disable(true);
        links_[l.id] = std::move(button);
    }
    for (int id : kStreamIds)
        EnableWindow(GetDlgItem(hwnd_, id), FALSE);
    HWND comments = GetDlgItem(hwnd_, IDC_COMMENTS);
    if (comments) {
        SendMessageA(comments, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                     LVS_EX_FULLROWSELECT);
        const char* titles[] = {"Code", "Name", "Contents"};
        const int widths[] = {commentColumnWidth(comments, {"Code", "WWWW"}),
                              commentColumnWidth(comments, {"Name", "(ASCII in junk chunk)"}), 0};
        // Contents takes the rest of the list, less a vertical scroll bar.
        RECT client;
        GetClientRect(comments, &client);
        const int rest = client.right - widths[0] - widths[1] - GetSystemMetrics(SM_CXVSCROLL);
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = const_cast<char*>(titles[i]);
            column.cx = i < 2 ? widths[i] : std::max(rest, 100);
            SendMessageA(comments, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        SendMessageA(comments, LVM_SETTEXTCOLOR, 0, kFieldText);
        SendMessageA(comments, LVM_SETTEXTBKCOLOR, 0, kFieldBackground);
        SendMessageA(comments, LVM_SETBKCOLOR, 0, kFieldBackground);
    }
}

INT_PTR MainWindow::onColour(HDC dc, HWND control) {
    ReportField* report = field(GetDlgCtrlID(control));
    if (!report || report->hwnd() != control) return FALSE;
    SetTextColor(dc, kFieldText);
    SetBkColor(dc, kFieldBackground);
    return reinterpret_cast<INT_PTR>(fieldBrush_);
}

void MainWindow::onCommand(WORD id, WORD code) {
    const int kind = explanationKindOf(id);
    if (kind && code == BN_CLICKED) {
        showExplanation(kind, id);
        return;
    }
    // Menu, accelerator and button commands close the popup; edit notifications do not.
    if (code > 1) return;
    popup_.close();
    switch (id) {
    case IDC_OPEN:
    case IDM_FILE_OPEN:
        openFiles();
        break;
    case IDC_COUNTER:
    case IDM_FILE_NEXT:
        nextFile();
        break;
    case IDM_FILE_ALL:
        allFiles();
        break;
    case IDCANCEL:
    case IDM_FILE_EXIT:
        onCancel();
        break;
    case IDOK: // Enter does nothing
        break;
    case IDC_STREAM1:
    case IDC_STREAM2:
    case IDC_STREAM3:
        selectAudioStream(id - IDC_STREAM1);
        break;
    case IDM_OPTIONS_GENERAL: {
        SettingsDialog dialog(settings_, store_);
        if (dialog.run(hwnd_, instance_)) driver_->settingsChanged();
        break;
    }
    case IDM_OPTIONS_EXPORT: {
        ExportSetupDialog dialog(settings_, store_);
        dialog.run(hwnd_, instance_);
        break;
    }
    default:
        driver_->command(id);
        break;
    }
}

void MainWindow::onLinkCommand(int id, LPARAM code) {
    if (code == kLinkCodeDetails && explanationKindOf(id)) {
        showExplanation(explanationKindOf(id), id);
    } else if (code == kLinkCodeNextFile) {
        popup_.close();
        nextFile();
    } else if (code == kLinkCodeAllFiles) {
        popup_.close();
        allFiles();
    }
}

void MainWindow::showExplanation(int kind, int linkId) {
    if (popup_.isOpen()) {
        const int open = popup_.kind();
        popup_.close();
        if (open == kind) return; // a second click only closes it
    }
    POINT mouse = {0, 0};
    GetCursorPos(&mouse);
    popup_.open(hwnd_, kind, driver_->explanationOf(kind, linkId), mouse);
}

void MainWindow::followLink(const std::string& target) {
    const LinkTarget link = parseLinkTarget(target);
    switch (link.kind) {
    case LinkKind::Web:
        openWebLink(hwnd_, target);
        break;
    case LinkKind::VideoCodec:
    case LinkKind::AudioCodec:
    case LinkKind::FilterGraph:
    case LinkKind::RenderGraph:
        if (linkReentry_ > 0) return; // a detail view is already being opened
        ++linkReentry_;
        driver_->followStreamLink(link);
        --linkReentry_;
        break;
    case LinkKind::Local: {
        // The help links of the dialogs this window opens (install dialog, about box).
        const std::string text = localHelpText(link.name);
        if (text.empty()) break;
        popup_.close();
        POINT mouse = {0, 0};
        GetCursorPos(&mouse);
        // Help asked for by one of this window's dialogs belongs to that dialog: it goes
        // with it and leaves its buttons uncovered.
        HWND active = GetActiveWindow();
        const bool fromDialog = active && active != hwnd_ && GetWindow(active, GW_OWNER) == hwnd_;
        popup_.open(fromDialog ? active : hwnd_, kLocalHelpPopup, {text, {}}, mouse, fromDialog);
        break;
    }
    case LinkKind::None:
        break;
    }
}

void MainWindow::nextFile() {
    if (!driver_->hasNext()) return;
    driver_->next();
    updateBatchCommands();
}

void MainWindow::allFiles() {
    if (!driver_->hasNext()) return;
    SetTimer(hwnd_, kBatchTimer, kBatchIntervalMs, nullptr);
    batchRunning_ = true;
    driver_->setBatchRunning(true);
}

void MainWindow::stopBatch() {
    KillTimer(hwnd_, kBatchTimer);
    if (!batchRunning_) return;
    batchRunning_ = false;
    driver_->setBatchRunning(false);
}

void MainWindow::onTimer(UINT_PTR id) {
    if (id != kBatchTimer) return;
    if (!driver_->hasNext()) {
        stopBatch();
        return;
    }
    // Stopped while the file is analysed, so that ticks do not pile up behind it.
    KillTimer(hwnd_, kBatchTimer);
    nextFile();
    if (batchRunning_) SetTimer(hwnd_, kBatchTimer, kBatchIntervalMs, nullptr);
}

void MainWindow::selectAudioStream(int stream) {
    driver_->selectAudioStream(stream);
    static const char* const kLabels[3][2] = {{"1", "1>"}, {"2", "2>"}, {"3", "3>"}};
    for (int i = 0; i < 3; ++i)
        SetDlgItemTextA(hwnd_, kStreamIds[i], kLabels[i][i == stream]);
    SetFocus(GetDlgItem(hwnd_, IDC_OPEN));
}

void MainWindow::updateBatchCommands() {
    HMENU menu = GetMenu(hwnd_);
    const UINT state = driver_ && driver_->hasNext() ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, IDM_FILE_NEXT, MF_BYCOMMAND | state);
    EnableMenuItem(menu, IDM_FILE_ALL, MF_BYCOMMAND | state);
}

void MainWindow::onCancel() {
    // Escape only ever stops a running batch; it never closes the window.
    if (GetKeyState(VK_ESCAPE) < 0) {
        stopBatch();
        return;
    }
    if (!driver_->leaveCurrentFile("Exiting...")) return;
    EndDialog(hwnd_, IDCANCEL);
}

void MainWindow::onDestroy() {
    stopBatch();
    popup_.close();
    if (gKeyboardHook) UnhookWindowsHookEx(gKeyboardHook);
    gKeyboardHook = nullptr;
    gKeyboardOwner = nullptr;
    saveWorkingSettings(store_, settings_); // failures are not the user's concern
}

} // namespace tavro
