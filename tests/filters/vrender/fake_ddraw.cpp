#include "fake_ddraw.h"

#include <cstring>

namespace fakes {

size_t CallLog::count(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& c : calls)
        n += c.compare(0, prefix.size(), prefix) == 0;
    return n;
}

int CallLog::find(const std::string& prefix) const {
    for (size_t i = 0; i < calls.size(); ++i)
        if (calls[i].compare(0, prefix.size(), prefix) == 0) return int(i);
    return -1;
}

DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b) {
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB;
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    return f;
}

DDPIXELFORMAT fourccFormat(DWORD fourcc) {
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_FOURCC;
    f.dwFourCC = fourcc;
    return f;
}

namespace {

DWORD bytesPerPixel(const DDPIXELFORMAT& f) {
    if (f.dwFlags & DDPF_FOURCC) {
        return (f.dwFourCC == MAKEFOURCC('Y', 'U', 'Y', '2') ||
                f.dwFourCC == MAKEFOURCC('U', 'Y', 'V', 'Y'))
                   ? 2
                   : 1;
    }
    return f.dwRGBBitCount / 8;
}

} // namespace

FakeSurface::FakeSurface(std::shared_ptr<CallLog> log_, std::string name_, DWORD w, DWORD h,
                         const DDPIXELFORMAT& f, DWORD pitchAlign)
    : width(w), height(h), format(f), log(std::move(log_)), name(std::move(name_)) {
    const DWORD row = w * (bytesPerPixel(f) ? bytesPerPixel(f) : 1);
    pitch = (row + pitchAlign - 1) / pitchAlign * pitchAlign;
    // Planar surfaces carry their chroma planes after the luma rows.
    const bool planar = (f.dwFlags & DDPF_FOURCC) && bytesPerPixel(f) == 1;
    memory.assign(size_t(pitch) * h * (planar ? 2 : 1), 0xcd);
}

FakeSurface::~FakeSurface() {
    if (attached) attached->Release();
    if (destroyed) *destroyed = true;
    log->add("destroy " + name);
}

STDMETHODIMP FakeSurface::QueryInterface(REFIID riid, void** out) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectDrawSurface)) {
        *out = static_cast<IDirectDrawSurface*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FakeSurface::AddRef() {
    return InterlockedIncrement(&refs);
}

STDMETHODIMP_(ULONG) FakeSurface::Release() {
    const LONG n = InterlockedDecrement(&refs);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP FakeSurface::Blt(LPRECT, LPDIRECTDRAWSURFACE source, LPRECT, DWORD flags,
                              LPDDBLTFX fx) {
    std::string s = "Blt " + name + " flags=" + std::to_string(flags);
    if (source) s += " from=" + static_cast<FakeSurface*>(source)->name;
    log->add(s);
    if ((flags & DDBLT_COLORFILL) && fx) {
        for (size_t i = 0; i < memory.size(); ++i)
            memory[i] = BYTE(fx->dwFillColor >> (8 * (i % 4)));
    }
    return DD_OK;
}

STDMETHODIMP FakeSurface::Flip(LPDIRECTDRAWSURFACE, DWORD flags) {
    ++flips;
    log->add("Flip " + name + " flags=" + std::to_string(flags));
    return DD_OK;
}

STDMETHODIMP FakeSurface::GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* out) {
    log->add("GetAttachedSurface " + name);
    if (!attached || !caps || !(caps->dwCaps & DDSCAPS_BACKBUFFER)) return DDERR_NOTFOUND;
    attached->AddRef();
    *out = attached;
    return DD_OK;
}

STDMETHODIMP FakeSurface::GetColorKey(DWORD, LPDDCOLORKEY key) {
    if (!key) return DDERR_INVALIDPARAMS;
    *key = colourKey;
    return DD_OK;
}

STDMETHODIMP FakeSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    log->add("SetColorKey " + name + " flags=" + std::to_string(flags) +
             (key ? " key=" + std::to_string(key->dwColorSpaceLowValue) : " null"));
    colourKey = key ? *key : DDCOLORKEY{0, 0};
    return DD_OK;
}

STDMETHODIMP FakeSurface::GetPixelFormat(LPDDPIXELFORMAT f) {
    *f = format;
    return DD_OK;
}

STDMETHODIMP FakeSurface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = width;
    desc->dwHeight = height;
    desc->lPitch = LONG(pitch);
    desc->ddpfPixelFormat = format;
    return DD_OK;
}

STDMETHODIMP FakeSurface::Lock(LPRECT, LPDDSURFACEDESC desc, DWORD flags, HANDLE) {
    log->add("Lock " + name + " flags=" + std::to_string(flags));
    if (failLock) return DDERR_SURFACEBUSY;
    ++locks;
    GetSurfaceDesc(desc);
    desc->lpSurface = memory.data();
    return DD_OK;
}

STDMETHODIMP FakeSurface::Unlock(LPVOID) {
    ++unlocks;
    log->add("Unlock " + name);
    return DD_OK;
}

STDMETHODIMP FakeSurface::UpdateOverlay(LPRECT source, LPDIRECTDRAWSURFACE, LPRECT destination,
                                        DWORD flags, LPDDOVERLAYFX) {
    log->add("UpdateOverlay " + name + " flags=" + std::to_string(flags));
    OverlayCall c = {};
    c.hasSource = source != nullptr;
    if (source) c.source = *source;
    if (destination) c.destination = *destination;
    c.flags = flags;
    overlayCalls.push_back(c);
    return DD_OK;
}

STDMETHODIMP FakeDirectDraw::QueryInterface(REFIID riid, void** out) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectDraw)) {
        *out = static_cast<IDirectDraw*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP FakeDirectDraw::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* out,
                                           IUnknown*) {
    const DWORD caps = desc->ddsCaps.dwCaps;
    requestedCaps.push_back(caps);
    log->add("CreateSurface caps=" + std::to_string(caps));
    if (refuseAll) return (caps & DDSCAPS_OVERLAY) ? DDERR_NOOVERLAYHW : DDERR_OUTOFMEMORY;
    if (refuseVideoMemory && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_NODIRECTDRAWHW;
    const bool overlay = (caps & DDSCAPS_OVERLAY) != 0;
    auto* s = new FakeSurface(log, overlay ? "overlay" : "plain", desc->dwWidth, desc->dwHeight,
                              desc->ddpfPixelFormat, pitchAlign);
    if (overlay && (desc->dwFlags & DDSD_BACKBUFFERCOUNT) && desc->dwBackBufferCount)
        s->attached = new FakeSurface(log, "back", desc->dwWidth, desc->dwHeight,
                                      desc->ddpfPixelFormat, pitchAlign);
    created.push_back(s);
    *out = s;
    return DD_OK;
}

} // namespace fakes
