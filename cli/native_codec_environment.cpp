#include "cli/codec_environment.h"

namespace tavro {

std::unique_ptr<CodecEnvironment> makeCodecEnvironment() {
    auto env = std::make_unique<CodecEnvironment>();
    env->settings.runMode = kRunModeInformationOnly;
#ifdef TAVRO_INSTALLED_DATA_FOLDER
    // Installed, the program lives in bin/ and its data base in share/tavro/.
    env->db.setInstalledFolder(TAVRO_INSTALLED_DATA_FOLDER);
#endif
    return env;
}

} // namespace tavro
