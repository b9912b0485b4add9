#include "codecs/guid_display_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/media_guids.h"
#include "tests/codecs/inventory_test_db.h"

namespace tavro {
namespace {

TEST(GuidDisplayName, Forms) {
    CodecDatabase db;
    loadInventoryTestDb(db);
    struct Case {
        const char* text;
        bool append, fourccMode;
        size_t size;
        const char* shown;
        const char* fourcc;
    };
    const Case cases[] = {
        {"{73646976-0000-0010-8000-00AA00389B71}", false, true, 128, "Video", ""},
        {"{73646976-0000-0010-8000-00aa00389b71}", true, true, 128,
         "Video {73646976-0000-0010-8000-00aa00389b71}", ""},
        {"{00000055-0000-0010-8000-00AA00389B71}", true, true, 128,
         "WAVE_FORMAT_MPEGLAYER3 (0x0055)", ""},
        {"{00000161-0000-0010-8000-00AA00389B71}", false, true, 128, "( Unknown )", ""},
        {"{00000055-0000-0010-8000-00AA00389B71}", false, true, 12, "",
         ""}, // too small for a tag name
        {"{44495658-0000-0010-8000-00aa00389b71}", false, true, 128, "4cc: XVID    ", "XVID"},
        {"{64697678-0000-0010-8000-00AA00389B71}", true, true, 128,
         "4cc: xvid     {64697678-0000-0010-8000-00AA00389B71}", "XVID"},
        {"{64697678-0000-0010-8000-00AA00389B71}", false, false, 128,
         "{64697678-0000-0010-8000-00AA00389B71}", ""},
        {"{64697678-0000-0010-8000-00AA00389B72}", false, true, 128,
         "{64697678-0000-0010-8000-00AA00389B72}", ""},
        {"{64697678-0000-0010-8000-00AA00389B71}", false, true, 8, "4cc: xv", "XVID"},
        {"{3253564D-0000-0010-8000-00AA00389B71}", false, true, 128, "Named MVS2", ""},
        {"{E436EB87-524F-11CE-9F53-0020AF0BA770}", true, true, 128,
         "{E436EB87-524F-11CE-9F53-0020AF0BA770}", ""},
        {"not a guid", true, true, 128, "not a guid", ""},
        {"", true, true, 128, "", ""},
    };
    for (const Case& c : cases) {
        char out[128];
        std::memset(out, 'Z', sizeof out);
        char fourcc[5] = "OLD"; // cleared whenever no FourCC is found
        guidDisplayName(db, c.text, out, c.size, {c.append, c.fourccMode}, fourcc);
        EXPECT_EQ(std::string(out), c.shown) << c.text << " size " << c.size;
        EXPECT_STREQ(fourcc, c.fourcc) << c.text;
        if (c.size < sizeof out) {
            EXPECT_EQ(out[c.size], 'Z') << "wrote past size: " << c.text;
        }
    }
}

TEST(GuidDisplayName, BinaryFormMatchesTextFormAndNullIsEmpty) {
    CodecDatabase db;
    loadInventoryTestDb(db);
    char out[128] = "stale";
    guidDisplayName(db, Guid{}, out, sizeof out, {true, true});
    EXPECT_STREQ(out, "");
    guidDisplayName(db, kMediaTypeVideo, out, sizeof out, {true, true});
    EXPECT_STREQ(out, "Video {73646976-0000-0010-8000-00AA00389B71}");
}

} // namespace
} // namespace tavro
