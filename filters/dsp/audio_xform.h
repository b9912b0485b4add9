// "Nerro Audio xform": runs a Winamp DSP module over PCM audio where it lies, or,
// in its visualisation mode, hands a client blocks of recent waveform from a
// worker thread of its own.
#pragma once
#include "filters/base/trans_in_place_filter.h"
#include "filters/dsp/dsp_plugin.h"
#include "filters/dsp/pcm_format.h"
#include "filters/dsp/vis_buffers.h"
#include "filters/interfaces/dsp_host_control.h"

extern "C" const CLSID CLSID_NerroAudioXform;

class AudioXformFilter : public CTransInPlaceFilter, public IDspHostControl {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    AudioXformFilter(IUnknown* outer, HRESULT* hr);
    ~AudioXformFilter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IDspHostControl
    STDMETHODIMP SetVisCallback(IDspVisCallback* callback) override;
    STDMETHODIMP GetVersion(DWORD* version) override;
    STDMETHODIMP SetMode(int mode) override;
    STDMETHODIMP PluginCommand(int command, char* text, int moduleIndex, HWND parent) override;

    HRESULT CheckInputType(const CMediaType* type) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* type) override;
    HRESULT CompleteConnect(PIN_DIRECTION direction, IPin* pin) override;
    HRESULT Transform(IMediaSample* sample) override;

  private:
    static DWORD WINAPI WorkerMain(void* self);
    void RunWorker();
    bool StartWorker();
    void StopWorker();

    dsp::PcmFormat m_format;
    volatile LONG m_mode = kDspModeIdle;
    DspPlugin m_plugin;

    // Guards the callback pointer and the history; the worker holds it while it
    // calls the client, so a cleared callback is never called afterwards.
    CCritSec m_csVis;
    dsp::VisBuffers m_vis;
    IDspVisCallback* m_pCallback = nullptr;
    HANDLE m_hWake = nullptr;
    HANDLE m_hWorker = nullptr;
    volatile LONG m_bRunning = FALSE;
};
