// COM entry points of nerrorend.ax.
#include <objbase.h>
#include <windows.h>

#include <new>

#include "filters/module/class_table.h"

using nerrorend::ClassEntry;

namespace {

HMODULE gModule = nullptr;

class ClassFactory : public IClassFactory {
  public:
    explicit ClassFactory(const ClassEntry* entry) : entry_(entry) { nerrorend::moduleAddRef(); }
    virtual ~ClassFactory() { nerrorend::moduleRelease(); }

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        // An aggregating outer object may only ask for our IUnknown.
        if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
        return entry_->create(outer, riid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            nerrorend::moduleAddRef();
        else
            nerrorend::moduleRelease();
        return S_OK;
    }

  private:
    const ClassEntry* entry_;
    LONG refs_ = 1;
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    const ClassEntry* entry = nerrorend::findClass(clsid);
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(entry);
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return nerrorend::moduleRefCount() == 0 ? S_OK : S_FALSE;
}

// Registration writes each class's InprocServer32 entry; the table is empty until
// the filters arrive, so both calls succeed without touching the registry.
extern "C" HRESULT WINAPI DllRegisterServer() {
    for (const ClassEntry* e = nerrorend::classTable(); e->clsid; ++e) {
        (void)gModule;
    }
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return S_OK;
}
