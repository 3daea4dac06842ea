#pragma once
// The equalizer's editor: the controls on its background (EditorLayout.h), wired to an EqualizerModel.
//
// Two kinds of host window:
// - its own window: open(parent) creates a "qvEqualizerWindowClass" child of the host's frame, whose
//   window procedure hands every message to the editor (the VST DLL);
// - a dialog: attach(dialog) builds the controls inside an existing window (the property page's
//   dialog IDD_EQUALIZER_PAGE, with its two static clip lamps); the dialog procedure passes each message to
//   handleMessage first and returns its result when it says handled. Call attach from
//   WM_INITDIALOG and detach (or close) from WM_DESTROY. The editor knows nothing of the filter:
//   the page registers the dialog for the filter's notices around attach and detach, and turns each
//   notice into an onNotice request.
//
// open and attach read the current preset id from the model and set its editor-open flag; close
// writes the id back and clears the flag.
//
// The window classes (the skinned controls and "qvEqualizerWindowClass") are registered while any
// editor of the process is open, counted across both kinds of host.
//
// An editor may be closed (its host window gone, its model about to die) while one of its menus,
// message boxes or the Preset Manager is open: close() then ends those and the editor touches
// neither the model nor freed memory when they return. Keep the model alive until close() returns.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "EditorLayout.h"
#include "EditorLogic.h"
#include "EditorProfile.h"
#include "EqualizerModel.h"

namespace qv {

class EditorSession;

class Editor {
public:
    Editor(HINSTANCE module, EqualizerModel& model, const EditorProfile& profile);
    ~Editor();  // closes
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Own window inside `parent`; null on failure. The window is at 0,0, layout::kEditorW x kEditorH at the
    // display scale of `parent` (layout::editorWidth/Height).
    HWND open(HWND parent);
    // The scale a host sizes its window for before opening: that of the last open or attach, or the
    // desktop's before the first.
    Scale sizingScale() const;
    // Controls inside an existing window (a dialog) sized for the display scale of that window;
    // false on failure.
    bool attach(HWND window);
    // Destroys the controls (and the own window); safe to call twice and from inside a menu.
    void close();
    void detach() { close(); }

    HWND window() const;

    // Called after the editor has changed its own size (a change of the display's DPI while open:
    // WM_DPICHANGED_AFTERPARENT), or when open or attach built it at another size than the host had
    // from sizingScale (a frame on a display of another DPI than the desktop's), with the new client
    // size, so that the host can fit its frame.
    void setResizeHandler(std::function<void(int width, int height)> handler) { onResized_ = std::move(handler); }

    // The host window's messages. True when the editor handled it, with the result in *result.
    bool handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Everything from the model again (a host's parameter writes, a loaded setting).
    void update();
    // The model was given an equalizer, or is about to lose it, while the editor is open (a property
    // page activated before it was connected): the current preset id comes from the new equalizer,
    // and goes back to the old one, as at open and close.
    void modelConnected();
    void modelDisconnecting();
    // What a change behind the editor's back asks of it: everything again after new settings, the
    // enable states and graph after a new format. Ignored while the model's editor-open flag is off.
    enum class Notice {
        kSettingsReplaced,
        kFormatChanged
    };
    void onNotice(Notice notice);

private:
    // Lays the editor out again at the scale of the window it is shown in now.
    void followDpi();
    // Tells the handler the size of the editor at `scale`.
    void announceSize(Scale scale);

    std::shared_ptr<EditorSession> session_;
    std::function<void(int, int)> onResized_;
    bool firstTickPending_ = true;  // the first tick after the first open copies the setup
    // What the host was last told the size is for: the scale of the last open or attach, or of the
    // last DPI change. The scale the editor is built at is its session's.
    std::optional<Scale> told_;
    HINSTANCE module_;
    EqualizerModel& model_;
    const EditorProfile& profile_;
};

// The window classes of the editor (its own and the skinned controls'), counted: registered by the
// first hold and unregistered when the last goes. Every open editor holds them; the property page
// holds them from its creation.
bool acquireEditorClasses(HINSTANCE module);
void releaseEditorClasses(HINSTANCE module);

// Finds the manual and shows it over `owner`, or says why not; the property page's Help too.
void showManual(HWND owner, HelpSource source, HINSTANCE module);

}  // namespace qv
