// CBaseRenderer: a filter with one input pin that renders each sample at its time.
//
// The contract it keeps: Pause stays intermediate until the first sample (or end of
// stream) arrives; Receive holds the sample and blocks while paused, and while
// running until the clock reaches the sample's start time; Stop and BeginFlush wake
// a blocked Receive at once. Receive answers VFW_E_WRONG_STATE when stopped and
// S_FALSE while flushing or after end of stream. End of stream posts EC_COMPLETE
// once the last sample's time has passed, and only while running.
//
// Locks: m_InterfaceLock (state changes, connection) is taken before
// m_RendererLock (the pending sample, advise and end-of-stream state);
// DoRenderSample runs under m_RendererLock. No lock is held while waiting.
#pragma once
#include "filters/base/am_event.h"
#include "filters/base/base_filter.h"
#include "filters/base/base_input_pin.h"
#include "filters/base/pos_passthru.h"

class CBaseRenderer;

class CRendererInputPin : public CBaseInputPin {
  public:
    CRendererInputPin(CBaseRenderer* renderer, HRESULT* hr, const wchar_t* pinName);

    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

  protected:
    CBaseRenderer* m_pRenderer;
};

class CBaseRenderer : public CBaseFilter {
  public:
    CBaseRenderer(REFCLSID clsid, const wchar_t* name, IUnknown* outer, HRESULT* hr);
    ~CBaseRenderer() override;

    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;
    // IMediaSeeking and IMediaPosition, passed upstream; made on first request.
    virtual HRESULT GetMediaPositionInterface(REFIID riid, void** object);

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // What a renderer decides.
    virtual HRESULT CheckMediaType(const CMediaType* type) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    virtual HRESULT SetMediaType(const CMediaType*) { return S_OK; }
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    virtual HRESULT BreakConnect();
    // A sample arrived while paused: the moment to show a still picture.
    virtual void OnReceiveFirstSample(IMediaSample*) {}
    virtual void OnRenderStart(IMediaSample*) {}
    virtual void OnRenderEnd(IMediaSample*) {}
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    virtual void PrepareRender() {}

    // Called through the input pin.
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT Active();
    virtual HRESULT Inactive();

    CCritSec* InterfaceLock() { return &m_InterfaceLock; }
    CCritSec* RendererLock() { return &m_RendererLock; }
    BOOL IsEndOfStream() const { return m_bEOS; }
    IMediaSample* PendingSample() const { return m_pMediaSample; }

  protected:
    enum WaitResult { kTimeReached, kPaused, kStopped, kFlushing };
    // Waits without locks until the stream time `when` has come in the running
    // state (at once without a time or a clock). While paused it keeps waiting,
    // unless returnOnPause.
    WaitResult WaitForRenderTime(const REFERENCE_TIME* when, bool returnOnPause);
    // Both with m_RendererLock held.
    void CancelAdvise();
    void WakeReceive();
    BOOL InputConnected() const;
    // Posts EC_COMPLETE once, when end of stream has arrived and nothing is pending.
    void SendEndOfStreamIfDue();

    CCritSec m_InterfaceLock;
    CCritSec m_RendererLock;
    // Made by GetPin(0) on first use; a renderer with a pin class of its own (or a
    // second pin) overrides GetPin/GetPinCount and stores its input pin here. The
    // destructor deletes it.
    CRendererInputPin* m_pInputPin = nullptr;
    CRendererPosPassThru* m_pPosition = nullptr;
    CAMEvent m_evComplete{TRUE}; // set unless a Pause waits for its first sample
    HANDLE m_evWake;             // state changes and flushes wake the waiting thread
    HANDLE m_evAdvise;           // the clock's advise
    DWORD_PTR m_dwAdvise = 0;
    IMediaSample* m_pMediaSample = nullptr;
    BOOL m_bEOS = FALSE;
    BOOL m_bEOSDelivered = FALSE;
    BOOL m_bLastEndKnown = FALSE;
    REFERENCE_TIME m_tLastEnd = 0;
};
