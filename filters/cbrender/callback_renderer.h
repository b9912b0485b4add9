// "Nerro cbVRenderer v1": hands each RGB32 video sample, at its time, to the
// client's callback object.
#pragma once
#include "filters/base/base_renderer.h"
#include "filters/interfaces/cb_renderer_control.h"

extern "C" const CLSID CLSID_NerroCbVRenderer;

class CallbackRendererFilter : public CBaseRenderer, public ICbRendererControl {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    CallbackRendererFilter(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // ICbRendererControl
    STDMETHODIMP GetVideoSize(LONG* width, LONG* height) override;
    STDMETHODIMP SetCallback(IFrameCallback* callback) override;
    STDMETHODIMP GetStreamInfo(DWORD* bitRate, REFERENCE_TIME* avgTimePerFrame) override;
    STDMETHODIMP GetVersion(DWORD* version) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT BreakConnect() override;
    // Nothing is handed over before the graph runs.
    void OnReceiveFirstSample(IMediaSample*) override {}

  private:
    LONG m_Width = 0;
    LONG m_Height = 0;
    DWORD m_BitRate = 0;
    REFERENCE_TIME m_AvgTimePerFrame = 0;
    // One instance connects once: after the first accepted type every type is
    // refused, also after a disconnection.
    BOOL m_bAccepted = FALSE;
    IFrameCallback* volatile m_pCallback = nullptr;
};
