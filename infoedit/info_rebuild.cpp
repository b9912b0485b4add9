#include "infoedit/info_rebuild.h"

#include <algorithm>
#include <cstring>

namespace tavro {
namespace {

constexpr uint64_t kNoParentEnd = UINT64_MAX;

bool idIs(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

uint64_t padded(uint32_t size) {
    return (uint64_t(size) + 1) & ~uint64_t(1);
}

// Walks the head's chunk tree once, writing the new head as it goes. Positions are
// 64-bit so that no size read from the file can wrap them. Invariant while no tail
// has been copied: out_ position == in position - slack_.
class Rebuilder {
  public:
    Rebuilder(ByteView in, const InfoEdit& edit, HeadLayout* layout)
        : in_(in), edit_(edit), layout_(layout), out_(in.size()) {}

    RebuildStatus run() {
        if (!in_.has(0, 12) || !idIs(in_.data(), "RIFF")) return RebuildStatus::Failed;
        if (!chunk(0, kNoParentEnd, 0, nullptr)) return status_;
        if (!tailCopied_) {
            // Bytes behind the first RIFF chunk (a second RIFF, trailing data) stay.
            uint64_t end = 8 + padded(in_.u32(4));
            if (end < in_.size() && !copyTail(end)) return status_;
            if (end > in_.size()) return RebuildStatus::Failed; // cannot happen: tail copied
        }
        if (edit_.command != InfoCommand::None && !anchorDone_) return RebuildStatus::Failed;
        if (slack_ != 0) return RebuildStatus::NoRoom;
        if (written_ != out_.size()) return RebuildStatus::Failed;
        return RebuildStatus::Ok;
    }

    std::vector<uint8_t>& output() { return out_; }

  private:
    bool refuse(RebuildStatus status) {
        status_ = status;
        return false;
    }

    bool put(const void* data, uint64_t count) {
        if (count > out_.size() - written_) return refuse(RebuildStatus::Failed);
        if (count) std::memcpy(out_.data() + written_, data, static_cast<size_t>(count));
        written_ += count;
        return true;
    }
    bool putZeros(uint64_t count) {
        if (count > out_.size() - written_) return refuse(RebuildStatus::Failed);
        std::memset(out_.data() + written_, 0, static_cast<size_t>(count));
        written_ += count;
        return true;
    }
    bool putHeader(const uint8_t* id, uint32_t size) {
        uint8_t header[8];
        std::memcpy(header, id, 4);
        for (int i = 0; i < 4; ++i)
            header[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        return put(header, 8);
    }

    // From `pos` to the end of the head everything is copied as it stands; only
    // allowed where the new head has come back in line with the old.
    bool copyTail(uint64_t pos) {
        if (slack_ != 0) return refuse(RebuildStatus::NoRoom);
        if (written_ != pos || pos > in_.size()) return refuse(RebuildStatus::Failed);
        tailCopied_ = true;
        return put(in_.data() + pos, in_.size() - pos);
    }

    void record(uint64_t pos, bool container, bool inInfo) {
        if (!layout_) return;
        HeadChunk c;
        c.offset = static_cast<uint32_t>(pos);
        std::memcpy(c.id.data(), in_.data() + pos, 4);
        c.size = in_.u32(pos + 4);
        c.container = container;
        if (container) std::memcpy(c.type.data(), in_.data() + pos + 8, 4);
        c.inInfoList = inInfo;
        layout_->chunks.push_back(c);
    }

    // The new field of an edit or insertion: header, text, NUL, pad byte.
    bool putField() {
        std::string text = edit_.text.substr(0, edit_.text.find('\0'));
        uint32_t size = static_cast<uint32_t>(text.size() + 1);
        return putHeader(edit_.id.data(), size) && put(text.c_str(), size) &&
               putZeros(padded(size) - size);
    }
    int64_t fieldPadded() const {
        size_t n = edit_.text.find('\0');
        if (n == std::string::npos) n = edit_.text.size();
        return static_cast<int64_t>(padded(static_cast<uint32_t>(n + 1)));
    }

    // `parentType`: the list type of the chunk's parent (null for the first RIFF chunk).
    bool chunk(uint64_t pos, uint64_t parentEnd, int depth, const uint8_t* parentType) {
        const uint8_t* p = in_.data() + pos; // the caller made sure 8 bytes are there
        const bool inInfo = parentType && idIs(parentType, "INFO");
        const uint32_t size = in_.u32(pos + 4);
        const uint64_t end = pos + 8 + padded(size);
        if (end > parentEnd) return refuse(RebuildStatus::Failed);
        const bool container = idIs(p, "RIFF") || idIs(p, "LIST");
        const bool anchor =
            edit_.command != InfoCommand::None && !anchorDone_ && pos == edit_.anchor;
        if (container) {
            if (!in_.has(pos, 12)) return refuse(RebuildStatus::Failed);
            if (idIs(p, "LIST") && idIs(p + 8, "movi")) {
                // The data and everything after it are never rewritten.
                if (layout_) layout_->movi = static_cast<uint32_t>(pos);
                return copyTail(pos);
            }
            if (anchor && edit_.command != InfoCommand::New) return refuse(RebuildStatus::Failed);
            return list(pos, end, depth, anchor);
        }
        if (anchor) {
            // Only the comment rows' chunks are fields: INFO entries and the header's ISFT.
            const bool field =
                inInfo || (idIs(p, "ISFT") && parentType && idIs(parentType, "hdrl"));
            if (!field) return refuse(RebuildStatus::Failed);
            return anchorField(pos, end, inInfo);
        }
        if (end > in_.size()) {
            // A chunk cut by the end of the head is left alone if nothing has moved.
            if (slack_ == 0 && written_ == pos) return copyTail(pos);
            return refuse(RebuildStatus::Failed);
        }
        record(pos, false, inInfo);
        if (idIs(p, "JUNK") && slack_ != 0) return absorb(pos);
        return put(p, end - pos);
    }

    bool list(uint64_t pos, uint64_t end, int depth, bool insertHere) {
        if (depth >= kMaxRebuildDepth) return refuse(RebuildStatus::Failed);
        const uint8_t* p = in_.data() + pos;
        const bool info = idIs(p, "LIST") && idIs(p + 8, "INFO");
        record(pos, true, false);
        const uint8_t* type = p + 8;
        const uint64_t headerOut = written_;
        if (!put(p, 12)) return false;
        if (insertHere) {
            if (!info) return refuse(RebuildStatus::Failed);
            anchorDone_ = true;
            if (!putField()) return false;
            slack_ -= fieldPadded() + 8;
        }
        uint64_t child = pos + 12;
        while (child < end && !tailCopied_) {
            if (!in_.has(child, 8)) {
                // The head ends inside this list: what follows on disk must stay where it is.
                if (end > in_.size() && child + 8 <= end) return copyTail(child);
                return refuse(RebuildStatus::Failed); // a fragment too short to be a chunk
            }
            if (!chunk(child, end, depth + 1, type)) return false;
            child += 8 + padded(in_.u32(child + 4));
        }
        if (tailCopied_) return true; // the list keeps its size: nothing in it moved in sum
        const uint64_t newSize = written_ - headerOut - 8;
        // An unchanged extent keeps the size field as it was (an odd size stays odd).
        if (written_ - headerOut == end - pos) return true;
        if (newSize > 0xFFFFFFFEu) return refuse(RebuildStatus::Failed);
        for (int i = 0; i < 4; ++i)
            out_[headerOut + 4 + i] = static_cast<uint8_t>(newSize >> (8 * i));
        return true;
    }

    bool anchorField(uint64_t pos, uint64_t end, bool inInfo) {
        if (end > in_.size()) return refuse(RebuildStatus::Failed);
        anchorDone_ = true;
        const int64_t oldPadded = static_cast<int64_t>(end - pos - 8);
        switch (edit_.command) {
        case InfoCommand::Edit:
            record(pos, false, inInfo);
            slack_ += oldPadded - fieldPadded();
            return putField();
        case InfoCommand::Delete:
            // What the chunk really takes, from its size field, not from its text.
            slack_ += oldPadded + 8;
            return true;
        default:
            return refuse(RebuildStatus::Failed); // New anchors on its list
        }
    }

    // A JUNK chunk takes up the difference: it is filler, so its payload is cut or
    // grown with zeros.
    bool absorb(uint64_t pos) {
        const int64_t oldPadded = static_cast<int64_t>(padded(in_.u32(pos + 4)));
        int64_t newPadded = oldPadded + slack_;
        if (newPadded < 0) newPadded = 0;
        if (newPadded > 0xFFFFFFFEll) return refuse(RebuildStatus::Failed);
        slack_ += oldPadded - newPadded;
        const int64_t keep = newPadded < oldPadded ? newPadded : oldPadded;
        return putHeader(in_.data() + pos, static_cast<uint32_t>(newPadded)) &&
               put(in_.data() + pos + 8, static_cast<uint64_t>(keep)) &&
               putZeros(static_cast<uint64_t>(newPadded - keep));
    }

    ByteView in_;
    const InfoEdit& edit_;
    HeadLayout* layout_;
    std::vector<uint8_t> out_;
    uint64_t written_ = 0;
    int64_t slack_ = 0; // bytes freed minus bytes needed so far
    bool anchorDone_ = false;
    bool tailCopied_ = false;
    RebuildStatus status_ = RebuildStatus::Failed;
};

} // namespace

RebuildResult rebuildHead(ByteView head, const InfoEdit& edit) {
    RebuildResult result;
    HeadLayout before;
    Rebuilder rebuild(head, edit, &before);
    result.status = rebuild.run();
    if (result.status != RebuildStatus::Ok) return result;
    std::vector<uint8_t>& out = rebuild.output();
    // The new head must walk as cleanly as the old one and meet the rest of the file
    // exactly: the data list in the same place, every byte from there on unchanged.
    HeadLayout after = scanHead(ByteView(out.data(), out.size()));
    if (!after.clean || after.movi != before.movi ||
        (before.movi != 0xFFFFFFFFu &&
         std::memcmp(out.data() + before.movi, head.data() + before.movi,
                     head.size() - before.movi) != 0)) {
        result.status = RebuildStatus::Failed;
        return result;
    }
    result.head = std::move(out);
    return result;
}

HeadLayout scanHead(ByteView head) {
    HeadLayout layout;
    InfoEdit none;
    Rebuilder walk(head, none, &layout);
    layout.clean = walk.run() == RebuildStatus::Ok &&
                   std::memcmp(walk.output().data(), head.data(), head.size()) == 0;
    return layout;
}

bool headWalksCleanly(ByteView head) {
    return scanHead(head).clean;
}

bool insertInfoList(ByteView head, std::vector<uint8_t>* out, uint32_t* listOffset) {
    static const uint8_t kTemplate[36] = {'L', 'I', 'S', 'T', 28, 0, 0, 0, 'I', 'N', 'F', 'O',
                                          'I', 'S', 'F', 'T', 16, 0, 0, 0, 'T', 'a', 'v', 'r',
                                          'o', 0,   0,   0,   0,  0, 0, 0, 0,   0,   0,   0};
    HeadLayout layout = scanHead(head);
    if (!layout.clean) return false;
    const HeadChunk* junk = nullptr;
    for (const HeadChunk& c : layout.chunks)
        if (!c.container && std::memcmp(c.id.data(), "JUNK", 4) == 0 &&
            (!junk || c.size > junk->size))
            junk = &c;
    // The 72 bytes moved and written must be real head bytes, never past them.
    if (!junk || junk->size < 52 || !head.has(junk->offset, 8 + padded(junk->size))) return false;
    out->assign(head.data(), head.data() + head.size());
    uint8_t* p = out->data() + junk->offset;
    // The header and as much filler as stays inside the chunk move 36 bytes on; for a
    // chunk under 64 bytes a full 36-byte move would run over the next chunk's header.
    const uint64_t length = 8 + padded(junk->size);
    std::memmove(p + 36, p, static_cast<size_t>(std::min<uint64_t>(36, length - 36)));
    const uint32_t size = junk->size - 36;
    for (int i = 0; i < 4; ++i)
        p[36 + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
    std::memcpy(p, kTemplate, sizeof kTemplate);
    *listOffset = junk->offset;
    return headWalksCleanly(ByteView(out->data(), out->size()));
}

} // namespace tavro
