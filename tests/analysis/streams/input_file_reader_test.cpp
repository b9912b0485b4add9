#include "analysis/streams/input_file_reader.h"

#include <gtest/gtest.h>

#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

using test::MemoryFile;
using test::MemoryFileSystem;

// Reading into a vector, or taking a view, gives what reading into a buffer gives,
// with the same counts, wherever the window lies against the head held in memory and
// the file's end; a view wholly in the head shows the head itself.
TEST(InputFileReader, ReadIntoAndViewMatchReadAt) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    const size_t kHead = 300;
    const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + kHead);
    const struct {
        uint64_t offset;
        size_t want;
    } windows[] = {{0, 0},   {0, 100},   {250, 50},  {250, 51},  {299, 400},
                   {300, 0}, {300, 100}, {900, 200}, {1000, 10}, {5000, 10}};
    for (bool failing : {false, true})
        for (size_t held : {size_t(3), size_t(1500)}) {
            MemoryFileSystem fs;
            fs.files["f"] = MemoryFile(bytes);
            fs.failReads = failing;
            FileError error;
            std::unique_ptr<InputFile> a = fs.openRead("f", &error), b = fs.openRead("f", &error),
                                       c = fs.openRead("f", &error);
            InputFileReader byBuffer(*a, head.data(), head.size()),
                byVector(*b, head.data(), head.size()), byView(*c, head.data(), head.size());
            for (const auto& w : windows) {
                std::vector<uint8_t> expected(w.want + 1, 0xEE);
                size_t got = 0;
                const bool okBuffer = byBuffer.readAt(w.offset, expected.data(), w.want, &got);
                expected.resize(std::min(got, w.want));
                // What `out` held before, short or long, never shows through.
                ByteBuffer out(held, 0xEE);
                const bool okVector = byVector.readInto(w.offset, w.want, out);
                const std::string where = std::to_string(w.offset) + "+" + std::to_string(w.want) +
                                          (failing ? " failing" : "") + " held " +
                                          std::to_string(held);
                EXPECT_EQ(okVector, okBuffer) << where;
                EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.end()), expected) << where;
                EXPECT_EQ(byVector.bytesRead(), byBuffer.bytesRead()) << where;
                EXPECT_EQ(byVector.reads(), byBuffer.reads()) << where;
                ByteBuffer scratch(held, 0xEE);
                ByteView view;
                EXPECT_EQ(byView.view(w.offset, w.want, scratch, view), okBuffer) << where;
                EXPECT_EQ(std::vector<uint8_t>(view.data(), view.data() + view.size()), expected)
                    << where;
                if (w.want > 0 && w.offset + w.want <= kHead) {
                    EXPECT_EQ(view.data(), head.data() + w.offset) << where;
                }
                EXPECT_EQ(byView.bytesRead(), byBuffer.bytesRead()) << where;
                EXPECT_EQ(byView.reads(), byBuffer.reads()) << where;
            }
        }
}

} // namespace
} // namespace tavro
