#include "render/win/dshow_graph_builder.h"

#include <uuids.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <vector>

#include "common/win/wide_text.h"

namespace tavro {
namespace {

// Atomic: a test may run on a worker while an abandoned one still ends elsewhere.
std::atomic<long> gHeld{0};
std::atomic<unsigned long> gLastFinal{0};
// Enough pins for any filter a player graph holds; the rest are released unread.
constexpr size_t kMaxPinsPerFilter = 32;

// One counted reference, released on every path out.
template <typename T> class Held {
  public:
    Held() = default;
    ~Held() { release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    // For an out-parameter; call adopt() after the call.
    T** put() {
        release();
        return &p_;
    }
    void adopt() {
        if (p_) ++gHeld;
    }
    unsigned long release() {
        unsigned long left = 0;
        if (p_) {
            left = p_->Release();
            --gHeld;
            p_ = nullptr;
        }
        return left;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

Guid toGuid(const GUID& g) {
    Guid out;
    static_assert(sizeof out == sizeof g, "GUID layouts match");
    std::memcpy(&out, &g, sizeof out);
    return out;
}

uint64_t identity(const void* p) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
}

// False when the pin cannot say what it is; such a pin is skipped.
bool describePin(IPin* pin, GraphPin& out) {
    out.id = identity(pin);
    PIN_INFO info = {};
    if (FAILED(pin->QueryPinInfo(&info))) return false;
    if (info.pFilter) info.pFilter->Release();
    out.name = narrowName(info.achName, MAX_PIN_NAME);
    out.direction = info.dir == PINDIR_OUTPUT ? PinDirection::Output : PinDirection::Input;
    AM_MEDIA_TYPE type = {};
    if (SUCCEEDED(pin->ConnectionMediaType(&type))) {
        out.major = toGuid(type.majortype);
        out.subtype = toGuid(type.subtype);
        if (type.cbFormat && type.pbFormat) CoTaskMemFree(type.pbFormat);
        if (type.pUnk) type.pUnk->Release();
    }
    Held<IPin> peer;
    const HRESULT connected = pin->ConnectedTo(peer.put());
    peer.adopt();
    if (SUCCEEDED(connected) && peer) out.peer = identity(peer.get());
    return true;
}

void describeFilter(IBaseFilter* filter, GraphFilter& out) {
    FILTER_INFO info = {};
    if (SUCCEEDED(filter->QueryFilterInfo(&info))) {
        if (info.pGraph) info.pGraph->Release();
        out.name = narrowName(info.achName, MAX_FILTER_NAME);
    }
    CLSID clsid = GUID_NULL;
    if (SUCCEEDED(filter->GetClassID(&clsid))) out.clsid = toGuid(clsid);
    Held<IEnumPins> pins;
    const HRESULT hr = filter->EnumPins(pins.put());
    pins.adopt();
    if (FAILED(hr) || !pins) return;
    for (size_t n = 0;; ++n) {
        Held<IPin> pin;
        if (pins->Next(1, pin.put(), nullptr) != S_OK) {
            pin.adopt();
            break;
        }
        pin.adopt();
        if (!pin || n >= kMaxPinsPerFilter) continue;
        GraphPin described;
        if (describePin(pin.get(), described)) out.pins.push_back(std::move(described));
    }
}

void describeGraph(IGraphBuilder* graph, size_t maxFilters, GraphDescription* out) {
    Held<IEnumFilters> filters;
    const HRESULT hr = graph->EnumFilters(filters.put());
    filters.adopt();
    if (FAILED(hr) || !filters) return;
    while (out->filters.size() < maxFilters) {
        Held<IBaseFilter> filter;
        if (filters->Next(1, filter.put(), nullptr) != S_OK) {
            filter.adopt();
            break;
        }
        filter.adopt();
        if (!filter) continue;
        GraphFilter described;
        describeFilter(filter.get(), described);
        out->filters.push_back(std::move(described));
    }
}

} // namespace

std::string narrowName(const WCHAR* wide, size_t capacity) {
    if (!wide) return std::string();
    const size_t length = wcsnlen(wide, capacity < 128 ? capacity : 128);
    // UTF-8 like every other text the program keeps: the source filter is named
    // after the file, and a name in the ANSI code page loses every character the
    // page lacks.
    return utf8FromWide(wide, length);
}

HRESULT createFilterGraphManager(IGraphBuilder** out) {
    return CoCreateInstance(CLSID_FilterGraph, nullptr,
                            CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IGraphBuilder,
                            reinterpret_cast<void**>(out));
}

long heldGraphReferences() {
    return gHeld;
}

unsigned long lastGraphFinalCount() {
    return gLastFinal;
}

int32_t DirectShowGraphBuilder::renderFile(const std::string& path, size_t maxFilters,
                                           GraphDescription* graph, bool* managerCreated) {
    graph->filters.clear();
    *managerCreated = false;
    Held<IGraphBuilder> manager;
    HRESULT hr = factory_ ? factory_(manager.put()) : E_NOTIMPL;
    manager.adopt();
    if (SUCCEEDED(hr) && !manager) hr = E_POINTER;
    if (FAILED(hr)) return hr; // never a use of the missing graph
    *managerCreated = true;

    // The kept path is UTF-8; the ANSI code page cannot hold most file names.
    const std::wstring wide = widePath(path);
    if (wide.empty()) {
        gLastFinal = manager.release();
        return E_INVALIDARG;
    }

    hr = manager->RenderFile(wide.c_str(), nullptr);
    // A partial render (a success code other than S_OK) is still described.
    if (SUCCEEDED(hr)) describeGraph(manager.get(), maxFilters, graph);
    gLastFinal = manager.release();
    return hr;
}

} // namespace tavro
