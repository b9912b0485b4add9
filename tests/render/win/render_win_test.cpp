// Real renders in Wine's DirectShow: what the adapter describes of the graphs it
// builds for generated media, what the classification makes of them, and that no
// COM reference outlives a test. Filter names differ between Windows and Wine, so
// the checks are on media types, connections and result codes.
#include <windows.h>

#include <objbase.h>
#include <uuids.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/win/wide_text.h"
#include "render/render_fields.h"
#include "render/render_guids.h"
#include "render/render_test.h"
#include "render/win/dshow_graph_builder.h"

namespace tavro {
namespace {

const std::string kMedia = TAVRO_MEDIA_DIR;

class ComScope : public ::testing::Environment {
  public:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};
const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComScope);

struct Rendered {
    int32_t hr = 0;
    FilterTable table;
    RenderOutcome outcome;
};

Rendered render(const std::string& path, GraphManagerFactory factory = &createFilterGraphManager) {
    DirectShowGraphBuilder builder(factory);
    Rendered r;
    RenderInputs in{builder};
    r.hr = buildAndInspectGraph(in, path, r.table, &r.outcome);
    return r;
}

// Every recorded connection is seen from both ends.
void expectConsistentConnections(const GraphDescription& graph) {
    for (const GraphFilter& f : graph.filters)
        for (const GraphPin& pin : f.pins) {
            if (!pin.peer) continue;
            const int other = graph.filterOfPin(pin.peer);
            if (other < 0) continue; // a filter beyond the recorded ones
            bool back = false;
            for (const GraphPin& p : graph.filters[other].pins)
                if (p.id == pin.peer) {
                    back = p.peer == pin.id && p.direction != pin.direction;
                    EXPECT_EQ(p.subtype, pin.subtype) << f.name << " / " << pin.name;
                }
            EXPECT_TRUE(back) << f.name << " / " << pin.name;
        }
}

const FilterRecord* role(const Rendered& r, int index) {
    return index >= 0 ? &r.table.records[index] : nullptr;
}

TEST(RenderWine, PcmWaveReachesTheAudioRenderer) {
    Rendered r = render(kMedia + "/pcm16_stereo.wav");
    ASSERT_EQ(r.hr, 0) << std::hex << r.hr;
    EXPECT_EQ(r.outcome.result, 1);
    EXPECT_GE(r.table.count, 2);
    expectConsistentConnections(r.outcome.graph);
    const FilterRecord* renderer = role(r, r.outcome.roles.audioRenderer);
    ASSERT_NE(renderer, nullptr);
    EXPECT_EQ(renderer->input.major, kMediaTypeAudio);
    EXPECT_EQ(renderer->input.subtype, kMediaSubtypePcm);
    EXPECT_EQ(r.outcome.roles.videoRenderer, -1);
    const FilterRecord* source = role(r, r.outcome.roles.source);
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->present());
    EXPECT_TRUE(source->output1.used);
    EXPECT_FALSE(source->input.used);
    // Whoever feeds the renderer is named in the audio codec field.
    const RenderFieldTexts texts =
        renderFieldTexts(r.table, r.outcome.roles, nullptr, nullptr, nullptr);
    EXPECT_FALSE(texts.audioCodec.text.empty());
    EXPECT_EQ(texts.videoCodec.text, "");
}

TEST(RenderWine, MjpegAviHasBothRenderersAndDecodedVideo) {
    Rendered r = render(kMedia + "/mjpeg_pcm.avi");
    ASSERT_EQ(r.hr, 0) << std::hex << r.hr;
    expectConsistentConnections(r.outcome.graph);
    const FilterRecord* video = role(r, r.outcome.roles.videoRenderer);
    const FilterRecord* audio = role(r, r.outcome.roles.audioRenderer);
    ASSERT_NE(video, nullptr);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(video->input.major, kMediaTypeVideo);
    EXPECT_TRUE(isUncompressedVideo(video->input.major, video->input.subtype));
    EXPECT_EQ(audio->input.subtype, kMediaSubtypePcm);
    // Whatever feeds the video renderer (Wine's splitter decodes itself) is named.
    ASSERT_GE(r.outcome.roles.videoDecoder, 0);
    const RenderFieldTexts texts =
        renderFieldTexts(r.table, r.outcome.roles, nullptr, nullptr, nullptr);
    EXPECT_FALSE(texts.videoCodec.text.empty());
    EXPECT_EQ(texts.videoCodec.link, r.outcome.roles.videoDecoder);
}

// Wine's GStreamer splitter decodes by itself: after a successful render of a file
// with sound, the audio fields name it as they name the video decoder.
TEST(RenderWine, SplittersThatDecodeFillTheAudioFields) {
    // Wine has no Xvid decoder: the splitter decodes the MP3 and the video is left
    // unrendered (still a result of 0).
    const struct {
        const char* file;
        bool video;
    } cases[] = {{"/mjpeg_pcm.avi", true}, {"/xvid_mp3.avi", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Rendered r = render(kMedia + c.file);
        ASSERT_EQ(r.hr, 0) << std::hex << r.hr;
        const RenderFieldTexts texts =
            renderFieldTexts(r.table, r.outcome.roles, nullptr, nullptr, nullptr);
        ASSERT_GE(r.outcome.roles.audioRenderer, 0);
        ASSERT_GE(r.outcome.roles.audioDecoder, 0);
        EXPECT_FALSE(texts.audioCodec.text.empty());
        EXPECT_FALSE(texts.audioMedia.text.empty());
        EXPECT_EQ(texts.audioCodec.link, r.outcome.roles.audioDecoder);
        EXPECT_EQ(texts.videoCodec.text.empty(), !c.video);
        if (c.video) {
            // One filter splits and decodes both: named in all three fields.
            EXPECT_EQ(r.outcome.roles.videoDecoder, r.outcome.roles.audioDecoder);
            EXPECT_EQ(r.outcome.roles.splitter, r.outcome.roles.audioDecoder);
            EXPECT_EQ(texts.videoCodec.text, texts.audioCodec.text);
            EXPECT_EQ(texts.splitter.text, texts.audioCodec.text);
        }
    }
}

TEST(RenderWine, CinepakThroughTheVfwWrapperIsAPartialRender) {
    // Wine decodes Cinepak through the VfW wrapper but has no MS ADPCM path to the
    // audio renderer: a success code other than 0, still recorded and classified.
    Rendered r = render(kMedia + "/cinepak_msadpcm.avi");
    ASSERT_GT(r.hr, 0) << std::hex << r.hr;
    EXPECT_EQ(r.outcome.result, -1);
    expectConsistentConnections(r.outcome.graph);
    const FilterRecord* decoder = role(r, r.outcome.roles.videoDecoder);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->input.subtype, fourccSubtype('c', 'v', 'i', 'd'));
    EXPECT_STRNE(decoder->output1.name, "");
    EXPECT_EQ(r.outcome.roles.audioRenderer, -1);
    ASSERT_GE(r.outcome.roles.splitter, 0);
    // The splitter's unconnected audio output keeps its slot with no media type.
    const FilterRecord& splitter = r.table.records[r.outcome.roles.splitter];
    EXPECT_TRUE(splitter.output2.used);
    EXPECT_EQ(splitter.output2.peer, 0u);
    EXPECT_EQ(splitter.output2.subtype, kNullGuid);
}

TEST(RenderWine, UnplayableFileFailsWithNothingRecorded) {
    const std::string path = kMedia + "/not_media.tvr";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < 4096; ++i)
        std::fputc((i * 7919) & 0xFF, f);
    std::fclose(f);
    Rendered r = render(path);
    EXPECT_LT(r.hr, 0) << std::hex << r.hr;
    EXPECT_EQ(r.outcome.result, -1);
    EXPECT_EQ(r.table.count, 0);
    EXPECT_EQ(renderStatusText(r.hr, r.outcome.errorText).substr(0, 2), "0x");
    Rendered missing = render(kMedia + "/no such file.avi");
    EXPECT_LT(missing.hr, 0);
    EXPECT_EQ(heldGraphReferences(), 0);
}

HRESULT noGraphManager(IGraphBuilder** out) {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

TEST(RenderWine, MissingGraphManagerIsAClearStatus) {
    Rendered r = render(kMedia + "/pcm16_stereo.wav", &noGraphManager);
    EXPECT_EQ(r.hr, REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(r.outcome.managerCreated);
    EXPECT_EQ(r.table.count, 0);
    EXPECT_EQ(renderStatusText(r.hr, r.outcome.errorText), "0x80040154: [unknown]...   (more)");
}

// The benchmark repeats this over 200 renders; here enough to catch a leak per render.
TEST(RenderWine, NoReferenceSurvivesRepeatedRenders) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 30; ++i) {
        Rendered r = render(kMedia + (i % 2 ? "/pcm16_stereo.wav" : "/mjpeg_pcm.avi"));
        ASSERT_GE(r.hr, 0) << i;
        ASSERT_EQ(heldGraphReferences(), 0) << i;
        // Nothing else kept the graph manager alive either.
        ASSERT_EQ(lastGraphFinalCount(), 0u) << i;
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(25)) << i;
    }
}

TEST(RenderWine, NamesAreBoundedTerminatedAndKeptAsUtf8) {
    // A full name buffer without a terminator, followed by more characters.
    WCHAR full[140];
    for (WCHAR& c : full)
        c = L'A';
    EXPECT_EQ(narrowName(full, MAX_FILTER_NAME), std::string(128, 'A'));
    // Characters outside any ANSI code page come through whole.
    const WCHAR foreign[] = L"Filtre \u00e9 \u65e5\u672c \u0416";
    EXPECT_EQ(narrowName(foreign, MAX_FILTER_NAME),
              "Filtre \xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xd0\x96");
    EXPECT_EQ(narrowName(L"", MAX_PIN_NAME), "");
    EXPECT_EQ(narrowName(nullptr, MAX_PIN_NAME), "");
}

// A copy of `from` under `name` (UTF-8) in the media folder; its UTF-8 path.
std::string copyNamed(const std::string& from, const std::string& name) {
    const std::string to = kMedia + "/" + name;
    const std::wstring wideFrom = wideFromUtf8(from), wideTo = wideFromUtf8(to);
    EXPECT_TRUE(CopyFileW(wideFrom.c_str(), wideTo.c_str(), FALSE)) << name;
    return to;
}

TEST(RenderWine, FileNamesOutsideTheAnsiCodePageRender) {
    const std::string original = kMedia + "/mjpeg_pcm.avi";
    const Rendered plain = render(original);
    ASSERT_EQ(plain.hr, 0) << std::hex << plain.hr;
    // Japanese (no ANSI code page of a Western system holds it) and Latin-1 with
    // characters a Japanese system's code page lacks.
    const char* const kNames[] = {
        "\xe5\x8b\x95\xe7\x94\xbb\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88_"
        "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.avi",
        "vid\xc3\xa9o d'\xc3\xa9t\xc3\xa9 \xc3\xb1\xc3\xbc\xc3\x9f.avi",
    };
    for (const char* name : kNames) {
        const std::string path = copyNamed(original, name);
        const Rendered r = render(path);
        EXPECT_EQ(r.hr, 0) << name << std::hex << " " << r.hr;
        EXPECT_EQ(r.outcome.result, 1) << name;
        EXPECT_EQ(r.table.count, plain.table.count) << name;
        EXPECT_GE(r.outcome.roles.videoRenderer, 0) << name;
        EXPECT_GE(r.outcome.roles.audioRenderer, 0) << name;
        EXPECT_EQ(heldGraphReferences(), 0);
        DeleteFileW(wideFromUtf8(path).c_str());
    }
}

TEST(RenderWine, IdentifiersMatchThePlatformSdk) {
    auto same = [](const Guid& ours, const GUID& sdk) {
        return std::memcmp(&ours, &sdk, sizeof sdk) == 0;
    };
    EXPECT_TRUE(same(kClsidAviDec, CLSID_AVIDec));
    EXPECT_TRUE(same(kClsidAcmWrapper, CLSID_ACMWrapper));
    EXPECT_TRUE(same(kClsidAviCo, CLSID_AVICo));
    EXPECT_TRUE(same(kMediaSubtypeRgb1, MEDIASUBTYPE_RGB1));
    EXPECT_TRUE(same(kMediaSubtypeRgb4, MEDIASUBTYPE_RGB4));
    EXPECT_TRUE(same(kMediaSubtypeRgb8, MEDIASUBTYPE_RGB8));
    EXPECT_TRUE(same(kMediaSubtypeRgb555, MEDIASUBTYPE_RGB555));
    EXPECT_TRUE(same(kMediaSubtypeRgb565, MEDIASUBTYPE_RGB565));
    EXPECT_TRUE(same(kMediaSubtypeRgb24, MEDIASUBTYPE_RGB24));
    EXPECT_TRUE(same(kMediaSubtypeRgb32, MEDIASUBTYPE_RGB32));
    EXPECT_TRUE(same(kMediaSubtypeOverlay, MEDIASUBTYPE_Overlay));
    EXPECT_TRUE(same(fourccSubtype('Y', 'U', 'Y', '2'), MEDIASUBTYPE_YUY2));
    EXPECT_TRUE(same(fourccSubtype('Y', 'V', '1', '2'), MEDIASUBTYPE_YV12));
}

} // namespace
} // namespace tavro
