#include "app/stream_view.h"

#include <cstdio>

#include "analysis/modern/modern_fields.h"

namespace tavro {
namespace {

std::string number(double value, const char* format) {
    if (!(value > 0) || value > 1e15) return "";
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string sizeCell(const StreamFacts& s) {
    if (!s.width || !s.height) return "";
    std::string text = std::to_string(s.width) + " x " + std::to_string(s.height);
    if (s.displayWidth && s.displayHeight)
        text +=
            " (" + std::to_string(s.displayWidth) + " x " + std::to_string(s.displayHeight) + ")";
    return text;
}

std::string audioCell(const StreamFacts& s) {
    std::string text;
    if (s.sampleRate) text = std::to_string(s.sampleRate) + " Hz";
    if (s.channels) text += (text.empty() ? "" : ", ") + std::to_string(s.channels) + " ch";
    if (s.kind == StreamKind::audio && s.bitDepth)
        text += (text.empty() ? "" : ", ") + std::to_string(s.bitDepth) + "-bit";
    return text;
}

std::string flagsCell(const StreamFacts& s) {
    std::string text = s.isDefault ? "default" : "";
    if (s.forced) text += text.empty() ? "forced" : ", forced";
    return text;
}

} // namespace

bool streamTable(const MediaStreams& m, TableSpec* out) {
    if (!m.present) return false;
    TableSpec spec;
    spec.title = "Streams of the File";
    spec.columns = {{"#", 40},        {"Kind", 60},     {"Codec", 90},    {"Codec ID", 110},
                    {"Profile", 150}, {"Size", 110},    {"Rate", 80},     {"Audio", 120},
                    {"Bit Rate", 80}, {"Duration", 90}, {"Language", 70}, {"Title", 140},
                    {"Flags", 90}};
    for (const StreamFacts& s : m.streams) {
        spec.rows.push_back(
            {std::to_string(s.id), streamKindText(s.kind), s.codec.empty() ? "?" : s.codec,
             s.codecId, streamDetailText(s), sizeCell(s), number(s.frameRate, "%.3f FPS"),
             audioCell(s), number(s.bitrate / 1000.0, "%.0f kb/s"),
             s.seconds > 0 ? secondsText(s.seconds) : "", s.language, s.title, flagsCell(s)});
    }
    *out = std::move(spec);
    return true;
}

} // namespace tavro
