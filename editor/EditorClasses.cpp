// The editor's window classes, registered while any editor of the module is open, and the window
// procedure of the editor's own window.
#include <windows.h>

#include <commctrl.h>

#include "Editor.h"
#include "EditorSession.h"
#include "Skin.h"

namespace qv {

const char kEditorWindowClass[] = "qvEqualizerWindowClass";

namespace {

int gEditors;  // user-interface thread only, like every window

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* editor = reinterpret_cast<Editor*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    LRESULT result = 0;
    if (editor && editor->handleMessage(window, message, wParam, lParam, &result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool acquireEditorClasses(HINSTANCE module)
{
    if (gEditors == 0) {
        InitCommonControls();
        WNDCLASSA wc{};
        wc.lpfnWndProc = editorWindowProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kEditorWindowClass;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
        // A page may have registered the control classes already; that is no failure.
        RegisterSkinClasses(module);
    }
    ++gEditors;
    return true;
}

void releaseEditorClasses(HINSTANCE module)
{
    if (gEditors == 0 || --gEditors > 0)
        return;
    UnregisterClassA(kEditorWindowClass, module);
    UnregisterSkinClasses(module);
}

}  // namespace qv
