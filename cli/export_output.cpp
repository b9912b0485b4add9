#include "cli/export_output.h"

#include "app/explanation_facts.h"

namespace tavro {

nlohmann::json explanationsJson(AnalysisDriver& driver, const CodecServices* services,
                                const RenderFacts& render) {
    ReportExplanations e =
        explainReport(driver, services ? &services->inventories : nullptr, render);
    return {{"file", std::move(e.file.text)},
            {"video", std::move(e.video.text)},
            {"audio", std::move(e.audio.text)},
            {"render", std::move(e.render.text)}};
}

} // namespace tavro
