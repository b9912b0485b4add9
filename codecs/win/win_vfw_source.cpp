// Video for Windows drivers, asked for their ICINFO in query mode.
#include <windows.h>
// The multimedia types come before the headers built on them.
#include <mmsystem.h>
#include <vfw.h>

#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

class ScopedHic {
  public:
    explicit ScopedHic(HIC hic) : hic_(hic) {}
    ScopedHic(const ScopedHic&) = delete;
    ScopedHic& operator=(const ScopedHic&) = delete;
    ~ScopedHic() {
        if (hic_) ICClose(hic_);
    }
    HIC get() const { return hic_; }

  private:
    HIC hic_;
};

template <size_t N> std::string fieldText(const WCHAR (&field)[N]) {
    size_t n = 0;
    while (n < N && field[n])
        ++n;
    return narrowText(field, n);
}

} // namespace

bool WinVfwSource::queryVideoDriver(uint32_t handler, VfwDriverInfo* out) {
    ScopedHic hic(ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY));
    if (!hic.get()) return false;
    ICINFO info{};
    info.dwSize = sizeof info;
    if (ICGetInfo(hic.get(), &info, sizeof info) == 0) return false;
    out->name = fieldText(info.szName);
    out->description = fieldText(info.szDescription);
    out->driver = fieldText(info.szDriver);
    return true;
}

} // namespace tavro
