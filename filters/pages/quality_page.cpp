#include "filters/pages/quality_page.h"

#include <stdio.h>

#include <new>

#include "filters/interfaces/vrenderer_control.h"
#include "filters/pages/page_resources.h"

CUnknown* QualityPropertyPage::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) QualityPropertyPage(outer, hr);
}

QualityPropertyPage::QualityPropertyPage(IUnknown* outer, HRESULT*)
    : CBasePropertyPage(L"Quality Property Page", outer, IDD_QUALITY_PAGE, L"Info") {}

QualityPropertyPage::~QualityPropertyPage() {
    if (m_pQualProp) m_pQualProp->Release();
}

const char* QualityPropertyPage::SurfaceTypeName(int formatCode) {
    switch (formatCode) {
    case 1:
        return "YUY2";
    case 2:
        return "UYVY";
    case 3:
        return "YV12";
    case 10:
        return "RGB32";
    default:
        return "UNKN";
    }
}

HRESULT QualityPropertyPage::OnConnect(IUnknown* object) {
    if (m_pQualProp) {
        m_pQualProp->Release();
        m_pQualProp = nullptr;
    }
    IQualProp* qualProp = nullptr;
    if (FAILED(object->QueryInterface(IID_IQualProp, reinterpret_cast<void**>(&qualProp))) ||
        !qualProp)
        return E_NOINTERFACE;
    m_pQualProp = qualProp;
    // One reading; the page does not refresh.
    m_pQualProp->get_FramesDrawn(&m_FramesDrawn);
    m_pQualProp->get_FramesDroppedInRenderer(&m_FramesDropped);
    m_pQualProp->get_AvgFrameRate(&m_AvgFrameRate);
    m_pQualProp->get_Jitter(&m_Jitter);
    m_pQualProp->get_AvgSyncOffset(&m_AvgSyncOffset);
    m_pQualProp->get_DevSyncOffset(&m_DevSyncOffset);

    m_Width = m_Height = 0;
    m_FormatCode = 0;
    IVRendererControl* control = nullptr;
    if (SUCCEEDED(
            object->QueryInterface(IID_IVRendererControl, reinterpret_cast<void**>(&control))) &&
        control) {
        control->GetVideoSize(&m_Width, &m_Height);
        control->GetFormatCode(&m_FormatCode);
        control->Release();
    }
    return S_OK;
}

HRESULT QualityPropertyPage::OnDisconnect() {
    if (!m_pQualProp) return E_UNEXPECTED;
    m_pQualProp->Release();
    m_pQualProp = nullptr;
    return S_OK;
}

HRESULT QualityPropertyPage::OnActivate() {
    char text[64];
    const struct {
        int id;
        int value;
    } counts[] = {
        {IDC_FRAMES_PLAYED, m_FramesDrawn},
        {IDC_FRAMES_DROPPED, m_FramesDropped},
        {IDC_JITTER, m_Jitter},
        {IDC_SYNC_AVERAGE, m_AvgSyncOffset},
        {IDC_SYNC_DEVIATION, m_DevSyncOffset},
    };
    for (const auto& c : counts) {
        snprintf(text, sizeof(text), "%d", c.value);
        SetDlgItemTextA(m_hwnd, c.id, text);
    }
    snprintf(text, sizeof(text), "%d.%02d", m_AvgFrameRate / 100, m_AvgFrameRate % 100);
    SetDlgItemTextA(m_hwnd, IDC_FRAME_RATE, text);
    snprintf(text, sizeof(text), "%dx%d", m_Width, m_Height);
    SetDlgItemTextA(m_hwnd, IDC_VIDEO_SIZE, text);
    snprintf(text, sizeof(text), "%s", SurfaceTypeName(m_FormatCode));
    SetDlgItemTextA(m_hwnd, IDC_SURFACE_TYPE, text);
    return S_OK;
}
