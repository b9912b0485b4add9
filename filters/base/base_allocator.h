// CBaseAllocator: the IMemAllocator contract over a free list of CMediaSamples.
// GetBuffer blocks until a sample is free or the allocator is decommitted; a sample
// returns to the list on its last Release, and the memory goes only when every
// sample is back.
#pragma once
#include <strmif.h>

#include "filters/base/critsec.h"
#include "filters/base/media_sample.h"
#include "filters/base/unknown.h"

class CBaseAllocator : public CUnknown, public IMemAllocator {
  public:
    CBaseAllocator(const wchar_t* name, IUnknown* outer, HRESULT* hr);
    ~CBaseAllocator() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request,
                               ALLOCATOR_PROPERTIES* actual) override;
    STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Commit() override;
    STDMETHODIMP Decommit() override;
    STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                           DWORD flags) override;
    STDMETHODIMP ReleaseBuffer(IMediaSample* sample) override;

    BOOL IsCommitted() const { return m_bCommitted; }

  protected:
    // Makes the samples (m_lCount of m_lSize bytes) and puts them on the free list.
    virtual HRESULT Alloc();
    // Deletes the samples and their memory; called with every sample back.
    virtual void Free() = 0;

    void PushFree(CMediaSample* sample);
    CMediaSample* PopFree();
    LONG FreeCount() const { return m_lFree; }

    CCritSec m_Lock;
    CMediaSample* m_pFreeList = nullptr;
    LONG m_lFree = 0;
    LONG m_lAllocated = 0; // samples in existence
    LONG m_lCount = 0;
    LONG m_lSize = 0;
    LONG m_lAlignment = 0;
    LONG m_lPrefix = 0;
    BOOL m_bChanged = FALSE; // properties changed since the last Alloc
    BOOL m_bCommitted = FALSE;
    BOOL m_bDecommitInProgress = FALSE;

  private:
    void WakeWaiters();
    HANDLE m_hSem;
    LONG m_lWaiting = 0;
};
