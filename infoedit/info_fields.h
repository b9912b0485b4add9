// The RIFF INFO fields Tavro knows by name, and the name a comment row shows.
#pragma once
#include <cstddef>
#include <string>

namespace tavro {

struct InfoField {
    char id[5];
    char description[65];
};

constexpr size_t kInfoFieldCount = 25;

// The table in its fixed order (IARL first); `kInfoFieldCount` rows.
const InfoField* infoFieldTable();

// The row whose id matches the first 4 characters of `id`; null when none does.
const InfoField* findInfoField(const std::string& id);

// The comment list's Name column: "(ASCII in junk chunk)" for JUNK (any case), the
// table's description for a known id, else "? ? ?".
std::string infoFieldName(const std::string& id);

// "IARL IART ..." for messages that list what may be given.
std::string infoFieldIdList();

} // namespace tavro
