#include "filters/base/base_input_pin.h"

#include <evcode.h>
#include <vfwmsgs.h>

#include <new>

#include "filters/base/base_filter.h"
#include "filters/base/mem_allocator.h"

CBaseInputPin::CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock,
                             HRESULT* hr, const wchar_t* pinName)
    : CBasePin(objectName, filter, lock, hr, pinName, PINDIR_INPUT) {}

CBaseInputPin::~CBaseInputPin() {
    if (m_pAllocator) m_pAllocator->Release();
}

STDMETHODIMP CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IMemInputPin))
        return GetInterface(static_cast<IMemInputPin*>(this), object);
    return CBasePin::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP CBaseInputPin::GetAllocator(IMemAllocator** allocator) {
    CheckPointer(allocator, E_POINTER);
    CAutoLock lock(m_pLock);
    if (!m_pAllocator) {
        HRESULT hr = S_OK;
        auto* made = new (std::nothrow) CMemAllocator(L"input pin allocator", nullptr, &hr);
        if (!made) return E_OUTOFMEMORY;
        if (FAILED(hr)) {
            delete made;
            return hr;
        }
        made->NonDelegatingAddRef();
        m_pAllocator = made;
    }
    *allocator = m_pAllocator;
    m_pAllocator->AddRef();
    return S_OK;
}

STDMETHODIMP CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    CheckPointer(allocator, E_POINTER);
    CAutoLock lock(m_pLock);
    allocator->AddRef();
    if (m_pAllocator) m_pAllocator->Release();
    m_pAllocator = allocator;
    m_bReadOnly = readOnly;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) {
    return E_NOTIMPL;
}

HRESULT CBaseInputPin::CheckStreaming() {
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (m_bFlushing) return S_FALSE;
    if (m_bRunTimeError) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::Receive(IMediaSample* sample) {
    CheckPointer(sample, E_POINTER);
    HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    // A sample may announce a new type; one we cannot take ends the stream.
    AM_MEDIA_TYPE* changed = nullptr;
    if (sample->GetMediaType(&changed) == S_OK && changed) {
        CMediaType type(*changed);
        DeleteMediaType(changed);
        hr = CheckMediaType(&type);
        if (hr != S_OK) {
            // The graph aborts on the error event; no end of stream is sent from here,
            // where the caller may hold its filter's locks.
            m_bRunTimeError = TRUE;
            m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
            return VFW_E_INVALIDMEDIATYPE;
        }
        SetMediaType(&type);
    }
    return S_OK;
}

STDMETHODIMP CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
    CheckPointer(samples, E_POINTER);
    CheckPointer(processed, E_POINTER);
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

STDMETHODIMP CBaseInputPin::ReceiveCanBlock() {
    return S_OK;
}

STDMETHODIMP CBaseInputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    m_bFlushing = TRUE;
    return S_OK;
}

STDMETHODIMP CBaseInputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    m_bFlushing = FALSE;
    m_bRunTimeError = FALSE;
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect() {
    if (m_pAllocator) {
        m_pAllocator->Decommit();
        m_pAllocator->Release();
        m_pAllocator = nullptr;
    }
    return S_OK;
}

HRESULT CBaseInputPin::Inactive() {
    m_bRunTimeError = FALSE;
    // Upstream threads blocked in GetBuffer on our allocator wake up and fail.
    if (m_pAllocator) m_pAllocator->Decommit();
    return S_OK;
}
