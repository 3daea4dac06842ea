#pragma once
// The server's class table and its class factory, with the object and lock counts.

#include <windows.h>
#include <unknwn.h>

#include "ComBase.h"
#include "Setup.h"

namespace qv::ds {

// Makes a new object aggregated by `outer` (null for none); returns its inner unknown.
using CreateFunction = CUnknown* (*)(IUnknown* outer, HRESULT* hr);

struct FactoryTemplate {
    const WCHAR* name;
    const CLSID* clsid;
    CreateFunction create;  // null: the class is listed but not served yet
    const AMOVIESETUP_FILTER* setup;
};

// Supplied by the server.
extern const FactoryTemplate gTemplates[];
extern const int gTemplateCount;
extern HINSTANCE gModule;

HRESULT getClassObject(REFCLSID clsid, REFIID riid, void** ppv);
HRESULT canUnloadNow();

}  // namespace qv::ds
