// Codec status through the whole driver: the inventories are built once from the
// machine's sources, the "processing..." texts come and go, and run mode 3 asks
// nothing and shows no status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "app/explanation_facts.h"
#include "tests/app/xvid_machine_fixture.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using test::Bytes;

Bytes xvidImaAvi() {
    using namespace test;
    Bytes hdrl =
        list("LIST", "hdrl",
             avih(40000, 2, 2, 320, 240) +
                 list("LIST", "strl",
                      strh("vids", "XVID", 1, 25, 2) + bitmapStrf(320, 240, fourcc("XVID"))) +
                 list("LIST", "strl",
                      strh("auds", std::string(4, '\0'), 1, 22050, 22050) +
                          chunk("strf", waveFormat(0x11, 1, 22050, 11100, 512, 4))));
    Bytes movi =
        chunk("00dc", Bytes(100, 1)) + chunk("01wb", Bytes(512, 2)) + chunk("00dc", Bytes(100, 3));
    return list("RIFF", "AVI ", hdrl + list("LIST", "movi", movi));
}

class CodecStatusDriver : public XvidMachineTest {
  protected:
    void SetUp() override {
        installXvid("Xvid decoder");
        files.files["clip.avi"].bytes = xvidImaAvi();
    }
    void analyse() {
        driver->fileList().clear();
        driver->fileList().add("clip.avi");
        driver->analyseCurrentFile();
    }
    int sourceCalls() const {
        return machine.directShow.calls + machine.acm.calls + machine.dmo.calls;
    }
};

TEST_F(CodecStatusDriver, FullModeResolvesAgainstTheInventoriesBuiltOnce) {
    driver = AnalysisDriver::create(report, prompter, files, settings, &services);
    analyse();
    EXPECT_EQ(report.text(field::FourCC), "XVID");
    EXPECT_EQ(report.text(field::VideoName), "XviD");
    EXPECT_EQ(report.text(field::VideoStatus), "Codec IS Installed  (details...)");
    EXPECT_TRUE(report.enabled(field::VideoStatus));
    EXPECT_EQ(report.linkTarget(field::VideoName), "tavro://0.video.codec");
    EXPECT_EQ(report.secondaryText(field::VideoName), "Xvid decoder");
    EXPECT_EQ(report.text(field::AudioStatus), "Codec NOT Installed!  [more info...]");
    // The progress texts were pushed and popped: the File status is back.
    EXPECT_EQ(report.text(field::FileStatus), "File Length Correct");
    for (int id : {field::FileStatus, field::VideoStatus, field::AudioStatus, field::RenderStatus})
        EXPECT_NE(report.text(id), "processing...") << id;

    const int calls = sourceCalls();
    EXPECT_GT(calls, 0);
    analyse();
    EXPECT_EQ(sourceCalls(), calls) << "inventories are built once";
    EXPECT_EQ(report.text(field::VideoStatus), "Codec IS Installed  (details...)");

    // After the Settings dialog's OK they are built again on the next need.
    services.inventories.discard();
    analyse();
    EXPECT_GT(sourceCalls(), calls);
}

// With the other architecture's registry and Media Foundation to ask, the old
// status text stays first and what the other players find follows it.
TEST_F(CodecStatusDriver, OtherPlayersFollowTheOwnPlayersStatus) {
    FakeRegistry otherView; // a 64-bit side with nothing registered
    MftEntry ima;
    ima.name = "IMA ADPCM MFT";
    ima.category = kMftCategoryAudioDecoder;
    ima.clsid = Guid{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    ima.hasMerit = true;
    ima.merit = 4;
    ima.inputs = {{kMediaTypeAudio, tagGuid(0x11)}};
    machine.mft.transforms = {ima};
    sources.mft = &machine.mft;
    sources.otherRegistry = &otherView;
    sources.ownBits = 32;
    driver = AnalysisDriver::create(report, prompter, files, settings, &services);
    analyse();
    EXPECT_EQ(report.text(field::VideoStatus),
              "Codec IS Installed  (details...)  Not installed for 64-bit or Media Foundation "
              "players");
    EXPECT_EQ(report.text(field::AudioStatus),
              "Codec NOT Installed!  [more info...]  Installed (Media Foundation)");

    const RenderFacts render;
    const std::string audio = audioExplanation(*driver, &services.inventories, render).text;
    EXPECT_NE(audio.find("~~Decoders each kind of player would find:~ DirectShow 32-bit: none "
                         "installed~ DirectShow 64-bit: none installed~ Media Foundation: IMA "
                         "ADPCM MFT (MFT, merit 4)"),
              std::string::npos)
        << audio;

    // Run mode 3 shows no status, and so no verdict either.
    settings.runMode = kRunModeInformationOnly;
    services.inventories.discard();
    analyse();
    EXPECT_EQ(report.text(field::AudioStatus), "");
}

TEST_F(CodecStatusDriver, TheProgressTextsAreShownWhileTheInventoriesAreBuilt) {
    std::vector<std::string> shown;
    services.refresh = [&] { shown.push_back(report.text(field::VideoStatus)); };
    driver = AnalysisDriver::create(report, prompter, files, settings, &services);
    analyse();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "processing...");
    EXPECT_EQ(report.text(field::VideoStatus), "Codec IS Installed  (details...)");
}

TEST_F(CodecStatusDriver, InformationOnlyModeAsksNoSourceAndShowsNoStatus) {
    settings.runMode = kRunModeInformationOnly;
    driver = AnalysisDriver::create(report, prompter, files, settings, &services);
    analyse();
    EXPECT_EQ(sourceCalls(), 0);
    EXPECT_EQ(report.text(field::VideoName), "XviD");
    for (int id : {field::VideoStatus, field::AudioStatus}) {
        EXPECT_EQ(report.text(id), "") << id;
        EXPECT_FALSE(report.enabled(id)) << id;
    }
    EXPECT_EQ(report.linkTarget(field::VideoName), "");
}

TEST_F(CodecStatusDriver, DisabledSourcesAreNotAsked) {
    settings.enableBits = ~uint32_t(kEnableDirectShow | kEnableAcm | kEnableDmo | kEnableVfw);
    driver = AnalysisDriver::create(report, prompter, files, settings, &services);
    analyse();
    EXPECT_EQ(machine.directShow.calls + machine.acm.calls + machine.dmo.calls, 0);
    EXPECT_EQ(report.text(field::VideoStatus), "Codec NOT Installed!  [more info...]");
}

} // namespace
} // namespace tavro
