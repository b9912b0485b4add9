#include "codecs/codec_inventories.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/media_guids.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

class RecordingProgress : public InventoryProgress {
  public:
    std::vector<std::string> events;
    void begin() override { events.push_back("begin"); }
    void showProgress(const char* text) override { events.push_back(text); }
    void end() override { events.push_back("end"); }
};

std::unique_ptr<VideoCodecInventory> noVideo(int) {
    return nullptr;
}
std::unique_ptr<AudioCodecInventory> noAudio(int) {
    return nullptr;
}

class Ensure : public ::testing::Test {
  protected:
    void SetUp() override {
        loadInventoryTestDb(db);
        m.acm.drivers.push_back(acmDriver("IMA", {acmTag(0x11, "IMA ADPCM")}));
        m.directShow.categories.push_back(
            {kVideoCompressorCategory,
             {moniker("V", "{00000000-0000-0000-0000-000000000001}", "cvid")}});
        sources = m.sources();
    }
    CodecDatabase db;
    FakeMachine m;
    CodecSources sources;
    Settings settings;
    RecordingPrompter prompter;
    RecordingProgress progress;
    CodecInventories inv;
};

TEST_F(Ensure, BuildsOnceAndRebuildsAfterDiscard) {
    ensureCodecInventories(inv, {sources, db, settings, prompter, &progress});
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"begin", "Getting Audio Codec Info...",
                                        "Getting Media Foundation Info...", "end"}));
    ASSERT_TRUE(inv.video && inv.audio);
    EXPECT_EQ(inv.video->count(), 1);
    const int callsAfterFirst = m.acm.calls + m.directShow.calls;
    ensureCodecInventories(inv, {sources, db, settings, prompter, &progress});
    EXPECT_EQ(m.acm.calls + m.directShow.calls, callsAfterFirst);
    EXPECT_EQ(progress.events.size(), 6u); // begin/end still bracket the call
    inv.discard();
    ensureCodecInventories(inv, {sources, db, settings, prompter});
    EXPECT_GT(m.acm.calls + m.directShow.calls, callsAfterFirst);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Ensure, InformationOnlyModeConsultsNoSource) {
    settings.runMode = kRunModeInformationOnly;
    ensureCodecInventories(inv, {sources, db, settings, prompter});
    ASSERT_TRUE(inv.video && inv.audio);
    EXPECT_EQ(inv.video->count() + inv.audio->count(), 0);
    EXPECT_EQ(m.acm.calls + m.directShow.calls + m.dmo.calls + m.registry.calls + m.files.calls, 0);
    EXPECT_EQ(findInstalledVideoCodec(inv.video.get(), "CVID"), -1);
}

TEST_F(Ensure, AllocationFailureIsReportedAndRetried) {
    InventoryContext context{sources, db, settings, prompter, &progress, {&noVideo, &noAudio}};
    ensureCodecInventories(inv, context);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Unable To Retrieve Local Video Codec Information");
    EXPECT_EQ(prompter.messages[1].text, "Unable To Retrieve Local Audio Codec Information");
    EXPECT_EQ(prompter.messages[0].caption, "Tavro Initialization");
    EXPECT_EQ(prompter.messages[0].icon, Icon::Exclamation);
    EXPECT_FALSE(inv.video || inv.audio);
    EXPECT_EQ(progress.events.back(), "end");
    // Tried again at the next needs (the audio status, the next file), told no more.
    ensureCodecInventories(inv, context);
    ensureCodecInventories(inv, context);
    EXPECT_EQ(prompter.messages.size(), 2u);
    EXPECT_FALSE(inv.video || inv.audio);
    ensureCodecInventories(inv, {sources, db, settings, prompter});
    EXPECT_TRUE(inv.video && inv.audio);
}

} // namespace
} // namespace tavro
