// soak_bench analysis N FILE... | render N FILE...: long runs of the window's analysis
// driver (N files, taken round the list) or of the render test (N renders), sampling
// the process's private memory and open handles at ten even points. Both must stay
// flat after warm-up: growth from the second sample to the last under 1%.
#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/analysis_driver.h"
#include "render/render_test.h"
#include "render/win/dshow_graph_builder.h"

namespace {

struct Sample {
    long done = 0;
    unsigned long long privateBytes = 0;
    unsigned long handles = 0;
};

// Wine answers GetProcessHandleCount with 0: the handles in use are then judged from
// the table's fill, by taking many new handles and seeing how high they go.
unsigned long handlesByProbe() {
    constexpr int kProbes = 256;
    HANDLE taken[kProbes] = {};
    uintptr_t highest = 0;
    int got = 0;
    for (; got < kProbes; ++got) {
        if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                             &taken[got], 0, FALSE, DUPLICATE_SAME_ACCESS))
            break;
        const uintptr_t value = reinterpret_cast<uintptr_t>(taken[got]);
        if (value > highest) highest = value;
    }
    for (int i = 0; i < got; ++i)
        CloseHandle(taken[i]);
    const unsigned long slots = static_cast<unsigned long>(highest / 4);
    return slots > static_cast<unsigned long>(got) ? slots - got : 0;
}

Sample sample(long done) {
    Sample s;
    s.done = done;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(),
                             reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        // Wine leaves PrivateUsage at 0; the commit charge is the same figure on Windows.
        s.privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    DWORD handles = 0;
    s.handles = GetProcessHandleCount(GetCurrentProcess(), &handles) && handles ? handles
                                                                                : handlesByProbe();
    return s;
}

double growth(double from, double to) {
    return from > 0 ? (to - from) * 100.0 / from : 0.0;
}

// Taken and shown at once: a long run that is stopped still shows how far it came.
void takeSample(const char* what, long done, std::vector<Sample>* samples) {
    const Sample s = sample(done);
    samples->push_back(s);
    std::printf("%s %7ld: private %9.1f KiB, handles %lu\n", what, s.done, s.privateBytes / 1024.0,
                s.handles);
    std::fflush(stdout);
}

// The verdict over the samples; 0 when flat.
int verdict(const char* what, const std::vector<Sample>& samples) {
    if (samples.size() < 3) return 0;
    const Sample &second = samples[1], &last = samples.back();
    if (second.privateBytes == 0 || second.handles == 0) {
        std::printf("%s: memory or handles could not be measured here\n", what);
        return 1;
    }
    const double memory = growth(double(second.privateBytes), double(last.privateBytes));
    const double handles = growth(double(second.handles), double(last.handles));
    const bool flat = memory < 1.0 && handles < 1.0;
    std::printf("%s growth from sample 2 to the last: private %+.2f%%, handles %+.2f%% (%s)\n",
                what, memory, handles, flat ? "flat" : "GROWING");
    return flat ? 0 : 1;
}

int soakAnalysis(long count, const std::vector<std::string>& files) {
    tavro::ReportModel report;
    tavro::SilentPrompter prompter;
    auto driver = tavro::AnalysisDriver::create(report, prompter, tavro::platformFileSystem(),
                                                tavro::kRunModeInformationOnly);
    if (!driver) return 2;
    driver->batchRunning = true;
    const long every = count / 10 > 0 ? count / 10 : 1;
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

int soakRender(long count, const std::vector<std::string>& files) {
    CoInitialize(nullptr);
    int result = 0;
    {
        tavro::DirectShowGraphBuilder builder;
        const long every = count / 10 > 0 ? count / 10 : 1;
        std::vector<Sample> samples;
        for (long i = 0; i < count; ++i) {
            tavro::FilterTable table;
            tavro::RenderOutcome outcome;
            tavro::buildAndInspectGraph({builder}, files[static_cast<size_t>(i) % files.size()],
                                        table, &outcome);
            if ((i + 1) % every == 0) takeSample("render", i + 1, &samples);
        }
        result = verdict("render", samples);
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
