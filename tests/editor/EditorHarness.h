#pragma once
// A VST host under Wine for the editor's tests: the real plug-in DLL loaded through "main", its
// editor opened in a real top-level frame, real mouse and keyboard messages, popup menus and
// message boxes answered from outside the product, and the window's pixels read back.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PluginHost.h"

namespace qvtest {

// What the answering timer does while a product's modal loop runs, and what it saw.
struct Answer {
    bool menu = false;
    std::vector<UINT> keys;
    int button = IDOK;
    bool done = false;
    std::vector<std::string> items;
    std::string text;
};

class EditorHost {
public:
    EditorHost();
    ~EditorHost();
    bool ok() const { return editor_ != nullptr; }
    vst::AEffect* effect() const { return host_.effect(); }
    qv::PluginHost& host() { return host_; }
    HWND frame() const { return frame_; }
    HWND editor() const { return editor_; }
    HWND item(int id) const { return GetDlgItem(editor_, id); }

    bool open();
    void close();
    void idle();  // effEditIdle, then the messages it caused
    void pump(int ms = 0);

    int32_t value(int index);  // the engine integer, through the host's text of the parameter
    float param(int index) { return effect()->getParameter(effect(), index); }
    std::string text(int id);  // a control's window text

    // Real input, at client coordinates of a control.
    void click(HWND control, int x, int y, bool right = false);
    void doubleClick(HWND control, int x, int y);
    void drag(HWND control, int x0, int y0, int x1, int y1, int steps = 4, bool shift = false);
    void wheel(HWND control, int notches);
    void key(HWND control, UINT vk);
    void type(HWND control, const char* text);  // WM_CHAR per character
    // Opens the in-place entry of an edit field, types `text`, then Enter (or Escape).
    void enter(int fieldId, const char* text, bool escape = false);

    // Runs `action`; the first popup menu that opens meanwhile gets `keys` (virtual keys, each
    // pressed in turn). Returns the menu's item texts as shown, in order.
    std::vector<std::string> withMenu(const std::function<void()>& action, std::vector<UINT> keys);
    // Runs `action`; a message box opening meanwhile is closed with `button`. Returns its text.
    std::string withMessageBox(const std::function<void()>& action, int button = IDOK);

    std::vector<uint32_t> pixels(HWND window = nullptr);  // 0x00RRGGBB, rows top down
    bool saveBmp(const char* path, HWND window = nullptr);

private:
    void answerDuring(Answer& answer, const std::function<void()>& action);
    qv::PluginHost host_;
    HWND frame_ = nullptr;
    HWND editor_ = nullptr;
};

// Pixel at x,y of a window's pixels.
inline uint32_t at(const std::vector<uint32_t>& p, int width, int x, int y) { return p[y * width + x]; }

}  // namespace qvtest
