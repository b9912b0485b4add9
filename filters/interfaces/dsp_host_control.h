// IDspHostControl: how a client drives the two DSP host transforms. Clients call
// it by vtable slot, so the order of the methods is fixed.
#pragma once
#include <strmif.h>

// {a122bc16-4912-4195-b7b8-af4871b3b95a}
extern "C" const IID IID_IDspHostControl;

// The client's visualisation callback: the worker calls the slot after IUnknown's
// three with the left and right block of 576 signed 8-bit values. It is not
// reference-counted; the blocks stay the filter's.
struct IDspVisCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnBlock(signed char* left, signed char* right) = 0;
};

// The modes a host runs in.
enum DspHostMode : int {
    kDspModeIdle = 0,
    kDspModeVisualise = 1, // in-place host only
    kDspModeModule = 2,
    kDspModeClosed = 50,
};

// PluginCommand commands.
enum DspPluginCommand : int {
    kDspLoad = 1,       // text: the DLL's path
    kDspOpenModule = 2, // text: receives the module's description; index, parent
    kDspConfigure = 3,
    kDspCloseUnload = 4,
    kDspCloseKeepLoaded = 5,
};

// The most bytes (terminator included) copied into the description buffer.
#define DSP_DESCRIPTION_MAX 256

struct IDspHostControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetVisCallback(IDspVisCallback* callback) = 0;
    // Writes 0x10055.
    virtual HRESULT STDMETHODCALLTYPE GetVersion(DWORD* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMode(int mode) = 0;
    // Returns 1 when the command cannot be carried out (nothing loaded, no such
    // module, a failed load), else 0.
    virtual HRESULT STDMETHODCALLTYPE PluginCommand(int command, char* text, int moduleIndex,
                                                    HWND parent) = 0;
};
