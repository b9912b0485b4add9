// The explanation texts of tavro-cli's JSON forms (the --template records are the
// export step's own exportRecord).
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "app/analysis_driver.h"
#include "app/codec_status.h"
#include "app/explanation_facts.h"

namespace tavro {

// {"file", "video", "audio", "render"}: the explanations in the popup's markup.
// `render` holds what the run's render tests found so far (see noteRenderTest).
nlohmann::json explanationsJson(AnalysisDriver& driver, const CodecServices* services,
                                const RenderFacts& render);

} // namespace tavro
