// Loaded into the setup program or the uninstaller by a message hook of the end-to-end driver: on the
// driver's "snap" message it copies the top-level window's pixels into a DIB section and writes a BMP,
// so that the pages can be looked at as a user sees them.
#include <windows.h>

#include <string>
#include <vector>

namespace {

HMODULE gModule = nullptr;

void writeBmp(const std::string& path, HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetWindowDC(window);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD n;
        WriteFile(out, &file, sizeof file, &n, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &n, nullptr);
        WriteFile(out, bits, size, &n, nullptr);
        CloseHandle(out);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    ReleaseDC(window, screen);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK snapHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT snap = RegisterWindowMessageA("qv-e2e-snap");
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == snap) {
        char dir[MAX_PATH] = "";
        if (GetEnvironmentVariableA("QV_E2E_SNAPS", dir, sizeof dir) > 0)
            writeBmp(std::string(dir) + "\\snap-" + std::to_string(msg->wParam) + ".bmp",
                     GetAncestor(msg->hwnd, GA_ROOT));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gModule = instance;
    return TRUE;
}
