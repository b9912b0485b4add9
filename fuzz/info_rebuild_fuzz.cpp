// Fuzzes the INFO head rebuild: random head bytes and random edit sequences. The
// invariant is the writer's promise: refuse, or give a head of the same length that
// walks cleanly and leaves every byte from `movi` on alone.
//
// Input: byte 0 = number of edits (0-7); then 6 bytes per edit (command, anchor
// choice as 2 bytes, text length, field id, text fill); the rest is the head.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"
#include "infoedit/info_rebuild.h"

namespace {

using namespace tavro;

void check(bool ok) {
    if (!ok) std::abort();
}

void checkResult(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    check(after.size() == before.size());
    HeadLayout old = scanHead(ByteView(before.data(), before.size()));
    HeadLayout now = scanHead(ByteView(after.data(), after.size()));
    check(now.clean);
    check(now.movi == old.movi);
    if (old.movi != 0xFFFFFFFFu)
        check(std::memcmp(after.data() + old.movi, before.data() + old.movi,
                          before.size() - old.movi) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const size_t edits = data[0] % 8;
    const size_t header = 1 + edits * 6;
    if (size < header) return 0;
    std::vector<uint8_t> head(data + header, data + size);
    for (size_t e = 0; e < edits; ++e) {
        const uint8_t* p = data + 1 + e * 6;
        HeadLayout layout = scanHead(ByteView(head.data(), head.size()));
        InfoEdit edit;
        edit.command = static_cast<InfoCommand>(1 + p[0] % 4); // 4: the command line's set
        const uint16_t choice = static_cast<uint16_t>(p[1] | (p[2] << 8));
        // Mostly a chunk the walk met, sometimes any offset at all.
        edit.anchor = !layout.chunks.empty() && choice < 0xF000
                          ? layout.chunks[choice % layout.chunks.size()].offset
                          : choice;
        edit.text.assign(p[3] % 80, static_cast<char>(' ' + p[5] % 95));
        edit.id = fourcc4(infoFieldTable()[p[4] % kInfoFieldCount].id);
        std::vector<uint8_t> before = head;
        if (p[0] % 4 == 3) {
            InfoMessage message;
            if (setInfoField(head, edit.id, edit.text, &message))
                checkResult(before, head);
            else
                check(head == before);
            continue;
        }
        std::vector<uint8_t> work;
        if (edit.command == InfoCommand::New) {
            if (!prepareNewField(ByteView(head.data(), head.size()), &work, &edit.anchor)) continue;
            checkResult(before, work);
        } else {
            work = head;
        }
        RebuildResult r = rebuildHead(ByteView(work.data(), work.size()), edit);
        if (r.status != RebuildStatus::Ok) {
            check(r.head.empty());
            continue;
        }
        checkResult(before, r.head);
        head = std::move(r.head);
    }
    return 0;
}
