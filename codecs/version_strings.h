// The twelve texts of a driver file's version resource, and the portable half of
// reading them: which key is which, and which translation of the resource to use.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tavro {

enum VersionKey {
    kCompanyName,
    kFileDescription,
    kFileVersion,
    kInternalName,
    kLegalCopyright,
    kOriginalFileName,
    kProductName,
    kProductVersion,
    kComments,
    kLegalTrademarks,
    kPrivateBuild,
    kSpecialBuild,
    kVersionKeyCount
};

// The resource key of each text, in VersionKey order.
extern const char* const kVersionKeyNames[kVersionKeyCount];

struct VersionStrings {
    char text[kVersionKeyCount][128];
    uint8_t fixedInfo[52]; // the root block, kept when it has exactly this size
    bool hasFixedInfo;

    const char* get(VersionKey key) const { return text[key]; }
    void clear();
};

// Index of the "\VarFileInfo\Translation" entry to read (each entry: language in
// the low half, code page in the high half). Preference: the user's language,
// then its primary language, then neutral, then English, then the first entry.
// -1 when there are no entries.
int chooseVersionTranslation(const uint32_t* entries, size_t count, uint16_t userLanguage);

} // namespace tavro
