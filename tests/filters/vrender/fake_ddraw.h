// A DirectDraw object and surfaces of our own that hold real memory and record
// what the renderer asks of them, so every render mode runs without video
// hardware (Wine has no overlays and gives YV12 surfaces only their Y plane).
#pragma once
#include <ddraw.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace fakes {

struct CallLog {
    std::vector<std::string> calls;
    void add(const std::string& s) { calls.push_back(s); }
    size_t count(const std::string& prefix) const;
    // Index of the first call starting with prefix, or -1.
    int find(const std::string& prefix) const;
};

class FakeSurface : public IDirectDrawSurface {
  public:
    // name goes into the log ("overlay", "back", "plain", "primary").
    FakeSurface(std::shared_ptr<CallLog> log, std::string name, DWORD width, DWORD height,
                const DDPIXELFORMAT& format, DWORD pitchAlign);
    virtual ~FakeSurface();

    // What tests look at.
    std::vector<BYTE> memory;
    DWORD pitch = 0;
    DWORD width, height;
    DDPIXELFORMAT format;
    LONG refs = 1;
    int locks = 0, unlocks = 0, flips = 0;
    bool failLock = false;
    FakeSurface* attached = nullptr; // the back buffer of an overlay chain
    DDCOLORKEY colourKey = {0, 0};
    std::shared_ptr<CallLog> log;
    std::string name;
    bool* destroyed = nullptr;

    STDMETHODIMP QueryInterface(REFIID, void**) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP AddAttachedSurface(LPDIRECTDRAWSURFACE) override { return E_NOTIMPL; }
    STDMETHODIMP AddOverlayDirtyRect(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP Blt(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX) override;
    STDMETHODIMP BltBatch(LPDDBLTBATCH, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP BltFast(DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Flip(LPDIRECTDRAWSURFACE, DWORD) override;
    STDMETHODIMP GetAttachedSurface(LPDDSCAPS, LPDIRECTDRAWSURFACE*) override;
    STDMETHODIMP GetBltStatus(DWORD) override { return DD_OK; }
    STDMETHODIMP GetCaps(LPDDSCAPS) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipper(LPDIRECTDRAWCLIPPER*) override { return E_NOTIMPL; }
    STDMETHODIMP GetColorKey(DWORD, LPDDCOLORKEY) override;
    STDMETHODIMP GetDC(HDC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetFlipStatus(DWORD) override { return DD_OK; }
    STDMETHODIMP GetOverlayPosition(LPLONG, LPLONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetPalette(LPDIRECTDRAWPALETTE*) override { return E_NOTIMPL; }
    STDMETHODIMP GetPixelFormat(LPDDPIXELFORMAT) override;
    STDMETHODIMP GetSurfaceDesc(LPDDSURFACEDESC) override;
    STDMETHODIMP Initialize(LPDIRECTDRAW, LPDDSURFACEDESC) override { return E_NOTIMPL; }
    STDMETHODIMP IsLost() override { return DD_OK; }
    STDMETHODIMP Lock(LPRECT, LPDDSURFACEDESC, DWORD, HANDLE) override;
    STDMETHODIMP ReleaseDC(HDC) override { return E_NOTIMPL; }
    STDMETHODIMP Restore() override { return DD_OK; }
    STDMETHODIMP SetClipper(LPDIRECTDRAWCLIPPER) override { return E_NOTIMPL; }
    STDMETHODIMP SetColorKey(DWORD, LPDDCOLORKEY) override;
    STDMETHODIMP SetOverlayPosition(LONG, LONG) override { return E_NOTIMPL; }
    STDMETHODIMP SetPalette(LPDIRECTDRAWPALETTE) override { return E_NOTIMPL; }
    STDMETHODIMP Unlock(LPVOID) override;
    STDMETHODIMP UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDOVERLAYFX) override;
    STDMETHODIMP UpdateOverlayDisplay(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE) override { return E_NOTIMPL; }

    // Every UpdateOverlay call: source, destination and flags.
    struct OverlayCall {
        RECT source, destination;
        bool hasSource;
        DWORD flags;
    };
    std::vector<OverlayCall> overlayCalls;
};

class FakeDirectDraw : public IDirectDraw {
  public:
    explicit FakeDirectDraw(std::shared_ptr<CallLog> log) : log(std::move(log)) {}
    virtual ~FakeDirectDraw() = default;

    std::shared_ptr<CallLog> log;
    LONG refs = 1;
    bool refuseVideoMemory = true; // as Wine: DDERR_NODIRECTDRAWHW with video memory
    bool refuseAll = false;
    DWORD pitchAlign = 8;
    std::vector<FakeSurface*> created; // not owned: the renderer's references keep them
    std::vector<DWORD> requestedCaps;

    STDMETHODIMP QueryInterface(REFIID, void**) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP Compact() override { return DD_OK; }
    STDMETHODIMP CreateClipper(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP CreatePalette(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*) override;
    STDMETHODIMP DuplicateSurface(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumDisplayModes(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumSurfaces(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP FlipToGDISurface() override { return DD_OK; }
    STDMETHODIMP GetCaps(LPDDCAPS, LPDDCAPS) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayMode(LPDDSURFACEDESC) override { return E_NOTIMPL; }
    STDMETHODIMP GetFourCCCodes(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetGDISurface(LPDIRECTDRAWSURFACE*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMonitorFrequency(LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetScanLine(LPDWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetVerticalBlankStatus(WINBOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP Initialize(GUID*) override { return DD_OK; }
    STDMETHODIMP RestoreDisplayMode() override { return DD_OK; }
    STDMETHODIMP SetCooperativeLevel(HWND, DWORD) override { return DD_OK; }
    STDMETHODIMP SetDisplayMode(DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP WaitForVerticalBlank(DWORD, HANDLE) override { return DD_OK; }
};

DDPIXELFORMAT rgbFormat(DWORD bits, DWORD r, DWORD g, DWORD b);
DDPIXELFORMAT fourccFormat(DWORD fourcc);

} // namespace fakes
