#include "Registration.h"

#include <objbase.h>
#include <strmif.h>
#include <uuids.h>

#include <cstdio>

#include "ClassFactory.h"
#include "PluginContract.h"
#include "ScopedWin.h"

namespace qv::ds {
namespace {

void guidText(const GUID& g, char* out, size_t size)
{
    std::snprintf(out, size, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(g.Data1),
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
}

HRESULT fromWin32(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

HRESULT writeClassKeys(const FactoryTemplate& t, const WCHAR* modulePath)
{
    char clsid[40];
    guidText(*t.clsid, clsid, sizeof clsid);
    char path[80];
    std::snprintf(path, sizeof path, "CLSID\\%s", clsid);
    RegKey key, server;
    LONG r = key.create(HKEY_CLASSES_ROOT, path, KEY_WRITE);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(t.name),
                           static_cast<DWORD>((lstrlenW(t.name) + 1) * sizeof(WCHAR)));
    if (r == ERROR_SUCCESS)
        r = server.create(key.get(), kServerSubkey, KEY_WRITE);
    if (r == ERROR_SUCCESS)
        r = RegSetValueExW(server.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(modulePath),
                           static_cast<DWORD>((lstrlenW(modulePath) + 1) * sizeof(WCHAR)));
    if (r == ERROR_SUCCESS)
        r = RegSetValueExA(server.get(), "ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>("Both"), 5);
    return fromWin32(r);
}

HRESULT deleteClassKeys(const FactoryTemplate& t)
{
    char clsid[40];
    guidText(*t.clsid, clsid, sizeof clsid);
    char path[80];
    std::snprintf(path, sizeof path, "CLSID\\%s", clsid);
    return fromWin32(deleteKeyTree(HKEY_CLASSES_ROOT, path));
}

HRESULT registerWithMapper1(const AMOVIESETUP_FILTER& setup, bool add)
{
    ComPtr<IFilterMapper> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper,
                                  reinterpret_cast<void**>(mapper.put()));
    if (FAILED(hr) || !mapper)
        return FAILED(hr) ? hr : E_UNEXPECTED;
    if (!add)
        return mapper->UnregisterFilter(*setup.clsid);
    hr = mapper->RegisterFilter(*setup.clsid, setup.name, setup.merit);
    for (UINT p = 0; SUCCEEDED(hr) && p < setup.pinCount; ++p) {
        const AMOVIESETUP_PIN& pin = setup.pins[p];
        hr = mapper->RegisterPin(*setup.clsid, pin.strName, pin.bRendered, pin.bOutput, pin.bZero, pin.bMany,
                                 pin.clsConnectsToFilter ? *pin.clsConnectsToFilter : CLSID_NULL, pin.strConnectsToPin);
        for (UINT t = 0; SUCCEEDED(hr) && t < pin.nMediaTypes; ++t)
            hr = mapper->RegisterPinType(*setup.clsid, pin.strName, *pin.lpMediaType[t].clsMajorType,
                                         *pin.lpMediaType[t].clsMinorType);
    }
    if (FAILED(hr))
        mapper->UnregisterFilter(*setup.clsid);
    return hr;
}

}  // namespace

LONG deleteKeyTree(HKEY parent, const char* name)
{
    {
        RegKey key;
        const LONG r = key.open(parent, name, KEY_READ | KEY_WRITE);
        if (r == ERROR_FILE_NOT_FOUND)
            return ERROR_SUCCESS;
        if (r != ERROR_SUCCESS)
            return r;
        char child[256];
        for (;;) {
            DWORD length = sizeof child;
            // Always the first: each pass deletes what the last one found.
            if (RegEnumKeyExA(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            if (deleteKeyTree(key.get(), child) != ERROR_SUCCESS)
                break;
        }
    }  // closed before it is deleted
    const LONG r = RegDeleteKeyA(parent, name);
    return r == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : r;
}

HRESULT registerFilterWithMapper(const AMOVIESETUP_FILTER& setup, bool add)
{
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  reinterpret_cast<void**>(mapper.put()));
    if (FAILED(hr) || !mapper)
        return registerWithMapper1(setup, add);
    if (add) {
        REGFILTER2 rf{};
        rf.dwVersion = 1;
        rf.dwMerit = setup.merit;
        rf.cPins = setup.pinCount;
        rf.rgPins = setup.pins;
        ComPtr<IMoniker> moniker;
        hr = mapper->RegisterFilter(*setup.clsid, setup.name, moniker.put(), &CLSID_LegacyAmFilterCategory, nullptr,
                                    &rf);
    } else {
        hr = mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *setup.clsid);
        // Already gone is what we wanted.
        if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
            hr = S_OK;
    }
    return hr;
}

HRESULT AMovieDllRegisterServer2(BOOL add)
{
    WCHAR modulePath[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(gModule, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    modulePath[length] = L'\0';

    // The caller may not have started COM (regsvr32 does not); the mapper needs it.
    const HRESULT init = CoInitialize(nullptr);

    HRESULT hr = S_OK;
    if (add) {
        for (int i = 0; i < gTemplateCount && SUCCEEDED(hr); ++i)
            hr = writeClassKeys(gTemplates[i], modulePath);
    }
    for (int i = 0; i < gTemplateCount && SUCCEEDED(hr); ++i) {
        if (gTemplates[i].setup) {
            const HRESULT r = registerFilterWithMapper(*gTemplates[i].setup, add != FALSE);
            if (FAILED(r) && add)
                hr = r;
        }
    }
    if (!add) {
        for (int i = 0; i < gTemplateCount; ++i) {
            const HRESULT r = deleteClassKeys(gTemplates[i]);
            if (FAILED(r) && SUCCEEDED(hr))
                hr = r;
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return hr;
}

}  // namespace qv::ds
