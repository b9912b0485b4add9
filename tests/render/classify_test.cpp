// The filter roles and field texts of graphs shaped like those Windows and Wine
// build, over the shipped data base's names.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "render/filter_roles.h"
#include "render/render_fields.h"
#include "render/render_test.h"
#include "tests/codecs/fake_codec_sources.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/render/graph_builder.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

using test::GraphSketch;
using test::kMediaSubtypeAvi;
using test::kMediaTypeStream;
using test::waveTagSubtype;

const CodecDatabase& shippedDb() {
    static CodecDatabase* db = [] {
        auto* d = new CodecDatabase;
        test::MemoryFileSystem fs;
        std::ifstream dat(std::string(TAVRO_SOURCE_DIR) + "/codecs/data/Tavro21.dat",
                          std::ios::binary);
        fs.files["Tavro21.dat"].bytes.assign(std::istreambuf_iterator<char>(dat), {});
        RecordingPrompter prompter;
        d->load(fs, prompter);
        return d;
    }();
    return *db;
}

struct Expected {
    int source, audioRenderer, audioPost, videoRenderer, videoPost, videoDecoder, audioDecoder,
        splitter, extra, videoPre, audioPre;
};

void expectRoles(const FilterRoles& r, const Expected& e) {
    EXPECT_EQ(r.source, e.source);
    EXPECT_EQ(r.audioRenderer, e.audioRenderer);
    EXPECT_EQ(r.audioPostFilter, e.audioPost);
    EXPECT_EQ(r.videoRenderer, e.videoRenderer);
    EXPECT_EQ(r.videoPostFilter, e.videoPost);
    EXPECT_EQ(r.videoDecoder, e.videoDecoder);
    EXPECT_EQ(r.audioDecoder, e.audioDecoder);
    EXPECT_EQ(r.splitter, e.splitter);
    EXPECT_EQ(r.extra, e.extra);
    EXPECT_EQ(r.videoPreFilter, e.videoPre);
    EXPECT_EQ(r.audioPreFilter, e.audioPre);
}

struct Texts {
    const char *source, *video, *audio, *splitter, *videoCodec, *audioCodec;
};

void expectTexts(const RenderFieldTexts& t, const Texts& e) {
    EXPECT_EQ(t.sourceMedia.text, e.source);
    EXPECT_EQ(t.videoMedia.text, e.video);
    EXPECT_EQ(t.audioMedia.text, e.audio);
    EXPECT_EQ(t.splitter.text, e.splitter);
    EXPECT_EQ(t.videoCodec.text, e.videoCodec);
    EXPECT_EQ(t.audioCodec.text, e.audioCodec);
}

// Windows' graph for an MJPEG + PCM AVI, in its enumeration order (renderers
// first): File Source -> AVI Splitter -> AVI Decompressor -> Video Renderer, and
// the splitter's PCM straight into the DirectSound renderer.
GraphSketch windowsAvi(const Guid& videoType) {
    GraphSketch g;
    const int renderer = g.add("Video Renderer");
    const int decompressor = g.add("AVI Decompressor", kClsidAviDec);
    const int sound = g.add("Default DirectSound Device");
    const int splitter = g.add("AVI Splitter");
    const int source = g.add("clip.avi");
    g.connect(source, splitter, kMediaTypeStream, kMediaSubtypeAvi, "Output", "input pin");
    g.connect(splitter, decompressor, kMediaTypeVideo, videoType, "Stream 00", "XForm In");
    g.connect(decompressor, renderer, kMediaTypeVideo, kMediaSubtypeRgb24, "XForm Out", "Input");
    g.connect(splitter, sound, kMediaTypeAudio, kMediaSubtypePcm, "Stream 01",
              "Audio Input pin (rendered)");
    return g;
}

struct Classified {
    FilterTable table;
    FilterRoles roles;
    RenderFieldTexts texts;
};

Classified classify(const GraphDescription& graph, const VideoCodecInventory* video = nullptr,
                    const AudioCodecInventory* audio = nullptr) {
    Classified r;
    fillFilterTable(graph, r.table);
    r.roles = classifyFilters(r.table);
    matchDecoderCodecs(r.table, r.roles, &shippedDb(), video, audio);
    r.texts = renderFieldTexts(r.table, r.roles, &shippedDb(), video, audio);
    return r;
}

TEST(RenderClassify, WindowsAviWithPcmHandledByTheSplitter) {
    Classified r = classify(windowsAvi(fourccSubtype('M', 'J', 'P', 'G')).graph);
    expectRoles(r.roles, {4, 2, -1, 0, -1, 1, -1, 3, -1, -1, -1});
    expectTexts(r.texts, {"AVI file", "Motion JPEG", "", "AVI Splitter", "AVI Decompressor",
                          "[ handled by AVI Splitter ]"});
    EXPECT_EQ(r.texts.sourceMedia.link, 4);
    EXPECT_EQ(r.texts.splitter.link, 3);
    EXPECT_EQ(r.texts.videoCodec.link, 1);
    EXPECT_EQ(r.texts.audioCodec.link, 3);
    EXPECT_EQ(r.texts.videoMedia.link, -1);
    // A subtype the data base names has no FourCC form.
    EXPECT_STREQ(r.table.records[1].primaryFourcc, "");
    r = classify(windowsAvi(fourccSubtype('t', 'v', 'r', '1')).graph);
    EXPECT_STREQ(r.table.records[1].primaryFourcc, "TVR1");
    EXPECT_EQ(r.texts.videoMedia.text, "4cc: tvr1    ");
    // No inventory: no codec, never codec 0.
    for (const FilterRecord& f : r.table.records) {
        EXPECT_EQ(f.videoCodecIndex, -1);
        EXPECT_EQ(f.audioCodecIndex, -1);
    }
}

TEST(RenderClassify, DecodersAreMatchedToInstalledCodecs) {
    FakeMachine m;
    m.directShow.categories.push_back(
        {kVideoCompressorCategory,
         {moniker("Other", "{11111111-0000-0000-0000-00000000000A}"),
          moniker("Cinepak Codec by Radius", "{11111111-0000-0000-0000-00000000000B}", "cvid"),
          moniker("Xvid Decoder", "{11111111-0000-0000-0000-00000000000C}")}});
    m.vfw.drivers[fourccSubtype('c', 'v', 'i', 'd').Data1] = {"iccvid", "Cinepak", "iccvid.dll"};
    m.acm.drivers.push_back(acmDriver("Fraunhofer", {acmTag(0x55, "MPEG Layer-3")}));
    CodecSources sources = m.sources();
    auto video = VideoCodecInventory::create();
    video->build(sources, 0xFFFFFFFF, shippedDb());
    auto audio = AudioCodecInventory::create();
    audio->build(sources, 0xFFFFFFFF);
    ASSERT_GE(video->count(), 3);
    ASSERT_GE(audio->count(), 1);

    // The VfW wrapper is matched by the FourCC of its input (lower case as in files).
    Classified r =
        classify(windowsAvi(fourccSubtype('c', 'v', 'i', 'd')).graph, video.get(), audio.get());
    EXPECT_EQ(r.table.records[1].videoCodecIndex, video->find("cvid"));
    EXPECT_GE(r.table.records[1].videoCodecIndex, 0);

    // Any other decoder by its exact friendly name; the ACM wrapper by format tag.
    GraphSketch g;
    const int vr = g.add("Video Renderer");
    const int xvid = g.add("Xvid Decoder");
    const int ds = g.add("DirectSound: Default");
    const int acm = g.add("ACM Wrapper", kClsidAcmWrapper);
    const int split = g.add("AVI Splitter");
    const int src = g.add("a.avi");
    g.connect(src, split, kMediaTypeStream, kMediaSubtypeAvi);
    g.connect(split, xvid, kMediaTypeVideo, fourccSubtype('X', 'V', 'I', 'D'));
    g.connect(xvid, vr, kMediaTypeVideo, fourccSubtype('Y', 'V', '1', '2'));
    g.connect(split, acm, kMediaTypeAudio, waveTagSubtype(0x55));
    g.connect(acm, ds, kMediaTypeAudio, kMediaSubtypePcm);
    r = classify(g.graph, video.get(), audio.get());
    expectRoles(r.roles, {5, 2, -1, 0, -1, 1, 3, 4, -1, -1, -1});
    EXPECT_EQ(r.table.records[1].videoCodecIndex, 2);
    EXPECT_EQ(r.table.records[3].audioCodecIndex, audio->find("0x0055"));
    EXPECT_EQ(r.texts.audioCodec.text, "ACM Wrapper -> MPEG Layer-3");
    EXPECT_EQ(r.texts.audioMedia.text, "MP3 audio");
    EXPECT_EQ(r.texts.videoCodec.text, "Xvid Decoder");
    EXPECT_EQ(r.texts.videoMedia.text, "XVID - Xvid (MPEG-4 Part 2)");
}

TEST(RenderClassify, MpegGraphWithPreAndPostFilters) {
    GraphSketch g;
    const int vr = g.add("Video Renderer");
    const int post = g.add("Colour Space Converter");
    const int dec = g.add("MPEG Video Decoder");
    const int pre = g.add("Line 21 Tap");
    const int ds = g.add("DirectSound");
    const int apost = g.add("Audio Levels");
    const int adec = g.add("MPEG Audio Decoder");
    const int split = g.add("MPEG-I Stream Splitter");
    const int src = g.add("clip.mpg");
    const Guid mpegVideo = rgbSubtype(0xE436EB86);
    g.connect(src, split, kMediaTypeStream, rgbSubtype(0xE436EB84));
    g.connect(split, pre, kMediaTypeVideo, mpegVideo);
    g.connect(pre, dec, kMediaTypeVideo, mpegVideo);
    g.connect(dec, post, kMediaTypeVideo, fourccSubtype('Y', 'U', 'Y', '2'));
    g.connect(post, vr, kMediaTypeVideo, kMediaSubtypeRgb32);
    g.connect(split, adec, kMediaTypeAudio, kMediaSubtypeMpeg1Audio);
    g.connect(adec, apost, kMediaTypeAudio, kMediaSubtypePcm);
    g.connect(apost, ds, kMediaTypeAudio, kMediaSubtypePcm);
    Classified r = classify(g.graph);
    expectRoles(r.roles, {src, ds, apost, vr, post, dec, adec, split, -1, pre, -1});
    EXPECT_EQ(r.texts.videoCodec.text,
              "Line 21 Tap --> MPEG Video Decoder-->Colour Space Converter");
    EXPECT_EQ(r.texts.audioCodec.text, "MPEG Audio Decoder-->Audio Levels");
    EXPECT_EQ(r.texts.splitter.text, "MPEG-I Stream Splitter");

    // The same pre-filter on the audio side; an extra filter feeding neither is
    // shown beside the splitter.
    GraphSketch a;
    const int ads = a.add("DirectSound");
    const int adc = a.add("Decoder");
    const int tap = a.add("Tap");
    const int sp = a.add("Splitter");
    const int s = a.add("src");
    a.connect(s, sp, kMediaTypeStream, kMediaSubtypeAvi);
    a.connect(sp, tap, kMediaTypeAudio, kMediaSubtypeMpeg1Audio);
    a.pin(sp, PinDirection::Output, "Unused"); // gives the splitter its second output
    a.connect(tap, adc, kMediaTypeAudio, kMediaSubtypeMpeg1Audio);
    a.connect(adc, ads, kMediaTypeAudio, kMediaSubtypePcm);
    r = classify(a.graph);
    EXPECT_EQ(r.roles.audioPreFilter, tap);
    EXPECT_EQ(r.roles.splitter, sp);
    EXPECT_EQ(r.texts.audioCodec.text, "Tap --> Decoder");
}

TEST(RenderClassify, SplitterIsTheOneWithTwoOutputs) {
    struct Case {
        bool firstHasTwo;
        int splitter, extra;
    };
    for (const Case& c : {Case{true, 1, 2}, Case{false, 2, 1}}) {
        GraphSketch g;
        g.add("src");
        const int a = g.add("A");
        const int b = g.add("B");
        g.connect(0, a, kMediaTypeStream, kMediaSubtypeAvi);
        g.connect(a, b, kMediaTypeStream, kMediaSubtypeAvi);
        // A has one output already; named outputs keep both off the renderer roles.
        if (c.firstHasTwo) {
            g.pin(a, PinDirection::Output, "o2");
            g.pin(b, PinDirection::Output, "o1");
        } else {
            g.pin(b, PinDirection::Output, "o1");
            g.pin(b, PinDirection::Output, "o2");
        }
        Classified r = classify(g.graph);
        EXPECT_EQ(r.roles.splitter, c.splitter);
        EXPECT_EQ(r.roles.extra, c.extra);
        EXPECT_EQ(r.texts.splitter.text, c.firstHasTwo ? "A / B" : "B / A");
    }
}

// Filters that read the file and decode by themselves (Wine's GStreamer splitter,
// readers such as the ASF reader) are the decoder of every stream they feed.
TEST(RenderClassify, FiltersThatSplitAndDecodeAreTheDecoderOfEachStream) {
    enum Shape { VideoFirst, AudioFirst, SourceReader, SeparateAudioDecoder, VideoOnly };
    struct Case {
        Shape shape;
        // Filter indices: 0 source, 1 splitter, 2 video renderer, 3 audio renderer,
        // 4 separate audio decoder.
        int videoDecoder, audioDecoder, splitter;
        const char *videoCodec, *audioCodec, *splitterText, *audioMedia;
    } cases[] = {
        {VideoFirst, 1, 1, 1, "GStreamer splitter", "GStreamer splitter", "GStreamer splitter",
         "AVI file"},
        {AudioFirst, 1, 1, 1, "GStreamer splitter", "GStreamer splitter", "GStreamer splitter",
         "AVI file"},
        {SourceReader, 0, 0, -1, "WM ASF Reader", "WM ASF Reader", "", ""},
        {SeparateAudioDecoder, 1, 4, 1, "GStreamer splitter", "MPEG Layer-3 Decoder",
         "GStreamer splitter", "MP3 audio"},
        {VideoOnly, 1, -1, -1, "GStreamer splitter", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        GraphSketch g;
        const bool reader = c.shape == SourceReader;
        const int src = g.add(reader ? "WM ASF Reader" : "clip.avi");
        const int split = reader ? g.add("unused") : g.add("GStreamer splitter");
        const int vr = g.add("Video Renderer");
        const int ds = g.add("DirectSound Audio Renderer");
        const int from = reader ? src : split;
        if (!reader) g.connect(src, split, kMediaTypeStream, kMediaSubtypeAvi);
        if (reader) g.graph.filters[split].name = ""; // no such filter: takes no role
        auto video = [&] { g.connect(from, vr, kMediaTypeVideo, kMediaSubtypeRgb32, "video"); };
        auto audio = [&] { g.connect(from, ds, kMediaTypeAudio, kMediaSubtypePcm, "audio"); };
        if (c.shape == AudioFirst) {
            audio();
            video();
        } else if (c.shape == SeparateAudioDecoder) {
            video();
            const int mp3 = g.add("MPEG Layer-3 Decoder");
            g.connect(from, mp3, kMediaTypeAudio, waveTagSubtype(0x55), "audio");
            g.connect(mp3, ds, kMediaTypeAudio, kMediaSubtypePcm);
        } else {
            video();
            if (c.shape != VideoOnly) audio();
            if (c.shape == VideoOnly) g.graph.filters[ds].name = "";
        }
        Classified r = classify(g.graph);
        EXPECT_EQ(r.roles.source, src);
        EXPECT_EQ(r.roles.videoRenderer, vr);
        EXPECT_EQ(r.roles.videoDecoder, c.videoDecoder);
        EXPECT_EQ(r.roles.audioDecoder, c.audioDecoder);
        EXPECT_EQ(r.roles.splitter, c.splitter);
        EXPECT_EQ(r.texts.videoCodec.text, c.videoCodec);
        EXPECT_EQ(r.texts.audioCodec.text, c.audioCodec);
        EXPECT_EQ(r.texts.splitter.text, c.splitterText);
        EXPECT_EQ(r.texts.audioMedia.text, c.audioMedia);
        EXPECT_EQ(r.texts.audioCodec.link, c.audioDecoder);
    }
    // A splitter that passes PCM on beside a separate video decoder still only
    // "handles" the audio (the Windows AVI graph above).
    Classified w = classify(windowsAvi(fourccSubtype('M', 'J', 'P', 'G')).graph);
    EXPECT_EQ(w.roles.audioDecoder, -1);
    EXPECT_EQ(w.texts.audioCodec.text, "[ handled by AVI Splitter ]");

    // Audio only: the parser is the audio decoder, and with one output no splitter.
    GraphSketch a;
    const int s = a.add("File Source (Async)");
    const int p = a.add("Wave Parser");
    const int d = a.add("DirectSound Audio Renderer");
    a.connect(s, p, kMediaTypeStream, kMediaSubtypeAvi);
    a.connect(p, d, kMediaTypeAudio, kMediaSubtypePcm);
    Classified r = classify(a.graph);
    EXPECT_EQ(r.roles.audioDecoder, p);
    EXPECT_EQ(r.roles.splitter, -1);
    EXPECT_EQ(r.texts.audioCodec.text, "Wave Parser");
    EXPECT_EQ(r.texts.audioMedia.text, "AVI file");
}

TEST(RenderClassify, ElevenFiltersKeepTenAndEmptyNamesTakeNoRole) {
    GraphSketch g;
    for (int i = 0; i < 11; ++i)
        g.add("F" + std::to_string(i));
    for (int i = 0; i < 10; ++i)
        g.connect(i, i + 1, kMediaTypeVideo, kMediaSubtypeRgb24, "out" + std::to_string(i));
    g.graph.filters[0].name = ""; // a filter without a name
    Classified r = classify(g.graph);
    EXPECT_EQ(r.table.count, 10);
    EXPECT_EQ(r.roles.source, 0); // the source role ignores names
    // F10 (the last, with no outputs) is beyond the table: no renderer is found.
    EXPECT_EQ(r.roles.videoRenderer, -1);
    EXPECT_EQ(r.roles.videoDecoder, -1);
    // Neither of the first two left has a second output: the second is the splitter.
    EXPECT_EQ(r.roles.splitter, 2);
    EXPECT_EQ(r.roles.extra, 1);
    EXPECT_EQ(r.texts.sourceMedia.text, "");
    EXPECT_EQ(r.texts.sourceMedia.link, -1);
}

TEST(RenderClassify, ExtraPinsGetNoSlotAndLongNamesAreCut) {
    GraphSketch g;
    const int f = g.add(std::string(300, 'n'));
    g.pin(f, PinDirection::Input, "in1");
    g.pin(f, PinDirection::Input, "in2");
    g.pin(f, PinDirection::Output, "out1");
    g.pin(f, PinDirection::Output, std::string(200, 'p'));
    g.pin(f, PinDirection::Output, "out3");
    FilterTable table;
    fillFilterTable(g.graph, table);
    const FilterRecord& r = table.records[0];
    EXPECT_EQ(std::string(r.name), std::string(127, 'n'));
    EXPECT_STREQ(r.input.name, "in1");
    EXPECT_STREQ(r.output1.name, "out1");
    EXPECT_EQ(std::string(r.output2.name), std::string(127, 'p'));
    EXPECT_EQ(table.records[1].videoCodecIndex, -1);

    // Names are UTF-8 (the source is named after the file): a cut never splits a
    // character. Three-byte characters fill 126 of the 127 bytes; a two-byte
    // character after 126 ASCII bytes does not fit and is left out whole.
    std::string japanese;
    for (int i = 0; i < 60; ++i)
        japanese += "\xe6\x97\xa5";
    GraphSketch h;
    h.add(japanese);
    h.add(std::string(126, 'a') + "\xc3\xa9tude");
    fillFilterTable(h.graph, table);
    EXPECT_EQ(std::string(table.records[0].name), japanese.substr(0, 126));
    EXPECT_EQ(std::string(table.records[1].name), std::string(126, 'a'));
}

class ScriptedBuilder : public GraphBuilder {
  public:
    int32_t hr = 0;
    bool created = true;
    GraphDescription graph;
    int32_t renderFile(const std::string&, size_t, GraphDescription* out,
                       bool* managerCreated) override {
        *out = created ? graph : GraphDescription();
        *managerCreated = created;
        return hr;
    }
};

TEST(RenderTest, ResultCodesStatusAndPartialGraphs) {
    struct Case {
        uint32_t hr;
        bool created;
        int result;
        bool recorded;
        const char* status;
    };
    const Case cases[] = {
        {0, true, 1, true, "File rendered successfully; no errors reported   (details...)"},
        // A partial render is reported from its code, yet its graph is recorded.
        {0x00040242, true, -1, true,
         "0x00040242: VFW_S_PARTIAL_RENDER - Only some streams of the ...   (more)"},
        {0x80040265, true, -1, false, nullptr},
        // No graph manager: its creation failure is the status, nothing is used.
        {0x80040154, false, -1, false, nullptr},
    };
    for (const Case& c : cases) {
        ScriptedBuilder builder;
        builder.hr = static_cast<int32_t>(c.hr);
        builder.created = c.created;
        builder.graph = windowsAvi(fourccSubtype('M', 'J', 'P', 'G')).graph;
        RenderInputs in{builder, &shippedDb()};
        FilterTable table;
        table.records[7].videoCodecIndex = 3; // left from an earlier test
        RenderOutcome out;
        EXPECT_EQ(buildAndInspectGraph(in, "x.avi", table, &out), builder.hr);
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(table.count, c.recorded ? 5 : 0) << std::hex << c.hr;
        EXPECT_EQ(table.records[7].videoCodecIndex, -1);
        EXPECT_EQ(out.roles.videoDecoder, c.recorded ? 1 : -1);
        const std::string status = renderStatusText(out.hr, out.errorText);
        char code[16];
        std::snprintf(code, sizeof code, "0x%08x: ", c.hr);
        EXPECT_EQ(out.errorText.rfind(code, 0), 0u) << out.errorText;
        if (c.status) {
            EXPECT_EQ(status, c.status);
        } else {
            EXPECT_EQ(status, out.errorText.substr(0, 60) + "...   (more)");
        }
        EXPECT_LE(out.errorText.size(), kMaxErrorText);
    }
}

TEST(RenderTest, EnablingRulesInOrder) {
    struct Case {
        uint32_t bits;
        int runMode, audio, video, files;
        const char* reason;
    };
    const uint32_t all = 0xFFFFFFFF, batchOn = all & ~kNoBatchRendering;
    const Case cases[] = {
        {all & ~kEnableRendering, 2, 2, 2, 2, "Disabled in advanced diagnostic settings"},
        {all, 2, 2, 2, 2, "Disabled due to Run Mode setting"},
        {all, 3, 1, 1, 1, "Disabled due to Run Mode setting"},
        {all, 1, 2, 2, 2, "Disabled: rendering of multi stream audio not supported"},
        {all, 1, 1, 2, 2, "Disabled: rendering of multi stream video not supported"},
        {all, 1, 1, 1, 2, "Disabled by default when processing multiple files (see prefs)"},
        {batchOn, 1, 1, 1, 2, ""},
        {all, 1, 1, 1, 1, ""},
        {all, 1, 0, 0, 1, ""},
    };
    for (const Case& c : cases) {
        Settings s;
        s.enableBits = c.bits;
        s.runMode = c.runMode;
        EXPECT_STREQ(renderDisabledReason(s, c.audio, c.video, c.files), c.reason);
    }
}

TEST(RenderTest, ErrorTextIsBoundedAndNamedWithoutADataBase) {
    EXPECT_EQ(renderErrorText(nullptr, static_cast<int32_t>(0x80004005), nullptr),
              "0x80004005: [unknown]");
    const CodecDatabaseEntry* entry = nullptr;
    renderErrorText(&shippedDb(), static_cast<int32_t>(0x80040265), &entry);
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->name, "VFW_E_UNSUPPORTED_STREAM");
    EXPECT_EQ(renderErrorText(&shippedDb(), 0x1234, &entry), "0x00001234: [unknown]");
    EXPECT_EQ(entry, nullptr);
}

} // namespace
} // namespace tavro
