// The renderer's two input pins, both named "Input": video, and subtitle text.
#pragma once
#include "filters/base/base_renderer.h"

namespace nerrorend {

class VideoRendererFilter;

class VideoInputPin : public CRendererInputPin {
  public:
    VideoInputPin(VideoRendererFilter* filter, HRESULT* hr);

    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;

  private:
    VideoRendererFilter* m_pVideo;
};

class TextInputPin : public CBaseInputPin {
  public:
    TextInputPin(VideoRendererFilter* filter, CCritSec* lock, HRESULT* hr);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT CompleteConnect(IPin*) override { return S_OK; }
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override { return S_OK; }
    STDMETHODIMP BeginFlush() override { return CBaseInputPin::BeginFlush(); }
    STDMETHODIMP EndFlush() override { return CBaseInputPin::EndFlush(); }

  private:
    VideoRendererFilter* m_pVideo;
    REFERENCE_TIME m_SegmentStart = 0;
};

} // namespace nerrorend
