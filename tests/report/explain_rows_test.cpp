// Every identification row through the file explanation: each row reaches its own
// body, never another row's, the MPEG audio one or the unsupported-type fallback.
#include <gtest/gtest.h>

#include <set>

#include "analysis/signatures.h"
#include "report/explanations.h"

namespace tavro {
namespace {

using K = ContainerKind;

// A phrase only the kind's own body holds. A new kind fails the walk until it is listed.
const struct {
    ContainerKind kind;
    const char* phrase;
} kOwnPhrase[] = {
    {K::Asf, "an ASF (Advanced Systems Format) file"},
    {K::MpegAudio, "an audio-only MP3 (or MP2) file"},
    {K::QuickTime, "a QuickTime movie"},
    {K::MpegProgram, "an MPEG program stream"},
    {K::RealMedia, "a RealMedia file"},
    {K::Shockwave, "a Shockwave Flash movie"},
    {K::Executable, "a Windows or DOS program"},
    {K::Rar, "a RAR archive"},
    {K::Zip, "a ZIP archive"},
    {K::UrlLink, "a text file holding an Internet address"},
    {K::Ogg, "an Ogg file"},
    {K::Vivo, "a Vivo movie"},
    {K::Midi, "a MIDI file"},
    {K::Aiff, "an AIFF file"},
    {K::AiffC, "an AIFF-C file"},
    {K::SunAudio, "a Sun/NeXT audio file"},
    {K::Mpeg4, "an MPEG-4 file"},
    {K::Mpeg4Audio, "an MPEG-4 audio file"},
    {K::Mpeg4Video, "an MPEG-4 video file"},
    {K::ThreeGpp, "a 3GPP file"},
    {K::ThreeGpp2, "a 3GPP2 file"},
    {K::FlashMp4, "a Flash MP4 video"},
    {K::MotionJpeg2000, "a Motion JPEG 2000 file"},
    {K::Heif, "a HEIF image"},
    {K::Avif, "an AVIF image"},
    {K::IsoMedia, "an ISO base media file"},
    {K::Matroska, "a Matroska file"},
    {K::WebM, "a WebM file"},
    {K::FlashVideo, "a Flash Video file"},
    {K::TransportStream, "an MPEG transport stream"},
    {K::Flac, "a FLAC file"},
};

const char* ownPhrase(ContainerKind kind) {
    for (const auto& e : kOwnPhrase)
        if (e.kind == kind) return e.phrase;
    return nullptr;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ExplainRows, EveryRowGetsItsOwnExplanation) {
    const std::vector<const Signature*> rows = identificationRows();
    ASSERT_GE(rows.size(), 36u);
    std::set<ContainerKind> seen;
    for (const Signature* row : rows) {
        const std::string what = row->description;
        ASSERT_NE(row->kind, K::None) << what;
        const char* own = ownPhrase(row->kind);
        ASSERT_NE(own, nullptr) << what << ": no phrase listed for this kind";
        seen.insert(row->kind);
        for (int render : {kRenderNotRun, kRenderFailed, kRenderSucceeded}) {
            FileExplainInput in;
            in.typeCode = row->description;
            in.container = row->kind;
            in.sizeFull = "1,234 bytes";
            in.renderResult = render;
            const std::string text = explainFile(in).text;
            EXPECT_EQ(text.rfind(std::string("This is ") + own, 0), 0u) << what << ": " << text;
            for (const char* doubled : {"This is This", "is This ", "This is This is"})
                EXPECT_FALSE(has(text, doubled)) << what << ": " << text;
            EXPECT_FALSE(has(text, "unsupported filetype")) << what << ": " << text;
            for (const auto& other : kOwnPhrase) {
                if (other.kind != row->kind) {
                    EXPECT_FALSE(has(text, other.phrase))
                        << what << " reads as another row: " << other.phrase;
                }
            }
            if (row->kind == K::MpegAudio) continue;
            // A named container says which one, that it is not read, and what rendering did.
            EXPECT_TRUE(has(text, "\"" + what + "\"")) << what << ": " << text;
            EXPECT_TRUE(has(text, "does not yet read")) << what;
            EXPECT_TRUE(has(text, render == kRenderNotRun ? "rendering is currently disabled"
                                                          : "allowed DirectShow to attempt"))
                << what;
        }
    }
    // The table above lists no kind that no row can produce.
    EXPECT_EQ(seen.size(), sizeof kOwnPhrase / sizeof kOwnPhrase[0]);
    EXPECT_EQ(seen.size(), kContainerKinds - 1);
}

} // namespace
} // namespace tavro
