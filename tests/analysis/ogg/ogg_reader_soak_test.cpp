// Ten thousand reads must leave the heap as they found it: every sync, stream,
// info and comment record of a read is released, on success and on failure.
#include "analysis/ogg_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/analysis/ogg/ogg_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define TAVRO_HEAP_BYTES_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRO_HEAP_BYTES_ASAN 1
#endif
#endif

#if defined(TAVRO_HEAP_BYTES_ASAN)
// Part of the sanitizer runtime; GCC ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tavro {
namespace {

using test::Bytes;
using test::OggBuilder;

// Bytes the heap holds for the program now; -1 where there is no way to ask.
long long heapInUse() {
#if defined(TAVRO_HEAP_BYTES_ASAN)
    return static_cast<long long>(__sanitizer_get_current_allocated_bytes());
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    return static_cast<long long>(mallinfo2().uordblks);
#else
    return -1;
#endif
}

std::vector<Bytes> soakInputs() {
    std::vector<Bytes> inputs;
    std::vector<std::string> many;
    for (int i = 0; i < 400; ++i)
        many.push_back("NAME" + std::to_string(i) + "=value");
    OggBuilder ogm;
    ogm.packet(0, test::ogmHeaderPacket({}));
    ogm.packet(1, test::vorbisIdentPacket()).packet(1, test::vorbisCommentPacket("v", many));
    ogm.packet(2, test::ogmHeaderPacket(test::ogmAudio("0055", 2, 44100, 16000)));
    ogm.packet(0, test::vorbisCommentPacket("video", many));
    inputs.push_back(ogm.bytes());
    OggBuilder vorbis;
    vorbis.packet(0, test::vorbisIdentPacket()).packet(0, test::vorbisCommentPacket("v", many));
    inputs.push_back(vorbis.bytes());
    // Failures part-way: after streams and headers exist.
    OggBuilder refused;
    refused.packet(0, test::vorbisIdentPacket()).packet(0, test::vorbisCommentPacket("v", many));
    refused.packet(4, test::vorbisIdentPacket());
    inputs.push_back(refused.bytes());
    Bytes lost = vorbis.bytes();
    lost.insert(lost.begin() + 58, 'x');
    inputs.push_back(lost);
    OggBuilder eleven;
    for (int s = 0; s < 11; ++s)
        eleven.packet(s, test::vorbisIdentPacket());
    inputs.push_back(eleven.bytes());
    // A real file with hundreds of comments when the samples are there.
    if (FILE* f = std::fopen(OGG_SAMPLE_DIR "/vorbis_many_comments.ogg", "rb")) {
        Bytes b(524288);
        b.resize(std::fread(b.data(), 1, b.size(), f));
        std::fclose(f);
        inputs.push_back(b);
    }
    return inputs;
}

TEST(OggReaderSoak, TenThousandReadsDoNotGrowTheHeap) {
    const std::vector<Bytes> inputs = soakInputs();
    std::vector<int> codes;
    for (const Bytes& b : inputs) {
        OggReadResult r;
        codes.push_back(readOggStreams(b.data(), b.size(), r));
    }
    ASSERT_EQ(codes[0], kOggOk);
    ASSERT_EQ(codes[2], kOggPageRefused);
    ASSERT_EQ(codes[3], kOggLostSync);
    ASSERT_EQ(codes[4], kOggTooManyStreams);

    OggReadResult r;
    const long long before = heapInUse();
    for (int i = 0; i < 10000; ++i) {
        const Bytes& b = inputs[i % inputs.size()];
        ASSERT_EQ(readOggStreams(b.data(), b.size(), r), codes[i % inputs.size()]);
    }
    // Bring the result record back to the shape it had when `before` was taken.
    r = OggReadResult{};
    const long long after = heapInUse();
    if (before < 0) GTEST_SKIP() << "no heap figures on this platform; reads completed";
    std::printf("heap in use before %lld, after 10000 reads %lld\n", before, after);
#if defined(TAVRO_HEAP_BYTES_ASAN)
    EXPECT_EQ(after, before);
#else
    // The C library counts the freed blocks its per-thread cache keeps as in use, so a
    // few may still show; a leak of one small block per read would show ten thousand
    // times over.
    EXPECT_LE(after, before + 16384);
#endif
}

} // namespace
} // namespace tavro
