#include "filters/base/transform_filter.h"

#include <vfwmsgs.h>

#include <new>

CTransformFilter::CTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, &m_csFilter, clsid) {}

CTransformFilter::~CTransformFilter() {
    delete m_pInput;
    delete m_pOutput;
}

CTransformInputPin* CTransformFilter::NewInputPin(HRESULT* hr) {
    return new (std::nothrow) CTransformInputPin(L"transform input", this, hr, m_pInputPinName);
}

CTransformOutputPin* CTransformFilter::NewOutputPin(HRESULT* hr) {
    return new (std::nothrow) CTransformOutputPin(L"transform output", this, hr, m_pOutputPinName);
}

HRESULT CTransformFilter::CreatePins() {
    HRESULT hr = S_OK;
    m_pInput = NewInputPin(&hr);
    if (!m_pInput) return E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete m_pInput;
        m_pInput = nullptr;
        return hr;
    }
    m_pOutput = NewOutputPin(&hr);
    if (!m_pOutput || FAILED(hr)) {
        delete m_pOutput;
        m_pOutput = nullptr;
        delete m_pInput;
        m_pInput = nullptr;
        return FAILED(hr) ? hr : E_OUTOFMEMORY;
    }
    return S_OK;
}

CBasePin* CTransformFilter::GetPin(int n) {
    CAutoLock lock(&m_csFilter);
    if (!m_pInput && FAILED(CreatePins())) return nullptr;
    if (n == 0) return m_pInput;
    if (n == 1) return m_pOutput;
    return nullptr;
}

STDMETHODIMP CTransformFilter::FindPin(LPCWSTR id, IPin** pin) {
    GetPin(0);
    return CBaseFilter::FindPin(id, pin);
}

STDMETHODIMP CTransformFilter::Stop() {
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Stopped) return S_OK;
    if (!m_pInput || !m_pInput->IsConnected() || !m_pOutput || !m_pOutput->IsConnected()) {
        m_State = State_Stopped;
        m_bEOSDelivered = FALSE;
        return S_OK;
    }
    // Deactivating first releases a Receive waiting for an output buffer.
    m_pInput->Inactive();
    CAutoLock receiveLock(&m_csReceive);
    m_pOutput->Inactive();
    HRESULT hr = StopStreaming();
    if (SUCCEEDED(hr)) {
        m_State = State_Stopped;
        m_bEOSDelivered = FALSE;
    }
    return hr;
}

STDMETHODIMP CTransformFilter::Pause() {
    CAutoLock lock(&m_csFilter);
    HRESULT hr = S_OK;
    if (m_State == State_Paused) return S_OK;
    if (!m_pInput || !m_pInput->IsConnected()) {
        // With no input nothing will ever come: tell downstream at once.
        if (m_pOutput && m_pOutput->IsConnected() && !m_bEOSDelivered) {
            m_pOutput->DeliverEndOfStream();
            m_bEOSDelivered = TRUE;
        }
        m_State = State_Paused;
        return S_OK;
    }
    if (!m_pOutput || !m_pOutput->IsConnected()) {
        m_State = State_Paused;
        return S_OK;
    }
    if (m_State == State_Stopped) {
        CAutoLock receiveLock(&m_csReceive);
        hr = StartStreaming();
        if (FAILED(hr)) return hr;
    }
    return CBaseFilter::Pause();
}

HRESULT CTransformFilter::Transform(IMediaSample*, IMediaSample*) {
    return E_UNEXPECTED;
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* in, IMediaSample** out) {
    *out = nullptr;
    // A sync point without times may still use the timed-delivery flags.
    REFERENCE_TIME start = 0, end = 0;
    BOOL timed = SUCCEEDED(in->GetTime(&start, &end));
    DWORD flags = m_bSampleSkipped ? AM_GBF_PREVFRAMESKIPPED : 0;
    if (in->IsSyncPoint() != S_OK) flags |= AM_GBF_NOTASYNCPOINT;
    IMediaSample* sample = nullptr;
    HRESULT hr = m_pOutput->GetDeliveryBuffer(&sample, timed ? &start : nullptr,
                                              timed ? &end : nullptr, flags);
    if (FAILED(hr)) return hr;
    if (timed)
        sample->SetTime(&start, &end);
    else
        sample->SetTime(nullptr, nullptr);
    sample->SetSyncPoint(in->IsSyncPoint() == S_OK);
    sample->SetPreroll(in->IsPreroll() == S_OK);
    sample->SetDiscontinuity(m_bSampleSkipped || in->IsDiscontinuity() == S_OK);
    m_bSampleSkipped = FALSE;
    LONGLONG mediaStart, mediaEnd;
    if (in->GetMediaTime(&mediaStart, &mediaEnd) == S_OK)
        sample->SetMediaTime(&mediaStart, &mediaEnd);
    else
        sample->SetMediaTime(nullptr, nullptr);
    *out = sample;
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* sample) {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK; // nowhere to go
    IMediaSample* out = nullptr;
    HRESULT hr = InitializeOutputSample(sample, &out);
    if (FAILED(hr)) return hr;
    hr = DeliverTransformed(Transform(sample, out), out);
    out->Release();
    return hr;
}

HRESULT CTransformFilter::DeliverTransformed(HRESULT transformed, IMediaSample* out) {
    if (transformed == S_OK) {
        HRESULT hr = m_pOutput->Deliver(out);
        m_bSampleSkipped = FALSE;
        return hr;
    }
    if (transformed == S_FALSE) {
        // The transform chose to drop this one; the next is a discontinuity.
        m_bSampleSkipped = TRUE;
        return S_OK;
    }
    return transformed;
}

HRESULT CTransformFilter::EndOfStream() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverEndOfStream();
}

HRESULT CTransformFilter::BeginFlush() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverBeginFlush();
}

HRESULT CTransformFilter::EndFlush() {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverEndFlush();
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    return m_pOutput->DeliverNewSegment(start, stop, rate);
}
