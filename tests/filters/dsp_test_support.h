// Helpers for the DSP host tests: the test plug-in DLLs by path, PCM media types,
// a source that pushes given bytes with given flags, and a sink that keeps what
// reaches it.
#pragma once
#include <windows.h>

#include <mmreg.h>

#include <mutex>
#include <vector>

#include "filter_test_support.h"
#include "filters/base/base_renderer.h"
#include "filters/interfaces/dsp_host_control.h"

namespace dsptest {

using filtertest::ComRef;

extern const IID kIID_IDspHostControl;
extern const char* const kHalvePlugin;
extern const char* const kDoublePlugin;
extern const char* const kRecorderPlugin;
extern const char* const kNoHeaderPlugin;

using filtertest::pcmType;

// Is a DLL of this path loaded in the process?
bool isLoaded(const char* path);

// Pushes given bytes with given flags (two buffers of the given size).
using PushSource = filtertest::TestSource;

struct Received {
    std::vector<BYTE> data;
    LONG size;
    REFERENCE_TIME start;
    bool preroll;
    bool discontinuity;
};

class RecordingSink : public CBaseRenderer {
  public:
    RecordingSink();
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT DoRenderSample(IMediaSample* sample) override;
    std::vector<Received> samples();
    size_t totalBytes();
    // Waits until at least this many bytes arrived.
    bool waitForBytes(size_t bytes, DWORD timeoutMs);

  private:
    std::mutex mutex_;
    std::vector<Received> samples_;
    size_t total_ = 0;
};

// Holds a filter created by the test as a COM reference.
template <typename T> ComRef<IBaseFilter> adopt(T* filter) {
    filter->NonDelegatingAddRef();
    return ComRef<IBaseFilter>(static_cast<IBaseFilter*>(filter));
}

// Stops every filter and disconnects every pin, so connected pins let go.
void teardown(std::initializer_list<IBaseFilter*> filters);

} // namespace dsptest
