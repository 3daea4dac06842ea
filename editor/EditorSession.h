#pragma once
// One open editor: the controls, the images they borrow, the preset store and the timer, from open
// (or attach) to close. Shared-owned, so that a menu, message box or dialog still on the stack
// keeps it alive when the host closes the editor meanwhile; after close it no longer has a model.

#include <windows.h>

#include <climits>

#include <memory>

#include "EditorLayout.h"
#include "EditorLogic.h"
#include "EditorProfile.h"
#include "EqualizerModel.h"
#include "PresetStore.h"
#include "ScopedWin.h"
#include "AnalyzerReplica.h"
#include "FrequencyAnalyzer.h"

namespace qv {

class EditorSession : public std::enable_shared_from_this<EditorSession> {
public:
    EditorSession(HINSTANCE module, EqualizerModel& model, const EditorProfile& profile, bool firstTickPending);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Builds everything in `window`; `own`: the window is ours to destroy.
    // Places, sizes, art and fonts follow `scale`, which the session owns from then on.
    bool build(HWND window, bool own, Scale scale = kScale100);
    Scale scale() const { return scale_; }
    // Builds the controls again at another scale, keeping the model's values, the selection, the undo
    // step, the graph's range and the focus; the window takes the size of that scale. False when
    // nothing changed, or when a menu or dialog of the editor is open: the change then comes again
    // (a posted WM_DPICHANGED_AFTERPARENT) once the last one has closed.
    bool rescale(Scale scale);
    // The scale of the window the editor is shown in: the host's frame for our own window (as at
    // open), the dialog itself when attached.
    Scale hostScale() const;
    void close();
    bool closed() const { return model_ == nullptr; }
    HWND window() const { return window_; }
    bool firstTickPending() const { return firstTickPending_; }

    bool handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void refreshControls(Refresh request);
    void refreshMeters();
    void modelConnected();
    void modelDisconnecting();

private:
    // Keeps the session alive across a modal loop and counts it, so close() can end the loop.
    class Modal {
    public:
        explicit Modal(EditorSession& s) : keep_(s.shared_from_this()) { ++s.modalDepth_; }
        ~Modal();

    private:
        std::shared_ptr<EditorSession> keep_;
    };

    // ---- building (Editor.cpp) ----
    HWND addControl(const char* cls, const char* caption, int id, layout::Rect r, DWORD bits,
                    HBITMAP createParam = nullptr);
    const uint8_t* sprite(int vstId) const;
    // The resource id of a piece of art at this session's scale (SKIN_SCALED_ID), given its 100 % id.
    int scaledArt(int scaledItem, int id100) const;
    int typeIcon(int32_t type) const;
    int px(int v) const { return scalePx(v, scale_); }
    void buttonImages(HWND button, int normal, int pressed);
    void createControls();
    void createBand(int column);
    void createClipLamps();
    void layOut();
    void loadArt();
    void destroyControls();  // ours; a dialog's own clip lamps stay
    void showClipLamp(int channel, int32_t state);
    HWND item(int id) const { return GetDlgItem(window_, id); }

    // ---- the model through the controls (Editor.cpp) ----
    void setFromControl(int id, int32_t value);
    int32_t getFromControl(int id);
    void snapshot() { model_->snapshotForUndo(-2); }
    void taggedSnapshot(int tag);
    void setText(HWND control, const char* text);
    void repaintNow(HWND control);  // what waits for a paint is painted now (not while building)
    void enable(HWND control, bool on);
    void refreshColumn(int column, Refresh request, bool qMode);

    // ---- messages (EditorCommands.cpp) ----
    bool onCommand(int id, int code, HWND control);
    bool onControlNotice(UINT message, WPARAM wParam, LPARAM lParam);  // the skinned controls' own messages
    void onButton(int id, int code);
    void onEntry(int id, HWND control);
    void onStep(int id, int step);
    void onSlider(HWND slider, int value);
    void onSliderReset(int id);
    void onGraphChanged(bool wheel);
    void onGraphToggle(int band);
    void onTick();
    void onBackgroundRightClick(LPARAM position);
    void onPaint();
    void drawBackground(HDC dc);
    void onDataRequest(char** out);

    // ---- the analyzer (EditorAnalyzer.cpp) ----
    // Claims the model's ring and shows the chosen traces; at build and when a model comes.
    void startAnalyzer();
    // Lets the ring go; at close, before the controls are rebuilt and before a model goes.
    void stopAnalyzer();
    void configureAnalyzer();
    // Everything the ring holds, through the bands' copy into the analyzer; the frames taken.
    uint32_t drainAnalyzer();
    // From the 50 ms tick: takes what arrived and wakes the analyzer's own timer when sound comes.
    void pollAnalyzer();
    void onAnalyzerTick();
    void chooseAnalyzer(AnalyzerMode mode);
    static AnalyzerMode rememberedAnalyzer();  // the user's choice, which new editors start with

    // ---- commands and menus (EditorCommands.cpp) ----
    // At (left + 1, bottom - 1) of `anchor`, else at `at`; `rightButton`: its items are also chosen
    // with the right button (the band, range and background menus, opened by that button too).
    int trackMenu(HMENU menu, HWND anchor, const POINT* at, bool rightButton = false);
    void bandMenu(int column);
    void typeMenu(int column);
    void rangeMenu(POINT screen);
    void setupMenu();
    void presetsMenu();
    void switchSetup(int setup, bool takeSnapshot);
    void setupCaption();
    void reset();
    void flat();
    void copyBand(int from, int to);
    void applyData(const char* data);
    void help();

    HINSTANCE module_;
    EqualizerModel* model_;
    const EditorProfile& profile_;
    HWND window_ = nullptr;
    bool ownWindow_ = false;
    bool classesHeld_ = false;
    bool firstTickPending_;
    Scale scale_ = kScale100;
    bool firstPaint_ = true;
    bool building_ = false;  // no control is drawn alone before the window's first paint
    int modalDepth_ = 0;
    bool rescaleDeferred_ = false;
    int bitsPerPixel_ = 0;
    int graphRate_ = 0;
    // The held peaks the peak text shows, so that a tick without news measures no text.
    int shownHeld_[2] = {INT_MIN, INT_MIN};
    Bitmap background_;
    Palette palette_;
    Bitmap graphSkin_;
    Font peakFont_;
    Bitmap clipImages_[3];  // off, has clipped, clipping
    std::unique_ptr<PresetStore> store_;
    AnalyzerMode analyzerMode_ = kAnalyzerOutput;
    AnalyzerRing* ring_ = nullptr;  // claimed from the model while the analyzer shows
    std::unique_ptr<FrequencyAnalyzer> analyzer_;
    std::unique_ptr<AnalyzerReplica> replica_;  // the bands again, over the ring's input
    float analyzerRate_ = 0.0f;     // the samples' own rate it was configured for
    bool analyzerRunning_ = false;  // its timer
    uint32_t analyzerPending_ = 0;  // frames taken since its last frame
    DWORD lastFrameAt_ = 0, lastSamplesAt_ = 0;
    DWORD blockWaitMs_ = 0;  // how long a frame waits for the next block before the traces fall
};

extern const char kEditorWindowClass[];

// Finds the manual and shows it, or says why not (EditorHelp.cpp).
void showManual(HWND owner, HelpSource source, HINSTANCE module);

}  // namespace qv
