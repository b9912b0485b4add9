// File access as the analysis needs it: open for reading with read sharing, a
// 64-bit size, bounded reads, and the system's own words for a failure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tavro {

struct FileError {
    uint32_t code = 0;      // errno natively, GetLastError() on Windows
    std::string systemText; // the operating system's message for `code`
};

// What tells a file apart from the one analysed earlier: its size and modification time.
struct FileStamp {
    uint64_t size = 0;
    uint64_t modified = 0; // platform ticks; only compared for equality
    bool operator==(const FileStamp& o) const { return size == o.size && modified == o.modified; }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `want` bytes at the current position; false on an I/O error.
    virtual bool read(void* buffer, size_t want, size_t* got, FileError* error) = 0;
    virtual uint64_t size() const = 0;
    // Moves the read position; readers that need the end of a file (an index written
    // last) seek. A file that cannot seek refuses.
    virtual bool seek(uint64_t offset, FileError* error) {
        if (error) *error = {1, "Seeking is not supported here."};
        return false;
    }
    // Size and modification time from the open handle: as taken when it was opened,
    // and as they are now (a file that grows or is rewritten while read differs).
    // False where the platform cannot tell.
    virtual bool openedStamp(FileStamp* out) const { return false; }
    virtual bool currentStamp(FileStamp* out, FileError* error) { return false; }
};

// A file opened for rewriting its head in place (existing only, not shared, never
// grown), or one made anew for writing. Positions are absolute; a short transfer
// reports how much was done.
class UpdateFile {
  public:
    virtual ~UpdateFile() = default;
    virtual uint64_t size() const = 0;
    virtual bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got,
                        FileError* error) = 0;
    virtual bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                         FileError* error) = 0;
    // Pushes the written bytes to the device; false when that fails.
    virtual bool flush(FileError* error) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Folder of the running program, ending in its separator ("\" on Windows).
    virtual std::string programFolder() = 0;

    // Writing is optional: a file system that cannot write refuses every write.
    virtual std::unique_ptr<UpdateFile> openUpdate(const std::string& path, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return nullptr;
    }
    virtual bool stamp(const std::string& path, FileStamp* out, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return false;
    }
    // Copies `from` to a new or replaced file `to`; false (and `to` removed) on failure.
    virtual bool copyFile(const std::string& from, const std::string& to, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return false;
    }
    // True when both names lead to the same file (links and case included where the
    // platform knows them); false when either cannot be asked.
    virtual bool sameFile(const std::string& a, const std::string& b) { return a == b; }

    // Makes `path` anew for writing (an existing file is replaced), not shared; its
    // name reaches the device before the call returns.
    virtual std::unique_ptr<UpdateFile> create(const std::string& path, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return nullptr;
    }
    virtual bool remove(const std::string& path, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return false;
    }
    // Gives `from` the name `to`, replacing a file of that name in one step; the new
    // name reaches the device before the call returns.
    virtual bool rename(const std::string& from, const std::string& to, FileError* error) {
        if (error) *error = {1, "Writing is not supported here."};
        return false;
    }
    // The user's own Tavro folder, made when missing, ending in its separator; "" when
    // there is none.
    virtual std::string userFolder() { return std::string(); }
};

// The platform's file system: POSIX natively, Win32 in the Windows build.
FileSystem& platformFileSystem();

} // namespace tavro
