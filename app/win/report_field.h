// A read-only report field: an edit control with its own 8-point font that keeps a
// copy of its text, knows when that text does not fit, and carries a link target
// and a secondary text for the explanations.
#pragma once
#include <windows.h>

#include <string>

namespace tavro {

class ReportField {
  public:
    // The copy holds a whole path (the wide file API's longest), not a screenful.
    static constexpr std::size_t kTextLimit = 32767;

    ReportField() = default;
    ~ReportField();
    ReportField(const ReportField&) = delete;
    ReportField& operator=(const ReportField&) = delete;

    bool attach(HWND edit);
    HWND hwnd() const { return hwnd_; }

    // Any WM_SETTEXT (these, or one from outside) refreshes the copy and the flag.
    void setText(const std::string& text);
    void setTextAndLink(const std::string& text, const std::string& target);
    void setPlainText(const std::string& text);
    void clear() { setPlainText(std::string()); }
    void setLinkTarget(const std::string& target) { target_ = target; }
    void setSecondaryText(const std::string& text) { secondary_ = text; }
    const std::string& linkTarget() const { return target_; }
    const std::string& secondaryText() const { return secondary_; }
    const std::string& text() const { return copy_; }
    bool truncated() const { return truncated_; }

  private:
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void remember(const std::wstring& text);
    void rememberWindowText();
    LRESULT answerTitleTip(WPARAM size, LPARAM buffer) const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    std::string copy_;
    std::string target_;
    std::string secondary_;
    bool truncated_ = false;
};

// An 8-point "MS Sans Serif" font for the screen the window is on.
HFONT createFieldFont(HWND window);

} // namespace tavro
