// The effect without a DLL around it: how host writes, editor refreshes and automation meet.
#include <gtest/gtest.h>

#include <vector>

#include "EqualizerEffect.h"

using namespace qv;
using namespace vst;

namespace {

struct Call {
    VstInt32 opcode, index;
    VstIntPtr value;
    void* ptr;
    float opt;
};
std::vector<Call> gCalls;

VstIntPtr QV_VSTCALL recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode == audioMasterVersion)
        return 2400;
    gCalls.push_back({opcode, index, value, ptr, opt});
    return 0;
}

class CountingEditor final : public EffectEditor {
public:
    using EffectEditor::EffectEditor;
    bool open(void*) override { return true; }
    void close() override {}
    void update() override { ++updates; }
    int updates = 0;
};

EffectEditor* makeCounting(EqualizerEffect& effect) { return new CountingEditor(effect); }

class Core : public ::testing::Test {
protected:
    void SetUp() override { gCalls.clear(); }
    CountingEditor& editor() { return static_cast<CountingEditor&>(*effect.editor()); }
    // One idle round as a host runs it; returns how many refreshes it caused.
    int idle()
    {
        const int before = editor().updates;
        effect.dispatch(effEditIdle, 0, 0, nullptr, 0.0f);
        return editor().updates - before;
    }
    EqualizerEffect effect{&recordingHost, &makeCounting};
};

}  // namespace

TEST_F(Core, HostWritesRefreshTheEditorOnceAtTheNextIdle)
{
    EXPECT_TRUE(effect.aeffect()->flags & effFlagsHasEditor);
    idle();  // whatever construction left pending
    EXPECT_EQ(idle(), 0);
    AEffect* e = effect.aeffect();
    e->setParameter(e, 30, 0.75f);
    e->setParameter(e, 31, 0.25f);
    EXPECT_EQ(idle(), 1);  // two writes, one refresh
    EXPECT_EQ(idle(), 0);
    EXPECT_TRUE(gCalls.empty());  // the host's own writes are never reported back to it
}

TEST_F(Core, OnlyTheEditorsChangesAreReportedAsAutomation)
{
    effect.setValueAutomated(29, 60);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(gCalls[0].index, 29);
    EXPECT_EQ(gCalls[0].value, 0);
    EXPECT_EQ(gCalls[0].ptr, nullptr);
    EXPECT_EQ(gCalls[0].opt, valueToNormalized(29, 60));
    effect.setValueAutomated(29, 999);  // clamped first, then reported as stored
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[1].opt, valueToNormalized(29, 180));

    // Whole changes re-apply the values and refresh the editor without telling the host.
    gCalls.clear();
    idle();
    EqualizerEngine& engine = effect.engine();
    engine.snapshotForUndo(-2);
    engine.selectSetup(1);
    EXPECT_EQ(idle(), 1);
    engine.undo();
    EXPECT_EQ(idle(), 1);
    effect.dispatch(effSetProgram, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(idle(), 1);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(Core, SwitchingOnClearsTheClipCountersOffKeepsThem)
{
    EqualizerEngine& engine = effect.engine();
    engine.setClipCounter(0, 0, 6);
    engine.setClipCounter(1, 0, 6);
    effect.dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(engine.getClipCounter(0, 0), 6);  // off keeps them for the editor to show
    effect.dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(engine.getClipCounter(0, 0), 0);
    EXPECT_EQ(engine.getClipCounter(1, 0), 0);
}
