#include "filters/base/enum_media_types.h"

#include <vfwmsgs.h>

#include <new>

#include "filters/base/base_pin.h"

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, CEnumMediaTypes* from)
    : m_pPin(pin), m_Position(from ? from->m_Position : 0),
      m_Version(from ? from->m_Version : pin->GetMediaTypeVersion()) {
    m_pPin->AddRef();
}

CEnumMediaTypes::~CEnumMediaTypes() {
    m_pPin->Release();
}

STDMETHODIMP CEnumMediaTypes::QueryInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumMediaTypes))
        return GetInterface(static_cast<IEnumMediaTypes*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEnumMediaTypes::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CEnumMediaTypes::Release() {
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

bool CEnumMediaTypes::OutOfSync() const {
    return m_Version != m_pPin->GetMediaTypeVersion();
}

STDMETHODIMP CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    CheckPointer(types, E_POINTER);
    if (count > 1 && !fetched) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count) {
        CMediaType type;
        // Anything but S_OK (VFW_S_NO_MORE_ITEMS, E_NOTIMPL, ...) ends the list.
        if (m_pPin->GetMediaType(m_Position, &type) != S_OK) break;
        ++m_Position;
        types[got] = CreateMediaType(&type);
        if (!types[got]) break;
        ++got;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    while (count) {
        CMediaType type;
        if (m_pPin->GetMediaType(m_Position, &type) != S_OK) return S_FALSE;
        ++m_Position;
        --count;
    }
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Reset() {
    m_Position = 0;
    m_Version = m_pPin->GetMediaTypeVersion();
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Clone(IEnumMediaTypes** clone) {
    CheckPointer(clone, E_POINTER);
    if (OutOfSync()) {
        *clone = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    *clone = new (std::nothrow) CEnumMediaTypes(m_pPin, this);
    return *clone ? S_OK : E_OUTOFMEMORY;
}
