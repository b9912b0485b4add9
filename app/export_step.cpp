#include "app/export_step.h"

#include "analysis/report_sink.h"
#include "app/report_model.h"

namespace tavro {
namespace {

// The report field behind each template letter, "%A" first.
const int kLetterFields[kExportLetters] = {
    field::Path,         field::Size,         field::FileStatus,    field::Type,
    field::FourCC,       field::VideoName,    field::VideoStatus,   field::Aspect,
    field::VideoBitrate, field::Framerate,    field::Duration,      field::AudioName,
    field::AudioStatus,  field::AudioBitrate, field::SampleRate,    field::SourceMedia,
    field::VideoMedia,   field::AudioMedia,   field::SplitterOther, field::VideoCodec,
    field::AudioCodec,   field::RenderStatus, field::Interleave,    field::Imrr};

} // namespace

ExportFields exportFields(const ReportModel& report, const std::string& path) {
    ExportFields fields;
    fields.mediaPath = path;
    for (int i = 0; i < kExportLetters; ++i)
        fields.field[static_cast<size_t>(i)] = report.text(kLetterFields[i]);
    return fields;
}

std::string exportRecord(const std::string& templ, const ReportModel& report,
                         const std::string& path) {
    return expandTemplate(templ, exportFields(report, path)) + "\r\n";
}

int ExportStep::exportCurrentFile(const ReportModel& report, const std::string& path) {
    if (!settings_.exportEnabled) return 1;
    // An empty template (stored by an earlier version) would give a bare line end.
    const std::string record = exportRecord(settings_.exportFormat.empty() ? kDefaultExportTemplate
                                                                           : settings_.exportFormat,
                                            report, path);
    const ExportTarget target =
        exportFilePath(path, settings_.exportMode, settings_.exportPath, settings_.exportFile);
    if (target.kind == ExportTarget::NoExport) return 1;
    if (target.kind == ExportTarget::TooLong) return fail(target.path, nameTooLongError());
    // Mode 1 on a ".txt" media file, or mode 2 with the media file's own folder,
    // would append to the very file being analysed.
    if (files_.sameFile(target.path, path)) {
        FileError refused;
        refused.systemText = "The export file is the file being analyzed; records are never "
                             "appended to a media file.";
        return fail(target.path, refused);
    }
    FileError error;
    std::unique_ptr<OutputFile> file = files_.openForAppend(target.path, &error);
    if (!file) return fail(target.path, error);
    if (!file->append(record.data(), record.size(), &error)) return fail(target.path, error);
    return 1;
}

int ExportStep::fail(const std::string& target, const FileError& error) {
    prompter_.tell("Error writing to export file " + target + ":\n\n" + error.systemText,
                   "Export Error", Icon::Exclamation);
    settings_.exportEnabled = 0;
    prompter_.tell("Export mode is now set back to \"Disabled\".", "FYI", Icon::Information);
    return 0;
}

} // namespace tavro
