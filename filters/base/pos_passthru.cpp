#include "filters/base/pos_passthru.h"

#include <uuids.h>
#include <vfwmsgs.h>

namespace {
// IMediaPosition counts seconds; IMediaSeeking 100 ns units.
constexpr double kUnitsPerSecond = 10000000.0;
LONGLONG toUnits(REFTIME seconds) {
    return static_cast<LONGLONG>(seconds * kUnitsPerSecond);
}
REFTIME toSeconds(LONGLONG units) {
    return static_cast<REFTIME>(units) / kUnitsPerSecond;
}
} // namespace

CPosPassThru::CPosPassThru(const wchar_t* name, IUnknown* outer, HRESULT* hr, IPin* pin)
    : CUnknown(name, outer), m_pPin(pin) {
    if (!pin && hr) *hr = E_POINTER;
}

CPosPassThru::~CPosPassThru() = default;

STDMETHODIMP CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IMediaSeeking))
        return GetInterface(static_cast<IMediaSeeking*>(this), object);
    if (IsEqualIID(riid, IID_IMediaPosition) || IsEqualIID(riid, IID_IDispatch))
        return GetInterface(static_cast<IMediaPosition*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(riid, object);
}

HRESULT CPosPassThru::GetPeerSeeking(IMediaSeeking** seeking) {
    *seeking = nullptr;
    IPin* peer = nullptr;
    if (FAILED(m_pPin->ConnectedTo(&peer)) || !peer) return VFW_E_NOT_CONNECTED;
    HRESULT hr = peer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(seeking));
    peer->Release();
    return FAILED(hr) ? E_NOTIMPL : S_OK;
}

HRESULT CPosPassThru::GetPeerPosition(IMediaPosition** position) {
    *position = nullptr;
    IPin* peer = nullptr;
    if (FAILED(m_pPin->ConnectedTo(&peer)) || !peer) return VFW_E_NOT_CONNECTED;
    HRESULT hr = peer->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(position));
    peer->Release();
    return FAILED(hr) ? E_NOTIMPL : S_OK;
}

// Forwards one IMediaSeeking call to the peer.
#define FORWARD_SEEKING(call)                                                                      \
    IMediaSeeking* peer = nullptr;                                                                 \
    HRESULT hr = GetPeerSeeking(&peer);                                                            \
    if (FAILED(hr)) return hr;                                                                     \
    hr = peer->call;                                                                               \
    peer->Release();                                                                               \
    return hr

STDMETHODIMP CPosPassThru::GetCapabilities(DWORD* caps) {
    CheckPointer(caps, E_POINTER);
    FORWARD_SEEKING(GetCapabilities(caps));
}
STDMETHODIMP CPosPassThru::CheckCapabilities(DWORD* caps) {
    CheckPointer(caps, E_POINTER);
    FORWARD_SEEKING(CheckCapabilities(caps));
}
STDMETHODIMP CPosPassThru::IsFormatSupported(const GUID* format) {
    CheckPointer(format, E_POINTER);
    FORWARD_SEEKING(IsFormatSupported(format));
}
STDMETHODIMP CPosPassThru::QueryPreferredFormat(GUID* format) {
    CheckPointer(format, E_POINTER);
    FORWARD_SEEKING(QueryPreferredFormat(format));
}
STDMETHODIMP CPosPassThru::GetTimeFormat(GUID* format) {
    CheckPointer(format, E_POINTER);
    FORWARD_SEEKING(GetTimeFormat(format));
}
STDMETHODIMP CPosPassThru::IsUsingTimeFormat(const GUID* format) {
    CheckPointer(format, E_POINTER);
    FORWARD_SEEKING(IsUsingTimeFormat(format));
}
STDMETHODIMP CPosPassThru::SetTimeFormat(const GUID* format) {
    CheckPointer(format, E_POINTER);
    FORWARD_SEEKING(SetTimeFormat(format));
}
STDMETHODIMP CPosPassThru::GetDuration(LONGLONG* duration) {
    CheckPointer(duration, E_POINTER);
    FORWARD_SEEKING(GetDuration(duration));
}
STDMETHODIMP CPosPassThru::GetStopPosition(LONGLONG* stop) {
    CheckPointer(stop, E_POINTER);
    FORWARD_SEEKING(GetStopPosition(stop));
}
STDMETHODIMP CPosPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                             LONGLONG source, const GUID* sourceFormat) {
    CheckPointer(target, E_POINTER);
    FORWARD_SEEKING(ConvertTimeFormat(target, targetFormat, source, sourceFormat));
}
STDMETHODIMP CPosPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                        DWORD stopFlags) {
    FORWARD_SEEKING(SetPositions(current, currentFlags, stop, stopFlags));
}
STDMETHODIMP CPosPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
    FORWARD_SEEKING(GetAvailable(earliest, latest));
}
STDMETHODIMP CPosPassThru::SetRate(double rate) {
    if (rate == 0.0) return E_INVALIDARG;
    FORWARD_SEEKING(SetRate(rate));
}
STDMETHODIMP CPosPassThru::GetRate(double* rate) {
    CheckPointer(rate, E_POINTER);
    FORWARD_SEEKING(GetRate(rate));
}
STDMETHODIMP CPosPassThru::GetPreroll(LONGLONG* preroll) {
    CheckPointer(preroll, E_POINTER);
    FORWARD_SEEKING(GetPreroll(preroll));
}

STDMETHODIMP CPosPassThru::GetCurrentPosition(LONGLONG* current) {
    CheckPointer(current, E_POINTER);
    LONGLONG stop;
    // Our own idea of the position counts only in the default time format.
    if (GetMediaTime(current, &stop) == S_OK) {
        IMediaSeeking* peer = nullptr;
        if (FAILED(GetPeerSeeking(&peer))) return S_OK;
        HRESULT using100ns = peer->IsUsingTimeFormat(&TIME_FORMAT_MEDIA_TIME);
        peer->Release();
        if (using100ns == S_OK) return S_OK;
    }
    FORWARD_SEEKING(GetCurrentPosition(current));
}

STDMETHODIMP CPosPassThru::GetPositions(LONGLONG* current, LONGLONG* stop) {
    IMediaSeeking* peer = nullptr;
    HRESULT hr = GetPeerSeeking(&peer);
    if (FAILED(hr)) return hr;
    hr = peer->GetPositions(current, stop);
    peer->Release();
    if (SUCCEEDED(hr) && current) {
        LONGLONG own, ownStop;
        if (GetMediaTime(&own, &ownStop) == S_OK) *current = own;
    }
    return hr;
}

STDMETHODIMP CPosPassThru::GetTypeInfoCount(UINT* count) {
    CheckPointer(count, E_POINTER);
    *count = 0;
    return S_OK;
}
STDMETHODIMP CPosPassThru::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    CheckPointer(info, E_POINTER);
    *info = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CPosPassThru::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}
STDMETHODIMP CPosPassThru::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                  UINT*) {
    return E_NOTIMPL;
}

// IMediaPosition goes to the peer's IMediaPosition when it has one, else through
// its IMediaSeeking in seconds.
#define FORWARD_POSITION(call)                                                                     \
    IMediaPosition* peer = nullptr;                                                                \
    if (SUCCEEDED(GetPeerPosition(&peer))) {                                                       \
        HRESULT hr = peer->call;                                                                   \
        peer->Release();                                                                           \
        return hr;                                                                                 \
    }

STDMETHODIMP CPosPassThru::get_Duration(REFTIME* length) {
    CheckPointer(length, E_POINTER);
    FORWARD_POSITION(get_Duration(length));
    LONGLONG units;
    HRESULT hr = GetDuration(&units);
    if (SUCCEEDED(hr)) *length = toSeconds(units);
    return hr;
}
STDMETHODIMP CPosPassThru::put_CurrentPosition(REFTIME time) {
    FORWARD_POSITION(put_CurrentPosition(time));
    LONGLONG units = toUnits(time);
    return SetPositions(&units, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
}
STDMETHODIMP CPosPassThru::get_CurrentPosition(REFTIME* time) {
    CheckPointer(time, E_POINTER);
    LONGLONG units, stop;
    if (GetMediaTime(&units, &stop) == S_OK) {
        *time = toSeconds(units);
        return S_OK;
    }
    FORWARD_POSITION(get_CurrentPosition(time));
    HRESULT hr = GetCurrentPosition(&units);
    if (SUCCEEDED(hr)) *time = toSeconds(units);
    return hr;
}
STDMETHODIMP CPosPassThru::get_StopTime(REFTIME* time) {
    CheckPointer(time, E_POINTER);
    FORWARD_POSITION(get_StopTime(time));
    LONGLONG units;
    HRESULT hr = GetStopPosition(&units);
    if (SUCCEEDED(hr)) *time = toSeconds(units);
    return hr;
}
STDMETHODIMP CPosPassThru::put_StopTime(REFTIME time) {
    FORWARD_POSITION(put_StopTime(time));
    LONGLONG units = toUnits(time);
    return SetPositions(nullptr, AM_SEEKING_NoPositioning, &units, AM_SEEKING_AbsolutePositioning);
}
STDMETHODIMP CPosPassThru::get_PrerollTime(REFTIME* time) {
    CheckPointer(time, E_POINTER);
    FORWARD_POSITION(get_PrerollTime(time));
    LONGLONG units;
    HRESULT hr = GetPreroll(&units);
    if (SUCCEEDED(hr)) *time = toSeconds(units);
    return hr;
}
STDMETHODIMP CPosPassThru::put_PrerollTime(REFTIME time) {
    FORWARD_POSITION(put_PrerollTime(time));
    return E_NOTIMPL;
}
STDMETHODIMP CPosPassThru::put_Rate(double rate) {
    FORWARD_POSITION(put_Rate(rate));
    return SetRate(rate);
}
STDMETHODIMP CPosPassThru::get_Rate(double* rate) {
    CheckPointer(rate, E_POINTER);
    FORWARD_POSITION(get_Rate(rate));
    return GetRate(rate);
}
STDMETHODIMP CPosPassThru::CanSeekForward(LONG* can) {
    CheckPointer(can, E_POINTER);
    FORWARD_POSITION(CanSeekForward(can));
    DWORD caps = AM_SEEKING_CanSeekForwards;
    *can = CheckCapabilities(&caps) == S_OK ? -1 : 0;
    return S_OK;
}
STDMETHODIMP CPosPassThru::CanSeekBackward(LONG* can) {
    CheckPointer(can, E_POINTER);
    FORWARD_POSITION(CanSeekBackward(can));
    DWORD caps = AM_SEEKING_CanSeekBackwards;
    *can = CheckCapabilities(&caps) == S_OK ? -1 : 0;
    return S_OK;
}

CRendererPosPassThru::CRendererPosPassThru(const wchar_t* name, IUnknown* outer, HRESULT* hr,
                                           IPin* pin)
    : CPosPassThru(name, outer, hr, pin) {}

HRESULT CRendererPosPassThru::RegisterMediaTime(IMediaSample* sample) {
    CheckPointer(sample, E_POINTER);
    // Stream time: upstream's media times may count frames instead.
    LONGLONG start, stop;
    HRESULT hr = sample->GetTime(&start, &stop);
    if (FAILED(hr)) return hr;
    return RegisterMediaTime(start, stop);
}

HRESULT CRendererPosPassThru::RegisterMediaTime(LONGLONG start, LONGLONG stop) {
    CAutoLock lock(&m_PositionLock);
    m_StartMedia = start;
    m_EndMedia = stop;
    m_bReset = FALSE;
    return S_OK;
}

HRESULT CRendererPosPassThru::ResetMediaTime() {
    CAutoLock lock(&m_PositionLock);
    m_StartMedia = m_EndMedia = 0;
    m_bReset = TRUE;
    return S_OK;
}

HRESULT CRendererPosPassThru::EOS() {
    // At the end the position is the stop position.
    LONGLONG stop = 0;
    if (FAILED(GetStopPosition(&stop))) return ResetMediaTime();
    return RegisterMediaTime(stop, stop);
}

HRESULT CRendererPosPassThru::GetMediaTime(LONGLONG* start, LONGLONG* stop) {
    CAutoLock lock(&m_PositionLock);
    if (m_bReset) return S_FALSE;
    *start = m_StartMedia;
    *stop = m_EndMedia;
    return S_OK;
}
