// The folder tavro.exe was started from, ending in a backslash; the codec data base
// is looked for there when it is not in the current folder.
#pragma once
#include <string>

namespace tavro {

const std::string& programFolder();
void setProgramFolder(const std::string& folder);

} // namespace tavro
