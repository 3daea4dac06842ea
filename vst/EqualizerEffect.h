#pragma once
// The VST effect: the record a host sees, the dispatcher, the parameter and audio entry points.

#include <memory>

#include "AnalyzerRing.h"
#include "EffectEditor.h"
#include "EqualizerEngine.h"
#include "VstInterface.h"

namespace qv {

constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('Z', 'E', 'q', '3');
constexpr vst::VstInt32 kIdentifyCode = vst::fourCharCode('N', 'v', 'E', 'f');

class EqualizerEffect {
public:
    // Makes the platform's editor object for an effect; null where there is none.
    using EditorFactory = EffectEditor* (*)(EqualizerEffect& effect);

    EqualizerEffect(vst::AudioMasterCallback audioMaster, EditorFactory makeEditor);
    ~EqualizerEffect();
    EqualizerEffect(const EqualizerEffect&) = delete;
    EqualizerEffect& operator=(const EqualizerEffect&) = delete;

    vst::AEffect* aeffect() { return &effect_; }
    EqualizerEngine& engine() { return engine_; }
    // The samples the editor's analyzer takes while it is attached.
    AnalyzerRing& analyzerRing() { return ring_; }
    EffectEditor* editor() { return editor_.get(); }
    float sampleRate() const { return engine_.sampleRate(); }
    vst::VstInt32 blockSize() const { return blockSize_; }

    vst::VstIntPtr dispatch(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr, float opt);
    // For the editor: store a user's change and report it to the host as automation.
    void setValueAutomated(int index, int32_t value);
    // For the editor after it changed its size: asks the host to fit its window; true when it did.
    bool askHostToResize(int width, int height);

    // The object behind a record handed to the host, or null if the record is not ours.
    static EqualizerEffect* fromRecord(vst::AEffect* effect);

private:
    void setProgram(vst::VstInt32 program);
    static void onParameterWritten(void* self);

    vst::AudioMasterCallback audioMaster_;
    vst::VstInt32 currentProgram_ = 0;
    vst::VstInt32 blockSize_ = 1024;
    vst::AEffect effect_{};
    EqualizerEngine engine_;
    AnalyzerRing ring_;  // before the editor, which may still hold it while it closes
    std::unique_ptr<EffectEditor> editor_;
};

}  // namespace qv
