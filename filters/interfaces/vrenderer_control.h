// IVRendererControl: the video renderer's interface for its client, in its fixed
// vtable order. The property pages use GetVideoSize and GetFormatCode.
#pragma once
#include <strmif.h>

struct IDirectDraw;
struct IDirectDrawSurface;

// {df967e60-d1fd-11d4-8b80-00d05c00ae53}
extern "C" const IID IID_IVRendererControl;

struct IVRendererControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetOverlayRects(RECT* source, RECT* destination) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVideoSize(int* width, int* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, DWORD* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, DWORD key) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDisplaySize(int width, int height) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDirectDraw(IDirectDraw** directDraw,
                                                    IDirectDrawSurface** primary) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRenderSurface(IDirectDrawSurface** surface) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAspectRatio(int* x, int* y) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamInfo(DWORD* bitRate,
                                                    REFERENCE_TIME* avgTimePerFrame) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVersion(DWORD* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFormatCode(int* code) = 0;
};
