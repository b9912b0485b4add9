// One file's road: open, read the head, identify, read the RIFF structure, re-analyse
// wrapped WAVE payloads, the stream type text, the URL question, render test, export
// and the batch counter. Owns the MediaInfo record and its buffers.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "analysis/analysis.h"
#include "app/codec_status.h"
#include "app/export_step.h"
#include "app/file_list.h"
#include "app/mf_play_step.h"
#include "app/render_step.h"
#include "app/report_model.h"
#include "common/file_system.h"
#include "common/prompter.h"

namespace tavro {

class AnalysisDriver {
  public:
    enum class Outcome { Analysed, OpenFailed, ReadFailed, NoFile };

    // Null when the buffers cannot be allocated. `settings` must outlive the driver;
    // `codecs` (data base and installed-codec sources) may be null.
    static std::unique_ptr<AnalysisDriver> create(ReportModel& report, Prompter& prompter,
                                                  FileSystem& files, const Settings& settings,
                                                  CodecServices* codecs);
    // With default settings in the given run mode and no codec services.
    static std::unique_ptr<AnalysisDriver> create(ReportModel& report, Prompter& prompter,
                                                  FileSystem& files, int runMode);

    FileList& fileList() { return list_; }
    const FileList& fileList() const { return list_; }
    MediaInfo& info() { return *info_; }
    const MediaInfo& info() const { return *info_; }
    ReportModel& report() { return report_; }
    const CodecStatus& codecStatus() const { return codecs_; }
    RenderStep& renderStep() { return render_; }
    const RenderStep& renderStep() const { return render_; }

    Outcome analyseCurrentFile();
    // Advances to the next file of the list and analyses it; false at the end.
    bool nextFile();
    // Reads the head from `file`, or from the wrapped payload when it is null, and
    // runs identification and the readers. False when the read failed.
    bool readAndIdentify(InputFile* file);
    // MP4, Matroska, TS and the other modern containers: their streams, read by offset.
    void readModernStreams(InputFile& file);
    // The AAC profile of an AVI's n-th audio stream, after its codec name.
    void addAviAudioDetail(int n);
    // Reads the report again from the head now in the buffer (after an INFO edit):
    // no file is opened, and the render test and export do not run again.
    void reanalyseHead();
    void resetReport(bool clearAll, const std::string& text);
    // Walks the RIFF head now in the buffer and fills the stream fields; false (and
    // notIdentified set) when the walk failed.
    bool analyseRiffHead();

    // Shows audio stream n (0 to 2) in the audio fields, its radio button marked "n>".
    void selectAudioStream(int n);

    bool batchRunning = false;
    // Called with each file's path before it is opened (the window settles an
    // interrupted save there).
    void setBeforeOpen(std::function<void(const std::string&)> hook) {
        beforeOpen_ = std::move(hook);
    }
    // The text export run after the render test; none (no export) by default.
    void setExporter(ExportStep* exporter) { exporter_ = exporter; }
    // The Media Foundation test run right after the render test; none by default
    // (tavro-cli runs its own only where its output has room for it).
    void setMfPlayStep(MfPlayStep* step) { mfPlay_ = step; }

  private:
    AnalysisDriver(std::unique_ptr<MediaInfo> info, ReportModel& report, Prompter& prompter,
                   FileSystem& files, const Settings* settings, CodecServices* codecs);
    void systemError(const char* caption, const char* format, const FileError& error);
    void identifyHead();
    void streamTypeText();
    bool askAboutUrl();
    void updateCounter();

    std::unique_ptr<MediaInfo> info_;
    ReportModel& report_;
    Prompter& prompter_;
    FileSystem& files_;
    Settings ownSettings_; // used when the caller gave only a run mode
    const Settings& settings_;
    CodecStatus codecs_;
    RenderStep render_;
    Analysis analysis_;
    FileList list_;
    std::string path_;
    std::string wrapPrefix_;
    ExportStep* exporter_ = nullptr;
    MfPlayStep* mfPlay_ = nullptr;
    std::function<void(const std::string&)> beforeOpen_;
    uint32_t headFilled_ = 0; // the head buffer's bytes past this are all zero
};

} // namespace tavro
