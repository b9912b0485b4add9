// The View menu's five lists and the four detail tables, built as table specs
// from the data base, the inventories and the render test's filter table. The
// installed lists and detail tables build the inventories when they are missing
// (they are discarded when the settings change) and check every index.
#pragma once
#include "app/codec_status.h"
#include "app/render_step.h"
#include "app/ui/table_model.h"
#include "common/prompter.h"
#include "common/settings.h"

namespace tavro {

class CodecViews {
  public:
    CodecViews(CodecServices& services, const Settings& settings, Prompter& prompter,
               const RenderStep* render)
        : services_(services), settings_(settings), prompter_(prompter), render_(render) {}

    // Each gives false when there is nothing to show (no data base, no inventory,
    // an index that names no record). Row actions are left to the caller.
    bool knownVideo(TableSpec* out) const;
    bool knownAudio(TableSpec* out) const;
    bool installedVideo(TableSpec* out);
    bool installedAudio(TableSpec* out);
    bool installedMft(TableSpec* out);
    bool videoDetails(int index, TableSpec* out);
    bool audioDetails(int index, TableSpec* out);
    bool mftDetails(int index, TableSpec* out);
    bool filterDetails(int index, TableSpec* out);

  private:
    void ensureInventories();

    CodecServices& services_;
    const Settings& settings_;
    Prompter& prompter_;
    const RenderStep* render_;
};

} // namespace tavro
