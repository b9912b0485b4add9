// Builds small data base texts for the loader and lookup tests.
#pragma once
#include <string>
#include <vector>

namespace tavro {

struct DbSections {
    std::vector<std::string> video, audio, results, guids; // lines without CR LF
};

inline std::string sectionText(const char* header, const std::vector<std::string>& lines) {
    std::string s = std::string(header) + "\r\n";
    for (const std::string& line : lines)
        s += line + "\r\n";
    return s;
}

inline std::string dbText(const DbSections& d) {
    return sectionText("[video codecs]", d.video) + sectionText("[audio codecs]", d.audio) +
           sectionText("[vfw messages]", d.results) + sectionText("[guids]", d.guids);
}

// A file with one entry in each table.
inline DbSections smallDb() {
    DbSections d;
    d.video = {"XVID\tXviD MPEG-4\tXviD project"};
    d.audio = {"0x0055\tWAVE_FORMAT_MPEGLAYER3\tMPEG Layer-3"};
    d.results = {"0x80040216\tVFW_E_NOT_FOUND\tNothing matched the request."};
    d.guids = {"{73646976-0000-0010-8000-00AA00389B71}\tMEDIATYPE_Video\tVideo"};
    return d;
}

} // namespace tavro
