#include "cli/export_output.h"

#include "app/explanations.h"

namespace tavro {

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
