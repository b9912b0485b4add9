#include "dsp_test_support.h"

#include <uuids.h>

#include <chrono>
#include <thread>

namespace dsptest {

const IID kIID_IDspHostControl = {
    0xa122bc16, 0x4912, 0x4195, {0xb7, 0xb8, 0xaf, 0x48, 0x71, 0xb3, 0xb9, 0x5a}};
const char* const kHalvePlugin = DSP_HALVE_PATH;
const char* const kDoublePlugin = DSP_DOUBLE_PATH;
const char* const kRecorderPlugin = DSP_RECORDER_PATH;
const char* const kNoHeaderPlugin = DSP_NO_HEADER_PATH;

bool isLoaded(const char* path) {
    // The path has a drive prefix; the module is known by its file name.
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') name = p + 1;
    return GetModuleHandleA(name) != nullptr;
}

RecordingSink::RecordingSink() : CBaseRenderer(GUID_NULL, L"recording sink", nullptr, nullptr) {}

HRESULT RecordingSink::DoRenderSample(IMediaSample* sample) {
    Received got;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    LONG length = sample->GetActualDataLength();
    got.data.assign(data, data + length);
    got.size = sample->GetSize();
    REFERENCE_TIME end = 0;
    got.start = -1;
    sample->GetTime(&got.start, &end);
    got.preroll = sample->IsPreroll() == S_OK;
    got.discontinuity = sample->IsDiscontinuity() == S_OK;
    std::lock_guard<std::mutex> lock(mutex_);
    total_ += got.data.size();
    samples_.push_back(std::move(got));
    return S_OK;
}

std::vector<Received> RecordingSink::samples() {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

size_t RecordingSink::totalBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return total_;
}

bool RecordingSink::waitForBytes(size_t bytes, DWORD timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (totalBytes() < bytes) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
        Sleep(1); // polling with a deadline
    }
    return true;
}

void teardown(std::initializer_list<IBaseFilter*> filters) {
    for (IBaseFilter* f : filters)
        if (f) f->Stop();
    for (IBaseFilter* f : filters) {
        if (!f) continue;
        ComRef<IEnumPins> pins;
        if (FAILED(f->EnumPins(pins.out()))) continue;
        IPin* pin = nullptr;
        while (pins->Next(1, &pin, nullptr) == S_OK) {
            pin->Disconnect();
            pin->Release();
        }
    }
}

} // namespace dsptest
