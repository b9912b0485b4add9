#include "cli/codec_environment.h"

namespace tavro {

std::unique_ptr<CodecEnvironment> makeCodecEnvironment() {
    auto env = std::make_unique<CodecEnvironment>();
    env->settings.runMode = kRunModeInformationOnly;
    return env;
}

} // namespace tavro
