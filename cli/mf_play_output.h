// The "mediaFoundationPlay" object of a file's JSON: the Media Foundation play test.
#pragma once
#include <nlohmann/json.hpp>

#include "app/mf_play_step.h"

namespace tavro {

// {"enabled", "result", "hr", "error_text", "status", "failed_at", "streams",
// "explanation"}; "hr" null when the test did not run.
nlohmann::json mfPlayJson(const MfPlayStep& step);

} // namespace tavro
