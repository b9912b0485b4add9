// The "About" page: the filter pack's name and notice.
#pragma once
#include "filters/base/base_property_page.h"

extern "C" const CLSID CLSID_NerroAboutPage;

class AboutPropertyPage : public CBasePropertyPage {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    AboutPropertyPage(IUnknown* outer, HRESULT* hr);
};
