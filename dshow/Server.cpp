// The COM server: its class table, the four exports and the registry entries beyond the base ones.

#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "ClassIds.h"
#include "ScopedWin.h"
#include "EqualizerFilter.h"
#include "EqualizerPropertyPage.h"
#include "IEqualizerControl.h"
#include "base/ClassFactory.h"
#include "base/Registration.h"

namespace qv::ds {

using qv::EqualizerFilter;
using qv::EqualizerPropertyPage;
using qv::kEqualizerSetup;

HINSTANCE gModule = nullptr;

const FactoryTemplate gTemplates[] = {
    {L"Zorvath qv:Equalizer R3", &CLSID_qvEqualizer, &EqualizerFilter::CreateInstance, &kEqualizerSetup},
    {L"Zorvath qv:Equalizer R3 Property Page", &CLSID_qvEqualizerPropertyPage, &EqualizerPropertyPage::CreateInstance,
     nullptr},
};
const int gTemplateCount = 2;

}  // namespace qv::ds

namespace {

const char kFilterKey[] = "CLSID\\" QV_EQUALIZER_CLSID_TEXT;
const char kFilterCategoryKey[] = "Filter\\" QV_EQUALIZER_CLSID_TEXT;
const char kPageCategoryKey[] = "Filter\\" QV_PROPERTY_PAGE_CLSID_TEXT;
const char kFilterName[] = "Zorvath qv:Equalizer R3";
const char kAudioType[] = "{73647561-0000-0010-8000-00AA00389B71}";
const char kNullGuid[] = "{00000000-0000-0000-0000-000000000000}";

LONG setDword(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG writeLegacyPin(HKEY pins, const char* name, DWORD direction)
{
    qv::RegKey pin;
    LONG r = pin.create(pins, name, KEY_WRITE);
    for (const char* flag : {"AllowedMany", "AllowedZero", "IsRendered"}) {
        if (r == ERROR_SUCCESS)
            r = setDword(pin.get(), flag, 0);
    }
    if (r == ERROR_SUCCESS)
        r = setDword(pin.get(), "Direction", direction);
    char types[128];
    std::snprintf(types, sizeof types, "Types\\%s\\%s", kAudioType, kNullGuid);
    qv::RegKey type;
    if (r == ERROR_SUCCESS)
        r = type.create(pin.get(), types, KEY_WRITE);
    return r;
}

// The pin description of the older registry layout, which some hosts still read.
LONG writeLegacyPins()
{
    qv::RegKey filter, pins;
    LONG r = filter.open(HKEY_CLASSES_ROOT, kFilterKey, KEY_WRITE);
    if (r == ERROR_SUCCESS)
        r = pins.create(filter.get(), "Pins", KEY_WRITE);
    if (r == ERROR_SUCCESS)
        r = writeLegacyPin(pins.get(), "In", 0);
    if (r == ERROR_SUCCESS)
        r = writeLegacyPin(pins.get(), "Out", 1);
    return r;
}

// The filter's name under the "Filter" key, where older hosts list filters.
LONG writeFilterName()
{
    qv::RegKey filter;
    LONG r = filter.create(HKEY_CLASSES_ROOT, kFilterCategoryKey, KEY_WRITE);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExA(filter.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFilterName),
                           sizeof kFilterName);
    return r;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        qv::ds::gModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    return qv::ds::getClassObject(clsid, riid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return qv::ds::canUnloadNow(); }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    const HRESULT hr = qv::ds::AMovieDllRegisterServer2(TRUE);
    if (FAILED(hr))
        return hr;
    // A failed write after the base registration is reported with its own code: the filter would be
    // half registered, and the installer must not say it worked.
    LONG r = writeLegacyPins();
    if (r == ERROR_SUCCESS)
        r = writeFilterName();
    return r == ERROR_SUCCESS ? hr : HRESULT_FROM_WIN32(r);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const HRESULT hr = qv::ds::AMovieDllRegisterServer2(FALSE);
    if (hr != S_OK)
        return hr;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kFilterCategoryKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kPageCategoryKey);
    return S_OK;
}
