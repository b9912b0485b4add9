// The installed-codec lists as plain tables (Type, FourCC or Fmt Tag, Codec,
// Vendor, Driver File): the rows the list dialogs show and what
// `tavro-cli --codecs` prints, as text or JSON.
#pragma once
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/other_arch_codecs.h"
#include "codecs/video_codec_inventory.h"

namespace tavro {

struct InventoryTable {
    std::string title;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// "--> MISSING: " or "--> DISABLED: ", then the file names of both paths joined
// by " --> " when both exist; at most 259 characters.
std::string driverCell(const char* firstPath, const char* secondPath, bool missing, bool disabled);

// Rows for every record of the table (records with an empty friendly name or
// long name exist and are listed too), each with its architecture (`ownBits`)
// in the last column; then the other architecture's codecs of that kind from
// `other`. A null inventory gives no rows of its own.
InventoryTable installedVideoTable(const VideoCodecInventory* inventory, int ownBits = 0,
                                   const std::vector<OtherArchCodec>* other = nullptr);
InventoryTable installedAudioTable(const AudioCodecInventory* inventory, int ownBits = 0,
                                   const std::vector<OtherArchCodec>* other = nullptr);

// The data base's known formats: slots from 1 until one without a name (video
// "FourCC", "Codec", "Vendor"; audio "Value", "wFormatTag", "Description").
InventoryTable knownVideoTable(const CodecDatabase& db);
InventoryTable knownAudioTable(const CodecDatabase& db);

// The title, then aligned columns, one row a line.
std::string formatInventoryTable(const InventoryTable& table);
// {"title":..., "columns":[...], "rows":[{column: cell, ...}, ...]}
nlohmann::json inventoryTableJson(const InventoryTable& table);

} // namespace tavro
