// Random INFO edit sequences over ffmpeg- and MEncoder-made AVIs (see tests/infoedit/generate):
// after every save the file keeps its length and every byte from `movi` on, the head
// walks cleanly, the comments read back as edited, and ffprobe reads the same packets.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "app/analysis_driver.h"
#include "infoedit/head_writer.h"
#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"
#include "tests/infoedit/junk_layouts.h"

namespace tavro {
namespace {

const std::string kMedia = TAVRO_BINARY_DIR "/infoedit_media/";
using Bytes = std::vector<uint8_t>;
using Fields = std::vector<std::pair<std::string, std::string>>;

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void writeFile(const std::string& path, const Bytes& b) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}
std::string packets(const std::string& path) {
    return run("ffprobe -v error -show_packets -show_entries packet=stream_index,pts,dts,size,pos,"
               "flags -of csv '" +
               path + "'");
}

// The INFO fields in file order, as the analysis lists them.
struct Analysed {
    Fields fields;
    Bytes head;
    bool editable = false;
};
Analysed analyse(const std::string& path) {
    ReportModel report;
    SilentPrompter prompter;
    auto driver =
        AnalysisDriver::create(report, prompter, platformFileSystem(), kRunModeInformationOnly);
    driver->fileList().add(path);
    driver->fileList().current = 0;
    driver->analyseCurrentFile();
    Analysed a;
    const MediaInfo& info = driver->info();
    a.editable = infoCommandsAllowed(info);
    a.head.assign(info.headBuffer(), info.headBuffer() + info.headLength);
    HeadLayout layout = scanHead(ByteView(a.head.data(), a.head.size()));
    for (const CommentRow& row : report.comments())
        for (const HeadChunk& c : layout.chunks)
            if (c.inInfoList && c.offset == row.chunk) a.fields.push_back({row.code, row.text});
    return a;
}

void apply(Fields& model, const std::string& id, const std::string& text, bool hadList) {
    for (auto it = model.begin(); it != model.end(); ++it)
        if (it->first == id) {
            if (text.empty())
                model.erase(it);
            else
                it->second = text;
            return;
        }
    if (text.empty()) return;
    if (!hadList) model.insert(model.begin(), {"ISFT", "Tavro"});
    model.insert(model.begin(), {id, text});
}

class InfoProperty : public ::testing::TestWithParam<std::tuple<std::string, std::string>> {};

TEST_P(InfoProperty, RandomEditSequences) {
    const std::string name = std::get<0>(GetParam()), kind = std::get<1>(GetParam());
    const Bytes source = variant(readFile(kMedia + name), kind);
    ASSERT_GT(source.size(), 1000u) << "media missing: run the infoedit_media_generate test";
    const std::string path = kMedia + "edit_" + kind + "_" + name;
    writeFile(path, source);
    const std::string sourcePackets = packets(path);
    Analysed start = analyse(path);
    ASSERT_TRUE(start.editable);
    const uint32_t movi = moviOffset(start.head);
    ASSERT_NE(movi, 0xFFFFFFFFu);
    Fields model = start.fields;
    bool hasList = !model.empty();
    for (const HeadChunk& c : scanHead(ByteView(start.head.data(), start.head.size())).chunks)
        hasList = hasList || (c.container && std::memcmp(c.type.data(), "INFO", 4) == 0);

    std::mt19937 random(std::hash<std::string>()(path));
    const InfoField* table = infoFieldTable();
    int saved = 0;
    const int steps = source.size() > 500000 ? 10 : 24; // big files cost more per re-read
    for (int step = 0; step < steps; ++step) {
        Analysed now = analyse(path);
        ASSERT_EQ(now.fields, model) << "step " << step;
        std::string id = table[random() % 6 == 0 ? random() % kInfoFieldCount
                                                 : (random() % 2 ? 15 : 1 + random() % 4)]
                             .id;
        if (!model.empty() && random() % 2) id = model[random() % model.size()].first;
        std::string text;
        size_t length = random() % 4 == 0 ? 0 : random() % 80;
        for (size_t i = 0; i < length; ++i)
            text.push_back(static_cast<char>(' ' + random() % 95));
        Bytes head = now.head;
        InfoMessage message;
        FileStamp stamp;
        ASSERT_TRUE(platformFileSystem().stamp(path, &stamp, nullptr));
        if (!setInfoField(head, fourcc4(id), text, &message)) {
            EXPECT_EQ(head, now.head) << "a refused edit leaves the head";
            continue;
        }
        ASSERT_TRUE(headWalksCleanly(ByteView(head.data(), head.size())));
        HeadWriteResult written =
            writeHead(platformFileSystem(), path, stamp, ByteView(now.head.data(), now.head.size()),
                      ByteView(head.data(), head.size()));
        ASSERT_TRUE(written.ok()) << written.text;
        apply(model, id, text.substr(0, kMaxFieldText), hasList);
        hasList = hasList || !text.empty();
        saved += written.kind == HeadWriteResult::Kind::Written;
        Bytes file = readFile(path);
        ASSERT_EQ(file.size(), source.size());
        ASSERT_TRUE(std::equal(source.begin() + movi, source.end(), file.begin() + movi))
            << "bytes from movi on changed at step " << step;
    }
    EXPECT_EQ(analyse(path).fields, model);
    if (kind == "plain") {
        EXPECT_GT(saved, 5);
    }
    EXPECT_EQ(packets(path), sourcePackets);
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Media, InfoProperty,
    ::testing::Combine(::testing::Values("tags_pcm.avi", "no_info.avi", "long_comment.avi",
                                         "raw_tags.avi", "small_tags.avi", "menc_tags.avi",
                                         "menc_copy.avi"),
                       ::testing::Values("plain", "small_junk", "no_junk_after")),
    [](const auto& info) {
        std::string n = std::get<0>(info.param);
        return n.substr(0, n.find('.')) + "_" + std::get<1>(info.param);
    });

TEST(InfoPropertyFiles, CommandsAreOffForWaveAndWrappedFiles) {
    // A WAVE file is no AVI: the commands stay off.
    Bytes wav = readFile(kMedia + "tags_pcm.avi");
    ASSERT_FALSE(wav.empty());
    std::memcpy(wav.data() + 8, "WAVE", 4);
    const std::string path = kMedia + "not_avi.wav";
    writeFile(path, wav);
    EXPECT_FALSE(analyse(path).editable);

    // An AVI inside a WAVE wrapper is analysed from its payload: the head buffer then
    // no longer starts the file, and nothing may be written from it.
    Bytes avi = readFile(kMedia + "tags_pcm.avi");
    Bytes wrapped = {'R',  'I',  'F', 'F', 0, 0, 0,  0, 'W', 'A', 'V',  'E',  'f', 'm',
                     't',  ' ',  16,  0,   0, 0, 1,  0, 1,   0,   0x44, 0xAC, 0,   0,
                     0x88, 0x58, 1,   0,   2, 0, 16, 0, 'd', 'a', 't',  'a'};
    for (int i = 0; i < 4; ++i)
        wrapped.push_back(static_cast<uint8_t>(avi.size() >> (8 * i)));
    wrapped.insert(wrapped.end(), avi.begin(), avi.end());
    const uint32_t riff = static_cast<uint32_t>(wrapped.size() - 8);
    for (int i = 0; i < 4; ++i)
        wrapped[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    writeFile(path, wrapped);
    Analysed inner = analyse(path);
    EXPECT_FALSE(inner.editable);
    EXPECT_FALSE(inner.fields.empty()) << "the payload's comments are still listed";
    std::remove(path.c_str());
}

TEST(InfoPropertyFiles, TheDriverReReadsAnEditedHead) {
    ReportModel report;
    SilentPrompter prompter;
    auto driver =
        AnalysisDriver::create(report, prompter, platformFileSystem(), kRunModeInformationOnly);
    driver->fileList().add(kMedia + "tags_pcm.avi");
    driver->fileList().current = 0;
    ASSERT_EQ(driver->analyseCurrentFile(), AnalysisDriver::Outcome::Analysed);
    MediaInfo& info = driver->info();
    const std::string type = report.text(field::Type), fourcc = report.text(field::FourCC);
    Bytes head(info.headBuffer(), info.headBuffer() + info.headLength);
    InfoMessage message;
    ASSERT_TRUE(setInfoField(head, fourcc4("INAM"), "Re-read", &message));
    std::memcpy(info.headBuffer(), head.data(), head.size());
    driver->reanalyseHead();
    std::map<std::string, std::string> rows;
    for (const CommentRow& r : report.comments())
        rows[r.code] = r.name + "|" + r.text;
    EXPECT_EQ(rows["INAM"], "Name|Re-read");
    EXPECT_EQ(rows["IART"], "Artist|Test Artist");
    EXPECT_EQ(report.text(field::Type), type);
    EXPECT_EQ(report.text(field::FourCC), fourcc);
    EXPECT_TRUE(infoCommandsAllowed(info));
}

} // namespace
} // namespace tavro
