#include "cli/render_output.h"
#include <cstdio>

#include "app/report_fields.h"
#include "codecs/inventory_table.h"
#include "render/render_fields.h"

namespace tavro {
namespace {

bool isRenderField(int id) {
    for (int f : kRenderFields)
        if (f == id) return true;
    return id == field::RenderStatus;
}

nlohmann::json versionJson(const VersionStrings& v) {
    nlohmann::json out = nlohmann::json::object();
    for (int k = 0; k < kVersionKeyCount; ++k)
        out[kVersionKeyNames[k]] = v.get(static_cast<VersionKey>(k));
    return out;
}

} // namespace

nlohmann::json renderJson(const RenderStep& step, const ReportModel& report) {
    const RenderOutcome& out = step.outcome();
    char hr[16];
    std::snprintf(hr, sizeof hr, "0x%08x", static_cast<unsigned>(out.hr));
    nlohmann::json j = {{"enabled", step.enabled()},
                        {"result", step.result()},
                        {"hr", step.result() != 0 ? nlohmann::json(hr) : nlohmann::json()},
                        {"error_text", step.result() != 0 ? out.errorText : std::string()}};
    for (const ReportFieldInfo& f : reportFields())
        if (isRenderField(f.id)) j[f.key] = report.text(f.id);
    return j;
}

nlohmann::json graphJson(const GraphDescription& graph, const CodecDatabase* db) {
    nlohmann::json filters = nlohmann::json::array();
    for (const GraphFilter& filter : graph.filters) {
        char clsid[39];
        formatRegistryGuid(filter.clsid, clsid);
        nlohmann::json pins = nlohmann::json::array();
        for (const GraphPin& pin : filter.pins) {
            const int peer = graph.filterOfPin(pin.peer);
            pins.push_back({{"name", pin.name},
                            {"direction", pin.direction == PinDirection::Input ? "in" : "out"},
                            {"major_type", mediaSubtypeName(db, pin.major)},
                            {"subtype", mediaSubtypeName(db, pin.subtype)},
                            {"connects_to", peer >= 0 ? nlohmann::json(peer) : nlohmann::json()}});
        }
        filters.push_back({{"name", filter.name}, {"clsid", clsid}, {"pins", pins}});
    }
    return filters;
}

std::string formatsText(const CodecDatabase& db) {
    return formatInventoryTable(knownVideoTable(db)) + "\n" +
           formatInventoryTable(knownAudioTable(db));
}

nlohmann::json formatsJson(const CodecDatabase& db) {
    return {{"video", inventoryTableJson(knownVideoTable(db))},
            {"audio", inventoryTableJson(knownAudioTable(db))}};
}

void addVersionStrings(nlohmann::json& codecs, const CodecInventories& inventories) {
    // The inventory's records come first in table order, so row i is record i;
    // the other architecture's rows after them have no texts read.
    const VersionStrings none{};
    if (codecs.contains("video"))
        for (size_t i = 0; i < codecs["video"]["rows"].size(); ++i) {
            const VideoCodecRecord* r =
                inventories.video ? inventories.video->at(static_cast<int>(i)) : nullptr;
            codecs["video"]["rows"][i]["version"] = versionJson(r ? r->version : none);
        }
    if (codecs.contains("audio"))
        for (size_t i = 0; i < codecs["audio"]["rows"].size(); ++i) {
            const AudioCodecRecord* r =
                inventories.audio ? inventories.audio->at(static_cast<int>(i)) : nullptr;
            codecs["audio"]["rows"][i]["version"] = versionJson(r ? r->version : none);
        }
}

} // namespace tavro
