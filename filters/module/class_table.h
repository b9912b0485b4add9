// The module's one registration table: every filter and property page it serves.
#pragma once
#include <objbase.h>
#include <windows.h>

namespace nerrorend {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
    // Creates the object for IClassFactory::CreateInstance.
    HRESULT (*create)(IUnknown* outer, REFIID riid, void** object);
};

// Entries end at the first one whose clsid is null.
const ClassEntry* classTable();
const ClassEntry* findClass(REFCLSID clsid);

// Objects and server locks alive in this module; DllCanUnloadNow reads it.
void moduleAddRef();
void moduleRelease();
long moduleRefCount();

} // namespace nerrorend
