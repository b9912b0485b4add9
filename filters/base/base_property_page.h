// CBasePropertyPage: an IPropertyPage over a dialog template of this module.
// SetObjects connects the page to its object (OnConnect) or lets it go
// (OnDisconnect); Activate creates the dialog as a child of the frame's window.
#pragma once
#include <ocidl.h>
#include <olectl.h>

#include "filters/base/critsec.h"
#include "filters/base/unknown.h"

// Fills ISpecifyPropertyPages::GetPages' answer: the list is CoTaskMemAlloc'ed, as
// the caller frees it with CoTaskMemFree.
HRESULT FillPageList(CAUUID* pages, const CLSID* const* clsids, ULONG count);

class CBasePropertyPage : public CUnknown, public IPropertyPage {
  public:
    CBasePropertyPage(const wchar_t* name, IUnknown* outer, int dialogId, const wchar_t* title);
    ~CBasePropertyPage() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return m_bDirty ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

    // What a page decides.
    virtual HRESULT OnConnect(IUnknown*) { return S_OK; }
    virtual HRESULT OnDisconnect() { return S_OK; }
    virtual HRESULT OnActivate() { return S_OK; }
    virtual HRESULT OnDeactivate() { return S_OK; }
    virtual HRESULT OnApplyChanges() { return S_OK; }
    virtual INT_PTR OnReceiveMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Window() const { return m_hwnd; }

  protected:
    void SetDirty();

    HWND m_hwnd = nullptr;
    IPropertyPageSite* m_pPageSite = nullptr;
    BOOL m_bDirty = FALSE;
    BOOL m_bObjectSet = FALSE;
    int m_DialogId;
    const wchar_t* m_pTitle;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    SIZE DialogSize();
};
