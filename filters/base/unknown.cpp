#include "filters/base/unknown.h"

namespace {
volatile LONG gObjectsActive = 0;
}

CBaseObject::CBaseObject(const wchar_t* name) : m_pName(name) {
    InterlockedIncrement(&gObjectsActive);
}

CBaseObject::~CBaseObject() {
    InterlockedDecrement(&gObjectsActive);
}

LONG CBaseObject::ObjectsActive() {
    return gObjectsActive;
}

// Without an outer object the owner is our own non-delegating IUnknown, whose three
// slots line up with IUnknown's.
CUnknown::CUnknown(const wchar_t* name, IUnknown* outer)
    : CBaseObject(name),
      m_pUnknown(outer ? outer
                       : reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this))) {}

CUnknown::~CUnknown() = default;

STDMETHODIMP CUnknown::NonDelegatingQueryInterface(REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    if (IsEqualIID(riid, IID_IUnknown))
        return GetInterface(reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)),
                            object);
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CUnknown::NonDelegatingAddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CUnknown::NonDelegatingRelease() {
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) {
        // A stray AddRef/Release pair inside the destructor must not delete twice.
        m_cRef = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(n);
}

HRESULT GetInterface(IUnknown* unknown, void** object) {
    CheckPointer(object, E_POINTER);
    *object = unknown;
    unknown->AddRef();
    return S_OK;
}
