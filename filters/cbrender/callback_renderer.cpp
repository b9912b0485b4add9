#include "filters/cbrender/callback_renderer.h"

#include <amvideo.h>
#include <dvdmedia.h>
#include <uuids.h>

#include <new>

// {fd879682-2166-11d5-8b80-00d05c00ae53}
extern "C" const CLSID CLSID_NerroCbVRenderer = {
    0xfd879682, 0x2166, 0x11d5, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

CUnknown* CallbackRendererFilter::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) CallbackRendererFilter(outer, hr);
}

CallbackRendererFilter::CallbackRendererFilter(IUnknown* outer, HRESULT* hr)
    : CBaseRenderer(CLSID_NerroCbVRenderer, L"Nerro cbVRenderer v1", outer, hr) {}

STDMETHODIMP CallbackRendererFilter::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_ICbRendererControl))
        return GetInterface(static_cast<ICbRendererControl*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP CallbackRendererFilter::GetVideoSize(LONG* width, LONG* height) {
    CheckPointer(width, E_POINTER);
    CheckPointer(height, E_POINTER);
    *width = m_Width;
    *height = m_Height;
    return S_OK;
}

STDMETHODIMP CallbackRendererFilter::SetCallback(IFrameCallback* callback) {
    CAutoLock lock(&m_RendererLock);
    m_pCallback = callback;
    return S_OK;
}

STDMETHODIMP CallbackRendererFilter::GetStreamInfo(DWORD* bitRate,
                                                   REFERENCE_TIME* avgTimePerFrame) {
    CheckPointer(bitRate, E_POINTER);
    CheckPointer(avgTimePerFrame, E_POINTER);
    *bitRate = m_BitRate;
    *avgTimePerFrame = m_AvgTimePerFrame;
    return S_OK;
}

STDMETHODIMP CallbackRendererFilter::GetVersion(DWORD* version) {
    CheckPointer(version, E_POINTER);
    *version = 0x10055;
    return S_OK;
}

HRESULT CallbackRendererFilter::CheckMediaType(const CMediaType* type) {
    if (m_bAccepted) return E_INVALIDARG;
    if (!IsEqualGUID(*type->Type(), MEDIATYPE_Video)) return E_INVALIDARG;
    if (!IsEqualGUID(*type->Subtype(), MEDIASUBTYPE_RGB32)) return E_INVALIDARG;
    const BITMAPINFOHEADER* bitmap = nullptr;
    if (IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo) &&
        type->FormatLength() >= sizeof(VIDEOINFOHEADER)) {
        auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type->Format());
        bitmap = &info->bmiHeader;
        m_BitRate = info->dwBitRate;
        m_AvgTimePerFrame = info->AvgTimePerFrame;
    } else if (IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo2) &&
               type->FormatLength() >= sizeof(VIDEOINFOHEADER2)) {
        auto* info = reinterpret_cast<const VIDEOINFOHEADER2*>(type->Format());
        bitmap = &info->bmiHeader;
        m_BitRate = info->dwBitRate;
        m_AvgTimePerFrame = info->AvgTimePerFrame;
    } else if (IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo) ||
               IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo2)) {
        // A format block shorter than its own header is not read.
        return E_INVALIDARG;
    } else {
        return S_OK; // other format types are taken without recording anything
    }
    m_Width = bitmap->biWidth;
    m_Height = bitmap->biHeight;
    m_bAccepted = TRUE;
    return S_OK;
}

HRESULT CallbackRendererFilter::SetMediaType(const CMediaType*) {
    return S_OK;
}

HRESULT CallbackRendererFilter::DoRenderSample(IMediaSample* sample) {
    // Runs under the renderer lock, so SetCallback cannot swap it mid-call.
    IFrameCallback* callback = m_pCallback;
    if (callback) callback->OnFrame(0, 0, sample);
    return S_OK;
}

HRESULT CallbackRendererFilter::BreakConnect() {
    CAutoLock lock(&m_InterfaceLock);
    return CBaseRenderer::BreakConnect();
}
