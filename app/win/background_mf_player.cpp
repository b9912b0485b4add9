#include "app/win/background_mf_player.h"

#include "render/render_test.h"

namespace tavro {

int32_t BackgroundMfPlayer::describeFile(const std::string& path, size_t maxStreams,
                                         MfPlayDescription* out) {
    *out = MfPlayDescription();
    struct Result {
        MfPlayDescription description;
        int32_t hr = E_NOTIMPL;
    };
    auto result = std::make_shared<Result>();
    const int32_t ran = runOnWorker([make = make_, result, path, maxStreams] {
        std::unique_ptr<MfPlayer> player = make ? make() : nullptr;
        if (player) {
            result->hr = player->describeFile(path, maxStreams, &result->description);
        } else {
            result->description.failedAt = MfPlayStage::Startup;
            result->description.hr = result->hr;
        }
    });
    if (ran != 0) {
        out->failedAt = ran == kRenderCancelled ? MfPlayStage::Cancelled : MfPlayStage::Startup;
        out->hr = ran;
        return ran;
    }
    *out = std::move(result->description);
    return result->hr;
}

} // namespace tavro
