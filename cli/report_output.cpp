#include "cli/report_output.h"

#include "analysis/field_format.h"
#include "app/report_fields.h"
#include "cli/json_writer.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

nlohmann::json factsOf(const MediaInfo& info) {
    const AviHeaderModel& avi = info.avi;
    nlohmann::json facts;
    facts["container"] = info.typeCode;
    facts["size"] = info.fileSize;
    facts["width"] = avi.mainHeader.width();
    facts["height"] = avi.mainHeader.height();
    uint32_t frames = videoFrames(avi);
    uint32_t usPerFrame = avi.mainHeader.microSecPerFrame();
    facts["frames"] = frames;
    facts["fps"] = usPerFrame ? 1e6 / usPerFrame : 0.0;
    facts["duration_s"] = double(usPerFrame) * frames * 1e-6;
    facts["video_fourcc"] =
        avi.videoStreams > 0 ? fourccText(avi.videoFormat.compression()) : std::string();
    nlohmann::json audio = nlohmann::json::array();
    for (int i = 0; i < avi.audioStreams && i < kMaxAudioStreams; ++i) {
        const WaveFormatBytes& fmt = avi.audioFormat[i];
        audio.push_back({{"format_tag", fmt.formatTag()},
                         {"channels", fmt.channels()},
                         {"sample_rate", fmt.samplesPerSec()},
                         {"avg_bytes_per_sec", fmt.avgBytesPerSec()},
                         {"vbr", info.mpegScan[i].verdict == 2 || info.rateMode[i] == 2}});
    }
    facts["audio"] = audio;
    return facts;
}

// Numbers as numbers; unknown values are left out rather than written as zero.
nlohmann::json streamJson(const StreamFacts& s) {
    nlohmann::json o = {{"kind", streamKindText(s.kind)},
                        {"id", s.id},
                        {"codec", s.codec},
                        {"codec_id", s.codecId}};
    auto text = [&o](const char* key, const std::string& v) {
        if (!v.empty()) o[key] = v;
    };
    auto number = [&o](const char* key, uint64_t v) {
        if (v) o[key] = v;
    };
    text("profile", s.profile);
    text("level", s.level);
    number("bit_depth", s.bitDepth);
    text("chroma", s.chroma);
    number("width", s.width);
    number("height", s.height);
    if (s.displayWidth && s.displayHeight) {
        o["display_width"] = s.displayWidth;
        o["display_height"] = s.displayHeight;
    }
    const uint32_t w = s.displayWidth ? s.displayWidth : s.width;
    const uint32_t h = s.displayHeight ? s.displayHeight : s.height;
    if (w && h) o["display_aspect"] = double(w) / h;
    if (s.frameRate > 0 && s.frameRate < 1e6) o["frame_rate"] = s.frameRate;
    number("sample_rate", s.sampleRate);
    number("channels", s.channels);
    if (s.seconds > 0 && s.seconds < 1e12) o["duration_ms"] = uint64_t(s.seconds * 1000 + 0.5);
    number("bitrate", s.bitrate);
    text("language", s.language);
    text("title", s.title);
    o["default"] = s.isDefault;
    o["forced"] = s.forced;
    return o;
}

void addStreams(nlohmann::json& object, const MediaStreams& m) {
    nlohmann::json streams = nlohmann::json::array();
    for (const StreamFacts& s : m.streams)
        streams.push_back(streamJson(s));
    nlohmann::json findings = nlohmann::json::array();
    for (const FileFinding& f : m.findings) {
        static const char* const kSeverity[] = {"note", "warning", "broken"};
        findings.push_back({{"code", f.code},
                            {"severity", kSeverity[static_cast<int>(f.severity) % 3]},
                            {"status", f.status},
                            {"detail", f.detail}});
    }
    nlohmann::json container = {
        {"name", m.container}, {"brand", m.brand}, {"stream_count", m.streamCount}};
    if (!m.title.empty()) container["title"] = m.title;
    if (m.seconds > 0 && m.seconds < 1e12) {
        container["duration_ms"] = uint64_t(m.seconds * 1000 + 0.5);
        container["duration_estimated"] = m.secondsEstimated;
    }
    if (m.bitrate) container["bitrate"] = m.bitrate;
    object["container"] = std::move(container);
    object["streams"] = std::move(streams);
    object["findings"] = std::move(findings);
}

} // namespace

std::string escapeControls(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if ((u >= 0x20 && u != 0x7F) || u == '\t') {
            out.push_back(c);
        } else if (u == '\n') {
            out += "\\n";
        } else if (u == '\r') {
            out += "\\r";
        } else {
            out += "\\x";
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        }
    }
    return out;
}

bool isValidUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = p[i];
        size_t more = c < 0x80         ? 0
                      : (c >> 5) == 6  ? 1
                      : (c >> 4) == 14 ? 2
                      : (c >> 3) == 30 ? 3
                                       : 9;
        if (more == 9 || more > n - i - 1) return false;
        uint32_t cp = more == 0 ? c : more == 1 ? (c & 0x1F) : more == 2 ? (c & 0x0F) : (c & 0x07);
        for (size_t k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        static const uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

std::string jsonText(const nlohmann::json& value, int indent) {
    std::string out;
    appendJson(out, value, indent);
    return out;
}

// " (Name)" after the code; a name that is already bracketed ("(ASCII in junk chunk)")
// is not bracketed again.
static std::string commentNameText(const std::string& name) {
    if (name.empty()) return "";
    return name[0] == '(' ? " " + name : " (" + name + ")";
}

std::string reportText(const ReportModel& report) {
    std::string out;
    for (const ReportFieldInfo& f : reportFields())
        out += std::string(f.label) + ": " + escapeControls(report.text(f.id)) + "\n";
    for (const CommentRow& row : report.comments())
        out += escapeControls("Comment " + row.code + commentNameText(row.name) + ": " + row.text) +
               "\n";
    return out;
}

nlohmann::json reportJson(const std::string& path, const ReportModel& report,
                          const MediaInfo& info) {
    nlohmann::json fields = nlohmann::json::object();
    for (const ReportFieldInfo& f : reportFields())
        fields[f.key] = report.text(f.id);
    nlohmann::json comments = nlohmann::json::array();
    for (const CommentRow& row : report.comments())
        comments.push_back({{"code", row.code}, {"name", row.name}, {"text", row.text}});
    // Moved in: an initializer list copies named values, deeply.
    nlohmann::json object = {{"path", path},
                             {"fields", std::move(fields)},
                             {"comments", std::move(comments)},
                             {"facts", factsOf(info)}};
    if (info.streams.present) addStreams(object, info.streams);
    // A name that is not UTF-8 reads back with U+FFFD in "path": its bytes let a script
    // open it again.
    if (!isValidUtf8(path)) {
        static const char kHex[] = "0123456789abcdef";
        std::string hex;
        for (unsigned char c : path)
            hex += {kHex[c >> 4], kHex[c & 15]};
        object["path_hex"] = hex;
    }
    return object;
}

std::string fileOutput(OutputForm form, const std::string& path, const ReportModel& report,
                       const MediaInfo& info) {
    if (form == OutputForm::Text) return reportText(report) + "\n";
    return jsonOutput(form, reportJson(path, report, info));
}

std::string jsonOutput(OutputForm form, const nlohmann::json& object) {
    return jsonOutput(form, object, JsonSplice{nullptr, nullptr});
}

std::string jsonOutput(OutputForm form, const nlohmann::json& object, const JsonSplice& splice) {
    // Room for the largest record so far (a file map is most of one) saves growing
    // the text step by step and copying it each time.
    thread_local size_t largest = 4096;
    std::string out;
    out.reserve(largest);
    if (form == OutputForm::JsonLines) {
        appendJson(out, object, -1, 0, splice);
        out.push_back('\n');
    } else {
        // An element of the array: every line one level in.
        out += "  ";
        appendJson(out, object, 2, 2, splice);
    }
    if (out.size() > largest) largest = out.size();
    return out;
}

} // namespace tavro
