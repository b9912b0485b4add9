// CBaseVideoRenderer: a renderer that keeps the playback statistics a video
// renderer reports through IQualProp, and accepts quality messages.
#pragma once
#include "filters/base/base_renderer.h"
// amvideo.h needs the stream types declared first.
#include <amvideo.h>

// The header declares the interface but not its identifier; strmiids has it.
extern "C" const IID IID_IQualProp;

class CBaseVideoRenderer : public CBaseRenderer, public IQualProp, public IQualityControl {
  public:
    CBaseVideoRenderer(REFCLSID clsid, const wchar_t* name, IUnknown* outer, HRESULT* hr);
    ~CBaseVideoRenderer() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IQualProp: counts since streaming started; times in milliseconds.
    STDMETHODIMP get_FramesDroppedInRenderer(int* frames) override;
    STDMETHODIMP get_FramesDrawn(int* frames) override;
    // Frames per second times 100.
    STDMETHODIMP get_AvgFrameRate(int* rate) override;
    // Standard deviation of the time between frames drawn.
    STDMETHODIMP get_Jitter(int* jitter) override;
    // Mean and standard deviation of (time drawn - time due).
    STDMETHODIMP get_AvgSyncOffset(int* offset) override;
    STDMETHODIMP get_DevSyncOffset(int* deviation) override;

    // IQualityControl
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;
    STDMETHODIMP SetSink(IQualityControl* sink) override;

    HRESULT OnStartStreaming() override;
    void OnRenderStart(IMediaSample* sample) override;
    void OnRenderEnd(IMediaSample* sample) override;
    // A frame that was not drawn (late or refused) counts as dropped.
    void RecordDroppedFrame();

  protected:
    void ResetStatistics();
    LONGLONG NowMs() const;

    CCritSec m_StatsLock;
    IQualityControl* m_pQSink = nullptr;
    int m_cFramesDrawn = 0;
    int m_cFramesDropped = 0;
    LONGLONG m_tStreamingStartMs = 0;
    LONGLONG m_tLastDrawMs = -1;
    // Sums for the means and deviations, in milliseconds.
    LONGLONG m_iSumFrameTime = 0;
    LONGLONG m_iSumSqFrameTime = 0;
    int m_cFrameTimes = 0;
    LONGLONG m_iSumSync = 0;
    LONGLONG m_iSumSqSync = 0;
    int m_cSyncs = 0;
    LONGLONG m_tPendingSyncMs = 0;
    BOOL m_bPendingSync = FALSE;
    LARGE_INTEGER m_Frequency = {};
};
