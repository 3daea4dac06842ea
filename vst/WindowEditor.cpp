#include "WindowEditor.h"

#include <windows.h>

#include <new>

#include "EqualizerEffect.h"

HINSTANCE qvModuleHandle();

namespace qv {
namespace {

const char kWindowClass[] = "qvEqualizerWindowClass";
int g_openWindows;  // classes are registered while any editor window is open

LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowEditor final : public EffectEditor {
public:
    using EffectEditor::EffectEditor;
    ~WindowEditor() override { close(); }

    bool open(void* parentWindow) override
    {
        // The editor lives inside the host's window; without one there is nothing to open.
        HWND parent = static_cast<HWND>(parentWindow);
        if (!parent || !IsWindow(parent))
            return false;
        if (window_ && IsWindow(window_) && GetParent(window_) == parent)
            return true;
        // A host may have destroyed its frame without closing us, or open us in another frame.
        close();
        if (g_openWindows == 0) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = editorProc;
            wc.hInstance = qvModuleHandle();
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = kWindowClass;
            if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
                return false;
        }
        ++g_openWindows;
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        window_ = CreateWindowExA(0, kWindowClass, "Window", style, 0, 0, rect_.right, rect_.bottom, parent, nullptr,
                                  qvModuleHandle(), nullptr);
        if (!window_) {
            releaseClass();
            return false;
        }
        return true;
    }

    void close() override
    {
        if (!window_)
            return;
        if (IsWindow(window_))
            DestroyWindow(window_);
        window_ = nullptr;
        releaseClass();
    }

private:
    static void releaseClass()
    {
        if (--g_openWindows == 0)
            UnregisterClassA(kWindowClass, qvModuleHandle());
    }

    HWND window_ = nullptr;
};

}  // namespace

EffectEditor* makeWindowEditor(EqualizerEffect& effect) { return new (std::nothrow) WindowEditor(effect); }

}  // namespace qv
