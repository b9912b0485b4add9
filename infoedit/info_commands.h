// The INFO commands over a head: the messages of a refused edit, preparing a new
// field, and setting a field by id (as the command line does).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/media_info.h"
#include "infoedit/info_rebuild.h"

namespace tavro {

struct InfoMessage {
    std::string text;
    std::string caption;
};

// "Edit Failed. File will not be modified" under "Unspecified Error" or "No Room to
// Reorganize".
InfoMessage rebuildMessage(RebuildStatus status);
// "No Room to Insert. File will not be modified" under "Edit Failed".
InfoMessage noRoomToInsertMessage();

// The INFO commands work on an AVI whose headers were read, and only while the head
// buffer holds the start of the file (not a payload taken out of a wrapper).
bool infoCommandsAllowed(const MediaInfo& info);

std::array<uint8_t, 4> fourcc4(const std::string& id);

// The head a new field is inserted into, and the `LIST INFO` it goes into: the
// first INFO list of the head, or one made in the largest JUNK chunk. False when
// neither is possible (no room to insert).
bool prepareNewField(ByteView head, std::vector<uint8_t>* work, uint32_t* listOffset);

// Sets field `id` (a row of the field table) to `text`, cut to 63 characters:
// the first INFO field with that id is edited, or deleted when `text` is empty; a
// missing field is added. On refusal `head` is unchanged and `message` says why.
bool setInfoField(std::vector<uint8_t>& head, const std::array<uint8_t, 4>& id,
                  const std::string& text, InfoMessage* message);

} // namespace tavro
