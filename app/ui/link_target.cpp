#include "app/ui/link_target.h"

#include <cctype>
#include <climits>

namespace tavro {
namespace {

bool startsWithNoCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size()) return false;
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

bool equalsNoCase(const std::string& text, const char* word) {
    return text.size() == std::char_traits<char>::length(word) && startsWithNoCase(text, word);
}

// Leading decimal digits; none reads as 0. Saturates rather than overflow on a
// hostile run of digits (the index is range-checked by whoever uses it).
int leadingNumber(const std::string& text) {
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

} // namespace

LinkTarget parseLinkTarget(const std::string& whole) {
    const std::string target = whole.substr(0, kMaxLinkTarget);
    LinkTarget link;
    if (startsWithNoCase(target, "http://")) {
        link.kind = LinkKind::Web;
        link.name = target;
        return link;
    }
    static const char kScheme[] = "tavro://";
    if (!startsWithNoCase(target, kScheme)) return link;
    const std::string rest = target.substr(sizeof kScheme - 1);
    if (startsWithNoCase(rest, "local.")) {
        link.kind = LinkKind::Local;
        link.name = rest.substr(6);
        return link;
    }
    const std::size_t firstDot = rest.find('.');
    if (firstDot == std::string::npos) return link;
    const std::size_t secondDot = rest.find('.', firstDot + 1);
    if (secondDot == std::string::npos) return link;
    const std::string kind = rest.substr(firstDot + 1, secondDot - firstDot - 1);
    if (equalsNoCase(kind, "video")) {
        link.kind = LinkKind::VideoCodec;
    } else if (equalsNoCase(kind, "audio")) {
        link.kind = LinkKind::AudioCodec;
    } else if (equalsNoCase(kind, "filtergraph")) {
        link.kind = LinkKind::FilterGraph;
    } else if (equalsNoCase(kind, "rendergraph")) {
        link.kind = LinkKind::RenderGraph;
    } else {
        return link;
    }
    link.number = leadingNumber(rest.substr(0, firstDot));
    return link;
}

std::string videoCodecLink(int record) {
    return "tavro://" + std::to_string(record) + ".video.codec";
}
std::string audioCodecLink(int record) {
    return "tavro://" + std::to_string(record) + ".audio.codec";
}
std::string renderGraphLink() {
    return "tavro://0.rendergraph.show";
}
std::string filterGraphLink(int filter) {
    return "tavro://" + std::to_string(filter) + ".filtergraph.info";
}

} // namespace tavro
