#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "PluginContract.h"
#include "PluginHost.h"

using namespace qv;
using namespace vst;

namespace {

class Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        PluginHost::s_versionAnswer = 2400;
        PluginHost::s_automation.clear();
        std::string error;
        ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
        e = host.effect();
    }
    PluginHost host;
    AEffect* e = nullptr;
};

}  // namespace

TEST(Entry, AHostWithoutAVersionGetsNoEffect)
{
    PluginHost::s_versionAnswer = 0;
    PluginHost host;
    std::string error;
    EXPECT_FALSE(host.load(qv::kVstFileName, error));
    EXPECT_NE(error.find("returned no effect"), std::string::npos) << error;
    PluginHost::s_versionAnswer = 2400;

    // Both entry names lead to the same function.
    HMODULE m = LoadLibraryA(qv::kVstFileName);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "main")),
              reinterpret_cast<void*>(GetProcAddress(m, "VSTPluginMain")));
    FreeLibrary(m);
}

TEST_F(Host, TheEffectRecordIsFilledIn)
{
    EXPECT_EQ(e->magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 35);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 25);
    EXPECT_EQ(e->uniqueID, 0x5A457133);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->resvd1 | e->resvd2, 0);
    EXPECT_EQ(e->initialDelay | e->realQualities | e->offQualities, 0);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_NE(e->object, nullptr);
    for (char c : e->future)
        ASSERT_EQ(c, 0);
}

TEST_F(Host, NamesDisplaysAndLabelsOfAllParameters)
{
    // name, display, label after main, by index
    const char* const expected[35][3] = {
        {"", "-", ""},
        {"Enabled 1", "Yes", ""},
        {"Enabled 2", "Yes", ""},
        {"Enabled 3", "Yes", ""},
        {"Enabled 4", "Yes", ""},
        {"Enabled 5", "Yes", ""},
        {"Enabled 6", "Yes", ""},
        {"", "-", ""},
        {"Filter 1", "LowShelf", ""},
        {"Filter 2", "Peak/Dip", ""},
        {"Filter 3", "Peak/Dip", ""},
        {"Filter 4", "Peak/Dip", ""},
        {"Filter 5", "HighShelf", ""},
        {"Filter 6", "HighShelf", ""},
        {"", "-", ""},
        {"Freq 1", "40", "Hz"},
        {"Freq 2", "60", "Hz"},
        {"Freq 3", "200", "Hz"},
        {"Freq 4", "800", "Hz"},
        {"Freq 5", "4600", "Hz"},
        {"Freq 6", "15000", "Hz"},
        {"", "-", ""},
        {"Q 1", "1.0", ""},
        {"Q 2", "0.8", ""},
        {"Q 3", "0.8", ""},
        {"Q 4", "0.6", ""},
        {"Q 5", "0.6", ""},
        {"Q 6", "0.5", ""},
        {"Output", "0.0", "dB"},
        {"Gain 1", "0.0", "dB"},
        {"Gain 2", "0.0", "dB"},
        {"Gain 3", "0.0", "dB"},
        {"Gain 4", "0.0", "dB"},
        {"Gain 5", "0.0", "dB"},
        {"Gain 6", "0.0", "dB"},
    };
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(host.text(effGetParamName, i), expected[i][0]) << i;
        EXPECT_EQ(host.text(effGetParamDisplay, i), expected[i][1]) << i;
        EXPECT_EQ(host.text(effGetParamLabel, i), expected[i][2]) << i;
    }
    EXPECT_EQ(host.text(effGetParamDisplay, 35), "-");
    EXPECT_EQ(host.text(effGetParamName, 99), "");

    // Gain texts keep the sign of small cuts; a disabled band says No; unknown types show "-".
    e->setParameter(e, 34, 175.0f / 360.0f);  // -5 tenths
    EXPECT_EQ(host.text(effGetParamDisplay, 34), "-0.5");
    e->setParameter(e, 28, 0.0f);
    EXPECT_EQ(host.text(effGetParamDisplay, 28), "-24.0");
    e->setParameter(e, 3, 0.0f);
    EXPECT_EQ(host.text(effGetParamDisplay, 3), "No");
    e->setParameter(e, 10, 2.0f);
    EXPECT_EQ(host.text(effGetParamDisplay, 10), "-");

    // No text is longer than 10 bytes with its terminator.
    for (int i = 0; i < 35; ++i)
        for (VstInt32 op : {effGetParamName, effGetParamDisplay, effGetParamLabel})
            EXPECT_LE(host.text(op, i).size(), 9u) << i;
}

TEST_F(Host, ParametersReadBackAsTheHostSetThem)
{
    EXPECT_EQ(e->getParameter(e, 28), 0.5f);
    EXPECT_EQ(e->getParameter(e, 15), 30.0f * (1.0f / 22039.0f));
    EXPECT_EQ(e->getParameter(e, 1), 1.0f);
    EXPECT_EQ(e->getParameter(e, 35), 0.0f);
    e->setParameter(e, 17, 0.3141f);
    EXPECT_EQ(e->getParameter(e, 17), 0.3141f);
    e->setParameter(e, 40, 0.5f);  // ignored, no crash
}

TEST_F(Host, ProgramCalls)
{
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(host.text(effGetProgramName, 0), "[1] Default EQ");
    host.dispatch(effSetProgramName, 0, 0, const_cast<char*>("A program name of thirty chars"));
    EXPECT_EQ(host.text(effGetProgramName, 0), "A program name of thirt");

    e->setParameter(e, 29, 0.75f);
    host.dispatch(effSetProgram, 0, 1);  // only program 0 exists
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(e->getParameter(e, 29), 0.75f);
    host.dispatch(effSetProgram, 0, 0);  // re-applies the program's values
    EXPECT_EQ(e->getParameter(e, 29), 0.75f);
    EXPECT_EQ(host.text(effGetParamDisplay, 29), "9.0");
}

TEST_F(Host, OtherOpcodes)
{
    EXPECT_EQ(host.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(host.dispatch(effGetChunk), 0);
    EXPECT_EQ(host.dispatch(effSetChunk), 0);
    EXPECT_EQ(host.dispatch(effGetVu), 0);
    EXPECT_EQ(host.dispatch(effOpen), 0);
    for (VstInt32 op = 25; op < 80; ++op)
        EXPECT_EQ(host.dispatch(op, 0, 0, nullptr), 0) << op;
    EXPECT_EQ(host.dispatch(effSetBlockSize, 0, 256), 0);
    EXPECT_EQ(host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(host.dispatch(effMainsChanged, 0, 1), 0);
    EXPECT_EQ(host.dispatch(effEditDraw), 0);
    EXPECT_EQ(host.dispatch(effGetProgramName, 0, 0, nullptr), 0);  // null buffers are ignored
    EXPECT_EQ(host.dispatch(effGetParamName, 1, 0, nullptr), 0);
}

TEST_F(Host, EditorWindowComesAndGoes)
{
    ERect* rect = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 411);
    EXPECT_EQ(rect->right, 506);

    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, nullptr), 0);  // no host window: refused
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, parent), 1);
    HWND child = GetWindow(parent, GW_CHILD);
    ASSERT_NE(child, nullptr);
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 506);
    EXPECT_EQ(r.bottom, 411);
    EXPECT_EQ(host.dispatch(effEditIdle), 0);
    EXPECT_EQ(host.dispatch(effEditClose), 0);
    EXPECT_FALSE(IsWindow(child));
    // A host that destroys its frame without closing us, then opens us in a new frame.
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, parent), 1);
    DestroyWindow(parent);
    parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(host.dispatch(effEditOpen, 0, 0, parent), 1);
    child = GetWindow(parent, GW_CHILD);
    EXPECT_NE(child, nullptr);
    // Closing the effect with the window open cleans up too.
    host.unload();
    EXPECT_FALSE(IsWindow(child));
    DestroyWindow(parent);
}

TEST(Instances, ManyEffectsOpenAndCloseIndependently)
{
    PluginHost a, b;
    std::string error;
    ASSERT_TRUE(a.load(qv::kVstFileName, error)) << error;
    ASSERT_TRUE(b.load(qv::kVstFileName, error)) << error;
    a.effect()->setParameter(a.effect(), 30, 1.0f);
    EXPECT_EQ(b.effect()->getParameter(b.effect(), 30), 0.5f);
    a.unload();
    EXPECT_EQ(b.effect()->getParameter(b.effect(), 30), 0.5f);
}
