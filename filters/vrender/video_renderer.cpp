#include "filters/vrender/video_renderer.h"

#include <dvdmedia.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstring>
#include <new>

#include "filters/module/class_ids.h"
#include "filters/video/caption_blend.h"
#include "filters/video/frame_buffer.h"
#include "filters/vrender/crash_unlock.h"
#include "filters/vrender/renderer_pins.h"
#include "filters/vrender/surface_allocator.h"
#include "filters/vrender/video_subtypes.h"

namespace nerrorend {

CUnknown* VideoRendererFilter::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) VideoRendererFilter(outer, hr);
}

VideoRendererFilter::VideoRendererFilter(IUnknown* outer, HRESULT* hr)
    : CBaseVideoRenderer(CLSID_NerroVRenderer, L"Nerro VRenderer v1", outer, hr) {
    m_pAllocator = new (std::nothrow) SurfaceAllocator(this, hr);
    if (!m_pAllocator && hr) *hr = E_OUTOFMEMORY;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    const bool nt = !GetVersionExA(&version) || version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    // Outside NT a plain wait lock holds the Win16 lock for as long as the surface
    // is locked; a crash then must unlock it.
    m_LockFlags = nt ? (DDLOCK_WAIT | DDLOCK_NOSYSLOCK) : DDLOCK_WAIT;
    if (!nt) CrashUnlock::add(this);
}

VideoRendererFilter::~VideoRendererFilter() {
    CrashUnlock::remove(this);
    m_Plugin.unload();
    delete m_pTextPin;
    delete m_pAllocator;
    FreeSystemBuffer();
}

STDMETHODIMP VideoRendererFilter::NonDelegatingQueryInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    if (IsEqualIID(riid, IID_IVRendererControl))
        return GetInterface(static_cast<IVRendererControl*>(this), object);
    if (IsEqualIID(riid, IID_ISpecifyPropertyPages))
        return GetInterface(static_cast<ISpecifyPropertyPages*>(this), object);
    return CBaseVideoRenderer::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP VideoRendererFilter::GetPages(CAUUID* pages) {
    CheckPointer(pages, E_POINTER);
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(2 * sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_NerroQualityPage;
    pages->pElems[1] = CLSID_NerroAboutPage;
    pages->cElems = 2;
    return S_OK;
}

CBasePin* VideoRendererFilter::GetPin(int n) {
    CAutoLock lock(&m_InterfaceLock);
    HRESULT hr = S_OK;
    if (n == 0) {
        if (!m_pInputPin) {
            m_pInputPin = new (std::nothrow) VideoInputPin(this, &hr);
            if (m_pInputPin && FAILED(hr)) {
                delete m_pInputPin;
                m_pInputPin = nullptr;
            }
        }
        return m_pInputPin;
    }
    if (n == 1) {
        if (!m_pTextPin) {
            m_pTextPin = new (std::nothrow) TextInputPin(this, &m_InterfaceLock, &hr);
            if (m_pTextPin && FAILED(hr)) {
                delete m_pTextPin;
                m_pTextPin = nullptr;
            }
        }
        return m_pTextPin;
    }
    return nullptr;
}

bool VideoRendererFilter::Stopped() {
    CAutoLock lock(&m_InterfaceLock);
    return m_State == State_Stopped;
}

namespace {

bool subtypeAllowed(int mode, bool rgbSurfaceMode, VideoSubtype forced, VideoSubtype s) {
    switch (mode) {
    case 1:
    case 2:
        if (rgbSurfaceMode) return forced != VideoSubtype::Unknown && s == forced;
        return s == VideoSubtype::Yuy2 || s == VideoSubtype::Uyvy || s == VideoSubtype::If09 ||
               s == VideoSubtype::Yv12;
    case 3:
        if (forced != VideoSubtype::Unknown) return s == forced;
        return isRgbCode(formatCodeOf(s, false));
    default:
        return false;
    }
}

bool sameFormat(const SurfacePixelFormat& a, const SurfacePixelFormat& b) {
    return a.fourccFormat == b.fourccFormat && a.fourcc == b.fourcc && a.bitCount == b.bitCount &&
           a.greenMask == b.greenMask;
}

} // namespace

HRESULT VideoRendererFilter::CheckMediaType(const CMediaType* type) {
    CheckPointer(type, E_POINTER);
    if (!IsEqualGUID(*type->Type(), MEDIATYPE_Video)) return E_INVALIDARG;
    const bool vih2 = IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo2);
    if (!vih2 && !IsEqualGUID(*type->FormatType(), FORMAT_VideoInfo)) return E_INVALIDARG;
    // The whole header must be there before any field of it is read.
    if (!type->Format() || checkFormatLength(type->FormatLength(), vih2) != FormatFault::None)
        return E_INVALIDARG;
    const BITMAPINFOHEADER* bmi;
    const RECT* target;
    DWORD bitRate;
    REFERENCE_TIME avgTime;
    int aspectX = 0, aspectY = 0;
    if (vih2) {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER2*>(type->Format());
        bmi = &v->bmiHeader;
        target = &v->rcTarget;
        bitRate = v->dwBitRate;
        avgTime = v->AvgTimePerFrame;
        aspectX = int(v->dwPictAspectRatioX);
        aspectY = int(v->dwPictAspectRatioY);
    } else {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER*>(type->Format());
        bmi = &v->bmiHeader;
        target = &v->rcTarget;
        bitRate = v->dwBitRate;
        avgTime = v->AvgTimePerFrame;
    }
    const VideoSubtype subtype = subtypeOfGuid(*type->Subtype());
    if (subtype == VideoSubtype::Unknown) return E_INVALIDARG;

    CAutoLock lock(&m_ControlLock);
    // Without the client's DirectDraw object there is nowhere to draw.
    if (!m_Surfaces.hasDirectDraw()) return E_INVALIDARG;
    const int code = formatCodeOf(subtype, m_RgbSurfaceMode);
    VideoGeometry geometry;
    if (readGeometry(code, bmi->biWidth, bmi->biHeight, target->left, target->right, m_Band,
                     geometry) != FormatFault::None)
        return E_INVALIDARG;
    // Connected: a new type must land in the surfaces as they are.
    if (m_Ready)
        return checkSameConnection(m_Subtype, m_Geometry, subtype, geometry) == FormatFault::None
                   ? S_OK
                   : E_INVALIDARG;
    const VideoSubtype forced = subtypeOfGuid(m_ForcedSubtype);
    if (m_FirstConnectDone && m_FirstSubtype != VideoSubtype::Unknown) {
        if (subtype != m_FirstSubtype) return E_INVALIDARG;
    } else if (!subtypeAllowed(m_RenderMode, m_RgbSurfaceMode, forced, subtype)) {
        return E_INVALIDARG;
    }

    SurfacePixelFormat format;
    if (m_RenderMode == 3) {
        // A display format with no subtype (a palette) is refused, never guessed.
        const VideoSubtype display =
            m_Surfaces.displayFormat(format) ? subtypeOfDisplay(format) : VideoSubtype::Unknown;
        if (display == VideoSubtype::Unknown) {
            m_Status = 2;
            return E_INVALIDARG;
        }
        m_ForcedSubtype = guidOf(display);
    } else {
        format = surfaceFormatFor(subtype);
    }
    const int rows = geometry.height + m_Band;
    if (!m_Surfaces.exists() || m_Surfaces.width() != geometry.pictureWidth ||
        m_Surfaces.rows() != rows || !sameFormat(m_Surfaces.format(), format)) {
        if (m_Surfaces.create(m_RenderMode == 1 ? 1 : m_RenderMode, format, geometry.pictureWidth,
                              rows) != SurfaceResult::Ok) {
            m_Status = m_RenderMode == 1 ? 1 : 2;
            return E_INVALIDARG;
        }
    }
    m_Subtype = subtype;
    m_FormatCode = code;
    m_Geometry = geometry;
    m_VideoInfo2 = vih2;
    m_BitRate = bitRate;
    m_AvgTimePerFrame = avgTime;
    m_AspectX = vih2 ? aspectX : 0;
    m_AspectY = vih2 ? aspectY : 0;
    m_Pitch = m_Surfaces.probePitch(m_LockFlags);
    const size_t rowBytes = size_t(geometry.strideWidth) * size_t(bytesPerPixel(code));
    // The proposals are in the surface's own format (the display's in mode 3), so
    // the pitch is counted in its pixels.
    const VideoSubtype surfaceSubtype =
        format.fourccFormat ? subtypeOfFourcc(format.fourcc) : subtypeOfDisplay(format);
    const int surfaceBytes = bytesPerPixel(formatCodeOf(surfaceSubtype, false));
    m_PitchPixels = geometry.strideWidth;
    m_WantRenegotiation = false;
    if (m_Pitch && surfaceBytes &&
        (m_Pitch != rowBytes || !surfaceMatchesSubtype(format, subtype))) {
        m_PitchPixels = int(m_Pitch / size_t(surfaceBytes));
        m_WantRenegotiation = true;
    }
    if (!m_FirstConnectDone) {
        m_FirstSubtype = subtype;
        return S_OK;
    }
    FinishConnection();
    return S_OK;
}

void VideoRendererFilter::FinishConnection() {
    m_Pitch = m_Surfaces.probePitch(m_LockFlags);
    const size_t rowBytes = size_t(m_Geometry.strideWidth) * size_t(bytesPerPixel(m_FormatCode));
    const bool bottomUpRgb = isRgbCode(m_FormatCode) && m_Geometry.bottomUp;
    m_Copy = !canDeliverDirect(m_Surfaces.format(), m_Subtype, m_Pitch, rowBytes, bottomUpRgb);
    m_Flip = bottomUpRgb;
    m_Surfaces.fillBlack(baseFormatCode(m_FormatCode), m_LockFlags);
    m_Ready = true;
}

HRESULT VideoRendererFilter::SetMediaType(const CMediaType*) {
    return S_OK;
}

HRESULT VideoRendererFilter::CompleteConnect(IPin* receivePin) {
    CMediaType proposals[4];
    int proposalCount = 0;
    bool renegotiate = false;
    {
        CAutoLock lock(&m_ControlLock);
        if (!m_FirstConnectDone) {
            m_FirstConnectDone = true;
            renegotiate = m_WantRenegotiation && receivePin && GetFilterGraph();
            for (int i = 0; renegotiate && i < 4; ++i) {
                if (ProposeTypeLocked(kRenegotiationPosition + i, &proposals[proposalCount]) !=
                    S_OK)
                    break;
                ++proposalCount;
            }
            if (!proposalCount) FinishConnection();
        }
    }
    // Upstream is asked outside our lock; it may call back into the pin.
    int accepted = -1;
    for (int i = 0; i < proposalCount && accepted < 0; ++i)
        if (receivePin->QueryAccept(&proposals[i]) == S_OK) accepted = i;
    {
        CAutoLock lock(&m_ControlLock);
        if (accepted >= 0) {
            // The reconnection builds the surfaces again for the accepted type.
            m_FirstSubtype = subtypeOfGuid(proposals[accepted].subtype);
            m_Surfaces.release();
            m_Ready = false;
        } else if (proposalCount) {
            FinishConnection();
        }
        m_Status = 0;
        if (m_Ready) InitPlugin();
    }
    if (accepted >= 0) GetFilterGraph()->Reconnect(receivePin);
    return S_OK;
}

void VideoRendererFilter::ReleaseSurfacesLocked() {
    if (m_Surfaces.overlay() && m_Surfaces.primary() && m_Status == 0)
        m_Surfaces.overlay()->UpdateOverlay(nullptr, m_Surfaces.primary(), nullptr, DDOVER_HIDE,
                                            nullptr);
    m_Surfaces.release();
    m_Ready = false;
    // A failure to make the surfaces stays readable until the next attempt.
    if (m_Status == 0) m_Status = 3;
}

HRESULT VideoRendererFilter::BreakConnect() {
    {
        CAutoLock lock(&m_ControlLock);
        ReleaseSurfacesLocked();
        m_Plugin.deinit();
        m_Copy = true;
        m_Flip = false;
        m_OwnAllocator = false;
        m_WantRenegotiation = false;
        m_BandClear.stop();
        m_DropNext = false;
        m_Subtype = VideoSubtype::Unknown;
        m_Geometry = VideoGeometry();
    }
    return CBaseVideoRenderer::BreakConnect();
}

ProposalContext VideoRendererFilter::Proposals() const {
    ProposalContext c;
    c.proposalsOn = m_Proposals;
    c.firstConnectDone = m_FirstConnectDone;
    c.renderMode = m_RenderMode;
    c.rgbSurfaceMode = m_RgbSurfaceMode;
    c.rgbSubtype = subtypeOfGuid(m_ForcedSubtype);
    c.videoInfo2 = m_VideoInfo2;
    c.pictureWidth = m_Geometry.pictureWidth;
    c.height = m_Geometry.height;
    c.band = m_Band;
    c.pitchPixels = m_PitchPixels;
    c.aspectX = m_AspectX;
    c.aspectY = m_AspectY;
    return c;
}

HRESULT VideoRendererFilter::ProposeType(int position, CMediaType* type) {
    CAutoLock lock(&m_ControlLock);
    return ProposeTypeLocked(position, type);
}

HRESULT VideoRendererFilter::ProposeTypeLocked(int position, CMediaType* type) {
    CheckPointer(type, E_POINTER);
    ProposedType t;
    switch (proposeType(Proposals(), position, t)) {
    case ProposalResult::NotImplemented:
        return E_NOTIMPL;
    case ProposalResult::InvalidArgument:
        return E_INVALIDARG;
    case ProposalResult::NoMoreItems:
        return VFW_S_NO_MORE_ITEMS;
    case ProposalResult::Ok:
        break;
    }
    const ULONG header = m_VideoInfo2 ? sizeof(VIDEOINFOHEADER2) : sizeof(VIDEOINFOHEADER);
    BYTE* format = type->AllocFormatBuffer(header + (t.hasMasks ? 3 * sizeof(DWORD) : 0));
    if (!format) return E_OUTOFMEMORY;
    type->SetType(&MEDIATYPE_Video);
    const GUID subtype = guidOf(t.subtype);
    type->SetSubtype(&subtype);
    type->SetFormatType(m_VideoInfo2 ? &FORMAT_VideoInfo2 : &FORMAT_VideoInfo);
    type->SetTemporalCompression(FALSE);
    type->SetSampleSize(t.sampleSize);
    const RECT picture = {t.target.left, t.target.top, t.target.right, t.target.bottom};
    BITMAPINFOHEADER* bmi;
    if (m_VideoInfo2) {
        auto* v = reinterpret_cast<VIDEOINFOHEADER2*>(format);
        v->rcSource = v->rcTarget = picture;
        v->dwBitRate = m_BitRate;
        v->AvgTimePerFrame = m_AvgTimePerFrame;
        v->dwPictAspectRatioX = DWORD(m_AspectX);
        v->dwPictAspectRatioY = DWORD(m_AspectY);
        bmi = &v->bmiHeader;
    } else {
        auto* v = reinterpret_cast<VIDEOINFOHEADER*>(format);
        v->rcSource = v->rcTarget = picture;
        v->dwBitRate = m_BitRate;
        v->AvgTimePerFrame = m_AvgTimePerFrame;
        bmi = &v->bmiHeader;
    }
    bmi->biSize = sizeof(BITMAPINFOHEADER);
    bmi->biWidth = t.biWidth;
    bmi->biHeight = t.biHeight;
    bmi->biPlanes = 1;
    bmi->biBitCount = t.bitCount;
    bmi->biCompression = t.compression;
    bmi->biSizeImage = t.sampleSize;
    if (t.hasMasks) std::memcpy(format + header, t.masks, sizeof t.masks);
    return S_OK;
}

void VideoRendererFilter::SetUsingOwnAllocator(bool own) {
    CAutoLock lock(&m_ControlLock);
    m_OwnAllocator = own;
}

void VideoRendererFilter::NewVideoSegment() {
    // A new segment may lock the surface again after a failed lock.
    CAutoLock lock(&m_ControlLock);
    m_LockingAllowed = true;
}

bool VideoRendererFilter::CopyMode() {
    CAutoLock lock(&m_ControlLock);
    return m_Copy;
}

LONG VideoRendererFilter::ImageSize() {
    CAutoLock lock(&m_ControlLock);
    return LONG(imageSize(m_FormatCode, m_Geometry.strideWidth, m_Geometry.height + m_Band));
}

void VideoRendererFilter::MarkPreroll() {
    CAutoLock lock(&m_ControlLock);
    m_DropNext = true;
    m_LockingAllowed = false;
}

BYTE* VideoRendererFilter::LockForSample(LONG* length) {
    CAutoLock lock(&m_ControlLock);
    if (!m_Ready || !m_LockingAllowed || m_Surfaces.locked()) return nullptr;
    FrameBuffer frame;
    if (FAILED(m_Surfaces.lock(m_LockFlags, frame, baseFormatCode(m_FormatCode)))) {
        // Later frames of this segment go to system memory until locking is allowed again.
        m_LockingAllowed = false;
        return nullptr;
    }
    *length = LONG(frame.length);
    return frame.data;
}

BYTE* VideoRendererFilter::SystemBuffer(LONG* length) {
    CAutoLock lock(&m_ControlLock);
    const LONG size =
        LONG(imageSize(m_FormatCode, m_Geometry.strideWidth, m_Geometry.height + m_Band));
    if (size <= 0) return nullptr;
    if (m_pSystemBuffer && m_SystemBufferSize != size) {
        VirtualFree(m_pSystemBuffer, 0, MEM_RELEASE);
        m_pSystemBuffer = nullptr;
    }
    if (!m_pSystemBuffer) {
        m_pSystemBuffer =
            static_cast<BYTE*>(VirtualAlloc(nullptr, SIZE_T(size), MEM_COMMIT, PAGE_READWRITE));
        m_SystemBufferSize = m_pSystemBuffer ? size : 0;
        if (m_pSystemBuffer) PrepareBuffer(m_pSystemBuffer, size);
    }
    *length = m_SystemBufferSize;
    return m_pSystemBuffer;
}

void VideoRendererFilter::FreeSystemBuffer() {
    CAutoLock lock(&m_ControlLock);
    if (m_pSystemBuffer) VirtualFree(m_pSystemBuffer, 0, MEM_RELEASE);
    m_pSystemBuffer = nullptr;
    m_SystemBufferSize = 0;
}

void VideoRendererFilter::PrepareBuffer(BYTE* buffer, LONG length) {
    CAutoLock lock(&m_ControlLock);
    FrameBuffer frame;
    frame.data = buffer;
    frame.length = size_t(length);
    frame.code = baseFormatCode(m_FormatCode);
    frame.width = m_Geometry.strideWidth;
    frame.rows = m_Geometry.height + m_Band;
    frame.stride = SampleStride();
    fillBlackRows(frame, 0, frame.rows);
}

size_t VideoRendererFilter::SampleStride() const {
    return size_t(m_Geometry.strideWidth) * size_t(bytesPerPixel(m_FormatCode));
}

void VideoRendererFilter::DrawCaptions(BYTE* data, size_t length) {
    FrameBuffer frame;
    frame.data = data;
    frame.length = length;
    frame.code = baseFormatCode(m_FormatCode);
    frame.width = m_Geometry.pictureWidth;
    frame.rows = m_Geometry.height + m_Band;
    frame.stride = SampleStride();
    if (m_Captions.anyShown() && captionsBlendInto(frame.code) &&
        m_Captions.ensureBitmap(frame.width, frame.rows) && m_Captions.paint()) {
        if (m_Captions.titleShown())
            blendCaption(m_Tables, m_Captions.bitmap(), m_Captions.titleRect(), frame);
        if (m_Captions.osdShown())
            blendCaption(m_Tables, m_Captions.bitmap(), m_Captions.osdRect(), frame);
    }
    if (m_BandClear.frame() && m_Band > 1) fillBlackRows(frame, m_Geometry.height, m_Band - 1);
}

HRESULT VideoRendererFilter::Receive(IMediaSample* sample) {
    CheckPointer(sample, E_POINTER);
    {
        CAutoLock lock(&m_ControlLock);
        m_LockingAllowed = true;
        if (m_DropNext) {
            // A preroll frame: never shown, and it must not keep the surface locked.
            m_DropNext = false;
            m_Surfaces.unlock();
            return S_OK;
        }
        BYTE* data = nullptr;
        if (m_Ready && SUCCEEDED(sample->GetPointer(&data)) && data) {
            const bool own = m_OwnAllocator && m_pAllocator->Owns(sample);
            // Our own buffers hold the band rows too; a foreign one only its data.
            LONG length = own ? sample->GetSize() : sample->GetActualDataLength();
            if (length < 0 || length > sample->GetSize()) length = sample->GetSize();
            m_Plugin.process(data);
            DrawCaptions(data, size_t(length));
        }
        // The frame is in the surface; let go of it before waiting for its time.
        m_Surfaces.unlock();
    }
    return CBaseVideoRenderer::Receive(sample);
}

HRESULT VideoRendererFilter::DoRenderSample(IMediaSample* sample) {
    ITextSink* sink = nullptr;
    {
        CAutoLock lock(&m_ControlLock);
        if (m_Ready && m_Surfaces.exists()) {
            const bool own = m_OwnAllocator && m_pAllocator->Owns(sample);
            const bool onSurface = own && static_cast<SurfaceSample*>(sample)->OnSurface();
            BYTE* data = nullptr;
            if (!onSurface && SUCCEEDED(sample->GetPointer(&data)) && data) {
                LONG length = own ? sample->GetSize() : sample->GetActualDataLength();
                if (length < 0 || length > sample->GetSize()) length = sample->GetSize();
                FrameBuffer surface;
                if (SUCCEEDED(
                        m_Surfaces.lock(m_LockFlags, surface, baseFormatCode(m_FormatCode)))) {
                    const int sampleRows = m_Geometry.height + (own ? m_Band : 0);
                    copyFrame(data, size_t(length), SampleStride(), sampleRows, surface, m_Flip,
                              m_Geometry.height);
                    m_Surfaces.unlock();
                }
            }
            // The back buffer holds the new frame now: show it.
            if (m_Surfaces.mode() == 1) m_Surfaces.flip();
        }
        if (m_SinkPerFrame) sink = m_pSink;
    }
    if (sink) sink->OnText(0, 0, nullptr);
    return S_OK;
}

void VideoRendererFilter::OnReceiveFirstSample(IMediaSample*) {
    CAutoLock lock(&m_ControlLock);
    m_LockingAllowed = true;
}

HRESULT VideoRendererFilter::Active() {
    {
        CAutoLock lock(&m_ControlLock);
        m_LockingAllowed = true;
    }
    return CBaseVideoRenderer::Active();
}

HRESULT VideoRendererFilter::Inactive() {
    {
        CAutoLock lock(&m_ControlLock);
        m_Surfaces.unlock();
    }
    return CBaseVideoRenderer::Inactive();
}

HRESULT VideoRendererFilter::OnStopStreaming() {
    {
        CAutoLock lock(&m_ControlLock);
        m_Surfaces.unlock();
    }
    return CBaseVideoRenderer::OnStopStreaming();
}

HRESULT VideoRendererFilter::BeginFlush() {
    {
        CAutoLock lock(&m_ControlLock);
        m_Surfaces.unlock();
    }
    return CBaseVideoRenderer::BeginFlush();
}

HRESULT VideoRendererFilter::EndFlush() {
    return CBaseVideoRenderer::EndFlush();
}

void VideoRendererFilter::SendText(int startMs, int stopMs, const char* text) {
    ITextSink* sink;
    {
        CAutoLock lock(&m_ControlLock);
        sink = m_pSink;
    }
    if (sink) sink->OnText(startMs, stopMs, text);
}

void VideoRendererFilter::InitPlugin() {
    if (!m_Plugin.loaded()) return;
    const bool direct = !m_Copy && m_OwnAllocator;
    m_Plugin.init(m_Geometry.pictureWidth, m_Geometry.height,
                  int(pluginStride(direct, m_Pitch, m_FormatCode, m_Geometry.strideWidth)),
                  m_FormatCode);
}

void VideoRendererFilter::CrashUnlockSurface() {
    // No lock: the thread that crashed may hold it. Unlocking twice is harmless.
    if (IDirectDrawSurface* s = m_Surfaces.receiving())
        if (void* memory = m_Surfaces.lockedMemory()) s->Unlock(memory);
}

} // namespace nerrorend
