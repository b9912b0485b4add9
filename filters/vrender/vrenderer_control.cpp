// IVRendererControl of the video renderer: what its client sets and asks.
#include <vfwmsgs.h>

#include <cstring>

#include "filters/video/frame_buffer.h"
#include "filters/video/overlay_geometry.h"
#include "filters/vrender/video_renderer.h"
#include "filters/vrender/video_subtypes.h"

namespace nerrorend {

namespace {

RECT toRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

} // namespace

STDMETHODIMP VideoRendererFilter::SetOverlayRects(RECT* source, RECT* destination) {
    CheckPointer(destination, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    m_Destination = *destination;
    // Only a ready overlay can be moved.
    if (m_Status != 0 || m_Surfaces.mode() != 1 || !m_Surfaces.overlay() || !m_Surfaces.primary())
        return S_OK;
    RECT from;
    if (source) {
        from = *source;
    } else {
        const int displayWidth = m_DisplayWidth ? m_DisplayWidth : GetSystemMetrics(SM_CXSCREEN);
        const int displayHeight = m_DisplayHeight ? m_DisplayHeight : GetSystemMetrics(SM_CYSCREEN);
        const Rect visible = overlaySourceFor(
            Rect{destination->left, destination->top, destination->right, destination->bottom},
            displayWidth, displayHeight, m_Surfaces.width(), m_Surfaces.rows());
        if (visible.empty())
            return m_Surfaces.overlay()->UpdateOverlay(nullptr, m_Surfaces.primary(), nullptr,
                                                       DDOVER_HIDE, nullptr);
        from = toRect(visible);
        // The visible part of the destination, to match the cut source.
        const Rect shown = intersect(
            Rect{destination->left, destination->top, destination->right, destination->bottom},
            Rect{0, 0, displayWidth, displayHeight});
        RECT to = toRect(shown);
        return m_Surfaces.overlay()->UpdateOverlay(&from, m_Surfaces.primary(), &to,
                                                   DDOVER_SHOW | (m_ColourKey ? DDOVER_KEYDEST : 0),
                                                   nullptr);
    }
    return m_Surfaces.overlay()->UpdateOverlay(&from, m_Surfaces.primary(), destination,
                                               DDOVER_SHOW | (m_ColourKey ? DDOVER_KEYDEST : 0),
                                               nullptr);
}

STDMETHODIMP VideoRendererFilter::GetVideoSize(int* width, int* height) {
    CheckPointer(width, E_POINTER);
    CheckPointer(height, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    *width = m_Geometry.pictureWidth;
    *height = m_Geometry.height + m_Band;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetColorKey(DWORD flags, DWORD* key) {
    CheckPointer(key, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    if (!m_Surfaces.primary()) return E_UNEXPECTED;
    DDCOLORKEY colourKey = {0, 0};
    const HRESULT hr = m_Surfaces.primary()->GetColorKey(flags, &colourKey);
    *key = colourKey.dwColorSpaceLowValue;
    return hr;
}

STDMETHODIMP VideoRendererFilter::SetColorKey(DWORD flags, DWORD key) {
    CAutoLock lock(&m_ControlLock);
    if (m_RenderMode != 1) return S_OK;
    if (!m_Surfaces.primary()) return E_UNEXPECTED;
    DDCOLORKEY colourKey = {key, key};
    m_ColourKey = key != 0;
    return m_Surfaces.primary()->SetColorKey(flags, key ? &colourKey : nullptr);
}

STDMETHODIMP VideoRendererFilter::SetDisplaySize(int width, int height) {
    CAutoLock lock(&m_ControlLock);
    m_DisplayWidth = width;
    m_DisplayHeight = height;
    const RECT& to = m_Destination;
    if (m_Status != 0 || m_Surfaces.mode() != 1 || !m_Surfaces.overlay() || !m_Surfaces.primary() ||
        to.right <= to.left || to.bottom <= to.top)
        return S_OK;
    RECT from = {0, 0, m_Surfaces.width(), m_Surfaces.rows()};
    RECT destination = to;
    return m_Surfaces.overlay()->UpdateOverlay(&from, m_Surfaces.primary(), &destination,
                                               DDOVER_SHOW | (m_ColourKey ? DDOVER_KEYDEST : 0),
                                               nullptr);
}

STDMETHODIMP VideoRendererFilter::SetDirectDraw(IDirectDraw** directDraw,
                                                IDirectDrawSurface** primary) {
    CheckPointer(directDraw, E_POINTER);
    CheckPointer(primary, E_POINTER);
    if (!Stopped()) return VFW_E_NOT_STOPPED;
    CAutoLock lock(&m_ControlLock);
    m_Surfaces.setDirectDraw(*directDraw, *primary);
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetRenderSurface(IDirectDrawSurface** surface) {
    CheckPointer(surface, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    *surface = m_Surfaces.receiving();
    if (!*surface) return E_UNEXPECTED;
    (*surface)->AddRef();
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetAspectRatio(int* x, int* y) {
    CheckPointer(x, E_POINTER);
    CheckPointer(y, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    *x = m_AspectX;
    *y = m_AspectY;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetStreamInfo(DWORD* bitRate, REFERENCE_TIME* avgTimePerFrame) {
    CheckPointer(bitRate, E_POINTER);
    CheckPointer(avgTimePerFrame, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    if (!m_Ready) return E_FAIL;
    *bitRate = m_BitRate;
    *avgTimePerFrame = m_AvgTimePerFrame;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetVersion(DWORD* version) {
    CheckPointer(version, E_POINTER);
    *version = kVRendererVersion;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetFormatCode(int* code) {
    CheckPointer(code, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    *code = m_FormatCode;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::SetRenderMode(int proposals, int mode, INT_PTR width,
                                                int height) {
    if (!Stopped()) return VFW_E_NOT_STOPPED;
    CAutoLock lock(&m_ControlLock);
    if (mode == 0) {
        // The width argument carries a pointer to the subtype to force.
        const GUID* forced = reinterpret_cast<const GUID*>(width);
        CheckPointer(forced, E_POINTER);
        m_ForcedSubtype = *forced;
        return S_OK;
    }
    m_RenderMode = mode;
    m_Proposals = proposals != 0;
    if (width && !m_Ready) {
        m_Geometry.pictureWidth = m_Geometry.strideWidth = int(width);
        m_Geometry.height = height;
    }
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::BltTo(IDirectDrawSurface** surface) {
    CheckPointer(surface, E_POINTER);
    CheckPointer(*surface, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    if (!m_Surfaces.shown()) return E_UNEXPECTED;
    (*surface)->Blt(nullptr, m_Surfaces.shown(), nullptr, DDBLT_WAIT, nullptr);
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::ReleaseSurfaces(IDirectDrawSurface** surface) {
    if (!Stopped()) return VFW_E_NOT_STOPPED;
    CAutoLock lock(&m_ControlLock);
    ReleaseSurfacesLocked();
    if (surface) *surface = m_Surfaces.receiving();
    m_LockingAllowed = true;
    // No sample can use the system frame while stopped.
    if (m_pSystemBuffer) VirtualFree(m_pSystemBuffer, 0, MEM_RELEASE);
    m_pSystemBuffer = nullptr;
    m_SystemBufferSize = 0;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::SetTextSink(ITextSink* sink) {
    CAutoLock lock(&m_ControlLock);
    m_pSink = sink;
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::SetOption(int id, INT_PTR value) {
    // The RGB-surface mode and the band shape the surfaces: stopped and unconnected only.
    if (id == 4 || id == 6) {
        if (!Stopped()) return VFW_E_NOT_STOPPED;
        CAutoLock lock(&m_ControlLock);
        if (m_Ready) return VFW_E_ALREADY_CONNECTED;
        if (id == 4) m_RgbSurfaceMode = value != 0;
        if (id == 6) {
            if (value < 0 || value > 4096) return E_INVALIDARG;
            m_Band = int(value);
        }
        return S_OK;
    }
    CAutoLock lock(&m_ControlLock);
    switch (id) {
    case 1:
        m_Captions.setOsdShown(value == 1);
        break;
    case 2:
        m_Captions.setShadow(value != 0);
        break;
    case 3:
        m_Captions.setOutline(value != 0);
        break;
    case 5:
        m_SinkPerFrame = value != 0;
        break;
    case 7:
        m_Captions.setStyleMarkup(value != 0);
        break;
    case 8:
        m_Captions.setTitle(reinterpret_cast<const char*>(value));
        break;
    case 9:
        m_Captions.setTitleFont(reinterpret_cast<HFONT>(value));
        break;
    case 10:
        m_Captions.setTitleColour(COLORREF(value));
        break;
    default:
        break;
    }
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::SetOsdStyle(HFONT font, COLORREF colour, int y) {
    CAutoLock lock(&m_ControlLock);
    m_Captions.setOsdStyle(font, colour, y);
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::SetOsdText(const char* text) {
    CAutoLock lock(&m_ControlLock);
    m_Captions.setOsdText(text);
    if (!text && m_Band > 0) m_BandClear.start();
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::GetSurfaceStatus() {
    CAutoLock lock(&m_ControlLock);
    return HRESULT(m_Status);
}

STDMETHODIMP VideoRendererFilter::BltFrom(IDirectDrawSurface** surface) {
    CheckPointer(surface, E_POINTER);
    CheckPointer(*surface, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    if (!m_Surfaces.shown()) return E_UNEXPECTED;
    m_Surfaces.shown()->Blt(nullptr, *surface, nullptr, DDBLT_WAIT, nullptr);
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::CopyPicture(BYTE* buffer, int direction) {
    CheckPointer(buffer, E_POINTER);
    CAutoLock lock(&m_ControlLock);
    IDirectDrawSurface* surface = m_Surfaces.shown();
    if (!surface) return E_UNEXPECTED;
    if (isPlanarCode(baseFormatCode(m_FormatCode))) return E_NOTIMPL;
    if (direction != 0 && direction != 1) return S_OK;
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->Lock(nullptr, &desc, m_LockFlags, nullptr);
    if (FAILED(hr)) return hr;
    if (desc.lpSurface && desc.lPitch > 0) {
        const size_t pitch = size_t(desc.lPitch);
        const size_t row = copyPictureRowBytes(m_FormatCode, m_Geometry.pictureWidth, pitch);
        // The client's buffer is packed: rows of the picture's width.
        const size_t packed = size_t(m_Geometry.pictureWidth) * size_t(bytesPerPixel(m_FormatCode));
        BYTE* pixels = static_cast<BYTE*>(desc.lpSurface);
        for (int y = 0; y < m_Geometry.height && y < m_Surfaces.rows(); ++y) {
            BYTE* surfaceRow = pixels + size_t(y) * pitch;
            BYTE* bufferRow = buffer + size_t(y) * packed;
            if (direction == 0)
                std::memcpy(surfaceRow, bufferRow, row);
            else
                std::memcpy(bufferRow, surfaceRow, row);
        }
    }
    surface->Unlock(desc.lpSurface);
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::LoadPlugin(const char* path) {
    CAutoLock lock(&m_ControlLock);
    const HRESULT hr = m_Plugin.load(path);
    if (FAILED(hr)) return hr;
    InitPlugin();
    return S_OK;
}

STDMETHODIMP VideoRendererFilter::PluginCall(int a, int b) {
    CAutoLock lock(&m_ControlLock);
    return HRESULT(m_Plugin.call(a, b));
}

} // namespace nerrorend
