// Prints the installed video and audio codecs and Media Foundation transforms of this machine as
// the codec lists show them: "print_codec_inventories [--json] [--time] [--bits=N]". With --time it
// prints how long building both inventories took (for scripts/bench).
#include <windows.h>

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "codecs/codec_inventories.h"
#include "codecs/inventory_table.h"
#include "codecs/mft_tables.h"
#include "codecs/win/win_codec_sources.h"

int main(int argc, char** argv) {
    bool json = false, time = false;
    tavro::Settings settings;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else if (std::strcmp(argv[i], "--time") == 0)
            time = true;
        else if (std::strncmp(argv[i], "--bits=", 7) == 0)
            settings.enableBits = static_cast<uint32_t>(std::strtoul(argv[i] + 7, nullptr, 0));
    }
    if (FAILED(CoInitialize(nullptr))) return 2;
    int rc = 0;
    {
        tavro::SilentPrompter prompter;
        tavro::CodecDatabase db;
        if (!db.load(tavro::platformFileSystem(), prompter)) {
            std::fprintf(stderr, "print_codec_inventories: Tavro21.dat did not load\n");
            rc = 1;
        } else {
            tavro::WinCodecSystem system;
            tavro::CodecSources sources = system.sources();
            tavro::CodecInventories inventories;
            const auto start = std::chrono::steady_clock::now();
            tavro::ensureCodecInventories(inventories, {sources, db, settings, prompter});
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            const tavro::InventoryTable video = tavro::installedVideoTable(
                inventories.video.get(), inventories.ownBits, inventories.otherArch.get());
            const tavro::InventoryTable audio = tavro::installedAudioTable(
                inventories.audio.get(), inventories.ownBits, inventories.otherArch.get());
            const tavro::InventoryTable mft = tavro::installedMftTable(inventories.mft.get(), db);
            if (time) {
                std::printf("inventory build under Wine: %.1f ms (%d video, %d audio records; "
                            "%d transforms; target < 1000 ms)\n",
                            ms, inventories.video ? inventories.video->count() : 0,
                            inventories.audio ? inventories.audio->count() : 0,
                            inventories.mft ? static_cast<int>(inventories.mft->records().size())
                                            : 0);
            } else if (json) {
                nlohmann::json out = {{"video", tavro::inventoryTableJson(video)},
                                      {"audio", tavro::inventoryTableJson(audio)},
                                      {"mediaFoundation", tavro::inventoryTableJson(mft)}};
                std::printf("%s\n", out.dump(2).c_str());
            } else {
                std::printf("%s\n%s\n%s", tavro::formatInventoryTable(video).c_str(),
                            tavro::formatInventoryTable(audio).c_str(),
                            tavro::formatInventoryTable(mft).c_str());
            }
        }
    }
    CoUninitialize();
    return rc;
}
