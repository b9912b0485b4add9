#include "filters/vrender/renderer_pins.h"

#include <uuids.h>
#include <vfwmsgs.h>

#include <string>

#include "filters/video/subtitle_sample.h"
#include "filters/vrender/surface_allocator.h"
#include "filters/vrender/video_renderer.h"

namespace nerrorend {

VideoInputPin::VideoInputPin(VideoRendererFilter* filter, HRESULT* hr)
    : CRendererInputPin(filter, hr, L"Input"), m_pVideo(filter) {}

STDMETHODIMP VideoInputPin::GetAllocator(IMemAllocator** allocator) {
    CheckPointer(allocator, E_POINTER);
    SurfaceAllocator* own = m_pVideo->Allocator();
    if (!own) {
        *allocator = nullptr;
        return VFW_E_NO_ALLOCATOR;
    }
    *allocator = own;
    own->AddRef();
    return S_OK;
}

STDMETHODIMP VideoInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
    CAutoLock lock(m_pRenderer->InterfaceLock());
    HRESULT hr = CRendererInputPin::NotifyAllocator(allocator, readOnly);
    if (SUCCEEDED(hr))
        m_pVideo->SetUsingOwnAllocator(allocator ==
                                       static_cast<IMemAllocator*>(m_pVideo->Allocator()));
    return hr;
}

STDMETHODIMP VideoInputPin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

STDMETHODIMP VideoInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    m_pVideo->NewVideoSegment();
    return CRendererInputPin::NewSegment(start, stop, rate);
}

HRESULT VideoInputPin::GetMediaType(int position, CMediaType* type) {
    return m_pVideo->ProposeType(position, type);
}

TextInputPin::TextInputPin(VideoRendererFilter* filter, CCritSec* lock, HRESULT* hr)
    : CBaseInputPin(L"text input pin", filter, lock, hr, L"Input"), m_pVideo(filter) {}

HRESULT TextInputPin::CheckMediaType(const CMediaType* type) {
    return type && IsEqualGUID(*type->Type(), MEDIATYPE_Text) ? S_OK : E_FAIL;
}

STDMETHODIMP TextInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME, double) {
    m_SegmentStart = start;
    m_pVideo->SendText(0, 0, nullptr);
    return S_OK;
}

STDMETHODIMP TextInputPin::Receive(IMediaSample* sample) {
    // S_FALSE (flushing) and errors alike end here; only S_OK goes on.
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return S_OK;
    LONG length = sample->GetActualDataLength();
    if (length < 0 || length > sample->GetSize()) length = sample->GetSize();
    if (length <= 0) return S_OK;
    const size_t valid = size_t(length);
    if (isGab1Sample(data, valid)) {
        // Record times are absolute already.
        for (const SubtitleCue& cue : parseGab1(data, valid))
            m_pVideo->SendText(cue.startMs, cue.stopMs, cue.text.c_str());
        return S_OK;
    }
    // Our own copy: the upstream sample stays as it came.
    std::string text;
    if (parsePlainSubtitle(data, valid, text))
        m_pVideo->SendText(sampleTimeMs(start, m_SegmentStart), sampleTimeMs(stop, m_SegmentStart),
                           text.c_str());
    return S_OK;
}

} // namespace nerrorend
