// IVRendererControl: the video renderer's interface for its client, in its fixed
// vtable order (clients call it by slot). The property pages use GetVideoSize and
// GetFormatCode.
#pragma once
#include <strmif.h>

#include "filters/interfaces/text_sink.h"

struct IDirectDraw;
struct IDirectDrawSurface;
struct ITextSink;

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
    // With mode 0 the width is a pointer to the GUID of the subtype to force.
    virtual HRESULT STDMETHODCALLTYPE SetRenderMode(int proposals, int mode, INT_PTR width,
                                                    int height) = 0;
    virtual HRESULT STDMETHODCALLTYPE BltTo(IDirectDrawSurface** surface) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReleaseSurfaces(IDirectDrawSurface** surface) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTextSink(ITextSink* sink) = 0;
    // Option 8 takes a text pointer as its value.
    virtual HRESULT STDMETHODCALLTYPE SetOption(int id, INT_PTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOsdStyle(HFONT font, COLORREF colour, int y) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOsdText(const char* text) = 0;
    // Returns the status itself: 3 not connected yet, 1 or 2 no surface, 0 ready.
    virtual HRESULT STDMETHODCALLTYPE GetSurfaceStatus() = 0;
    virtual HRESULT STDMETHODCALLTYPE BltFrom(IDirectDrawSurface** surface) = 0;
    // Direction 0 copies the packed buffer into the surface, 1 the other way.
    virtual HRESULT STDMETHODCALLTYPE CopyPicture(BYTE* buffer, int direction) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadPlugin(const char* path) = 0;
    // Returns pgCall's int, or 0 without a plug-in that has it.
    virtual HRESULT STDMETHODCALLTYPE PluginCall(int a, int b) = 0;
};

// The value GetVersion writes.
constexpr DWORD kVRendererVersion = 0x10055;
