// The filter and its server as COM objects, and registration through Wine's regsvr32.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <shlwapi.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstring>
#include <functional>
#include <string>

#include "DllServer.h"
#include "IEqualizerControl.h"
#include "ParameterModel.h"
#include "PluginContract.h"

using namespace qv;

namespace {

struct Com {
    Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { CoUninitialize(); }
};

bool keyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

DWORD dwordValue(const char* path, const char* name)
{
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueA(HKEY_CLASSES_ROOT, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

std::string stringValue(const char* path, const char* name)
{
    char text[512] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_CLASSES_ROOT, path, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return "<missing>";
    return text;
}

DWORD runRegsvr32(const std::string& args)
{
    char dll[MAX_PATH];
    GetFullPathNameA(kFilterFileName, MAX_PATH, dll, nullptr);
    std::string command = "regsvr32 /s " + args + " \"" + dll + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

const char kFilter[] = "CLSID\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}";
const char kPage[] = "CLSID\\{7A3D5E11-4B2C-41F8-9E61-2C7B8D04A9F3}";
const char kFilterName[] = "Filter\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}";
const char kMapperEntry[] =
    "CLSID\\{083863F1-70DE-11d0-BD40-00A0C911CE86}\\Instance\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}";

// The object's reference count, as COM conformance tests read it.
ULONG refCount(IUnknown* u)
{
    u->AddRef();
    return u->Release();
}

// QueryInterface for `iid` answers as `supported` says, with a reference on the object that its
// release gives back. The failure names the interface and the caller's line.
void checkInterface(int line, IUnknown* object, REFIID iid, const char* name, bool supported)
{
    SCOPED_TRACE(testing::Message() << name << ", checked at line " << line);
    const ULONG before = refCount(object);
    IUnknown* u = reinterpret_cast<IUnknown*>(uintptr_t{0xdeadbeef});
    const HRESULT hr = object->QueryInterface(iid, reinterpret_cast<void**>(&u));
    if (!supported) {
        EXPECT_EQ(hr, E_NOINTERFACE);
        EXPECT_EQ(u, nullptr);
        EXPECT_EQ(refCount(object), before);
        return;
    }
    ASSERT_EQ(hr, S_OK);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(refCount(object), before + 1);
    EXPECT_EQ(u->Release(), before);
}
#define CHECK_INTERFACE(object, iid, supported) checkInterface(__LINE__, object, iid, #iid, supported)

// A read-write memory stream.
IStream* memoryStream() { return SHCreateMemStream(nullptr, 0); }

}  // namespace

TEST(Registration, Regsvr32WritesTheKeysAndRemovesThemAll)
{
    for (int pass = 0; pass < 2; ++pass)  // twice leaves the same keys as once
        ASSERT_EQ(runRegsvr32(""), 0u);
    EXPECT_EQ(stringValue(kFilter, nullptr), "Zorvath qv:Equalizer R3");
    EXPECT_EQ(stringValue(kPage, nullptr), "Zorvath qv:Equalizer R3 Property Page");
    for (const char* clsid : {kFilter, kPage}) {
        const std::string server = std::string(clsid) + "\\InprocServer32";
        EXPECT_NE(stringValue(server.c_str(), nullptr).find(kFilterFileName), std::string::npos);
        EXPECT_EQ(stringValue(server.c_str(), "ThreadingModel"), "Both");
    }
    const std::string in = std::string(kFilter) + "\\Pins\\In", out = std::string(kFilter) + "\\Pins\\Out";
    EXPECT_EQ(dwordValue(in.c_str(), "Direction"), 0u);
    EXPECT_EQ(dwordValue(out.c_str(), "Direction"), 1u);
    for (const std::string& pin : {in, out}) {
        for (const char* v : {"AllowedMany", "AllowedZero", "IsRendered"})
            EXPECT_EQ(dwordValue(pin.c_str(), v), 0u) << pin << " " << v;
        const std::string type =
            pin + "\\Types\\{73647561-0000-0010-8000-00AA00389B71}\\{00000000-0000-0000-0000-000000000000}";
        EXPECT_TRUE(keyExists(type.c_str())) << type;
    }
    EXPECT_EQ(stringValue(kFilterName, nullptr), "Zorvath qv:Equalizer R3");
    EXPECT_TRUE(keyExists(kMapperEntry));

    ASSERT_EQ(runRegsvr32("/u"), 0u);
    EXPECT_FALSE(keyExists(kFilter));
    EXPECT_FALSE(keyExists(kPage));
    EXPECT_FALSE(keyExists(kFilterName));
    EXPECT_FALSE(keyExists(kMapperEntry));
}

// A volatile key refuses lasting subkeys (ERROR_CHILD_MUST_BE_VOLATILE): made where registration
// writes after the base keys, it makes that one write fail.
struct VolatileKey {
    std::string path;
    explicit VolatileKey(const std::string& p) : path(p)
    {
        HKEY key = nullptr;
        RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str());
        EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        RegCloseKey(key);
    }
    ~VolatileKey() { RegDeleteTreeA(HKEY_CLASSES_ROOT, path.c_str()); }
};

TEST(Registration, AFailedWriteAfterTheBaseKeysIsReported)
{
    Server s;
    auto registerServer = s.proc<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer");
    auto unregisterServer = s.proc<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
    ASSERT_NE(registerServer, nullptr);
    const HRESULT refused = HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE);
    {
        // The legacy pin keys go below "Pins".
        ASSERT_EQ(registerServer(), S_OK);
        VolatileKey pins(std::string(kFilter) + "\\Pins");
        EXPECT_EQ(registerServer(), refused);
    }
    {
        // The filter's name goes below the "Filter" key.
        ASSERT_EQ(unregisterServer(), S_OK);
        VolatileKey filters("Filter");
        EXPECT_EQ(registerServer(), refused);
    }
    EXPECT_EQ(registerServer(), S_OK);
    EXPECT_EQ(stringValue(kFilterName, nullptr), "Zorvath qv:Equalizer R3");
    EXPECT_EQ(unregisterServer(), S_OK);
    EXPECT_FALSE(keyExists(kFilter));
}

TEST(Server, ServesTheFilter)
{
    Server s;
    ASSERT_NE(s.module, nullptr);
    IClassFactory* f = nullptr;
    EXPECT_EQ(s.factory(IID_IUnknown, &f), CLASS_E_CLASSNOTAVAILABLE);
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(s.create(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);
    EXPECT_EQ(refCount(filter), 1u);
    EXPECT_FALSE(s.canUnload());
    CHECK_INTERFACE(filter, IID_IBaseFilter, true);
    CHECK_INTERFACE(filter, IID_IEqualizerControl, true);
    CHECK_INTERFACE(filter, IID_ISpecifyPropertyPages, true);
    CHECK_INTERFACE(filter, IID_IPersistStream, true);
    CHECK_INTERFACE(filter, IID_IPresetList, true);
    CHECK_INTERFACE(filter, IID_IMediaFilter, true);
    CHECK_INTERFACE(filter, IID_IPersist, true);
    CHECK_INTERFACE(filter, IID_IAMovieSetup, true);
    CHECK_INTERFACE(filter, IID_IUnknown, true);
    CHECK_INTERFACE(filter, IID_IPin, false);
    CHECK_INTERFACE(filter, IID_IClassFactory, false);
    EXPECT_EQ(refCount(filter), 1u);
    EXPECT_EQ(filter->QueryInterface(IID_IBaseFilter, nullptr), E_POINTER);
    CLSID clsid{};
    EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_qvEqualizer));
    EXPECT_EQ(filter->Release(), 0u);
    EXPECT_TRUE(s.canUnload());
}

TEST(Server, AggregatesUnderAnOuterUnknown)
{
    Server s;
    struct Outer : IUnknown {
        LONG refs = 1;
        IUnknown* inner = nullptr;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
        {
            if (IsEqualIID(riid, IID_IUnknown)) {
                *ppv = this;
                AddRef();
                return S_OK;
            }
            return inner->QueryInterface(riid, ppv);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
        ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    } outer;
    void* p = nullptr;
    EXPECT_EQ(s.create(&outer, IID_IBaseFilter, &p), CLASS_E_NOAGGREGATION);
    ASSERT_EQ(s.create(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    EXPECT_EQ(refCount(outer.inner), 1u);
    EXPECT_EQ(outer.refs, 1);  // the inner unknown counts on its own
    IEqualizerControl* control = query<IEqualizerControl>(outer.inner, IID_IEqualizerControl);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(outer.refs, 2);  // the interface counts on the outer object
    IUnknown* back = nullptr;
    control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back));
    EXPECT_EQ(back, static_cast<IUnknown*>(&outer));
    back->Release();
    control->Release();
    EXPECT_EQ(outer.refs, 1);
    EXPECT_EQ(refCount(outer.inner), 1u);
    EXPECT_EQ(outer.inner->Release(), 0u);
}

// A new filter's control and persistence interfaces, released after the case.
class ControlSettings : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(server.create(nullptr, IID_IEqualizerControl, reinterpret_cast<void**>(&c)), S_OK);
        persist = query<IPersistStream>(c, IID_IPersistStream);
        ASSERT_NE(persist, nullptr);
    }
    void TearDown() override
    {
        if (persist)
            persist->Release();
        if (c) {
            EXPECT_EQ(c->Release(), 0u);
        }
    }
    // Saves the settings with fClearDirty to a stream thrown away.
    void saveClean()
    {
        IStream* scratch = memoryStream();
        ASSERT_NE(scratch, nullptr);
        EXPECT_EQ(persist->Save(scratch, TRUE), S_OK);
        EXPECT_EQ(persist->IsDirty(), S_FALSE);
        scratch->Release();
    }
    ParameterRecord parameters()
    {
        ParameterRecord r{};
        EXPECT_EQ(c->GetParameters(&r), S_OK);
        return r;
    }

    Server server;
    IEqualizerControl* c = nullptr;
    IPersistStream* persist = nullptr;
};

TEST_F(ControlSettings, NewFilterHoldsTheClampedDefaultRecord)
{
    // The "(Default)" record as clamped by the replace operation.
    const ParameterRecord r = parameters();
    EXPECT_EQ(r.values[paramIndex(kRowFilter, 0)], 4);
    EXPECT_EQ(r.values[paramIndex(kRowFreq, 0)], 10);
    EXPECT_EQ(r.values[paramIndex(kRowQ, 0)], 1);
    EXPECT_EQ(r.values[paramIndex(kRowFreq, 6)], 15000);
    // Selecting the preset at construction counts as a change.
    EXPECT_EQ(persist->IsDirty(), S_OK);
}

TEST_F(ControlSettings, EveryWholeChangeMarksTheSettingsDirty)
{
    // Saving with fClearDirty clears the flag; every whole change (setup switch, copy from the other
    // setup, undo), a value change and Save(FALSE) set it again.
    const auto dirtyAfter = [&](const std::function<void()>& change) {
        saveClean();
        change();
        return persist->IsDirty() == S_OK;
    };
    EXPECT_TRUE(dirtyAfter([&] { c->SelectSetup(1); }));
    EXPECT_FALSE(dirtyAfter([&] { c->CopySetup(0, 1); }));
    EXPECT_TRUE(dirtyAfter([&] { c->CopySetup(1, 0); }));
    EXPECT_TRUE(dirtyAfter([&] { c->Undo(); }));
    IStream* scratch = memoryStream();
    EXPECT_TRUE(dirtyAfter([&] { persist->Save(scratch, FALSE); }));
    scratch->Release();
    int gain = 0;
    c->GetGain(3, &gain);
    EXPECT_FALSE(dirtyAfter([&] { c->SetGain(3, gain); }));  // the value it already has
    EXPECT_TRUE(dirtyAfter([&] { c->SetGain(3, gain == 60 ? 61 : 60); }));
}

TEST_F(ControlSettings, ClampsEachValueToItsRange)
{
    int v = 0;
    EXPECT_EQ(c->SetGain(3, 60), S_OK);
    EXPECT_EQ(c->SetQ(1, 50), S_OK);  // a LowShelf: Q stops at 2.0
    c->GetQ(1, &v);
    EXPECT_EQ(v, 20);
    c->SetFrequency(2, 99999);  // no format yet: 22049 is the top
    c->GetFrequency(2, &v);
    EXPECT_EQ(v, 22049);
    c->SetGain(0, 1000);
    c->GetGain(0, &v);
    EXPECT_EQ(v, 240);
    c->SetEnabled(5, 7);
    c->GetEnabled(5, &v);
    EXPECT_EQ(v, 1);

    // A whole record is clamped each Q by the record's own type.
    ParameterRecord wild = kDefaultParameters;
    wild.values[paramIndex(kRowFilter, 2)] = kLowpass;
    wild.values[paramIndex(kRowQ, 2)] = 500;
    wild.values[paramIndex(kRowGain, 3)] = -999;
    EXPECT_EQ(c->SetParameters(&wild), S_OK);
    const ParameterRecord r = parameters();
    EXPECT_EQ(r.values[paramIndex(kRowQ, 2)], 190);
    EXPECT_EQ(r.values[paramIndex(kRowGain, 3)], -180);
}

TEST_F(ControlSettings, RefusesColumnsOutsideTheRecordAndNullPointers)
{
    int v = 0;
    for (int column : {-1, 7}) {
        EXPECT_EQ(c->SetGain(column, 1), E_INVALIDARG) << column;
        EXPECT_EQ(c->GetGain(column, &v), E_INVALIDARG) << column;
        BandRecord* band = nullptr;
        EXPECT_EQ(c->GetBandRecord(column, &band), E_INVALIDARG) << column;
    }
    EXPECT_EQ(c->GetGain(1, nullptr), E_POINTER);
    EXPECT_EQ(c->GetParameters(nullptr), E_POINTER);
    EXPECT_EQ(c->SetParameters(nullptr), E_POINTER);
    EXPECT_EQ(c->GetClipCounterLeft(0, nullptr), E_POINTER);
    EXPECT_EQ(c->GetClipCounterLeft(2, &v), E_INVALIDARG);
    WAVEFORMATEX wf{};
    EXPECT_EQ(c->GetStreamFormat(&wf), VFW_E_NOT_CONNECTED);
}

TEST_F(ControlSettings, SaveAndLoadCarryTheRecord)
{
    c->SetGain(3, 60);
    c->SetQ(2, 33);
    const ParameterRecord saved = parameters();
    // Save(TRUE) clears the changed flag until the next change.
    IStream* stream = memoryStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(persist->Save(stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ULARGE_INTEGER size{};
    persist->GetSizeMax(&size);
    EXPECT_EQ(size.QuadPart, 160u);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 160u);
    c->SetGain(3, 0);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    c->SetGain(3, 0);  // no change: still one change since the save
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), S_OK);
    const ParameterRecord loaded = parameters();
    EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof saved), 0);
    stream->Release();
}

TEST_F(ControlSettings, ABadOrShortStreamChangesNothing)
{
    IStream* stream = memoryStream();
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    BYTE bytes[160];
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes, 160, nullptr);
    stream->Release();
    c->SetGain(3, 33);
    const ParameterRecord before = parameters();

    bytes[10] ^= 0xFF;  // another tag
    IStream* badTag = SHCreateMemStream(bytes, 160);
    EXPECT_EQ(persist->Load(badTag), E_FAIL);
    badTag->Release();
    bytes[10] ^= 0xFF;
    IStream* shortStream = SHCreateMemStream(bytes, 100);
    EXPECT_TRUE(FAILED(persist->Load(shortStream)));
    shortStream->Release();
    const ParameterRecord after = parameters();
    EXPECT_EQ(std::memcmp(&after, &before, sizeof before), 0);
    EXPECT_EQ(persist->Load(nullptr), E_POINTER);
}

TEST(Control, NotifiesRegisteredWindowsAndDropsDeadOnes)
{
    Server s;
    IEqualizerControl* c = nullptr;
    ASSERT_EQ(s.create(nullptr, IID_IEqualizerControl, reinterpret_cast<void**>(&c)), S_OK);
    HWND a = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND b = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND third = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(c->SetNotifyWindow(a, 32700), S_OK);
    EXPECT_EQ(c->SetNotifyWindow(b, 5), S_OK);
    EXPECT_EQ(c->SetNotifyWindow(third, 6), E_OUTOFMEMORY);
    EXPECT_EQ(c->SetNotifyWindow(a, 32700), S_OK);

    IPersistStream* persist = query<IPersistStream>(c, IID_IPersistStream);
    IStream* stream = memoryStream();
    persist->Save(stream, TRUE);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    DestroyWindow(b);
    EXPECT_EQ(persist->Load(stream), S_OK);  // posts code 100
    MSG msg;
    int seen = 0;
    while (PeekMessageA(&msg, a, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        EXPECT_EQ(LOWORD(msg.wParam), 32700);
        EXPECT_EQ(HIWORD(msg.wParam), 100);
        ++seen;
    }
    EXPECT_EQ(seen, 1);
    // The dead window's entry was freed by the post.
    EXPECT_EQ(c->SetNotifyWindow(third, 6), S_OK);
    stream->Release();
    persist->Release();
    c->Release();
    DestroyWindow(a);
    DestroyWindow(third);
}

TEST(Filter, PresetsPagesAndPins)
{
    Server s;
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(s.create(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);

    IPresetList* presets = query<IPresetList>(filter, IID_IPresetList);
    ASSERT_NE(presets, nullptr);
    int count = 0;
    EXPECT_EQ(presets->GetPresetCount(&count), S_OK);
    EXPECT_EQ(count, 2);
    WCHAR name[64];
    EXPECT_EQ(presets->GetPresetName(1, name, 64), S_OK);
    EXPECT_STREQ(name, L"[1] Default EQ");
    EXPECT_EQ(presets->GetPresetName(0, name, 4), S_OK);  // cut to the buffer
    EXPECT_STREQ(name, L"(De");
    for (int bad : {-1, 2}) {
        EXPECT_EQ(presets->GetPresetName(bad, name, 64), E_INVALIDARG);
        EXPECT_EQ(presets->SelectPreset(bad), E_INVALIDARG);
    }
    EXPECT_EQ(presets->SelectPreset(1), S_OK);
    presets->Release();

    ISpecifyPropertyPages* pages = query<ISpecifyPropertyPages>(filter, IID_ISpecifyPropertyPages);
    CAUUID uuids{};
    EXPECT_EQ(pages->GetPages(&uuids), S_OK);
    ASSERT_EQ(uuids.cElems, 1u);
    EXPECT_TRUE(IsEqualGUID(uuids.pElems[0], CLSID_qvEqualizerPropertyPage));
    CoTaskMemFree(uuids.pElems);
    pages->Release();

    // Pins count on the filter: the enumerator holds both, and so does each pin handed out.
    EXPECT_EQ(refCount(filter), 1u);
    IEnumPins* pins = nullptr;
    ASSERT_EQ(filter->EnumPins(&pins), S_OK);
    EXPECT_EQ(refCount(filter), 3u);
    IPin* p[3] = {};
    ULONG got = 0;
    EXPECT_EQ(pins->Next(3, p, &got), S_FALSE);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(refCount(filter), 5u);
    CHECK_INTERFACE(p[0], IID_IMemInputPin, true);
    CHECK_INTERFACE(p[1], IID_IMemInputPin, false);
    CHECK_INTERFACE(p[1], IID_IMediaSeeking, true);
    PIN_DIRECTION d0, d1;
    p[0]->QueryDirection(&d0);
    p[1]->QueryDirection(&d1);
    EXPECT_EQ(d0, PINDIR_INPUT);
    EXPECT_EQ(d1, PINDIR_OUTPUT);

    // The input's type check, through the pin.
    WAVEFORMATEX wf{1, 1, 44100, 88200, 2, 16, 0};
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = 16;
    mt.pbFormat = reinterpret_cast<BYTE*>(&wf);
    EXPECT_EQ(p[0]->QueryAccept(&mt), S_OK);
    mt.bTemporalCompression = TRUE;
    EXPECT_EQ(p[0]->QueryAccept(&mt), S_FALSE);
    mt.bTemporalCompression = FALSE;
    mt.pbFormat = nullptr;
    EXPECT_EQ(p[0]->QueryAccept(&mt), S_FALSE);
    mt.pbFormat = reinterpret_cast<BYTE*>(&wf);
    mt.cbFormat = 14;
    EXPECT_EQ(p[0]->QueryAccept(&mt), S_FALSE);
    mt.cbFormat = 16;
    mt.majortype = MEDIATYPE_Video;
    EXPECT_EQ(p[0]->QueryAccept(&mt), S_FALSE);
    EXPECT_EQ(p[1]->QueryAccept(&mt), S_FALSE);  // output: nothing before the input connects

    p[0]->Release();
    p[1]->Release();
    EXPECT_EQ(refCount(filter), 3u);
    pins->Release();
    EXPECT_EQ(refCount(filter), 1u);
    EXPECT_EQ(filter->Release(), 0u);
}
