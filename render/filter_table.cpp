#include "render/filter_table.h"

#include <string>

#include "codecs/text_field.h"

namespace tavro {

int GraphDescription::filterOfPin(uint64_t id) const {
    if (id == 0) return -1;
    for (size_t f = 0; f < filters.size(); ++f)
        for (const GraphPin& pin : filters[f].pins)
            if (pin.id == id) return static_cast<int>(f);
    return -1;
}

bool FilterRecord::feeds(const FilterRecord& other, bool secondOutput) const {
    const PinSlot& out = secondOutput ? output2 : output1;
    // An empty slot matches nothing, not even another empty slot.
    return out.used && other.input.used && out.peer != 0 && out.peer == other.input.pin;
}

void FilterTable::clear() {
    for (FilterRecord& record : records)
        record = FilterRecord();
    count = 0;
}

namespace {

// Names are UTF-8: a name longer than the record is cut before a character that
// would not fit whole, never inside one, so the kept text stays valid UTF-8.
template <size_t N> void copyName(char (&out)[N], const std::string& name) {
    size_t n = name.size() < N - 1 ? name.size() : N - 1;
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
    copyText(out, N, name.c_str(), n);
}

void fillSlot(PinSlot& slot, const GraphPin& pin) {
    slot.used = 1;
    copyName(slot.name, pin.name);
    slot.major = pin.major;
    slot.subtype = pin.subtype;
    slot.pin = pin.id;
    slot.peer = pin.peer;
}

} // namespace

void fillFilterTable(const GraphDescription& graph, FilterTable& table) {
    table.clear();
    const size_t n = graph.filters.size() < FilterTable::kCapacity ? graph.filters.size()
                                                                   : FilterTable::kCapacity;
    for (size_t k = 0; k < n; ++k) {
        const GraphFilter& filter = graph.filters[k];
        FilterRecord& record = table.records[k];
        copyName(record.name, filter.name);
        record.clsid = filter.clsid;
        for (const GraphPin& pin : filter.pins) {
            if (pin.direction == PinDirection::Input) {
                if (!record.input.used) fillSlot(record.input, pin);
            } else if (!record.output1.used) {
                fillSlot(record.output1, pin);
            } else if (!record.output2.used) {
                fillSlot(record.output2, pin);
            }
        }
    }
    table.count = static_cast<int>(n);
}

} // namespace tavro
