#include "bench/win/soak_sampling.h"

#include <windows.h>

#include <objbase.h>
#include <process.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

namespace soak {
namespace {

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

// A step and its end signal, kept alive by whichever of the waiter and the worker
// lets go last.
struct Step {
    std::function<void()> work;
    HANDLE done = nullptr;
    ~Step() {
        if (done) CloseHandle(done);
    }
};

unsigned __stdcall stepMain(void* argument) {
    std::unique_ptr<std::shared_ptr<Step>> held(static_cast<std::shared_ptr<Step>*>(argument));
    Step& step = **held;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    step.work();
    if (SUCCEEDED(com)) CoUninitialize();
    SetEvent(step.done);
    return 0;
}

double growth(double from, double to) {
    return from > 0 ? (to - from) * 100.0 / from : 0.0;
}

} // namespace

long sampleEvery(long count) {
    return count / 10 > 0 ? count / 10 : 1;
}

void takeSample(const char* what, long done, std::vector<Sample>* samples) {
    const Sample s = sample(done);
    samples->push_back(s);
    std::printf("%s %7ld: private %9.1f KiB, handles %lu\n", what, s.done, s.privateBytes / 1024.0,
                s.handles);
    std::fflush(stdout);
}

Growth growthPerStep(const std::vector<Sample>& samples) {
    Growth g;
    if (samples.size() < 3) return g;
    const Sample &second = samples[1], &last = samples.back();
    const double steps = double(last.done - second.done);
    if (steps <= 0) return g;
    g.privateBytes = (double(last.privateBytes) - double(second.privateBytes)) / steps;
    g.handles = (double(last.handles) - double(second.handles)) / steps;
    return g;
}

int verdict(const char* what, const std::vector<Sample>& samples, Growth platform) {
    if (samples.size() < 3) return 0;
    const Sample &second = samples[1], &last = samples.back();
    if (second.privateBytes == 0 || second.handles == 0) {
        std::printf("%s: memory or handles could not be measured here\n", what);
        return 1;
    }
    const Growth step = growthPerStep(samples);
    const double steps = double(last.done - second.done);
    const double memory = growth(double(second.privateBytes),
                                 double(last.privateBytes) - platform.privateBytes * steps);
    const double handles =
        growth(double(second.handles), double(last.handles) - platform.handles * steps);
    const bool flat = memory < 1.0 && handles < 1.0;
    std::printf("%s: %+.1f KiB, %+.2f handles a step", what, step.privateBytes / 1024.0,
                step.handles);
    if (platform.privateBytes != 0 || platform.handles != 0)
        std::printf(" (the platform alone: %+.1f KiB, %+.2f handles)",
                    platform.privateBytes / 1024.0, platform.handles);
    std::printf("; our growth from sample 2 to the last: private %+.2f%%, handles %+.2f%% (%s)\n",
                memory, handles, flat ? "flat" : "GROWING");
    std::fflush(stdout);
    return flat ? 0 : 1;
}

bool runWithin(unsigned long limitMs, std::function<void()> work) {
    auto step = std::make_shared<Step>();
    step->work = std::move(work);
    step->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!step->done) return false;
    auto* handOver = new std::shared_ptr<Step>(step);
    const uintptr_t thread = _beginthreadex(nullptr, 0, &stepMain, handOver, 0, nullptr);
    if (!thread) {
        delete handOver;
        return false;
    }
    const bool ended = WaitForSingleObject(step->done, limitMs) == WAIT_OBJECT_0;
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return ended;
}

} // namespace soak
