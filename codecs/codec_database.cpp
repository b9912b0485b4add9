#include "codecs/codec_database.h"

#include <cstring>
#include <new>

namespace tavro {
namespace {

const char* const kUnknown = "<unknown>";
const char* const kCaption = "Load Data";
// Message box texts are built in a buffer of this width, terminator included.
const size_t kMessageWidth = 288;

void tellLoadError(Prompter& prompter, std::string text) {
    if (text.size() > kMessageWidth - 1) text.resize(kMessageWidth - 1);
    prompter.tell(text, kCaption, Icon::Exclamation);
}

bool isSkippedLineStart(char c) {
    return c == '#' || c == '@' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

// First tab or carriage return at or after p, or `end`. Two library scans rather
// than a byte loop: every run of a program cuts the whole file.
char* fieldEnd(char* p, char* end) {
    if (p >= end) return p;
    auto* tab = static_cast<char*>(std::memchr(p, '\t', static_cast<size_t>(end - p)));
    char* stop = tab ? tab : end;
    auto* cr = static_cast<char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
    return cr ? cr : stop;
}

// Outcome of cutting one entry line into its three fields.
enum class LineCut { Entry, Malformed, Truncated };

// Cuts the line at *p into fields, writing terminators, and moves *p past it and
// any blank lines. Malformed (too few or too many fields) leaves *p on the
// offending character; a line the file ends inside of is dropped with *p = end.
LineCut cutLine(char** pp, char* end, char* fields[3]) {
    char* p = *pp;
    for (int f = 0; f < 2; ++f) {
        fields[f] = p;
        char* q = fieldEnd(p, end);
        if (q >= end) {
            *pp = end;
            return LineCut::Truncated;
        }
        if (*q == '\r') {
            *pp = q;
            return LineCut::Malformed;
        }
        *q = '\0';
        p = q + 1;
    }
    fields[2] = p;
    char* q = fieldEnd(p, end);
    if (q >= end) {
        *pp = end; // last line without CR LF: the spare zero byte ends it
        return LineCut::Entry;
    }
    if (*q == '\t') {
        *pp = q;
        return LineCut::Malformed;
    }
    *q = '\0';
    // The line feed after the carriage return is taken on trust.
    p = q + 2;
    while (p < end && (*p == '\r' || *p == '\n' || *p == ' '))
        ++p;
    *pp = p;
    return LineCut::Entry;
}

} // namespace

CodecDatabase::CodecDatabase() {
    reset();
}

void CodecDatabase::reset() {
    CodecDatabaseEntry* tables[] = {video_, audio_, results_, guids_};
    const int slots[] = {kVideoSlots, kAudioSlots, kResultSlots, kGuidSlots};
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < slots[t]; ++i)
            tables[t][i] = CodecDatabaseEntry();
        // Slot 0 answers every failed lookup, so it is valid even before a load.
        tables[t][0].key = tables[t][0].name = tables[t][0].detail = kUnknown;
    }
    image_.reset();
    imageSize_ = 0;
    pos_ = nullptr;
}

bool CodecDatabase::load(FileSystem& fs, Prompter& prompter) {
    reset();
    if (!readFile(fs, prompter)) return false;
    return parseAll();
}

bool CodecDatabase::readFile(FileSystem& fs, Prompter& prompter) {
    // The copy in the current folder wins; the program folder is the fallback
    // and the place the user is told about.
    // An installed program looks in its data folder last, and names that place
    // when the file is nowhere: it is where the package puts it.
    std::string path = kFileName;
    FileError error;
    std::unique_ptr<InputFile> file = fs.openRead(path, &error);
    if (!file) {
        const std::string folder = fs.programFolder();
        path = folder + kFileName;
        error = FileError();
        file = fs.openRead(path, &error);
        if (!file && !installedFolder_.empty() && !folder.empty()) {
            path = installedPath(folder);
            error = FileError();
            file = fs.openRead(path, &error);
        }
        if (!file) {
            tellLoadError(prompter, "Error opening Data file " + path + ":\n\n" + error.systemText);
            return false;
        }
    }
    const uint64_t size = file->size();
    if (size == 0 || size > kMaxFileSize) {
        tellLoadError(prompter, "Invalid Data file: " + path);
        return false;
    }
    // One spare zero byte ends the text for the header searches.
    std::unique_ptr<char[]> image(new (std::nothrow) char[static_cast<size_t>(size) + 1]());
    if (!image) return false;
    size_t got = 0;
    error = FileError();
    if (!file->read(image.get(), static_cast<size_t>(size), &got, &error) || got != size) {
        tellLoadError(prompter, "Error reading Data file " + path + ":\n\n" + error.systemText);
        return false;
    }
    image_ = std::move(image);
    imageSize_ = static_cast<size_t>(size);
    return true;
}

std::string CodecDatabase::installedPath(const std::string& programFolder) const {
    if (installedFolder_.empty() || programFolder.empty()) return std::string();
    std::string folder = programFolder;
    std::string rest = installedFolder_;
    // Each leading "../" takes the last name off the program folder, as long as
    // there is one to take (the root stays the root).
    while (rest.compare(0, 3, "../") == 0) {
        if (folder.size() > 1) {
            const size_t last = folder.rfind('/', folder.size() - 2);
            if (last == std::string::npos) break;
            folder.resize(last + 1);
        } else if (folder != "/") {
            break;
        }
        rest.erase(0, 3);
    }
    return folder + rest + kFileName;
}

bool CodecDatabase::parseAll() {
    pos_ = image_.get();
    if (!parseSection("[video codecs]", video_, kVideoSlots)) return false;
    if (!parseSection("[audio codecs]", audio_, kAudioSlots)) return false;
    if (!parseSection("[vfw messages]", results_, kResultSlots)) return false;
    const bool ok = parseSection("[guids]", guids_, kGuidSlots);
    convertGuids();
    return ok;
}

// Sections come in a fixed order, each searched from where the previous one
// stopped. Lines are "key<TAB>name<TAB>detail<CR><LF>"; the fields are cut in place.
bool CodecDatabase::parseSection(const char* header, CodecDatabaseEntry* table, int slots) {
    char* const end = image_.get() + imageSize_;
    table[0].key = table[0].name = table[0].detail = kUnknown;

    char* found = std::strstr(pos_, header);
    if (!found) return false;
    char* lineFeed = std::strchr(found + std::strlen(header), '\n');
    if (!lineFeed) return false;
    char* p = lineFeed + 1;

    for (int slot = 1; slot < slots; ++slot) {
        if (p >= end || *p == '[') break;
        // Comments and blank lines; the line after them is taken as an entry
        // without looking for a header again.
        while (p < end && isSkippedLineStart(*p)) {
            void* next = std::memchr(p, '\n', static_cast<size_t>(end - p));
            p = next ? static_cast<char*>(next) + 1 : end;
        }
        char* fields[3];
        if (cutLine(&p, end, fields) != LineCut::Entry) break;
        table[slot].key = fields[0];
        table[slot].name = fields[1];
        table[slot].detail = fields[2];
    }
    if (p > end) p = end; // a final CR LF can leave p one past the image
    pos_ = p;
    return p == end || *p == '[';
}

void CodecDatabase::convertGuids() {
    for (int slot = 1; slot < kGuidSlots && guids_[slot].key; ++slot) {
        CodecDatabaseEntry& e = guids_[slot];
        e.hasGuid = parseRegistryGuid(e.key, std::strlen(e.key), &e.guid);
    }
}

int CodecDatabase::listCount(const CodecDatabaseEntry* table, int slots) {
    int n = 0;
    for (int slot = 1; slot < slots && table[slot].name && table[slot].name[0]; ++slot)
        ++n;
    return n;
}

bool loadCodecDatabaseAtStartup(CodecDatabase& db, FileSystem& fs, Prompter& prompter) {
    if (db.load(fs, prompter)) return true;
    prompter.tell("Error processing codec data base file Tavro21.dat.\n", "Fatal Error",
                  Icon::Stop);
    return false;
}

} // namespace tavro
