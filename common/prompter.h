// User questions and error boxes, kept apart from the platform: a message box on
// Windows, stderr in the CLI, a recording fake in tests.
#pragma once
#include <string>

namespace tavro {

enum class Buttons { Ok, OkCancel, YesNoCancel };
enum class Icon { None, Information, Question, Exclamation, Stop };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows text under caption and returns the user's answer. An implementation
    // that cannot ask (a batch CLI) answers with the first button.
    virtual Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
                       Icon icon) = 0;
    void tell(const std::string& text, const std::string& caption, Icon icon) {
        ask(text, caption, Buttons::Ok, icon);
    }
};

// Answers with the first button and keeps quiet; for code paths that must not block.
class SilentPrompter : public Prompter {
  public:
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
};

} // namespace tavro
