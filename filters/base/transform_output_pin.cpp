#include <vfwmsgs.h>

#include <new>

#include "filters/base/transform_filter.h"

CTransformOutputPin::CTransformOutputPin(const wchar_t* objectName, CTransformFilter* filter,
                                         HRESULT* hr, const wchar_t* pinName)
    : CBaseOutputPin(objectName, filter, filter->FilterLock(), hr, pinName),
      m_pTransformFilter(filter) {}

CTransformOutputPin::~CTransformOutputPin() {
    delete m_pPosition;
}

STDMETHODIMP CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IMediaPosition) || IsEqualIID(riid, IID_IMediaSeeking)) {
        CheckPointer(object, E_POINTER);
        *object = nullptr;
        CAutoLock lock(m_pLock);
        // Aggregated into this pin: the pin is the seeking object's identity.
        const HRESULT hr = CreatePosPassThruOnce(m_pPosition, L"transform position", GetOwner(),
                                                 static_cast<IPin*>(m_pTransformFilter->GetPin(0)));
        if (FAILED(hr)) return hr;
        return m_pPosition->NonDelegatingQueryInterface(riid, object);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, object);
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin) {
    // Without an input type there is nothing to offer.
    CTransformInputPin* input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected()) return E_UNEXPECTED;
    HRESULT hr = m_pTransformFilter->CheckConnect(PINDIR_OUTPUT, pin);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::BreakConnect() {
    m_pTransformFilter->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* receivePin) {
    HRESULT hr = m_pTransformFilter->CompleteConnect(PINDIR_OUTPUT, receivePin);
    if (FAILED(hr)) return hr;
    return CBaseOutputPin::CompleteConnect(receivePin);
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* type) {
    CTransformInputPin* input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected()) return E_INVALIDARG;
    return m_pTransformFilter->CheckTransform(&input->CurrentMediaType(), type);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* type) {
    HRESULT hr = CBaseOutputPin::SetMediaType(type);
    if (FAILED(hr)) return hr;
    return m_pTransformFilter->SetMediaType(PINDIR_OUTPUT, type);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType* type) {
    CTransformInputPin* input = m_pTransformFilter->InputPin();
    if (!input || !input->IsConnected()) return E_UNEXPECTED;
    return m_pTransformFilter->GetMediaType(position, type);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator,
                                              ALLOCATOR_PROPERTIES* request) {
    return m_pTransformFilter->DecideBufferSize(allocator, request);
}

STDMETHODIMP CTransformOutputPin::Notify(IBaseFilter* sender, Quality q) {
    // The filter may handle it; else it goes upstream through the input pin's peer.
    if (m_pTransformFilter->AlterQuality(q) != S_FALSE) return S_OK;
    IPin* upstream =
        m_pTransformFilter->InputPin() ? m_pTransformFilter->InputPin()->GetConnected() : nullptr;
    if (!upstream) return VFW_E_NOT_FOUND;
    IQualityControl* qc = nullptr;
    if (FAILED(upstream->QueryInterface(IID_IQualityControl, reinterpret_cast<void**>(&qc))))
        return VFW_E_NOT_FOUND;
    HRESULT hr = qc->Notify(m_pTransformFilter, q);
    qc->Release();
    return hr;
}
