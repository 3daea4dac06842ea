// Help: the manual found beside the installed plug-in and shown by the HTML Help control, which is
// loaded once per process at the first request.
#include <windows.h>

#include <cstdio>
#include <string>

#include "EditorLogic.h"
#include "EditorSession.h"
#include "PluginContract.h"
#include "PresetStore.h"
#include "ScopedWin.h"

namespace qv {
namespace {

using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayTopic = 0;
constexpr char kHelpControlKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

HtmlHelpProc htmlHelp()
{
    static bool tried = false;
    static HtmlHelpProc proc = nullptr;
    if (tried)
        return proc;
    tried = true;
    std::string path;
    HMODULE control = nullptr;
    if (readRegistryString(HKEY_CLASSES_ROOT, kHelpControlKey, nullptr, path) && !path.empty())
        control = LoadLibraryA(path.c_str());
    if (!control)
        control = LoadLibraryA("hhctrl.ocx");
    // Kept for the process: the viewer's windows outlive any one request.
    if (control)
        proc = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpA")));
    return proc;
}

void manualPath(HelpSource source, HINSTANCE module, char* out, size_t size)
{
    char found[MAX_PATH + 1] = {};
    if (source == HelpSource::kModulePath) {
        const DWORD n = GetModuleFileNameA(module, found, MAX_PATH);
        found[n < MAX_PATH ? n : MAX_PATH] = '\0';
        manualBesideFile(found, true, out, size);
        return;
    }
    const PluginLocation at = findPluginLocation(kPluginKey, MachineRegistry());
    if (at.hasFolder && !at.folder.empty()) {
        manualInFolder(at.folder.c_str(), out, size);
        return;
    }
    manualBesideFile(at.hasServer ? at.server.c_str() : "", false, out, size);
}

}  // namespace

void showManual(HWND owner, HelpSource source, HINSTANCE module)
{
    char path[MAX_PATH + 1];
    manualPath(source, module, path, sizeof path);
    HtmlHelpProc proc = htmlHelp();
    if (proc && proc(owner, path, kDisplayTopic, 0))
        return;
    char text[MAX_PATH + 80];
    std::snprintf(text, sizeof text, "Unable to open the Zorvath qv:Equalizer R3 help file:\n%s", path);
    MessageBoxA(owner, text, "Error", MB_OK | MB_ICONWARNING);
}

}  // namespace qv
