// The "Diagnostic Header Save" dialog of File > Diagnostic Header Save...: a size
// choice, then a Save As dialog and the snapshot of the head.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/prompter.h"

namespace tavro {

class HeaderSaveDialog {
  public:
    // `head` is the analysis' head buffer (not owned) with `held` valid bytes;
    // `mediaPath` the analysed file, never overwritten by the snapshot.
    HeaderSaveDialog(const uint8_t* head, uint32_t held, const std::string& mediaPath,
                     Prompter& prompter)
        : head_(head), held_(held), mediaPath_(mediaPath), prompter_(prompter) {}

    void run(HWND owner, HINSTANCE instance);

  private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void saveHeaderSnapshot();

    HWND hwnd_ = nullptr;
    const uint8_t* head_;
    uint32_t held_;
    std::string mediaPath_;
    Prompter& prompter_;
};

} // namespace tavro
