#include "app/render_step.h"

#include "app/step_progress.h"
#include "app/ui/link_target.h"
#include "render/render_fields.h"

namespace tavro {

const int kRenderFields[6] = {field::SourceMedia,   field::VideoMedia, field::AudioMedia,
                              field::SplitterOther, field::VideoCodec, field::AudioCodec};

namespace {

// What a machine without DirectShow answers for the graph manager's class.
constexpr int32_t kClassNotRegistered = static_cast<int32_t>(0x80040154);

class MissingGraphBuilder : public GraphBuilder {
  public:
    int32_t renderFile(const std::string&, size_t, GraphDescription* graph,
                       bool* managerCreated) override {
        graph->filters.clear();
        *managerCreated = false;
        return kClassNotRegistered;
    }
};

} // namespace

RenderStep::RenderStep(ReportModel& report, Prompter& prompter, const Settings& settings,
                       CodecServices* services)
    : report_(report), prompter_(prompter), settings_(settings), services_(services) {}

void RenderStep::resetForFile() {
    enabled_ = false;
    outcome_.result = 0;
}

void RenderStep::run(const std::string& path, const MediaInfo& info, int fileCount,
                     bool batchRunning) {
    const char* reason =
        forced_ ? ""
                : renderDisabledReason(settings_, info.avi.audioStreams, info.avi.videoStreams,
                                       runSize_ > 0 ? runSize_ : fileCount);
    enabled_ = reason[0] == '\0';
    for (int id : kRenderFields) {
        // A disabled field loses its link with its text.
        report_.setPlainText(id, enabled_ ? "" : "<disabled>");
        report_.setEnabled(id, enabled_);
    }
    report_.enable(field::RenderStatus);
    report_.setText(field::RenderStatus, reason);
    if (enabled_) renderFileTest(path, batchRunning);
}

void RenderStep::renderFileTest(const std::string& path, bool batchRunning) {
    if (path.empty()) return;
    report_.setText(field::RenderStatus, "Rendering...");
    pushStepProgress(report_, batchRunning || cancellable_);
    if (services_ && services_->refresh) services_->refresh();

    const CodecDatabase* db = services_ ? services_->db : nullptr;
    if (services_ && services_->sources && db) {
        InventoryContext context{*services_->sources, *db, settings_, prompter_};
        ensureCodecInventories(services_->inventories, context);
    }
    for (int id : kRenderFields)
        report_.clear(id);

    MissingGraphBuilder missing;
    RenderInputs inputs{builder_ ? *builder_ : missing, db};
    if (services_) {
        inputs.video = services_->inventories.video.get();
        inputs.audio = services_->inventories.audio.get();
    }
    buildAndInspectGraph(inputs, path, table_, &outcome_);
    showFields();
    report_.setText(field::RenderStatus, renderStatusText(outcome_.hr, outcome_.errorText));

    popStepProgress(report_);
}

void RenderStep::showFields() {
    const CodecDatabase* db = services_ ? services_->db : nullptr;
    const VideoCodecInventory* video = services_ ? services_->inventories.video.get() : nullptr;
    const AudioCodecInventory* audio = services_ ? services_->inventories.audio.get() : nullptr;
    const RenderFieldTexts texts = renderFieldTexts(table_, outcome_.roles, db, video, audio);
    const RenderField* fields[6] = {&texts.sourceMedia, &texts.videoMedia, &texts.audioMedia,
                                    &texts.splitter,    &texts.videoCodec, &texts.audioCodec};
    for (int i = 0; i < 6; ++i)
        report_.setTextAndLink(kRenderFields[i], fields[i]->text,
                               fields[i]->link >= 0 ? filterGraphLink(fields[i]->link) : "");
}

} // namespace tavro
