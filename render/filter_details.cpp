#include "render/filter_details.h"

#include "codecs/guid_display_name.h"
#include "render/render_fields.h"

namespace tavro {
namespace {

std::string guidCell(const CodecDatabase& db, const Guid& guid) {
    char out[71];
    guidDisplayName(db, guid, out, sizeof out, GuidNameOptions{true, true});
    return out;
}

void addPinRows(DetailRows& rows, const CodecDatabase& db, const PinSlot& pin, const char* label) {
    const std::string name = label;
    rows.push_back({"GRF", name + " pin name", pin.name});
    rows.push_back({"GRF", name + " Media Type (major)", guidCell(db, pin.major)});
    rows.push_back({"GRF", name + " Media Type (subtype)", guidCell(db, pin.subtype)});
}

} // namespace

DetailRows filterDetailRows(const FilterRecord& f, const CodecDatabase& db,
                            const VideoCodecInventory* video, const AudioCodecInventory* audio) {
    DetailRows rows;
    rows.push_back({"GRF", "Name", f.name});
    rows.push_back({"GRF", "Driver", f.driverFile});
    rows.push_back({"GRF", "Primary 4CC", f.primaryFourcc});
    rows.push_back({"GRF", "DirectShow CLSID", guidCell(db, f.clsid)});
    addPinRows(rows, db, f.input, "Input");
    addPinRows(rows, db, f.output1, "Output1");
    addPinRows(rows, db, f.output2, "Output2");
    // The codec indices are checked against the inventories as they are now: they
    // may have been rebuilt since the test.
    if (const VideoCodecRecord* codec = video ? video->at(f.videoCodecIndex) : nullptr) {
        DetailRows more = videoDetailRows(*codec, db, true);
        if (codec->missing) more.erase(more.begin()); // items 2 onwards only
        rows.insert(rows.end(), more.begin(), more.end());
    }
    if (const AudioCodecRecord* codec = audio ? audio->at(matchAudioCodec(f, audio)) : nullptr) {
        DetailRows more = audioCodecSummaryRows(*codec, db);
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

} // namespace tavro
