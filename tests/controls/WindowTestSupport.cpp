#include "WindowTestSupport.h"
#include "../support/WindowPixels.h"

namespace qvtest {

namespace {

std::vector<Note> gNotes;

LRESULT CALLBACK parentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND || (msg >= 2000 && msg < 3000)) {
        gNotes.push_back({msg, wp, lp});
        if (msg == qv::PBN_RCLICK)
            return 77;
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

ControlFixture::ControlFixture()
{
    static bool registered = false;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    if (!registered) {
        qv::RegisterSkinClasses(inst);
        WNDCLASSA wc{};
        wc.lpfnWndProc = parentProc;
        wc.hInstance = inst;
        wc.lpszClassName = "qvTestParent";
        RegisterClassA(&wc);
        registered = true;
    }
    gNotes.clear();
    parent_ = CreateWindowExA(0, "qvTestParent", "test", WS_POPUP | WS_VISIBLE, 100, 100, 506, 411, nullptr, nullptr,
                              inst, nullptr);
    HDC screen = GetDC(nullptr);
    background_ = CreateCompatibleBitmap(screen, 506, 411);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, background_);
    RECT r{0, 0, 506, 411};
    HBRUSH brush = CreateSolidBrush(RGB(0x33, 0x66, 0x99));
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    // Drags warp the pointer at screen edges; start well inside.
    RECT desk;
    GetWindowRect(GetDesktopWindow(), &desk);
    SetCursorPos((desk.left + desk.right) / 2, (desk.top + desk.bottom) / 2);
    pump();
    gNotes.clear();
}

ControlFixture::~ControlFixture()
{
    DestroyWindow(parent_);
    DeleteObject(background_);
    pump();
}

HWND ControlFixture::create(const char* cls, const char* caption, int id, int x, int y, int w, int h, DWORD bits,
                            HBITMAP background)
{
    HWND c = CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | bits, x, y, w, h, parent_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                             background ? background : background_);
    pump();
    gNotes.clear();
    return c;
}

std::vector<Note>& ControlFixture::notes() { return gNotes; }

void ControlFixture::pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<uint32_t> ControlFixture::pixels(HWND w, int* width, int* height)
{
    return qv::windowPixels(w, width, height);
}

std::vector<uint8_t> solidSprite(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t transparency)
{
    std::vector<uint8_t> s(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < s.size(); i += 4) {
        s[i] = r;
        s[i + 1] = g;
        s[i + 2] = b;
        s[i + 3] = transparency;
    }
    return s;
}

}  // namespace qvtest
