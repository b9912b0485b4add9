// Standard output in large blocks: a report is gathered whole and written with one
// call, never a small write per value (a console or device pays for every write).
// Standard error carries the progress line, which is taken away before any message
// and drawn again after it.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace tavro {

class ConsoleOutput {
  public:
    ConsoleOutput();
    ~ConsoleOutput();
    void write(const std::string& text);
    void flush();
    // How long the oldest text not yet written has waited.
    std::chrono::steady_clock::duration heldFor() const;
    // Writes bytes as they are, with no CR added before LF on Windows: export records
    // carry their own CR LF.
    void keepLineEnds() { translate_ = false; }

  private:
    bool sendWhole(const std::string& text);
    std::string buffer_;
    bool translate_ = true;
    std::chrono::steady_clock::time_point heldSince_;
};

class ProgressLine {
  public:
    // Shown only when `enabled` (stderr is a terminal and the run has several files).
    explicit ProgressLine(bool enabled);
    // `total` < 0 when the number of files is not known.
    void update(uint64_t done, int64_t total);
    void message(const std::string& text);
    void clear();
    static bool stderrIsTerminal();
    static bool stdoutIsTerminal();

  private:
    void draw(bool force);
    bool enabled_;
    uint64_t done_ = 0;
    int64_t total_ = -1;
    size_t shownWidth_ = 0;
    std::chrono::steady_clock::time_point start_, lastDraw_;
};

} // namespace tavro
