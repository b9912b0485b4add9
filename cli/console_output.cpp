#include "cli/console_output.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavro {
namespace {
const size_t kBlock = 1 << 18;
}

ConsoleOutput::ConsoleOutput() {
#ifdef _WIN32
    // Binary mode, with the line ends made here: the C library's text mode would
    // write a translated block at a time of its own small size.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    buffer_.reserve(kBlock);
}

ConsoleOutput::~ConsoleOutput() {
    flush();
}

void ConsoleOutput::write(const std::string& text) {
    if (buffer_.empty()) heldSince_ = std::chrono::steady_clock::now();
#ifdef _WIN32
    if (translate_) {
        for (char c : text) {
            if (c == '\n') buffer_.push_back('\r');
            buffer_.push_back(c);
        }
    } else {
        buffer_ += text;
    }
#else
    if (sendWhole(text)) return;
    buffer_ += text;
#endif
    if (buffer_.size() >= kBlock) flush();
}

bool ConsoleOutput::sendWhole(const std::string& text) {
    // A text that would outgrow the block goes out as it is, after what is held:
    // gathering it first would copy a large report once more for nothing.
    if (text.size() < kBlock / 4 || buffer_.size() + text.size() <= buffer_.capacity())
        return false;
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return true;
}

std::chrono::steady_clock::duration ConsoleOutput::heldFor() const {
    if (buffer_.empty()) return std::chrono::steady_clock::duration::zero();
    return std::chrono::steady_clock::now() - heldSince_;
}

void ConsoleOutput::flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    std::fflush(stdout);
    buffer_.clear();
}

ProgressLine::ProgressLine(bool enabled)
    : enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

bool ProgressLine::stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

bool ProgressLine::stdoutIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

void ProgressLine::update(uint64_t done, int64_t total) {
    done_ = done;
    total_ = total;
    draw(false);
}

void ProgressLine::draw(bool force) {
    if (!enabled_) return;
    auto now = std::chrono::steady_clock::now();
    // A few redraws a second are enough to read, and cost nothing.
    if (!force && shownWidth_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
    char text[96];
    int n = total_ >= 0 ? std::snprintf(text, sizeof text, "%llu/%lld files, %.1f files/s",
                                        static_cast<unsigned long long>(done_),
                                        static_cast<long long>(total_), rate)
                        : std::snprintf(text, sizeof text, "%llu files, %.1f files/s",
                                        static_cast<unsigned long long>(done_), rate);
    std::string line = "\r" + std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
    size_t width = line.size() - 1;
    if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
    shownWidth_ = width;
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

void ProgressLine::clear() {
    if (!enabled_ || !shownWidth_) return;
    std::fputs(("\r" + std::string(shownWidth_, ' ') + "\r").c_str(), stderr);
    std::fflush(stderr);
    shownWidth_ = 0;
}

void ProgressLine::message(const std::string& text) {
    if (text.empty()) return;
    bool shown = shownWidth_ != 0;
    clear();
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    if (shown) draw(true);
}

} // namespace tavro
