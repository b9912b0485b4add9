// The program's only top-level window: a modal dialog.
#pragma once
#include <string>
#include <windows.h>

namespace tavro {

class MainWindow {
public:
    explicit MainWindow(std::string startupFile);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Runs the dialog modally; returns the dialog's result (-1 on a fatal start-up failure).
    INT_PTR run(HINSTANCE instance);

private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onInitDialog();
    void onCommand(WORD id);

    HWND hwnd_ = nullptr;
    HINSTANCE instance_ = nullptr;
    std::string startupFile_;
    bool comInitialised_ = false;
};

} // namespace tavro
