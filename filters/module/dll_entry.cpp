// COM entry points of nerrorend.ax.
#include <objbase.h>
#include <windows.h>

#include "filters/base/factory_template.h"
#include "filters/module/class_table.h"
#include "filters/module/platform.h"

namespace {
DWORD gPlatformId = VER_PLATFORM_WIN32_NT;
}

DWORD PlatformId() {
    return gPlatformId;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInst = instance;
        DisableThreadLibraryCalls(instance);
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
        if (GetVersionExA(&version)) gPlatformId = version.dwPlatformId;
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IClassFactory) && !IsEqualIID(riid, IID_IUnknown))
        return E_NOINTERFACE;
    const CFactoryTemplate* row = FindTemplate(clsid);
    if (!row) return CLASS_E_CLASSNOTAVAILABLE;
    return CreateClassFactory(row, riid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return CBaseObject::ObjectsActive() == 0 && ServerLocks() == 0 ? S_OK : S_FALSE;
}
