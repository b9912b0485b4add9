// Questions and error boxes of the program: message boxes owned by the main window.
#pragma once
#include <windows.h>

#include <functional>

#include "common/prompter.h"

namespace tavro {

class MessageBoxPrompter : public Prompter {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    // Called before every box: the window brings its controls up to date, so that a
    // question about a file is asked over that file's report, not the previous one.
    void setBeforeAsk(std::function<void()> beforeAsk) { beforeAsk_ = std::move(beforeAsk); }
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

  private:
    HWND owner_ = nullptr;
    std::function<void()> beforeAsk_;
};

} // namespace tavro
