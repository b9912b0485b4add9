// tavro-cli [--json] FILE...: the report of each file, as the main window would show
// it in information-only mode.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "cli/report_output.h"
#include "cli/stderr_prompter.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: tavro-cli [--json] FILE...\n");
    return 2;
}

// Text that is not valid UTF-8 (INFO comments in a legacy code page) would make the
// JSON writer refuse; such bytes are replaced instead.
std::string dumpJson(const nlohmann::json& value) {
    return value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
}

} // namespace

int main(int argc, char** argv) {
    bool json = false;
    std::vector<std::string> paths;
    bool optionsDone = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsDone && std::strcmp(arg, "--json") == 0 && !json)
            json = true;
        else if (!optionsDone && std::strcmp(arg, "--") == 0)
            optionsDone = true;
        else if (!optionsDone && arg[0] == '-' && arg[1] != '\0')
            return usage();
        else
            paths.push_back(arg), optionsDone = true;
    }
    if (paths.empty()) return usage();

    tavro::ReportModel report;
    tavro::StderrPrompter prompter;
    auto driver = tavro::AnalysisDriver::create(report, prompter, tavro::platformFileSystem(),
                                                tavro::kRunModeInformationOnly);
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
