#include "filters/base/mem_allocator.h"

#include <vfwmsgs.h>

#include <new>

CMemAllocator::CMemAllocator(const wchar_t* name, IUnknown* outer, HRESULT* hr)
    : CBaseAllocator(name, outer, hr) {}

CMemAllocator::~CMemAllocator() {
    // Decommit has freed the samples unless some were never returned; those are the
    // caller's leak, but the block itself must go.
    if (m_lFree == m_lAllocated) ReallyFree();
}

STDMETHODIMP CMemAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                          ALLOCATOR_PROPERTIES* actual) {
    CheckPointer(request, E_POINTER);
    CheckPointer(actual, E_POINTER);
    ALLOCATOR_PROPERTIES adjusted = *request;
    if (adjusted.cbAlign == 0) adjusted.cbAlign = 1;
    // The prefix sits in front of each buffer; keep buffer starts aligned.
    if (adjusted.cbAlign > 1 && adjusted.cbBuffer > 0) {
        LONG whole = adjusted.cbBuffer + adjusted.cbPrefix;
        LONG rem = whole % adjusted.cbAlign;
        if (rem) adjusted.cbBuffer += adjusted.cbAlign - rem;
    }
    return CBaseAllocator::SetProperties(&adjusted, actual);
}

HRESULT CMemAllocator::Alloc() {
    HRESULT hr = CBaseAllocator::Alloc();
    if (FAILED(hr)) return hr;
    if (hr == S_FALSE && m_pBuffer) return S_OK; // the same properties: keep the samples
    if (m_lAllocated) ReallyFree();

    LONGLONG each = static_cast<LONGLONG>(m_lSize) + m_lPrefix;
    LONGLONG total = each * m_lCount;
    if (total <= 0 || total > 0x7fffffff) return E_OUTOFMEMORY;
    m_pBuffer = static_cast<BYTE*>(
        VirtualAlloc(nullptr, static_cast<SIZE_T>(total), MEM_COMMIT, PAGE_READWRITE));
    if (!m_pBuffer) return E_OUTOFMEMORY;
    for (LONG i = 0; i < m_lCount; ++i) {
        BYTE* start = m_pBuffer + each * i + m_lPrefix;
        CMediaSample* sample =
            new (std::nothrow) CMediaSample(L"CMemAllocator sample", this, &hr, start, m_lSize);
        if (!sample) {
            ReallyFree();
            return E_OUTOFMEMORY;
        }
        PushFree(sample);
        ++m_lAllocated;
    }
    return S_OK;
}

void CMemAllocator::Free() {
    // The block stays for a later Commit with the same properties.
}

void CMemAllocator::ReallyFree() {
    while (CMediaSample* sample = PopFree()) {
        delete sample;
        --m_lAllocated;
    }
    if (m_pBuffer) {
        VirtualFree(m_pBuffer, 0, MEM_RELEASE);
        m_pBuffer = nullptr;
    }
}
