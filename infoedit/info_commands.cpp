#include "infoedit/info_commands.h"

#include <cstring>

namespace tavro {
namespace {

bool isInfoList(const HeadChunk& c) {
    return c.container && std::memcmp(c.id.data(), "LIST", 4) == 0 &&
           std::memcmp(c.type.data(), "INFO", 4) == 0;
}

} // namespace

InfoMessage rebuildMessage(RebuildStatus status) {
    return {"Edit Failed. File will not be modified",
            status == RebuildStatus::NoRoom ? "No Room to Reorganize" : "Unspecified Error"};
}

InfoMessage noRoomToInsertMessage() {
    return {"No Room to Insert. File will not be modified", "Edit Failed"};
}

bool infoCommandsAllowed(const MediaInfo& info) {
    return info.isAvi && info.headersParsed && info.wrap.waveDepth == 0 && info.headLength > 0 &&
           !info.changedWhileRead;
}

std::array<uint8_t, 4> fourcc4(const std::string& id) {
    std::array<uint8_t, 4> out{};
    for (size_t i = 0; i < 4 && i < id.size(); ++i)
        out[i] = static_cast<uint8_t>(id[i]);
    return out;
}

bool prepareNewField(ByteView head, std::vector<uint8_t>* work, uint32_t* listOffset) {
    HeadLayout layout = scanHead(head);
    if (!layout.clean) return false;
    for (const HeadChunk& c : layout.chunks)
        if (isInfoList(c)) {
            work->assign(head.data(), head.data() + head.size());
            *listOffset = c.offset;
            return true;
        }
    return insertInfoList(head, work, listOffset);
}

bool setInfoField(std::vector<uint8_t>& head, const std::array<uint8_t, 4>& id,
                  const std::string& text, InfoMessage* message) {
    ByteView view(head.data(), head.size());
    HeadLayout layout = scanHead(view);
    if (!layout.clean) {
        *message = rebuildMessage(RebuildStatus::Failed);
        return false;
    }
    InfoEdit edit;
    edit.id = id;
    edit.text = text.substr(0, text.find('\0')).substr(0, kMaxFieldText);
    std::vector<uint8_t> work;
    for (const HeadChunk& c : layout.chunks)
        if (c.inInfoList && !c.container && c.id == id) {
            edit.command = edit.text.empty() ? InfoCommand::Delete : InfoCommand::Edit;
            edit.anchor = c.offset;
            break;
        }
    if (edit.command == InfoCommand::None) {
        if (edit.text.empty()) return true; // nothing to delete
        if (!prepareNewField(view, &work, &edit.anchor)) {
            *message = noRoomToInsertMessage();
            return false;
        }
        edit.command = InfoCommand::New;
        view = ByteView(work.data(), work.size());
    }
    RebuildResult result = rebuildHead(view, edit);
    if (result.status != RebuildStatus::Ok) {
        *message = rebuildMessage(result.status);
        return false;
    }
    head = std::move(result.head);
    return true;
}

} // namespace tavro
