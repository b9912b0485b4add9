// The process-wide settings record. Loading and saving live with the program's
// settings store; this header is only the record, so every subsystem can read it.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

// Each set bit allows one diagnostic source; the Settings dialog shows one box per bit.
enum EnableBit : uint32_t {
    kEnableDirectShow = 0x01,
    kEnableDmo = 0x02,
    kEnableVfw = 0x04,
    kEnableAcm = 0x08,
    kEnableRendering = 0x10,
    kEnableRegistry = 0x20,
    kEnableDriverFiles = 0x40,
    // Set when "Render in batch mode also" is NOT ticked.
    kNoBatchRendering = 0x80,
};

enum RunMode : int32_t {
    kRunModeFull = 1,
    kRunModeNoRendering = 2,
    kRunModeInformationOnly = 3, // no codec inventory, no codec status, no render test
};

struct Settings {
    uint32_t enableBits = 0xFFFFFFFFu; // default -1: everything allowed
    uint32_t exportEnabled = 0;        // never stored; off at every start
    int32_t runMode = kRunModeFull;
    int32_t exportMode = 1;
    int32_t fileMaskIndex = 0;
    std::string exportFormat;  // at most 255 characters
    std::string exportFile;    // at most 259 characters
    std::string exportPath;    // at most 259 characters
    std::string lastMediaFile; // at most 259 characters

    bool allows(EnableBit bit) const { return (enableBits & bit) != 0; }
    // Outside the Settings dialog any mode but 1 stops the render test, and only 3
    // counts as information-only.
    bool informationOnly() const { return runMode == kRunModeInformationOnly; }
    bool renderAllowedByMode() const { return runMode == kRunModeFull; }
};

} // namespace tavro
