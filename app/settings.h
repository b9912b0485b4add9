// The process-wide settings record: which diagnostic sources may run, the run mode,
// and the export and Open-dialog choices kept between runs.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

// Bits of Settings::enableBits; a set bit allows the source.
enum EnableBit : uint32_t {
    kEnableDirectShowEnum = 0x01,
    kEnableDmoEnum = 0x02,
    kEnableVfwEnum = 0x04,
    kEnableAcmEnum = 0x08,
    kEnableRendering = 0x10,
    kEnableRegistry = 0x20,
    kEnableDriverFiles = 0x40,
    // Inverted in the dialog: set means "no render test while several files are loaded".
    kNoRenderInBatch = 0x80,
};

enum RunMode : int32_t {
    kRunNormal = 1,
    kRunNoRendering = 2,
    kRunInfoOnly = 3,
};

struct Settings {
    uint32_t enableBits = 0xFFFFFFFFu;
    uint32_t exportEnabled = 0; // never stored: export is switched on per run
    int32_t runMode = kRunNormal;
    int32_t exportMode = 1;
    int32_t fileMaskIndex = 0;
    std::string exportFormat; // at most 255 characters
    std::string exportFile;   // at most 259 characters
    std::string exportPath;   // at most 259 characters
    std::string lastMediaFile; // at most 259 characters

    bool allows(EnableBit bit) const { return (enableBits & bit) != 0; }
    // Elsewhere than the Settings dialog, any mode but 1 stops the render test and
    // only 3 counts as information-only.
    bool infoOnly() const { return runMode == kRunInfoOnly; }
    bool renderAllowedByMode() const { return runMode == kRunNormal; }
};

} // namespace tavro
