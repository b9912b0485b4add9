// CUnknown: the IUnknown every base-class object shares. Each object has a
// non-delegating IUnknown that owns its reference count; its public IUnknown goes to
// the owner, which is the aggregating outer object or the object itself.
#pragma once
#include <objbase.h>
#include <windows.h>

struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

// Counts live objects so that the module can answer DllCanUnloadNow.
class CBaseObject {
  public:
    explicit CBaseObject(const wchar_t* name);
    virtual ~CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    static LONG ObjectsActive();

  protected:
    const wchar_t* m_pName;
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
  public:
    CUnknown(const wchar_t* name, IUnknown* outer);
    ~CUnknown() override;

    IUnknown* GetOwner() const { return m_pUnknown; }

    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) NonDelegatingAddRef() override;
    STDMETHODIMP_(ULONG) NonDelegatingRelease() override;

  protected:
    volatile LONG m_cRef = 0;

  private:
    IUnknown* const m_pUnknown;
};

// Hands out an interface pointer with a reference taken on it.
HRESULT GetInterface(IUnknown* unknown, void** object);

// Checks an out parameter before anything is written through it.
#define CheckPointer(p, ret)                                                                       \
    do {                                                                                           \
        if ((p) == nullptr) return (ret);                                                          \
    } while (0)

// The public IUnknown of a class deriving CUnknown: everything goes to the owner.
#define DECLARE_IUNKNOWN                                                                           \
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {                             \
        return GetOwner()->QueryInterface(riid, object);                                           \
    }                                                                                              \
    STDMETHODIMP_(ULONG) AddRef() override {                                                       \
        return GetOwner()->AddRef();                                                               \
    }                                                                                              \
    STDMETHODIMP_(ULONG) Release() override {                                                      \
        return GetOwner()->Release();                                                              \
    }
