// The render test's platform half: a fresh DirectShow Filter Graph Manager builds
// the playback graph of a file, which is described as plain data and released.
#pragma once
#include <windows.h>

#include <strmif.h>

#include <string>

#include "render/graph_description.h"

namespace tavro {

// Creates the graph manager; replaceable so a machine without DirectShow can be shown.
using GraphManagerFactory = HRESULT (*)(IGraphBuilder** out);
HRESULT createFilterGraphManager(IGraphBuilder** out);

class DirectShowGraphBuilder : public GraphBuilder {
  public:
    explicit DirectShowGraphBuilder(GraphManagerFactory factory = &createFilterGraphManager)
        : factory_(factory) {}
    int32_t renderFile(const std::string& path, size_t maxFilters, GraphDescription* graph,
                       bool* managerCreated) override;

  private:
    GraphManagerFactory factory_;
};

// A filter or pin name of at most `capacity` (and never more than 128) wide
// characters, terminated or not, as UTF-8.
std::string narrowName(const WCHAR* wide, size_t capacity);

// COM references the adapter holds right now: zero between tests, whatever the graph.
long heldGraphReferences();
// What the graph manager's last Release returned: 0 when nothing else kept it.
unsigned long lastGraphFinalCount();

} // namespace tavro
