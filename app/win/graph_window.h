// The "Render Graph" window: the render test's filters, pins and connections drawn
// with GDI from the same layout as the SVG picture, scaled to fit the window and
// redrawn when it is resized. It keeps its own copy of the layout, so it never
// reads a graph a later test has refilled.
#pragma once
#include <windows.h>

#include <string>

#include "render/graph_layout.h"

namespace tavro {

class GraphWindow {
  public:
    GraphWindow() = default;
    ~GraphWindow();
    GraphWindow(const GraphWindow&) = delete;
    GraphWindow& operator=(const GraphWindow&) = delete;

    // Opens the window (or brings it forward) over the graph of the file `title`.
    bool show(HWND owner, const GraphDescription& graph, const CodecDatabase* db,
              const std::string& title);
    void close();
    bool isOpen() const { return hwnd_ != nullptr; }
    HWND hwnd() const { return hwnd_; }
    const GraphLayout& layout() const { return layout_; }
    // A point of the layout in client pixels, as last painted.
    POINT toClient(double x, double y) const;

  private:
    static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void fit(const RECT& client);
    void paint(HDC dc, const RECT& client);

    HWND hwnd_ = nullptr;
    HFONT bold_ = nullptr, small_ = nullptr;
    GraphLayout layout_;
    double scale_ = 1, left_ = 0, top_ = 0;
};

} // namespace tavro
