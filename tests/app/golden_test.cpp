// Report snapshots of byte-built samples, one field per line under tests/golden/, so
// a diff names the field that changed. TAVRO_UPDATE_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/analysis_driver.h"
#include "app/report_fields.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using namespace test;

std::string snapshot(const ReportModel& report) {
    std::string out;
    for (const ReportFieldInfo& f : reportFields())
        out += std::string(f.label) + ": " + report.text(f.id) + "\n";
    for (const CommentRow& row : report.comments())
        out += "Comment " + row.code + ": " + row.text + "\n";
    return out;
}

struct Sample {
    const char* name;
    Bytes bytes;
    uint64_t claimed = UINT64_MAX;
};

std::vector<Sample> samples() {
    Bytes pcm = waveFormat(1, 2, 44100, 176400, 4, 16);
    Bytes info = list("LIST", "INFO",
                      chunk("INAM", text("Golden sample")) + chunk("ISFT", text("Tavro tests")));
    Bytes recMovi;
    for (int i = 0; i < 4; ++i)
        recMovi = recMovi +
                  list("LIST", "rec ", chunk("00dc", Bytes(50, 1)) + chunk("01wb", Bytes(20, 2)));
    Bytes recAvi = list(
        "RIFF", "AVI ",
        list("LIST", "hdrl",
             avih(33367, 4, 1, 352, 288) +
                 list("LIST", "strl",
                      strh("vids", "cvid", 1001, 30000, 4) + bitmapStrf(352, 288, fourcc("cvid"))) +
                 chunk("segm", Bytes{0})) +
            list("LIST", "movi", recMovi));
    Bytes simple = simpleAvi(chunk("ISFT", text("ByteBuilder 1.0")),
                             info + chunk("JUNK", text("padding written by Test Muxer 3")));
    Bytes cut = simple;
    cut.resize(300);
    return {
        {"simple_avi", simple},
        {"truncated_avi", cut},
        {"slightly_short_avi", simple, simple.size() - 100},
        {"opendml_5gib", simpleAvi(list("LIST", "odml", chunk("dmlh", Bytes{10, 0, 0, 0}))),
         5368709120ull},
        {"rec_list_segment", recAvi},
        {"pcm_wave", list("RIFF", "WAVE", chunk("fmt ", pcm) + chunk("data", Bytes(1000, 0x80)))},
        {"ima_wave", list("RIFF", "WAVE",
                          chunk("fmt ", waveFormat(0x11, 1, 22050, 11100, 512, 4)) +
                              chunk("data", Bytes(512, 7)))},
        {"wrapped_midi",
         list("RIFF", "WAVE", chunk("fmt ", pcm) + chunk("data", text("MThd") + Bytes(10, 0)))},
        {"rmid", list("RIFF", "RMID", chunk("data", text("MThd")))},
        {"unknown_riff", list("RIFF", "WEBP", chunk("VP8 ", Bytes(10, 0)))},
        {"audio_only_avi",
         list("RIFF", "AVI ",
              list("LIST", "hdrl",
                   avih(0, 0, 1, 0, 0) +
                       list("LIST", "strl",
                            strh("auds", "    ", 1, 22050, 0) +
                                chunk("strf", waveFormat(0x55, 2, 44100, 16000, 1, 0)))))},
        {"quicktime_old", Bytes{0, 0, 0, 8, 'w', 'i', 'd', 'e', 0, 0, 1, 0, 'm', 'd', 'a', 't'}},
        {"mp4_ftyp", text(std::string("\0\0\0\x14"
                                      "ftypisom\0\0\2\0"
                                      "isom",
                                      20)) +
                         Bytes(40, 0)},
        {"empty", {}},
    };
}

TEST(Golden, ReportSnapshots) {
    MemoryFileSystem fs;
    SilentPrompter prompter;
    ReportModel report;
    // The shipped data base names the formats, as in the real program.
    std::ifstream dat(std::string(TAVRO_SOURCE_DIR) + "/codecs/data/Tavro21.dat", std::ios::binary);
    fs.files["Tavro21.dat"].bytes.assign(std::istreambuf_iterator<char>(dat), {});
    CodecDatabase db;
    ASSERT_TRUE(db.load(fs, prompter));
    CodecServices services;
    services.db = &db;
    Settings settings;
    settings.runMode = kRunModeInformationOnly;
    auto driver = AnalysisDriver::create(report, prompter, fs, settings, &services);
    bool update = std::getenv("TAVRO_UPDATE_GOLDEN") != nullptr;
    for (const Sample& s : samples()) {
        fs.files[s.name] = {s.bytes, s.claimed, false};
        driver->fileList().clear();
        driver->fileList().add(s.name);
        driver->analyseCurrentFile();
        std::string got = snapshot(report);
        std::string path = std::string(TAVRO_SOURCE_DIR) + "/tests/golden/" + s.name + ".txt";
        if (update) {
            std::ofstream(path, std::ios::binary) << got;
            continue;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "missing snapshot " << path << " (run with TAVRO_UPDATE_GOLDEN=1)";
        std::stringstream want;
        want << in.rdbuf();
        EXPECT_EQ(got, want.str()) << s.name;
    }
}

} // namespace
} // namespace tavro
