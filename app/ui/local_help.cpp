#include "app/ui/local_help.h"

namespace tavro {

std::string localHelpText(const std::string& target) {
    // Link names compare as the link parser compares its scheme: ASCII case ignored.
    std::string name = target;
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (name == "info")
        return "Tavro needs no installation: it runs from any folder, and everything it "
               "knows comes with it in Tavro21.dat. This dialog only adds or removes "
               "conveniences.~~ \"Send To Tavro\" puts Tavro in the Send To menu that a right "
               "click on a file opens in Explorer; the desktop shortcut and the Start Menu item "
               "start it from there. Tick an option to add it, clear it to remove it; nothing "
               "happens until OK.~~ \"Delete Tavro registry entries...\" removes the "
               "preferences Tavro keeps for your user account (the last file's folder, run "
               "mode, export settings). To take Tavro off this machine, clear all three "
               "options, delete the registry entries, then delete Tavro's folder.~~ Greyed "
               "options mean the system offers no shell folders to Tavro.";
    if (name == "legal")
        return "Tavro is provided as it is, without warranty of any kind. It reads media "
               "files and never changes them, except when you save edited INFO comments, "
               "which it writes only inside the file's header, keeping the file's length.~~ "
               "Codec and format names shown by Tavro belong to their owners and are used "
               "only to identify what a file holds.";
    return std::string();
}

} // namespace tavro
