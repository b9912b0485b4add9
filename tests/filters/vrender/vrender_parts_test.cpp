// The renderer's DirectDraw, GDI and plug-in parts against fakes and Wine itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <vector>

#include "fake_ddraw.h"
#include "filters/vrender/caption_painter.h"
#include "filters/vrender/processing_plugin.h"
#include "filters/vrender/surface_set.h"
#include "test_plugin.h"

using namespace nerrorend;
using fakes::CallLog;
using fakes::FakeDirectDraw;
using fakes::FakeSurface;

namespace {

constexpr DWORD kLockFlags = DDLOCK_WAIT | DDLOCK_NOSYSLOCK;

struct Fixture {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    FakeDirectDraw dd{log};
    FakeSurface* primary =
        new FakeSurface(log, "primary", 800, 600, fakes::rgbFormat(32, 0xff0000, 0xff00, 0xff), 4);
    ~Fixture() { primary->Release(); }
};

TEST(SurfaceSet, OverlayChainWithRetryAndBackBuffer) {
    Fixture f;
    bool overlayGone = false, backGone = false;
    {
        SurfaceSet set;
        set.setDirectDraw(&f.dd, f.primary);
        EXPECT_EQ(f.dd.refs, 2) << "the client's objects are held";
        EXPECT_EQ(f.primary->refs, 2);
        ASSERT_EQ(set.create(1, surfaceFormatFor(VideoSubtype::Yuy2), 174, 160), SurfaceResult::Ok);
        ASSERT_EQ(f.dd.requestedCaps.size(), 2u);
        EXPECT_TRUE(f.dd.requestedCaps[0] & DDSCAPS_VIDEOMEMORY);
        EXPECT_EQ(f.dd.requestedCaps[1], DWORD(DDSCAPS_OVERLAY | DDSCAPS_FLIP | DDSCAPS_COMPLEX));
        FakeSurface* overlay = f.dd.created[0];
        overlay->destroyed = &overlayGone;
        overlay->attached->destroyed = &backGone;
        EXPECT_EQ(set.receiving(), overlay->attached);
        EXPECT_EQ(set.shown(), overlay);
        EXPECT_EQ(set.probePitch(kLockFlags), 352u) << "174 x 2 rounded up to 8";

        set.fillBlack(kFormatYuy2, kLockFlags);
        EXPECT_EQ(overlay->flips, 3);
        EXPECT_EQ(overlay->attached->memory[0], 0x10);
        EXPECT_EQ(overlay->attached->memory[1], 0x80);
        EXPECT_EQ(overlay->attached->locks, overlay->attached->unlocks);

        set.release();
        EXPECT_TRUE(overlayGone);
        EXPECT_TRUE(backGone);
        EXPECT_LT(f.log->find("destroy back"), f.log->find("destroy overlay"))
            << "back buffer released before its overlay";
        EXPECT_FALSE(set.exists());
    }
    EXPECT_EQ(f.dd.refs, 1);
    EXPECT_EQ(f.primary->refs, 1);
}

TEST(SurfaceSet, FailuresAndMissingObjects) {
    Fixture f;
    SurfaceSet set;
    EXPECT_EQ(set.create(2, surfaceFormatFor(VideoSubtype::Yuy2), 320, 240),
              SurfaceResult::NoDirectDraw);
    FrameBuffer frame;
    EXPECT_EQ(set.lock(kLockFlags, frame, kFormatYuy2), E_UNEXPECTED);
    EXPECT_EQ(set.flip(), E_UNEXPECTED);
    set.fillBlack(kFormatYuy2, kLockFlags); // nothing to fill, nothing to crash
    set.setDirectDraw(&f.dd, f.primary);
    f.dd.refuseAll = true;
    EXPECT_EQ(set.create(1, surfaceFormatFor(VideoSubtype::Yuy2), 320, 240),
              SurfaceResult::OverlayFailed);
    EXPECT_EQ(set.create(2, surfaceFormatFor(VideoSubtype::Yuy2), 320, 240),
              SurfaceResult::OffscreenFailed);
    EXPECT_EQ(f.dd.requestedCaps.size(), 4u) << "each tried twice";
}

TEST(SurfaceSet, PlainSurfaceLocksAndFills) {
    Fixture f;
    SurfaceSet set;
    set.setDirectDraw(&f.dd, f.primary);
    ASSERT_EQ(set.create(2, surfaceFormatFor(VideoSubtype::Yv12), 320, 240), SurfaceResult::Ok);
    FakeSurface* plain = f.dd.created[0];
    set.fillBlack(kFormatYv12, kLockFlags);
    EXPECT_EQ(plain->memory[0], 0x10);
    EXPECT_EQ(plain->memory[320 * 240], 0x80) << "chroma black too";
    FrameBuffer frame;
    ASSERT_EQ(set.lock(kLockFlags, frame, kFormatYv12), S_OK);
    EXPECT_TRUE(set.locked());
    EXPECT_EQ(frame.stride, 320u);
    EXPECT_EQ(frame.length, 320u * 240 * 3 / 2);
    EXPECT_EQ(set.lock(kLockFlags, frame, kFormatYv12), E_UNEXPECTED) << "no double lock";
    set.release(); // unlocks first
    EXPECT_EQ(plain->locks, plain->unlocks);

    // Mode 3 fills by a colour blit, in the primary's own format.
    SurfacePixelFormat display;
    ASSERT_TRUE(set.displayFormat(display));
    EXPECT_EQ(subtypeOfDisplay(display), VideoSubtype::Rgb32);
    ASSERT_EQ(set.create(3, display, 64, 48), SurfaceResult::Ok);
    set.fillBlack(kFormatRgb32, kLockFlags);
    EXPECT_EQ(f.log->count("Blt plain flags=" + std::to_string(DDBLT_COLORFILL | DDBLT_WAIT)), 1u);
    EXPECT_EQ(f.dd.created.back()->format.dwRGBBitCount, 32u);
}

TEST(SurfaceSet, WineDirectDrawMakesPlainSurfaces) {
    IDirectDraw* dd = nullptr;
    if (FAILED(DirectDrawCreate(nullptr, &dd, nullptr)) || !dd)
        GTEST_SKIP() << "no DirectDraw here";
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* primary = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &primary, nullptr)) || !primary) {
        dd->Release();
        GTEST_SKIP() << "no primary surface (no display?)";
    }
    {
        SurfaceSet set;
        set.setDirectDraw(dd, primary);
        // 174 pixels of YUY2 pad the pitch; 320 do not.
        ASSERT_EQ(set.create(2, surfaceFormatFor(VideoSubtype::Yuy2), 174, 144), SurfaceResult::Ok);
        const size_t padded = set.probePitch(kLockFlags);
        EXPECT_GE(padded, 348u);
        ASSERT_EQ(set.create(2, surfaceFormatFor(VideoSubtype::Yuy2), 320, 240), SurfaceResult::Ok);
        EXPECT_EQ(set.probePitch(kLockFlags), 640u);
        set.fillBlack(kFormatYuy2, kLockFlags);
        FrameBuffer frame;
        ASSERT_EQ(set.lock(kLockFlags, frame, kFormatYuy2), S_OK);
        EXPECT_EQ(frame.data[0], 0x10);
        EXPECT_EQ(frame.data[1], 0x80);
        set.unlock();
        SurfacePixelFormat display;
        ASSERT_TRUE(set.displayFormat(display));
        EXPECT_NE(subtypeOfDisplay(display), VideoSubtype::Unknown);
        ASSERT_EQ(set.create(3, display, 64, 48), SurfaceResult::Ok);
    }
    primary->Release();
    dd->Release();
}

TEST(ProcessingPlugin, LifecycleAndMissingExports) {
    {
        ProcessingPlugin plugin;
        EXPECT_EQ(plugin.load(TEST_PLUGIN_PATH), S_OK);
        PluginLog* log = pluginLogOf(TEST_PLUGIN_PATH);
        ASSERT_NE(log, nullptr);
        plugin.init(320, 240, 640, 1);
        EXPECT_EQ(log->inits, 1);
        EXPECT_EQ(log->stride, 640);
        unsigned char frame[4] = {};
        plugin.process(frame);
        EXPECT_EQ(frame[0], 0x5a);
        plugin.init(176, 144, 352, 1); // a reconnection: Deinit, then Init again
        EXPECT_EQ(log->deinits, 1);
        EXPECT_EQ(log->inits, 2);
        EXPECT_EQ(plugin.call(3, 4), 304);
        // Loading another one unloads this one, with its Deinit.
        EXPECT_EQ(plugin.load(TEST_PLUGIN_NO_PROCESS_PATH), E_FAIL);
        EXPECT_EQ(GetModuleHandleA(TEST_PLUGIN_PATH), nullptr);
        EXPECT_EQ(GetModuleHandleA(TEST_PLUGIN_NO_PROCESS_PATH), nullptr)
            << "a plug-in without processData is freed";
        EXPECT_FALSE(plugin.loaded());
        EXPECT_EQ(plugin.call(1, 2), 0);
        plugin.process(frame); // nothing loaded: nothing called
        EXPECT_EQ(plugin.load("Z:\\no\\such\\plugin.dll"), E_FAIL);
        ASSERT_EQ(plugin.load(TEST_PLUGIN_PATH), S_OK);
        plugin.init(1, 1, 2, 1);
    }
    EXPECT_EQ(GetModuleHandleA(TEST_PLUGIN_PATH), nullptr) << "the destructor unloads it";
}

// Pixels of the caption bitmap that something was drawn on, and their bounds.
struct Drawn {
    size_t count = 0;
    Rect bounds{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    size_t withColour(uint32_t rgb) const { return colours.count(rgb); }
    std::multiset<uint32_t> colours;
};

Drawn drawnPixels(const CaptionBitmap& b) {
    Drawn d;
    for (int y = 0; y < b.rows; ++y)
        for (int x = 0; x < b.width; ++x) {
            const uint32_t p = b.pixels[size_t(y) * b.width + x];
            if (p == kCaptionClear) continue;
            ++d.count;
            d.colours.insert(p & 0xffffff);
            d.bounds.left = std::min(d.bounds.left, x);
            d.bounds.top = std::min(d.bounds.top, y);
            d.bounds.right = std::max(d.bounds.right, x + 1);
            d.bounds.bottom = std::max(d.bounds.bottom, y + 1);
        }
    return d;
}

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(CaptionPainter, OsdDrawsInsideItsRectangleNearTheBottom) {
    CaptionPainter painter;
    EXPECT_STREQ(painter.baseFont().lfFaceName, "Arial");
    EXPECT_EQ(painter.baseFont().lfWeight, 700);
    ASSERT_TRUE(painter.ensureBitmap(320, 280)); // 240 rows of picture, a band of 40
    EXPECT_EQ(drawnPixels(painter.bitmap()).count, 0u) << "a fresh bitmap counts as clear";
    painter.setOsdStyle(nullptr, RGB(255, 255, 0), 0);
    painter.setOsdText("Hello");
    ASSERT_TRUE(painter.paint());
    const Drawn d = drawnPixels(painter.bitmap());
    EXPECT_GT(d.count, 20u);
    EXPECT_TRUE(inside(d.bounds, painter.osdRect()));
    EXPECT_GT(d.bounds.top, 200) << "in the band, near the bottom";
    EXPECT_LT(d.bounds.bottom, 280 - 8);
    EXPECT_GT(d.withColour(0xffff00), 0u) << "main pass in the OSD colour";
    EXPECT_GT(d.withColour(0x000000), 0u) << "the shadow pass in black";
    const int centre = (d.bounds.left + d.bounds.right) / 2;
    EXPECT_NEAR(centre, 160, 12);

    // Hiding it leaves nothing behind after the next paint.
    painter.setOsdText(nullptr);
    painter.paint();
    EXPECT_EQ(drawnPixels(painter.bitmap()).count, 0u);
}

TEST(CaptionPainter, TitleAndMarkupColours) {
    CaptionPainter painter;
    ASSERT_TRUE(painter.ensureBitmap(320, 240));
    painter.setTitleColour(RGB(0, 0, 255));
    painter.setTitle("Title");
    painter.paint();
    Drawn d = drawnPixels(painter.bitmap());
    EXPECT_GE(d.bounds.top, 18);
    EXPECT_LT(d.bounds.bottom, 80);
    EXPECT_TRUE(inside(d.bounds, painter.titleRect()));
    EXPECT_GT(d.withColour(0x0000ff), 0u);
    EXPECT_GT(d.withColour(0x000000), 0u) << "outline";

    // A lower-case colour command colours its own line only: red on the first,
    // the OSD colour (green) on the second.
    painter.setTitle(nullptr);
    painter.setOsdStyle(nullptr, RGB(0, 255, 0), 0);
    painter.setOsdText("\xff"
                       "c00000255red\rgreen"); // COLORREF 255 is red
    painter.paint();
    d = drawnPixels(painter.bitmap());
    const Rect r = painter.osdRect();
    size_t redTop = 0, greenTop = 0, redBottom = 0, greenBottom = 0;
    const CaptionBitmap b = painter.bitmap();
    const int middle = (d.bounds.top + d.bounds.bottom) / 2;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const uint32_t p = b.pixels[size_t(y) * b.width + x] & 0xffffff;
            (y < middle ? redTop : redBottom) += p == 0xff0000;
            (y < middle ? greenTop : greenBottom) += p == 0x00ff00;
        }
    EXPECT_GT(redTop, 0u);
    EXPECT_EQ(redBottom, 0u);
    EXPECT_GT(greenBottom, 0u);
    EXPECT_EQ(greenTop, 0u);
}

TEST(CaptionPainter, BlendedIntoYuy2) {
    CaptionPainter painter;
    const YuvTables tables;
    ASSERT_TRUE(painter.ensureBitmap(96, 64));
    painter.setOsdStyle(nullptr, RGB(255, 255, 255), 0);
    painter.setOsdText("ab");
    painter.paint();
    std::vector<uint8_t> frame(96 * 2 * 64);
    FrameBuffer fb{frame.data(), frame.size(), kFormatYuy2, 96, 64, 96 * 2};
    fillBlackRows(fb, 0, 64);
    blendCaption(tables, painter.bitmap(), painter.osdRect(), fb);
    size_t white = 0, changed = 0;
    const Rect r = painter.osdRect();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 96; ++x) {
            const uint8_t luma = frame[size_t(y) * 192 + size_t(x) * 2];
            white += luma == 233;
            if (luma != 16) {
                ++changed;
                EXPECT_TRUE(x >= r.left && x < r.right && y >= r.top && y < r.bottom);
            }
        }
    EXPECT_GT(white, 10u);
    EXPECT_EQ(changed, drawnPixels(painter.bitmap()).count - 0 -
                           drawnPixels(painter.bitmap()).withColour(0x000000));
}

} // namespace
