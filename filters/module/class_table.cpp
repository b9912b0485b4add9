#include "filters/module/class_table.h"

#include "filters/cbrender/callback_renderer.h"
#include "filters/dsp/audio_xform.h"
#include "filters/dsp/audio_xform2.h"
#include "filters/module/class_ids.h"
#include "filters/null/null_renderer.h"
#include "filters/vrender/video_renderer.h"
#include "filters/pages/about_page.h"
#include "filters/pages/quality_page.h"

// Rows whose object is not built yet have no creation routine: CreateInstance then
// fails cleanly with E_NOTIMPL, and the row still registers.
const CFactoryTemplate g_Templates[] = {
    {L"Nerro VRenderer v1", &CLSID_NerroVRenderer, nerrorend::VideoRendererFilter::CreateInstance},
    {L"Quality Property Page", &CLSID_NerroQualityPage, QualityPropertyPage::CreateInstance},
    {L"About Page", &CLSID_NerroAboutPage, AboutPropertyPage::CreateInstance},
    {L"Nerro cbVRenderer v1", &CLSID_NerroCbVRenderer, CallbackRendererFilter::CreateInstance},
    {L"Nerro Audio xform", &CLSID_NerroAudioXform, AudioXformFilter::CreateInstance},
    {L"Nerro Audio xform2", &CLSID_NerroAudioXform2, AudioXform2Filter::CreateInstance},
    {L"Nerro Null", &CLSID_NerroNull, NullRendererFilter::CreateInstance},
};
const int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

const CFactoryTemplate* FindTemplate(REFCLSID clsid) {
    for (int i = 0; i < g_cTemplates; ++i)
        if (g_Templates[i].IsClassID(clsid)) return &g_Templates[i];
    return nullptr;
}
