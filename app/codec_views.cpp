#include "app/codec_views.h"

#include "codecs/detail_tables.h"
#include "codecs/inventory_table.h"
#include "codecs/mft_tables.h"
#include "render/filter_details.h"

namespace tavro {
namespace {

TableSpec specOf(const InventoryTable& table, std::initializer_list<int> widths) {
    TableSpec spec;
    spec.title = table.title;
    size_t c = 0;
    for (int width : widths)
        spec.columns.push_back({c < table.columns.size() ? table.columns[c++] : "", width});
    spec.rows = table.rows;
    return spec;
}

TableSpec detailSpec(const char* title, DetailRows rows) {
    TableSpec spec;
    spec.title = title;
    spec.columns = {{"Src", 40}, {"Property", 195}, {"Value", 400}};
    spec.rows = std::move(rows);
    spec.emptyRowsLast = true;
    return spec;
}

} // namespace

void CodecViews::ensureInventories() {
    if (!services_.sources || !services_.db) return;
    ensureCodecInventories(
        services_.inventories,
        InventoryContext{*services_.sources, *services_.db, settings_, prompter_});
}

bool CodecViews::knownVideo(TableSpec* out) const {
    if (!services_.db) return false;
    *out = specOf(knownVideoTable(*services_.db), {75, 280, 280});
    return true;
}

bool CodecViews::knownAudio(TableSpec* out) const {
    if (!services_.db) return false;
    *out = specOf(knownAudioTable(*services_.db), {75, 280, 280});
    return true;
}

bool CodecViews::installedVideo(TableSpec* out) {
    ensureInventories();
    if (!services_.inventories.video) return false;
    const CodecInventories& inv = services_.inventories;
    *out = specOf(installedVideoTable(inv.video.get(), inv.ownBits, inv.otherArch.get()),
                  {50, 75, 210, 125, 175, 55});
    return true;
}

bool CodecViews::installedAudio(TableSpec* out) {
    ensureInventories();
    if (!services_.inventories.audio) return false;
    const CodecInventories& inv = services_.inventories;
    *out = specOf(installedAudioTable(inv.audio.get(), inv.ownBits, inv.otherArch.get()),
                  {75, 75, 185, 125, 175, 55});
    return true;
}

bool CodecViews::installedMft(TableSpec* out) {
    ensureInventories();
    if (!services_.inventories.mft || !services_.db) return false;
    *out = specOf(installedMftTable(services_.inventories.mft.get(), *services_.db),
                  {55, 105, 210, 175, 120, 70, 45, 250});
    return true;
}

bool CodecViews::videoDetails(int index, TableSpec* out) {
    ensureInventories();
    const VideoCodecInventory* video = services_.inventories.video.get();
    const VideoCodecRecord* record = video ? video->at(index) : nullptr;
    if (!record || !services_.db) return false;
    *out = detailSpec("VIDEO: details", videoDetailRows(*record, *services_.db));
    return true;
}

bool CodecViews::audioDetails(int index, TableSpec* out) {
    ensureInventories();
    const AudioCodecInventory* audio = services_.inventories.audio.get();
    const AudioCodecRecord* record = audio ? audio->at(index) : nullptr;
    if (!record || !services_.db) return false;
    *out = detailSpec("AUDIO: details", audioDetailRows(*record, *services_.db));
    return true;
}

bool CodecViews::mftDetails(int index, TableSpec* out) {
    ensureInventories();
    const MftInventory* mft = services_.inventories.mft.get();
    const MftRecord* record = mft ? mft->at(index) : nullptr;
    if (!record || !services_.db || !services_.sources) return false;
    *out = detailSpec("MEDIA FOUNDATION: details",
                      mftDetailRows(*record, *services_.db, services_.sources->ownBits));
    return true;
}

bool CodecViews::filterDetails(int index, TableSpec* out) {
    if (!render_ || !services_.db) return false;
    const FilterRecord* filter = render_->table().at(index);
    if (!filter || index >= render_->table().count) return false;
    ensureInventories();
    *out = detailSpec("DirectShow Filter: details",
                      filterDetailRows(*filter, *services_.db, services_.inventories.video.get(),
                                       services_.inventories.audio.get()));
    return true;
}

} // namespace tavro
