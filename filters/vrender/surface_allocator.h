// The video pin's allocator. In direct mode a sample's buffer is the locked
// receiving surface itself (one sample, so one lock at a time); in copy mode the
// samples have memory of their own and the renderer copies each frame.
#pragma once
#include "filters/base/base_allocator.h"

namespace nerrorend {

class VideoRendererFilter;
class SurfaceAllocator;

class SurfaceSample : public CMediaSample {
  public:
    SurfaceSample(SurfaceAllocator* allocator, VideoRendererFilter* filter, HRESULT* hr,
                  BYTE* memory, LONG length);
    STDMETHODIMP GetPointer(BYTE** buffer) override;
    STDMETHODIMP_(LONG) GetSize() override;
    STDMETHODIMP SetActualDataLength(LONG length) override;
    // Back to "not pointed anywhere yet" as the allocator hands it out again.
    void Rewind() { m_Pointed = false; }
    // Whether the buffer the sample handed out is the surface.
    bool OnSurface() const { return m_OnSurface; }

  private:
    HRESULT Point();

    VideoRendererFilter* m_pVideo;
    BYTE* m_pOwnMemory;
    LONG m_OwnLength;
    bool m_Pointed = false;
    bool m_OnSurface = false;
};

class SurfaceAllocator : public CBaseAllocator {
  public:
    SurfaceAllocator(VideoRendererFilter* filter, HRESULT* hr);
    ~SurfaceAllocator() override;

    // Buffers are at least the image size; direct mode has one of them.
    STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request,
                               ALLOCATOR_PROPERTIES* actual) override;
    STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end,
                           DWORD flags) override;
    // The filter keeps the allocator for its whole life; its references are the
    // filter's own (as a pin's are), so the allocator is freed by the filter.
    STDMETHODIMP_(ULONG) NonDelegatingAddRef() override;
    STDMETHODIMP_(ULONG) NonDelegatingRelease() override;
    bool Owns(IMediaSample* sample);

  protected:
    HRESULT Alloc() override;
    void Free() override;

  private:
    VideoRendererFilter* m_pVideo;
    BYTE* m_pBlock = nullptr;
};

} // namespace nerrorend
