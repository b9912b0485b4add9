// Private memory and open handles of this process, sampled over a long run, and the
// verdict on them: flat after warm-up means under 1% growth from the second sample
// to the last. Shared by the program's soak and the filter module's.
#pragma once
#include <functional>
#include <vector>

namespace soak {

struct Sample {
    long done = 0;
    unsigned long long privateBytes = 0;
    unsigned long handles = 0;
};

// Where to sample a run of `count` steps: every tenth of it.
long sampleEvery(long count);

// Takes a sample after `done` steps and prints it at once: a long run that is
// stopped still shows how far it came.
void takeSample(const char* what, long done, std::vector<Sample>* samples);

// What a step adds on average between the second sample and the last.
struct Growth {
    double privateBytes = 0;
    double handles = 0;
};
Growth growthPerStep(const std::vector<Sample>& samples);

// Prints the growth from the second sample to the last; 0 when flat, 1 when growing
// or not measurable. `platform` is what the same number of steps of the platform
// alone adds (a bare graph made and released): it is taken off before judging, so
// only our own growth counts.
int verdict(const char* what, const std::vector<Sample>& samples, Growth platform = {});

// Runs `step` on a thread of its own (with COM started there) and waits at most
// `limitMs` for it. False when it did not end in time: the thread is left behind with
// whatever it holds, since Wine's RenderFile now and then never returns and a long
// soak must go on past it. What `step` writes must outlive an abandoned wait.
bool runWithin(unsigned long limitMs, std::function<void()> step);

} // namespace soak
