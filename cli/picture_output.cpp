#include "cli/picture_output.h"

#include "common/output_files.h"

namespace tavro {

nlohmann::json fileMapJson(const FileMap& map) {
    nlohmann::json out;
    if (!map.hasFile()) return nlohmann::json();
    out["file_size"] = map.fileSize();
    out["declared_end"] = map.declaredEnd() ? nlohmann::json(map.declaredEnd()) : nlohmann::json();
    out["read_end"] = map.readEnd();
    out["truncated"] = map.truncated();
    // A file whose reader fed no spans has nothing to bin: every byte would read
    // "unread", two thousand times over.
    out["mapped"] = map.spanCount() > 0;
    if (map.spanCount() == 0) return out;
    out["bin_bytes"] = map.binBytes();
    const int bins = map.binCount();
    out["bins"] = bins;
    // Parts the picture draws beyond the layers.
    const char* const kRest[] = {"gap", "unread", "missing"};
    std::vector<std::vector<uint64_t>> parts(kMapLayers + 3, std::vector<uint64_t>(bins));
    for (int b = 0; b < bins; ++b) {
        const MapBinView v = map.bin(b);
        for (int l = 0; l < kMapLayers; ++l)
            parts[l][b] = v.layers[l];
        parts[kMapLayers][b] = v.gap;
        parts[kMapLayers + 1][b] = v.unread;
        parts[kMapLayers + 2][b] = v.missing;
    }
    nlohmann::json layers = nlohmann::json::object();
    for (size_t p = 0; p < parts.size(); ++p) {
        bool any = false;
        for (uint64_t v : parts[p])
            any = any || v != 0;
        if (any) layers[p < kMapLayers ? mapLayerKey(int(p)) : kRest[p - kMapLayers]] = parts[p];
    }
    out["layers"] = std::move(layers);
    nlohmann::json streams = nlohmann::json::array();
    const int timeBins = map.timeBinCount();
    for (int s = 0; s < kMapStreams; ++s) {
        if (!map.streamSeen(s)) continue;
        nlohmann::json first = nlohmann::json::array(), last = nlohmann::json::array();
        for (int b = 0; b < timeBins; ++b) {
            const MapTimeCell cell = map.timeCell(s, b);
            first.push_back(cell.used() ? nlohmann::json(cell.first) : nlohmann::json());
            last.push_back(cell.used() ? nlohmann::json(cell.last) : nlohmann::json());
        }
        streams.push_back({{"index", s},
                           {"name", map.streamName(s)},
                           {"bytes", map.layerTotal(kLayerStream0 + s)},
                           {"time_first_offset", std::move(first)},
                           {"time_last_offset", std::move(last)}});
    }
    out["streams"] = std::move(streams);
    out["time_bin_seconds"] = map.timeBinSeconds();
    out["time_bins"] = timeBins;
    out["duration_s"] = map.timeExtent();
    return out;
}

std::string pathBaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PictureTarget::prepare(PathInspector& inspector, bool oneInput, std::string& error) {
    if (!wanted()) return true;
    const char last = target_.back();
    const bool namedAsFolder = last == '/' || last == '\\';
    const PathInfo info = inspector.inspect(target_, true);
    folder_ = info.kind == PathKind::Folder;
    if (namedAsFolder && !folder_) {
        error = option_ + ": no folder " + target_;
        return false;
    }
    if (!folder_ && !oneInput) {
        error = option_ + " names one file, for one input; name a folder for several";
        return false;
    }
    return true;
}

std::string PictureTarget::pathFor(const std::string& input) {
    if (!folder_) return target_;
    std::string base = pathBaseName(input);
    if (base.empty()) base = "file";
    std::string name = base + suffix_;
    // Files of one name in several folders each get their own picture.
    for (int n = 2; taken_.count(name); ++n)
        name = base + "-" + std::to_string(n) + suffix_;
    taken_.insert(name);
    const char last = target_.back();
    return target_ + (last == '/' || last == '\\' ? "" : "/") + name;
}

bool PictureTarget::write(const std::string& input, const std::string& text, std::string& error) {
    const std::string path = pathFor(input);
    // A picture never replaces the file it is of.
    if (platformOutputFiles().sameFile(path, input)) {
        error = "cannot write " + path + ": it is the input file";
        return false;
    }
    FileError fileError;
    std::unique_ptr<OutputFile> file = platformOutputFiles().create(path, &fileError);
    if (!file || !file->append(text.data(), text.size(), &fileError)) {
        error = "cannot write " + path + ": " + fileError.systemText;
        return false;
    }
    return true;
}

} // namespace tavro
