#pragma once
// The editor object the effect owns: its table of operations as the effect calls them. The window
// behind it is platform code; the effect itself knows only this interface.

#include <atomic>

#include "EditorLayout.h"
#include "VstInterface.h"

namespace qv {

class EqualizerEffect;

class EffectEditor {
public:
    explicit EffectEditor(EqualizerEffect& effect) : effect_(effect) {}
    virtual ~EffectEditor() = default;
    EffectEditor(const EffectEditor&) = delete;
    EffectEditor& operator=(const EffectEditor&) = delete;

    // The rectangle of the editor window: top 0, left 0, and the editor's size.
    virtual bool getRect(vst::ERect** rect);
    virtual bool open(void* parentWindow) = 0;
    virtual void close() = 0;
    // Refreshes the controls when the host has changed a parameter since the last idle.
    virtual void idle();
    virtual void update() {}
    // Called on whatever thread wrote a parameter: only raises the flag.
    void postUpdate() { updatePending_.store(true, std::memory_order_release); }
    bool takeUpdate() { return updatePending_.exchange(false, std::memory_order_acq_rel); }

    EqualizerEffect& effect() { return effect_; }

protected:
    EqualizerEffect& effect_;
    vst::ERect rect_{0, 0, layout::kEditorH, layout::kEditorW};
    std::atomic<bool> updatePending_{false};
};

}  // namespace qv
