#include "app/codec_status.h"

#include "analysis/byte_view.h"
#include "analysis/modern/modern_fields.h"
#include "analysis/mpeg_audio_scan.h"
#include "analysis/streams/codec_family.h"

namespace tavro {
namespace {

const CodecDatabase& emptyDatabase() {
    static const CodecDatabase db; // slot 0, "<unknown>", only
    return db;
}

// While the inventories are built, the status links say so; their texts come back after.
class ReportProgress : public InventoryProgress {
  public:
    ReportProgress(ReportModel& report, const std::function<void()>& refresh)
        : report_(report), refresh_(refresh) {}
    void begin() override {
        for (int id : kFields)
            report_.pushText(id, "processing...");
        if (refresh_) refresh_();
    }
    void showProgress(const char* text) override {
        if (report_.enabled(field::FileStatus)) report_.setText(field::FileStatus, text);
        if (refresh_) refresh_();
    }
    void end() override {
        for (int id : kFields)
            report_.popText(id);
    }

  private:
    static constexpr int kFields[] = {field::VideoStatus, field::AudioStatus, field::RenderStatus,
                                      field::FileStatus};
    ReportModel& report_;
    const std::function<void()>& refresh_;
};

} // namespace

CodecStatus::CodecStatus(MediaInfo& info, ReportModel& report, Prompter& prompter,
                         const Settings& settings, CodecServices* services)
    : info_(info), report_(report), prompter_(prompter), settings_(settings), services_(services) {}

void CodecStatus::ensureInventories() {
    if (!services_ || !services_->sources) return;
    ReportProgress progress(report_, services_->refresh);
    const CodecDatabase& db = services_->db ? *services_->db : emptyDatabase();
    InventoryContext context{*services_->sources, db, settings_, prompter_, &progress};
    ensureCodecInventories(services_->inventories, context);
}

// The status field is set up before the inventories are built, so their
// "processing..." push saves the state the resolution starts from: enabled, or in
// information-only mode cleared and disabled.
void CodecStatus::prepareStatusField(int id) {
    if (settings_.informationOnly()) {
        report_.clear(id);
        report_.disable(id, false);
    } else {
        report_.enable(id);
    }
    ensureInventories();
}

// A status is written only into an enabled field; the link goes on the name field.
void CodecStatus::showResult(int nameId, const CodecNameField& name, int statusId,
                             const CodecStatusField& status) {
    report_.setPlainText(nameId, name.text);
    if (!name.linkTarget.empty()) {
        report_.setLinkTarget(nameId, name.linkTarget);
        report_.setSecondaryText(nameId, name.secondaryText);
    }
    if (status.written && report_.enabled(statusId)) report_.setText(statusId, status.text);
}

void CodecStatus::resolveVideoCodec() {
    VideoStatusInput input;
    input.compression = info_.avi.videoFormat.compression();
    input.handler = readLe32(info_.avi.videoHeader.handler());
    input.runMode = settings_.runMode;
    const CodecDatabase& db = services_ && services_->db ? *services_->db : emptyDatabase();

    prepareStatusField(field::VideoStatus);
    const VideoCodecInventory* inventory = services_ ? services_->inventories.video.get() : nullptr;
    video_ = tavro::resolveVideoCodec(input, db, inventory);
    report_.setPlainText(field::FourCC, video_.fourccText);
    showResult(field::VideoName, video_.name, field::VideoStatus, video_.status);
}

void CodecStatus::resolveAudioCodec(int stream) {
    if (stream < 0 || stream >= static_cast<int>(info_.mpegScan.size())) return;
    AudioStatusInput input;
    input.formatTag = info_.avi.audioFormat[stream].formatTag();
    input.mpegVerdict = info_.mpegScan[stream].verdict;
    if (input.mpegVerdict != 0) input.mpegKindText = describeMpegAudio(info_.mpegScan[stream]).kind;
    input.runMode = settings_.runMode;
    const CodecDatabase& db = services_ && services_->db ? *services_->db : emptyDatabase();

    prepareStatusField(field::AudioStatus);
    const AudioCodecInventory* inventory = services_ ? services_->inventories.audio.get() : nullptr;
    audio_ = tavro::resolveAudioCodec(input, db, inventory);
    showResult(field::AudioName, audio_.name, field::AudioStatus, audio_.status);
}

namespace {

// The key a stream is looked up under: its own, else its family's usual one.
uint32_t videoKey(const StreamFacts& s) {
    if (s.fourcc) return s.fourcc;
    const CodecKeys* keys = codecKeysFor(s.codec.c_str());
    return keys && !keys->fourccs.empty() ? keys->fourccs.front() : 0;
}

uint16_t audioKey(const StreamFacts& s) {
    if (s.formatTag) return s.formatTag;
    const CodecKeys* keys = codecKeysFor(s.codec.c_str());
    return keys && !keys->formatTags.empty() ? keys->formatTags.front() : 0;
}

// The data base name, and after it what the name alone does not say.
std::string withDetail(const std::string& name, const std::string& detail) {
    return detail.empty() ? name : name + " (" + detail + ")";
}

} // namespace

void CodecStatus::resolveModernCodecs() {
    if (const StreamFacts* v = info_.streams.first(StreamKind::video)) resolveModernVideo(*v);
    resolveModernAudio(0);
}

void CodecStatus::resolveModernVideo(const StreamFacts& stream) {
    const uint32_t key = videoKey(stream);
    // A codec without a Windows key keeps the family name the reader gave it.
    if (!key) return;
    VideoStatusInput input;
    input.compression = key;
    input.runMode = settings_.runMode;
    const CodecDatabase& db = services_ && services_->db ? *services_->db : emptyDatabase();
    prepareStatusField(field::VideoStatus);
    const VideoCodecInventory* inventory = services_ ? services_->inventories.video.get() : nullptr;
    video_ = tavro::resolveVideoCodec(input, db, inventory);
    // The FourCC field keeps the container's own codec id.
    if (video_.entrySlot == 0) video_.name.text = stream.codec;
    video_.name.text = withDetail(video_.name.text, streamDetailText(stream));
    showResult(field::VideoName, video_.name, field::VideoStatus, video_.status);
}

void CodecStatus::resolveModernAudio(int n) {
    const StreamFacts* stream = audioStream(info_.streams, n);
    if (!stream) return;
    const uint16_t key = audioKey(*stream);
    if (!key) return;
    AudioStatusInput input;
    input.formatTag = key;
    input.runMode = settings_.runMode;
    const CodecDatabase& db = services_ && services_->db ? *services_->db : emptyDatabase();
    prepareStatusField(field::AudioStatus);
    const AudioCodecInventory* inventory = services_ ? services_->inventories.audio.get() : nullptr;
    audio_ = tavro::resolveAudioCodec(input, db, inventory);
    if (audio_.entrySlot == 0) audio_.name.text = stream->codec;
    std::string detail = stream->profile;
    if (!stream->language.empty()) detail += (detail.empty() ? "" : ", ") + stream->language;
    audio_.name.text = withDetail(audio_.name.text, detail);
    showResult(field::AudioName, audio_.name, field::AudioStatus, audio_.status);
}

} // namespace tavro
