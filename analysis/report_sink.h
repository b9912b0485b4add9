// Where the analysis writes its texts: the report fields of the main window, named
// by their dialog control ids, and the rows of the comment list. The application's
// report model implements it; the analysis never sees a window.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

namespace field {
constexpr int Path = 1003;
constexpr int Size = 1005;
constexpr int FileStatus = 1018;
constexpr int Counter = 1006;
constexpr int Type = 1008;
constexpr int Interleave = 1009;
constexpr int Imrr = 1028;
constexpr int FourCC = 1001;
constexpr int VideoName = 1002;
constexpr int VideoStatus = 1019;
constexpr int Aspect = 1012;
constexpr int VideoBitrate = 1007;
constexpr int Framerate = 1010;
constexpr int Duration = 1011;
constexpr int AudioName = 1013;
constexpr int AudioStatus = 1021;
constexpr int AudioBitrate = 1014;
constexpr int SampleRate = 1015;
constexpr int Stream1 = 1131;
constexpr int Stream2 = 1132;
constexpr int Stream3 = 1133;
constexpr int SourceMedia = 1023;
constexpr int VideoMedia = 1022;
constexpr int AudioMedia = 1026;
constexpr int SplitterOther = 1025;
constexpr int VideoCodec = 1017;
constexpr int AudioCodec = 1020;
constexpr int RenderStatus = 1024;
} // namespace field

constexpr uint32_t kNoChunk = 0xFFFFFFFFu;

// One row of the "Comments / Metadata" list. `chunk` is the offset in the head of the
// INFO chunk the row came from, or kNoChunk for a JUNK text row.
struct CommentRow {
    std::string code;
    std::string name;
    std::string text;
    uint32_t chunk = kNoChunk;
};

class ReportSink {
  public:
    virtual ~ReportSink() = default;
    // Sets a field's text; its link target and secondary text stay.
    virtual void setText(int id, const std::string& text) = 0;
    virtual std::string text(int id) const = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    // Disables a field or button and empties its text.
    void disableAndClear(int id) {
        setEnabled(id, false);
        setText(id, "");
    }
    virtual void clearComments() = 0;
    virtual void addComment(const CommentRow& row) = 0;
};

} // namespace tavro
