#pragma once
// Is what a window shows after it opened and its messages ran what it would show after a full
// repaint? Read from the window's DC, which paints nothing: a part the first paint left out (a lost
// erase, a control drawn before its parent) shows up as pixels the repaint changes.
//
// With QV_PAINT_PICTURES set to a folder, both states of every window checked are saved there as
// NAME-first.bmp and NAME-repainted.bmp, frame included.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "WindowPixels.h"

namespace qvtest {

inline void savePaintPicture(HWND window, const std::string& name, const char* state)
{
    const char* folder = std::getenv("QV_PAINT_PICTURES");
    if (folder && *folder)
        qv::saveWindowBmp(window, (std::string(folder) + "\\" + name + "-" + state + ".bmp").c_str());
}

// How many pixels of the client area (children included) a forced full repaint changes.
inline long repaintChanges(HWND window, const std::string& name)
{
    // A blinking caret is no part of either state.
    const bool caretHidden = HideCaret(nullptr) != FALSE;
    savePaintPicture(window, name, "first");
    const std::vector<uint32_t> first = qv::windowPixels(window);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::vector<uint32_t> repainted = qv::windowPixels(window);
    savePaintPicture(window, name, "repainted");
    if (caretHidden)
        ShowCaret(nullptr);
    if (first.empty() || first.size() != repainted.size())
        return -1;
    long changed = 0;
    for (size_t i = 0; i < first.size(); ++i)
        changed += first[i] != repainted[i];
    return changed;
}

// Runs this thread's messages for `ms` milliseconds, as a host's message loop does.
inline void pumpFor(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

}  // namespace qvtest
