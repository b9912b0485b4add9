// The floating, captionless window that shows an explanation text with its links.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ui/popup_layout.h"

namespace tavro {

class LinkButton;

struct Explanation {
    std::string text;                 // "~" breaks lines, "{...}" marks links
    std::vector<std::string> targets; // the links' targets, in order (at most 8 used)
};

class ExplanationPopup {
  public:
    ExplanationPopup();
    ~ExplanationPopup();
    ExplanationPopup(const ExplanationPopup&) = delete;
    ExplanationPopup& operator=(const ExplanationPopup&) = delete;

    // Opens at `mouse` (screen pixels), kept inside `owner`'s window rectangle by the
    // placement rule; a clicked link is sent to `owner` as kMsgFollowLink.
    // With `keepButtonsClear`, the popup (help over a dialog) leaves the owner's push
    // buttons uncovered.
    bool open(HWND owner, int kind, const Explanation& explanation, POINT mouse,
              bool keepButtonsClear = false);
    void close();
    bool isOpen() const { return hwnd_ != nullptr; }
    int kind() const { return hwnd_ ? kind_ : 0; }
    HWND hwnd() const { return hwnd_; }

  private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createPieces(const PopupLayout& layout, int lineHeight);
    void followLink(HWND button);

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    int kind_ = 0;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    std::vector<std::string> targets_;
    std::vector<std::unique_ptr<LinkButton>> links_;
};

} // namespace tavro
