#include "cli/export_output.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "app/explanations.h"
#include "app/export_step.h"

namespace tavro {

void useBinaryStdout() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

void printExportRecord(const std::string& templ, const AnalysisDriver&, const ReportModel& report,
                       const std::string& path) {
    const std::string record = exportRecord(templ, report, path);
    std::fwrite(record.data(), 1, record.size(), stdout);
}

nlohmann::json explanationsJson(AnalysisDriver& driver, const CodecServices* services,
                                const RenderFacts& render) {
    const ReportExplanations e =
        explainReport(driver, services ? &services->inventories : nullptr, render);
    return {{"file", e.file.text},
            {"video", e.video.text},
            {"audio", e.audio.text},
            {"render", e.render.text}};
}

} // namespace tavro
