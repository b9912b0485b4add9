// tavro-cli [OPTION]... PATH...: the report of each file, as the main window would
// show it (information-only natively, with codec status on Windows); folders stand
// for their files. tavro-cli --codecs [--json]: the installed video and audio codecs
// and Media Foundation transforms.
// `tavro-cli --help` lists the options.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/batch_run.h"
#include "cli/codec_environment.h"
#include "cli/heap_setup.h"
#include "cli/info_set.h"
#include "cli/options.h"
#include "cli/render_output.h"
#include "cli/report_output.h"
#include "cli/stderr_prompter.h"
#include "cli/utf8_arguments.h"
#include "codecs/inventory_table.h"
#include "codecs/mft_tables.h"
#include "common/version.h"

namespace {

// The installed-codec inventories as tables (or one JSON object).
int printCodecs(tavro::CodecEnvironment& env, tavro::Prompter& prompter, bool json) {
    if (!env.services.sources)
        std::fprintf(stderr, "tavro-cli: no installed codecs can be listed on this system\n");
    else
        tavro::ensureCodecInventories(env.services.inventories,
                                      {*env.services.sources, env.db, env.settings, prompter});
    const tavro::CodecInventories& inv = env.services.inventories;
    tavro::InventoryTable video =
        tavro::installedVideoTable(inv.video.get(), inv.ownBits, inv.otherArch.get());
    tavro::InventoryTable audio =
        tavro::installedAudioTable(inv.audio.get(), inv.ownBits, inv.otherArch.get());
    tavro::InventoryTable mft =
        tavro::installedMftTable(env.services.inventories.mft.get(), env.db);
    if (json) {
        nlohmann::json doc = {{"video", tavro::inventoryTableJson(video)},
                              {"audio", tavro::inventoryTableJson(audio)},
                              {"mediaFoundation", tavro::inventoryTableJson(mft)}};
        tavro::addVersionStrings(doc, env.services.inventories);
        std::printf("%s\n", tavro::jsonText(doc, 2).c_str());
    } else {
        std::printf("%s\n\n%s\n\n%s\n", tavro::formatInventoryTable(video).c_str(),
                    tavro::formatInventoryTable(audio).c_str(),
                    tavro::formatInventoryTable(mft).c_str());
    }
    return 0;
}

// The whole program, from arguments in UTF-8.
int runCli(const std::vector<std::string>& args) {
    tavro::CliOptions options;
    std::string error;
    if (!tavro::parseCommandLine(args, options, error)) {
        std::fprintf(stderr, "tavro-cli: %s\nTry \"tavro-cli --help\".\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(tavro::usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tavro-cli %s\n", TAVRO_VERSION);
        return 0;
    }
    tavro::StderrPrompter prompter;
    std::unique_ptr<tavro::CodecEnvironment> env = tavro::makeCodecEnvironment();
    if (!tavro::loadCodecDatabaseAtStartup(env->db, tavro::platformFileSystem(), prompter))
        return 1;
    env->services.db = &env->db;
    if (options.codecs) return printCodecs(*env, prompter, options.json);
    if (options.formats) {
        std::printf("%s\n", options.json ? tavro::jsonText(tavro::formatsJson(env->db), 2).c_str()
                                         : tavro::formatsText(env->db).c_str());
        return 0;
    }
    return tavro::runBatch(options, *env, tavro::platformPathInspector(), std::cin);
}

} // namespace

int main(int argc, char** argv) {
    tavro::setUpBatchHeap();
    tavro::useUtf8Arguments(argc, argv);
    if (tavro::isRestoreCommand(argc, argv)) return tavro::runRestore(argc, argv);
    if (tavro::isInfoSetCommand(argc, argv)) return tavro::runInfoSet(argc, argv);
    return runCli(std::vector<std::string>(argv + 1, argv + argc));
}
