// CMediaSample: one buffer of an allocator. Its last Release hands it back to the
// allocator instead of deleting it.
#pragma once
#include <strmif.h>

#include "filters/base/media_type.h"

class CBaseAllocator;

class CMediaSample : public IMediaSample {
  public:
    CMediaSample(const wchar_t* name, CBaseAllocator* allocator, HRESULT* hr,
                 BYTE* buffer = nullptr, LONG length = 0);
    virtual ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetPointer(BYTE** buffer) override;
    STDMETHODIMP_(LONG) GetSize() override;
    STDMETHODIMP GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    STDMETHODIMP SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
    STDMETHODIMP IsSyncPoint() override;
    STDMETHODIMP SetSyncPoint(BOOL sync) override;
    STDMETHODIMP IsPreroll() override;
    STDMETHODIMP SetPreroll(BOOL preroll) override;
    STDMETHODIMP_(LONG) GetActualDataLength() override;
    STDMETHODIMP SetActualDataLength(LONG length) override;
    STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP IsDiscontinuity() override;
    STDMETHODIMP SetDiscontinuity(BOOL discontinuity) override;
    STDMETHODIMP GetMediaTime(LONGLONG* start, LONGLONG* end) override;
    STDMETHODIMP SetMediaTime(LONGLONG* start, LONGLONG* end) override;

    // Gives the sample its memory (allocators that place buffers themselves).
    HRESULT SetPointer(BYTE* buffer, LONG length);
    // Back to a blank sample, as the allocator hands it out.
    void ResetProperties();

    CMediaSample* m_pNext = nullptr; // the allocator's free list

  protected:
    friend class CBaseAllocator;
    enum : DWORD {
        kSyncPoint = 1,
        kPreroll = 2,
        kDiscontinuity = 4,
        kTimeValid = 8,
        kStopValid = 16,
        kMediaTimeValid = 32,
        kTypeChanged = 64
    };
    CBaseAllocator* m_pAllocator;
    BYTE* m_pBuffer;
    LONG m_cbBuffer;
    LONG m_lActual = 0;
    DWORD m_dwFlags = 0;
    REFERENCE_TIME m_Start = 0;
    REFERENCE_TIME m_End = 0;
    LONGLONG m_MediaStart = 0;
    LONGLONG m_MediaEnd = 0;
    AM_MEDIA_TYPE* m_pMediaType = nullptr;
    volatile LONG m_cRef = 0;
};
