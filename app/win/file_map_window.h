// The "File Map" window: the current file's map drawn with GDI (byte band with its
// marks, time band, legend), resizable, with the bin or moment under the pointer
// described in a text line (control IDC_MAP_INFO). It draws the map the analysis
// filled, so it always shows the file the report shows.
#pragma once
#include <windows.h>

#include <string>

#include "report/map/file_map.h"

namespace tavro {

class FileMapWindow {
  public:
    FileMapWindow() = default;
    ~FileMapWindow();
    FileMapWindow(const FileMapWindow&) = delete;
    FileMapWindow& operator=(const FileMapWindow&) = delete;

    // Opens the window (or brings it forward) over `map`, which must outlive it.
    bool show(HWND owner, const FileMap& map, const std::string& title);
    // The map has changed (another file): redraws it under a new title if open.
    void refresh(const std::string& title);
    void close();
    bool isOpen() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }

  private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, const RECT& client);
    void pointAt(int x, int y);
    RECT byteBand() const;
    RECT timeBand() const;

    HWND hwnd_ = nullptr;
    HWND info_ = nullptr;
    HFONT font_ = nullptr;
    const FileMap* map_ = nullptr;
};

} // namespace tavro
