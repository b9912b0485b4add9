// The head rebuild over AVIs built byte by byte: what an edit writes, where the
// difference goes, and every layout it must refuse.
#include <gtest/gtest.h>

#include <cstring>

#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"
#include "infoedit/info_rebuild.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using test::Bytes;
using test::operator+;
using test::chunk;
using test::list;
using test::text;

Bytes textChunk(const std::string& id, const std::string& s) {
    Bytes payload = text(s);
    payload.push_back(0);
    return chunk(id, payload);
}

Bytes junk(size_t size) {
    return chunk("JUNK", Bytes(size, 0));
}

// RIFF AVI: hdrl, then `middle` (INFO list, JUNK...), then movi with two data chunks.
Bytes avi(const Bytes& middle, const Bytes& moviExtra = {}) {
    Bytes hdrl = list("LIST", "hdrl", test::avih(40000, 2, 1, 16, 16));
    Bytes movi = list("LIST", "movi",
                      chunk("00dc", Bytes(30, 0xAB)) + chunk("00dc", Bytes(31, 0xCD)) + moviExtra);
    return list("RIFF", "AVI ", hdrl + middle + movi + chunk("idx1", Bytes(32, 0x77)));
}

size_t find(const Bytes& b, const std::string& id, size_t from = 0) {
    for (size_t i = from; i + 4 <= b.size(); ++i)
        if (std::memcmp(b.data() + i, id.data(), 4) == 0) return i;
    return std::string::npos;
}

uint32_t le32(const Bytes& b, size_t at) {
    return ByteView(b.data(), b.size()).u32(at);
}

RebuildResult run(const Bytes& head, InfoCommand command, uint32_t anchor,
                  const std::string& text = "", const std::string& id = "INAM") {
    InfoEdit edit;
    edit.command = command;
    edit.anchor = anchor;
    edit.text = text;
    edit.id = fourcc4(id);
    return rebuildHead(ByteView(head.data(), head.size()), edit);
}

TEST(InfoFields, TableAndNames) {
    const InfoField* t = infoFieldTable();
    EXPECT_STREQ(t[0].id, "IARL");
    EXPECT_STREQ(t[0].description, "Archival Location");
    EXPECT_STREQ(t[kInfoFieldCount - 1].id, "ITCH");
    const struct {
        const char* id;
        const char* name;
    } cases[] = {{"INAM", "Name"},
                 {"ISFT", "Software"},
                 {"IRIP", "Ripped *"},
                 {"JUNK", "(ASCII in junk chunk)"},
                 {"junk", "(ASCII in junk chunk)"},
                 {"INFO", "? ? ?"},
                 {"INA", "? ? ?"},
                 {"", "? ? ?"}};
    for (const auto& c : cases)
        EXPECT_EQ(infoFieldName(c.id), c.name) << c.id;
}

TEST(InfoRebuild, ShorteningAFieldGrowsTheJunkBehindIt) {
    Bytes head = avi(list("LIST", "INFO", textChunk("INAM", "0123456789abcdefghij")) + junk(100));
    size_t inam = find(head, "INAM"), junkAt = find(head, "JUNK");
    RebuildResult r = run(head, InfoCommand::Edit, uint32_t(inam), "0123456789");
    ASSERT_EQ(r.status, RebuildStatus::Ok);
    ASSERT_EQ(r.head.size(), head.size());
    EXPECT_EQ(le32(r.head, inam + 4), 11u);
    EXPECT_EQ(le32(r.head, 4), le32(head, 4)); // RIFF size unchanged
    size_t newJunk = find(r.head, "JUNK");
    EXPECT_EQ(newJunk, junkAt - 10);
    EXPECT_EQ(le32(r.head, newJunk + 4), 110u);
    size_t movi = find(head, "movi") - 8;
    EXPECT_TRUE(std::equal(head.begin() + movi, head.end(), r.head.begin() + movi));
}

TEST(InfoRebuild, TextSizesCountTheNulAndPadToEven) {
    const struct {
        const char* text;
        uint32_t size;
        int padded;
    } cases[] = {{"abc", 4, 4}, {"abcd", 5, 6}, {"", 1, 2}};
    for (const auto& c : cases) {
        Bytes head = avi(list("LIST", "INFO", textChunk("INAM", "xy")) + junk(40));
        size_t inam = find(head, "INAM");
        RebuildResult r = run(head, InfoCommand::Edit, uint32_t(inam), c.text, "IART");
        ASSERT_EQ(r.status, RebuildStatus::Ok) << c.text;
        EXPECT_EQ(std::memcmp(r.head.data() + inam, "IART", 4), 0);
        EXPECT_EQ(le32(r.head, inam + 4), c.size);
        EXPECT_EQ(std::memcmp(r.head.data() + inam + 8 + c.padded, "JUNK", 4), 0) << c.text;
    }
}

TEST(InfoRebuild, RefusesWhatNoJunkBehindTheEditCanTakeUp) {
    const struct {
        const char* name;
        Bytes head;
        InfoCommand command;
        std::string text;
    } cases[] = {
        {"no JUNK at all", avi(list("LIST", "INFO", textChunk("INAM", "abc"))), InfoCommand::Delete,
         ""},
        {"JUNK only before the edit",
         avi(junk(64) + list("LIST", "INFO", textChunk("INAM", "abc"))), InfoCommand::Edit,
         "a longer text"},
        {"JUNK only inside movi", avi(list("LIST", "INFO", textChunk("INAM", "abc")), junk(64)),
         InfoCommand::Delete, ""},
        {"JUNK too small", avi(list("LIST", "INFO", textChunk("INAM", "abc")) + junk(4)),
         InfoCommand::Edit, std::string(40, 'x')},
    };
    for (const auto& c : cases) {
        RebuildResult r = run(c.head, c.command, uint32_t(find(c.head, "INAM")), c.text);
        EXPECT_EQ(r.status, RebuildStatus::NoRoom) << c.name;
        EXPECT_TRUE(r.head.empty()) << c.name;
    }
}

TEST(InfoRebuild, DeleteFreesTheChunkNotItsText) {
    // The text stops at its NUL, but the chunk is 20 bytes long.
    Bytes payload = text("ab");
    payload.resize(20, 'z');
    payload[2] = 0;
    Bytes head =
        avi(list("LIST", "INFO", chunk("INAM", payload) + textChunk("IART", "q")) + junk(10));
    RebuildResult r = run(head, InfoCommand::Delete, uint32_t(find(head, "INAM")));
    ASSERT_EQ(r.status, RebuildStatus::Ok);
    EXPECT_EQ(le32(r.head, find(r.head, "JUNK") + 4), 10u + 28u);
    EXPECT_TRUE(headWalksCleanly(ByteView(r.head.data(), r.head.size())));
}

TEST(InfoRebuild, RefusesHeadsThatDoNotWalkCleanly) {
    Bytes good = avi(list("LIST", "INFO", textChunk("INAM", "abc")) + junk(40));
    size_t inam = find(good, "INAM");
    Bytes overrun = good; // the field claims more than its list holds
    overrun[inam + 4] = 0x40;
    Bytes wraps = good; // offset plus size wraps a 32-bit position
    wraps[inam + 4] = 0xF0, wraps[inam + 5] = wraps[inam + 6] = wraps[inam + 7] = 0xFF;
    Bytes cut(good.begin(), good.begin() + inam + 6); // the head ends inside the field
    Bytes deep = textChunk("INAM", "abc");
    for (int i = 0; i < kMaxRebuildDepth + 2; ++i)
        deep = list("LIST", "INFO", deep);
    Bytes nested = avi(deep + junk(40));
    Bytes notRiff = good;
    notRiff[0] = 'X';
    const struct {
        const char* name;
        const Bytes& head;
        uint32_t anchor;
    } cases[] = {{"overrun", overrun, uint32_t(inam)},
                 {"wrap", wraps, uint32_t(inam)},
                 {"cut", cut, uint32_t(inam)},
                 {"nested", nested, uint32_t(find(nested, "INAM"))},
                 {"not RIFF", notRiff, uint32_t(inam)},
                 {"anchor not a chunk", good, uint32_t(inam + 2)},
                 {"anchor is a list", good, uint32_t(find(good, "INFO") - 8)},
                 {"anchor in movi", good, uint32_t(find(good, "00dc"))},
                 {"anchor not a field", good, uint32_t(find(good, "avih"))},
                 {"anchor is JUNK outside INFO", good, uint32_t(find(good, "JUNK"))}};
    for (const auto& c : cases) {
        RebuildResult r = run(c.head, InfoCommand::Edit, c.anchor, "new");
        EXPECT_EQ(r.status, RebuildStatus::Failed) << c.name;
    }
}

TEST(InfoRebuild, NewListInTheLargestJunk) {
    const struct {
        size_t junkSize;
        std::string text;
        bool fits;
        uint32_t junkAfter;
    } cases[] = {{52, "abc", true, 4},
                 {52, "abcdefg", true, 0},
                 {52, "abcdefgh", false, 0},
                 {51, "", false, 0},
                 {200, std::string(63, 'x'), true, 92}};
    for (const auto& c : cases) {
        Bytes head = avi(junk(8) + junk(c.junkSize));
        std::vector<uint8_t> work;
        uint32_t listAt = 0;
        bool room = prepareNewField(ByteView(head.data(), head.size()), &work, &listAt);
        if (c.junkSize < 52) {
            EXPECT_FALSE(room);
            continue;
        }
        ASSERT_TRUE(room);
        EXPECT_EQ(listAt, find(head, "JUNK", find(head, "JUNK") + 4));
        EXPECT_EQ(std::memcmp(work.data() + listAt, "LIST\x1c\0\0\0INFOISFT\x10\0\0\0Tavro", 25),
                  0);
        RebuildResult r = run(work, InfoCommand::New, listAt, c.text, "ICMT");
        if (!c.fits) {
            EXPECT_EQ(r.status, RebuildStatus::NoRoom) << c.text;
            continue;
        }
        ASSERT_EQ(r.status, RebuildStatus::Ok) << c.text;
        EXPECT_EQ(std::memcmp(r.head.data() + listAt + 12, "ICMT", 4), 0);
        EXPECT_EQ(le32(r.head, find(r.head, "JUNK", listAt) + 4), c.junkAfter) << c.text;
    }
}

TEST(InfoRebuild, NewNeedsTheWholeJunkInTheHead) {
    Bytes head = avi(junk(60));
    head.resize(find(head, "JUNK") + 40); // the head ends inside the JUNK chunk
    std::vector<uint8_t> work;
    uint32_t listAt = 0;
    EXPECT_FALSE(prepareNewField(ByteView(head.data(), head.size()), &work, &listAt));
}

TEST(InfoRebuild, SetFieldEditsDeletesAndAdds) {
    Bytes start =
        avi(list("LIST", "INFO", textChunk("INAM", "old") + textChunk("ISFT", "sw")) + junk(300));
    std::vector<uint8_t> head(start.begin(), start.end());
    InfoMessage message;
    ASSERT_TRUE(setInfoField(head, fourcc4("INAM"), std::string(100, 'n'), &message));
    ASSERT_TRUE(setInfoField(head, fourcc4("ISFT"), "", &message));
    ASSERT_TRUE(setInfoField(head, fourcc4("IART"), "me", &message));
    ASSERT_TRUE(setInfoField(head, fourcc4("IGNR"), "", &message)); // nothing to delete
    HeadLayout layout = scanHead(ByteView(head.data(), head.size()));
    ASSERT_TRUE(layout.clean);
    std::vector<std::string> fields;
    for (const HeadChunk& c : layout.chunks)
        if (c.inInfoList)
            fields.push_back(std::string(c.id.begin(), c.id.end()) + ":" + std::to_string(c.size));
    EXPECT_EQ(fields, (std::vector<std::string>{"IART:3", "INAM:64"}));
    EXPECT_EQ(head.size(), start.size());
}

TEST(InfoRebuild, SetFieldRefusalLeavesTheHead) {
    Bytes start = avi(list("LIST", "INFO", textChunk("INAM", "old")));
    std::vector<uint8_t> head(start.begin(), start.end());
    InfoMessage message;
    EXPECT_FALSE(setInfoField(head, fourcc4("INAM"), "a much longer name", &message));
    EXPECT_EQ(message.text, "Edit Failed. File will not be modified");
    EXPECT_EQ(message.caption, "No Room to Reorganize");
    EXPECT_EQ(head, std::vector<uint8_t>(start.begin(), start.end()));
    Bytes noInfo = avi(junk(20));
    head.assign(noInfo.begin(), noInfo.end());
    EXPECT_FALSE(setInfoField(head, fourcc4("INAM"), "x", &message));
    EXPECT_EQ(message.text, "No Room to Insert. File will not be modified");
    EXPECT_EQ(message.caption, "Edit Failed");
}

TEST(InfoRebuild, TheHeadersSoftwareFieldIsEditableToo) {
    Bytes hdrl =
        list("LIST", "hdrl", test::avih(40000, 2, 1, 16, 16) + textChunk("ISFT", "x") + junk(30));
    Bytes head = list("RIFF", "AVI ", hdrl + list("LIST", "movi", chunk("00dc", Bytes(8, 1))));
    RebuildResult r = run(head, InfoCommand::Edit, uint32_t(find(head, "ISFT")), "Tavro", "ISFT");
    ASSERT_EQ(r.status, RebuildStatus::Ok);
    EXPECT_EQ(le32(r.head, find(r.head, "ISFT") + 4), 6u);
    EXPECT_EQ(le32(r.head, find(r.head, "JUNK") + 4), 26u);
}

TEST(InfoRebuild, NoEditGivesTheHeadBackAndOddListSizesStay) {
    Bytes odd = avi(list("LIST", "INFO", textChunk("INAM", "abcd")) + junk(20));
    size_t info = find(odd, "INFO") - 8;
    odd[info + 4] -= 1; // the list's size leaves out its last pad byte
    EXPECT_TRUE(headWalksCleanly(ByteView(odd.data(), odd.size())));
    RebuildResult r = run(odd, InfoCommand::Edit, uint32_t(find(odd, "INAM")), "abcd");
    ASSERT_EQ(r.status, RebuildStatus::Ok);
    EXPECT_EQ(r.head, std::vector<uint8_t>(odd.begin(), odd.end()));
}

} // namespace
} // namespace tavro
