// ITextSink: the client's object that receives subtitle text. The renderer calls
// only OnText, the fifth entry of its table; it does not hold a reference.
#pragma once
#include <objbase.h>
#include <windows.h>

struct ITextSink : public IUnknown {
    // Whatever the client keeps in the fourth entry; never called by the renderer.
    virtual HRESULT STDMETHODCALLTYPE Reserved() = 0;
    // Times in milliseconds; (0, 0, null) marks a frame or a new segment.
    virtual HRESULT STDMETHODCALLTYPE OnText(int startMs, int stopMs, const char* text) = 0;
};
