#include "app/analysis_driver.h"

#include <cstdio>
#include <cstring>

#include "analysis/avi_flavour.h"
#include "analysis/field_format.h"
#include "analysis/identify.h"
#include "analysis/modern/avi_video_detail.h"
#include "analysis/modern/modern_fields.h"
#include "analysis/modern/modern_file.h"
#include "analysis/mpeg_audio_scan.h"
#include "analysis/oggcodec/ogg_codecs.h"
#include "analysis/riff_walker.h"
#include "analysis/span_feed.h"
#include "analysis/streams/input_file_reader.h"
#include "app/export_step.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

const char* const kCookedMark = "  * COOKED * (info...)";
const char* const kUnknownType = "Non-AVI File - Type Unknown.";
const uint32_t kCookedThreshold = 192;
const uint32_t kMaxWrapDepth = 4;

const char* wrapperName(uint32_t kind) {
    static const char* const kNames[] = {"NONE", "WAV", "CDXA", "RMID"};
    return kind < 4 ? kNames[kind] : "NONE";
}

void splitPath(const std::string& path, std::string& name, std::string& ext) {
    size_t slash = path.find_last_of("/\\");
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (name.size() > 255) name.resize(255);
    if (ext.size() > 255) ext.resize(255);
}

} // namespace

std::unique_ptr<AnalysisDriver> AnalysisDriver::create(ReportModel& report, Prompter& prompter,
                                                       FileSystem& files, const Settings& settings,
                                                       CodecServices* codecs) {
    std::unique_ptr<MediaInfo> info = MediaInfo::create();
    if (!info) return nullptr;
    return std::unique_ptr<AnalysisDriver>(
        new AnalysisDriver(std::move(info), report, prompter, files, &settings, codecs));
}

std::unique_ptr<AnalysisDriver> AnalysisDriver::create(ReportModel& report, Prompter& prompter,
                                                       FileSystem& files, int runMode) {
    std::unique_ptr<MediaInfo> info = MediaInfo::create();
    if (!info) return nullptr;
    std::unique_ptr<AnalysisDriver> driver(
        new AnalysisDriver(std::move(info), report, prompter, files, nullptr, nullptr));
    driver->ownSettings_.runMode = runMode;
    return driver;
}

AnalysisDriver::AnalysisDriver(std::unique_ptr<MediaInfo> info, ReportModel& report,
                               Prompter& prompter, FileSystem& files, const Settings* settings,
                               CodecServices* codecs)
    : info_(std::move(info)), report_(report), prompter_(prompter), files_(files),
      settings_(settings ? *settings : ownSettings_),
      codecs_(*info_, report, prompter, settings_, codecs),
      render_(report, prompter, settings_, codecs), analysis_{*info_, report, codecs_} {
    resetReport(true, "");
}

void AnalysisDriver::systemError(const char* caption, const char* format, const FileError& error) {
    char text[1024];
    std::snprintf(text, sizeof text, format, path_.c_str());
    prompter_.tell(std::string(text) + error.systemText, caption, Icon::Exclamation);
}

AnalysisDriver::Outcome AnalysisDriver::analyseCurrentFile() {
    MediaInfo& info = *info_;
    info.headersParsed = info.infoDirty = info.analysing = info.changedWhileRead = 0;
    if (!list_.hasCurrent()) return Outcome::NoFile;
    path_ = list_.at(list_.current);
    if (beforeOpen_) beforeOpen_(path_);
    Outcome outcome = Outcome::Analysed;
    FileError error;
    std::unique_ptr<InputFile> file = files_.openRead(path_, &error);
    if (!file) {
        systemError("File Open Failure", "Unable to open file %s:\n\n", error);
        updateCounter();
        return Outcome::OpenFailed;
    }
    splitPath(path_, info.fileName, info.fileExt);
    // What identification sets is cleared here, since an empty file never reaches it.
    info.typeCode.clear();
    info.container = ContainerKind::None;
    info.sizeFull.clear();
    info.fileSize = 0;
    info.wrap = WrappedWave();
    wrapPrefix_.clear();
    if (!readAndIdentify(file.get())) outcome = Outcome::ReadFailed;
    // Checked on the open handle once the reads are done: no second look-up by name.
    FileStamp opened, now;
    const bool changed = file->openedStamp(&opened) && file->currentStamp(&now, nullptr) &&
                         (now != opened || opened.size != file->size());
    file.reset();
    while (info.wrap.waveDataFound) {
        if (++info.wrap.waveDepth >= kMaxWrapDepth) break;
        wrapPrefix_ += wrapperName(info.wrap.wrapperKind);
        info.wrap.waveDataFound = 0;
        readAndIdentify(nullptr);
    }
    streamTypeText();
    if (changed) {
        // Told as such, not as the truncation a growing recording would look like.
        info.changedWhileRead = 1;
        report_.setText(field::FileStatus, "File changed while being read");
    }
    if (askAboutUrl()) {
        render_.run(path_, info, list_.count(), batchRunning);
        if (mfPlay_) mfPlay_->run(path_, info, list_.count(), batchRunning);
        if (exporter_) exporter_->exportCurrentFile(report_, path_);
    }
    updateCounter();
    return outcome;
}

bool AnalysisDriver::nextFile() {
    if (!list_.hasNext()) return false;
    list_.current += 1;
    analyseCurrentFile();
    return true;
}

bool AnalysisDriver::readAndIdentify(InputFile* file) {
    MediaInfo& info = *info_;
    resetReport(true, "n.a.");
    report_.setPlainText(field::Path, path_);
    report_.enable(field::FileStatus);
    uint8_t* head = info.headBuffer();
    if (file) {
        size_t got = 0;
        FileError error;
        bool ok = file->read(head, kHeadCapacity, &got, &error);
        info.headLength = ok ? static_cast<uint32_t>(got) : 0;
        if (got > headFilled_) headFilled_ = static_cast<uint32_t>(got);
        info.auxEnd = info.headLength;
        info.fileSize = file->size();
        if (!ok) {
            systemError("File Read Error", "Error reading file %s:\n\n", error);
            return false;
        }
    } else {
        // The payload is cut by the valid bytes of the head, never by the buffer: bytes
        // past them may belong to an earlier, longer file.
        uint32_t start = info.wrap.wavePayload;
        uint32_t valid = info.headLength > start ? info.headLength - start : 0;
        uint32_t length = info.wrap.wavePayloadSize < valid ? info.wrap.wavePayloadSize : valid;
        std::memmove(head, head + start, length);
        // Bytes past the payload are cleared as far as any file has filled the buffer,
        // not the whole buffer each time.
        uint32_t dirty = headFilled_ > info.headLength ? headFilled_ : info.headLength;
        if (dirty > length) std::memset(head + length, 0, dirty - length);
        headFilled_ = length;
        info.headLength = length;
        info.auxEnd = length;
    }
    identifyHead();
    if (file) readModernStreams(*file);
    return true;
}

void AnalysisDriver::readModernStreams(InputFile& file) {
    MediaInfo& info = *info_;
    InputFileReader reader(file, info.headBuffer(), info.headLength);
    SpanSink* spans = spanSinkOf(info);
    if (info.notIdentified) {
        if (info.isRiff || info.isCooked) return;
        info.streams = readRawStream(reader, spans);
        if (!info.streams.present) return;
        // A raw stream names the file: the unknown-type texts do not follow.
        info.notIdentified = 0;
        std::string name = info.streams.container;
        const std::string suffix = " stream";
        if (name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            name.resize(name.size() - suffix.size());
        info.typeCode = name;
        report_.setText(field::FileStatus, "File is a raw " + name + " stream");
    } else if (info.typeCode == "Ogg Audio") {
        // An Ogg file the OGM path showed as plain audio may hold Opus, FLAC or Theora.
        info.streams = readOggCodecs(reader);
    } else if (readsModern(info.container)) {
        info.streams = readModernFile(info.container, reader, spans);
    }
    if (!info.streams.present) return;
    fillModernFields(analysis_, info.streams);
    codecs_.resolveModernCodecs();
}

void AnalysisDriver::addAviAudioDetail(int n) {
    const MediaInfo& info = *info_;
    const AviHeaderModel& avi = info.avi;
    const uint32_t at = avi.audioExtraOffset[n], length = avi.audioExtraLength[n];
    // The head may have been rewritten since the walk (a wrapped payload moved down).
    if (!length || at > info.headLength || length > info.headLength - at) return;
    codecs_.addAudioDetail(
        aviAudioProfile(avi.audioFormat[n].formatTag(), info.headBuffer() + at, length));
}

void AnalysisDriver::reanalyseHead() {
    MediaInfo& info = *info_;
    resetReport(true, "n.a.");
    report_.setPlainText(field::Path, path_);
    report_.enable(field::FileStatus);
    info.headersParsed = 0;
    identifyHead();
    streamTypeText();
    updateCounter();
}

void AnalysisDriver::identifyHead() {
    MediaInfo& info = *info_;
    if (info.headLength == 0) {
        info.isEmpty = 1;
        report_.setText(field::FileStatus, "File is Empty (Zero Length)");
        return;
    }
    info.analysing = 1;
    identify(analysis_, info.fileSize);
    // Identification only reads the head, so the score taken after it is the head's;
    // it matters only for a file identification named.
    if (!info.notIdentified && cookedScore(info.headBuffer(), info.headLength) > kCookedThreshold) {
        info.isCooked = 1;
        report_.setText(field::FileStatus, report_.text(field::FileStatus) + kCookedMark);
    }
    if (info.isRiff && analyseRiffHead()) aviFlavour(analysis_);
}

bool AnalysisDriver::analyseRiffHead() {
    MediaInfo& info = *info_;
    report_.clearComments();
    if (!walkRiff(analysis_)) {
        info.notIdentified = 1;
        return false;
    }
    info.headersParsed = 1;
    const AviHeaderModel& avi = info.avi;
    if (avi.videoStreams > 0) {
        fillVideoFields(analysis_);
        codecs_.resolveVideoCodec();
        const StreamFacts facts =
            aviVideoFacts(avi.videoFormat.compression(), info.headBuffer(), info.headLength);
        if (!facts.codec.empty()) codecs_.addVideoDetail(compactDetailText(facts), facts.codec);
    }
    const MediaInfo& collected = info; // a stream never collected has no buffer
    for (int i = 0; i < avi.audioStreams; ++i)
        scanMpegAudio(collected.audioCollect(i), info.audioWrite[i], info.mpegScan[i]);
    fillAudioFields(analysis_, 0);
    if (avi.audioStreams > 0) {
        codecs_.resolveAudioCodec(0);
        addAviAudioDetail(0);
    } else
        report_.setPlainText(field::AudioName, "No Audio Channels");
    return true;
}

void AnalysisDriver::selectAudioStream(int n) {
    if (n < 0 || n >= kMaxAudioStreams) return;
    if (info_->streams.present) {
        fillModernAudioFields(analysis_, info_->streams, n);
        codecs_.resolveModernAudio(n);
        return;
    }
    fillAudioFields(analysis_, n);
    if (n < info_->avi.audioStreams) {
        codecs_.resolveAudioCodec(n);
        if (info_->isAvi) addAviAudioDetail(n);
    }
    static const int kRadios[] = {field::Stream1, field::Stream2, field::Stream3};
    for (int i = 0; i < kMaxAudioStreams; ++i)
        report_.setText(kRadios[i], std::to_string(i + 1) + (i == n ? ">" : ""));
}

void AnalysisDriver::resetReport(bool clearAll, const std::string& text) {
    MediaInfo& info = *info_;
    if (clearAll) {
        report_.setPlainText(field::Path, text);
        report_.setPlainText(field::Size, text);
        report_.disable(field::FileStatus, false);
        // Else an empty or plain Ogg file would keep the previous file's type.
        report_.setPlainText(field::Type, text);
        render_.resetForFile();
        info.resetFlags();
    }
    info.resetModels();
    report_.clearComments();
    static const int kFields[] = {field::AudioBitrate, field::SampleRate, field::AudioName,
                                  field::Framerate,    field::Duration,   field::VideoBitrate,
                                  field::VideoName,    field::FourCC,     field::Aspect,
                                  field::Interleave,   field::Imrr};
    for (int id : kFields)
        report_.setPlainText(id, text);
    static const int kDisabled[] = {field::VideoStatus, field::AudioStatus, field::Stream1,
                                    field::Stream2, field::Stream3};
    for (int id : kDisabled) {
        report_.disable(id, false);
        report_.setLinkTarget(id, "");
    }
}

void AnalysisDriver::streamTypeText() {
    MediaInfo& info = *info_;
    if (!info.notIdentified) {
        if (!wrapPrefix_.empty())
            report_.setText(field::Type, wrapPrefix_ + "->" + report_.text(field::Type));
        return;
    }
    if (wrapPrefix_.empty()) {
        report_.setText(field::Type, kUnknownType);
        info.typeCode = kUnknownType;
        info.container = ContainerKind::None;
        // The cooked mark stays: it is the likely reason the walk failed.
        report_.setText(field::FileStatus,
                        std::string("Not a valid AVI File") + (info.isCooked ? kCookedMark : ""));
        return;
    }
    // A wrapped payload nothing recognised: a PCM wrapper is summarised, any other
    // reads as plain WAV.
    if (info.wrap.wrapperKind == kWrapWav && info.wrap.waveFmt.formatTag() == 1)
        wrapPrefix_ = wavSummary(info.wrap.waveFmt);
    report_.setText(field::Type, wrapPrefix_);
    info.typeCode = "WAV";
    info.container = ContainerKind::None;
    report_.setText(field::FileStatus, wrapPrefix_);
    info.wrap.wrapperKind = kWrapNone;
}

bool AnalysisDriver::askAboutUrl() {
    const MediaInfo& info = *info_;
    if (batchRunning || !startsWithNoCase(info.headBuffer(), info.headLength, "http://"))
        return true;
    Answer answer =
        prompter_.ask("File is a URL, and may attempt to access the internet.\r\nContinue anyway?",
                      "File Type Information", Buttons::OkCancel, Icon::Information);
    return answer != Answer::Cancel;
}

void AnalysisDriver::updateCounter() {
    int current = list_.current, count = list_.count();
    if (current > count - 1) return;
    char text[32];
    std::snprintf(text, sizeof text, "%3d/%-3d", current + 1, count);
    report_.enable(field::Counter);
    report_.setText(field::Counter, text);
    if (current == count - 1) report_.disable(field::Counter, true);
}

} // namespace tavro
