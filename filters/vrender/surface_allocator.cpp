#include "filters/vrender/surface_allocator.h"

#include <vfwmsgs.h>

#include <new>

#include "filters/vrender/video_renderer.h"

namespace nerrorend {

SurfaceSample::SurfaceSample(SurfaceAllocator* allocator, VideoRendererFilter* filter, HRESULT* hr,
                             BYTE* memory, LONG length)
    : CMediaSample(L"surface sample", allocator, hr, memory, length), m_pVideo(filter),
      m_pOwnMemory(memory), m_OwnLength(length) {}

HRESULT SurfaceSample::Point() {
    // The first use decides where this frame goes; later uses get the same place.
    if (m_Pointed) return S_OK;
    LONG length = 0;
    BYTE* memory = nullptr;
    bool onSurface = false;
    if (m_pOwnMemory) {
        memory = m_pOwnMemory;
        length = m_OwnLength;
    } else if ((memory = m_pVideo->LockForSample(&length)) != nullptr) {
        onSurface = true;
    } else {
        memory = m_pVideo->SystemBuffer(&length);
    }
    if (!memory) return E_OUTOFMEMORY;
    SetPointer(memory, length);
    m_Pointed = true;
    m_OnSurface = onSurface;
    return S_OK;
}

STDMETHODIMP SurfaceSample::GetPointer(BYTE** buffer) {
    CheckPointer(buffer, E_POINTER);
    *buffer = nullptr;
    const HRESULT hr = Point();
    if (FAILED(hr)) return hr;
    return CMediaSample::GetPointer(buffer);
}

// Upstream may ask the size, or set the length, before it asks for the memory.
STDMETHODIMP_(LONG) SurfaceSample::GetSize() {
    return SUCCEEDED(Point()) ? CMediaSample::GetSize() : 0;
}

STDMETHODIMP SurfaceSample::SetActualDataLength(LONG length) {
    const HRESULT hr = Point();
    if (FAILED(hr)) return hr;
    return CMediaSample::SetActualDataLength(length);
}

SurfaceAllocator::SurfaceAllocator(VideoRendererFilter* filter, HRESULT* hr)
    : CBaseAllocator(L"surface allocator", nullptr, hr), m_pVideo(filter) {}

SurfaceAllocator::~SurfaceAllocator() {
    Free();
}

STDMETHODIMP_(ULONG) SurfaceAllocator::NonDelegatingAddRef() {
    return m_pVideo->AddRef();
}

STDMETHODIMP_(ULONG) SurfaceAllocator::NonDelegatingRelease() {
    return m_pVideo->Release();
}

STDMETHODIMP SurfaceAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                             ALLOCATOR_PROPERTIES* actual) {
    CheckPointer(request, E_POINTER);
    CheckPointer(actual, E_POINTER);
    ALLOCATOR_PROPERTIES adjusted = *request;
    if (adjusted.cbAlign == 0) adjusted.cbAlign = 1;
    const LONG image = m_pVideo->ImageSize();
    if (adjusted.cbBuffer < image) adjusted.cbBuffer = image;
    // One surface, one lock: more samples in direct mode would share it.
    if (!m_pVideo->CopyMode() || adjusted.cBuffers < 1) adjusted.cBuffers = 1;
    return CBaseAllocator::SetProperties(&adjusted, actual);
}

HRESULT SurfaceAllocator::Alloc() {
    HRESULT hr = CBaseAllocator::Alloc();
    if (FAILED(hr)) return hr;
    Free();
    const bool copy = m_pVideo->CopyMode();
    if (copy) {
        const LONGLONG each =
            (LONGLONG(m_lSize) + m_lPrefix + m_lAlignment - 1) / m_lAlignment * m_lAlignment;
        const LONGLONG total = each * m_lCount;
        if (total <= 0 || total > 0x7fffffff) return E_OUTOFMEMORY;
        m_pBlock =
            static_cast<BYTE*>(VirtualAlloc(nullptr, SIZE_T(total), MEM_COMMIT, PAGE_READWRITE));
        if (!m_pBlock) return E_OUTOFMEMORY;
        for (LONG i = 0; i < m_lCount; ++i)
            m_pVideo->PrepareBuffer(m_pBlock + each * i + m_lPrefix, m_lSize);
        for (LONG i = 0; i < m_lCount; ++i) {
            auto* sample = new (std::nothrow)
                SurfaceSample(this, m_pVideo, &hr, m_pBlock + each * i + m_lPrefix, m_lSize);
            if (!sample) {
                Free();
                return E_OUTOFMEMORY;
            }
            PushFree(sample);
            ++m_lAllocated;
        }
    } else {
        // Direct samples get their memory when they are first pointed at.
        for (LONG i = 0; i < m_lCount; ++i) {
            auto* sample = new (std::nothrow) SurfaceSample(this, m_pVideo, &hr, nullptr, 0);
            if (!sample) {
                Free();
                return E_OUTOFMEMORY;
            }
            PushFree(sample);
            ++m_lAllocated;
        }
    }
    return S_OK;
}

void SurfaceAllocator::Free() {
    while (CMediaSample* sample = PopFree()) {
        delete sample;
        --m_lAllocated;
    }
    if (m_pBlock) {
        VirtualFree(m_pBlock, 0, MEM_RELEASE);
        m_pBlock = nullptr;
    }
    // Nothing of a decommitted allocator uses the system frame any more.
    m_pVideo->FreeSystemBuffer();
}

STDMETHODIMP SurfaceAllocator::GetBuffer(IMediaSample** out, REFERENCE_TIME* start,
                                         REFERENCE_TIME* end, DWORD flags) {
    HRESULT hr = CBaseAllocator::GetBuffer(out, start, end, flags);
    if (FAILED(hr)) return hr;
    static_cast<SurfaceSample*>(*out)->Rewind();
    // A preroll frame is decoded but never shown: it must not hold the surface.
    if (start && *start < 0) m_pVideo->MarkPreroll();
    return hr;
}

bool SurfaceAllocator::Owns(IMediaSample* sample) {
    // Our samples answer GetPointer through SurfaceSample; others are foreign.
    return sample && dynamic_cast<SurfaceSample*>(sample) != nullptr;
}

} // namespace nerrorend
