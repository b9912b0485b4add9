// An in-memory file system that can lose power: every file keeps the bytes that
// reached the device (flushed) apart from those still in the cache. A planned crash
// stops the machine at the n-th changing call (create, write, flush, remove, rename,
// copy); a write may land part of its bytes first. After `powerCycle` only what
// reached the device is left. Names (create, remove, rename) reach it at once, as
// the platform file systems make sure they do.
#pragma once
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/file_system.h"

namespace tavro::test {

class CrashFileSystem : public FileSystem {
  public:
    struct File {
        std::vector<uint8_t> device, cache;
        uint64_t modified = 1;
    };
    std::map<std::string, File> files;
    std::string user = "/home/user/.tavro/"; // the user's folder; "" none
    std::string refuseCreateIn;              // creating files whose name starts so fails
    int crashAt = -1;    // 0-based index of the changing call that never happens
    int64_t tearAt = -1; // when that call is a write: the bytes of it that land first
    int calls = 0;
    std::vector<std::string> log; // the changing calls, in order

    void put(const std::string& path, const std::vector<uint8_t>& bytes) {
        files[path].device = files[path].cache = bytes;
    }
    // Back to one file as given and a fresh machine; keeps buffers for many runs.
    void reset(const std::string& path, const std::vector<uint8_t>& bytes) {
        for (auto it = files.begin(); it != files.end();)
            it = it->first == path ? std::next(it) : files.erase(it);
        File& f = files[path];
        f.device.assign(bytes.begin(), bytes.end());
        f.cache.assign(bytes.begin(), bytes.end());
        f.modified = 1;
        powerCycle();
        calls = 0;
        log.clear();
    }
    const std::vector<uint8_t>& bytes(const std::string& path) { return files[path].cache; }
    // Power comes back: the cache is gone, calls work again.
    void powerCycle() {
        for (auto& f : files)
            if (f.second.cache.size() != f.second.device.size() ||
                (!f.second.cache.empty() &&
                 std::memcmp(f.second.cache.data(), f.second.device.data(), f.second.cache.size())))
                f.second.cache = f.second.device;
        crashAt = -1;
        tearAt = -1;
        dead_ = false;
    }
    bool dead() const { return dead_; }

    std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end() || dead_) return missing(error);
        return std::make_unique<Reader>(it->second.cache);
    }
    bool exists(const std::string& path) override { return !dead_ && files.count(path) != 0; }
    std::string programFolder() override { return "/opt/tavro/"; }
    std::string userFolder() override { return user; }
    bool stamp(const std::string& path, FileStamp* out, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end() || dead_) return missing(error) != nullptr;
        *out = {it->second.cache.size(), it->second.modified};
        return true;
    }
    std::unique_ptr<UpdateFile> openUpdate(const std::string& path, FileError* error) override {
        auto it = files.find(path);
        if (it == files.end() || dead_) return missing(error);
        return std::make_unique<Writer>(*this, path, false);
    }
    std::unique_ptr<UpdateFile> create(const std::string& path, FileError* error) override {
        if (!change("create " + path, error)) return nullptr;
        if (!refuseCreateIn.empty() &&
            path.compare(0, refuseCreateIn.size(), refuseCreateIn) == 0) {
            if (error) *error = {5, "Access is denied."};
            return nullptr;
        }
        files[path] = File();
        return std::make_unique<Writer>(*this, path, true);
    }
    bool remove(const std::string& path, FileError* error) override {
        if (!change("remove " + path, error)) return false;
        if (files.erase(path) == 0) return missing(error) != nullptr;
        return true;
    }
    bool rename(const std::string& from, const std::string& to, FileError* error) override {
        if (!change("rename " + from, error)) return false;
        auto it = files.find(from);
        if (it == files.end()) return missing(error) != nullptr;
        File moved = it->second;
        files.erase(it);
        files[to] = moved;
        return true;
    }
    bool copyFile(const std::string& from, const std::string& to, FileError* error) override {
        if (!change("copy " + from, error)) return false;
        auto it = files.find(from);
        if (it == files.end()) return missing(error) != nullptr;
        // Windows' copy does not flush: the new file's bytes are only in the cache.
        File copy;
        copy.cache = it->second.cache;
        files[to] = copy;
        return true;
    }

  private:
    std::nullptr_t missing(FileError* error) {
        if (error) *error = {2, "The system cannot find the file specified."};
        return nullptr;
    }
    // False when the machine is down or goes down at this call.
    bool change(const std::string& what, FileError* error) {
        if (!dead_ && calls++ == crashAt) dead_ = true;
        if (dead_) {
            if (error) *error = {21, "The device is not ready."};
            return false;
        }
        log.push_back(what);
        return true;
    }

    class Reader : public InputFile {
      public:
        // Reads the cache in place: a reader never outlives the call that opened it.
        explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
        bool read(void* buffer, size_t want, size_t* got, FileError*) override {
            size_t n = std::min(want, bytes_.size() - pos_);
            if (n) std::memcpy(buffer, bytes_.data() + pos_, n);
            pos_ += n;
            *got = n;
            return true;
        }
        bool seek(uint64_t offset, FileError*) override {
            pos_ = static_cast<size_t>(std::min<uint64_t>(offset, bytes_.size()));
            return true;
        }
        uint64_t size() const override { return bytes_.size(); }

      private:
        const std::vector<uint8_t>& bytes_;
        size_t pos_ = 0;
    };

    class Writer : public UpdateFile {
      public:
        Writer(CrashFileSystem& fs, std::string path, bool grows)
            : fs_(fs), path_(std::move(path)), grows_(grows) {}
        uint64_t size() const override { return file() ? file()->cache.size() : 0; }
        bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got,
                    FileError* error) override {
            *got = 0;
            File* f = file();
            if (!f || fs_.dead_) return fs_.missing(error) != nullptr;
            if (offset < f->cache.size()) {
                *got = std::min(want, static_cast<size_t>(f->cache.size() - offset));
                std::memcpy(buffer, f->cache.data() + offset, *got);
            }
            return true;
        }
        bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                     FileError* error) override {
            *written = 0;
            File* f = file();
            const bool tearing = !fs_.dead_ && fs_.calls == fs_.crashAt && fs_.tearAt >= 0;
            if (tearing && f) {
                // Power fails mid-write: its first bytes reach the device, the rest never.
                const size_t landed = std::min(count, static_cast<size_t>(fs_.tearAt));
                put(f, offset, data, landed);
                f->device = f->cache;
            }
            if (!fs_.change("write " + path_, error)) return false;
            if (!f) return fs_.missing(error) != nullptr;
            if (!grows_ && offset + count > f->cache.size()) {
                ADD_FAILURE() << "a head write past the end of " << path_;
                return false;
            }
            put(f, offset, data, count);
            f->modified += 1;
            *written = count;
            return true;
        }
        bool flush(FileError* error) override {
            if (!fs_.change("flush " + path_, error)) return false;
            if (File* f = file()) f->device = f->cache;
            return true;
        }

      private:
        File* file() const {
            auto it = fs_.files.find(path_);
            return it == fs_.files.end() ? nullptr : &it->second;
        }
        static void put(File* f, uint64_t offset, const void* data, size_t count) {
            if (f->cache.size() < offset + count) f->cache.resize(offset + count);
            if (count) std::memcpy(f->cache.data() + offset, data, count);
        }
        CrashFileSystem& fs_;
        std::string path_;
        bool grows_;
    };

    bool dead_ = false;
};

} // namespace tavro::test
