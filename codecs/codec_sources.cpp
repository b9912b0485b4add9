#include "codecs/codec_sources.h"

namespace tavro {

std::string registryText(const RegistryValue& value) {
    size_t n = 0;
    while (n < value.data.size() && value.data[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(value.data.data()), n);
}

std::string installedProcServerFile(RegistrySource* registry, const std::string& clsidText,
                                    size_t limit) {
    if (!registry || clsidText.empty()) return {};
    RegistryValue value;
    const std::string key = "Software\\Classes\\CLSID\\" + clsidText + "\\InprocServer32";
    if (!registry->readValue(RegistryRoot::LocalMachine, key, "", &value)) return {};
    if (value.type != kRegSz && value.type != kRegExpandSz) return {};
    std::string text = registryText(value);
    if (text.size() > limit) text.resize(limit);
    return text;
}

} // namespace tavro
