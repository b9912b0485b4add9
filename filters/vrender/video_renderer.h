// "Nerro VRenderer v1": a video renderer that draws into DirectDraw surfaces its
// client owns, with captions blended into the frames, a subtitle text pin and a
// post-processing plug-in hook. The client drives it through IVRendererControl.
//
// Locks, always taken in this order: the interface lock (state, connection), the
// renderer lock (the pending sample; DoRenderSample runs under it), then m_ControlLock
// (surfaces, mode, options, captions, plug-in). The streaming thread never holds
// m_ControlLock across the base class's wait in Receive.
#pragma once
#include <ocidl.h>

#include "filters/base/base_video_renderer.h"
#include "filters/interfaces/text_sink.h"
#include "filters/interfaces/vrenderer_control.h"
#include "filters/video/alternative_types.h"
#include "filters/video/caption_layout.h"
#include "filters/video/format_code.h"
#include "filters/video/yuv_tables.h"
#include "filters/vrender/caption_painter.h"
#include "filters/vrender/processing_plugin.h"
#include "filters/vrender/surface_set.h"

extern "C" const CLSID CLSID_NerroVRenderer;

namespace nerrorend {

class SurfaceAllocator;
class VideoInputPin;
class TextInputPin;

class VideoRendererFilter : public ISpecifyPropertyPages,
                            public CBaseVideoRenderer,
                            public IVRendererControl {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    VideoRendererFilter(IUnknown* outer, HRESULT* hr);
    ~VideoRendererFilter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // ISpecifyPropertyPages: the "Info" and "About" pages.
    STDMETHODIMP GetPages(CAUUID* pages) override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    void OnReceiveFirstSample(IMediaSample* sample) override;
    HRESULT OnStopStreaming() override;
    void PrepareRender() override {}
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // IVRendererControl, in its table order.
    STDMETHODIMP SetOverlayRects(RECT* source, RECT* destination) override;
    STDMETHODIMP GetVideoSize(int* width, int* height) override;
    STDMETHODIMP GetColorKey(DWORD flags, DWORD* key) override;
    STDMETHODIMP SetColorKey(DWORD flags, DWORD key) override;
    STDMETHODIMP SetDisplaySize(int width, int height) override;
    STDMETHODIMP SetDirectDraw(IDirectDraw** directDraw, IDirectDrawSurface** primary) override;
    STDMETHODIMP GetRenderSurface(IDirectDrawSurface** surface) override;
    STDMETHODIMP GetAspectRatio(int* x, int* y) override;
    STDMETHODIMP GetStreamInfo(DWORD* bitRate, REFERENCE_TIME* avgTimePerFrame) override;
    STDMETHODIMP GetVersion(DWORD* version) override;
    STDMETHODIMP GetFormatCode(int* code) override;
    STDMETHODIMP SetRenderMode(int proposals, int mode, INT_PTR width, int height) override;
    STDMETHODIMP BltTo(IDirectDrawSurface** surface) override;
    STDMETHODIMP ReleaseSurfaces(IDirectDrawSurface** surface) override;
    STDMETHODIMP SetTextSink(ITextSink* sink) override;
    STDMETHODIMP SetOption(int id, INT_PTR value) override;
    STDMETHODIMP SetOsdStyle(HFONT font, COLORREF colour, int y) override;
    STDMETHODIMP SetOsdText(const char* text) override;
    STDMETHODIMP GetSurfaceStatus() override;
    STDMETHODIMP BltFrom(IDirectDrawSurface** surface) override;
    STDMETHODIMP CopyPicture(BYTE* buffer, int direction) override;
    STDMETHODIMP LoadPlugin(const char* path) override;
    STDMETHODIMP PluginCall(int a, int b) override;

    // For the pins and the allocator.
    HRESULT ProposeType(int position, CMediaType* type);
    void SetUsingOwnAllocator(bool own);
    void NewVideoSegment();
    // Direct delivery: the locked surface as a sample buffer, or null.
    BYTE* LockForSample(LONG* length);
    // The system-memory frame a sample gets when the surface cannot be locked.
    BYTE* SystemBuffer(LONG* length);
    LONG ImageSize();
    bool CopyMode();
    void MarkPreroll();
    // The text pin's samples and segments, passed to the sink.
    void SendText(int startMs, int stopMs, const char* text);
    SurfaceAllocator* Allocator() const { return m_pAllocator; }
    // From the crash handler outside NT: lets go of a locked surface.
    void CrashUnlockSurface();
    // New copy-mode buffers start black, band rows included.
    void PrepareBuffer(BYTE* buffer, LONG length);
    void FreeSystemBuffer();

  private:
    // Whether the filter is stopped; takes the interface lock, so call it before
    // m_ControlLock.
    bool Stopped();
    HRESULT ProposeTypeLocked(int position, CMediaType* type);
    void FinishConnection();
    void ReleaseSurfacesLocked();
    void DrawCaptions(BYTE* frame, size_t length);
    size_t SampleStride() const;
    void InitPlugin();
    ProposalContext Proposals() const;

    CCritSec m_ControlLock;
    SurfaceAllocator* m_pAllocator = nullptr;
    TextInputPin* m_pTextPin = nullptr;

    SurfaceSet m_Surfaces;
    const YuvTables m_Tables;
    CaptionPainter m_Captions;
    ProcessingPlugin m_Plugin;
    ITextSink* m_pSink = nullptr;
    BandClearCountdown m_BandClear;

    // Client settings.
    int m_RenderMode = 1;
    bool m_Proposals = false;
    GUID m_ForcedSubtype = GUID_NULL;
    bool m_RgbSurfaceMode = false;
    bool m_SinkPerFrame = false;
    int m_Band = 0;
    int m_DisplayWidth = 0, m_DisplayHeight = 0;
    RECT m_Destination = {0, 0, 0, 0};
    bool m_ColourKey = false;

    // The connection.
    VideoSubtype m_Subtype = VideoSubtype::Unknown;
    VideoSubtype m_FirstSubtype = VideoSubtype::Unknown;
    int m_FormatCode = kFormatNone;
    VideoGeometry m_Geometry;
    bool m_VideoInfo2 = false;
    DWORD m_BitRate = 0;
    REFERENCE_TIME m_AvgTimePerFrame = 0;
    int m_AspectX = 0, m_AspectY = 0;
    size_t m_Pitch = 0;
    int m_PitchPixels = 0;
    bool m_WantRenegotiation = false;
    bool m_FirstConnectDone = false;
    bool m_Ready = false;
    bool m_Copy = true;
    bool m_Flip = false;
    bool m_OwnAllocator = false;
    int m_Status = 3;

    // Streaming.
    DWORD m_LockFlags = DDLOCK_WAIT | DDLOCK_NOSYSLOCK;
    bool m_LockingAllowed = true;
    bool m_DropNext = false;
    BYTE* m_pSystemBuffer = nullptr;
    LONG m_SystemBufferSize = 0;
};

} // namespace nerrorend
