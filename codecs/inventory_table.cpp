#include "codecs/inventory_table.h"

#include <cstdio>
#include <cstring>

#include "codecs/codec_source.h"
#include "codecs/mft_inventory.h"

namespace tavro {
namespace {

// The part after the last backslash; a bare name (VfW drivers are often listed
// so) is its own file name.
std::string fileNameOf(const char* path) {
    if (!path) return std::string();
    const char* slash = std::strrchr(path, '\\');
    return slash ? std::string(slash + 1) : std::string(path);
}

InventoryTable knownTable(const CodecDatabase& db, bool video) {
    InventoryTable table;
    if (video)
        table = {"VIDEO: Known Compression Formats", {"FourCC", "Codec", "Vendor"}, {}};
    else
        table = {"AUDIO: Known Compression Formats", {"Value", "wFormatTag", "Description"}, {}};
    const int slots = video ? CodecDatabase::kVideoSlots : CodecDatabase::kAudioSlots;
    for (int slot = 1; slot < slots; ++slot) {
        const CodecDatabaseEntry& e = video ? db.video(slot) : db.audio(slot);
        if (!e.name || !e.name[0]) break;
        table.rows.push_back({e.key ? e.key : "", e.name, e.detail ? e.detail : ""});
    }
    return table;
}

void addOwnVideoRows(InventoryTable& table, const VideoCodecInventory* inventory,
                     const std::string& arch) {
    if (!inventory) return;
    for (int i = 0; i < inventory->count() && i < VideoCodecInventory::kCapacity - 1; ++i) {
        const VideoCodecRecord& r = inventory->record(i);
        if (r.source == kSourceNone) break;
        table.rows.push_back(
            {codecSourceText(r.source), r.fourcc, r.name, r.version.get(kCompanyName),
             driverCell(r.associatedFile, r.vfwDriver, r.missing != 0, false), arch});
    }
}

void addOwnAudioRows(InventoryTable& table, const AudioCodecInventory* inventory,
                     const std::string& arch) {
    if (!inventory) return;
    for (int i = 0; i < inventory->count() && i < AudioCodecInventory::kCapacity; ++i) {
        const AudioCodecRecord& r = inventory->record(i);
        if (r.source == kSourceNone) break;
        char tag[16] = "";
        if (r.formatTag() != 0)
            std::snprintf(tag, sizeof tag, "0x%04x", static_cast<unsigned>(r.formatTag()));
        table.rows.push_back(
            {codecSourceText(r.source), tag, r.formatName(), r.version.get(kCompanyName),
             driverCell(r.dshowDriverFile, r.driverFile, r.missing != 0, r.disabled != 0), arch});
    }
}

// The other architecture's rows: loadable by its programs only, so the driver
// cell names the file as registered, not whether this process finds it.
void addOtherRows(InventoryTable& table, const std::vector<OtherArchCodec>* other, bool video) {
    if (!other) return;
    for (const OtherArchCodec& c : *other)
        if (c.video == video)
            table.rows.push_back(
                {codecSourceText(c.source), c.key, c.name, c.version.get(kCompanyName),
                 driverCell(c.file.c_str(), "", false, false), architectureText(c.bits)});
}

} // namespace

std::string driverCell(const char* firstPath, const char* secondPath, bool missing, bool disabled) {
    std::string cell = missing ? "--> MISSING: " : disabled ? "--> DISABLED: " : "";
    const std::string first = fileNameOf(firstPath);
    const std::string second = fileNameOf(secondPath);
    cell += first;
    if (!first.empty() && !second.empty()) cell += " --> ";
    cell += second;
    if (cell.size() > 259) cell.resize(259);
    return cell;
}

InventoryTable installedVideoTable(const VideoCodecInventory* inventory, int ownBits,
                                   const std::vector<OtherArchCodec>* other) {
    InventoryTable table{"VIDEO: Installed codecs",
                         {"Type", "FourCC", "Codec", "Vendor", "Driver File", "Arch"},
                         {}};
    addOwnVideoRows(table, inventory, architectureText(ownBits));
    addOtherRows(table, other, true);
    return table;
}

InventoryTable installedAudioTable(const AudioCodecInventory* inventory, int ownBits,
                                   const std::vector<OtherArchCodec>* other) {
    InventoryTable table{"AUDIO: Installed codecs",
                         {"Type", "Fmt Tag", "Codec", "Vendor", "Driver File", "Arch"},
                         {}};
    addOwnAudioRows(table, inventory, architectureText(ownBits));
    addOtherRows(table, other, false);
    return table;
}

InventoryTable knownVideoTable(const CodecDatabase& db) {
    return knownTable(db, true);
}

InventoryTable knownAudioTable(const CodecDatabase& db) {
    return knownTable(db, false);
}

std::string formatInventoryTable(const InventoryTable& table) {
    std::vector<size_t> width(table.columns.size());
    for (size_t c = 0; c < table.columns.size(); ++c) {
        width[c] = table.columns[c].size();
        for (const auto& row : table.rows)
            if (c < row.size() && row[c].size() > width[c]) width[c] = row[c].size();
    }
    auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (size_t c = 0; c < width.size(); ++c) {
            const std::string cell = c < cells.size() ? cells[c] : std::string();
            text += cell;
            if (c + 1 < width.size()) text += std::string(width[c] - cell.size() + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return text + "\n";
    };
    std::string out = table.title + "\n" + line(table.columns);
    for (const auto& row : table.rows)
        out += line(row);
    return out;
}

nlohmann::json inventoryTableJson(const InventoryTable& table) {
    nlohmann::json rows = nlohmann::json::array();
    for (const auto& row : table.rows) {
        nlohmann::json item = nlohmann::json::object();
        for (size_t c = 0; c < table.columns.size(); ++c)
            item[table.columns[c]] = c < row.size() ? row[c] : std::string();
        rows.push_back(std::move(item));
    }
    return {{"title", table.title}, {"columns", table.columns}, {"rows", std::move(rows)}};
}

} // namespace tavro
