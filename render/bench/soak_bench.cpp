// soak_bench analysis N FILE... | render N FILE...: long runs of the window's analysis
// driver (N files, taken round the list) or of the render test (N renders), sampling
// the process's private memory and open handles at ten even points. Both must stay
// flat after warm-up: growth from the second sample to the last under 1%. The
// renders are judged net of as many bare renders of the same files. Each render runs
// under a watchdog: one that has not returned after a minute is left behind and told.
#include <windows.h>

#include <objbase.h>
#include <strmif.h>
#include <uuids.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "bench/win/soak_sampling.h"
#include "render/render_test.h"
#include "render/win/dshow_graph_builder.h"

namespace {

using soak::Sample;
using soak::takeSample;
using soak::verdict;

// Wine's RenderFile now and then never returns, bare renders too. Such a render is
// left behind (with what it holds) and the soak goes on; several in a row mean the
// platform is stuck for good, and the run stops there.
class Watchdog {
  public:
    explicit Watchdog(const char* what) : what_(what) {}
    // False once the platform looks stuck for good.
    bool run(long index, std::function<void()> render) {
        if (soak::runWithin(kLimitMs, std::move(render))) {
            inARow_ = 0;
            return true;
        }
        ++hung_;
        std::printf("%s %ld: no answer after %lu s, left behind (%ld so far)\n", what_,
                    index + 1, kLimitMs / 1000, hung_);
        std::fflush(stdout);
        return ++inARow_ < kStuckAfter;
    }

  private:
    static constexpr unsigned long kLimitMs = 60000;
    static constexpr long kStuckAfter = 3;
    const char* what_;
    long hung_ = 0;
    long inARow_ = 0;
};

int soakAnalysis(long count, const std::vector<std::string>& files) {
    tavro::ReportModel report;
    tavro::SilentPrompter prompter;
    auto driver = tavro::AnalysisDriver::create(report, prompter, tavro::platformFileSystem(),
                                                tavro::kRunModeInformationOnly);
    if (!driver) return 2;
    driver->batchRunning = true;
    const long every = soak::sampleEvery(count);
    std::vector<Sample> samples;
    for (long i = 0; i < count; ++i) {
        tavro::FileList& list = driver->fileList();
        list.clear();
        list.add(files[static_cast<size_t>(i) % files.size()]);
        list.current = 0;
        driver->analyseCurrentFile();
        if ((i + 1) % every == 0) takeSample("analysis", i + 1, &samples);
    }
    return verdict("analysis", samples);
}

// The same graph builds with no Tavro code at all: the graph manager made, asked to
// render the file and let go. What these add is the platform's, not ours.
soak::Growth soakBareRender(long count, const std::vector<std::string>& files, bool* stuck) {
    const long every = soak::sampleEvery(count);
    std::vector<Sample> samples;
    Watchdog watchdog("bare render");
    for (long i = 0; i < count && !*stuck; ++i) {
        const std::string& file = files[static_cast<size_t>(i) % files.size()];
        const std::wstring wide(file.begin(), file.end()); // the generated paths are ASCII
        *stuck = !watchdog.run(i, [wide] {
            IGraphBuilder* graph = nullptr;
            if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IGraphBuilder,
                                           reinterpret_cast<void**>(&graph)))) {
                graph->RenderFile(wide.c_str(), nullptr);
                graph->Release();
            }
        });
        if ((i + 1) % every == 0) takeSample("bare render", i + 1, &samples);
    }
    const soak::Growth platform = soak::growthPerStep(samples);
    std::printf("bare render: %+.1f KiB, %+.2f handles a render (the platform's own)\n",
                platform.privateBytes / 1024.0, platform.handles);
    return platform;
}

// The render test over the files, judged net of what bare renders of the same files
// add (Wine's graph manager and GStreamer keep some of every graph they build).
int soakRender(long count, const std::vector<std::string>& files) {
    CoInitialize(nullptr);
    int result = 0;
    {
        bool stuck = false;
        const soak::Growth platform = soakBareRender(count, files, &stuck);
        auto builder = std::make_shared<tavro::DirectShowGraphBuilder>();
        const long every = soak::sampleEvery(count);
        std::vector<Sample> samples;
        Watchdog watchdog("render");
        for (long i = 0; i < count && !stuck; ++i) {
            const std::string file = files[static_cast<size_t>(i) % files.size()];
            stuck = !watchdog.run(i, [builder, file] {
                tavro::FilterTable table;
                tavro::RenderOutcome outcome;
                tavro::buildAndInspectGraph({*builder}, file, table, &outcome);
            });
            if ((i + 1) % every == 0) takeSample("render", i + 1, &samples);
        }
        if (stuck) {
            std::printf("render: the platform stopped answering; not measured\n");
            result = 1;
        } else {
            result = verdict("render", samples, platform);
        }
    }
    CoUninitialize();
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || std::atol(argv[2]) < 1 ||
        (std::strcmp(argv[1], "analysis") != 0 && std::strcmp(argv[1], "render") != 0)) {
        std::fprintf(stderr, "usage: soak_bench analysis|render COUNT FILE...\n");
        return 2;
    }
    const long count = std::atol(argv[2]);
    const std::vector<std::string> files(argv + 3, argv + argc);
    return std::strcmp(argv[1], "analysis") == 0 ? soakAnalysis(count, files)
                                                 : soakRender(count, files);
}
