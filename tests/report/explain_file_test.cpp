// The file status explanation, branch by branch, to the character.
#include <gtest/gtest.h>

#include "report/explanations.h"

namespace tavro {
namespace {

const std::string kLength = "1,234,567 bytes";

FileExplainInput file(const char* type, int render = kRenderNotRun) {
    FileExplainInput in;
    in.typeCode = type;
    in.sizeFull = kLength;
    in.renderResult = render;
    return in;
}

TEST(ExplainFile, EveryBodyToTheCharacter) {
    FileExplainInput empty = file("AVI");
    empty.isEmpty = true;
    FileExplainInput wrapped = file("MPEG-1 Layer 3 128 kbps 44100 Hz");
    wrapped.wrapperKind = 1;
    // The sentence starts with its own "This": no "This is " before it.
    const std::string unsupported =
        "This appears to be an unsupported filetype. Tavro provides full support for AVI "
        "and OGG media streams. Based on its composition, Tavro believes the filetype to be "
        "\"QuickTime Movie\".~~ ";
    struct Case {
        FileExplainInput in;
        std::string text;
    } cases[] = {
        {empty, "This is an empty file. Its length is zero bytes.It is blank, barren and bare - "
                "vacant, vacuous, and void. It is a degenerate case."},
        {file("AVI"),
         "This is a valid AVI file. The file's length is consistent with information embedded "
         "within the file, so it's fairly safe to assume that this file is complete, i.e. the "
         "file has not been truncated. The exact file length is as follows:~~ " +
             kLength},
        {file("OGG"), "This is a valid Ogg Media file. Unfortunately, this stream structure does "
                      "not permit Tavro to determine whether the file's length is correct or "
                      "not.  The exact file length is as follows:~~ " +
                          kLength},
        {file("SHY"),
         "This is a valid AVI file that has been slightly truncated - a relatively small number "
         "of bytes are missing. This is a somewhat common occurrence, and not necessarily a "
         "problem; the media file may be perfectly usable. Then again it may not. The exact file "
         "length is as follows:~~ " +
             kLength},
        {file("MPEG-1 Layer 2"),
         "This is an audio-only MP3 (or MP2) file. The \"Type\" box shows the exact type, the "
         "sample rate, and the bitrate if the file is CBR (constant bit rate). No bitrate will be "
         "shown for VBR (variable bit-rate) files"},
        {wrapped, "This file is \"wrapped\" to appear like a .wav file (presumably for "
                  "compatibility reasons). Inside the wav wrapper is an audio-only MP3 (or MP2) "
                  "file. The \"Type\" box shows the exact type, the sample rate, and the bitrate "
                  "if the file is CBR (constant bit rate). No bitrate will be shown for VBR "
                  "(variable bit-rate) files"},
        {file("WAV: 44100 Hz"), "This is an audio-only WAVE (.wav) file. The \"Type\" box shows "
                                "the reported sample rate, number of channels, and bitrate"},
        {file("CUT"),
         "This is a valid AVI file that has been truncated. A moderate to large amount of the "
         "data is missing.~~ For AVI files, a \"half a file\" does not equal \"half of a movie\" "
         "- rather, there is a good chance the file will not play at all. This is often mistaken "
         "for a codec problem, as the media player often gives no clue as to what the problem "
         "is, but rather acts the same as if the file was a foreign format with no appropriate "
         "codec available. The exact file length is as follows:~~ " +
             kLength},
        {file("QuickTime Movie"),
         unsupported + "Further information may be available using DirectShow Rendering; "
                       "rendering is currently disabled, however, for the reason shown in its "
                       "status bar. "},
        {file("QuickTime Movie", kRenderFailed),
         unsupported + "Tavro has also allowed DirectShow to attempt to render the file, but "
                       "apparently without much success. The associated error is shown in the "
                       "\"DirectShow Render\" section below."},
        {file("QuickTime Movie", kRenderSucceeded),
         unsupported + "Tavro has also allowed DirectShow to attempt to render the file, and "
                       "that seems to have been somewhat successful; you may therefore be able to "
                       "find out more about the file by checking the details in the \"DirectShow "
                       "Render\" section below."},
    };
    for (const Case& c : cases) {
        const ExplanationText e = explainFile(c.in);
        EXPECT_EQ(e.text, c.text) << c.in.typeCode;
        EXPECT_TRUE(e.targets.empty());
    }
}

TEST(ExplainFile, NamedContainerToTheCharacter) {
    FileExplainInput mkv = file("Matroska (.MKV/.MKA)", kRenderFailed);
    mkv.container = ContainerKind::Matroska;
    EXPECT_EQ(explainFile(mkv).text,
              "This is a Matroska file (.MKV, .MKA), an open container that can hold almost any "
              "kind of video, audio and subtitles. Tavro names it \"Matroska (.MKV/.MKA)\" from "
              "its first bytes, but does not yet read what it holds, so no stream details are "
              "shown.~~ Tavro has also allowed DirectShow to attempt to render the file, but "
              "apparently without much success. The associated error is shown in the "
              "\"DirectShow Render\" section below.");
    // The MPEG audio row reads as the scanned MPEG audio kinds do, without the render parts.
    FileExplainInput mp2 = file("MPEG1/MPEG2 (.MP2/.MPA)", kRenderSucceeded);
    mp2.container = ContainerKind::MpegAudio;
    EXPECT_EQ(explainFile(mp2).text, explainFile(file("MPEG-1 Layer 2")).text);
}

TEST(ExplainFile, WrappedOpeningsReadOn) {
    FileExplainInput midi = file("MIDI (.MID)");
    midi.container = ContainerKind::Midi;
    midi.wrapperKind = 1;
    EXPECT_EQ(explainFile(midi).text.rfind("This file is \"wrapped\" to appear like a .wav file "
                                           "(presumably for compatibility reasons). Inside the "
                                           "wav wrapper is a MIDI file (.MID): notes",
                                           0),
              0u)
        << explainFile(midi).text;
    FileExplainInput other = file("Ogg Audio");
    other.wrapperKind = 1;
    EXPECT_NE(explainFile(other).text.find("Inside the wav wrapper is something else. This "
                                           "appears to be an unsupported filetype."),
              std::string::npos)
        << explainFile(other).text;
}

TEST(ExplainFile, CookedNoteFollowsTheBody) {
    FileExplainInput in = file("Non-AVI File - Type Unknown.");
    in.isCooked = true;
    const std::string text = explainFile(in).text;
    const std::string note =
        "~~ Note: This file appears to be \"cooked\" - a type of corruption which can occur "
        "when a downloaded file is mistaken for text. If the file is not playable, consider "
        "obtaining a public domain utility such as \"uncook95.exe\" - such a utility can often "
        "restore the file 100%.";
    ASSERT_GT(text.size(), note.size());
    EXPECT_EQ(text.substr(text.size() - note.size()), note);
    EXPECT_NE(text.find("status bar. ~~ Note"), std::string::npos);
}

TEST(ExplainFile, TypeTextCannotOpenLinksOrBreakLines) {
    const std::string text = explainFile(file("odd {type}~x")).text;
    EXPECT_NE(text.find("\"odd (type)-x\"."), std::string::npos);
    EXPECT_EQ(text.find('{'), std::string::npos);
}

} // namespace
} // namespace tavro
