// The explanations gathered from a driver that resolved codecs against a scripted
// machine: the installed codec's name and link reach the video text, and the
// render test's decoder is looked up in the inventory.
#include "app/explanation_facts.h"

#include <gtest/gtest.h>

#include "tests/app/xvid_machine_fixture.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using test::Bytes;

Bytes xvidAvi(const char* code = "XVID") {
    using namespace test;
    Bytes hdrl = list("LIST", "hdrl",
                      avih(40000, 2, 1, 320, 240) +
                          list("LIST", "strl",
                               strh("vids", code, 1, 25, 2) + bitmapStrf(320, 240, fourcc(code))));
    Bytes movi = chunk("00dc", Bytes(100, 1)) + chunk("00dc", Bytes(100, 3));
    return list("RIFF", "AVI ", hdrl + list("LIST", "movi", movi));
}

class ExplanationsDriver : public XvidMachineTest {
  protected:
    void SetUp() override {
        installXvid("Xvid {decoder}");
        files.files["clip.avi"].bytes = xvidAvi();
        driver = AnalysisDriver::create(report, prompter, files, settings, &services);
        driver->fileList().add("clip.avi");
        driver->analyseCurrentFile();
    }
};

TEST_F(ExplanationsDriver, VideoTextNamesTheInstalledCodec) {
    ASSERT_EQ(report.linkTarget(field::VideoName), "tavro://0.video.codec");
    RenderFacts render;
    EXPECT_EQ(videoExplanation(*driver, &services.inventories, render).text,
              "No Details Available");

    render.result = kRenderSucceeded;
    render.decoder.found = true;
    render.decoder.codecIndex = 0; // DirectShow chose the very same record
    const ExplanationText e = videoExplanation(*driver, &services.inventories, render);
    EXPECT_EQ(e.text.rfind(" Format: XviD,  4CC: XVID~~ Tavro has found {Xvid (decoder)}, which "
                           "is installed on your system",
                           0),
              0u)
        << e.text;
    EXPECT_NE(e.text.find("and has selected {exactly the same codec}"), std::string::npos);
    EXPECT_EQ(e.targets,
              (std::vector<std::string>{"tavro://0.video.codec", "tavro://0.video.codec"}));

    // Another decoder whose record is not in the inventory: the filter's FourCC counts.
    render.decoder.codecIndex = 57;
    render.decoder.filterFourcc = "FFDS";
    const std::string other = videoExplanation(*driver, &services.inventories, render).text;
    EXPECT_NE(other.find("whose primary 4cc (FFDS) does not match the file's 4cc (XVID)."),
              std::string::npos)
        << other;
}

// No render test ran, yet "Codec NOT Installed!" leads to what is needed.
TEST_F(ExplanationsDriver, MissingCodecSaysWhatToInstall) {
    files.files["other.avi"].bytes = xvidAvi("WXYZ");
    driver->fileList().add("other.avi");
    driver->fileList().current = 1;
    driver->analyseCurrentFile();
    ASSERT_EQ(report.text(field::VideoStatus), "Codec NOT Installed!  [more info...]");
    const std::string text = videoExplanation(*driver, &services.inventories, RenderFacts()).text;
    EXPECT_EQ(text.rfind(" Format: <unknown>,  4CC: WXYZ~~ Tavro was unable to find", 0), 0u)
        << text;
    EXPECT_NE(text.find("What is needed: a video decoder for the 4CC WXYZ, which the codec data "
                        "base does not know. No installed decoder of any kind claims it"),
              std::string::npos)
        << text;
}

TEST_F(ExplanationsDriver, AudioTextOfAFileWithoutAudio) {
    const ExplanationText e = audioExplanation(*driver, &services.inventories, RenderFacts());
    EXPECT_EQ(e.text.rfind(" Audio Format:~ Code: No Audio Channels~", 0), 0u) << e.text;
    EXPECT_TRUE(e.targets.empty());
}

} // namespace
} // namespace tavro
