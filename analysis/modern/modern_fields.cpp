#include "analysis/modern/modern_fields.h"

#include <cstdio>
#include <vector>

#include "analysis/field_format.h"

namespace tavro {
namespace {

std::string kbpsText(uint64_t bitrate) {
    return std::to_string((bitrate + 500) / 1000) + " kb/s";
}

std::string familyOrId(const StreamFacts& s) {
    return s.codec.empty() ? s.codecId : s.codec;
}

double shownSeconds(const MediaStreams& m, const StreamFacts* s) {
    return s && s->seconds > 0 ? s->seconds : m.seconds;
}

std::string durationField(double seconds, bool estimated) {
    if (!(seconds > 0) || seconds > 1e12) return "n.a.";
    std::string text = durationText(static_cast<uint64_t>(seconds + 0.5));
    return estimated ? text + " (estimate)" : text;
}

void fillVideo(Analysis& a, const MediaStreams& m, const StreamFacts& v) {
    ReportSink& r = a.report;
    r.setText(field::FourCC, fourccFieldText(v));
    r.setText(field::VideoName, nameWithDetail(familyOrId(v), "", compactDetailText(v)));
    const uint32_t w = v.displayWidth ? v.displayWidth : v.width;
    const uint32_t h = v.displayHeight ? v.displayHeight : v.height;
    r.setText(field::Aspect, w && h ? aspectText(w, h) : "n.a.");
    if (v.frameRate > 0 && v.frameRate < 1e6) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f FPS", v.frameRate);
        r.setText(field::Framerate, text);
    }
    if (v.bitrate) r.setText(field::VideoBitrate, kbpsText(v.bitrate));
    r.setText(field::Duration, durationField(shownSeconds(m, &v), m.secondsEstimated));
}

} // namespace

const StreamFacts* audioStream(const MediaStreams& streams, int n) {
    for (const StreamFacts& s : streams.streams)
        if (s.kind == StreamKind::audio && n-- == 0) return &s;
    return nullptr;
}

std::string streamDetailText(const StreamFacts& s) {
    std::string text = s.profile;
    if (!s.level.empty()) text += (text.empty() ? "L" : "@L") + s.level;
    std::string depth;
    if (s.kind == StreamKind::video && s.bitDepth) depth = std::to_string(s.bitDepth) + "-bit";
    if (!s.chroma.empty()) depth += (depth.empty() ? "" : " ") + s.chroma;
    if (!depth.empty()) text += (text.empty() ? "" : ", ") + depth;
    return text;
}

std::string compactDetailText(const StreamFacts& s) {
    std::string text = s.profile;
    if (!s.level.empty()) text += (text.empty() ? "L" : "@L") + s.level;
    std::string depth;
    if (s.kind == StreamKind::video && s.bitDepth && s.bitDepth != 8)
        depth = std::to_string(s.bitDepth) + "-bit";
    if (!s.chroma.empty() && s.chroma != "4:2:0") depth += (depth.empty() ? "" : " ") + s.chroma;
    if (!depth.empty()) text += (text.empty() ? "" : ", ") + depth;
    return text;
}

std::string nameWithDetail(const std::string& name, const std::string& family,
                           const std::string& detail) {
    // About what the main window's name fields hold in their font.
    const size_t kFieldChars = 52;
    if (detail.empty()) return name;
    const std::string full = name + " (" + detail + ")";
    if (full.size() <= kFieldChars || family.empty())
        return full.size() <= kFieldChars ? full : name;
    const std::string shorter = family + " (" + detail + ")";
    return shorter.size() <= kFieldChars ? shorter : name;
}

std::string fourccFieldText(const StreamFacts& s) {
    if (s.fourcc) {
        std::string text;
        for (int i = 0; i < 4; ++i) {
            const char c = static_cast<char>(s.fourcc >> (8 * i));
            text += c >= 0x20 && c < 0x7F ? c : '.';
        }
        return text;
    }
    if (s.codecId.size() <= 8) return s.codecId.empty() ? "n.a." : s.codecId;
    std::string id = s.codecId;
    const size_t slash = id.find_last_of('/');
    if (slash != std::string::npos && slash + 1 < id.size()) id = id.substr(slash + 1);
    if (id.size() > 2 && id[1] == '_') id = id.substr(2);
    return id.substr(0, 8);
}

std::string streamNameText(const StreamFacts& s) {
    static const char* const kKinds[] = {"Video", "Audio", "Subtitles", "Other"};
    return kKinds[static_cast<int>(s.kind) & 3] + (" #" + std::to_string(s.id)) + ": " +
           familyOrId(s);
}

std::string streamSummaryText(const StreamFacts& s) {
    std::string text = streamNameText(s);
    if (!s.codecId.empty() && s.codecId != s.codec) text += " (" + s.codecId + ")";
    std::vector<std::string> parts;
    std::string detail = streamDetailText(s);
    if (!detail.empty()) parts.push_back(detail);
    if (s.width && s.height) {
        parts.push_back(std::to_string(s.width) + " x " + std::to_string(s.height));
        if (s.displayWidth && s.displayHeight)
            parts.back() += " (shown " + std::to_string(s.displayWidth) + " x " +
                            std::to_string(s.displayHeight) + ")";
    }
    char number[48];
    if (s.frameRate > 0 && s.frameRate < 1e6) {
        std::snprintf(number, sizeof number, "%.3f FPS", s.frameRate);
        parts.push_back(number);
    }
    if (s.sampleRate) parts.push_back(std::to_string(s.sampleRate) + " Hz");
    if (s.channels) parts.push_back(std::to_string(s.channels) + " ch");
    if (s.kind == StreamKind::audio && s.bitDepth)
        parts.push_back(std::to_string(s.bitDepth) + "-bit");
    if (s.bitrate) parts.push_back(kbpsText(s.bitrate));
    if (s.seconds > 0) parts.push_back(secondsText(s.seconds));
    if (!s.language.empty()) parts.push_back(s.language);
    if (!s.title.empty()) parts.push_back("\"" + s.title + "\"");
    if (s.isDefault) parts.push_back("default");
    if (s.forced) parts.push_back("forced");
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? ", " : " ") + parts[i];
    return text;
}

void fillModernAudioFields(Analysis& a, const MediaStreams& m, int n) {
    ReportSink& r = a.report;
    static const int kRadios[] = {field::Stream1, field::Stream2, field::Stream3};
    int count = 0;
    for (const StreamFacts& s : m.streams)
        count += s.kind == StreamKind::audio;
    for (int i = 0; i < 3; ++i) {
        r.setEnabled(kRadios[i], count > i);
        r.setText(kRadios[i], std::to_string(i + 1) + (i == n ? ">" : ""));
    }
    const StreamFacts* s = audioStream(m, n);
    if (!s) {
        r.setText(field::AudioName, "No Audio Channels");
        return;
    }
    std::string name = familyOrId(*s);
    std::string detail = s->profile;
    if (s->bitDepth) detail += (detail.empty() ? "" : ", ") + std::to_string(s->bitDepth) + "-bit";
    if (!s->language.empty() && s->language != "und")
        detail += (detail.empty() ? "" : ", ") + s->language;
    if (!detail.empty()) name += " (" + detail + ")";
    r.setText(field::AudioName, name);
    r.setText(field::SampleRate, s->sampleRate ? std::to_string(s->sampleRate) + " Hz" : "n.a.");
    std::string rate = s->bitrate ? kbpsText(s->bitrate) : std::string("n.a.");
    if (s->channels) rate += " (" + std::to_string(s->channels) + " ch)";
    r.setText(field::AudioBitrate, rate);
    r.setText(field::Imrr, "Not supported.");
    r.setText(field::Interleave, "n.s.");
}

void fillModernFields(Analysis& a, const MediaStreams& m) {
    ReportSink& r = a.report;
    std::string type = m.container;
    // "WebM (webm)" says nothing twice; a brand that differs from the name is shown.
    std::string lower = m.container;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (!m.brand.empty() && m.brand != lower) type += " (" + m.brand + ")";
    if (!type.empty()) r.setText(field::Type, type);
    // A note follows the identification text; anything worse replaces it.
    if (const FileFinding* worst = m.worst()) {
        const std::string shown = r.text(field::FileStatus);
        r.setText(field::FileStatus, worst->severity == Severity::note && !shown.empty()
                                         ? shown + " - " + worst->status
                                         : worst->status);
    }
    if (const StreamFacts* v = m.first(StreamKind::video))
        fillVideo(a, m, *v);
    else
        r.setText(field::Duration, durationField(m.seconds, m.secondsEstimated));
    fillModernAudioFields(a, m, 0);
}

} // namespace tavro
