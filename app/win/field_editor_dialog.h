// The INFO field editor: a small dialog without caption that edits one field's name
// and text, or picks the name and text of a new field.
#pragma once
#include <windows.h>

#include <string>

#include "infoedit/field_editor_model.h"

namespace tavro {

struct FieldEditorValues {
    std::string id;             // in: the current id (Edit); out: the 4-character id chosen
    std::string text;           // in: the current text (Edit); out: at most 63 characters
    bool nameUnchanged = false; // out: the name box still shows the field's own name
};

// True on OK, with `values` filled; false on Cancel.
bool runFieldEditor(HWND owner, FieldEditorMode mode, FieldEditorValues& values);

} // namespace tavro
