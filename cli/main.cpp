// tavro-cli [--json] FILE...: the report of each file, as the main window would show
// it (information-only natively, with codec status on Windows).
// tavro-cli --codecs [--json]: the installed video and audio codecs.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "cli/codec_environment.h"
#include "cli/info_set.h"
#include "cli/report_output.h"
#include "cli/stderr_prompter.h"
#include "codecs/inventory_table.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: tavro-cli [--json] FILE...\n"
                         "       tavro-cli --codecs [--json]\n"
                         "       tavro-cli --set ID=TEXT [--set ID=TEXT]... [--output COPY] FILE\n");
    return 2;
}

// Text that is not valid UTF-8 (INFO comments in a legacy code page) would make the
// JSON writer refuse; such bytes are replaced instead.
std::string dumpJson(const nlohmann::json& value) {
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Both installed-codec inventories as tables (or one JSON object).
int printCodecs(tavro::CodecEnvironment& env, tavro::Prompter& prompter, bool json) {
    if (!env.services.sources)
        std::fprintf(stderr, "tavro-cli: no installed codecs can be listed on this system\n");
    else
        tavro::ensureCodecInventories(env.services.inventories,
                                      {*env.services.sources, env.db, env.settings, prompter});
    tavro::InventoryTable video = tavro::installedVideoTable(env.services.inventories.video.get());
    tavro::InventoryTable audio = tavro::installedAudioTable(env.services.inventories.audio.get());
    if (json) {
        nlohmann::json doc = {{"video", tavro::inventoryTableJson(video)},
                              {"audio", tavro::inventoryTableJson(audio)}};
        std::printf("%s\n", dumpJson(doc).c_str());
    } else {
        std::printf("%s\n\n%s\n", tavro::formatInventoryTable(video).c_str(),
                    tavro::formatInventoryTable(audio).c_str());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (tavro::isInfoSetCommand(argc, argv)) return tavro::runInfoSet(argc, argv);
    bool json = false;
    bool codecs = false;
    std::vector<std::string> paths;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsDone && std::strcmp(arg, "--json") == 0 && !json)
            json = true;
        else if (!optionsDone && std::strcmp(arg, "--codecs") == 0 && !codecs)
            codecs = true;
        else if (!optionsDone && std::strcmp(arg, "--") == 0)
            optionsDone = true;
        else if (!optionsDone && arg[0] == '-' && arg[1] != '\0')
            return usage();
        else
            paths.push_back(arg), optionsDone = true;
    }
    if (paths.empty() != codecs) return usage();

    tavro::ReportModel report;
    tavro::StderrPrompter prompter;
    std::unique_ptr<tavro::CodecEnvironment> env = tavro::makeCodecEnvironment();
    if (!tavro::loadCodecDatabaseAtStartup(env->db, tavro::platformFileSystem(), prompter))
        return 1;
    env->services.db = &env->db;
    if (codecs) return printCodecs(*env, prompter, json);
    auto driver = tavro::AnalysisDriver::create(report, prompter, tavro::platformFileSystem(),
                                                env->settings, &env->services);
    if (!driver) {
        std::fprintf(stderr, "tavro-cli: Error: Insufficient memory to run the application.\n");
        return 1;
    }
    int status = 0;
    nlohmann::json all = nlohmann::json::array();
    auto analyse = [&](const std::string& path) {
        auto outcome = driver->analyseCurrentFile();
        if (outcome != tavro::AnalysisDriver::Outcome::Analysed) status = 1;
        if (outcome == tavro::AnalysisDriver::Outcome::OpenFailed) return;
        if (json) {
            all.push_back(tavro::reportJson(path, report, driver->info()));
        } else {
            std::fputs(tavro::reportText(report).c_str(), stdout);
            std::fputs("\n", stdout);
        }
    };
    // The list holds 1000 files; longer command lines run as successive batches.
    for (size_t first = 0; first < paths.size(); first += tavro::FileList::kCapacity) {
        tavro::FileList& list = driver->fileList();
        list.clear();
        for (size_t i = first; i < paths.size() && list.add(paths[i]); ++i) {
        }
        for (list.current = 0; list.hasCurrent(); ++list.current)
            analyse(list.at(list.current));
    }
    if (json) std::printf("%s\n", dumpJson(all).c_str());
    return status;
}
