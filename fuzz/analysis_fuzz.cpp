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

namespace {

class BytesFile : public tavro::InputFile {
  public:
    BytesFile(const uint8_t* data, size_t size, uint64_t claimed)
        : data_(data), size_(size), claimed_(claimed) {}
    bool read(void* buffer, size_t want, size_t* got, tavro::FileError*) override {
        size_t n = size_ - pos_ < want ? size_ - pos_ : want;
        if (n) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        *got = n;
        return true;
    }
    uint64_t size() const override { return claimed_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint64_t claimed_;
};

class BytesFileSystem : public tavro::FileSystem {
  public:
    const uint8_t* data = nullptr;
    size_t size = 0;
    uint64_t claimed = 0;
    std::unique_ptr<tavro::InputFile> openRead(const std::string&, tavro::FileError*) override {
        return std::make_unique<BytesFile>(data, size, claimed);
    }
    bool exists(const std::string&) override { return true; }
    std::string programFolder() override { return "./"; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tavro::ReportModel report;
    static tavro::SilentPrompter prompter;
    static BytesFileSystem files;
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
