// The COM server: its class table, the four exports and the registry entries beyond the base ones.

#include <windows.h>

#include <cstdio>
#include <initializer_list>

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

const char kFilterKey[] = "CLSID\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}";
const char kFilterName[] = "Zorvath qv:Equalizer R3";
const char kAudioType[] = "{73647561-0000-0010-8000-00AA00389B71}";
const char kNullGuid[] = "{00000000-0000-0000-0000-000000000000}";

void setDword(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// The pin description of the older registry layout, which some hosts still read.
void writeLegacyPins()
{
    HKEY filter = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kFilterKey, 0, KEY_WRITE, &filter) != ERROR_SUCCESS)
        return;
    HKEY pins = nullptr, in = nullptr, out = nullptr;
    RegCreateKeyExA(filter, "Pins", 0, nullptr, 0, KEY_WRITE, nullptr, &pins, nullptr);
    if (pins) {
        RegCreateKeyExA(pins, "In", 0, nullptr, 0, KEY_WRITE, nullptr, &in, nullptr);
        RegCreateKeyExA(pins, "Out", 0, nullptr, 0, KEY_WRITE, nullptr, &out, nullptr);
    }
    for (const char* name : {"AllowedMany", "AllowedZero", "IsRendered"}) {
        if (in)
            setDword(in, name, 0);
        if (out)
            setDword(out, name, 0);
    }
    if (in)
        setDword(in, "Direction", 0);
    if (out)
        setDword(out, "Direction", 1);
    char types[128];
    std::snprintf(types, sizeof types, "Types\\%s\\%s", kAudioType, kNullGuid);
    for (HKEY pin : {in, out}) {
        if (!pin)
            continue;
        HKEY t = nullptr;
        if (RegCreateKeyExA(pin, types, 0, nullptr, 0, KEY_WRITE, nullptr, &t, nullptr) == ERROR_SUCCESS)
            RegCloseKey(t);
        RegCloseKey(pin);
    }
    if (pins)
        RegCloseKey(pins);
    RegCloseKey(filter);
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
    writeLegacyPins();
    char key[80];
    std::snprintf(key, sizeof key, "Filter\\%s", kFilterKey + 6);
    HKEY filter = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &filter, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(filter, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kFilterName), sizeof kFilterName);
        RegCloseKey(filter);
    }
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const HRESULT hr = qv::ds::AMovieDllRegisterServer2(FALSE);
    if (hr != S_OK)
        return hr;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Filter\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Filter\\{7A3D5E11-4B2C-41F8-9E61-2C7B8D04A9F3}");
    return S_OK;
}
