// What the field editor dialog shows and gives back, apart from its window: the
// list of field names, the name shown for a field, and the id and text taken on OK.
#pragma once
#include <string>
#include <vector>

namespace tavro {

enum class FieldEditorMode { Edit, New };

// First "       {no change}" (Edit) or "          {select}" (New), then "%s: %s"
// (id, description) for every row of the field table.
std::vector<std::string> fieldEditorItems(FieldEditorMode mode);

// Edit: the list item that begins with the field's 4-character id, else "%s: {unknown}".
std::string fieldEditorNameFor(const std::string& id);

// A list item names a field unless it begins with a blank.
bool fieldEditorItemIsField(const std::string& item);

// The id an item or name box stands for: its first 4 characters.
std::string fieldEditorIdOf(const std::string& item);

// Field Text on OK: at most 63 characters, so a longer existing text is cut.
std::string fieldEditorTextOf(const std::string& typed);

constexpr int kFieldEditorTypingLimit = 64;

} // namespace tavro
