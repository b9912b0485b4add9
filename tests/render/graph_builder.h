// Graph descriptions written by hand, shaped like the graphs DirectShow builds.
#pragma once
#include <string>

#include "codecs/media_guids.h"
#include "render/graph_description.h"
#include "render/render_guids.h"

namespace tavro {
namespace test {

using ::tavro::kMediaTypeStream;
constexpr Guid kMediaSubtypeAvi = rgbSubtype(0xE436EB88);

inline Guid waveTagSubtype(uint32_t tag) {
    Guid g = kMediaSubtypePcm;
    g.Data1 = tag;
    return g;
}

class GraphSketch {
  public:
    GraphDescription graph;

    int add(const std::string& name, const Guid& clsid = kNullGuid) {
        graph.filters.push_back({name, clsid, {}});
        return static_cast<int>(graph.filters.size()) - 1;
    }
    // A pin with nothing connected to it.
    GraphPin& pin(int filter, PinDirection direction, const std::string& name) {
        GraphPin p;
        p.name = name;
        p.direction = direction;
        p.id = nextId_++;
        graph.filters[filter].pins.push_back(p);
        return graph.filters[filter].pins.back();
    }
    // A new output pin of `from` connected to a new input pin of `to`.
    void connect(int from, int to, const Guid& major, const Guid& subtype,
                 const std::string& outName = "Output", const std::string& inName = "Input") {
        GraphPin& out = pin(from, PinDirection::Output, outName);
        out.major = major;
        out.subtype = subtype;
        const uint64_t outId = out.id;
        GraphPin& in = pin(to, PinDirection::Input, inName);
        in.major = major;
        in.subtype = subtype;
        in.peer = outId;
        const uint64_t inId = in.id;
        for (GraphPin& p : graph.filters[from].pins)
            if (p.id == outId) p.peer = inId;
    }

  private:
    uint64_t nextId_ = 100;
};

} // namespace test
} // namespace tavro
