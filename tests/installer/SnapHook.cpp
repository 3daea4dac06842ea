// Loaded into the setup program or the uninstaller by a message hook of the end-to-end driver: on the
// driver's "snap" message it paints what the top-level window has pending, copies its pixels into a
// DIB section and writes a BMP, so that the pages can be looked at as a user sees them.
#include <windows.h>

#include <string>
#include <vector>

#include "WindowPicture.h"

namespace {

HMODULE gModule = nullptr;

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK snapHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT snap = RegisterWindowMessageA("qv-e2e-snap");
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == snap) {
        char dir[MAX_PATH] = "";
        if (GetEnvironmentVariableA("QV_E2E_SNAPS", dir, sizeof dir) > 0) {
            // The message is taken before the paints the window still owes (a page just switched to,
            // a text just set), which come only when no other message is waiting.
            HWND window = GetAncestor(msg->hwnd, GA_ROOT);
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            qv::saveWindowBmp(window, (std::string(dir) + "\\snap-" + std::to_string(msg->wParam) + ".bmp").c_str());
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModule = instance;
    return TRUE;
}
