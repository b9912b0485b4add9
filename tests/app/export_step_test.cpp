// The text export through the analysis driver: records appended per file, the
// file modes on real files, and the error path that switches export off.
#include "app/export_step.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/analysis_driver.h"
#include "tests/support/fake_output_files.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"
#include "tests/support/scratch_dir.h"

namespace tavro {
namespace {

using namespace test;

class ExportStepTest : public ::testing::Test {
  protected:
    ScratchDir dir;
    MemoryFileSystem fs;
    RecordingPrompter prompter;
    ReportModel report;
    Settings settings;
    std::unique_ptr<AnalysisDriver> driver;
    std::unique_ptr<ExportStep> step;

    void SetUp() override {
        settings.runMode = kRunModeInformationOnly;
        settings.exportEnabled = 1;
        settings.exportFormat = "%@\\t%D\\t%B";
        use(platformOutputFiles());
    }
    void use(OutputFiles& files) {
        driver = AnalysisDriver::create(report, prompter, fs, settings, nullptr);
        step = std::make_unique<ExportStep>(settings, prompter, files);
        driver->setExporter(step.get());
    }
    // A small PCM WAVE file under `path`, known to the driver's file system.
    void addWave(const std::string& path, size_t samples) {
        fs.files[path].bytes = list("RIFF", "WAVE",
                                    chunk("fmt ", waveFormat(1, 1, 8000, 8000, 1, 8)) +
                                        chunk("data", Bytes(samples, 0x80)));
    }
    void run(const std::vector<std::string>& paths) {
        driver->fileList().clear();
        for (const auto& p : paths)
            driver->fileList().add(p);
        driver->fileList().current = 0;
        driver->analyseCurrentFile();
        while (driver->nextFile()) {
        }
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const auto& q : prompter.asked)
            out.push_back(q.caption);
        return out;
    }
};

TEST_F(ExportStepTest, OneFileModeAppendsOneRecordPerFile) {
    const std::string target = dir.path("movies.csv");
    ScratchDir::write(target, "earlier\r\n");
    settings.exportMode = kExportOneFile;
    settings.exportFile = target;
    addWave("/m/a.wav", 100);
    addWave("/m/b.wav", 2000);
    addWave("/m/noext", 10);
    run({"/m/a.wav", "/m/b.wav", "/m/noext"});
    const std::string wav = "WAV: 8000 Hz, 64 kb/s (64/ch x 1 ch)";
    EXPECT_EQ(ScratchDir::read(target), "earlier\r\n"
                                        "a.wav\t" +
                                            wav +
                                            "\t144 bytes\r\n"
                                            "b.wav\t" +
                                            wav +
                                            "\t1.99 KB\r\n"
                                            "noext.\t" +
                                            wav + "\t54 bytes\r\n");
    EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(ExportStepTest, SameFolderAndChosenFolderModes) {
    const std::string media = dir.path("clip.wav");
    addWave(media, 100);
    settings.exportMode = kExportSameFolder;
    run({media, media});
    const std::string one = ScratchDir::read(dir.path("clip.txt"));
    ASSERT_EQ(one.size() % 2, 0u);
    EXPECT_EQ(one.substr(0, one.size() / 2), one.substr(one.size() / 2));
    EXPECT_EQ(one.substr(0, 9), "clip.wav\t");

    std::filesystem::create_directories(dir.path("out"));
    settings.exportMode = kExportChosenFolder;
    settings.exportPath = dir.path("out");
    run({media});
    EXPECT_EQ(ScratchDir::read(dir.path("out") + "/clip.txt"), one.substr(0, one.size() / 2));
}

// A template left empty (an older version's first run) exports the default record,
// never a bare line end.
TEST_F(ExportStepTest, EmptyTemplateExportsTheDefaultRecord) {
    const std::string media = dir.path("clip.wav");
    addWave(media, 100);
    settings.exportMode = kExportSameFolder;
    settings.exportFormat.clear();
    run({media});
    const std::string record = ScratchDir::read(dir.path("clip.txt"));
    EXPECT_EQ(record.rfind("Title: clip.wav\r\nDuration: ", 0), 0u) << record;
}

TEST_F(ExportStepTest, OffOrUnknownModeWritesNothing) {
    const std::string media = dir.path("clip.wav");
    addWave(media, 100);
    settings.exportEnabled = 0;
    run({media});
    settings.exportEnabled = 1;
    settings.exportMode = 0;
    run({media});
    EXPECT_FALSE(std::filesystem::exists(dir.path("clip.txt")));
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_EQ(settings.exportEnabled, 1u);
}

// Both messages once, export off, and no later file of the batch exported.
void expectErrorPath(const RecordingPrompter& prompter, const std::string& target,
                     const std::string& reason) {
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[0].caption, "Export Error");
    EXPECT_EQ(prompter.asked[0].icon, Icon::Exclamation);
    const std::string prefix = "Error writing to export file " + target + ":\n\n";
    EXPECT_EQ(prompter.asked[0].text.rfind(prefix, 0), 0u) << prompter.asked[0].text;
    if (!reason.empty()) {
        EXPECT_EQ(prompter.asked[0].text.substr(prefix.size()), reason);
    }
    EXPECT_GT(prompter.asked[0].text.size(), prefix.size());
    EXPECT_EQ(prompter.asked[1].caption, "FYI");
    EXPECT_EQ(prompter.asked[1].text, "Export mode is now set back to \"Disabled\".");
    EXPECT_EQ(prompter.asked[1].icon, Icon::Information);
}

TEST_F(ExportStepTest, NeverAppendsToTheAnalysedFile) {
    // Mode 1 on a ".txt" media file names the media file itself.
    const std::string media = dir.path("notes.txt");
    ScratchDir::write(media, "RIFF");
    addWave(media, 100);
    addWave(dir.path("z.wav"), 100);
    settings.exportMode = kExportSameFolder;
    run({media, dir.path("z.wav")});
    expectErrorPath(prompter, media, "");
    EXPECT_EQ(ScratchDir::read(media), "RIFF");
    EXPECT_EQ(settings.exportEnabled, 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.path("z.txt")));

    // Mode 2 with the media file's own folder reaches the same file.
    prompter.asked.clear();
    settings.exportEnabled = 1;
    settings.exportMode = kExportChosenFolder;
    settings.exportPath = dir.folder();
    run({media});
    expectErrorPath(prompter, exportFilePath(media, kExportChosenFolder, dir.folder(), "").path,
                    "");
    EXPECT_EQ(ScratchDir::read(media), "RIFF");
}

TEST_F(ExportStepTest, UnopenableTargetStopsTheBatchExport) {
    settings.exportMode = kExportOneFile;
    settings.exportFile = dir.path("missing folder") + "/all.txt";
    addWave("/m/a.wav", 10);
    addWave("/m/b.wav", 10);
    run({"/m/a.wav", "/m/b.wav"});
    expectErrorPath(prompter, settings.exportFile, "");
    EXPECT_EQ(settings.exportEnabled, 0u);
}

TEST_F(ExportStepTest, OverlongTargetIsRefused) {
    settings.exportMode = kExportChosenFolder;
    settings.exportPath = dir.path(std::string(300, 'd'));
    addWave("/m/a.wav", 10);
    run({"/m/a.wav"});
    expectErrorPath(prompter,
                    exportFilePath("/m/a.wav", kExportChosenFolder, settings.exportPath, "").path,
                    nameTooLongError().systemText);
}

TEST_F(ExportStepTest, FailedWriteReportsTheReasonAndLeavesNoHalfRecord) {
    ShortWriteFiles files;
    files.files["all.txt"] = "kept\r\n";
    files.limit = 20;
    use(files);
    settings.exportMode = kExportOneFile;
    settings.exportFile = "all.txt";
    addWave("/m/a.wav", 10);
    addWave("/m/b.wav", 10);
    run({"/m/a.wav", "/m/b.wav"});
    expectErrorPath(prompter, "all.txt", "There is not enough space on the disk.");
    EXPECT_EQ(files.files["all.txt"], "kept\r\n");
}

TEST(PlatformOutputFiles, ShortWriteGivesTheDiskFullReason) {
    // What a short write reports when the system gives no error of its own.
    const FileError full = diskFullError();
    EXPECT_NE(full.code, 0u);
    EXPECT_FALSE(full.systemText.empty());
}

} // namespace
} // namespace tavro
