// Rebuilding the head of an AVI with one INFO edit applied. The head is rewritten in
// a new buffer of the same length; the difference in size is taken up by a JUNK
// chunk behind the edit and before `movi`, so that no data chunk moves and the file
// keeps its length. Whenever the head does not walk cleanly the edit is refused.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/byte_view.h"

namespace tavro {

enum class InfoCommand { None = 0, Edit = 1, Delete = 2, New = 3 };

struct InfoEdit {
    InfoCommand command = InfoCommand::None;
    // Edit and Delete: the offset of the field's chunk. New: the offset of the
    // `LIST INFO` the field is put into, as its first entry.
    uint32_t anchor = 0;
    std::string text; // without its NUL; cut at the first NUL
    std::array<uint8_t, 4> id{};
};

enum class RebuildStatus {
    Ok,
    Failed, // the head does not walk cleanly, or the anchor is not a field of it
    NoRoom, // no JUNK chunk behind the edit and before the data can take up the difference
};

struct RebuildResult {
    RebuildStatus status = RebuildStatus::Failed;
    std::vector<uint8_t> head; // the new head (same length as the old) when Ok
};

// One chunk of the head before `movi`, as the rebuild's walk met it.
struct HeadChunk {
    uint32_t offset = 0;
    std::array<uint8_t, 4> id{};
    uint32_t size = 0;
    bool container = false;
    std::array<uint8_t, 4> type{}; // the list type of a container
    bool inInfoList = false;       // a direct child of a `LIST INFO`
};

struct HeadLayout {
    bool clean = false;            // the head walks as a writer needs it to
    uint32_t movi = 0xFFFFFFFFu;   // offset of the `LIST movi` header; none when all ones
    std::vector<HeadChunk> chunks; // in file order, containers before their children
};

// Nesting deeper than this is refused: real AVIs use four levels.
constexpr int kMaxRebuildDepth = 16;
// The longest text a field is given; longer texts are cut.
constexpr size_t kMaxFieldText = 63;

RebuildResult rebuildHead(ByteView head, const InfoEdit& edit);
HeadLayout scanHead(ByteView head);

// True when `head` walks cleanly and a rebuild without an edit gives it back byte for byte.
bool headWalksCleanly(ByteView head);

// Makes room for a new INFO list when the file has none: the largest JUNK chunk before
// `movi` (size field at least 52, all of it in the head) gives its first 36 bytes to
// `LIST INFO` holding an ISFT "Tavro" field. Returns false when there is no room;
// else `out` is the new head and `listOffset` the offset of the new list.
bool insertInfoList(ByteView head, std::vector<uint8_t>* out, uint32_t* listOffset);

} // namespace tavro
