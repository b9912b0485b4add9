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

class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to `want` bytes at the current position; false on an I/O error.
    virtual bool read(void* buffer, size_t want, size_t* got, FileError* error) = 0;
    virtual uint64_t size() const = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<InputFile> openRead(const std::string& path, FileError* error) = 0;
    virtual bool exists(const std::string& path) = 0;
    // Folder of the running program, ending in its separator ("\" on Windows).
    virtual std::string programFolder() = 0;
};

// The platform's file system: POSIX natively, Win32 in the Windows build.
FileSystem& platformFileSystem();

} // namespace tavro
