#include "EqualizerEffect.h"

#include <cstring>
#include <new>

#include "ParameterText.h"

namespace qv {
namespace {

using namespace vst;

EqualizerEffect* effectOf(AEffect* e) { return EqualizerEffect::fromRecord(e); }

VstIntPtr QV_VSTCALL dispatcherProc(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    EqualizerEffect* self = effectOf(e);
    if (!self)
        return 0;
    if (opcode == effClose) {
        // The host no longer uses the record after this call.
        delete self;
        return 0;
    }
    return self->dispatch(opcode, index, value, ptr, opt);
}

// One block through the engine, its input handed to the analyzer's ring (nothing while it is
// detached).
template <class Process>
void processBlock(AEffect* e, float** inputs, float** outputs, VstInt32 frames, Process process)
{
    EqualizerEffect* self = effectOf(e);
    if (!self || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    // The input is taken first: hosts may process in place.
    const AnalyzerRing::Block b = self->analyzerRing().beginBlock(inputs[0], inputs[1], frames);
    process(self->engine());
    self->analyzerRing().endBlock(b);
}

void QV_VSTCALL processProc(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    processBlock(e, inputs, outputs, frames, [&](EqualizerEngine& engine) { engine.process(inputs, outputs, frames); });
}

void QV_VSTCALL processReplacingProc(AEffect* e, float** inputs, float** outputs, VstInt32 frames)
{
    processBlock(e, inputs, outputs, frames,
                 [&](EqualizerEngine& engine) { engine.processReplacing(inputs, outputs, frames); });
}

void QV_VSTCALL setParameterProc(AEffect* e, VstInt32 index, float value)
{
    if (EqualizerEffect* self = effectOf(e))
        self->engine().setNormalized(index, value);
}

float QV_VSTCALL getParameterProc(AEffect* e, VstInt32 index)
{
    EqualizerEffect* self = effectOf(e);
    return self ? self->engine().getNormalized(index) : 0.0f;
}

}  // namespace

EqualizerEffect* EqualizerEffect::fromRecord(AEffect* e)
{
    if (!e || e->magic != kEffectMagic || !e->object)
        return nullptr;
    return static_cast<EqualizerEffect*>(e->object);
}

EqualizerEffect::EqualizerEffect(AudioMasterCallback audioMaster, EditorFactory makeEditor) : audioMaster_(audioMaster)
{
    // The base layer's defaults first, then this effect's own values.
    effect_.magic = kEffectMagic;
    effect_.dispatcher = dispatcherProc;
    effect_.process = processProc;
    effect_.setParameter = setParameterProc;
    effect_.getParameter = getParameterProc;
    effect_.processReplacing = processReplacingProc;
    effect_.numPrograms = 1;
    effect_.numParams = kParamCount;
    effect_.numInputs = 1;
    effect_.numOutputs = 2;
    effect_.flags = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = fourCharCode('N', 'o', 'E', 'f');
    effect_.version = 1;
    engine_.setSampleRate(44100.0f);

    setProgram(0);
    effect_.numInputs = 2;
    effect_.numOutputs = 2;
    effect_.flags |= effFlagsCanMono | effFlagsCanReplacing;
    effect_.uniqueID = kUniqueId;
    engine_.resetState();

    engine_.setUpdateHook(&EqualizerEffect::onParameterWritten, this);
    if (makeEditor) {
        editor_.reset(makeEditor(*this));
        if (editor_)
            effect_.flags |= effFlagsHasEditor;
    }
}

EqualizerEffect::~EqualizerEffect()
{
    engine_.setUpdateHook(nullptr, nullptr);
    if (editor_)
        editor_->close();
    effect_.object = nullptr;
    effect_.magic = 0;
}

void EqualizerEffect::onParameterWritten(void* self)
{
    auto* effect = static_cast<EqualizerEffect*>(self);
    if (effect->editor_)
        effect->editor_->postUpdate();
}

void EqualizerEffect::setProgram(VstInt32 program)
{
    if (program != 0)
        return;
    currentProgram_ = program;
    // Column by column, as the program's values were stored.
    for (int c = 0; c < kColumns; ++c)
        for (int r = 0; r < kRows; ++r)
            engine_.setNormalized(paramIndex(r, c), engine_.programValue(paramIndex(r, c)));
}

void EqualizerEffect::setValueAutomated(int index, int32_t value)
{
    engine_.setValue(index, value);
    if (audioMaster_ && isValidIndex(index))
        audioMaster_(&effect_, audioMasterAutomate, index, 0, nullptr, engine_.getNormalized(index));
}

bool EqualizerEffect::askHostToResize(int width, int height)
{
    return audioMaster_ && audioMaster_(&effect_, audioMasterSizeWindow, width, height, nullptr, 0.0f) != 0;
}

VstIntPtr EqualizerEffect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effSetProgram:
        if (value == 0)
            setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram:
        return currentProgram_;
    case effSetProgramName:
        if (text)
            engine_.setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text)
            std::memcpy(text, engine_.programName(), std::strlen(engine_.programName()) + 1);
        return 0;
    case effGetParamLabel:
        parameterLabel(index, text, kParamTextSize);
        return 0;
    case effGetParamDisplay:
        parameterDisplay(index, engine_.getValue(index), text, kParamTextSize);
        return 0;
    case effGetParamName:
        parameterName(index, text, kParamTextSize);
        return 0;
    case effSetSampleRate:
        engine_.setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        blockSize_ = static_cast<VstInt32>(value);
        return 0;
    case effMainsChanged:
        if (value == 0)
            engine_.resetState();
        else
            engine_.clearClip();
        return 0;
    case effEditGetRect:
        if (!editor_ || !ptr)
            return 0;
        return editor_->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen:
        return editor_ && editor_->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor_)
            editor_->close();
        return 0;
    case effEditIdle:
        if (editor_)
            editor_->idle();
        return 0;
    case effIdentify:
        return kIdentifyCode;
    default:
        return 0;  // effOpen, effClose (handled by the entry), chunks, later opcodes
    }
}

// ---- editor defaults -----------------------------------------------------------------------------

bool EffectEditor::getRect(ERect** rect)
{
    *rect = &rect_;
    return true;
}

void EffectEditor::idle()
{
    if (takeUpdate())
        update();
}

}  // namespace qv
