#include "app/codec_status.h"

#include "analysis/byte_view.h"
#include "analysis/modern/modern_fields.h"
#include "analysis/mpeg_audio_scan.h"
#include "codecs/stream_codec_status.h"

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

PlayerDecoders CodecStatus::addPlayerVerdict(StreamKind kind, const std::vector<uint32_t>& keys,
                                             int installedIndex, CodecStatusField& status) {
    if (!services_) return PlayerDecoders();
    PlayerDecoders players = findPlayerDecoders(kind, keys, services_->inventories);
    // The old text keeps its meaning (this process's own player) and stays first,
    // so what reads it still matches; the other players' verdict follows it.
    if (status.written && installedIndex != kNoCodecNeeded) {
        const std::string suffix = playerStatusSuffix(players, services_->inventories.ownBits);
        if (!suffix.empty()) status.text += "  " + suffix;
    }
    return players;
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
    const uint32_t key = video_.alternateFourcc[0]
                             ? readLe32(reinterpret_cast<const uint8_t*>(video_.alternateFourcc))
                             : input.compression;
    videoPlayers_ =
        addPlayerVerdict(StreamKind::video, {key}, video_.installedIndex, video_.status);
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
    audioPlayers_ = addPlayerVerdict(StreamKind::audio, {input.formatTag}, audio_.installedIndex,
                                     audio_.status);
    showResult(field::AudioName, audio_.name, field::AudioStatus, audio_.status);
}

namespace {

// A name the data base does not know keeps the family the reader gave.
std::string streamName(const StreamCodecStatus& r, const StreamFacts& s) {
    if (r.entrySlot != 0 || s.codec.empty()) return r.name.text;
    return s.codec;
}

} // namespace

StreamCodecStatus CodecStatus::resolveStream(const StreamFacts& stream, int statusId) {
    const CodecDatabase& db = services_ && services_->db ? *services_->db : emptyDatabase();
    prepareStatusField(statusId);
    return resolveStreamCodec(stream, settings_.runMode, db,
                              services_ ? services_->inventories.video.get() : nullptr,
                              services_ ? services_->inventories.audio.get() : nullptr);
}

void CodecStatus::addVideoDetail(const std::string& detail, const std::string& family) {
    if (detail.empty()) return;
    video_.name.text = nameWithDetail(video_.name.text, family, detail);
    // The link and secondary text stay: the name still leads to the same record.
    report_.setText(field::VideoName, video_.name.text);
}

void CodecStatus::addAudioDetail(const std::string& detail) {
    if (detail.empty()) return;
    audio_.name.text = nameWithDetail(audio_.name.text, "AAC", detail);
    report_.setText(field::AudioName, audio_.name.text);
}

void CodecStatus::resolveModernCodecs() {
    if (const StreamFacts* v = info_.streams.first(StreamKind::video)) resolveModernVideo(*v);
    resolveModernAudio(0);
}

void CodecStatus::resolveModernVideo(const StreamFacts& stream) {
    StreamCodecStatus r = resolveStream(stream, field::VideoStatus);
    videoPlayers_ =
        addPlayerVerdict(r.kind, streamCodecKeys(stream).keys, r.installedIndex, r.status);
    video_ = VideoCodecStatus();
    video_.fourccText = fourccFieldText(stream);
    video_.name = r.name;
    video_.status = r.status;
    video_.entrySlot = r.entrySlot;
    video_.entry = r.entry;
    video_.installedIndex = r.installedIndex;
    video_.searchKeys = streamCodecKeys(stream).keys;
    video_.name.text =
        nameWithDetail(streamName(r, stream), stream.codec, compactDetailText(stream));
    showResult(field::VideoName, video_.name, field::VideoStatus, video_.status);
}

void CodecStatus::resolveModernAudio(int n) {
    const StreamFacts* stream = audioStream(info_.streams, n);
    if (!stream) return;
    StreamCodecStatus r = resolveStream(*stream, field::AudioStatus);
    audioPlayers_ =
        addPlayerVerdict(r.kind, streamCodecKeys(*stream).keys, r.installedIndex, r.status);
    audio_ = AudioCodecStatus();
    audio_.name = r.name;
    audio_.status = r.status;
    audio_.entrySlot = r.entrySlot;
    audio_.entry = r.entry;
    audio_.installedIndex = r.installedIndex;
    audio_.searchKeys = streamCodecKeys(*stream).keys;
    std::string detail = stream->profile;
    if (!stream->language.empty() && stream->language != "und")
        detail += (detail.empty() ? "" : ", ") + stream->language;
    audio_.name.text = nameWithDetail(streamName(r, *stream), stream->codec, detail);
    showResult(field::AudioName, audio_.name, field::AudioStatus, audio_.status);
}

} // namespace tavro
