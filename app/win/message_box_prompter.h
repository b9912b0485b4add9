// Questions and error boxes of the program: message boxes owned by the main window.
#pragma once
#include <windows.h>

#include "common/prompter.h"

namespace tavro {

class MessageBoxPrompter : public Prompter {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override;

  private:
    HWND owner_ = nullptr;
};

} // namespace tavro
