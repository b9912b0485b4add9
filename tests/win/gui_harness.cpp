#include "gui_harness.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace guitest {

Program::Program(const std::string& exe, const std::string& arguments) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    adopt(CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info),
          info);
}

Program::Program(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    adopt(CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &info),
          info);
}

void Program::adopt(BOOL created, const PROCESS_INFORMATION& info) {
    if (!created) return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

Program::~Program() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
    CloseHandle(process_);
}

namespace {
struct FindState {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid == state->processId && IsWindowVisible(hwnd) && lstrcmpA(text, state->title) == 0) {
        state->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND Program::waitForWindow(const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        FindState state = {processId_, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&state));
        if (state.found) return state.found;
        if (WaitForSingleObject(process_, 50) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
}

long Program::closeAndWait(HWND window, DWORD timeoutMs) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

namespace {
INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}
} // namespace

ProgramResources::ProgramResources(const char* exe)
    : module_(LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    // The templates hold common controls (the comment list view).
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

ProgramResources::~ProgramResources() {
    if (dialog_) DestroyWindow(dialog_);
    if (module_) FreeLibrary(module_);
}

HWND ProgramResources::createDialog(int id) {
    if (!module_) return nullptr;
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    auto* dialogTemplate = static_cast<LPCDLGTEMPLATEA>(loaded ? LockResource(loaded) : nullptr);
    if (!dialogTemplate) return nullptr;
    dialog_ = CreateDialogIndirectParamA(module_, dialogTemplate, nullptr, quietDialogProc, 0);
    return dialog_;
}

std::string ProgramResources::string(int id) const {
    char text[512] = {};
    const int length = module_ ? LoadStringA(module_, id, text, sizeof text) : 0;
    return std::string(text, length > 0 ? length : 0);
}

bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

std::string controlText(HWND dialog, int id) {
    char text[1024] = {};
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring controlTextW(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void settle(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    DWORD_PTR ignored = 0;
    // Two round trips: the first queues behind pending paints, the second after them.
    for (int i = 0; i < 2; ++i) {
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
        Sleep(200);
    }
}

bool saveWindowBitmap(HWND window, const std::string& path) {
    settle(window);
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
        SelectObject(memory, old);
        GdiFlush();
        const DWORD stride = ((width * 3 + 3) / 4) * 4, imageSize = stride * height;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        FILE* out = ok ? std::fopen(path.c_str(), "wb") : nullptr;
        ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
             std::fwrite(bits, 1, imageSize, out) == imageSize;
        if (out) std::fclose(out);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

std::string messageBoxText(HWND box) {
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

std::wstring widen(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      &out[0], static_cast<int>(out.size()));
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string narrow(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string popupText() {
    HWND popup = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
    if (!popup || !IsWindowVisible(popup)) return std::string();
    std::string text;
    for (int id = 100; GetDlgItem(popup, id); ++id)
        text += controlText(popup, id) + "|";
    return text;
}

} // namespace guitest
