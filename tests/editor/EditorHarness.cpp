#include "EditorHarness.h"
#include "../support/WindowPixels.h"

#include "ParameterModel.h"
#include "PluginContract.h"
#include "WindowPicture.h"

#include <cstdio>
#include <cstdlib>

namespace qvtest {
namespace {

Answer* gAnswer;

BOOL CALLBACK findDialog(HWND w, LPARAM out)
{
    char cls[16];
    GetClassNameA(w, cls, sizeof cls);
    if (IsWindowVisible(w) && std::string(cls) == "#32770") {
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK answerTimer(HWND, UINT, UINT_PTR, DWORD)
{
    Answer* a = gAnswer;
    if (!a || a->done)
        return;
    if (a->menu) {
        HWND menuWindow = FindWindowA("#32768", nullptr);
        if (!menuWindow || !IsWindowVisible(menuWindow))
            return;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            char text[256] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
            std::string shown = text;
            if (state & MF_SEPARATOR) {
                a->items.push_back("-");
                continue;
            }
            if (state & MF_GRAYED)
                shown += " [grey]";
            if (state & MF_CHECKED)
                shown += " [check]";
            a->items.push_back(shown);
        }
        for (UINT k : a->keys) {
            PostMessageA(menuWindow, WM_KEYDOWN, k, 0);
            PostMessageA(menuWindow, WM_KEYUP, k, 0xC0000000);
        }
        a->done = true;
        return;
    }
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    a->text = text;
    a->done = true;
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(a->button), 0);
}

LRESULT CALLBACK frameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

}  // namespace

EditorHost::EditorHost()
{
    qv::PluginHost::s_versionAnswer = 2400;
    qv::PluginHost::s_automation.clear();
    std::string error;
    if (!host_.load(qv::kVstFileName, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = frameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "EditorTestFrame";
    RegisterClassA(&wc);
    frame_ = CreateWindowExA(0, "EditorTestFrame", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 560, 480, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    open();
}

EditorHost::~EditorHost()
{
    close();
    host_.unload();
    if (frame_)
        DestroyWindow(frame_);
}

bool EditorHost::open()
{
    if (!frame_ || host_.dispatch(vst::effEditOpen, 0, 0, frame_) != 1)
        return false;
    editor_ = GetWindow(frame_, GW_CHILD);
    pump();
    return editor_ != nullptr;
}

void EditorHost::close()
{
    if (host_.effect() && editor_)
        host_.dispatch(vst::effEditClose);
    editor_ = nullptr;
}

void EditorHost::pump(int ms)
{
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0)
            Sleep(5);
    } while (ms > 0 && static_cast<int>(end - GetTickCount()) > 0);
}

void EditorHost::idle()
{
    pump();
    host_.dispatch(vst::effEditIdle);
    pump();
}

int32_t EditorHost::value(int index) { return qv::normalizedToValue(index, effect()->getParameter(effect(), index)); }

std::string EditorHost::text(int id)
{
    char t[256] = {};
    GetWindowTextA(item(id), t, sizeof t);
    return t;
}

void EditorHost::click(HWND c, int x, int y, bool right)
{
    SendMessageA(c, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(c, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pump();
}

void EditorHost::doubleClick(HWND c, int x, int y)
{
    click(c, x, y);
    SendMessageA(c, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(c, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pump();
}

void EditorHost::drag(HWND c, int x0, int y0, int x1, int y1, int steps, bool shift)
{
    const WPARAM keys = MK_LBUTTON | (shift ? MK_SHIFT : 0);
    SendMessageA(c, WM_MOUSEMOVE, 0, MAKELPARAM(x0, y0));
    SendMessageA(c, WM_LBUTTONDOWN, keys, MAKELPARAM(x0, y0));
    for (int i = 1; i <= steps; ++i)
        SendMessageA(c, WM_MOUSEMOVE, keys, MAKELPARAM(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps));
    SendMessageA(c, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
    pump();
}

void EditorHost::wheel(HWND c, int notches)
{
    RECT r;
    GetWindowRect(c, &r);
    SendMessageA(c, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(r.left + 5, r.top + 5));
    pump();
}

void EditorHost::key(HWND c, UINT vk)
{
    SendMessageA(c, WM_KEYDOWN, vk, 0);
    SendMessageA(c, WM_KEYUP, vk, 0xC0000000);
    pump();
}

void EditorHost::type(HWND c, const char* text)
{
    for (const char* p = text; *p; ++p)
        SendMessageA(c, WM_CHAR, static_cast<unsigned char>(*p), 0);
}

void EditorHost::enter(int fieldId, const char* text, bool escape)
{
    HWND field = item(fieldId);
    SendMessageA(field, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    pump();
    HWND entry = GetWindow(field, GW_CHILD);
    if (!entry)
        return;
    SendMessageA(entry, EM_SETSEL, 0, -1);
    SendMessageA(entry, WM_CLEAR, 0, 0);
    type(entry, text);
    key(entry, escape ? VK_ESCAPE : VK_RETURN);
    pump();
}

void EditorHost::answerDuring(Answer& answer, const std::function<void()>& action)
{
    gAnswer = &answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, answerTimer);
    action();
    pump();
    KillTimer(nullptr, timer);
    gAnswer = nullptr;
}

std::vector<std::string> EditorHost::withMenu(const std::function<void()>& action, std::vector<UINT> keys)
{
    Answer a;
    a.menu = true;
    a.keys = std::move(keys);
    answerDuring(a, action);
    return a.items;
}

std::string EditorHost::withMessageBox(const std::function<void()>& action, int button)
{
    Answer a;
    a.button = button;
    answerDuring(a, action);
    return a.text;
}

std::vector<uint32_t> EditorHost::pixels(HWND window)
{
    std::vector<uint32_t> out = qv::windowPixels(window ? window : editor_);
    for (uint32_t& p : out)
        p &= 0xFFFFFF;
    return out;
}

bool EditorHost::saveBmp(const char* path, HWND window) { return qv::saveWindowBmp(window ? window : editor_, path); }

}  // namespace qvtest
