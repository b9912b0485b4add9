// What to install when no searched decoder takes a stream's format: the keys, the
// data base's name and vendor, the decoders of other kinds that claim it, and
// what to look for.
#include "report/explanation_markup.h"
#include "report/explanations.h"

namespace tavro {
namespace {

std::string quoted(const std::string& text) {
    return "\"" + markupSafe(text) + "\"";
}

std::string bitsText(int bits) {
    return bits > 0 ? std::to_string(bits) + "-bit" : std::string();
}

std::string joinedKeys(const std::vector<std::string>& keys, size_t from) {
    std::string out;
    for (size_t i = from; i < keys.size(); ++i)
        out += (i > from ? ", " : "") + markupSafe(keys[i]);
    return out;
}

// "the Media Foundation transform "X" (64-bit, x.dll), usable by ..."
std::string claimText(const MissingCodecFacts::Claim& c, int ownBits) {
    std::string out = "the " + c.kind + " " + quoted(c.name.empty() ? c.file : c.name);
    std::string inParens = bitsText(c.bits);
    if (!c.file.empty() && !c.name.empty())
        inParens += (inParens.empty() ? "" : ", ") + markupSafe(c.file);
    if (!inParens.empty()) out += " (" + inParens + ")";
    if (c.bits > 0 && ownBits > 0 && c.bits != ownBits)
        out += ", which only " + bitsText(c.bits) + " programs can load";
    else if (c.kind == "Media Foundation transform")
        out += ", which players built on Media Foundation can use, but DirectShow and Video for "
               "Windows players cannot";
    return out;
}

} // namespace

std::string missingCodecAdvice(const MissingCodecFacts& f) {
    if (f.keys.empty()) return {};
    const char* what = f.video ? "4CC" : "format tag";
    std::string text = "~~ What is needed: a" + std::string(f.video ? " video" : "n audio") +
                       " decoder for the " + what + " " + markupSafe(f.keys[0]);
    if (f.keys.size() > 1) text += " (or one of its other names: " + joinedKeys(f.keys, 1) + ")";
    if (f.formatName.empty()) {
        text += ", which the codec data base does not know. ";
    } else {
        text += ", that is " + quoted(f.formatName);
        if (!f.vendor.empty()) text += " (" + markupSafe(f.vendor) + ")";
        text += ". ";
    }

    if (!f.searched) {
        text += "Tavro has not searched this system's decoders, so whether any other kind "
                "claims it is not known. ";
    } else if (f.claims.empty()) {
        text += "No installed decoder of any kind claims it: no Video for Windows or ACM driver, "
                "DirectShow filter, DMO or Media Foundation transform, for either architecture. ";
    } else {
        text += "Installed decoders of other kinds do claim it: ";
        for (size_t i = 0; i < f.claims.size(); ++i) {
            if (i > 0) text += i + 1 == f.claims.size() ? " and " : "; ";
            text += claimText(f.claims[i], f.ownBits);
        }
        text += ". ";
    }

    text += "~~ Look for ";
    text += f.video ? "a Video for Windows codec or a DirectShow decoder filter"
                    : "an ACM codec or a DirectShow decoder filter";
    text += std::string(" that lists the ") + what + " " + markupSafe(f.keys[0]);
    if (!f.formatName.empty()) text += " or the name " + quoted(f.formatName);
    if (f.ownBits > 0)
        text += ", built for " + bitsText(f.ownBits) + " programs as this copy of Tavro is";
    text += ". Install it, then check the file again with Tavro.";
    return text;
}

} // namespace tavro
