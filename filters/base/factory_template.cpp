#include "filters/base/factory_template.h"

#include <new>

HINSTANCE g_hInst = nullptr;

namespace {

volatile LONG gServerLocks = 0;

class CClassFactory : public IClassFactory, public CBaseObject {
  public:
    explicit CClassFactory(const CFactoryTemplate* row)
        : CBaseObject(L"class factory"), row_(row) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        CheckPointer(object, E_POINTER);
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory))
            return GetInterface(static_cast<IClassFactory*>(this), object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        return row_->CreateInstance(outer, riid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&gServerLocks);
        else
            InterlockedDecrement(&gServerLocks);
        return S_OK;
    }

  private:
    const CFactoryTemplate* row_;
    volatile LONG refs_ = 0;
};

} // namespace

HRESULT CFactoryTemplate::CreateInstance(IUnknown* outer, REFIID riid, void** object) const {
    CheckPointer(object, E_POINTER);
    *object = nullptr;
    // An aggregating outer object may only ask for our non-delegating IUnknown.
    if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    if (!m_lpfnNew) return E_NOTIMPL;
    HRESULT hr = S_OK;
    CUnknown* made = m_lpfnNew(outer, &hr);
    if (!made) return FAILED(hr) ? hr : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete made;
        return hr;
    }
    // The query's reference is the caller's; when it fails the count drops back to
    // zero and the object goes.
    made->NonDelegatingAddRef();
    hr = made->NonDelegatingQueryInterface(riid, object);
    made->NonDelegatingRelease();
    if (FAILED(hr)) *object = nullptr;
    return hr;
}

HRESULT CreateClassFactory(const CFactoryTemplate* row, REFIID riid, void** object) {
    CheckPointer(object, E_POINTER);
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    auto* factory = new (std::nothrow) CClassFactory(row);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, object);
}

LONG ServerLocks() {
    return gServerLocks;
}
