// The VST side of the editor: the model over this effect's engine, and the editor in its own window
// inside the host's frame.
#include "WindowEditor.h"

#include <windows.h>

#include <new>

#include "Editor.h"
#include "EqualizerEffect.h"
#include "VstEditorProfile.h"

HINSTANCE qvModuleHandle();

namespace qv {
namespace {

class EffectModel final : public EqualizerModel {
public:
    explicit EffectModel(EqualizerEffect& effect) : effect_(effect), engine_(effect.engine()) {}

    int32_t value(int index) override { return engine_.getValue(index); }
    // Only the user's changes come here; the host hears of each as automation.
    void store(int index, int32_t value) override { effect_.setValueAutomated(index, value); }
    int currentSetup() override { return engine_.currentSetup(); }
    void selectSetup(int setup) override { engine_.selectSetup(setup); }
    void copySetup(int from, int to) override { engine_.copySetup(from, to); }
    void snapshotForUndo(int tag) override { engine_.snapshotForUndo(tag); }
    void undo() override { engine_.undo(); }
    bool bypassed() override { return engine_.isBypassed() != 0; }
    void setBypass(bool on) override { engine_.setBypass(on ? 1 : 0); }
    void designDisplay() override { engine_.designCoefficients(); }
    BandRecord* bandRecord(int column) override { return engine_.bandRecord(column); }
    void readPeaks(float& left, float& right) override { engine_.readMeters(left, right); }
    int32_t clipCounter(int channel, int pair) override { return engine_.getClipCounter(channel, pair); }
    void setClipCounter(int channel, int pair, int32_t value) override { engine_.setClipCounter(channel, pair, value); }
    float sampleRate() override { return engine_.sampleRate(); }
    // An effect has one editor.
    AnalyzerRing* claimAnalyzerRing() override { return &effect_.analyzerRing(); }
    void releaseAnalyzerRing() override { effect_.analyzerRing().detach(); }
    // The presets menu's check mark survives closing the window with the effect.
    int32_t currentPreset() override { return currentPreset_; }
    void setCurrentPreset(int32_t id) override { currentPreset_ = id; }

private:
    EqualizerEffect& effect_;
    EqualizerEngine& engine_;
    int32_t currentPreset_ = -1;
};

class WindowEditor final : public EffectEditor {
public:
    explicit WindowEditor(EqualizerEffect& effect)
        : EffectEditor(effect), model_(effect), editor_(qvModuleHandle(), model_, kVstEditorProfile)
    {
        // Opened on or moved to a display of another DPI, the editor takes another size than the
        // host was told; hosts that cannot fit their window to it answer 0 and show what fits.
        editor_.setResizeHandler([&effect](int width, int height) { effect.askHostToResize(width, height); });
    }
    ~WindowEditor() override { editor_.close(); }

    bool open(void* parentWindow) override
    {
        // The editor lives inside the host's window; without one there is nothing to open.
        HWND parent = static_cast<HWND>(parentWindow);
        if (!parent || !IsWindow(parent))
            return false;
        HWND current = editor_.window();
        if (current && IsWindow(current) && GetParent(current) == parent)
            return true;
        // A host may have destroyed its frame without closing us, or open us in another frame.
        return editor_.open(parent) != nullptr;
    }

    // Hosts ask for the size before opening.
    bool getRect(vst::ERect** rect) override
    {
        const Scale scale = editor_.sizingScale();
        rect_.right = static_cast<int16_t>(layout::editorWidth(scale));
        rect_.bottom = static_cast<int16_t>(layout::editorHeight(scale));
        return EffectEditor::getRect(rect);
    }

    void close() override { editor_.close(); }
    void update() override { editor_.update(); }

private:
    EffectModel model_;
    Editor editor_;
};

}  // namespace

EffectEditor* makeWindowEditor(EqualizerEffect& effect) { return new (std::nothrow) WindowEditor(effect); }

}  // namespace qv
