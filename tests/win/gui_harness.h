// Drives a real program window under Wine for GUI tests: start, find, capture, close.
#pragma once
#include <windows.h>

#include <string>

namespace guitest {

// A started program; ended (window closed, or terminated) when it goes out of scope.
class Program {
public:
    Program(const std::string& exe, const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return process_ != nullptr; }
    // Polls for a top-level window of this process with the given title.
    HWND waitForWindow(const char* title, DWORD timeoutMs);
    // Sends WM_CLOSE and waits for the process to end; returns its exit code or -1.
    long closeAndWait(HWND window, DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Saves the window's on-screen pixels as a 24-bit BMP; true on success.
bool saveWindowBitmap(HWND window, const std::string& path);

} // namespace guitest
