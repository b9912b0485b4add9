#include "app/win/message_box_prompter.h"

#include "common/win/wide_text.h"

namespace tavro {

Answer MessageBoxPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons,
                               Icon icon) {
    UINT type = buttons == Buttons::OkCancel      ? MB_OKCANCEL
                : buttons == Buttons::YesNoCancel ? MB_YESNOCANCEL
                                                  : MB_OK;
    switch (icon) {
    case Icon::Information:
        type |= MB_ICONINFORMATION;
        break;
    case Icon::Question:
        type |= MB_ICONQUESTION;
        break;
    case Icon::Exclamation:
        type |= MB_ICONEXCLAMATION;
        break;
    case Icon::Stop:
        type |= MB_ICONSTOP;
        break;
    case Icon::None:
        break;
    }
    if (beforeAsk_) beforeAsk_();
    // System errors come with a beep, as the user's attention is wanted.
    if (icon == Icon::Exclamation) MessageBeep(MB_ICONEXCLAMATION);
    // Texts are UTF-8 (a path may be in any script).
    switch (MessageBoxW(owner_, wideFromUtf8(text).c_str(), wideFromUtf8(caption).c_str(), type)) {
    case IDCANCEL:
        return Answer::Cancel;
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

} // namespace tavro
