#include "filters/null/null_renderer.h"

#include <new>

// {ff923e42-b4cc-11d5-8b81-00d05c00ae53}
extern "C" const CLSID CLSID_NerroNull = {
    0xff923e42, 0xb4cc, 0x11d5, {0x8b, 0x81, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

CUnknown* NullRendererFilter::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) NullRendererFilter(outer, hr);
}

NullRendererFilter::NullRendererFilter(IUnknown* outer, HRESULT* hr)
    : CBaseRenderer(CLSID_NerroNull, L"Nerro Null", outer, hr) {}

HRESULT NullRendererFilter::CheckMediaType(const CMediaType*) {
    return S_OK;
}

HRESULT NullRendererFilter::DoRenderSample(IMediaSample*) {
    return S_OK;
}
