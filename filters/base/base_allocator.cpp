#include "filters/base/base_allocator.h"

#include <vfwmsgs.h>

CBaseAllocator::CBaseAllocator(const wchar_t* name, IUnknown* outer, HRESULT* hr)
    : CUnknown(name, outer), m_hSem(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)) {
    if (!m_hSem && hr) *hr = E_OUTOFMEMORY;
}

CBaseAllocator::~CBaseAllocator() {
    if (m_hSem) CloseHandle(m_hSem);
}

STDMETHODIMP CBaseAllocator::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IMemAllocator))
        return GetInterface(static_cast<IMemAllocator*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP CBaseAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                           ALLOCATOR_PROPERTIES* actual) {
    CheckPointer(request, E_POINTER);
    CheckPointer(actual, E_POINTER);
    CAutoLock lock(&m_Lock);
    ZeroMemory(actual, sizeof(*actual));
    if (m_bCommitted) return VFW_E_ALREADY_COMMITTED;
    if (m_lFree != m_lAllocated) return VFW_E_BUFFERS_OUTSTANDING;
    if (request->cbAlign == 0 || (request->cbAlign & (request->cbAlign - 1)) != 0)
        return VFW_E_BADALIGN;
    if (request->cBuffers < 0 || request->cbBuffer < 0 || request->cbPrefix < 0)
        return E_INVALIDARG;
    m_lCount = request->cBuffers;
    m_lSize = request->cbBuffer;
    m_lAlignment = request->cbAlign;
    m_lPrefix = request->cbPrefix;
    m_bChanged = TRUE;
    actual->cBuffers = m_lCount;
    actual->cbBuffer = m_lSize;
    actual->cbAlign = m_lAlignment;
    actual->cbPrefix = m_lPrefix;
    return S_OK;
}

STDMETHODIMP CBaseAllocator::GetProperties(ALLOCATOR_PROPERTIES* props) {
    CheckPointer(props, E_POINTER);
    CAutoLock lock(&m_Lock);
    props->cBuffers = m_lCount;
    props->cbBuffer = m_lSize;
    props->cbAlign = m_lAlignment;
    props->cbPrefix = m_lPrefix;
    return S_OK;
}

HRESULT CBaseAllocator::Alloc() {
    if (m_lCount <= 0 || m_lSize <= 0 || m_lAlignment <= 0) return VFW_E_SIZENOTSET;
    return m_bChanged ? S_OK : S_FALSE;
}

STDMETHODIMP CBaseAllocator::Commit() {
    CAutoLock lock(&m_Lock);
    if (m_bCommitted) return S_OK;
    if (m_bDecommitInProgress) {
        // The old samples are still out; they simply stay in use.
        m_bDecommitInProgress = FALSE;
        m_bCommitted = TRUE;
        return S_OK;
    }
    HRESULT hr = Alloc();
    if (FAILED(hr)) return hr;
    m_bChanged = FALSE;
    m_bCommitted = TRUE;
    return S_OK;
}

STDMETHODIMP CBaseAllocator::Decommit() {
    CAutoLock lock(&m_Lock);
    if (!m_bCommitted) return S_OK;
    m_bCommitted = FALSE;
    if (m_lFree == m_lAllocated)
        Free();
    else
        m_bDecommitInProgress = TRUE;
    // Threads waiting in GetBuffer now fail with VFW_E_NOT_COMMITTED.
    WakeWaiters();
    return S_OK;
}

void CBaseAllocator::WakeWaiters() {
    if (m_lWaiting > 0) {
        ReleaseSemaphore(m_hSem, m_lWaiting, nullptr);
        m_lWaiting = 0;
    }
}

STDMETHODIMP CBaseAllocator::GetBuffer(IMediaSample** out, REFERENCE_TIME* start,
                                       REFERENCE_TIME* end, DWORD flags) {
    CheckPointer(out, E_POINTER);
    *out = nullptr;
    CMediaSample* sample = nullptr;
    for (;;) {
        {
            CAutoLock lock(&m_Lock);
            if (!m_bCommitted) return VFW_E_NOT_COMMITTED;
            sample = PopFree();
            if (sample) break;
            if (flags & AM_GBF_NOWAIT) return VFW_E_TIMEOUT;
            ++m_lWaiting;
        }
        WaitForSingleObject(m_hSem, INFINITE);
    }
    sample->m_cRef = 1;
    sample->SetTime(start, end);
    // Each sample out keeps its allocator alive.
    AddRef();
    *out = sample;
    return S_OK;
}

STDMETHODIMP CBaseAllocator::ReleaseBuffer(IMediaSample* released) {
    CheckPointer(released, E_POINTER);
    {
        CAutoLock lock(&m_Lock);
        PushFree(static_cast<CMediaSample*>(released));
        WakeWaiters();
        if (m_bDecommitInProgress && m_lFree == m_lAllocated) {
            m_bDecommitInProgress = FALSE;
            Free();
        }
    }
    Release();
    return S_OK;
}

void CBaseAllocator::PushFree(CMediaSample* sample) {
    sample->m_pNext = m_pFreeList;
    m_pFreeList = sample;
    ++m_lFree;
}

CMediaSample* CBaseAllocator::PopFree() {
    CMediaSample* sample = m_pFreeList;
    if (sample) {
        m_pFreeList = sample->m_pNext;
        sample->m_pNext = nullptr;
        --m_lFree;
    }
    return sample;
}
