// The data base the inventory and status tests share.
#pragma once
#include <gtest/gtest.h>

#include "codecs/codec_database.h"
#include "tests/codecs/db_text.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/support/memory_file_system.h"

namespace tavro {

inline void loadInventoryTestDb(CodecDatabase& db) {
    DbSections d;
    d.video = {"_RGB\tUncompressed RGB\t*no codec",
               "DIVX\tDivX 4\tDivX, Inc.",
               "DIV3\tDivX 3 low\tunofficial",
               "DIV4\tDivX 3 fast\tunofficial",
               "cvid\tCinepak\tRadius",
               "XVID\tXviD\tXviD project"};
    d.audio = {"0x0055\tWAVE_FORMAT_MPEGLAYER3\tMPEG Layer-3",
               "0x0011\tWAVE_FORMAT_IMA_ADPCM\tIMA ADPCM"};
    d.results = {"0x80040216\tVFW_E_NOT_FOUND\tNothing matched."};
    d.guids = {"{73646976-0000-0010-8000-00AA00389B71}\tMEDIATYPE_Video\tVideo",
               "{3253564D-0000-0010-8000-00AA00389B71}\tX\tNamed MVS2"};
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = dbText(d);
    RecordingPrompter prompter;
    ASSERT_TRUE(db.load(fs, prompter));
}

} // namespace tavro
