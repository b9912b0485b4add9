#include "codecs/mft_tables.h"

#include <cstdio>

#include "codecs/media_guids.h"

namespace tavro {
namespace {

constexpr size_t kCellLimit = 259;

std::string guidText(const Guid& guid) {
    char text[39];
    formatRegistryGuid(guid, text);
    return text;
}

std::string majorTypeName(const Guid& major) {
    if (major == kMediaTypeVideo) return "Video";
    if (major == kMediaTypeAudio) return "Audio";
    return guidText(major);
}

std::string typeRow(const CodecDatabase& db, const MediaTypePair& pair) {
    return majorTypeName(pair.major) + " / " + mediaSubtypeName(db, pair) + " " +
           guidText(pair.subtype);
}

std::string direct3dFormatName(uint32_t format) {
    static const struct {
        uint32_t format;
        const char* name;
    } kFormats[] = {{20, "RGB24"},  {21, "ARGB32"},      {22, "RGB32"},         {23, "RGB565"},
                    {24, "RGB555"}, {31, "A2R10G10B10"}, {41, "RGB8"},          {50, "L8"},
                    {80, "D16"},    {81, "L16"},         {113, "A16B16G16R16F"}};
    for (const auto& f : kFormats)
        if (f.format == format) return f.name;
    return "D3DFMT " + std::to_string(format);
}

} // namespace

std::string mediaSubtypeName(const CodecDatabase& db, const MediaTypePair& type) {
    const Guid& subtype = type.subtype;
    char name[256];
    if (db.guidName(subtype, name, sizeof name)) return name;
    if (hasFourccTail(subtype)) {
        // Uncompressed video subtypes below 0x10000 carry a Direct3D format, not a wave tag.
        if (subtype.Data1 <= 0xFFFF && type.major == kMediaTypeVideo)
            return direct3dFormatName(subtype.Data1);
        if (subtype.Data1 <= 0xFFFF) {
            if (db.audioFormatName(static_cast<uint16_t>(subtype.Data1), name, sizeof name) >= 0)
                return name;
            std::snprintf(name, sizeof name, "0x%04x", static_cast<unsigned>(subtype.Data1));
            return name;
        }
        std::string fourcc;
        for (int i = 0; i < 4; ++i) {
            const unsigned char c = static_cast<unsigned char>(subtype.Data1 >> (8 * i));
            if (c < 0x20 || c > 0x7E) return guidText(subtype);
            fourcc += static_cast<char>(c);
        }
        while (!fourcc.empty() && fourcc.back() == ' ')
            fourcc.pop_back();
        return fourcc;
    }
    return guidText(subtype);
}

std::string subtypeListCell(const CodecDatabase& db, const std::vector<MediaTypePair>& pairs) {
    std::string cell;
    for (const MediaTypePair& pair : pairs) {
        if (!cell.empty()) cell += ", ";
        cell += mediaSubtypeName(db, pair);
        if (cell.size() > kCellLimit) break;
    }
    if (cell.size() > kCellLimit) cell = cell.substr(0, kCellLimit - 3) + "...";
    return cell;
}

InventoryTable installedMftTable(const MftInventory* inventory, const CodecDatabase& db) {
    InventoryTable table{
        "MEDIA FOUNDATION: Installed transforms",
        {"Arch", "Category", "Transform", "Input Types", "Output Types", "Flags", "Merit", "CLSID"},
        {}};
    if (!inventory) return table;
    for (const MftRecord& r : inventory->records()) {
        const MftEntry& e = r.entry;
        table.rows.push_back(
            {architectureText(r.bits), mftCategoryName(e.category), e.name,
             subtypeListCell(db, e.inputs), subtypeListCell(db, e.outputs), mftFlagsText(e.flags),
             e.hasMerit ? std::to_string(e.merit) : std::string(), guidText(e.clsid)});
    }
    return table;
}

DetailRows mftDetailRows(const MftRecord& r, const CodecDatabase& db, int ownBits) {
    DetailRows rows;
    const MftEntry& e = r.entry;
    if (!r.loadable && r.bits != 0 && r.bits != ownBits)
        rows.push_back(warningRow("--> Registered for " + architectureText(r.bits) +
                                  " programs; this program cannot load it"));
    rows.push_back({"MFT", "Friendly Name", e.name});
    rows.push_back({"MFT", "CLSID", guidText(e.clsid)});
    rows.push_back({"MFT", "Category", mftCategoryName(e.category)});
    rows.push_back({"MFT", "Architecture", architectureText(r.bits)});
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%08x", static_cast<unsigned>(e.flags));
    const std::string flagNames = mftFlagsText(e.flags);
    rows.push_back(
        {"MFT", "Flags", flagNames.empty() ? flags : std::string(flags) + " (" + flagNames + ")"});
    rows.push_back({"MFT", "Merit", e.hasMerit ? std::to_string(e.merit) : "(none given)"});
    rows.push_back({r.loadable ? "MFT" : "REG", "Found By",
                    r.loadable ? "Media Foundation enumeration"
                               : "registry only (not enumerated by this program)"});
    rows.push_back({"REG", "Server File", r.serverFile});
    if (e.local) rows.push_back({"MFT", "Registration", "local to one process"});
    for (size_t n = 0; n < e.inputs.size(); ++n) {
        char label[32];
        std::snprintf(label, sizeof label, "Input Type %02u", static_cast<unsigned>(n + 1));
        rows.push_back({"MFT", label, typeRow(db, e.inputs[n])});
    }
    for (size_t n = 0; n < e.outputs.size(); ++n) {
        char label[32];
        std::snprintf(label, sizeof label, "Output Type %02u", static_cast<unsigned>(n + 1));
        rows.push_back({"MFT", label, typeRow(db, e.outputs[n])});
    }
    return rows;
}

} // namespace tavro
