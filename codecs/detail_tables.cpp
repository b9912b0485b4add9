#include "codecs/detail_tables.h"

#include <cstdio>

#include "codecs/guid_display_name.h"

namespace tavro {
namespace {

const char* const kMissingWarning = "--> Codec driver file (shown below) appears to be MISSING";

std::string guidCell(const CodecDatabase& db, const char* text, size_t size, bool append) {
    std::vector<char> out(size, '\0');
    guidDisplayName(db, text, out.data(), size, GuidNameOptions{append, true});
    return out.data();
}

std::string guidCell(const CodecDatabase& db, const Guid& guid, size_t size, bool append) {
    std::vector<char> out(size, '\0');
    guidDisplayName(db, guid, out.data(), size, GuidNameOptions{append, true});
    return out.data();
}

std::string tagText(uint32_t tag) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(tag));
    return text;
}

void addAcmRows(DetailRows& rows, const AudioCodecRecord& r) {
    const AcmDriverDetails& d = r.driverDetails;
    rows.push_back({"ACM", "Format Tag", tagText(r.formatTag())});
    rows.push_back({"ACM", "Format Name", r.formatName()});
    rows.push_back({"ACM", "Short Name", d.szShortName});
    rows.push_back({"ACM", "Long Name", d.szLongName});
    rows.push_back({"ACM", "Copyright", d.szCopyright});
    rows.push_back({"ACM", "Licensing", d.szLicensing});
    rows.push_back({"ACM", "Features", d.szFeatures});
}

} // namespace

std::vector<std::string> warningRow(const std::string& text) {
    return {"- -", "- - Warning - -", text};
}

DetailRows videoDetailRows(const VideoCodecRecord& r, const CodecDatabase& db,
                           bool appendSubtypeGuids) {
    DetailRows rows;
    if (r.missing) rows.push_back(warningRow(kMissingWarning));
    rows.push_back({"DSH", "4CC", r.fourcc});
    rows.push_back({"VFW", "Name", r.vfwName});
    rows.push_back({"DSH", "Friendly Name", r.friendlyName});
    rows.push_back({"VFW", "Description", r.vfwDescription});
    rows.push_back({"FIL", "File Description", r.version.get(kFileDescription)});
    rows.push_back({"DSH", "Associated Driver File", r.associatedFile});
    rows.push_back({"VFW", "Driver File", r.vfwDriver});
    rows.push_back({"DSH", "DirectShow CLSID", guidCell(db, r.clsidText, 128, true)});
    static const struct {
        VersionKey key;
        const char* label;
    } kLabels[] = {{kCompanyName, "Company Name"},           {kFileVersion, "File Version"},
                   {kInternalName, "Internal Name"},         {kLegalCopyright, "Legal Copyright"},
                   {kOriginalFileName, "Original Filename"}, {kProductName, "Product Name"},
                   {kProductVersion, "Product Version"},     {kComments, "Comments"},
                   {kLegalTrademarks, "Legal Trademarks"},   {kPrivateBuild, "Private Build"},
                   {kSpecialBuild, "Special Build"}};
    for (const auto& l : kLabels)
        rows.push_back({"FIL", l.label, r.version.get(l.key)});
    for (int n = 0; n < 16 && r.subtypes[n] != Guid{}; ++n) {
        char label[40];
        std::snprintf(label, sizeof label, "Additional Media Type %02d", n + 1);
        rows.push_back({"REG", label, guidCell(db, r.subtypes[n], 128, appendSubtypeGuids)});
    }
    return rows;
}

DetailRows audioDetailRows(const AudioCodecRecord& r, const CodecDatabase& db) {
    DetailRows rows;
    if (r.missing) rows.push_back(warningRow(kMissingWarning));
    addAcmRows(rows, r);
    rows.push_back({"DSH", "DirectShow Codec", guidCell(db, r.clsidText, 128, true)});
    rows.push_back({"REG", "Driver File", r.driverFile});
    rows.push_back({"REG", "ACM Priority", std::to_string(r.priority)});
    if (r.disabled) rows.push_back(warningRow("--> Codec is DISABLED in Control Panel"));
    for (int k = 0; k < kVersionKeyCount; ++k)
        if (k != kFileDescription)
            rows.push_back({"FIL", kVersionKeyNames[k], r.version.get(static_cast<VersionKey>(k))});
    return rows;
}

DetailRows audioCodecSummaryRows(const AudioCodecRecord& r, const CodecDatabase& db) {
    DetailRows rows;
    addAcmRows(rows, r);
    rows.push_back({"DSH", "DirectShow CLSID", guidCell(db, r.clsidText, 71, true)});
    rows.push_back({"ACM", "Driver File", r.driverFile});
    return rows;
}

} // namespace tavro
