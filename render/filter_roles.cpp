#include "render/filter_roles.h"

#include "render/render_guids.h"

namespace tavro {

bool isUncompressedVideo(const Guid& major, const Guid& subtype) {
    if (major != kNullGuid && major != kMediaTypeVideo) return false;
    static const Guid kTypes[] = {
        kNullGuid,
        kMediaSubtypeOverlay,
        fourccSubtype('A', 'Y', 'U', 'V'),
        fourccSubtype('I', 'F', '0', '9'),
        fourccSubtype('I', 'Y', 'U', 'V'),
        kMediaSubtypeRgb1,
        kMediaSubtypeRgb24,
        kMediaSubtypeRgb32,
        kMediaSubtypeRgb4,
        kMediaSubtypeRgb555,
        kMediaSubtypeRgb565,
        kMediaSubtypeRgb8,
        fourccSubtype('U', 'Y', 'V', 'Y'),
        fourccSubtype('Y', '2', '1', '1'),
        fourccSubtype('Y', '4', '1', '1'),
        fourccSubtype('Y', '4', '1', 'P'),
        fourccSubtype('Y', 'U', 'Y', '2'),
        fourccSubtype('Y', 'V', '1', '2'),
        fourccSubtype('Y', 'V', 'U', '9'),
        fourccSubtype('Y', 'V', 'Y', 'U'),
    };
    for (const Guid& type : kTypes)
        if (subtype == type) return true;
    return false;
}

namespace {

class RoleFinder {
  public:
    explicit RoleFinder(const FilterTable& table) : table_(table) {}

    // The first candidate (named, no role yet) that `fits`; it gets the role.
    template <typename Fits> int take(Fits fits) {
        for (int i = 0; i < FilterTable::kCapacity; ++i) {
            const FilterRecord& r = table_.records[i];
            if (!r.present() || taken_[i] || !fits(r)) continue;
            taken_[i] = true;
            return i;
        }
        return -1;
    }
    void mark(int i) {
        if (i >= 0) taken_[i] = true;
    }
    const FilterRecord& at(int i) const { return table_.records[i]; }
    // Record `from` feeds record `to`; false when either is missing.
    bool feeds(const FilterRecord& from, int to, bool second = false) const {
        return to >= 0 && from.feeds(table_.records[to], second);
    }

  private:
    const FilterTable& table_;
    bool taken_[FilterTable::kCapacity] = {};
};

bool feedsEither(const FilterTable& table, int from, int to) {
    const FilterRecord* a = table.at(from);
    const FilterRecord* b = table.at(to);
    return a && b && (a->feeds(*b) || a->feeds(*b, true));
}

// A filter that reads the file and hands decoded streams straight on (Wine's
// GStreamer splitter, readers such as the ASF reader) decodes every stream it
// feeds to a renderer, not only the one on its first output. Such a filter is
// either the source itself or takes the source's byte stream; a splitter that
// only passes PCM on beside a separate video decoder is not one.
void findSelfDecoding(const FilterTable& table, FilterRoles& roles, int videoTarget,
                      int audioTarget) {
    auto readsFile = [&](int i) {
        const FilterRecord* r = table.at(i);
        return r && (i == roles.source || r->input.major == kMediaTypeStream);
    };
    auto decodesBoth = [&](int i) {
        return readsFile(i) && feedsEither(table, i, videoTarget) &&
               feedsEither(table, i, audioTarget);
    };
    if (roles.videoDecoder < 0 && videoTarget >= 0) {
        if (decodesBoth(roles.audioDecoder))
            roles.videoDecoder = roles.audioDecoder;
        else if (roles.source >= 0 && feedsEither(table, roles.source, videoTarget))
            roles.videoDecoder = roles.source;
    }
    if (roles.audioDecoder < 0 && audioTarget >= 0) {
        if (decodesBoth(roles.videoDecoder))
            roles.audioDecoder = roles.videoDecoder;
        else if (roles.source >= 0 && feedsEither(table, roles.source, audioTarget))
            roles.audioDecoder = roles.source;
    }
}

} // namespace

FilterRoles classifyFilters(const FilterTable& table) {
    FilterRoles roles;
    RoleFinder find(table);
    // The source is the first record with nothing on its input, named or not.
    for (int i = 0; i < FilterTable::kCapacity; ++i) {
        if (!table.records[i].input.used) {
            roles.source = i;
            break;
        }
    }
    find.mark(roles.source);

    roles.audioRenderer = find.take([](const FilterRecord& r) {
        return !r.output1.used &&
               (r.input.major == kMediaTypeAudio || r.input.subtype == kMediaSubtypePcm);
    });
    roles.audioPostFilter = find.take([&](const FilterRecord& r) {
        return r.input.major == kMediaTypeAudio && r.input.subtype == kMediaSubtypePcm &&
               find.feeds(r, roles.audioRenderer);
    });
    roles.videoRenderer =
        find.take([](const FilterRecord& r) { return r.output1.name[0] == '\0'; });
    roles.videoPostFilter = find.take([&](const FilterRecord& r) {
        return isUncompressedVideo(r.input.major, r.input.subtype) &&
               find.feeds(r, roles.videoRenderer);
    });
    const int videoTarget =
        roles.videoPostFilter >= 0 ? roles.videoPostFilter : roles.videoRenderer;
    if (videoTarget >= 0)
        roles.videoDecoder =
            find.take([&](const FilterRecord& r) { return find.feeds(r, videoTarget); });
    const int audioTarget =
        roles.audioPostFilter >= 0 ? roles.audioPostFilter : roles.audioRenderer;
    if (audioTarget >= 0)
        roles.audioDecoder =
            find.take([&](const FilterRecord& r) { return find.feeds(r, audioTarget); });

    findSelfDecoding(table, roles, videoTarget, audioTarget);

    const int first = find.take([](const FilterRecord&) { return true; });
    const int second = find.take([](const FilterRecord&) { return true; });
    if (first < 0) {
        // No filter left over: a decoder that takes the file's byte stream and
        // hands on two streams is the splitter as well.
        for (int decoder : {roles.videoDecoder, roles.audioDecoder}) {
            const FilterRecord* r = table.at(decoder);
            if (r && decoder != roles.source && r->input.major == kMediaTypeStream &&
                r->output2.used) {
                roles.splitter = decoder;
                break;
            }
        }
        return roles;
    }
    if (second < 0) {
        roles.splitter = first;
        return roles;
    }
    const bool firstSplits = table.records[first].output2.used != 0;
    roles.splitter = firstSplits ? first : second;
    const int other = firstSplits ? second : first;
    const FilterRecord& extra = table.records[other];
    if (find.feeds(extra, roles.videoDecoder))
        roles.videoPreFilter = other;
    else if (find.feeds(extra, roles.audioDecoder))
        roles.audioPreFilter = other;
    else
        roles.extra = other;
    return roles;
}

} // namespace tavro
