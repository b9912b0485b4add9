// A built DirectShow graph as plain data: its filters (in the graph's enumeration
// order), each with its class id and pins, each pin with its direction, connection
// media type and the identity of the pin it is connected to. The Windows adapter
// fills it from a real graph; tests write it by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/guid.h"

namespace tavro {

enum class PinDirection { Input, Output };

struct GraphPin {
    std::string name;
    PinDirection direction = PinDirection::Input;
    Guid major{};   // of the connection media type; null when not connected
    Guid subtype{}; // likewise
    // Pin identity: two pins are the same object when their ids are equal. A pin
    // connected to nothing has peer 0; ids are never 0.
    uint64_t id = 0;
    uint64_t peer = 0;
};

struct GraphFilter {
    std::string name;
    Guid clsid{};
    std::vector<GraphPin> pins; // in the filter's enumeration order
};

struct GraphDescription {
    std::vector<GraphFilter> filters;

    // Index of the filter owning the pin `id`, -1 when no described filter has it.
    int filterOfPin(uint64_t id) const;
};

// What the render test needs of the platform: build the graph a player would
// build for `path` in a fresh graph manager, describe at most `maxFilters` of its
// filters and release everything. Returns the graph builder's result code; when
// the graph manager itself could not be created, that failure's code, with
// `managerCreated` false and nothing described.
class GraphBuilder {
  public:
    virtual ~GraphBuilder() = default;
    virtual int32_t renderFile(const std::string& path, size_t maxFilters, GraphDescription* graph,
                               bool* managerCreated) = 0;
};

} // namespace tavro
