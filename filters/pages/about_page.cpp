#include "filters/pages/about_page.h"

#include <new>

#include "filters/pages/page_resources.h"

CUnknown* AboutPropertyPage::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) AboutPropertyPage(outer, hr);
}

// The text itself lives in the dialog template.
AboutPropertyPage::AboutPropertyPage(IUnknown* outer, HRESULT*)
    : CBasePropertyPage(L"About Page", outer, IDD_ABOUT_PAGE, L"About") {}
