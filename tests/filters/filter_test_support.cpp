#include "filter_test_support.h"

#include <amvideo.h>
#include <dvdmedia.h>
#include <mmreg.h>

#include <stdlib.h>

#include <chrono>
#include <new>
#include <string>

namespace filtertest {

const CLSID kNullClsid = {
    0xff923e42, 0xb4cc, 0x11d5, {0x8b, 0x81, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
const CLSID kCallbackClsid = {
    0xfd879682, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
const CLSID kQualityPageClsid = {
    0xdb76d7f0, 0x97cc, 0x11cf, {0xa0, 0x96, 0x00, 0x80, 0x5f, 0x6c, 0xab, 0x82}};
const CLSID kAboutPageClsid = {
    0xdb76d7f0, 0x97cc, 0x11cf, {0xa0, 0x96, 0x00, 0x80, 0x5f, 0x6c, 0xab, 0x83}};
const CLSID kVRendererClsid = {
    0xa8dca1c0, 0xd1e3, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};
const CLSID kAudioXformClsid = {
    0xdca34358, 0x4c5a, 0x49b2, {0xa3, 0xb3, 0xff, 0xc5, 0xa7, 0x9b, 0xc1, 0xe4}};
const CLSID kAudioXform2Clsid = {
    0xc213a014, 0xc16b, 0x422d, {0xbe, 0x41, 0x62, 0xc4, 0xa9, 0x3b, 0x70, 0x17}};

const CLSID kWaveParser = {
    0xd51bd5a1, 0x7548, 0x11cf, {0xa5, 0x20, 0x00, 0x80, 0xc7, 0x7e, 0xf5, 0x8a}};

FilterModule& FilterModule::instance() {
    static FilterModule module;
    return module;
}

FilterModule::FilterModule() : module_(LoadLibraryA(NERROREND_PATH)) {
    path_[0] = 0;
    if (module_) GetModuleFileNameW(module_, path_, MAX_PATH);
}

namespace {
template <typename Fn> Fn proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
using GetClassObjectFn = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
using NoArgFn = HRESULT(WINAPI*)();
} // namespace

HRESULT FilterModule::getClassObject(REFCLSID clsid, REFIID iid, void** object) {
    auto fn = proc<GetClassObjectFn>(module_, "DllGetClassObject");
    return fn ? fn(clsid, iid, object) : E_FAIL;
}
HRESULT FilterModule::canUnloadNow() {
    auto fn = proc<NoArgFn>(module_, "DllCanUnloadNow");
    return fn ? fn() : E_FAIL;
}
HRESULT FilterModule::registerServer() {
    auto fn = proc<NoArgFn>(module_, "DllRegisterServer");
    return fn ? fn() : E_FAIL;
}
HRESULT FilterModule::unregisterServer() {
    auto fn = proc<NoArgFn>(module_, "DllUnregisterServer");
    return fn ? fn() : E_FAIL;
}

HRESULT FilterModule::create(REFCLSID clsid, IUnknown* outer, REFIID iid, void** object) {
    ComRef<IClassFactory> factory;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, factory.outVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(outer, iid, object);
}

ULONG refCount(IUnknown* unknown) {
    unknown->AddRef();
    return unknown->Release();
}

STDMETHODIMP FakeGraph::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IFilterGraph)) {
        *object = static_cast<IFilterGraph*>(this);
    } else if (IsEqualIID(riid, IID_IMediaEventSink)) {
        *object = static_cast<IMediaEventSink*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeGraph::Notify(LONG code, LONG_PTR, LONG_PTR param2) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.emplace_back(code, param2);
    changed_.notify_all();
    return S_OK;
}

bool FakeGraph::waitFor(LONG code, DWORD timeoutMs, LONG_PTR* param2) {
    std::unique_lock<std::mutex> lock(mutex_);
    bool got = changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (auto& e : events_)
            if (e.first == code) return true;
        return false;
    });
    if (got && param2)
        for (auto& e : events_)
            if (e.first == code) *param2 = e.second;
    return got;
}

int FakeGraph::count(LONG code) {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (auto& e : events_)
        n += e.first == code;
    return n;
}

class TestSource::OutputPin : public CBaseOutputPin {
  public:
    OutputPin(TestSource* source, CCritSec* lock, HRESULT* hr)
        : CBaseOutputPin(L"test output", source, lock, hr, L"Out"), source_(source) {}
    HRESULT CheckMediaType(const CMediaType* type) override {
        return *type == source_->type() ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int position, CMediaType* type) override {
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        return type->Set(source_->type());
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        request->cBuffers = source_->buffers();
        request->cbBuffer = source_->bufferSize();
        if (request->cbAlign < 1) request->cbAlign = 1;
        ALLOCATOR_PROPERTIES actual;
        return allocator->SetProperties(request, &actual);
    }

  private:
    TestSource* source_;
};

TestSource::TestSource(const AM_MEDIA_TYPE& type, LONG bufferSize, LONG buffers)
    : CBaseFilter(L"test source", nullptr, &lock_, GUID_NULL), type_(type), bufferSize_(bufferSize),
      buffers_(buffers) {
    HRESULT hr = S_OK;
    pin_ = new OutputPin(this, &lock_, &hr);
}

TestSource::~TestSource() {
    delete pin_;
}

CBasePin* TestSource::GetPin(int n) {
    return n == 0 ? pin_ : nullptr;
}

IPin* TestSource::outputPin() {
    return pin_;
}

HRESULT TestSource::push(const REFERENCE_TIME* start, const REFERENCE_TIME* end, BYTE fill,
                         LONG length, const AM_MEDIA_TYPE* newType) {
    IMediaSample* sample = nullptr;
    REFERENCE_TIME s = start ? *start : 0, e = end ? *end : 0;
    HRESULT hr = pin_->GetDeliveryBuffer(&sample, start ? &s : nullptr, end ? &e : nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    if (length > sample->GetSize()) length = sample->GetSize();
    memset(data, fill, static_cast<size_t>(length));
    sample->SetActualDataLength(length);
    sample->SetTime(start ? &s : nullptr, end ? &e : nullptr);
    sample->SetSyncPoint(TRUE);
    if (newType) sample->SetMediaType(const_cast<AM_MEDIA_TYPE*>(newType));
    hr = pin_->Deliver(sample);
    sample->Release();
    return hr;
}

HRESULT TestSource::push(const std::vector<BYTE>& data, bool preroll, bool discontinuity,
                         REFERENCE_TIME start) {
    IMediaSample* sample = nullptr;
    HRESULT hr = pin_->GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* to = nullptr;
    sample->GetPointer(&to);
    LONG length = static_cast<LONG>(data.size());
    if (length > sample->GetSize()) length = sample->GetSize();
    memcpy(to, data.data(), static_cast<size_t>(length));
    sample->SetActualDataLength(length);
    REFERENCE_TIME end = start + 1;
    sample->SetTime(&start, &end);
    sample->SetSyncPoint(TRUE);
    sample->SetPreroll(preroll);
    sample->SetDiscontinuity(discontinuity);
    hr = pin_->Deliver(sample);
    sample->Release();
    return hr;
}

HRESULT TestSource::endOfStream() {
    return pin_->DeliverEndOfStream();
}

ComRef<IBaseFilter> makeSource(const AM_MEDIA_TYPE& type, TestSource** source) {
    auto* made = new TestSource(type);
    made->NonDelegatingAddRef();
    *source = made;
    return ComRef<IBaseFilter>(static_cast<IBaseFilter*>(made));
}

std::wstring mediaPath(const char* dir, const char* name) {
    std::string path = std::string(dir) + "/" + name;
    return std::wstring(path.begin(), path.end());
}

ComRef<IPin> firstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
    ComRef<IEnumPins> pins;
    filter->EnumPins(pins.out());
    IPin* pin = nullptr;
    while (pins && pins->Next(1, &pin, nullptr) == S_OK) {
        ComRef<IPin> held(pin);
        PIN_DIRECTION dir;
        held->QueryDirection(&dir);
        if (dir == direction) return held;
    }
    return ComRef<IPin>();
}

HRESULT addParsedSource(IGraphBuilder* graph, const std::wstring& file, REFCLSID parserClsid,
                        ComRef<IBaseFilter>* parser) {
    ComRef<IBaseFilter> source;
    HRESULT hr = graph->AddSourceFilter(file.c_str(), L"source", source.out());
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(parserClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          parser->outVoid());
    if (FAILED(hr)) return hr;
    hr = graph->AddFilter(parser->get(), L"parser");
    if (FAILED(hr)) return hr;
    return graph->Connect(firstPin(source.get(), PINDIR_OUTPUT).get(),
                          firstPin(parser->get(), PINDIR_INPUT).get());
}

CMediaType videoType(const GUID& subtype, int width, int height, bool videoInfo2,
                     REFERENCE_TIME frame) {
    CMediaType type(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    int bits = IsEqualGUID(subtype, MEDIASUBTYPE_RGB24)  ? 24
               : IsEqualGUID(subtype, MEDIASUBTYPE_YUY2) ? 16
                                                         : 32;
    BITMAPINFOHEADER* bmi;
    if (videoInfo2) {
        type.SetFormatType(&FORMAT_VideoInfo2);
        auto* info =
            reinterpret_cast<VIDEOINFOHEADER2*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER2)));
        info->AvgTimePerFrame = frame;
        info->dwBitRate = static_cast<DWORD>(width * abs(height) * bits * 25);
        info->dwPictAspectRatioX = 4;
        info->dwPictAspectRatioY = 3;
        bmi = &info->bmiHeader;
    } else {
        type.SetFormatType(&FORMAT_VideoInfo);
        auto* info =
            reinterpret_cast<VIDEOINFOHEADER*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
        info->AvgTimePerFrame = frame;
        info->dwBitRate = static_cast<DWORD>(width * abs(height) * bits * 25);
        bmi = &info->bmiHeader;
    }
    bmi->biSize = sizeof(BITMAPINFOHEADER);
    bmi->biWidth = width;
    bmi->biHeight = height;
    bmi->biPlanes = 1;
    bmi->biBitCount = static_cast<WORD>(bits);
    bmi->biSizeImage = static_cast<DWORD>(width * (height < 0 ? -height : height) * bits / 8);
    type.SetSampleSize(bmi->biSizeImage);
    return type;
}

CMediaType pcmType(WORD tag, WORD channels, DWORD rate, WORD bits, WORD blockAlign) {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    auto* wave = reinterpret_cast<WAVEFORMATEX*>(type.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    wave->wFormatTag = tag;
    wave->nChannels = channels;
    wave->nSamplesPerSec = rate;
    wave->wBitsPerSample = bits;
    wave->nBlockAlign = blockAlign ? blockAlign : static_cast<WORD>(channels * bits / 8);
    wave->nAvgBytesPerSec = rate * wave->nBlockAlign;
    wave->cbSize = 0;
    return type;
}

CMediaType audioType() {
    return pcmType(WAVE_FORMAT_PCM, 2, 44100, 16);
}

} // namespace filtertest
