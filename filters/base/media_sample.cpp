#include "filters/base/media_sample.h"

#include <vfwmsgs.h>

#include "filters/base/base_allocator.h"

CMediaSample::CMediaSample(const wchar_t*, CBaseAllocator* allocator, HRESULT* hr, BYTE* buffer,
                           LONG length)
    : m_pAllocator(allocator), m_pBuffer(buffer), m_cbBuffer(length) {
    if (hr && !allocator) *hr = E_POINTER;
}

CMediaSample::~CMediaSample() {
    if (m_pMediaType) DeleteMediaType(m_pMediaType);
}

STDMETHODIMP CMediaSample::QueryInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMediaSample))
        return GetInterface(static_cast<IMediaSample*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CMediaSample::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CMediaSample::Release() {
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) {
        ResetProperties();
        m_pAllocator->ReleaseBuffer(this);
    }
    return static_cast<ULONG>(n);
}

void CMediaSample::ResetProperties() {
    m_dwFlags = 0;
    m_lActual = 0;
    if (m_pMediaType) {
        DeleteMediaType(m_pMediaType);
        m_pMediaType = nullptr;
    }
}

HRESULT CMediaSample::SetPointer(BYTE* buffer, LONG length) {
    if (length < 0) return VFW_E_BUFFER_OVERFLOW;
    m_pBuffer = buffer;
    m_cbBuffer = length;
    m_lActual = length;
    return S_OK;
}

STDMETHODIMP CMediaSample::GetPointer(BYTE** buffer) {
    CheckPointer(buffer, E_POINTER);
    *buffer = m_pBuffer;
    return S_OK;
}

STDMETHODIMP_(LONG) CMediaSample::GetSize() {
    return m_cbBuffer;
}

STDMETHODIMP CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    if (!(m_dwFlags & kTimeValid)) return VFW_E_SAMPLE_TIME_NOT_SET;
    CheckPointer(start, E_POINTER);
    CheckPointer(end, E_POINTER);
    *start = m_Start;
    if (!(m_dwFlags & kStopValid)) {
        *end = m_Start + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *end = m_End;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    m_dwFlags &= ~(kTimeValid | kStopValid);
    if (start) {
        m_Start = *start;
        m_dwFlags |= kTimeValid;
        if (end) {
            m_End = *end;
            m_dwFlags |= kStopValid;
        }
    }
    return S_OK;
}

STDMETHODIMP CMediaSample::IsSyncPoint() {
    return (m_dwFlags & kSyncPoint) ? S_OK : S_FALSE;
}

STDMETHODIMP CMediaSample::SetSyncPoint(BOOL sync) {
    m_dwFlags = sync ? (m_dwFlags | kSyncPoint) : (m_dwFlags & ~kSyncPoint);
    return S_OK;
}

STDMETHODIMP CMediaSample::IsPreroll() {
    return (m_dwFlags & kPreroll) ? S_OK : S_FALSE;
}

STDMETHODIMP CMediaSample::SetPreroll(BOOL preroll) {
    m_dwFlags = preroll ? (m_dwFlags | kPreroll) : (m_dwFlags & ~kPreroll);
    return S_OK;
}

STDMETHODIMP_(LONG) CMediaSample::GetActualDataLength() {
    return m_lActual;
}

STDMETHODIMP CMediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > m_cbBuffer) return VFW_E_BUFFER_OVERFLOW;
    m_lActual = length;
    return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaType(AM_MEDIA_TYPE** type) {
    CheckPointer(type, E_POINTER);
    *type = nullptr;
    if (!(m_dwFlags & kTypeChanged) || !m_pMediaType) return S_FALSE;
    *type = CreateMediaType(m_pMediaType);
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMediaSample::SetMediaType(AM_MEDIA_TYPE* type) {
    if (m_pMediaType) {
        DeleteMediaType(m_pMediaType);
        m_pMediaType = nullptr;
    }
    m_dwFlags &= ~kTypeChanged;
    if (!type) return S_OK;
    m_pMediaType = CreateMediaType(type);
    if (!m_pMediaType) return E_OUTOFMEMORY;
    m_dwFlags |= kTypeChanged;
    return S_OK;
}

STDMETHODIMP CMediaSample::IsDiscontinuity() {
    return (m_dwFlags & kDiscontinuity) ? S_OK : S_FALSE;
}

STDMETHODIMP CMediaSample::SetDiscontinuity(BOOL discontinuity) {
    m_dwFlags = discontinuity ? (m_dwFlags | kDiscontinuity) : (m_dwFlags & ~kDiscontinuity);
    return S_OK;
}

STDMETHODIMP CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* end) {
    CheckPointer(start, E_POINTER);
    CheckPointer(end, E_POINTER);
    if (!(m_dwFlags & kMediaTimeValid)) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = m_MediaStart;
    *end = m_MediaEnd;
    return S_OK;
}

STDMETHODIMP CMediaSample::SetMediaTime(LONGLONG* start, LONGLONG* end) {
    if (!start) {
        m_dwFlags &= ~kMediaTimeValid;
        return S_OK;
    }
    CheckPointer(end, E_POINTER);
    m_MediaStart = *start;
    m_MediaEnd = *end;
    m_dwFlags |= kMediaTimeValid;
    return S_OK;
}
