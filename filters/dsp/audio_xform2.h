// "Nerro Audio xform2": runs a Winamp DSP module over a copy of each PCM sample,
// in output buffers twice the input's size, so a module may lengthen the audio.
#pragma once
#include "filters/base/transform_filter.h"
#include "filters/dsp/dsp_plugin.h"
#include "filters/dsp/pcm_format.h"
#include "filters/interfaces/dsp_host_control.h"

extern "C" const CLSID CLSID_NerroAudioXform2;

class AudioXform2Filter : public CTransformFilter, public IDspHostControl {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    AudioXform2Filter(IUnknown* outer, HRESULT* hr);
    ~AudioXform2Filter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IDspHostControl
    STDMETHODIMP SetVisCallback(IDspVisCallback* callback) override;
    STDMETHODIMP GetVersion(DWORD* version) override;
    STDMETHODIMP SetMode(int mode) override;
    STDMETHODIMP PluginCommand(int command, char* text, int moduleIndex, HWND parent) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

  private:
    dsp::PcmFormat m_format;
    volatile LONG m_mode = kDspModeIdle;
    DspPlugin m_plugin;
};
