// File names as the shell and the common dialogs hand them over, in UTF-16, turned
// into the UTF-8 paths the rest of the program keeps.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tavro {

// The names of a drop, in the shell's order, until an empty name or `limit` names.
std::vector<std::string> droppedFiles(HDROP drop, std::size_t limit);

// The wide Open dialog's name buffer as the UTF-8 buffer the selection parser reads,
// its strings in the same order. `nameOffset` (the dialog's offset of the first name,
// in characters) becomes an offset into the new buffer: 0 for one file, else past the
// folder.
std::vector<char> utf8Selection(const wchar_t* buffer, std::size_t size, std::size_t& nameOffset);

} // namespace tavro
