#include "filters/base/trans_in_place_filter.h"

#include <string.h>
#include <vfwmsgs.h>

#include <new>

// ---- input pin

CTransInPlaceInputPin::CTransInPlaceInputPin(const wchar_t* objectName, CTransInPlaceFilter* filter,
                                             HRESULT* hr, const wchar_t* pinName)
    : CTransformInputPin(objectName, filter, hr, pinName), m_pInPlaceFilter(filter) {}

STDMETHODIMP CTransInPlaceInputPin::GetAllocator(IMemAllocator** allocator) {
    CheckPointer(allocator, E_POINTER);
    CAutoLock lock(m_pLock);
    CTransformOutputPin* out = m_pInPlaceFilter->OutputPin();
    if (out && out->IsConnected() && out->PeekInputPin())
        return out->PeekInputPin()->GetAllocator(allocator);
    return CTransformInputPin::GetAllocator(allocator);
}

STDMETHODIMP CTransInPlaceInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    CheckPointer(allocator, E_POINTER);
    CAutoLock lock(m_pLock);
    HRESULT hr = CBaseInputPin::NotifyAllocator(allocator, readOnly);
    if (FAILED(hr)) return hr;
    // Pass the shared allocator on, unless the data may not be written.
    auto* out = static_cast<CTransInPlaceOutputPin*>(m_pInPlaceFilter->OutputPin());
    if (out && out->IsConnected() && out->PeekInputPin() &&
        !(readOnly && m_pInPlaceFilter->ModifiesData()) &&
        SUCCEEDED(out->PeekInputPin()->NotifyAllocator(allocator, readOnly)))
        out->UseAllocator(allocator); // the output now delivers from it
    return S_OK;
}

STDMETHODIMP CTransInPlaceInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
    CheckPointer(props, E_POINTER);
    CTransformOutputPin* out = m_pInPlaceFilter->OutputPin();
    if (out && out->IsConnected() && out->PeekInputPin())
        return out->PeekInputPin()->GetAllocatorRequirements(props);
    return E_NOTIMPL;
}

HRESULT CTransInPlaceInputPin::GetMediaType(int position, CMediaType* type) {
    // The downstream pin's types, so that upstream can offer them.
    CTransformOutputPin* out = m_pInPlaceFilter->OutputPin();
    if (!out || !out->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(out->CurrentMediaType());
}

HRESULT CTransInPlaceInputPin::CheckMediaType(const CMediaType* type) {
    HRESULT hr = m_pInPlaceFilter->CheckInputType(type);
    if (hr != S_OK) return hr;
    // The output passes the same type on: downstream must take it too.
    CTransformOutputPin* out = m_pInPlaceFilter->OutputPin();
    if (out && out->IsConnected()) {
        IPin* peer = out->GetConnected();
        return peer->QueryAccept(type) == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

// ---- output pin

CTransInPlaceOutputPin::CTransInPlaceOutputPin(const wchar_t* objectName,
                                               CTransInPlaceFilter* filter, HRESULT* hr,
                                               const wchar_t* pinName)
    : CTransformOutputPin(objectName, filter, hr, pinName), m_pInPlaceFilter(filter) {}

void CTransInPlaceOutputPin::UseAllocator(IMemAllocator* allocator) {
    allocator->AddRef();
    if (m_pAllocator) m_pAllocator->Release();
    m_pAllocator = allocator;
}

HRESULT CTransInPlaceOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) {
    if (!pin) return E_UNEXPECTED;
    // First choice: the allocator upstream already writes into.
    CTransformInputPin* input = m_pInPlaceFilter->InputPin();
    IMemAllocator* shared = input ? input->PeekAllocator() : nullptr;
    if (shared && !(input->IsReadOnly() && m_pInPlaceFilter->ModifiesData()) &&
        SUCCEEDED(pin->NotifyAllocator(shared, input->IsReadOnly()))) {
        UseAllocator(shared);
        return S_OK;
    }
    return CTransformOutputPin::DecideAllocator(pin, allocator);
}

HRESULT CTransInPlaceOutputPin::GetMediaType(int position, CMediaType* type) {
    CTransformInputPin* input = m_pInPlaceFilter->InputPin();
    if (!input || !input->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(input->CurrentMediaType());
}

HRESULT CTransInPlaceOutputPin::CheckMediaType(const CMediaType* type) {
    CTransformInputPin* input = m_pInPlaceFilter->InputPin();
    if (!input || !input->IsConnected()) return E_INVALIDARG;
    return m_pInPlaceFilter->CheckTransform(&input->CurrentMediaType(), type);
}

// ---- filter

CTransInPlaceFilter::CTransInPlaceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid,
                                         HRESULT*, bool modifiesData)
    : CTransformFilter(name, outer, clsid), m_bModifiesData(modifiesData) {}

CTransformInputPin* CTransInPlaceFilter::NewInputPin(HRESULT* hr) {
    return new (std::nothrow) CTransInPlaceInputPin(L"in-place input", this, hr, m_pInputPinName);
}

CTransformOutputPin* CTransInPlaceFilter::NewOutputPin(HRESULT* hr) {
    return new (std::nothrow)
        CTransInPlaceOutputPin(L"in-place output", this, hr, m_pOutputPinName);
}

HRESULT CTransInPlaceFilter::CheckTransform(const CMediaType* in, const CMediaType* out) {
    return *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTransInPlaceFilter::DecideBufferSize(IMemAllocator* allocator,
                                              ALLOCATOR_PROPERTIES* request) {
    // Our own allocator (when sharing fails) matches the upstream one.
    ALLOCATOR_PROPERTIES wanted = *request;
    IMemAllocator* upstream = m_pInput ? m_pInput->PeekAllocator() : nullptr;
    if (upstream) upstream->GetProperties(&wanted);
    if (wanted.cBuffers < 1) wanted.cBuffers = 1;
    if (wanted.cbBuffer < 1) {
        ULONG size = m_pInput ? m_pInput->CurrentMediaType().lSampleSize : 0;
        wanted.cbBuffer = size > 0 ? static_cast<LONG>(size) : 65536;
    }
    if (wanted.cbAlign < 1) wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual;
    HRESULT hr = allocator->SetProperties(&wanted, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < wanted.cbBuffer ? E_FAIL : S_OK;
}

BOOL CTransInPlaceFilter::UsingDifferentAllocators() const {
    return !m_pInput || !m_pOutput || m_pInput->PeekAllocator() != m_pOutput->PeekAllocator();
}

IMediaSample* CTransInPlaceFilter::Copy(IMediaSample* source) {
    IMediaSample* out = nullptr;
    if (FAILED(InitializeOutputSample(source, &out))) return nullptr;
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    source->GetPointer(&from);
    out->GetPointer(&to);
    LONG length = source->GetActualDataLength();
    // Never more than the output buffer holds.
    if (length > out->GetSize()) length = out->GetSize();
    if (length > 0 && from && to) memcpy(to, from, static_cast<size_t>(length));
    out->SetActualDataLength(length);
    AM_MEDIA_TYPE* type = nullptr;
    if (source->GetMediaType(&type) == S_OK && type) {
        out->SetMediaType(type);
        DeleteMediaType(type);
    }
    return out;
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample* sample) {
    if (!m_pOutput || !m_pOutput->IsConnected()) return S_OK;
    IMediaSample* working = sample;
    bool copied = false;
    if (UsingDifferentAllocators() || (m_pInput->IsReadOnly() && m_bModifiesData)) {
        working = Copy(sample);
        if (!working) return E_UNEXPECTED;
        copied = true;
    }
    HRESULT hr = DeliverTransformed(Transform(working), working);
    if (copied) working->Release();
    return hr;
}
