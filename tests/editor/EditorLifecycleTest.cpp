// The editor's life against a host: closed under its own menus, message boxes and dialogs, two
// instances side by side, help, and an idle editor that draws nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../support/MachineRegistry.h"
#include "../support/UnwritableInstall.h"
#include "ControlProtocol.h"
#include "EditorHarness.h"
#include "PluginContract.h"
#include "UiDriver.h"
#include "VstInterface.h"
#include "WholeFile.h"

using namespace qvtest;
using namespace vst;

namespace {

VstIntPtr QV_VSTCALL hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// An effect of the DLL held without PluginHost, so that a test can close it from anywhere.
struct RawEffect {
    RawEffect()
    {
        module = LoadLibraryA(qv::kVstFileName);
        auto entry = reinterpret_cast<AEffect*(QV_VSTCALL*)(AudioMasterCallback)>(
            reinterpret_cast<void*>(GetProcAddress(module, "main")));
        effect = entry ? entry(hostCallback) : nullptr;
        frame = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 560, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~RawEffect()
    {
        closeEffect();
        DestroyWindow(frame);
        FreeLibrary(module);
    }
    VstIntPtr call(VstInt32 op, VstIntPtr value = 0, void* ptr = nullptr)
    {
        return effect ? effect->dispatcher(effect, op, 0, value, ptr, 0.0f) : 0;
    }
    HWND open()
    {
        call(effEditOpen, 0, frame);
        return editor();
    }
    HWND editor() const { return GetWindow(frame, GW_CHILD); }
    void closeEffect()
    {
        if (effect)
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        effect = nullptr;
    }
    HMODULE module = nullptr;
    AEffect* effect = nullptr;
    HWND frame = nullptr;
};

// Steps run by a timer while a modal loop of the product is on the stack.
struct Steps {
    std::vector<std::pair<DWORD, std::function<void()>>> steps;
    size_t next = 0;
    DWORD start = 0;
};
Steps* gSteps;

void CALLBACK stepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    Steps* s = gSteps;
    while (s && s->next < s->steps.size() && GetTickCount() - s->start >= s->steps[s->next].first)
        s->steps[s->next++].second();  // may re-enter: next is advanced first
}

void runWithSteps(const std::function<void()>& action, Steps steps)
{
    steps.start = GetTickCount();
    gSteps = &steps;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, stepTimer);
    action();
    const DWORD end = GetTickCount() + 1500;
    while (steps.next < steps.steps.size() && GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    KillTimer(nullptr, timer);
    gSteps = nullptr;
}

void pressKeys(const char* windowClass, std::vector<UINT> keys)
{
    HWND w = FindWindowA(windowClass, nullptr);
    for (UINT k : keys) {
        PostMessageA(w, WM_KEYDOWN, k, 0);
        PostMessageA(w, WM_KEYUP, k, 0xC0000000);
    }
}

BOOL CALLBACK findVisibleDialog(HWND w, LPARAM out)
{
    char cls[16];
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && std::strcmp(cls, "#32770") == 0) {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

HWND findThreadDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Whatever is still open after the host's close is dismissed, so that a failing test cannot hang.
void dismissAll()
{
    pressKeys("#32768", {VK_ESCAPE, VK_ESCAPE});
    if (HWND box = findThreadDialog())
        PostMessageA(box, WM_CLOSE, 0, 0);
}

void pressButton(HWND editor, int id)
{
    SendMessageA(GetDlgItem(editor, id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(GetDlgItem(editor, id), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// ---- counting what the plug-in draws: its imports of the blit calls, replaced ----------------------

int gBlits;
decltype(&BitBlt) gBitBlt;
BOOL WINAPI countedBitBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD rop)
{
    ++gBlits;
    return gBitBlt(d, x, y, w, h, s, sx, sy, rop);
}

bool replaceImport(HMODULE module, const char* function, void* replacement, void** original)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool done = false;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        auto* names =
            reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        for (; names->u1.AddressOfData; ++names, ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD old;
            VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old);
            if (original)
                *original = reinterpret_cast<void*>(thunk->u1.Function);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
            done = true;
        }
    }
    return done;
}

}  // namespace

TEST(EditorLifecycle, TheHostClosesTheEditorUnderItsMenusBoxesAndDialogs)
{
    setPluginPath(nullptr);
    struct Case {
        const char* name;
        int button;
        bool rightClick;
        std::vector<UINT> menuKeys;  // then, 300 ms later, the host closes
        bool wholeEffect;
    };
    const Case cases[] = {
        {"presets menu, effEditClose", 20015, false, {}, false},
        {"band menu, effClose", 1300, true, {}, true},
        {"help's message box, effClose", 20016, false, {}, true},
        {"Preset Manager, effEditClose", 20015, false, {VK_DOWN, VK_DOWN, VK_RETURN}, false},
        {"Preset Manager, effClose", 20015, false, {VK_DOWN, VK_DOWN, VK_RETURN}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawEffect fx;
        ASSERT_NE(fx.effect, nullptr);
        HWND editor = fx.open();
        ASSERT_NE(editor, nullptr);
        Steps steps;
        if (!c.menuKeys.empty())
            steps.steps.push_back({150, [&] { pressKeys("#32768", c.menuKeys); }});
        bool modalOpen = false;
        steps.steps.push_back({450, [&] {
                                   HWND menu = FindWindowA("#32768", nullptr);
                                   modalOpen = (menu && IsWindowVisible(menu)) || findThreadDialog();
                                   if (c.wholeEffect)
                                       fx.closeEffect();
                                   else
                                       fx.call(effEditClose);
                               }});
        steps.steps.push_back({800, dismissAll});
        runWithSteps(
            [&] {
                HWND b = GetDlgItem(editor, c.button);
                if (c.rightClick)
                    SendMessageA(b, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
                else
                    pressButton(editor, c.button);
            },
            steps);
        EXPECT_TRUE(modalOpen);
        EXPECT_FALSE(IsWindow(editor));
        if (!c.wholeEffect) {
            // The effect and its editor work on.
            HWND again = fx.open();
            ASSERT_NE(again, nullptr);
            pressButton(again, 1100);
            EXPECT_EQ(fx.effect->getParameter(fx.effect, 1), 0.0f);
        }
    }
}

TEST(EditorLifecycle, TwoInstancesSideBySideAndOneClosing)
{
    RawEffect a, b;
    HWND ea = a.open(), eb = b.open();
    ASSERT_TRUE(ea && eb);
    pressButton(eb, 1200);
    EXPECT_EQ(b.effect->getParameter(b.effect, 2), 0.0f);
    EXPECT_EQ(a.effect->getParameter(a.effect, 2), 1.0f);
    a.call(effEditClose);
    EXPECT_FALSE(IsWindow(ea));
    // The classes stay while b's editor is open: its controls work and a new editor opens.
    pressButton(eb, 1200);
    EXPECT_EQ(b.effect->getParameter(b.effect, 2), 1.0f);
    ea = a.open();
    ASSERT_NE(ea, nullptr);
    EXPECT_NE(GetDlgItem(ea, 20000), nullptr);
    a.call(effEditClose);
    b.call(effEditClose);
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(b.module, "qvEqualizerWindowClass", &wc));  // gone with the last editor
    EXPECT_FALSE(GetClassInfoA(b.module, "qv:PushButton", &wc));
}

TEST(EditorLifecycle, HelpShowsTheManualOrSaysWhereItLooked)
{
    char folder[MAX_PATH];
    GetFullPathNameA("help-test", sizeof folder, folder, nullptr);
    EditorHost h;
    ASSERT_TRUE(h.ok());

    setPluginPath("C:\\nowhere");
    std::string text = h.withMessageBox([&] { h.click(h.item(20016), 5, 5); });
    EXPECT_EQ(text, "Unable to open the Zorvath qv:Equalizer R3 help file:\nC:\\nowhere\\qvEqualizer.chm");

    setPluginPath(folder);
    text = h.withMessageBox([&] { h.click(h.item(20016), 5, 5); });
    h.pump(300);
    setPluginPath(nullptr);
    std::printf("help with a manual: %s\n", text.empty() ? "viewer opened" : text.c_str());
    if (!text.empty()) {
        // Wine's viewer needs its HTML engine, which test prefixes leave out: then the box names the real file.
        EXPECT_EQ(text, "Unable to open the Zorvath qv:Equalizer R3 help file:\n" + std::string(folder) +
                            "\\qvEqualizer.chm");
        EXPECT_NE(GetFileAttributesA((std::string(folder) + "\\qvEqualizer.chm").c_str()), INVALID_FILE_ATTRIBUTES);
    } else {
        EXPECT_NE(FindWindowA("HH Parent", nullptr), nullptr);
    }
}

namespace {
const char kHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// Where the system says its HTML Help control lives; the value as it was comes back at the end.
struct RegisteredHelpControl {
    std::string saved;
    bool had = false;
    RegisteredHelpControl()
    {
        char value[MAX_PATH] = {};
        LONG size = sizeof value;
        had = RegQueryValueA(HKEY_CLASSES_ROOT, kHelpControlKey, value, &size) == ERROR_SUCCESS;
        saved = value;
    }
    ~RegisteredHelpControl()
    {
        if (had)
            set(saved.c_str());
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, kHelpControlKey);
    }
    static void set(const char* path)
    {
        RegSetValueA(HKEY_CLASSES_ROOT, kHelpControlKey, REG_SZ, path, static_cast<DWORD>(std::strlen(path)));
    }
};

struct HelpRequests {
    int count = 0;
    HWND owner = nullptr;
    UINT command = 0;
    std::string file;
};

HelpRequests helpStubRequests()
{
    HelpRequests r;
    HMODULE stub = GetModuleHandleA("qv_help_stub.dll");
    auto query = reinterpret_cast<int(WINAPI*)(HWND*, UINT*, char*, int)>(
        reinterpret_cast<void*>(stub ? GetProcAddress(stub, "helpStubRequests") : nullptr));
    if (!query)
        return r;
    char file[MAX_PATH] = {};
    r.count = query(&r.owner, &r.command, file, sizeof file);
    r.file = file;
    return r;
}
}  // namespace

// The help control is loaded from where the system registered it, once per process: one without
// the entry point fails that request and every later one, with no second attempt.
TEST(EditorLifecycle, TheHelpControlComesFromItsRegisteredPlaceOnce)
{
    RegisteredHelpControl restore;
    char stub[MAX_PATH], system[MAX_PATH], kernel[MAX_PATH];
    GetFullPathNameA("qv_help_stub.dll", sizeof stub, stub, nullptr);
    GetSystemDirectoryA(system, sizeof system);
    std::snprintf(kernel, sizeof kernel, "%s\\kernel32.dll", system);
    setPluginPath("C:\\manuals");
    const std::string failed = "Unable to open the Zorvath qv:Equalizer R3 help file:\nC:\\manuals\\qvEqualizer.chm";
    {
        RegisteredHelpControl::set(stub);
        EditorHost h;
        ASSERT_TRUE(h.ok());
        EXPECT_EQ(h.withMessageBox([&] { h.click(h.item(20016), 5, 5); }), "");
        const HelpRequests r = helpStubRequests();
        EXPECT_EQ(r.count, 1);
        EXPECT_EQ(r.owner, h.editor());
        EXPECT_EQ(r.command, 0u);  // show the topic
        EXPECT_EQ(r.file, "C:\\manuals\\qvEqualizer.chm");
    }
    {
        RegisteredHelpControl::set(kernel);  // loads, but has no HtmlHelpA
        EditorHost h;                        // a fresh load of the plug-in: nothing tried yet
        ASSERT_TRUE(h.ok());
        EXPECT_EQ(h.withMessageBox([&] { h.click(h.item(20016), 5, 5); }), failed);
        RegisteredHelpControl::set(stub);
        EXPECT_EQ(h.withMessageBox([&] { h.click(h.item(20016), 5, 5); }), failed);
        EXPECT_EQ(helpStubRequests().count, 1);
    }
    setPluginPath(nullptr);
}

TEST(EditorIdle, ASilentEditorDrawsNothingAndMetersDrawWhenTheLevelMoves)
{
    EditorHost h;
    ASSERT_TRUE(h.ok());
    HMODULE plugin = GetModuleHandleA(qv::kVstFileName);
    ASSERT_TRUE(
        replaceImport(plugin, "BitBlt", reinterpret_cast<void*>(&countedBitBlt), reinterpret_cast<void**>(&gBitBlt)));
    h.pump(400);  // the first ticks settle the meters
    gBlits = 0;
    int paints = 0;
    const DWORD end = GetTickCount() + 2000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_PAINT && (msg.hwnd == h.editor() || IsChild(h.editor(), msg.hwnd)))
                ++paints;
            DispatchMessageA(&msg);
        }
        h.host().dispatch(effEditIdle);
        Sleep(10);
    }
    EXPECT_EQ(gBlits, 0);
    EXPECT_EQ(paints, 0);
    const std::string silent = h.text(20032);

    // A tone: the meters and the peak text move.
    std::vector<float> in(512), out0(512), out1(512);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = 0.5f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out0.data(), out1.data()};
    h.effect()->processReplacing(h.effect(), inputs, outputs, 512);
    h.pump(200);
    EXPECT_GT(gBlits, 0);
    EXPECT_NE(h.text(20032), silent);
    EXPECT_EQ(h.text(20032).substr(0, 4), "-6.0");
    replaceImport(plugin, "BitBlt", reinterpret_cast<void*>(gBitBlt), nullptr);
}

// A host without the right to write the install folder (here a write-protected medium): a preset
// added from the presets menu is saved without a word into the user's own copy, the installed file
// stays the factory file, and the next editor lists the new preset.
TEST(EditorLifecycle, AnAddInAnUnwritableInstallFolderGoesToTheUsersCopy)
{
    const UnwritableInstall at("QV_READONLY_FOLDER");
    if (!at.ok())
        GTEST_SKIP() << "no write-protected folder given (tests/support/unwritable-folders.sh runs as root)";
    const std::vector<char> factory = qv::wholeFile(at.installed);
    {
        EditorHost h;
        ASSERT_TRUE(h.ok());
        UiDriver ui;  // any message box (a failed save) stays unanswered and fails the test
        ui.then(ui.inDialog("Add qv:Equalizer preset", [](HWND d) {
            SetDlgItemTextA(d, 1511, "Kept for me");
            click(d, IDOK);
        }));
        h.withMenu([&] { h.click(h.item(20015), 5, 5); }, {VK_DOWN, VK_RETURN});  // "Add Preset..."
        h.pump(200);
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(qv::wholeFile(at.installed), factory);
    char name[64] = {};
    int found = 0;
    for (int n = 1; n < 200; ++n) {
        const std::string section = "Preset" + std::to_string(n);
        GetPrivateProfileStringA(section.c_str(), "Name", "", name, sizeof name, at.userCopy.c_str());
        found += std::strcmp(name, "Kept for me") == 0;
    }
    EXPECT_EQ(found, 1);
    {
        EditorHost h;
        ASSERT_TRUE(h.ok());
        std::vector<std::string> items = h.withMenu([&] { h.click(h.item(20015), 5, 5); }, {VK_ESCAPE});
        EXPECT_NE(std::find(items.begin(), items.end(), "Kept for me"), items.end());
    }
}
