// "Nerro Null": a renderer that takes any type and throws every sample away, at
// the stream's real-time rate.
#pragma once
#include "filters/base/base_renderer.h"

extern "C" const CLSID CLSID_NerroNull;

class NullRendererFilter : public CBaseRenderer {
  public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    NullRendererFilter(IUnknown* outer, HRESULT* hr);

    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
};
