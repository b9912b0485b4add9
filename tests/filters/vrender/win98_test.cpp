// The renderer on a non-NT platform (Wine told to be Windows 98 for this program):
// plain wait locks, and a crash handler that unlocks the surface and passes the
// exception on to the handler that was there before.
#include "../filter_test_support.h"

#include <gtest/gtest.h>

#include <memory>

#include "fake_ddraw.h"
#include "filters/interfaces/vrenderer_control.h"

using namespace filtertest;

namespace {

const IID kIID_IVRendererControl = {
    0xdf967e60, 0xd1fd, 0x11d4, {0x8b, 0x80, 0x00, 0xd0, 0x5c, 0x00, 0xae, 0x53}};

int gOurs = 0;
LONG WINAPI ourHandler(EXCEPTION_POINTERS*) {
    ++gOurs;
    return EXCEPTION_CONTINUE_SEARCH;
}

LPTOP_LEVEL_EXCEPTION_FILTER currentHandler() {
    LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(current);
    return current;
}

TEST(RendererOutsideNt, PlainLocksAndAChainedCrashHandler) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) GTEST_SKIP() << "not set to Windows 98";
    CoInitialize(nullptr);
    SetUnhandledExceptionFilter(ourHandler);
    auto log = std::make_shared<fakes::CallLog>();
    fakes::FakeDirectDraw dd(log);
    auto* primary = new fakes::FakeSurface(log, "primary", 640, 480,
                                           fakes::rgbFormat(32, 0xff0000, 0xff00, 0xff), 4);
    {
        ComRef<IBaseFilter> renderer;
        ASSERT_EQ(FilterModule::instance().create(kVRendererClsid, nullptr, IID_IBaseFilter,
                                                  renderer.outVoid()),
                  S_OK);
        auto control = renderer.as<IVRendererControl>(kIID_IVRendererControl);
        LPTOP_LEVEL_EXCEPTION_FILTER installed = currentHandler();
        EXPECT_NE(installed, &ourHandler);
        ASSERT_NE(installed, nullptr);

        IDirectDraw* d = &dd;
        IDirectDrawSurface* p = primary;
        ASSERT_EQ(control->SetDirectDraw(&d, &p), S_OK);
        ASSERT_EQ(control->SetRenderMode(0, 2, 0, 0), S_OK);
        ComRef<IPin> input;
        ASSERT_EQ(renderer->FindPin(L"Input", input.out()), S_OK);
        CMediaType type = videoType(MEDIASUBTYPE_YUY2, 64, 48, false);
        ASSERT_EQ(input->QueryAccept(&type), S_OK);
        EXPECT_GT(log->count("Lock plain flags=1"), 0u) << "DDLOCK_WAIT alone";
        EXPECT_EQ(log->count("Lock plain flags=2049"), 0u);

        // Another exception than the resumable one goes on to our handler.
        EXCEPTION_RECORD record = {};
        record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
        CONTEXT context = {};
        EXCEPTION_POINTERS info = {&record, &context};
        EXPECT_EQ(installed(&info), EXCEPTION_CONTINUE_SEARCH);
        EXPECT_EQ(gOurs, 1);
        record.ExceptionCode = 1;
        EXPECT_EQ(installed(&info), EXCEPTION_CONTINUE_EXECUTION);
        EXPECT_EQ(gOurs, 1);
        control.reset();
    }
    EXPECT_EQ(currentHandler(), &ourHandler) << "put back when the renderer goes";
    primary->Release();
    SetUnhandledExceptionFilter(nullptr);
    CoUninitialize();
}

} // namespace
