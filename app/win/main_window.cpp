#include "app/win/main_window.h"

#include <objbase.h>

#include "resource.h"

namespace tavro {

MainWindow::MainWindow(std::string startupFile) : startupFile_(std::move(startupFile)) {
    // COM belongs to the GUI thread for the window's whole life (inventories, render test).
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
}

MainWindow::~MainWindow() {
    if (comInitialised_) CoUninitialize();
}

INT_PTR MainWindow::run(HINSTANCE instance) {
    instance_ = instance;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, &MainWindow::dialogProc,
                           reinterpret_cast<LPARAM>(this));
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
        onInitDialog();
        return TRUE;
    case WM_COMMAND:
        onCommand(LOWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return FALSE;
    case WM_CLOSE:
        EndDialog(hwnd_, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

void MainWindow::onInitDialog() {
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
}

void MainWindow::onCommand(WORD id) {
    switch (id) {
    case IDM_FILE_EXIT:
    case IDCANCEL:
        EndDialog(hwnd_, IDCANCEL);
        break;
    default:
        break;
    }
}

} // namespace tavro
