// tavro-cli's export forms: the record the window's export would append for a
// file (--template TEXT), and the explanation texts for --json.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "app/analysis_driver.h"
#include "app/codec_status.h"
#include "app/explanations.h"

namespace tavro {

// Records carry their own CR LF: stdout must not add a CR of its own on Windows.
void useBinaryStdout();
// Writes the expansion of `templ` for the current file, then CR LF.
void printExportRecord(const std::string& templ, const AnalysisDriver& driver,
                       const ReportModel& report, const std::string& path);
// {"file", "video", "audio", "render"}: the explanations in the popup's markup.
// `render` holds what the run's render tests found so far (see noteRenderTest).
nlohmann::json explanationsJson(AnalysisDriver& driver, const CodecServices* services,
                                const RenderFacts& render);

} // namespace tavro
