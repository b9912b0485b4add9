// The help texts behind "tavro://local.NAME" links of the dialogs the main window
// opens (the install dialog's "More Information", the about box's "legal"), in the
// explanation popup's markup ("~" a line break).
#pragma once
#include <string>

namespace tavro {

// Empty for a name that has no text: the link then does nothing.
std::string localHelpText(const std::string& name);

} // namespace tavro
