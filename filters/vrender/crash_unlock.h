// Outside NT a locked DirectDraw surface holds the Win16 lock: a crash while one is
// locked would freeze the desktop. Renderers there register here; the first one
// installs an unhandled-exception filter that unlocks their surfaces and then
// passes the exception on to the filter that was there before. The last one to
// leave puts that filter back.
#pragma once

namespace nerrorend {

class VideoRendererFilter;

namespace CrashUnlock {
void add(VideoRendererFilter* renderer);
void remove(VideoRendererFilter* renderer);
} // namespace CrashUnlock

} // namespace nerrorend
