// The console's prompter: questions and error texts go to stderr, and every question
// is answered with its first button, so a batch never waits for a user.
#pragma once
#include <cstdio>
#include <string>

#include "common/prompter.h"

namespace tavro {

class StderrPrompter : public Prompter {
  public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons,
               Icon) override {
        // One line per message: the box's line breaks become single spaces.
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
        std::fprintf(stderr, "tavro-cli: %s: %s\n", caption.c_str(), line.c_str());
        return buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
};

} // namespace tavro
