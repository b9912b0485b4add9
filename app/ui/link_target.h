// The link targets that fields, link buttons and the explanation popup carry:
// web addresses, "tavro://local.NAME" help links and "tavro://N.KIND.x" stream links.
#pragma once
#include <cstddef>
#include <string>

namespace tavro {

enum class LinkKind { None, Web, Local, VideoCodec, AudioCodec, FilterGraph, RenderGraph };

struct LinkTarget {
    LinkKind kind = LinkKind::None;
    int number = 0;   // the record index of a stream link
    std::string name; // the name after "tavro://local.", or the whole web address
};

// Only the first 63 characters of a target are looked at.
constexpr std::size_t kMaxLinkTarget = 63;

// Classifies a target; malformed and unknown ones come back as LinkKind::None.
LinkTarget parseLinkTarget(const std::string& target);

// "tavro://3.video.codec" and its audio and filter-graph kin.
std::string videoCodecLink(int record);
std::string audioCodecLink(int record);
std::string filterGraphLink(int filter);
// The render popup's "Show graph": the picture of the latest render test's graph.
std::string renderGraphLink();

} // namespace tavro
