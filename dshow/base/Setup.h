#pragma once
// The description of a filter for self-registration with the filter mapper.

#include <windows.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

namespace qv::ds {

using AMOVIESETUP_MEDIATYPE = REGPINTYPES;
using AMOVIESETUP_PIN = REGFILTERPINS;

struct AMOVIESETUP_FILTER {
    const CLSID* clsid;
    const WCHAR* name;
    DWORD merit;
    UINT pinCount;
    const AMOVIESETUP_PIN* pins;
};

}  // namespace qv::ds
