#include "filters/video/caption_markup.h"

#include <initializer_list>

namespace nerrorend {
namespace {

constexpr uint8_t kColourCommand = 0xff;
constexpr uint8_t kStyleCommand = 0xfe;

// A bounded view of a NUL-terminated text.
class Cursor {
  public:
    Cursor(const char* text, size_t capacity) : text_(text), capacity_(text ? capacity : 0) {}
    bool done() const { return pos_ >= capacity_ || text_[pos_] == '\0'; }
    uint8_t peek() const { return done() ? 0 : uint8_t(text_[pos_]); }
    uint8_t take() { return done() ? 0 : uint8_t(text_[pos_++]); }

  private:
    const char* text_;
    size_t capacity_;
    size_t pos_ = 0;
};

bool isLetter(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isUpper(uint8_t c) {
    return c >= 'A' && c <= 'Z';
}

// Bytes up to a '?' (which is consumed) or the end of the text.
std::string readUpToQuestionMark(Cursor& in) {
    std::string s;
    while (!in.done()) {
        const uint8_t c = in.take();
        if (c == '?') break;
        s += char(c);
    }
    return s;
}

// A CR ends the line; an LF right after it belongs to the same break.
bool takeLineBreak(Cursor& in, uint8_t c) {
    if (c != '\r') return false;
    if (in.peek() == '\n') in.take();
    return true;
}

} // namespace

std::vector<MarkupLine> parseColourMarkup(const char* text, size_t capacity, bool withColours) {
    std::vector<MarkupLine> lines;
    Cursor in(text, capacity);
    MarkupRun whole; // what upper-case commands set, for every later line
    MarkupRun line = whole;
    bool open = false;
    auto endLine = [&] {
        lines.push_back(MarkupLine{line});
        line = whole;
        open = false;
    };
    while (!in.done()) {
        const uint8_t c = in.take();
        if (takeLineBreak(in, c)) {
            endLine();
            continue;
        }
        if (c != kColourCommand || !isLetter(in.peek())) {
            line.text += char(c);
            open = true;
            continue;
        }
        const uint8_t command = in.take();
        const bool lasting = isUpper(command);
        open = true;
        switch (command | 0x20) {
        case 'c': {
            uint32_t value = 0;
            for (int i = 0; i < 8 && in.peek() >= '0' && in.peek() <= '9'; ++i)
                value = value * 10 + (in.take() - '0');
            if (!withColours) break;
            line.hasColour = true;
            line.colour = value;
            if (lasting) {
                whole.hasColour = true;
                whole.colour = value;
            }
            break;
        }
        case 'f': {
            std::string face = readUpToQuestionMark(in);
            if (face.size() > kMaxFaceLength) face.resize(kMaxFaceLength);
            line.style.face = face;
            if (lasting) whole.style.face = face;
            break;
        }
        case 'y':
            for (char s : readUpToQuestionMark(in)) {
                for (MarkupRun* run : {&line, lasting ? &whole : nullptr}) {
                    if (!run) continue;
                    if (s == 'b') run->style.weight = 700;
                    if (s == 'i') run->style.italic = 1;
                    if (s == 'u') run->style.underline = 1;
                }
            }
            break;
        default:
            break; // unknown commands are dropped with their letter
        }
    }
    if (open) endLine();
    return lines;
}

std::vector<MarkupLine> parseStyleMarkup(const char* text, size_t capacity) {
    std::vector<MarkupLine> lines;
    Cursor in(text, capacity);
    MarkupLine line;
    MarkupRun run;
    bool open = false;
    auto endRun = [&] {
        if (!run.text.empty()) line.push_back(run);
        run.text.clear();
    };
    while (!in.done()) {
        const uint8_t c = in.take();
        if (takeLineBreak(in, c)) {
            endRun();
            lines.push_back(line);
            line.clear();
            run = MarkupRun();
            open = false;
            continue;
        }
        open = true;
        if (c != kStyleCommand) {
            run.text += char(c);
            continue;
        }
        if (in.done()) break;
        const uint8_t command = in.take();
        FontStyle next = run.style;
        switch (command) {
        case 'B':
            next.weight = 700;
            break;
        case 'b':
            next.weight = 400;
            break;
        case 'I':
            next.italic = 1;
            break;
        case 'i':
            next.italic = 0;
            break;
        case 'U':
            next.underline = 1;
            break;
        case 'u':
            next.underline = 0;
            break;
        default:
            break;
        }
        if (!(next == run.style)) {
            endRun();
            run.style = next;
        }
    }
    if (open) {
        endRun();
        lines.push_back(line);
    }
    return lines;
}

std::string stripStyleMarkup(const char* text, size_t capacity) {
    std::string out;
    Cursor in(text, capacity);
    while (!in.done()) {
        const uint8_t c = in.take();
        if (c == kStyleCommand)
            in.take(); // stops at the NUL by itself
        else
            out += char(c);
    }
    return out;
}

} // namespace nerrorend
