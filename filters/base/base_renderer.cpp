#include "filters/base/base_renderer.h"

#include <evcode.h>
#include <vfwmsgs.h>

#include <new>

CBaseRenderer::CBaseRenderer(REFCLSID clsid, const wchar_t* name, IUnknown* outer, HRESULT* hr)
    : CBaseFilter(name, outer, &m_InterfaceLock, clsid),
      m_evWake(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_evAdvise(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    m_evComplete.Set();
    if ((!m_evWake || !m_evAdvise) && hr) *hr = E_OUTOFMEMORY;
}

CBaseRenderer::~CBaseRenderer() {
    delete m_pPosition;
    delete m_pInputPin;
    if (m_evWake) CloseHandle(m_evWake);
    if (m_evAdvise) CloseHandle(m_evAdvise);
}

STDMETHODIMP CBaseRenderer::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IMediaPosition) || IsEqualIID(riid, IID_IMediaSeeking))
        return GetMediaPositionInterface(riid, object);
    return CBaseFilter::NonDelegatingQueryInterface(riid, object);
}

HRESULT CBaseRenderer::GetMediaPositionInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    *object = nullptr;
    CAutoLock lock(&m_InterfaceLock);
    const HRESULT hr = CreatePosPassThruOnce(m_pPosition, L"renderer position", GetOwner(),
                                             static_cast<IPin*>(GetPin(0)));
    if (FAILED(hr)) return hr;
    return m_pPosition->NonDelegatingQueryInterface(riid, object);
}

CBasePin* CBaseRenderer::GetPin(int n) {
    CAutoLock lock(&m_InterfaceLock);
    if (n != 0) return nullptr;
    if (!m_pInputPin) {
        HRESULT hr = S_OK;
        m_pInputPin = new (std::nothrow) CRendererInputPin(this, &hr, L"In");
        if (m_pInputPin && FAILED(hr)) {
            delete m_pInputPin;
            m_pInputPin = nullptr;
        }
    }
    return m_pInputPin;
}

BOOL CBaseRenderer::InputConnected() const {
    return m_pInputPin && m_pInputPin->IsConnected();
}

void CBaseRenderer::CancelAdvise() {
    if (m_dwAdvise) {
        if (m_pClock) m_pClock->Unadvise(m_dwAdvise);
        m_dwAdvise = 0;
    }
    ResetEvent(m_evAdvise);
}

void CBaseRenderer::WakeReceive() {
    SetEvent(m_evWake);
}

STDMETHODIMP CBaseRenderer::Stop() {
    CAutoLock lock(&m_InterfaceLock);
    HRESULT hr = CBaseFilter::Stop();
    CAutoLock renderLock(&m_RendererLock);
    m_bEOS = FALSE;
    m_bEOSDelivered = FALSE;
    m_bLastEndKnown = FALSE;
    CancelAdvise();
    m_evComplete.Set();
    WakeReceive();
    if (m_pPosition) m_pPosition->ResetMediaTime();
    return hr;
}

STDMETHODIMP CBaseRenderer::Pause() {
    CAutoLock lock(&m_InterfaceLock);
    HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) return hr;
    CAutoLock renderLock(&m_RendererLock);
    CancelAdvise();
    WakeReceive();
    // The pause is complete once there is something to show, or nothing will come.
    BOOL ready = !InputConnected() || m_bEOS || m_pMediaSample != nullptr;
    if (ready)
        m_evComplete.Set();
    else
        m_evComplete.Reset();
    return ready ? S_OK : S_FALSE;
}

STDMETHODIMP CBaseRenderer::Run(REFERENCE_TIME start) {
    {
        CAutoLock lock(&m_InterfaceLock);
        HRESULT hr = CBaseFilter::Run(start);
        if (FAILED(hr)) return hr;
        CAutoLock renderLock(&m_RendererLock);
        m_evComplete.Set();
        WakeReceive();
    }
    // An end of stream that came while paused completes now.
    SendEndOfStreamIfDue();
    return S_OK;
}

STDMETHODIMP CBaseRenderer::GetState(DWORD timeout, FILTER_STATE* state) {
    CheckPointer(state, E_POINTER);
    FILTER_STATE now = m_State;
    if (now == State_Paused && !m_evComplete.Wait(timeout)) {
        *state = State_Paused;
        return VFW_S_STATE_INTERMEDIATE;
    }
    *state = m_State;
    return S_OK;
}

HRESULT CBaseRenderer::BreakConnect() {
    CAutoLock renderLock(&m_RendererLock);
    m_bEOS = FALSE;
    m_bEOSDelivered = FALSE;
    m_bLastEndKnown = FALSE;
    if (m_pPosition) m_pPosition->ResetMediaTime();
    return S_OK;
}

HRESULT CBaseRenderer::Active() {
    return OnStartStreaming();
}

HRESULT CBaseRenderer::Inactive() {
    return OnStopStreaming();
}

CBaseRenderer::WaitResult CBaseRenderer::WaitForRenderTime(const REFERENCE_TIME* when,
                                                           bool returnOnPause) {
    for (;;) {
        {
            CAutoLock renderLock(&m_RendererLock);
            if (m_State == State_Stopped) return kStopped;
            if (m_pInputPin->IsFlushing()) return kFlushing;
            if (m_State == State_Running) {
                if (!m_dwAdvise) {
                    if (!when || !m_pClock) return kTimeReached;
                    ResetEvent(m_evAdvise);
                    HRESULT hr = m_pClock->AdviseTime(
                        m_tStart, *when, reinterpret_cast<HEVENT>(m_evAdvise), &m_dwAdvise);
                    if (FAILED(hr)) {
                        m_dwAdvise = 0;
                        return kTimeReached;
                    }
                }
            } else if (returnOnPause) {
                return kPaused;
            }
        }
        HANDLE events[2] = {m_evWake, m_evAdvise};
        DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 + 1) {
            CAutoLock renderLock(&m_RendererLock);
            // A stale advise (cancelled by a Pause in between) only loops again.
            if (m_dwAdvise && m_State == State_Running) {
                m_dwAdvise = 0;
                return kTimeReached;
            }
        }
    }
}

HRESULT CBaseRenderer::Receive(IMediaSample* sample) {
    CheckPointer(sample, E_POINTER);
    {
        CAutoLock lock(&m_InterfaceLock);
        HRESULT hr = m_pInputPin->CBaseInputPin::Receive(sample);
        if (hr != S_OK) return hr;
        CAutoLock renderLock(&m_RendererLock);
        if (m_bEOS) return S_FALSE;
        if (m_pMediaSample) return E_UNEXPECTED; // one sample at a time
        // Preroll samples only prepare the decoder; they are never shown.
        if (sample->IsPreroll() == S_OK) return S_OK;
        m_pMediaSample = sample;
        sample->AddRef();
        if (m_State == State_Paused) {
            OnReceiveFirstSample(sample);
            m_evComplete.Set();
        }
    }

    REFERENCE_TIME start = 0, end = 0;
    HRESULT timeHr = sample->GetTime(&start, &end);
    bool timed = SUCCEEDED(timeHr);
    WaitResult waited = WaitForRenderTime(timed ? &start : nullptr, false);

    HRESULT hr;
    {
        CAutoLock renderLock(&m_RendererLock);
        if (waited == kTimeReached) {
            PrepareRender();
            OnRenderStart(sample);
            if (m_pPosition && timed)
                m_pPosition->RegisterMediaTime(start + m_pInputPin->CurrentStartTime(),
                                               end + m_pInputPin->CurrentStartTime());
            hr = DoRenderSample(sample);
            OnRenderEnd(sample);
            if (timed) {
                m_tLastEnd = timeHr == VFW_S_NO_STOP_TIME ? start : end;
                m_bLastEndKnown = TRUE;
            }
        } else {
            hr = waited == kStopped ? VFW_E_WRONG_STATE : S_FALSE;
        }
        m_pMediaSample = nullptr;
    }
    sample->Release();
    return hr;
}

HRESULT CBaseRenderer::EndOfStream() {
    REFERENCE_TIME lastEnd = 0;
    BOOL endKnown = FALSE;
    {
        CAutoLock lock(&m_InterfaceLock);
        if (!m_pInputPin) return E_UNEXPECTED;
        HRESULT hr = m_pInputPin->CheckStreaming();
        if (hr == VFW_E_WRONG_STATE) return S_OK; // nothing to finish while stopped
        if (hr != S_OK) return hr;
        CAutoLock renderLock(&m_RendererLock);
        if (m_bEOS) return S_OK;
        m_bEOS = TRUE;
        if (m_State == State_Paused) m_evComplete.Set();
        if (m_State != State_Running) return S_OK; // Run posts it
        lastEnd = m_tLastEnd;
        endKnown = m_bLastEndKnown;
    }
    // The stream is complete when the last sample's time has run out.
    if (WaitForRenderTime(endKnown ? &lastEnd : nullptr, true) == kTimeReached)
        SendEndOfStreamIfDue();
    return S_OK;
}

void CBaseRenderer::SendEndOfStreamIfDue() {
    {
        CAutoLock renderLock(&m_RendererLock);
        if (!m_bEOS || m_bEOSDelivered || m_pMediaSample || m_State != State_Running) return;
        m_bEOSDelivered = TRUE;
    }
    // Outside our locks: upstream and the graph may call back into the filter.
    if (m_pPosition) m_pPosition->EOS();
    NotifyEvent(EC_COMPLETE, S_OK, 0);
}

HRESULT CBaseRenderer::BeginFlush() {
    CAutoLock renderLock(&m_RendererLock);
    m_bEOS = FALSE;
    m_bEOSDelivered = FALSE;
    CancelAdvise();
    WakeReceive();
    // A paused renderer waits for new data after a flush.
    if (m_State == State_Paused) m_evComplete.Reset();
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush() {
    CAutoLock renderLock(&m_RendererLock);
    m_bLastEndKnown = FALSE;
    if (m_pPosition) m_pPosition->ResetMediaTime();
    return S_OK;
}
