#include "filters/vrender/surface_set.h"

#include <cstring>

namespace nerrorend {

namespace {

template <class T> void releaseAndClear(T*& p) {
    if (p) {
        T* old = p;
        p = nullptr;
        old->Release();
    }
}

DDSURFACEDESC emptyDesc() {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

} // namespace

DDPIXELFORMAT toDdPixelFormat(const SurfacePixelFormat& f) {
    DDPIXELFORMAT pf;
    std::memset(&pf, 0, sizeof pf);
    pf.dwSize = sizeof pf;
    if (f.fourccFormat) {
        pf.dwFlags = DDPF_FOURCC;
        pf.dwFourCC = f.fourcc;
    } else {
        pf.dwFlags = DDPF_RGB;
        pf.dwRGBBitCount = f.bitCount;
        pf.dwRBitMask = f.redMask;
        pf.dwGBitMask = f.greenMask;
        pf.dwBBitMask = f.blueMask;
    }
    return pf;
}

SurfacePixelFormat fromDdPixelFormat(const DDPIXELFORMAT& pf) {
    SurfacePixelFormat f;
    if (pf.dwFlags & DDPF_FOURCC) {
        f.fourccFormat = true;
        f.fourcc = pf.dwFourCC;
    } else if (pf.dwFlags & DDPF_RGB) {
        f.bitCount = pf.dwRGBBitCount;
        f.redMask = pf.dwRBitMask;
        f.greenMask = pf.dwGBitMask;
        f.blueMask = pf.dwBBitMask;
    }
    // Palettised and other formats keep a bit count of 0 and map to no subtype.
    return f;
}

SurfaceSet::~SurfaceSet() {
    release();
    setDirectDraw(nullptr, nullptr);
}

void SurfaceSet::setDirectDraw(IDirectDraw* directDraw, IDirectDrawSurface* primary) {
    // AddRef first: the client may hand back the objects we already hold.
    if (directDraw) directDraw->AddRef();
    if (primary) primary->AddRef();
    releaseAndClear(primary_);
    releaseAndClear(directDraw_);
    directDraw_ = directDraw;
    primary_ = primary;
}

bool SurfaceSet::displayFormat(SurfacePixelFormat& format) const {
    format = SurfacePixelFormat();
    if (!primary_) return false;
    DDSURFACEDESC desc = emptyDesc();
    if (FAILED(primary_->GetSurfaceDesc(&desc))) return false;
    format = fromDdPixelFormat(desc.ddpfPixelFormat);
    return true;
}

HRESULT SurfaceSet::createSurface(DDSURFACEDESC& desc, DWORD caps, DWORD fallbackCaps,
                                  IDirectDrawSurface** out) {
    *out = nullptr;
    desc.ddsCaps.dwCaps = caps;
    HRESULT hr = directDraw_->CreateSurface(&desc, out, nullptr);
    if (SUCCEEDED(hr) && *out) return hr;
    *out = nullptr;
    desc.ddsCaps.dwCaps = fallbackCaps;
    hr = directDraw_->CreateSurface(&desc, out, nullptr);
    if (SUCCEEDED(hr) && *out) return hr;
    *out = nullptr;
    return FAILED(hr) ? hr : E_FAIL;
}

SurfaceResult SurfaceSet::create(int mode, const SurfacePixelFormat& format, int width, int rows) {
    release();
    if (!directDraw_) return SurfaceResult::NoDirectDraw;
    DDSURFACEDESC desc = emptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(rows);
    desc.ddpfPixelFormat = toDdPixelFormat(format);
    const DWORD videoMemory = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
    if (mode == 1) {
        desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = 2;
        const DWORD caps = DDSCAPS_OVERLAY | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        IDirectDrawSurface* overlay = nullptr;
        if (FAILED(createSurface(desc, caps | videoMemory, caps, &overlay)))
            return SurfaceResult::OverlayFailed;
        DDSCAPS back = {DDSCAPS_BACKBUFFER};
        IDirectDrawSurface* backBuffer = nullptr;
        if (FAILED(overlay->GetAttachedSurface(&back, &backBuffer)) || !backBuffer) {
            overlay->Release();
            return SurfaceResult::OverlayFailed;
        }
        overlay_ = overlay;
        receiving_ = backBuffer;
    } else {
        IDirectDrawSurface* plain = nullptr;
        if (FAILED(createSurface(desc, DDSCAPS_OFFSCREENPLAIN | videoMemory, DDSCAPS_OFFSCREENPLAIN,
                                 &plain)))
            return SurfaceResult::OffscreenFailed;
        receiving_ = plain;
    }
    mode_ = mode;
    width_ = width;
    rows_ = rows;
    format_ = format;
    return SurfaceResult::Ok;
}

void SurfaceSet::release() {
    unlock();
    // The back buffer belongs to the overlay's chain: let go of it first.
    releaseAndClear(receiving_);
    releaseAndClear(overlay_);
    mode_ = 0;
    width_ = rows_ = 0;
    format_ = SurfacePixelFormat();
}

HRESULT SurfaceSet::lock(DWORD flags, FrameBuffer& frame, int code) {
    frame = FrameBuffer();
    if (!receiving_) return E_UNEXPECTED;
    if (lockedMemory_) return E_UNEXPECTED;
    DDSURFACEDESC desc = emptyDesc();
    HRESULT hr = receiving_->Lock(nullptr, &desc, flags, nullptr);
    if (FAILED(hr)) return hr;
    if (!desc.lpSurface || desc.lPitch <= 0) {
        receiving_->Unlock(desc.lpSurface);
        return E_FAIL;
    }
    lockedMemory_ = desc.lpSurface;
    frame.data = static_cast<uint8_t*>(desc.lpSurface);
    frame.code = code;
    frame.width = width_;
    frame.rows = rows_;
    frame.stride = size_t(desc.lPitch);
    // A surface holds its rows at the pitch (and the chroma planes after them).
    frame.length = frameSpan(frame);
    return S_OK;
}

void SurfaceSet::unlock() {
    if (!lockedMemory_) return;
    void* memory = lockedMemory_;
    lockedMemory_ = nullptr;
    if (receiving_) receiving_->Unlock(memory);
}

size_t SurfaceSet::probePitch(DWORD flags) {
    if (!receiving_ || lockedMemory_) return 0;
    DDSURFACEDESC desc = emptyDesc();
    if (FAILED(receiving_->Lock(nullptr, &desc, flags, nullptr))) return 0;
    const LONG pitch = desc.lPitch;
    receiving_->Unlock(desc.lpSurface);
    return pitch > 0 ? size_t(pitch) : 0;
}

HRESULT SurfaceSet::flip() {
    if (!overlay_) return E_UNEXPECTED;
    return overlay_->Flip(nullptr, DDFLIP_WAIT);
}

void SurfaceSet::fillBlack(int code, DWORD lockFlags) {
    if (!receiving_) return;
    auto fillOnce = [&] {
        FrameBuffer frame;
        if (FAILED(lock(lockFlags, frame, code))) return;
        fillBlackRows(frame, 0, frame.rows);
        unlock();
    };
    if (mode_ == 1) {
        // Three buffers in the chain: flip each one into the back.
        for (int i = 0; i < 3; ++i) {
            flip();
            fillOnce();
        }
    } else if (mode_ == 2) {
        fillOnce();
    } else {
        DDBLTFX fx;
        std::memset(&fx, 0, sizeof fx);
        fx.dwSize = sizeof fx;
        fx.dwFillColor = 0;
        receiving_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
}

} // namespace nerrorend
