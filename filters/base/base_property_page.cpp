#include "filters/base/base_property_page.h"

#include "filters/base/factory_template.h"

HRESULT FillPageList(CAUUID* pages, const CLSID* const* clsids, ULONG count) {
    CheckPointer(pages, E_POINTER);
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (count == 0) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * count));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (ULONG i = 0; i < count; ++i)
        pages->pElems[i] = *clsids[i];
    pages->cElems = count;
    return S_OK;
}

CBasePropertyPage::CBasePropertyPage(const wchar_t* name, IUnknown* outer, int dialogId,
                                     const wchar_t* title)
    : CUnknown(name, outer), m_DialogId(dialogId), m_pTitle(title) {}

CBasePropertyPage::~CBasePropertyPage() {
    if (m_hwnd) DestroyWindow(m_hwnd);
    if (m_pPageSite) m_pPageSite->Release();
}

STDMETHODIMP CBasePropertyPage::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IPropertyPage))
        return GetInterface(static_cast<IPropertyPage*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP CBasePropertyPage::SetPageSite(IPropertyPageSite* site) {
    if (site) {
        if (m_pPageSite) return E_UNEXPECTED;
        m_pPageSite = site;
        m_pPageSite->AddRef();
    } else {
        if (!m_pPageSite) return E_UNEXPECTED;
        m_pPageSite->Release();
        m_pPageSite = nullptr;
    }
    return S_OK;
}

INT_PTR CALLBACK CBasePropertyPage::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    CBasePropertyPage* page;
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<CBasePropertyPage*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        if (!page) return TRUE;
        page->m_hwnd = hwnd;
    } else {
        page = reinterpret_cast<CBasePropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    // The measuring copy of the dialog has no page behind it.
    if (!page) return FALSE;
    return page->OnReceiveMessage(hwnd, message, wParam, lParam);
}

INT_PTR CBasePropertyPage::OnReceiveMessage(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

SIZE CBasePropertyPage::DialogSize() {
    SIZE size = {0, 0};
    HWND probe = CreateDialogParamW(g_hInst, MAKEINTRESOURCEW(m_DialogId), GetDesktopWindow(),
                                    DialogProc, 0);
    if (probe) {
        RECT rect;
        GetWindowRect(probe, &rect);
        size.cx = rect.right - rect.left;
        size.cy = rect.bottom - rect.top;
        DestroyWindow(probe);
    }
    return size;
}

STDMETHODIMP CBasePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
    CheckPointer(info, E_POINTER);
    const wchar_t* title = m_pTitle ? m_pTitle : L"";
    size_t bytes = (lstrlenW(title) + 1) * sizeof(WCHAR);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!copy) return E_OUTOFMEMORY;
    memcpy(copy, title, bytes);
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = copy;
    info->size = DialogSize();
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::SetObjects(ULONG count, IUnknown** objects) {
    if (count == 1) {
        if (!objects || !objects[0]) return E_POINTER;
        if (m_bObjectSet) {
            m_bObjectSet = FALSE;
            OnDisconnect();
        }
        HRESULT hr = OnConnect(objects[0]);
        if (FAILED(hr)) return hr;
        m_bObjectSet = TRUE;
        return S_OK;
    }
    if (count == 0) {
        m_bObjectSet = FALSE;
        return OnDisconnect();
    }
    return E_UNEXPECTED;
}

STDMETHODIMP CBasePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    CheckPointer(rect, E_POINTER);
    if (m_hwnd) return E_UNEXPECTED; // already active
    HWND made = CreateDialogParamW(g_hInst, MAKEINTRESOURCEW(m_DialogId), parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!made) return E_OUTOFMEMORY;
    m_hwnd = made;
    OnActivate();
    Move(rect);
    return Show(SW_SHOWNORMAL);
}

STDMETHODIMP CBasePropertyPage::Deactivate() {
    if (!m_hwnd) return E_UNEXPECTED;
    OnDeactivate();
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::Show(UINT command) {
    if (!m_hwnd) return E_UNEXPECTED;
    if (command != SW_SHOW && command != SW_SHOWNORMAL && command != SW_HIDE) return E_INVALIDARG;
    ShowWindow(m_hwnd, command);
    InvalidateRect(m_hwnd, nullptr, TRUE);
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::Move(LPCRECT rect) {
    CheckPointer(rect, E_POINTER);
    if (!m_hwnd) return E_UNEXPECTED;
    MoveWindow(m_hwnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
}

STDMETHODIMP CBasePropertyPage::Apply() {
    if (!m_bObjectSet) return E_UNEXPECTED;
    if (!m_bDirty) return S_OK;
    HRESULT hr = OnApplyChanges();
    if (SUCCEEDED(hr)) m_bDirty = FALSE;
    return hr;
}

STDMETHODIMP CBasePropertyPage::TranslateAccelerator(MSG*) {
    return S_FALSE;
}

void CBasePropertyPage::SetDirty() {
    m_bDirty = TRUE;
    if (m_pPageSite) m_pPageSite->OnStatusChange(PROPPAGESTATUS_DIRTY);
}
