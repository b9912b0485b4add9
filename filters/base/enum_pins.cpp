#include "filters/base/enum_pins.h"

#include <vfwmsgs.h>

#include <new>

#include "filters/base/base_filter.h"
#include "filters/base/base_pin.h"

CEnumPins::CEnumPins(CBaseFilter* filter, CEnumPins* from)
    : m_pFilter(filter), m_Position(from ? from->m_Position : 0),
      m_Version(from ? from->m_Version : filter->GetPinVersion()) {
    // The enumerator keeps its filter alive.
    m_pFilter->AddRef();
}

CEnumPins::~CEnumPins() {
    m_pFilter->Release();
}

STDMETHODIMP CEnumPins::QueryInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumPins))
        return GetInterface(static_cast<IEnumPins*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CEnumPins::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CEnumPins::Release() {
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

bool CEnumPins::OutOfSync() const {
    return m_Version != m_pFilter->GetPinVersion();
}

STDMETHODIMP CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    CheckPointer(pins, E_POINTER);
    if (count > 1 && !fetched) return E_INVALIDARG;
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG got = 0;
    while (got < count && m_Position < m_pFilter->GetPinCount()) {
        CBasePin* pin = m_pFilter->GetPin(m_Position++);
        if (!pin) break;
        pins[got] = pin;
        pin->AddRef();
        ++got;
    }
    if (fetched) *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    int left = m_pFilter->GetPinCount() - m_Position;
    if (static_cast<ULONG>(left < 0 ? 0 : left) < count) {
        m_Position = m_pFilter->GetPinCount();
        return S_FALSE;
    }
    m_Position += static_cast<int>(count);
    return S_OK;
}

STDMETHODIMP CEnumPins::Reset() {
    m_Position = 0;
    m_Version = m_pFilter->GetPinVersion();
    return S_OK;
}

STDMETHODIMP CEnumPins::Clone(IEnumPins** clone) {
    CheckPointer(clone, E_POINTER);
    if (OutOfSync()) {
        *clone = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    *clone = new (std::nothrow) CEnumPins(m_pFilter, this);
    return *clone ? S_OK : E_OUTOFMEMORY;
}
