#include "render/render_test.h"

#include "render/render_fields.h"

namespace tavro {

const char* renderDisabledReason(const Settings& settings, int audioStreams, int videoStreams,
                                 int fileCount) {
    if (!settings.allows(kEnableRendering)) return "Disabled in advanced diagnostic settings";
    if (!settings.renderAllowedByMode()) return "Disabled due to Run Mode setting";
    if (audioStreams > 1) return "Disabled: rendering of multi stream audio not supported";
    if (videoStreams > 1) return "Disabled: rendering of multi stream video not supported";
    if (fileCount > 1 && settings.allows(kNoBatchRendering))
        return "Disabled by default when processing multiple files (see prefs)";
    return "";
}

int32_t buildAndInspectGraph(const RenderInputs& in, const std::string& path, FilterTable& table,
                             RenderOutcome* outcome) {
    RenderOutcome& out = *outcome;
    out = RenderOutcome();
    table.clear();
    out.hr = in.builder.renderFile(path, FilterTable::kCapacity, &out.graph, &out.managerCreated);
    out.errorText = renderErrorText(in.db, out.hr, &out.matchedError);
    out.result = out.hr == 0 ? 1 : -1;
    // Negative results leave nothing to inspect; success codes (a partial render)
    // still describe the graph that was built.
    if (out.hr >= 0 && out.managerCreated) {
        fillFilterTable(out.graph, table);
        out.roles = classifyFilters(table);
        matchDecoderCodecs(table, out.roles, in.db, in.video, in.audio);
    } else {
        out.graph.filters.clear();
    }
    return out.hr;
}

} // namespace tavro
