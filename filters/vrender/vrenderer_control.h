// IVRendererControl: how a client drives "Nerro VRenderer v1". The methods stay in
// this order; clients call them by their place in the table.
#pragma once
#include <ddraw.h>
#include <objbase.h>
#include <windows.h>

#include "filters/vrender/text_sink.h"

// {df967e60-d1fd-11d4-8b80-00d05c00ae53}
inline const IID IID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

// The value GetVersion writes.
constexpr DWORD kVRendererVersion = 0x10055;

struct IVRendererControl : public IUnknown {
    // Overlay source (null: derived from the visible part of the destination) and destination.
    virtual HRESULT STDMETHODCALLTYPE SetOverlayRects(RECT* source, RECT* destination) = 0;
    // Picture width, and height + band.
    virtual HRESULT STDMETHODCALLTYPE GetVideoSize(int* width, int* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, DWORD key) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDisplaySize(int width, int height) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDirectDraw(IDirectDraw** directDraw,
                                                    IDirectDrawSurface** primary) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRenderSurface(IDirectDrawSurface** surface) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAspectRatio(int* x, int* y) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamInfo(DWORD* bitRate, LONGLONG* avgTimePerFrame) = 0;
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
    // Direction 0 copies the buffer into the surface, 1 the surface into the buffer.
    virtual HRESULT STDMETHODCALLTYPE CopyPicture(BYTE* buffer, int direction) = 0;
    virtual HRESULT STDMETHODCALLTYPE LoadPlugin(const char* path) = 0;
    // Returns pgCall's int, or 0 without a plug-in that has it.
    virtual HRESULT STDMETHODCALLTYPE PluginCall(int a, int b) = 0;
};
