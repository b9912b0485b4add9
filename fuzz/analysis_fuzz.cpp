// Fuzzes a whole file analysis (identify, cooked test, RIFF walk, wrapped WAVE passes,
// report formatting) over arbitrary bytes. The first 8 input bytes are the file size
// the file system claims, fuzzed apart from the content.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "analysis/field_format.h"
#include "analysis/size_text.h"
#include "app/analysis_driver.h"
#include "fuzz/bytes_file_system.h"


extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tavro::ReportModel report;
    static tavro::SilentPrompter prompter;
    static tavro::fuzz::BytesFileSystem files;
    static std::unique_ptr<tavro::AnalysisDriver> driver =
        tavro::AnalysisDriver::create(report, prompter, files, 1);
    if (size < 8) return 0;
    uint64_t claimed = 0;
    std::memcpy(&claimed, data, 8);
    files.data = data + 8;
    files.size = size - 8;
    // Mostly sizes near the real one, so the length check sees both sides of it.
    files.claimed = (claimed & 1) ? claimed >> 1 : files.size + ((claimed >> 1) & 0xFFFF) - 0x8000;
    tavro::FileList& list = driver->fileList();
    list.clear();
    list.add("fuzz.avi");
    driver->analyseCurrentFile();

    tavro::sizeText(claimed, true);
    tavro::sizeText(claimed, false);
    tavro::WaveFormatBytes fmt;
    std::memcpy(fmt.raw.data(), data, 8);
    tavro::wavSummary(fmt);
    tavro::aspectText(static_cast<uint32_t>(claimed), static_cast<uint32_t>(claimed >> 32));
    return 0;
}
