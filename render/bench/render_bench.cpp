// render_bench [--graph] [--repeat N] FILE...: the render test's time per file under
// the platform's DirectShow, and the COM references left over all the renders.
#include <windows.h>

#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codecs/guid.h"
#include "render/render_test.h"
#include "render/win/dshow_graph_builder.h"

namespace {

std::string guidText(const tavro::Guid& g) {
    char text[39];
    tavro::formatRegistryGuid(g, text);
    return text;
}

void printGraph(const tavro::GraphDescription& graph) {
    for (size_t f = 0; f < graph.filters.size(); ++f) {
        const tavro::GraphFilter& filter = graph.filters[f];
        std::printf("  [%zu] %s %s\n", f, filter.name.c_str(), guidText(filter.clsid).c_str());
        for (const tavro::GraphPin& pin : filter.pins)
            std::printf("      %s %-24s %s %s -> filter %d\n",
                        pin.direction == tavro::PinDirection::Input ? "in " : "out",
                        pin.name.c_str(), guidText(pin.major).c_str(),
                        guidText(pin.subtype).c_str(), graph.filterOfPin(pin.peer));
    }
}

} // namespace

int main(int argc, char** argv) {
    bool graph = false;
    int repeat = 5;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--graph") == 0)
            graph = true;
        else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc)
            repeat = std::atoi(argv[++i]);
        else
            files.push_back(argv[i]);
    }
    if (files.empty() || repeat < 1) {
        std::fprintf(stderr, "usage: render_bench [--graph] [--repeat N] FILE...\n");
        return 2;
    }
    CoInitialize(nullptr);
    tavro::DirectShowGraphBuilder builder;
    long leftOver = 0;
    int renders = 0;
    for (const std::string& file : files) {
        double total = 0;
        int32_t hr = 0;
        tavro::RenderOutcome outcome;
        for (int i = 0; i < repeat; ++i) {
            tavro::FilterTable table;
            const auto start = std::chrono::steady_clock::now();
            hr = tavro::buildAndInspectGraph({builder}, file, table, &outcome);
            total +=
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            leftOver += tavro::heldGraphReferences() + (tavro::lastGraphFinalCount() ? 1 : 0);
            ++renders;
        }
        const char* slash = std::strrchr(file.c_str(), '/');
        std::printf("render %-24s %8.1f ms per render  (hr 0x%08lx, %zu filters)\n",
                    slash ? slash + 1 : file.c_str(), total / repeat,
                    static_cast<unsigned long>(hr), outcome.graph.filters.size());
        if (graph) printGraph(outcome.graph);
    }
    std::printf("COM references left over %d renders: %ld\n", renders, leftOver);
    CoUninitialize();
    return leftOver == 0 ? 0 : 1;
}
