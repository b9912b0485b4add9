#include <vfwmsgs.h>

#include "filters/base/base_renderer.h"

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, HRESULT* hr, const wchar_t* pinName)
    : CBaseInputPin(L"renderer input pin", renderer, renderer->InterfaceLock(), hr, pinName),
      m_pRenderer(renderer) {}

STDMETHODIMP CRendererInputPin::Receive(IMediaSample* sample) {
    return m_pRenderer->Receive(sample);
}

STDMETHODIMP CRendererInputPin::EndOfStream() {
    return m_pRenderer->EndOfStream();
}

STDMETHODIMP CRendererInputPin::BeginFlush() {
    CAutoLock lock(m_pRenderer->InterfaceLock());
    CBaseInputPin::BeginFlush();
    return m_pRenderer->BeginFlush();
}

STDMETHODIMP CRendererInputPin::EndFlush() {
    CAutoLock lock(m_pRenderer->InterfaceLock());
    HRESULT hr = m_pRenderer->EndFlush();
    if (SUCCEEDED(hr)) hr = CBaseInputPin::EndFlush();
    return hr;
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* type) {
    return m_pRenderer->CheckMediaType(type);
}

HRESULT CRendererInputPin::SetMediaType(const CMediaType* type) {
    HRESULT hr = CBaseInputPin::SetMediaType(type);
    if (FAILED(hr)) return hr;
    return m_pRenderer->SetMediaType(type);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* receivePin) {
    HRESULT hr = CBaseInputPin::CompleteConnect(receivePin);
    if (FAILED(hr)) return hr;
    return m_pRenderer->CompleteConnect(receivePin);
}

HRESULT CRendererInputPin::BreakConnect() {
    HRESULT hr = m_pRenderer->BreakConnect();
    if (FAILED(hr)) return hr;
    return CBaseInputPin::BreakConnect();
}

HRESULT CRendererInputPin::Active() {
    return m_pRenderer->Active();
}

HRESULT CRendererInputPin::Inactive() {
    m_pRenderer->Inactive();
    return CBaseInputPin::Inactive();
}
