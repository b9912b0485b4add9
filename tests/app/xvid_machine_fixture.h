// A fixture for driver tests against a scripted machine: the inventory test
// database, one Xvid decoder installed as a video compressor, and the codec
// services a driver takes. The test puts its own "clip.avi" into files.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/analysis_driver.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/inventory_test_db.h"
#include "tests/support/memory_file_system.h"

namespace tavro {

class XvidMachineTest : public ::testing::Test {
  protected:
    // The decoder goes by this friendly name.
    void installXvid(const std::string& decoderName) {
        loadInventoryTestDb(db);
        machine.directShow.categories.push_back(
            {kVideoCompressorCategory,
             {moniker(decoderName, "{00000000-0000-0000-0000-000000000002}", "XVID")}});
        machine.registry.setServer("{00000000-0000-0000-0000-000000000002}", "C:\\xvid.dll");
        machine.files.plainFiles = {"C:\\xvid.dll"};
        sources = machine.sources();
        services.db = &db;
        services.sources = &sources;
    }

    CodecDatabase db;
    FakeMachine machine;
    CodecSources sources;
    CodecServices services;
    test::MemoryFileSystem files;
    SilentPrompter prompter;
    ReportModel report;
    Settings settings;
    std::unique_ptr<AnalysisDriver> driver;
};

} // namespace tavro
