#pragma once
// Self-registration of the server's classes: the CLSID keys and the filter mapper entry.

#include <windows.h>

#include "Setup.h"

namespace qv::ds {

// Registers (or removes) a filter with IFilterMapper2, falling back to IFilterMapper.
HRESULT registerFilterWithMapper(const AMOVIESETUP_FILTER& setup, bool add);

// Writes (TRUE) or deletes (FALSE) the CLSID keys of every class of the factory table and registers
// its filters with the filter mapper.
HRESULT AMovieDllRegisterServer2(BOOL add);

// Deletes a key with everything below it; a missing key is success.
LONG deleteKeyTree(HKEY parent, const char* name);

}  // namespace qv::ds
