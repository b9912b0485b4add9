#include "filters/base/base_video_renderer.h"

#include <math.h>

CBaseVideoRenderer::CBaseVideoRenderer(REFCLSID clsid, const wchar_t* name, IUnknown* outer,
                                       HRESULT* hr)
    : CBaseRenderer(clsid, name, outer, hr) {
    QueryPerformanceFrequency(&m_Frequency);
    ResetStatistics();
}

CBaseVideoRenderer::~CBaseVideoRenderer() = default;

STDMETHODIMP CBaseVideoRenderer::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IQualProp)) return GetInterface(static_cast<IQualProp*>(this), object);
    if (IsEqualIID(riid, IID_IQualityControl))
        return GetInterface(static_cast<IQualityControl*>(this), object);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, object);
}

LONGLONG CBaseVideoRenderer::NowMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (m_Frequency.QuadPart <= 0) return GetTickCount();
    return now.QuadPart * 1000 / m_Frequency.QuadPart;
}

void CBaseVideoRenderer::ResetStatistics() {
    CAutoLock lock(&m_StatsLock);
    m_cFramesDrawn = m_cFramesDropped = 0;
    m_tStreamingStartMs = NowMs();
    m_tLastDrawMs = -1;
    m_iSumFrameTime = m_iSumSqFrameTime = 0;
    m_cFrameTimes = 0;
    m_iSumSync = m_iSumSqSync = 0;
    m_cSyncs = 0;
    m_bPendingSync = FALSE;
}

HRESULT CBaseVideoRenderer::OnStartStreaming() {
    ResetStatistics();
    return CBaseRenderer::OnStartStreaming();
}

void CBaseVideoRenderer::OnRenderStart(IMediaSample* sample) {
    REFERENCE_TIME start, end, now;
    CAutoLock lock(&m_StatsLock);
    m_bPendingSync = FALSE;
    if (SUCCEEDED(sample->GetTime(&start, &end)) && SUCCEEDED(StreamTime(now))) {
        m_tPendingSyncMs = (now - start) / 10000;
        m_bPendingSync = TRUE;
    }
}

void CBaseVideoRenderer::OnRenderEnd(IMediaSample*) {
    CAutoLock lock(&m_StatsLock);
    LONGLONG now = NowMs();
    ++m_cFramesDrawn;
    if (m_tLastDrawMs >= 0) {
        LONGLONG frame = now - m_tLastDrawMs;
        m_iSumFrameTime += frame;
        m_iSumSqFrameTime += frame * frame;
        ++m_cFrameTimes;
    }
    m_tLastDrawMs = now;
    if (m_bPendingSync) {
        m_iSumSync += m_tPendingSyncMs;
        m_iSumSqSync += m_tPendingSyncMs * m_tPendingSyncMs;
        ++m_cSyncs;
        m_bPendingSync = FALSE;
    }
}

void CBaseVideoRenderer::RecordDroppedFrame() {
    CAutoLock lock(&m_StatsLock);
    ++m_cFramesDropped;
}

namespace {
int deviation(LONGLONG sum, LONGLONG sumSq, int n) {
    if (n < 2) return 0;
    double mean = static_cast<double>(sum) / n;
    double var = static_cast<double>(sumSq) / n - mean * mean;
    return var > 0 ? static_cast<int>(sqrt(var) + 0.5) : 0;
}
} // namespace

STDMETHODIMP CBaseVideoRenderer::get_FramesDroppedInRenderer(int* frames) {
    CheckPointer(frames, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    *frames = m_cFramesDropped;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_FramesDrawn(int* frames) {
    CheckPointer(frames, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    *frames = m_cFramesDrawn;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_AvgFrameRate(int* rate) {
    CheckPointer(rate, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    LONGLONG elapsed = (m_tLastDrawMs >= 0 ? m_tLastDrawMs : NowMs()) - m_tStreamingStartMs;
    *rate = elapsed > 0 ? static_cast<int>(static_cast<LONGLONG>(m_cFramesDrawn) * 100000 / elapsed)
                        : 0;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_Jitter(int* jitter) {
    CheckPointer(jitter, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    *jitter = deviation(m_iSumFrameTime, m_iSumSqFrameTime, m_cFrameTimes);
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_AvgSyncOffset(int* offset) {
    CheckPointer(offset, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    *offset = m_cSyncs ? static_cast<int>(m_iSumSync / m_cSyncs) : 0;
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::get_DevSyncOffset(int* dev) {
    CheckPointer(dev, E_POINTER);
    CAutoLock lock(&m_StatsLock);
    *dev = deviation(m_iSumSync, m_iSumSqSync, m_cSyncs);
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::Notify(IBaseFilter* sender, Quality q) {
    // Nothing to adjust here; a sink set by the graph may act on it.
    if (m_pQSink) return m_pQSink->Notify(sender, q);
    return S_OK;
}

STDMETHODIMP CBaseVideoRenderer::SetSink(IQualityControl* sink) {
    m_pQSink = sink;
    return S_OK;
}
