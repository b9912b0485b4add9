// The Media Foundation list and its detail table: the rows the fifth View
// list shows and what `tavro-cli --codecs` prints for the transforms.
#pragma once
#include <string>

#include "codecs/codec_database.h"
#include "codecs/detail_tables.h"
#include "codecs/inventory_table.h"
#include "codecs/mft_inventory.h"

namespace tavro {

// A media subtype as the lists name it: the data base's name; a FourCC
// ("H264"); for video a Direct3D format number ("RGB32"); for other types a
// wave format ("AAC (0x1610)", or "0x1610" when the data base does not know
// it); else the GUID text.
std::string mediaSubtypeName(const CodecDatabase& db, const MediaTypePair& type);

// The subtypes of `pairs` named and joined by ", ", cut to 259 characters.
std::string subtypeListCell(const CodecDatabase& db, const std::vector<MediaTypePair>& pairs);

// "MEDIA FOUNDATION: Installed transforms": Arch, Category, Transform, Input
// Types, Output Types, Flags, Merit, CLSID. A null inventory gives no rows.
InventoryTable installedMftTable(const MftInventory* inventory, const CodecDatabase& db);

// "MEDIA FOUNDATION: details" of one transform; `ownBits` is this process's
// architecture, so a transform it cannot load says so.
DetailRows mftDetailRows(const MftRecord& record, const CodecDatabase& db, int ownBits);

} // namespace tavro
