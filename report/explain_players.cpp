#include "report/explain_players.h"

#include "report/explanations.h"

namespace tavro {

std::string explainPlayers(const std::vector<PlayerLine>& lines) {
    bool any = false;
    for (const PlayerLine& line : lines)
        any = any || line.known;
    if (!any) return "";
    std::string text = "~~Decoders each kind of player would find:";
    for (const PlayerLine& line : lines) {
        text += "~ " + markupSafe(line.kind) + ": ";
        if (!line.known) {
            text += "not checked";
        } else if (line.decoders.empty()) {
            text += "none installed";
        } else {
            for (size_t i = 0; i < line.decoders.size(); ++i)
                text += (i ? ", " : "") + markupSafe(line.decoders[i]);
        }
    }
    return text;
}

} // namespace tavro
