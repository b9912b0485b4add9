// What the main window asks of the analysis side. The window owns the controls and
// turns user actions into these calls; the driver fills the report through the
// ReportView it is given.
#pragma once
#include <string>
#include <vector>

#include "app/ui/link_target.h"
#include "app/win/explanation_popup.h"

namespace tavro {

class LinkButton;
class ReportField;

// The main window's report controls, by control id (null for an unknown id).
class ReportView {
  public:
    virtual ~ReportView() = default;
    virtual ReportField* field(int id) = 0;
    virtual LinkButton* link(int id) = 0;
    virtual void* windowHandle() = 0; // the main window's HWND, as owner of message boxes
};

class WindowDriver {
  public:
    virtual ~WindowDriver() = default;

    // Once the window's controls exist: buffers, codec data base. False ends the
    // program (the driver has told the user why).
    virtual bool start() { return true; }
    // Before the report is replaced or the window closes: asks about unsaved INFO
    // edits under `caption`; false when the user cancels.
    virtual bool leaveCurrentFile(const char* caption) = 0;
    // A new batch (already cut to 1000 paths): analyse its first file.
    virtual void openList(std::vector<std::string> paths) = 0;
    virtual bool hasNext() const = 0;
    virtual void next() = 0;
    virtual void setBatchRunning(bool running) = 0;
    // Stream 0, 1 or 2 of the current file.
    virtual void selectAudioStream(int stream) = 0;
    // Kind 1 video codec, 2 audio codec, 3 file status or render.
    virtual Explanation explanation(int kind) = 0;
    // The text behind one status link (the file status and render links share kind 3).
    virtual Explanation explanationOf(int kind, int linkId) {
        (void)linkId;
        return explanation(kind);
    }
    // A codec or filter-graph link: the detail views.
    virtual void followStreamLink(const LinkTarget& link) = 0;
    // The Settings dialog ended with OK: inventories are to be rebuilt when next needed.
    virtual void settingsChanged() = 0;
    // Menu commands the window does not handle itself; false when not handled.
    virtual bool command(int id) = 0;
};

} // namespace tavro
