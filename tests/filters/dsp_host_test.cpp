// The two DSP host transforms with the test plug-ins: the interface and its
// commands, the types they take, and samples pushed through them into a sink.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <future>
#include <string>

#include "dsp_plugins/recorder_plugin.h"
#include "dsp_test_support.h"

using namespace filtertest;
using namespace dsptest;

namespace {

constexpr auto kDeadline = std::chrono::seconds(5);

ComRef<IBaseFilter> createHost(const CLSID& clsid) {
    ComRef<IBaseFilter> filter;
    EXPECT_EQ(FilterModule::instance().create(clsid, nullptr, IID_IBaseFilter, filter.outVoid()),
              S_OK);
    return filter;
}

ComRef<IDspHostControl> control(const ComRef<IBaseFilter>& filter) {
    return filter.as<IDspHostControl>(kIID_IDspHostControl);
}

ComRef<IPin> pin(IBaseFilter* filter, const wchar_t* name) {
    ComRef<IPin> found;
    filter->FindPin(name, found.out());
    return found;
}

// 16-bit interleaved values as bytes.
std::vector<BYTE> pcm16(const std::vector<int16_t>& values) {
    std::vector<BYTE> bytes(values.size() * 2);
    memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

std::vector<int16_t> values16(const std::vector<BYTE>& bytes) {
    std::vector<int16_t> values(bytes.size() / 2);
    memcpy(values.data(), bytes.data(), values.size() * 2);
    return values;
}

int threadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return n;
}

// Threads that are ending may linger in the list for a moment.
bool threadsSettleAt(int expected) {
    auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (threadsOfThisProcess() != expected) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Sleep(1);
    }
    return true;
}

struct Hosts : public ::testing::TestWithParam<bool> {
    const CLSID& clsid() const { return GetParam() ? kAudioXform2Clsid : kAudioXformClsid; }
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

TEST_P(Hosts, InterfaceVersionPinsAndClass) {
    auto filter = createHost(clsid());
    auto host = control(filter);
    ASSERT_TRUE(host);
    DWORD version = 0;
    EXPECT_EQ(host->GetVersion(&version), S_OK);
    EXPECT_EQ(version, 0x10055u);
    EXPECT_EQ(host->GetVersion(nullptr), E_POINTER);
    CLSID reported = {};
    ASSERT_EQ(filter->GetClassID(&reported), S_OK);
    EXPECT_TRUE(IsEqualCLSID(reported, clsid()));
    const wchar_t* in = GetParam() ? L"XForm In" : L"Input";
    const wchar_t* out = GetParam() ? L"XForm Out" : L"Output";
    EXPECT_TRUE(pin(filter.get(), in));
    EXPECT_TRUE(pin(filter.get(), out));
    // The interface is reached from the filter's identity and back.
    ComRef<IBaseFilter> back = host.as<IBaseFilter>(IID_IBaseFilter);
    EXPECT_EQ(back.get(), filter.get());
}

TEST_P(Hosts, AggregatedTheInterfaceCountsOnTheOuterObject) {
    Outer outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(FilterModule::instance().create(clsid(), &outer, IID_IBaseFilter, &object),
              CLASS_E_NOAGGREGATION);
    ASSERT_EQ(FilterModule::instance().create(clsid(), &outer, IID_IUnknown, &object), S_OK);
    outer.inner = static_cast<IUnknown*>(object);
    IDspHostControl* host = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(kIID_IDspHostControl, reinterpret_cast<void**>(&host)),
              S_OK);
    EXPECT_EQ(outer.refs, 2u);
    IUnknown* identity = nullptr;
    ASSERT_EQ(host->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    host->Release();
    EXPECT_EQ(outer.refs, 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
    // Nothing of ours is left alive.
    EXPECT_EQ(FilterModule::instance().canUnloadNow(), S_OK);
}

struct TypeCase {
    const char* name;
    CMediaType type;
    bool accepted;
};

TEST_P(Hosts, TakesOnlyWholeFrameEightAndSixteenBitPcm) {
    auto filter = createHost(clsid());
    auto input = pin(filter.get(), GetParam() ? L"XForm In" : L"Input");
    CMediaType video(&MEDIATYPE_Video);
    CMediaType shortFormat = pcmType(1, 2, 44100, 16);
    {
        CMediaType full = shortFormat;
        shortFormat.SetFormat(full.Format(), 14);
    }
    TypeCase cases[] = {
        {"8-bit mono", pcmType(1, 1, 22050, 8), true},
        {"8-bit stereo", pcmType(1, 2, 22050, 8), true},
        {"16-bit mono", pcmType(1, 1, 44100, 16), true},
        {"16-bit stereo", pcmType(1, 2, 44100, 16), true},
        {"24-bit", pcmType(1, 2, 44100, 24), false},
        {"float", pcmType(3, 2, 44100, 32), false},
        {"MS ADPCM", pcmType(2, 2, 44100, 4, 2048), false},
        {"no channels", pcmType(1, 0, 44100, 16, 4), false},
        {"no rate", pcmType(1, 2, 0, 16), false},
        {"wrong block align", pcmType(1, 2, 44100, 16, 2), false},
        {"format block too short", shortFormat, false},
        {"video", video, false},
    };
    for (auto& c : cases)
        EXPECT_EQ(input->QueryAccept(&c.type) == S_OK, c.accepted) << c.name;
}

TEST_P(Hosts, CommandsWithNothingLoadedAnswerOne) {
    auto host = control(createHost(clsid()));
    char text[DSP_DESCRIPTION_MAX];
    for (int command : {2, 3, 4, 5})
        EXPECT_EQ(host->PluginCommand(command, text, 0, nullptr), 1) << command;
    EXPECT_EQ(host->PluginCommand(1, nullptr, 0, nullptr), 1);
    EXPECT_EQ(host->PluginCommand(1, const_cast<char*>("Z:\\no\\such\\plugin.dll"), 0, nullptr), 1);
    EXPECT_EQ(host->PluginCommand(99, nullptr, 0, nullptr), 0);
}

TEST_P(Hosts, DllWithoutTheEntryPointIsRefusedAndUnloaded) {
    auto host = control(createHost(clsid()));
    EXPECT_EQ(host->PluginCommand(1, const_cast<char*>(kNoHeaderPlugin), 0, nullptr), 1);
    EXPECT_FALSE(isLoaded(kNoHeaderPlugin));
    char text[DSP_DESCRIPTION_MAX];
    EXPECT_EQ(host->PluginCommand(2, text, 0, nullptr), 1);
}

TEST_P(Hosts, ModuleLifecycleThroughTheCommands) {
    HMODULE ours = LoadLibraryA(kRecorderPlugin); // to read the log
    ASSERT_TRUE(ours);
    auto log = reinterpret_cast<RecorderLogFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ours, "recorderLog")))();
    *log = RecorderLog{};
    {
        auto host = control(createHost(clsid()));
        ASSERT_EQ(host->PluginCommand(1, const_cast<char*>(kRecorderPlugin), 0, nullptr), 0);
        char text[DSP_DESCRIPTION_MAX + 32];
        memset(text, 'X', sizeof text);
        EXPECT_EQ(host->PluginCommand(2, text, 2, nullptr), 1); // no such module
        EXPECT_EQ(host->PluginCommand(2, text, 1, nullptr), 1); // its Init fails
        EXPECT_EQ(log->inits, 1);
        HWND parent = reinterpret_cast<HWND>(0x1234);
        ASSERT_EQ(host->PluginCommand(2, text, 0, parent), 0);
        // The description is cut to the buffer the interface promises.
        EXPECT_EQ(strlen(text), static_cast<size_t>(DSP_DESCRIPTION_MAX - 1));
        EXPECT_EQ(text[DSP_DESCRIPTION_MAX], 'X');
        EXPECT_EQ(std::string(text, 3), "abc");
        EXPECT_EQ(log->parent, parent);
        EXPECT_EQ(log->instance, ours);
        EXPECT_EQ(host->PluginCommand(3, nullptr, 0, nullptr), 0);
        EXPECT_EQ(log->configs, 1);
        EXPECT_EQ(host->PluginCommand(5, nullptr, 0, nullptr), 0);
        EXPECT_EQ(log->quits, 1);
        EXPECT_EQ(host->PluginCommand(5, nullptr, 0, nullptr), 0);
        EXPECT_EQ(log->quits, 1); // no second Quit for one Init
        // Reopen, then load again over it: the open module quits and the first
        // load's reference goes.
        ASSERT_EQ(host->PluginCommand(2, text, 0, nullptr), 0);
        ASSERT_EQ(host->PluginCommand(1, const_cast<char*>(kRecorderPlugin), 0, nullptr), 0);
        EXPECT_EQ(log->quits, 2);
        ASSERT_EQ(host->PluginCommand(2, text, 0, nullptr), 0);
        EXPECT_EQ(host->PluginCommand(4, nullptr, 0, nullptr), 0);
        EXPECT_EQ(log->quits, 3);
        EXPECT_EQ(host->PluginCommand(3, nullptr, 0, nullptr), 1); // gone with the DLL
        EXPECT_EQ(log->inits, 4);
        int order[] = {'I', 'C', 'Q'};
        EXPECT_EQ(memcmp(log->order, order, sizeof order), 0);
    }
    FreeLibrary(ours);
    EXPECT_FALSE(isLoaded(kRecorderPlugin));
}

TEST_P(Hosts, EachInstanceKeepsItsOwnPlugin) {
    auto first = control(createHost(clsid()));
    auto second = control(createHost(clsid()));
    char text[DSP_DESCRIPTION_MAX];
    ASSERT_EQ(first->PluginCommand(1, const_cast<char*>(kHalvePlugin), 0, nullptr), 0);
    ASSERT_EQ(second->PluginCommand(1, const_cast<char*>(kDoublePlugin), 0, nullptr), 0);
    ASSERT_EQ(first->PluginCommand(2, text, 0, nullptr), 0);
    EXPECT_STREQ(text, "Half volume");
    ASSERT_EQ(second->PluginCommand(2, text, 0, nullptr), 0);
    EXPECT_STREQ(text, "Double length");
    // A failed load keeps the module that is open.
    EXPECT_EQ(first->PluginCommand(1, const_cast<char*>(kNoHeaderPlugin), 0, nullptr), 1);
    EXPECT_EQ(first->PluginCommand(2, text, 7, nullptr), 1);
    EXPECT_EQ(first->PluginCommand(3, nullptr, 0, nullptr), 0);
    EXPECT_TRUE(isLoaded(kHalvePlugin));
    // Releasing one leaves the other's DLL in place.
    second.reset();
    EXPECT_FALSE(isLoaded(kDoublePlugin));
    EXPECT_TRUE(isLoaded(kHalvePlugin));
    EXPECT_EQ(first->PluginCommand(3, nullptr, 0, nullptr), 0);
    first.reset();
    EXPECT_FALSE(isLoaded(kHalvePlugin));
}

// A copy of one of our plug-ins that claims the other architecture, as a 32-bit
// plug-in looks to a 64-bit host and the other way round.
std::string otherArchitectureCopy(const char* plugin) {
    std::ifstream in(plugin, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(bytes.size(), 0x40u);
    if (bytes.size() <= 0x40) return {};
    uint32_t peOffset = 0;
    memcpy(&peOffset, &bytes[0x3c], sizeof peOffset);
    EXPECT_LT(size_t(peOffset) + 6, bytes.size());
    if (size_t(peOffset) + 6 >= bytes.size()) return {};
    const uint16_t other = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    memcpy(&bytes[peOffset + 4], &other, sizeof other);
    char folder[MAX_PATH], name[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "dsp", 0, name);
    std::ofstream(name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return name;
}

TEST_P(Hosts, PluginOfTheOtherArchitectureIsRefusedAndTheOpenOneKept) {
    const std::string foreign = otherArchitectureCopy(kHalvePlugin);
    ASSERT_FALSE(foreign.empty());
    auto host = control(createHost(clsid()));
    char text[DSP_DESCRIPTION_MAX];
    ASSERT_EQ(host->PluginCommand(1, const_cast<char*>(kDoublePlugin), 0, nullptr), 0);
    ASSERT_EQ(host->PluginCommand(2, text, 0, nullptr), 0);
    EXPECT_EQ(host->PluginCommand(1, const_cast<char*>(foreign.c_str()), 0, nullptr), 1);
    EXPECT_FALSE(isLoaded(foreign.c_str()));
    EXPECT_EQ(host->PluginCommand(3, nullptr, 0, nullptr), 0);
    EXPECT_TRUE(isLoaded(kDoublePlugin));
    host.reset();
    DeleteFileA(foreign.c_str());
}

INSTANTIATE_TEST_SUITE_P(BothHosts, Hosts, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Copying") : std::string("InPlace");
                         });

// source → host → recording sink, running without a clock.
class Streaming : public ::testing::Test {
  protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override {
        teardown({sinkRef.get(), host.get(), sourceRef.get()});
        sinkRef.reset();
        host.reset();
        sourceRef.reset();
        CoUninitialize();
    }
    void chain(const CLSID& clsid, const CMediaType& type, LONG bufferSize) {
        copying = IsEqualCLSID(clsid, kAudioXform2Clsid);
        host = createHost(clsid);
        ASSERT_TRUE(host);
        source = new PushSource(type, bufferSize);
        sourceRef = adopt(source);
        sink = new RecordingSink;
        sinkRef = adopt(sink);
        ASSERT_EQ(source->outputPin()->Connect(
                      pin(host.get(), copying ? L"XForm In" : L"Input").get(), nullptr),
                  S_OK);
        ASSERT_EQ(pin(host.get(), copying ? L"XForm Out" : L"Output")
                      ->Connect(pin(sink, L"In").get(), nullptr),
                  S_OK);
        for (IBaseFilter* f : {sinkRef.get(), host.get(), sourceRef.get()})
            f->Pause();
        for (IBaseFilter* f : {sinkRef.get(), host.get(), sourceRef.get()})
            f->Run(0);
    }
    void open(const char* plugin) {
        auto dsp = control(host);
        char text[DSP_DESCRIPTION_MAX];
        ASSERT_EQ(dsp->PluginCommand(1, const_cast<char*>(plugin), 0, nullptr), 0);
        ASSERT_EQ(dsp->PluginCommand(2, text, 0, nullptr), 0);
    }
    struct Push {
        std::vector<BYTE> data;
        bool preroll;
        bool discontinuity;
    };
    HRESULT pushAll(const std::vector<Push>& pushes) {
        auto done = std::async(std::launch::async, [&] {
            REFERENCE_TIME t = 0;
            for (auto& p : pushes) {
                HRESULT hr = source->push(p.data, p.preroll, p.discontinuity, t);
                if (hr != S_OK) return hr;
                t += 10;
            }
            return S_OK;
        });
        if (done.wait_for(kDeadline) != std::future_status::ready) return E_ABORT;
        return done.get();
    }
    bool copying = false;
    ComRef<IBaseFilter> host, sinkRef, sourceRef;
    PushSource* source = nullptr;
    RecordingSink* sink = nullptr;
};

std::vector<int16_t> ramp(size_t n) {
    std::vector<int16_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<int16_t>(i * 37 - 5000);
    return v;
}

TEST_F(Streaming, WithoutAModuleBothPassAudioUnchanged) {
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid}) {
        chain(*clsid, pcmType(1, 2, 44100, 16), 4096);
        auto input = pcm16(ramp(2048));
        ASSERT_EQ(pushAll({{input, false, false}, {input, false, true}}), S_OK);
        auto got = sink->samples();
        ASSERT_EQ(got.size(), 2u);
        EXPECT_EQ(got[0].data, input);
        EXPECT_EQ(got[1].data, input);
        EXPECT_EQ(got[1].start, 10);
        TearDown();
        SetUp();
    }
}

TEST_F(Streaming, HalvingModuleSkipsPrerollAndDiscontinuities) {
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid}) {
        chain(*clsid, pcmType(1, 2, 44100, 16), 4096);
        open(kHalvePlugin);
        auto values = ramp(2048);
        auto input = pcm16(values);
        ASSERT_EQ(pushAll({{input, false, false}, {input, true, false}, {input, false, true}}),
                  S_OK);
        // The sink drops the preroll sample, as renderers do.
        auto got = sink->samples();
        ASSERT_EQ(got.size(), 2u);
        auto halved = values16(got[0].data);
        ASSERT_EQ(halved.size(), values.size());
        for (size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(halved[i], values[i] / 2) << i;
        EXPECT_EQ(got[1].data, input);
        EXPECT_TRUE(got[1].discontinuity);
        // A failed load in between leaves the open module working.
        EXPECT_EQ(control(host)->PluginCommand(1, const_cast<char*>(kNoHeaderPlugin), 0, nullptr),
                  1);
        ASSERT_EQ(pushAll({{input, false, false}}), S_OK);
        got = sink->samples();
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[2].data, got[0].data);
        TearDown();
        SetUp();
    }
}

TEST_F(Streaming, EightBitMonoReachesTheModuleWithItsFormatButNoPreroll) {
    HMODULE ours = LoadLibraryA(kRecorderPlugin);
    auto log = reinterpret_cast<RecorderLogFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ours, "recorderLog")))();
    for (const CLSID* clsid : {&kAudioXformClsid, &kAudioXform2Clsid}) {
        *log = RecorderLog{};
        chain(*clsid, pcmType(1, 1, 11025, 8), 1000);
        open(kRecorderPlugin);
        std::vector<BYTE> input(1000, 0x90);
        input[0] = 0x33;
        ASSERT_EQ(pushAll({{input, true, false}, {input, false, false}, {input, false, true}}),
                  S_OK);
        EXPECT_EQ(log->calls, 1);
        EXPECT_EQ(log->lastCount, 1000);
        EXPECT_EQ(log->lastBits, 8);
        EXPECT_EQ(log->lastChannels, 1);
        EXPECT_EQ(log->lastRate, 11025);
        EXPECT_EQ(log->lastFirstByte, 0x33);
        TearDown();
        SetUp();
    }
    FreeLibrary(ours);
}

TEST_F(Streaming, DoublingModuleLengthensOnlyTheCopyingHost) {
    // Buffers exactly one sample long: in place there is no room for the second
    // half, which must not be written past the upstream buffer.
    auto values = ramp(2048); // 1024 stereo frames
    auto input = pcm16(values);
    chain(kAudioXformClsid, pcmType(1, 2, 44100, 16), 4096);
    open(kDoublePlugin);
    ASSERT_EQ(pushAll({{input, false, false}, {input, false, true}}), S_OK);
    auto got = sink->samples();
    ASSERT_EQ(got.size(), 2u);
    ASSERT_EQ(got[0].data.size(), input.size());
    auto doubled = values16(got[0].data);
    for (size_t frame = 0; frame < 1024; ++frame) {
        size_t from = frame / 2;
        ASSERT_EQ(doubled[2 * frame], values[2 * from]) << frame;
        ASSERT_EQ(doubled[2 * frame + 1], values[2 * from + 1]) << frame;
    }
    EXPECT_EQ(got[1].data, input);
    TearDown();
    SetUp();

    chain(kAudioXform2Clsid, pcmType(1, 2, 44100, 16), 4096);
    open(kDoublePlugin);
    ASSERT_EQ(pushAll({{input, false, false}, {input, false, true}}), S_OK);
    got = sink->samples();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].size, 8192); // output buffers twice the input's
    ASSERT_EQ(got[0].data.size(), 2 * input.size());
    doubled = values16(got[0].data);
    for (size_t frame = 0; frame < 2048; ++frame)
        ASSERT_EQ(doubled[2 * frame], values[2 * (frame / 2)]) << frame;
    EXPECT_EQ(got[1].data, input);
}

// Counts the blocks the worker hands over and keeps the last one.
class VisLog : public IDspVisCallback {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnBlock(signed char* left, signed char* right) override {
        std::lock_guard<std::mutex> lock(mutex);
        memcpy(lastLeft, left, 576);
        memcpy(lastRight, right, 576);
        ++blocks;
        return S_OK;
    }
    bool waitFor(int n) {
        auto deadline = std::chrono::steady_clock::now() + kDeadline;
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (blocks >= n) return true;
            }
            if (std::chrono::steady_clock::now() > deadline) return false;
            Sleep(1);
        }
    }
    std::mutex mutex;
    int blocks = 0;
    signed char lastLeft[576] = {};
    signed char lastRight[576] = {};
};

TEST_F(Streaming, VisualisationHandsOverOneBlockPerSample) {
    chain(kAudioXformClsid, pcmType(1, 2, 44100, 16), 576 * 4);
    auto dsp = control(host);
    int before = threadsOfThisProcess();
    ASSERT_EQ(dsp->SetMode(1), S_OK);
    EXPECT_EQ(threadsOfThisProcess(), before + 1);
    ASSERT_EQ(dsp->SetMode(1), S_OK); // no second worker
    EXPECT_EQ(threadsOfThisProcess(), before + 1);
    // Without a callback the worker wakes and skips.
    ASSERT_EQ(pushAll({{std::vector<BYTE>(64, 0), false, false}}), S_OK);
    VisLog vis;
    ASSERT_EQ(dsp->SetVisCallback(&vis), S_OK);
    // The first sample's values come round 54 blocks later, in order.
    for (int i = 1; i <= 54; ++i) {
        std::vector<int16_t> frame(576 * 2);
        for (size_t j = 0; j < frame.size(); j += 2) {
            frame[j] = static_cast<int16_t>(i * 256);
            frame[j + 1] = static_cast<int16_t>(-i * 256);
        }
        ASSERT_EQ(pushAll({{pcm16(frame), false, false}}), S_OK);
        ASSERT_TRUE(vis.waitFor(i)) << i;
    }
    {
        std::lock_guard<std::mutex> lock(vis.mutex);
        EXPECT_EQ(vis.blocks, 54);
        // The 64-byte sample put 16 frames in first, so the last block read
        // holds sample 1's last 16 values and then sample 2's.
        EXPECT_EQ(vis.lastLeft[0], 1);
        EXPECT_EQ(vis.lastLeft[15], 1);
        EXPECT_EQ(vis.lastLeft[16], 2);
        EXPECT_EQ(vis.lastRight[15], -1);
        EXPECT_EQ(vis.lastRight[575], -2);
    }
    ASSERT_EQ(dsp->SetVisCallback(nullptr), S_OK);
    ASSERT_EQ(pushAll({{std::vector<BYTE>(64, 0), false, false}}), S_OK);
    // Released while waiting: the worker is gone with the filter.
    dsp.reset();
    teardown({sinkRef.get(), host.get(), sourceRef.get()});
    host.reset();
    EXPECT_TRUE(threadsSettleAt(before));
}

} // namespace
