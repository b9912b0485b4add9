// ICbRendererControl: the callback renderer's interface for its client. Clients
// call it by vtable slot, so the order of the methods is fixed.
#pragma once
#include <strmif.h>

// {fd879681-2166-11d5-8b80-00d05c00ae53}
extern "C" const IID IID_ICbRendererControl;

// The client's frame callback: the renderer calls the slot after IUnknown's three
// with (0, 0, sample) at each frame's time. It is not reference-counted; the sample
// stays the renderer's unless the client AddRefs it.
struct IFrameCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnFrame(LONG reserved1, LONG reserved2,
                                              IMediaSample* sample) = 0;
};

struct ICbRendererControl : public IUnknown {
    // Picture width and height of the connection (biHeight as it is, signed).
    virtual HRESULT STDMETHODCALLTYPE GetVideoSize(LONG* width, LONG* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCallback(IFrameCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamInfo(DWORD* bitRate,
                                                    REFERENCE_TIME* avgTimePerFrame) = 0;
    // Writes 0x10055.
    virtual HRESULT STDMETHODCALLTYPE GetVersion(DWORD* version) = 0;
};
