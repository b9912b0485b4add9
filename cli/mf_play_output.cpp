#include "cli/mf_play_output.h"

#include <cstdio>

namespace tavro {
namespace {

const char* stageKey(MfPlayStage stage) {
    switch (stage) {
    case MfPlayStage::Startup:
        return "startup";
    case MfPlayStage::Resolver:
        return "resolver";
    case MfPlayStage::OpenSource:
        return "open_source";
    case MfPlayStage::Presentation:
        return "presentation";
    case MfPlayStage::Cancelled:
        return "cancelled";
    default:
        return "";
    }
}

} // namespace

nlohmann::json mfPlayJson(const MfPlayStep& step) {
    const MfPlayOutcome& out = step.outcome();
    char hr[16];
    std::snprintf(hr, sizeof hr, "0x%08x", static_cast<unsigned>(out.hr));
    nlohmann::json streams = nlohmann::json::array();
    for (size_t i = 0; i < out.streams.size(); ++i) {
        const MfStreamVerdict& v = out.streams[i];
        const MfStreamFacts& facts = out.description.streams[i];
        nlohmann::json decoders = nlohmann::json::array();
        for (const MfDecoderFound& d : facts.decoders)
            decoders.push_back(d.name);
        streams.push_back({{"kind", v.kind},
                           {"subtype", v.subtype},
                           {"selected", facts.selected},
                           {"needs_decoder", v.needsDecoder},
                           {"decoder", v.decoder},
                           {"decoders", std::move(decoders)},
                           {"text", v.text}});
    }
    const bool ran = out.result != 0;
    return {{"enabled", step.enabled()},
            {"result", out.result},
            {"hr", ran ? nlohmann::json(hr) : nlohmann::json()},
            {"error_text", ran ? out.errorText : std::string()},
            {"status", step.statusText()},
            {"failed_at", stageKey(out.description.failedAt)},
            {"streams", std::move(streams)},
            {"explanation", step.explanation()}};
}

} // namespace tavro
