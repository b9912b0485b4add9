// CFactoryTemplate: one row of a module's class table, and the class factory and
// module bookkeeping that serve it.
#pragma once
#include <objbase.h>
#include <windows.h>

#include "filters/base/unknown.h"

// Makes a new object; on failure it sets *hr and returns what it made (or null).
typedef CUnknown* (*LPFNNewCOMObject)(IUnknown* outer, HRESULT* hr);

struct CFactoryTemplate {
    const WCHAR* m_Name;
    const CLSID* m_ClsID;
    // Null while the class is not built: creation then fails with E_NOTIMPL.
    LPFNNewCOMObject m_lpfnNew;

    BOOL IsClassID(REFCLSID clsid) const { return IsEqualCLSID(*m_ClsID, clsid); }
    // Creates the object and queries it for riid; *object is null on every failure
    // and a half-made or refused object is freed.
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) const;
};

// The module's handle (dialog templates and its own path come from it).
extern HINSTANCE g_hInst;

// A class factory for one row; it counts as a live object of the module.
HRESULT CreateClassFactory(const CFactoryTemplate* row, REFIID riid, void** object);
// Server locks taken through IClassFactory::LockServer.
LONG ServerLocks();
