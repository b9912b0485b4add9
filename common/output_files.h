// Writing files the program makes (export records, header snapshots): open for
// appending or replacing without sharing, one write per record that either lands
// whole or leaves the file as it was, and the system's own words for a failure.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

#include "common/file_system.h"

namespace tavro {

class OutputFile {
  public:
    virtual ~OutputFile() = default;
    // Writes `size` bytes at the end in one call. On a failed or short write the file
    // is cut back to its length before the call, and `error` holds the reason; when
    // the system gives none (a short write), the disk-full error.
    virtual bool append(const void* data, size_t size, FileError* error) = 0;
};

class OutputFiles {
  public:
    virtual ~OutputFiles() = default;
    // Opens for reading and writing, creating the file when it is absent and keeping
    // its contents.
    virtual std::unique_ptr<OutputFile> openForAppend(const std::string& path,
                                                      FileError* error) = 0;
    // Creates the file, replacing an existing one.
    virtual std::unique_ptr<OutputFile> create(const std::string& path, FileError* error) = 0;
    virtual bool remove(const std::string& path) = 0;
    // True when both names reach one existing file (however they are spelled).
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;
};

OutputFiles& platformOutputFiles();

// The platform's error for a file name longer than it allows.
FileError nameTooLongError();
// The platform's error for a full disk (a short write reports it).
FileError diskFullError();

} // namespace tavro
