#include "codecs/version_strings.h"

#include <cstring>

namespace tavro {

const char* const kVersionKeyNames[kVersionKeyCount] = {
    "CompanyName",    "FileDescription",  "FileVersion",  "InternalName",
    "LegalCopyright", "OriginalFileName", "ProductName",  "ProductVersion",
    "Comments",       "LegalTrademarks",  "PrivateBuild", "SpecialBuild"};

void VersionStrings::clear() {
    std::memset(this, 0, sizeof *this);
}

int chooseVersionTranslation(const uint32_t* entries, size_t count, uint16_t userLanguage) {
    if (!entries || count == 0) return -1;
    auto language = [&](size_t i) { return static_cast<uint16_t>(entries[i] & 0xFFFF); };
    auto find = [&](auto match) -> int {
        for (size_t i = 0; i < count; ++i)
            if (match(language(i))) return static_cast<int>(i);
        return -1;
    };
    const int primary = userLanguage & 0xFF;
    int at = find([&](uint16_t l) { return l == userLanguage; });
    if (at < 0) at = find([&](uint16_t l) { return (l & 0xFF) == primary; });
    if (at < 0) at = find([&](uint16_t l) { return l == 0 || (l & 0xFF) == 0; });
    if (at < 0) at = find([&](uint16_t l) { return l == 9 || (l & 0xFF) == 9; });
    return at < 0 ? 0 : at;
}

} // namespace tavro
