#include "render/win/mf_player.h"

#include <windows.h>

#include <mfapi.h>
#include <mfidl.h>

#include <cstring>
#include <vector>

namespace tavro {
namespace {

long gHeld = 0;
unsigned long gLastSourceFinal = 0;
constexpr UINT32 kMaxNameChars = 1024;
constexpr UINT32 kMaxDecoders = 64; // more are released unread
// MFT_ENUM_FLAG_* (Windows 7 and later, so not declared for the XP target).
constexpr UINT32 kEnumSync = 0x01, kEnumAsync = 0x02, kEnumHardware = 0x04, kEnumLocal = 0x10,
                 kEnumSorted = 0x40;

using StartupFn = HRESULT(WINAPI*)(ULONG, DWORD);
using ShutdownFn = HRESULT(WINAPI*)();
using CreateResolverFn = HRESULT(WINAPI*)(IMFSourceResolver**);
using EnumExFn = HRESULT(WINAPI*)(GUID, UINT32, const MFT_REGISTER_TYPE_INFO*,
                                  const MFT_REGISTER_TYPE_INFO*, IMFActivate***, UINT32*);

template <typename F> F procOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// One counted reference, released on every path out.
template <typename T> class Held {
  public:
    Held() = default;
    ~Held() { release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
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
    std::memcpy(&out, &g, sizeof out);
    return out;
}

// File names come as UTF-8; a name that is not is taken in the ANSI code page.
std::vector<WCHAR> widePath(const std::string& path) {
    UINT codePage = CP_UTF8;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (n <= 0) {
        codePage = CP_ACP;
        n = MultiByteToWideChar(codePage, 0, path.c_str(), -1, nullptr, 0);
    }
    if (n <= 0) return {};
    std::vector<WCHAR> wide(static_cast<size_t>(n), 0);
    MultiByteToWideChar(codePage, 0, path.c_str(), -1, wide.data(), n);
    // The resolver takes URLs and absolute paths; a relative name is made absolute.
    const DWORD full = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (full == 0) return wide;
    std::vector<WCHAR> absolute(full + 1, 0);
    if (GetFullPathNameW(wide.data(), full + 1, absolute.data(), nullptr) == 0) return wide;
    return absolute;
}

std::string narrow(const WCHAR* text, UINT32 length) {
    if (!text || length == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

MfDecoderFound decoderOf(IMFActivate* activate) {
    MfDecoderFound d;
    GUID clsid;
    if (SUCCEEDED(activate->GetGUID(MFT_TRANSFORM_CLSID_Attribute, &clsid)))
        d.clsid = toGuid(clsid);
    UINT32 length = 0;
    if (SUCCEEDED(activate->GetStringLength(MFT_FRIENDLY_NAME_Attribute, &length)) &&
        length < kMaxNameChars) {
        std::vector<WCHAR> name(length + 1, 0);
        if (SUCCEEDED(
                activate->GetString(MFT_FRIENDLY_NAME_Attribute, name.data(), length + 1, &length)))
            d.name = narrow(name.data(), length < name.size() ? length : UINT32(name.size() - 1));
    }
    return d;
}

// The stream's media type: the current one, else the first the stream offers.
void readStreamType(IMFStreamDescriptor* sd, MfStreamFacts& s) {
    Held<IMFMediaTypeHandler> handler;
    HRESULT hr = sd->GetMediaTypeHandler(handler.put());
    handler.adopt();
    if (FAILED(hr) || !handler) return;
    GUID major;
    if (SUCCEEDED(handler->GetMajorType(&major))) s.major = toGuid(major);
    Held<IMFMediaType> type;
    hr = handler->GetCurrentMediaType(type.put());
    type.adopt();
    if (FAILED(hr) || !type) {
        hr = handler->GetMediaTypeByIndex(0, type.put());
        type.adopt();
    }
    if (FAILED(hr) || !type) return;
    GUID subtype;
    if (SUCCEEDED(type->GetGUID(MF_MT_SUBTYPE, &subtype))) s.subtype = toGuid(subtype);
}

} // namespace

struct WinMfPlayer::State {
    HMODULE module = nullptr;
    ShutdownFn shutdown = nullptr;
    CreateResolverFn createResolver = nullptr;
    EnumExFn enumEx = nullptr;
    HRESULT startHr = E_FAIL;
};

WinMfPlayer::WinMfPlayer() = default;

// mfplat.dll stays loaded: its work queue threads may still be winding down
// after MFShutdown, and unloading the code under them would crash the process.
WinMfPlayer::~WinMfPlayer() {
    if (state_ && SUCCEEDED(state_->startHr) && state_->shutdown) state_->shutdown();
}

int32_t WinMfPlayer::describeFile(const std::string& path, size_t maxStreams,
                                  MfPlayDescription* out) {
    *out = MfPlayDescription();
    auto fail = [out](MfPlayStage stage, HRESULT hr) {
        out->failedAt = stage;
        out->hr = hr;
        return static_cast<int32_t>(hr);
    };
    // Started once, on first use, and shut down with the player.
    if (!state_) {
        state_ = std::make_unique<State>();
        state_->module = LoadLibraryA("mfplat.dll");
        if (state_->module) {
            auto startup = procOf<StartupFn>(state_->module, "MFStartup");
            state_->shutdown = procOf<ShutdownFn>(state_->module, "MFShutdown");
            state_->createResolver =
                procOf<CreateResolverFn>(state_->module, "MFCreateSourceResolver");
            state_->enumEx = procOf<EnumExFn>(state_->module, "MFTEnumEx");
            state_->startHr = startup && state_->shutdown
                                  ? startup(MF_VERSION, MFSTARTUP_LITE)
                                  : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        } else {
            state_->startHr = REGDB_E_CLASSNOTREG;
        }
    }
    if (FAILED(state_->startHr)) return fail(MfPlayStage::Startup, state_->startHr);
    if (!state_->createResolver)
        return fail(MfPlayStage::Resolver, HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));

    Held<IMFSourceResolver> resolver;
    HRESULT hr = state_->createResolver(resolver.put());
    resolver.adopt();
    if (SUCCEEDED(hr) && !resolver) hr = E_POINTER;
    if (FAILED(hr)) return fail(MfPlayStage::Resolver, hr);

    const std::vector<WCHAR> wide = widePath(path);
    if (wide.empty()) return fail(MfPlayStage::OpenSource, E_INVALIDARG);
    MF_OBJECT_TYPE objectType = MF_OBJECT_INVALID;
    Held<IUnknown> object;
    hr = resolver->CreateObjectFromURL(wide.data(), MF_RESOLUTION_MEDIASOURCE | MF_RESOLUTION_READ,
                                       nullptr, &objectType, object.put());
    object.adopt();
    resolver.release();
    if (SUCCEEDED(hr) && !object) hr = E_POINTER;
    if (FAILED(hr)) return fail(MfPlayStage::OpenSource, hr);
    Held<IMFMediaSource> source;
    hr = object->QueryInterface(IID_IMFMediaSource, reinterpret_cast<void**>(source.put()));
    source.adopt();
    object.release();
    if (SUCCEEDED(hr) && !source) hr = E_NOINTERFACE;
    if (FAILED(hr)) return fail(MfPlayStage::OpenSource, hr);

    Held<IMFPresentationDescriptor> presentation;
    hr = source->CreatePresentationDescriptor(presentation.put());
    presentation.adopt();
    if (SUCCEEDED(hr) && !presentation) hr = E_POINTER;
    if (SUCCEEDED(hr)) {
        DWORD count = 0;
        if (FAILED(presentation->GetStreamDescriptorCount(&count))) count = 0;
        out->streamCount = count;
        for (DWORD i = 0; i < count && out->streams.size() < maxStreams; ++i) {
            BOOL selected = FALSE;
            Held<IMFStreamDescriptor> sd;
            const HRESULT sdHr = presentation->GetStreamDescriptorByIndex(i, &selected, sd.put());
            sd.adopt();
            MfStreamFacts s;
            s.selected = selected != FALSE;
            if (SUCCEEDED(sdHr) && sd) readStreamType(sd.get(), s);
            out->streams.push_back(std::move(s));
        }
    } else {
        fail(MfPlayStage::Presentation, hr);
    }
    presentation.release();
    // The source runs its own work; it is shut down before its last release.
    source->Shutdown();
    gLastSourceFinal = source.release();

    for (MfStreamFacts& s : out->streams) {
        const bool video = s.major == toGuid(MFMediaType_Video);
        const bool audio = s.major == toGuid(MFMediaType_Audio);
        if ((!video && !audio) || !state_->enumEx) continue;
        MFT_REGISTER_TYPE_INFO input;
        std::memcpy(&input.guidMajorType, &s.major, sizeof(GUID));
        std::memcpy(&input.guidSubtype, &s.subtype, sizeof(GUID));
        IMFActivate** activates = nullptr;
        UINT32 found = 0;
        // What a player's topology loader asks: every kind of transform, the
        // system's order (merit, preferred and blocked lists) applied.
        const UINT32 flags = kEnumSync | kEnumAsync | kEnumHardware | kEnumLocal | kEnumSorted;
        s.searched = true;
        s.searchHr = state_->enumEx(video ? MFT_CATEGORY_VIDEO_DECODER : MFT_CATEGORY_AUDIO_DECODER,
                                    flags, &input, nullptr, &activates, &found);
        if (FAILED(s.searchHr) || !activates) continue;
        for (UINT32 k = 0; k < found; ++k) {
            IMFActivate* activate = activates[k];
            if (!activate) continue;
            ++gHeld; // handed over by the enumeration
            if (k < kMaxDecoders) s.decoders.push_back(decoderOf(activate));
            activate->Release();
            --gHeld;
        }
        CoTaskMemFree(activates);
    }
    return out->hr;
}

long heldMfReferences() {
    return gHeld;
}

unsigned long lastMfSourceFinalCount() {
    return gLastSourceFinal;
}

} // namespace tavro
