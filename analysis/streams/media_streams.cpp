#include "analysis/streams/media_streams.h"

#include <cmath>
#include <cstdio>

namespace tavro {

const char* streamKindText(StreamKind kind) {
    switch (kind) {
    case StreamKind::video:
        return "video";
    case StreamKind::audio:
        return "audio";
    case StreamKind::subtitle:
        return "subtitle";
    case StreamKind::other:
        break;
    }
    return "other";
}

const StreamFacts* MediaStreams::first(StreamKind kind) const {
    for (const StreamFacts& s : streams)
        if (s.kind == kind) return &s;
    return nullptr;
}

void MediaStreams::add(Severity severity, std::string code, std::string status,
                       std::string detail) {
    findings.push_back({severity, std::move(code), std::move(status), std::move(detail)});
}

const FileFinding* MediaStreams::worst() const {
    const FileFinding* best = nullptr;
    for (const FileFinding& f : findings)
        if (!best || f.severity > best->severity) best = &f;
    return best;
}

std::string secondsText(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return "unknown";
    if (seconds >= 1e9) return "over 30 years";
    char text[48];
    if (seconds < 60) {
        std::snprintf(text, sizeof text, "%.3f s", seconds);
        return text;
    }
    const auto ms = static_cast<uint64_t>(std::llround(seconds * 1000));
    const uint64_t h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60, f = ms % 1000;
    if (h)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu.%03llu", (unsigned long long)h,
                      (unsigned long long)m, (unsigned long long)s, (unsigned long long)f);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu.%03llu", (unsigned long long)m,
                      (unsigned long long)s, (unsigned long long)f);
    return text;
}

} // namespace tavro
