// A Prompter that remembers every message instead of showing it.
#pragma once
#include <string>
#include <vector>

#include "common/prompter.h"

namespace tavro {

class RecordingPrompter : public Prompter {
  public:
    struct Message {
        std::string text;
        std::string caption;
        Buttons buttons;
        Icon icon;
    };
    std::vector<Message> messages;

    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon icon) override {
        messages.push_back({text, caption, buttons, icon});
        return Answer::Ok;
    }
};

} // namespace tavro
