// Tooltips of the main window: a field's own full text (pale green) when it does
// not fit, else the control's tooltip string (pale yellow).
#pragma once
#include <windows.h>

#include <string>

namespace tavro {

class MainTooltips {
  public:
    // Adds a tool for every child control that has a tooltip string under its id.
    bool create(HWND dialog, HINSTANCE instance);
    // The dialog's WM_NOTIFY; true when it was a tooltip's text request.
    bool onNotify(const NMHDR& header);
    HWND hwnd() const { return tooltip_; }

  private:
    HWND tooltip_ = nullptr;
    HINSTANCE instance_ = nullptr;
    // The text handed to the tooltip must outlive the request.
    std::string shown_;
    std::wstring shownWide_;
};

} // namespace tavro
