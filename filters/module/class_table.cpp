#include "filters/module/class_table.h"

namespace nerrorend {
namespace {

// Filters join this table as they are written.
const ClassEntry kClasses[] = {
    {nullptr, nullptr, nullptr},
};

volatile LONG gModuleRefs = 0;

} // namespace

const ClassEntry* classTable() {
    return kClasses;
}

const ClassEntry* findClass(REFCLSID clsid) {
    for (const ClassEntry* e = kClasses; e->clsid; ++e)
        if (IsEqualCLSID(*e->clsid, clsid)) return e;
    return nullptr;
}

void moduleAddRef() {
    InterlockedIncrement(&gModuleRefs);
}
void moduleRelease() {
    InterlockedDecrement(&gModuleRefs);
}
long moduleRefCount() {
    return gModuleRefs;
}

} // namespace nerrorend
