// Times the analysis of every file of a folder, as the program does it (one driver,
// buffers reused), and reports files/s, bytes read per file and peak memory.
// tavro-bench-analysis DIR [ROUNDS]: analyses the folder ROUNDS times over.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/analysis_driver.h"

namespace {

// Counts what the analysis reads through the platform's files.
class CountingFileSystem : public tavro::FileSystem {
  public:
    uint64_t bytesRead = 0;
    uint64_t maxRead = 0;
    std::unique_ptr<tavro::InputFile> openRead(const std::string& path,
                                               tavro::FileError* error) override {
        auto file = tavro::platformFileSystem().openRead(path, error);
        if (!file) return nullptr;
        return std::make_unique<Counted>(std::move(file), *this);
    }
    bool exists(const std::string& path) override {
        return tavro::platformFileSystem().exists(path);
    }
    std::string programFolder() override { return tavro::platformFileSystem().programFolder(); }

  private:
    class Counted : public tavro::InputFile {
      public:
        Counted(std::unique_ptr<tavro::InputFile> f, CountingFileSystem& fs)
            : f_(std::move(f)), fs_(fs) {}
        ~Counted() override {
            if (read_ > fs_.maxRead) fs_.maxRead = read_;
        }
        bool read(void* b, size_t want, size_t* got, tavro::FileError* e) override {
            bool ok = f_->read(b, want, got, e);
            read_ += *got;
            fs_.bytesRead += *got;
            return ok;
        }
        uint64_t size() const override { return f_->size(); }

      private:
        std::unique_ptr<tavro::InputFile> f_;
        CountingFileSystem& fs_;
        uint64_t read_ = 0;
    };
};

// Peak resident memory in KiB, from the kernel's status file (0 where there is none).
long peakRssKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tavro-bench-analysis DIR [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    if (files.empty()) return 1;
    tavro::ReportModel report;
    tavro::SilentPrompter prompter;
    CountingFileSystem fs;
    auto driver =
        tavro::AnalysisDriver::create(report, prompter, fs, tavro::kRunModeInformationOnly);
    driver->batchRunning = true;
    long rssAfterFirst = 0;
    uint64_t analysed = 0;
    auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (size_t first = 0; first < files.size(); first += tavro::FileList::kCapacity) {
            tavro::FileList& list = driver->fileList();
            list.clear();
            for (size_t i = first; i < files.size() && list.add(files[i]); ++i) {
            }
            for (list.current = 0; list.hasCurrent(); ++list.current, ++analysed)
                driver->analyseCurrentFile();
        }
        if (r == 0) rssAfterFirst = peakRssKib();
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("tavro: %llu analyses in %.3f s = %.0f files/s\n",
                static_cast<unsigned long long>(analysed), seconds, analysed / seconds);
    std::printf("tavro: bytes read per file: mean %.0f, max %llu (limit 524288)\n",
                double(fs.bytesRead) / analysed, static_cast<unsigned long long>(fs.maxRead));
    std::printf("tavro: peak RSS %ld KiB after the first round, %ld KiB after %llu analyses\n",
                rssAfterFirst, peakRssKib(), static_cast<unsigned long long>(analysed));
    return 0;
}
