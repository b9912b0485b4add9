#include "cli/report_output.h"

#include "analysis/field_format.h"
#include "common/fourcc_text.h"
#include "app/report_fields.h"

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

} // namespace

std::string reportText(const ReportModel& report) {
    std::string out;
    for (const ReportFieldInfo& f : reportFields())
        out += std::string(f.label) + ": " + report.text(f.id) + "\n";
    for (const CommentRow& row : report.comments())
        out += "Comment " + row.code + (row.name.empty() ? "" : " (" + row.name + ")") + ": " +
               row.text + "\n";
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
    return {{"path", path}, {"fields", fields}, {"comments", comments}, {"facts", factsOf(info)}};
}

} // namespace tavro
