// Drives a real program window under Wine for GUI tests: start, find, capture, close.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace guitest {

// A started program; ended (window closed, or terminated) when it goes out of scope.
class Program {
  public:
    Program(const std::string& exe, const std::string& arguments);
    // A wide command line, for arguments beyond the ANSI code page.
    Program(const std::wstring& exe, const std::wstring& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return process_ != nullptr; }
    // Polls for a top-level window of this process with the given title.
    HWND waitForWindow(const char* title, DWORD timeoutMs);
    // Sends WM_CLOSE and waits for the process to end; returns its exit code or -1.
    long closeAndWait(HWND window, DWORD timeoutMs);

  private:
    void adopt(BOOL created, const PROCESS_INFORMATION& info);
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// A program's resources loaded as data into this process: Wine keeps menus and
// dialog units per process, so templates are inspected here, not across processes.
class ProgramResources {
  public:
    explicit ProgramResources(const char* exe);
    ~ProgramResources();
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    // A dialog made from the program's template with a do-nothing procedure.
    HWND createDialog(int id);
    std::string string(int id) const;

  private:
    HMODULE module_;
    HWND dialog_ = nullptr;
};

// Polls `done` every 20 ms until it holds or the deadline passes.
bool waitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A control's text by id, through WM_GETTEXT (which crosses processes).
std::string controlText(HWND dialog, int id);
// The same as UTF-16, whole however long.
std::wstring controlTextW(HWND dialog, int id);

// The message of a message box: its static control's text.
std::string messageBoxText(HWND box);
// Clicks a dialog's button by posting the command a click sends.
void press(HWND dialog, int id);

// UTF-8 to UTF-16 and back.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// The clipboard's text (CF_TEXT); empty when there is none.
std::string clipboardText();

// The pieces of the program's explanation popup, each followed by "|"; empty
// when no popup shows.
std::string popupText();

// Lets the window's thread paint everything pending before it is captured.
void settle(HWND window);

// Saves the window's on-screen pixels as a 24-bit BMP; true on success.
bool saveWindowBitmap(HWND window, const std::string& path);

} // namespace guitest
