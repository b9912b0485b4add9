#include "cli/info_set.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "cli/stderr_prompter.h"
#include "cli/stop_hook_file_system.h"
#include "infoedit/copy_save.h"
#include "infoedit/head_recovery.h"
#include "infoedit/head_writer.h"
#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"

namespace tavro {
namespace {

struct FieldSet {
    std::string id;
    std::string text;
};

int usage() {
    std::fprintf(stderr,
                 "usage: tavro-cli --set ID=TEXT [--set ID=TEXT]... [--output COPY] FILE\n");
    return 2;
}

int refuse(const std::string& caption, const std::string& text) {
    StderrPrompter().tell(text, caption, Icon::Exclamation);
    return 1;
}

} // namespace

bool isInfoSetCommand(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--set") == 0) return true;
    }
    return false;
}

int runInfoSet(int argc, char** argv) {
    std::vector<FieldSet> sets;
    std::string output, path;
    bool haveOutput = false, optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsDone && std::strcmp(arg, "--set") == 0 && i + 1 < argc) {
            std::string value = argv[++i];
            size_t eq = value.find('=');
            if (eq == std::string::npos) return usage();
            sets.push_back({value.substr(0, eq), value.substr(eq + 1)});
        } else if (!optionsDone && std::strcmp(arg, "--output") == 0 && i + 1 < argc &&
                   !haveOutput) {
            output = argv[++i];
            haveOutput = true;
        } else if (!optionsDone && std::strcmp(arg, "--") == 0) {
            optionsDone = true;
        } else if (!optionsDone && arg[0] == '-' && arg[1] != '\0') {
            return usage();
        } else if (path.empty()) {
            path = arg;
        } else {
            return usage();
        }
    }
    if (sets.empty() || path.empty() || (haveOutput && output.empty())) return usage();
    for (const FieldSet& s : sets)
        if (s.id.size() != 4 || !findInfoField(s.id))
            return refuse("Edit Failed", "Unknown INFO field \"" + s.id + "\". Known fields: " +
                                             infoFieldIdList() + ". File will not be modified");

    FileSystem& files = saveFileSystem();
    FileError error;
    FileStamp stamp;
    // Taken before the head is read, so that any later change to the file is seen.
    if (!files.stamp(path, &stamp, &error))
        return refuse("File Open Failure",
                      "Unable to open file " + path + ":\n\n" + error.systemText);
    ReportModel report;
    StderrPrompter prompter;
    auto driver = AnalysisDriver::create(report, prompter, files, kRunModeInformationOnly);
    if (!driver) return refuse("Fatal Error", "Error: Insufficient memory to run the application.");
    driver->fileList().add(path);
    driver->fileList().current = 0;
    if (driver->analyseCurrentFile() != AnalysisDriver::Outcome::Analysed) return 1;
    const MediaInfo& info = driver->info();
    if (!infoCommandsAllowed(info))
        return refuse("Edit Failed",
                      "Not an AVI file whose headers could be read. File will not be modified");

    const std::vector<uint8_t> original(info.headBuffer(), info.headBuffer() + info.headLength);
    std::vector<uint8_t> head = original;
    for (const FieldSet& s : sets) {
        InfoMessage message;
        if (!setInfoField(head, fourcc4(s.id), s.text, &message))
            return refuse(message.caption, message.text);
    }

    HeadWriteResult result;
    if (haveOutput) {
        if (output == path || files.sameFile(path, output))
            return refuse("Edit Failed",
                          "The copy cannot be the file itself. File will not be modified");
        result = saveEditedCopy(files, path, output, ByteView(original.data(), original.size()),
                                ByteView(head.data(), head.size()));
    } else {
        result = writeHead(files, path, stamp, ByteView(original.data(), original.size()),
                           ByteView(head.data(), head.size()));
    }
    if (!result.ok()) return refuse(result.caption, result.text);
    return 0;
}

bool isRestoreCommand(int argc, char** argv) {
    return argc >= 2 && std::strcmp(argv[1], "--restore") == 0;
}

int runRestore(int argc, char** argv) {
    if (argc != 3 || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: tavro-cli --restore FILE\n");
        return 2;
    }
    const std::string path = argv[2];
    FileSystem& files = platformFileSystem();
    const RecoveryCheck check = checkRecovery(files, path);
    switch (check.state) {
    case RecoveryState::None:
        std::printf("%s has no recovery file: nothing to restore.\n", path.c_str());
        return 0;
    case RecoveryState::Completed:
    case RecoveryState::NotStarted:
    case RecoveryState::Torn: {
        const bool finished = check.state == RecoveryState::Completed;
        if (!settleRecovery(files, check))
            return refuse("File Restore Failure",
                          "Unable to remove the recovery file " + check.journalPath);
        std::printf("%s\n", (finished ? "The last save of " + path +
                                            " had finished; its recovery file was removed."
                                      : "The last save of " + path +
                                            " never began; the file is as it was, and its "
                                            "recovery file was removed.")
                                .c_str());
        return 0;
    }
    case RecoveryState::Foreign:
        return refuse("File Restore Failure",
                      "The recovery file " + check.journalPath + " does not belong to " + path +
                          " as it is now (its size or the bytes behind the header differ). "
                          "Nothing was restored");
    case RecoveryState::Unreadable:
        return refuse("File Restore Failure", "Unable to read " + check.journalPath + " or " +
                                                  path + ":\n\n" + check.error.systemText);
    case RecoveryState::NeedsRestore:
        break;
    }
    const HeadWriteResult result = restoreHead(files, path, check);
    if (!result.ok()) return refuse(result.caption, result.text);
    std::printf("The old header of %s was put back.\n", path.c_str());
    return 0;
}

} // namespace tavro
