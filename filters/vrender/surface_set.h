// The DirectDraw surfaces the renderer draws into: the client's DirectDraw object
// and primary surface, and the surfaces it makes itself (a flipping overlay with
// its back buffer in mode 1, an off-screen plain surface otherwise). Holds a
// reference on every object it keeps. Not locked itself: the filter's lock
// guards it.
#pragma once
#include <ddraw.h>
#include <windows.h>

#include "filters/video/format_code.h"
#include "filters/video/frame_buffer.h"

namespace nerrorend {

enum class SurfaceResult { Ok, NoDirectDraw, OverlayFailed, OffscreenFailed };

class SurfaceSet {
  public:
    SurfaceSet() = default;
    ~SurfaceSet();
    SurfaceSet(const SurfaceSet&) = delete;
    SurfaceSet& operator=(const SurfaceSet&) = delete;

    // Takes the client's objects (either may be null), dropping earlier ones.
    void setDirectDraw(IDirectDraw* directDraw, IDirectDrawSurface* primary);
    bool hasDirectDraw() const { return directDraw_ != nullptr; }
    IDirectDrawSurface* primary() const { return primary_; }
    // The primary surface's pixel format; false without a primary.
    bool displayFormat(SurfacePixelFormat& format) const;

    // Makes the surfaces for `mode` at width x rows, releasing any earlier ones.
    SurfaceResult create(int mode, const SurfacePixelFormat& format, int width, int rows);
    // Releases what create made, the back buffer before its overlay.
    void release();
    bool exists() const { return receiving_ != nullptr; }
    int mode() const { return mode_; }
    int width() const { return width_; }
    int rows() const { return rows_; }
    const SurfacePixelFormat& format() const { return format_; }

    // The surface pixels go into (mode 1: the back buffer).
    IDirectDrawSurface* receiving() const { return receiving_; }
    // The surface the client shows or blits from (mode 1: the overlay).
    IDirectDrawSurface* shown() const { return overlay_ ? overlay_ : receiving_; }
    IDirectDrawSurface* overlay() const { return overlay_; }

    // Locks the receiving surface; the frame describes its memory.
    HRESULT lock(DWORD flags, FrameBuffer& frame, int code);
    void unlock();
    bool locked() const { return lockedMemory_ != nullptr; }
    void* lockedMemory() const { return lockedMemory_; }
    // The receiving surface's pitch in bytes, by a lock and unlock; 0 when it fails.
    size_t probePitch(DWORD flags);
    // Mode 1: shows the back buffer.
    HRESULT flip();
    // Fills the receiving surface with black: mode 1 in all three buffers, mode 2
    // by a lock, other modes by a colour-fill blit.
    void fillBlack(int code, DWORD lockFlags);

  private:
    HRESULT createSurface(DDSURFACEDESC& desc, DWORD caps, DWORD fallbackCaps,
                          IDirectDrawSurface** out);

    IDirectDraw* directDraw_ = nullptr;
    IDirectDrawSurface* primary_ = nullptr;
    IDirectDrawSurface* overlay_ = nullptr;
    IDirectDrawSurface* receiving_ = nullptr;
    void* lockedMemory_ = nullptr;
    int mode_ = 0;
    int width_ = 0;
    int rows_ = 0;
    SurfacePixelFormat format_;
};

// Conversions between DirectDraw's pixel format and ours.
DDPIXELFORMAT toDdPixelFormat(const SurfacePixelFormat& format);
SurfacePixelFormat fromDdPixelFormat(const DDPIXELFORMAT& format);

} // namespace nerrorend
