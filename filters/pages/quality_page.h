// The "Info" page: the playback figures of a renderer with IQualProp, and the
// picture size and surface type when it is the video renderer. The figures are
// read once, when the page connects; nothing on it is editable.
#pragma once
#include "filters/base/base_property_page.h"
#include "filters/base/base_video_renderer.h"

extern "C" const CLSID CLSID_NerroQualityPage;

class QualityPropertyPage : public CBasePropertyPage {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    QualityPropertyPage(IUnknown* outer, HRESULT* hr);
    ~QualityPropertyPage() override;

    HRESULT OnConnect(IUnknown* object) override;
    HRESULT OnDisconnect() override;
    HRESULT OnActivate() override;

    // "YUY2", "UYVY", "YV12", "RGB32", else "UNKN".
    static const char* SurfaceTypeName(int formatCode);

  private:
    IQualProp* m_pQualProp = nullptr;
    int m_FramesDrawn = 0;
    int m_FramesDropped = 0;
    int m_AvgFrameRate = 0;
    int m_Jitter = 0;
    int m_AvgSyncOffset = 0;
    int m_DevSyncOffset = 0;
    int m_Width = 0;
    int m_Height = 0;
    int m_FormatCode = 0;
};
