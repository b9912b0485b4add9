// The platform id recorded when the module was loaded (VER_PLATFORM_WIN32_NT or
// the older Windows family); filters that lock surfaces choose their flags by it.
#pragma once
#include <windows.h>

DWORD PlatformId();
