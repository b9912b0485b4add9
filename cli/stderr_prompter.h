// The console's prompters: every question is answered with its first button, so a
// batch never waits for a user. Each message is one line, "tavro-cli: CAPTION: text".
#pragma once
#include <cstdio>
#include <string>

#include "cli/report_output.h"
#include "common/prompter.h"

namespace tavro {

// The box's line breaks become single spaces; control characters from a file name
// are escaped like the report's.
inline std::string consoleMessage(const std::string& text, const std::string& caption) {
    std::string line;
    for (char c : text) {
        bool lineBreak = c == '\r' || c == '\n';
        if (!lineBreak)
            line.push_back(c);
        else if (!line.empty() && line.back() != ' ')
            line.push_back(' ');
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return "tavro-cli: " + escapeControls(caption) + ": " + escapeControls(line) + "\n";
}

inline Answer firstButton(Buttons buttons) {
    return buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

class StderrPrompter : public Prompter {
  public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon) override {
        std::fputs(consoleMessage(text, caption).c_str(), stderr);
        return firstButton(buttons);
    }
};

// Keeps the messages of one file, so that they are written in the files' order
// however many jobs run.
class BufferedPrompter : public Prompter {
  public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon) override {
        messages += consoleMessage(text, caption);
        return firstButton(buttons);
    }
    std::string messages;
};

} // namespace tavro
