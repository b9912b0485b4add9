#include "infoedit/field_editor_model.h"

#include "infoedit/info_fields.h"
#include "infoedit/info_rebuild.h"

namespace tavro {

std::vector<std::string> fieldEditorItems(FieldEditorMode mode) {
    std::vector<std::string> items;
    items.push_back(mode == FieldEditorMode::Edit ? "       {no change}" : "          {select}");
    const InfoField* table = infoFieldTable();
    for (size_t i = 0; i < kInfoFieldCount; ++i)
        items.push_back(std::string(table[i].id) + ": " + table[i].description);
    return items;
}

std::string fieldEditorNameFor(const std::string& id) {
    if (id.size() == 4)
        for (const std::string& item : fieldEditorItems(FieldEditorMode::Edit))
            if (fieldEditorItemIsField(item) && item.compare(0, 4, id) == 0) return item;
    return id + ": {unknown}";
}

bool fieldEditorItemIsField(const std::string& item) {
    return !item.empty() && item[0] != ' ';
}

std::string fieldEditorIdOf(const std::string& item) {
    return item.substr(0, 4);
}

std::string fieldEditorTextOf(const std::string& typed) {
    return typed.substr(0, kMaxFieldText);
}

} // namespace tavro
