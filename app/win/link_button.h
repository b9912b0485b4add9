// A flat owner-drawn button that looks and acts like a link: hand cursor, drawn
// highlighted while the mouse is over it, a context menu, and a stack of saved texts.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app/ui/link_text_stack.h"

namespace tavro {

class LinkButton {
  public:
    enum class Menu { None, Details, Batch };

    LinkButton() = default;
    ~LinkButton();
    LinkButton(const LinkButton&) = delete;
    LinkButton& operator=(const LinkButton&) = delete;

    // Takes over a BS_OWNERDRAW button; its parent must pass WM_DRAWITEM to draw().
    bool attach(HWND button, Menu menu);
    HWND hwnd() const { return hwnd_; }

    void setText(const std::string& text);
    std::string text() const;
    void enable();
    void disable(bool clearText);
    void pushText(const std::string& text);
    void popText();

    void setTarget(const std::string& target) { target_ = target; }
    const std::string& target() const { return target_; }
    void setClickOnPress(bool onPress) { clickOnPress_ = onPress; }
    void setBackground(COLORREF colour) { background_ = colour; }
    bool hovering() const { return hover_; }

    // Draws the button for its parent's WM_DRAWITEM.
    void draw(const DRAWITEMSTRUCT& item);

    // The context menu's items and the codes they send to the parent.
    static std::vector<std::pair<const char*, LPARAM>> menuItems(Menu menu);
    // Cursor resource 106 of winhlp32.exe, loaded once; the arrow when it cannot be.
    static HCURSOR handCursor();

  private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onMouseMove(LPARAM lParam);
    void showMenu(LPARAM lParam);
    void setHover(bool hover);
    HFONT underlinedFont(HFONT base);

    HWND hwnd_ = nullptr;
    Menu menu_ = Menu::None;
    std::string target_;
    bool clickOnPress_ = false;
    bool hover_ = false;
    COLORREF background_ = CLR_INVALID;
    HFONT underlined_ = nullptr;
    HFONT underlinedFrom_ = nullptr;
    LinkTextStack stack_;
};

} // namespace tavro
