// Helpers for the filter conformance tests: the module under test loaded by path,
// a small COM pointer, a pushing source filter built on our base classes, and a
// fake graph that records the events filters post.
#pragma once
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "filters/base/base_filter.h"
#include "filters/base/base_output_pin.h"

namespace filtertest {

template <typename T> class ComRef {
  public:
    ComRef() = default;
    explicit ComRef(T* adopted) : p_(adopted) {}
    ComRef(const ComRef& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComRef& operator=(const ComRef& other) {
        if (other.p_) other.p_->AddRef();
        reset();
        p_ = other.p_;
        return *this;
    }
    ~ComRef() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T** out() {
        reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    template <typename U> ComRef<U> as(REFIID iid) const {
        ComRef<U> other;
        if (p_) p_->QueryInterface(iid, other.outVoid());
        return other;
    }

  private:
    T* p_ = nullptr;
};

// nerrorend.ax loaded for the whole test program.
class FilterModule {
  public:
    static FilterModule& instance();
    HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** object);
    HRESULT canUnloadNow();
    HRESULT registerServer();
    HRESULT unregisterServer();
    // Creates one object of the module through its class factory.
    HRESULT create(REFCLSID clsid, IUnknown* outer, REFIID iid, void** object);
    const wchar_t* path() const { return path_; }

  private:
    FilterModule();
    HMODULE module_;
    wchar_t path_[MAX_PATH];
};

extern const CLSID kNullClsid;
extern const CLSID kCallbackClsid;
extern const CLSID kQualityPageClsid;
extern const CLSID kAboutPageClsid;
extern const CLSID kVRendererClsid;
extern const CLSID kAudioXformClsid;
extern const CLSID kAudioXform2Clsid;

// Wine's WAVE parser; the toolchain's headers do not name it.
extern const CLSID kWaveParser;

// Counts references of an object without changing them.
ULONG refCount(IUnknown* unknown);

// Helpers for tests in Wine's filter graph manager.
// A generated media file, as the wide path the graph takes.
std::wstring mediaPath(const char* dir, const char* name);
// The first pin of this direction (none when the filter has none).
ComRef<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION direction);
// file → Wine's async reader → parser (by CLSID), both added to the graph and
// connected; the parser is handed back even when a later step fails.
HRESULT addParsedSource(IGraphBuilder* graph, const std::wstring& file, REFCLSID parserClsid,
                        ComRef<IBaseFilter>* parser);

// An outer object that counts its own references, as an aggregator does.
class Outer : public IUnknown {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, object) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

// A graph that only takes events: IFilterGraph (membership) and IMediaEventSink.
class FakeGraph : public IFilterGraph, public IMediaEventSink {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }
    STDMETHODIMP AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
    STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP Reconnect(IPin*) override { return E_NOTIMPL; }
    STDMETHODIMP Disconnect(IPin*) override { return E_NOTIMPL; }
    STDMETHODIMP SetDefaultSyncSource() override { return E_NOTIMPL; }
    STDMETHODIMP Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;

    // Waits for an event with this code; returns its second parameter.
    bool waitFor(LONG code, DWORD timeoutMs, LONG_PTR* param2 = nullptr);
    int count(LONG code);
    LONG refs() const { return refs_; }

  private:
    volatile LONG refs_ = 1;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<LONG, LONG_PTR>> events_;
};

// A source with one output pin "Out" offering one media type, whose samples the
// test pushes by hand from any thread.
class TestSource : public CBaseFilter {
  public:
    explicit TestSource(const AM_MEDIA_TYPE& type, LONG bufferSize = 4096, LONG buffers = 2);
    ~TestSource() override;
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // One sample with these times (none when start is null); returns Receive's answer.
    HRESULT push(const REFERENCE_TIME* start, const REFERENCE_TIME* end, BYTE fill = 0,
                 LONG length = 16, const AM_MEDIA_TYPE* newType = nullptr);
    // One sample of these bytes (cut to the buffer), from start to start + 1, a
    // sync point with these flags; returns Receive's answer.
    HRESULT push(const std::vector<BYTE>& data, bool preroll = false, bool discontinuity = false,
                 REFERENCE_TIME start = 0);
    HRESULT endOfStream();
    IPin* outputPin();
    const CMediaType& type() const { return type_; }
    LONG bufferSize() const { return bufferSize_; }
    LONG buffers() const { return buffers_; }

  private:
    CCritSec lock_;
    CMediaType type_;
    LONG bufferSize_;
    LONG buffers_;
    class OutputPin;
    OutputPin* pin_;
};

// A TestSource held by a COM reference (the source starts at a count of one).
ComRef<IBaseFilter> makeSource(const AM_MEDIA_TYPE& type, TestSource** source);

// Media types the tests offer.
CMediaType videoType(const GUID& subtype, int width, int height, bool videoInfo2,
                     REFERENCE_TIME frame = 400000);
// A WAVEFORMATEX type; blockAlign 0 means channels × bytes per sample.
CMediaType pcmType(WORD tag, WORD channels, DWORD rate, WORD bits, WORD blockAlign = 0);
// 16-bit stereo PCM at 44100 Hz.
CMediaType audioType();

} // namespace filtertest
