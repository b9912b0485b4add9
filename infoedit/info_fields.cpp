#include "infoedit/info_fields.h"

#include <cctype>
#include <cstring>

namespace tavro {
namespace {

const InfoField kFields[kInfoFieldCount] = {
    {"IARL", "Archival Location"},
    {"IART", "Artist"},
    {"ICMS", "Commissioned"},
    {"ICMT", "Comments"},
    {"ICOP", "Copyright"},
    {"ICRD", "Creation date"},
    {"ICRP", "Cropped"},
    {"IDIM", "Dimensions"},
    {"IDPI", "Dots Per Inch"},
    {"IENC", "Encoded *"},
    {"IENG", "Engineer"},
    {"IGNR", "Genre"},
    {"IKEY", "Keywords"},
    {"ILGT", "Lightness"},
    {"IMED", "Medium"},
    {"INAM", "Name"},
    {"IPLT", "Palette Setting"},
    {"IPRD", "Product"},
    {"ISBJ", "Subject"},
    {"ISFT", "Software"},
    {"ISHP", "Sharpness"},
    {"ISRC", "Source"},
    {"ISRF", "Source Form"},
    {"IRIP", "Ripped *"},
    {"ITCH", "Technician"},
};

bool isJunk(const std::string& id) {
    if (id.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (std::toupper(static_cast<unsigned char>(id[i])) != "JUNK"[i]) return false;
    return true;
}

} // namespace

const InfoField* infoFieldTable() {
    return kFields;
}

const InfoField* findInfoField(const std::string& id) {
    if (id.size() < 4) return nullptr;
    for (const InfoField& f : kFields)
        if (std::memcmp(f.id, id.data(), 4) == 0) return &f;
    return nullptr;
}

std::string infoFieldName(const std::string& id) {
    if (isJunk(id)) return "(ASCII in junk chunk)";
    const InfoField* f = findInfoField(id);
    return f ? f->description : "? ? ?";
}

std::string infoFieldIdList() {
    std::string out;
    for (const InfoField& f : kFields)
        out += (out.empty() ? "" : " ") + std::string(f.id);
    return out;
}

} // namespace tavro
