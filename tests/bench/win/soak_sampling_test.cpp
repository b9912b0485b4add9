// The soaks' measure and verdict: a leak must read as growth, the platform's own
// share must not, and handles and memory taken must show in the samples.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "bench/win/soak_sampling.h"

namespace {

using soak::Growth;
using soak::Sample;

// Ten samples, 100 steps apart, growing by these amounts a step from a base.
std::vector<Sample> series(double bytesPerStep, double handlesPerStep,
                           unsigned long long baseBytes = 10000000,
                           unsigned long baseHandles = 1000) {
    std::vector<Sample> out;
    for (long i = 1; i <= 10; ++i) {
        Sample s;
        s.done = i * 100;
        s.privateBytes = baseBytes + static_cast<unsigned long long>(bytesPerStep * s.done);
        s.handles = baseHandles + static_cast<unsigned long>(handlesPerStep * s.done);
        out.push_back(s);
    }
    return out;
}

TEST(SoakSampling, VerdictJudgesOnlyOurGrowth) {
    struct Case {
        const char* name;
        std::vector<Sample> samples;
        Growth platform;
        int expected;
    } cases[] = {
        {"flat", series(0, 0), {}, 0},
        {"small drift stays under 1%", series(100, 0), {}, 0},
        {"a handle every fourth step", series(0, 0.25), {}, 1},
        {"memory growing", series(2000, 0), {}, 1},
        {"the platform's growth is not ours", series(4000, 90), {4000, 90}, 0},
        {"ours on top of the platform's", series(4000, 91), {4000, 90}, 1},
        {"nothing measured", series(0, 0, 0, 0), {}, 1},
        {"too few samples to judge", {Sample{1, 1, 1}, Sample{2, 9, 9}}, {}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(soak::verdict(c.name, c.samples, c.platform), c.expected) << c.name;
}

TEST(SoakSampling, GrowthPerStepFromTheSecondSampleOn) {
    std::vector<Sample> samples = series(512, 3);
    samples[0].handles = 0; // warm-up is left out
    const Growth g = soak::growthPerStep(samples);
    EXPECT_NEAR(g.privateBytes, 512, 1);
    EXPECT_NEAR(g.handles, 3, 0.01);
}

TEST(SoakSampling, SamplesSeeHandlesAndMemoryTakenAndGivenBack) {
    std::vector<Sample> samples;
    soak::takeSample("before", 0, &samples);
    std::vector<HANDLE> events;
    for (int i = 0; i < 100; ++i)
        events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    constexpr SIZE_T kCommitted = 8 << 20;
    void* block = VirtualAlloc(nullptr, kCommitted, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    // Written to: Wine counts only pages in use.
    memset(block, 1, kCommitted);
    soak::takeSample("holding", 1, &samples);
    for (HANDLE e : events)
        CloseHandle(e);
    VirtualFree(block, 0, MEM_RELEASE);
    soak::takeSample("after", 2, &samples);

    EXPECT_GE(samples[1].handles, samples[0].handles + 100);
    EXPECT_LE(samples[1].handles, samples[0].handles + 110);
    EXPECT_LE(samples[2].handles, samples[0].handles + 5);
    EXPECT_GE(samples[1].privateBytes, samples[0].privateBytes + kCommitted);
    EXPECT_LT(samples[2].privateBytes, samples[1].privateBytes);
}

} // namespace

TEST(SoakSampling, RunWithinLeavesAStuckStepBehindAndGoesOn) {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(release && finished);
    bool ran = false;
    EXPECT_TRUE(soak::runWithin(10000, [&ran] { ran = true; }));
    EXPECT_TRUE(ran);
    // A step that has not ended in time is reported, and may still end later on its own.
    EXPECT_FALSE(soak::runWithin(50, [release, finished] {
        WaitForSingleObject(release, INFINITE);
        SetEvent(finished);
    }));
    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(finished, 10000), WAIT_OBJECT_0);
    Sleep(50); // lets the left-behind thread let go of its step
    CloseHandle(release);
    CloseHandle(finished);
}
