// The process-wide settings record. Loading and saving live with the program's
// settings store; this header is only the record, so every subsystem can read it.
#pragma once
#include <cstdint>

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
    char exportFormat[256] = {};
    char exportFile[260] = {};
    char exportPath[260] = {};
    char lastMediaFile[260] = {};

    bool allows(EnableBit bit) const { return (enableBits & bit) != 0; }
    bool informationOnly() const { return runMode == kRunModeInformationOnly; }
};

} // namespace tavro
