#include "app/analysis_driver.h"

#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using namespace test;

class DriverTest : public ::testing::Test {
  protected:
    MemoryFileSystem fs;
    RecordingPrompter prompter;
    ReportModel report;
    std::unique_ptr<AnalysisDriver> driver =
        AnalysisDriver::create(report, prompter, fs, kRunModeInformationOnly);

    void add(const std::string& path, Bytes bytes, uint64_t claimed = UINT64_MAX) {
        fs.files[path].bytes = std::move(bytes);
        fs.files[path].claimedSize = claimed;
    }
    AnalysisDriver::Outcome analyse(const std::vector<std::string>& paths, int current = 0) {
        driver->fileList().clear();
        for (const auto& p : paths)
            driver->fileList().add(p);
        driver->fileList().current = current;
        return driver->analyseCurrentFile();
    }
    std::string shown(int id) { return report.text(id); }
};

Bytes wave(const Bytes& fmt, const Bytes& data, int64_t dataSize = -1) {
    return list("RIFF", "WAVE", chunk("fmt ", fmt) + chunk("data", data, dataSize));
}
Bytes pcmFmt() {
    return waveFormat(1, 2, 44100, 176400, 4, 16);
}

TEST_F(DriverTest, PcmWaveReadsAsSummary) {
    add("a.wav", wave(pcmFmt(), Bytes(4000, 0x80)));
    EXPECT_EQ(analyse({"a.wav"}), AnalysisDriver::Outcome::Analysed);
    EXPECT_EQ(shown(field::Type), "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)");
    EXPECT_EQ(shown(field::FileStatus), shown(field::Type));
    EXPECT_EQ(driver->info().typeCode, "WAV");
    EXPECT_EQ(shown(field::Path), "a.wav");
    EXPECT_EQ(driver->info().fileName, "a.wav");
    EXPECT_EQ(driver->info().fileExt, "wav");
}

TEST_F(DriverTest, NonPcmWaveReadsAsWav) {
    add("ima.wav", wave(waveFormat(0x11, 1, 22050, 11100, 512, 4), Bytes(2048, 0x33)));
    analyse({"ima.wav"});
    EXPECT_EQ(shown(field::Type), "WAV");
    EXPECT_EQ(shown(field::FileStatus), "WAV");
    EXPECT_EQ(driver->info().typeCode, "WAV");
}

TEST_F(DriverTest, WrappedPayloadIsReanalysed) {
    Bytes midi = text("MThd") + Bytes{0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60};
    add("midi.wav", wave(pcmFmt(), midi));
    analyse({"midi.wav"});
    EXPECT_EQ(shown(field::Type), "WAV->audio/midi");
    EXPECT_EQ(shown(field::FileStatus), "File is MIDI (.MID)");
}

TEST_F(DriverTest, WrapsAreFollowedThreeLevelsDeep) {
    Bytes inner = text("MThd") + Bytes(10, 0);
    Bytes three = wave(pcmFmt(), wave(pcmFmt(), wave(pcmFmt(), inner)));
    add("three.wav", three);
    analyse({"three.wav"});
    EXPECT_EQ(driver->info().wrap.waveDepth, 3u);
    EXPECT_EQ(shown(field::Type), "WAVWAVWAV->audio/midi");

    add("four.wav", wave(pcmFmt(), three));
    analyse({"four.wav"});
    EXPECT_EQ(driver->info().wrap.waveDepth, 4u); // the fourth level is not read
    EXPECT_EQ(shown(field::Type), "WAVWAVWAV->wrapper");
}

TEST_F(DriverTest, WrappedPayloadIsBoundedByTheValidHead) {
    // A long file leaves "MThd" deep in the buffer; the next WAVE claims a payload
    // running over it, but only its own bytes may be analysed.
    Bytes longFile(200000, 0);
    std::memcpy(longFile.data() + 100, "MThd", 4);
    add("long.bin", longFile);
    analyse({"long.bin"});
    add("short.wav",
        list("RIFF", "WAVE", chunk("fmt ", pcmFmt()) + chunk("data", Bytes(16, 0x80), 150000),
             150036));
    analyse({"short.wav"});
    EXPECT_EQ(shown(field::Type), "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)");
    EXPECT_EQ(driver->info().headLength, 16u);
    EXPECT_EQ(driver->info().headBuffer()[100], 0); // stale bytes are gone
}

TEST_F(DriverTest, ResetClearsTheType) {
    Bytes avi = simpleAvi();
    add("a.avi", avi);
    add("empty.avi", {});
    add("audio.ogg", text("OggS") + Bytes(60, 0));
    analyse({"a.avi"});
    EXPECT_EQ(shown(field::Type), "AVI");
    analyse({"empty.avi"});
    EXPECT_EQ(shown(field::FileStatus), "File is Empty (Zero Length)");
    EXPECT_EQ(shown(field::Type), "n.a.");
    analyse({"a.avi"});
    analyse({"audio.ogg"});
    EXPECT_EQ(shown(field::FileStatus), "File is Ogg Audio");
    EXPECT_EQ(shown(field::Type), "n.a.");
}

TEST_F(DriverTest, CookedMarkSurvivesFailedWalk) {
    Bytes avi = simpleAvi();
    Bytes junk;
    for (int i = 0; i < 40; ++i)
        junk = junk + text("line\r\n");
    // The JUNK chunk is given a size far past its parent, as a CR insertion might do.
    Bytes file = list("RIFF", "AVI ", chunk("JUNK", junk, 0x00100000));
    add("cooked.avi", file);
    analyse({"cooked.avi"});
    EXPECT_EQ(shown(field::FileStatus), "Not a valid AVI File  * COOKED * (info...)");
    EXPECT_EQ(shown(field::Type), "Non-AVI File - Type Unknown.");
    EXPECT_EQ(driver->info().isCooked, 1u);

    Bytes good =
        list("RIFF", "AVI ", chunk("JUNK", junk) + list("LIST", "hdrl", avih(40000, 1, 1, 8, 8)));
    add("cooked_ok.avi", good);
    analyse({"cooked_ok.avi"});
    EXPECT_EQ(shown(field::FileStatus), "File Length Correct  * COOKED * (info...)");
}

TEST_F(DriverTest, UnrecognisedFilesReadNotValid) {
    add("junk.bin", Bytes(100, 0x42));
    analyse({"junk.bin"});
    EXPECT_EQ(shown(field::FileStatus), "Not a valid AVI File");
    EXPECT_EQ(shown(field::Type), "Non-AVI File - Type Unknown.");
    EXPECT_EQ(driver->info().typeCode, "Non-AVI File - Type Unknown.");
}

TEST_F(DriverTest, LargeOpenDmlFileKeepsItsSizes) {
    Bytes avi = simpleAvi(list("LIST", "odml", chunk("dmlh", Bytes{0x20, 0x4E, 0, 0})));
    add("big.avi", avi, 5368709120ull);
    analyse({"big.avi"});
    EXPECT_EQ(shown(field::FileStatus), "File Length Correct");
    EXPECT_EQ(shown(field::Size), "5,120 MB");
    EXPECT_EQ(driver->info().sizeFull, "5,120 MB   (5,242,880 KB    5,368,709,120 bytes)");
    EXPECT_EQ(shown(field::Type), "Multipart OpenDML AVI");
    EXPECT_EQ(shown(field::Duration), "00h 13m 20s");
}

TEST_F(DriverTest, OpenAndReadFailures) {
    add("a.avi", simpleAvi());
    analyse({"a.avi", "missing.avi"});
    EXPECT_EQ(analyse({"a.avi", "missing.avi"}, 1), AnalysisDriver::Outcome::OpenFailed);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].caption, "File Open Failure");
    EXPECT_EQ(prompter.asked[0].text,
              "Unable to open file missing.avi:\n\nThe system cannot find the file specified.");
    EXPECT_EQ(prompter.asked[0].icon, Icon::Exclamation);
    EXPECT_EQ(shown(field::Path), "a.avi"); // the previous report stays
    EXPECT_EQ(shown(field::Counter), "  2/2  ");

    add("bad.avi", simpleAvi());
    fs.files["bad.avi"].failRead = true;
    EXPECT_EQ(analyse({"bad.avi"}), AnalysisDriver::Outcome::ReadFailed);
    EXPECT_EQ(prompter.asked.back().caption, "File Read Error");
    EXPECT_EQ(prompter.asked.back().text,
              "Error reading file bad.avi:\n\nData error (cyclic redundancy check).");
    EXPECT_EQ(shown(field::Path), "bad.avi");
    EXPECT_EQ(shown(field::Type), "n.a.");
}

TEST_F(DriverTest, Counter) {
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back("f" + std::to_string(i));
        add(paths.back(), Bytes(10, 1));
    }
    analyse(paths, 2);
    EXPECT_EQ(shown(field::Counter), "  3/12 ");
    EXPECT_TRUE(report.enabled(field::Counter));
    while (driver->nextFile()) {
    }
    EXPECT_EQ(shown(field::Counter), " 12/12 ");
    EXPECT_FALSE(report.enabled(field::Counter));
    EXPECT_EQ(driver->fileList().current, 11);
}

TEST_F(DriverTest, UrlQuestion) {
    add("link.url", text("HTTP://example.invalid/x"));
    analyse({"link.url"});
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text,
              "File is a URL, and may attempt to access the internet.\r\nContinue anyway?");
    EXPECT_EQ(prompter.asked[0].caption, "File Type Information");
    EXPECT_EQ(prompter.asked[0].buttons, Buttons::OkCancel);
    driver->batchRunning = true;
    analyse({"link.url"});
    EXPECT_EQ(prompter.asked.size(), 1u);
}

// The question is asked over the link file's own report, never the previous file's:
// the window shows what the model holds at that moment.
TEST_F(DriverTest, UrlQuestionComesAfterTheReport) {
    struct SnapshotPrompter : Prompter {
        ReportModel* report = nullptr;
        std::vector<std::string> seen;
        Answer ask(const std::string&, const std::string&, Buttons, Icon) override {
            for (int id : {field::Path, field::Size, field::FileStatus, field::Type})
                seen.push_back(report->text(id));
            return Answer::Cancel;
        }
    } snapshot;
    snapshot.report = &report;
    auto urlDriver = AnalysisDriver::create(report, snapshot, fs, kRunModeInformationOnly);
    add("a.wav", wave(pcmFmt(), Bytes(4000, 0x80)));
    add("link.url", text("http://example.invalid/clip.avi\r\n"));
    urlDriver->fileList().add("a.wav");
    urlDriver->fileList().add("link.url");
    urlDriver->analyseCurrentFile();
    ASSERT_TRUE(urlDriver->nextFile());
    ASSERT_EQ(snapshot.seen.size(), 4u);
    EXPECT_EQ(snapshot.seen[0], "link.url");
    EXPECT_EQ(snapshot.seen[1], report.text(field::Size));
    EXPECT_NE(snapshot.seen[1], "n.a.");
    EXPECT_EQ(snapshot.seen[2], "File is URL link (text)");
    EXPECT_EQ(snapshot.seen[3], "n.a."); // the link row's type, not the wave's summary
}

TEST_F(DriverTest, InformationOnlyLeavesCodecStatusEmpty) {
    add("a.avi", simpleAvi());
    analyse({"a.avi"});
    EXPECT_EQ(shown(field::FourCC), "MJPG");
    EXPECT_EQ(shown(field::AudioName), "PCM Audio");
    EXPECT_EQ(shown(field::AudioStatus), "");
    EXPECT_FALSE(report.enabled(field::AudioStatus));
    EXPECT_FALSE(report.enabled(field::VideoStatus));
}

TEST_F(DriverTest, SelectAudioStream) {
    Bytes strls =
        list("LIST", "strl", strh("vids", "MJPG", 1, 25, 10) + bitmapStrf(8, 8, fourcc("MJPG")));
    strls = strls + list("LIST", "strl",
                         strh("auds", "    ", 1, 1, 1) +
                             chunk("strf", waveFormat(1, 2, 44100, 176400, 4, 16)));
    strls = strls + list("LIST", "strl",
                         strh("auds", "    ", 1, 1, 1) +
                             chunk("strf", waveFormat(0x2000, 6, 48000, 48000, 4, 0)));
    add("two.avi", list("RIFF", "AVI ", list("LIST", "hdrl", avih(40000, 10, 3, 8, 8) + strls)));
    analyse({"two.avi"});
    EXPECT_EQ(shown(field::AudioName), "PCM Audio");
    driver->selectAudioStream(1);
    EXPECT_EQ(shown(field::SampleRate), "48000 Hz");
    EXPECT_EQ(shown(field::AudioBitrate), "384 kb/s (64/ch x 6 ch)");
    EXPECT_EQ(shown(field::Stream1), "1");
    EXPECT_EQ(shown(field::Stream2), "2>");
    EXPECT_EQ(shown(field::Stream3), "3");
    EXPECT_FALSE(report.enabled(field::Stream3));
}

TEST(VideoFourcc, DisplayText) {
    struct Case {
        const char* handler;
        uint32_t compression;
        const char* text;
    };
    const Case cases[] = {
        {"divx", fourcc("DIVX"), "divx"}, {"DIVX", fourcc("DX50"), "DX50/DIVX"},
        {"\0\0\0\0", 0, "(_RGB)"},        {"MSVC", 1, "MSVC(_RL8)"},
        {"abcd", 5, "abcd(_PNG)"},        {"\0\0\0\0", fourcc("XVID"), "XVID/"},
    };
    const CodecDatabase db; // names do not matter here
    for (const Case& c : cases) {
        VideoStatusInput input;
        input.handler = fourcc(c.handler);
        input.compression = c.compression;
        EXPECT_EQ(resolveVideoCodec(input, db, nullptr).fourccText, c.text);
    }
}

} // namespace
} // namespace tavro
