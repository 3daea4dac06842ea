// The editor of the real VST DLL in a test host: layout, the user's changes reaching the engine and
// the host, menus and commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ControlProtocol.h"
#include "EditorHarness.h"
#include "GraphMath.h"
#include "FrequencyAnalyzer.h"
#include "PluginContract.h"

using namespace qvtest;
using qv::PluginHost;
using namespace qv;

namespace {

class Editor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.ok()); }
    // Automation events reported since the last call.
    std::vector<qv::AutomationEvent> automation()
    {
        std::vector<qv::AutomationEvent> out;
        out.swap(PluginHost::s_automation);
        return out;
    }
    bool enabled(int id) { return IsWindowEnabled(h.item(id)) != FALSE; }
    void press(int id) { SendMessageA(h.item(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
    void release(int id) { SendMessageA(h.item(id), WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); }
    void clickButton(int id)
    {
        h.click(h.item(id), 5, 5);
        h.pump();
    }
    EditorHost h;
};

RECT placeIn(HWND parent, HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(Editor, ControlsStandWhereTheLayoutPutsThemInTabOrder)
{
    char cls[64];
    GetClassNameA(h.editor(), cls, sizeof cls);
    EXPECT_STREQ(cls, "qvEqualizerWindowClass");
    RECT client;
    GetClientRect(h.editor(), &client);
    EXPECT_EQ(client.right, 506);
    EXPECT_EQ(client.bottom, 411);

    struct Place {
        int id;
        const char* cls;
        int x, y, w, h;
    };
    const Place places[] = {
        {20000, "qv:EQGraph", 17, 45, 471, 140},   {20010, "qv:PushButton", 16, 16, 76, 21},
        {20013, "qv:PushButton", 235, 16, 15, 21}, {20016, "qv:PushButton", 411, 16, 76, 21},
        {1100, "qv:PushButton", 20, 206, 24, 21},  {1101, "qv:PushButton", 48, 206, 27, 21},
        {1106, "qv:PushButton", 75, 206, 15, 21},  {1102, "qv:Edit", 94, 206, 40, 21},
        {1203, "qv:Edit", 154, 229, 40, 21},       {1604, "qv:Edit", 199, 321, 40, 21},
        {1605, "qv:Slider", 261, 324, 150, 20},    {20022, "qv:PushButton", 20, 345, 50, 21},
        {1004, "qv:Edit", 199, 344, 40, 21},       {1005, "qv:Slider", 261, 347, 150, 20},
        {20031, "qv:Meter", 462, 210, 12, 144},    {20032, "qv:StaticText", 427, 190, 52, 11},
        {10600, "Static", 432, 201, 12, 9},        {10601, "Static", 462, 201, 12, 9},
    };
    for (const Place& p : places) {
        HWND w = h.item(p.id);
        ASSERT_NE(w, nullptr) << p.id;
        GetClassNameA(w, cls, sizeof cls);
        EXPECT_STRCASEEQ(cls, p.cls) << p.id;
        const RECT r = placeIn(h.editor(), w);
        EXPECT_EQ(r.left, p.x) << p.id;
        EXPECT_EQ(r.top, p.y) << p.id;
        EXPECT_EQ(r.right - r.left, p.w) << p.id;
        EXPECT_EQ(r.bottom - r.top, p.h) << p.id;
    }

    // Creation order is the tab order.
    std::vector<int> order;
    for (HWND w = GetWindow(h.editor(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        order.push_back(GetDlgCtrlID(w));
    std::vector<int> expected = {20000, 20010, 20011, 20012, 20013, 20014, 20015, 20016};
    for (int c = 1; c <= 6; ++c)
        for (int offset : {0, 1, 6, 2, 3, 4, 5})
            expected.push_back(1000 + 100 * c + offset);
    for (int id : {20022, 1004, 1005, 20030, 20031, 20032, 10600, 10601})
        expected.push_back(id);
    EXPECT_EQ(order, expected);

    // The default program, as the fields show it.
    EXPECT_EQ(h.text(1102), "40");
    EXPECT_EQ(h.text(1103), "1.0");
    EXPECT_EQ(h.text(1602), "15000");
    EXPECT_EQ(h.text(1104), "0.0");
    EXPECT_EQ(h.text(1004), "0.0");
    EXPECT_EQ(h.text(20012), "Setup A");
    EXPECT_EQ(SendMessageA(h.item(1100), PB_GETCHECK, 0, 0), 1);
    const std::string peak = h.text(20032);
    EXPECT_EQ(peak.substr(0, 5), "-Inf ");
    EXPECT_EQ(peak.substr(peak.size() - 5), " -Inf");
}

TEST_F(Editor, TheUsersChangesReachTheEngineAndTheHostHostWritesOnlyTheScreen)
{
    automation();
    // Band 1 off: its controls grey, its number button stays.
    clickButton(1100);
    EXPECT_EQ(h.value(1), 0);
    auto events = automation();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().index, 1);
    EXPECT_EQ(events.back().value, 0.0f);
    for (int offset : {1, 2, 3, 4, 5, 6})
        EXPECT_FALSE(enabled(1100 + offset)) << offset;
    EXPECT_TRUE(enabled(1100));

    // A host write is no automation; it reaches the controls at the next idle.
    h.effect()->setParameter(h.effect(), 2, 0.0f);
    h.effect()->setParameter(h.effect(), 16, 1000.0f / 22039.0f);  // about 1010 Hz
    EXPECT_TRUE(enabled(1202));
    h.idle();
    EXPECT_TRUE(automation().empty());
    EXPECT_FALSE(enabled(1202));
    EXPECT_EQ(h.text(1202), std::to_string(h.value(16)));
    h.effect()->setParameter(h.effect(), 2, 1.0f);
    h.idle();

    // Typed entries: Enter stores the clamped value, Escape nothing.
    h.enter(1202, "5");
    EXPECT_EQ(h.value(16), 10);
    h.idle();
    EXPECT_EQ(h.text(1202), "10");
    events = automation();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().index, 16);
    h.enter(1202, "30000");
    EXPECT_EQ(h.value(16), 22049);
    h.enter(1202, "500", true);
    EXPECT_EQ(h.value(16), 22049);
    h.enter(1202, "-100");  // below the range: the lowest end, not a wrap to the top
    EXPECT_EQ(h.value(16), 10);
    h.enter(1303, "0.2");  // a Peak/Dip band takes 0.2
    EXPECT_EQ(h.value(24), 2);
    clickButton(1100);     // band 1 on again: a low shelf
    h.enter(1103, "0.2");  // a shelf's Q is at least 0.3
    EXPECT_EQ(h.value(22), 3);
    h.idle();
    EXPECT_EQ(h.text(1103), "0.3");
    h.enter(1004, "300000000");  // past the int range: the top, not a wrap to a cut
    EXPECT_EQ(h.value(28), 240);
    h.enter(1004, "-3.5");
    EXPECT_EQ(h.value(28), -35);
    EXPECT_EQ(SendMessageA(h.item(1005), SL_GETPOS, 0, 0), -35);

    // The slider: a drag to the right raises the gain; a double click sets 0.
    automation();
    HWND slider = h.item(1305);
    h.drag(slider, 75, 10, 120, 10);
    const int32_t raised = h.value(31);
    EXPECT_GT(raised, 0);
    events = automation();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().index, 31);
    EXPECT_EQ(events.back().value, h.param(31));
    for (const auto& e : events)
        EXPECT_EQ(e.index, 31);  // nothing else was reported
    EXPECT_EQ(h.text(1304), std::to_string(raised / 10) + "." + std::to_string(raised % 10));
    h.doubleClick(slider, 75, 10);
    EXPECT_EQ(h.value(31), 0);
    EXPECT_EQ(SendMessageA(slider, SL_GETPOS, 0, 0), 0);

    // The wheel over an edit field steps its value.
    const int32_t before = h.value(19);
    h.wheel(h.item(1502), 1);
    EXPECT_GT(h.value(19), before);
    h.idle();
    EXPECT_EQ(h.text(1502), std::to_string(h.value(19)));

    // Type button: Peak/Dip -> low shelf clamps Q 1.0 into 0.3..2.0? No: 1.0 stays; 50.0 would not.
    h.enter(1203, "50");
    EXPECT_EQ(h.value(23), 500);
    for (int i = 0; i < 3; ++i)  // Peak/Dip -> low shelf -> high shelf -> lowpass
        clickButton(1201);
    EXPECT_EQ(h.value(9), 3);
    EXPECT_EQ(h.value(23), 20);   // clamped by the shelf on the way, then kept
    EXPECT_FALSE(enabled(1204));  // a lowpass band has no gain
    EXPECT_FALSE(enabled(1205));
    EXPECT_TRUE(enabled(1202));
}

TEST_F(Editor, GraphHandlesDragToggleAndTakeTheWheel)
{
    HWND graph = h.item(20000);
    RECT c;
    GetClientRect(graph, &c);
    const qv::GraphAxes axes = qv::makeGraphAxes(c.right, c.bottom, 44100.0f, 20);
    const int x = qv::graphX(axes, 200.0f), y = qv::graphY(axes, 0.0f);  // band 3's handle
    automation();
    h.drag(graph, x, y, x + 40, y - 20, 8);
    EXPECT_GT(h.value(17), 200);
    EXPECT_GT(h.value(31), 0);
    EXPECT_EQ(h.text(1302), std::to_string(h.value(17)));  // rewritten during the drag
    bool frequency = false, gain = false;
    for (const auto& e : automation()) {
        frequency |= e.index == 17;
        gain |= e.index == 31;
    }
    EXPECT_TRUE(frequency && gain);
    const std::vector<uint32_t> before = h.pixels(graph);

    // The handle moved with the band: a double click on it turns the band off.
    const int x2 = qv::graphX(axes, static_cast<float>(h.value(17)));
    const int y2 = qv::graphY(axes, static_cast<float>(h.value(31)));
    h.doubleClick(graph, x2, y2);
    EXPECT_EQ(h.value(3), 0);
    EXPECT_FALSE(enabled(1302));
    h.pump(100);
    EXPECT_NE(h.pixels(graph), before);  // the curve lost the band
}

TEST_F(Editor, MenusOfBandsTypesSetupsAndTheGraphRange)
{
    // Band menu of band 4: its own copy item is grey; a dismissed menu changes nothing.
    std::vector<std::string> items = h.withMenu([&] { h.click(h.item(1400), 5, 5, true); }, {VK_ESCAPE});
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[0], "Set band defaults");
    EXPECT_EQ(items[5], "Copy to band 4 [grey]");
    EXPECT_EQ(items[4], "Copy to band 3");

    // "Copy to all bands" from band 3 makes every band equal to it and leaves band 3 as it was.
    h.enter(1304, "4.5");
    h.withMenu([&] { h.click(h.item(1300), 5, 5, true); }, {VK_UP, VK_RETURN});
    for (int band = 1; band <= 6; ++band) {
        EXPECT_EQ(h.value(7 + band), 0) << band;
        EXPECT_EQ(h.value(14 + band), 200) << band;
        EXPECT_EQ(h.value(21 + band), 8) << band;
        EXPECT_EQ(h.value(28 + band), 45) << band;
    }
    // "Set band defaults" puts band 6 back to its program values, gain 0.
    h.withMenu([&] { h.click(h.item(1600), 5, 5, true); }, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(h.value(13), 2);
    EXPECT_EQ(h.value(20), 15000);
    EXPECT_EQ(h.value(27), 5);
    EXPECT_EQ(h.value(34), 0);

    // Type menu from the arrow, marked at the current type: Peak/Dip with Q 50.0 to lowpass gives 19.0.
    h.enter(1203, "50");
    items = h.withMenu([&] { press(1206); }, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    release(1206);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0], "Peak/Dip [check]");
    EXPECT_EQ(items[3], "Lowpass");
    EXPECT_EQ(h.value(9), 3);
    EXPECT_EQ(h.value(23), 190);
    EXPECT_EQ(h.text(1203), "19.0");

    // Setup menu: copy to B, switch, the same values; the menu then names A.
    items = h.withMenu([&] { press(20013); }, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    release(20013);
    EXPECT_EQ(items, (std::vector<std::string>{"Setup A [check]", "Setup B", "-", "Copy to B", "Copy from B"}));
    clickButton(20012);
    EXPECT_EQ(h.text(20012), "Setup B");
    EXPECT_EQ(h.value(23), 190);
    EXPECT_EQ(h.text(1203), "19.0");
    items = h.withMenu([&] { press(20013); }, {VK_ESCAPE});
    release(20013);
    EXPECT_EQ(items, (std::vector<std::string>{"Setup A", "Setup B [check]", "-", "Copy to A", "Copy from A"}));

    // Graph range menu on a right click in the graph.
    HWND graph = h.item(20000);
    items = h.withMenu([&] { h.click(graph, 60, 20, true); }, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[1], "Range +/- 20 dB [check]");
    EXPECT_EQ(SendMessageA(graph, EQ_GETRANGE, 0, 0), 10);

    // The background popup below the bands offers the home page only.
    items = h.withMenu([&] { h.click(h.editor(), 300, 390, true); }, {VK_ESCAPE});
    EXPECT_EQ(items, (std::vector<std::string>{"Go to Zorvath home page..."}));
}

TEST_F(Editor, ResetFlatBypassUndo)
{
    h.enter(1104, "6");
    h.withMenu([&] { press(1206); }, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // band 2 lowpass
    release(1206);
    clickButton(20022);         // Flat
    EXPECT_EQ(h.value(2), 0);   // the lowpass band goes off
    EXPECT_EQ(h.value(29), 0);  // gains to 0
    EXPECT_EQ(h.value(1), 1);
    EXPECT_EQ(h.value(8), 1);
    clickButton(20011);  // Undo brings the band and its gain back
    EXPECT_EQ(h.value(2), 1);
    EXPECT_EQ(h.value(29), 60);
    clickButton(20011);  // and a second Undo undoes the first
    EXPECT_EQ(h.value(29), 0);

    clickButton(20014);  // Reset
    EXPECT_EQ(h.value(8), 1);
    EXPECT_EQ(h.value(15), 48);
    EXPECT_EQ(h.value(13), 2);
    EXPECT_EQ(h.value(20), 15800);
    for (int band = 1; band <= 6; ++band) {
        EXPECT_EQ(h.value(band), 1);
        EXPECT_EQ(h.value(21 + band), 5);
        EXPECT_EQ(h.value(28 + band), 0);
    }
    EXPECT_EQ(h.text(1602), "15800");

    // "Setup A" while A is current still takes a snapshot: Undo then changes nothing.
    h.enter(1104, "3");
    h.withMenu([&] { press(20013); }, {VK_DOWN, VK_RETURN});
    release(20013);
    clickButton(20011);
    EXPECT_EQ(h.value(29), 30);

    EXPECT_EQ(SendMessageA(h.item(20010), PB_GETCHECK, 0, 0), 0);
    clickButton(20010);
    EXPECT_EQ(SendMessageA(h.item(20010), PB_GETCHECK, 0, 0), 1);
}

TEST_F(Editor, ThePresetStoreGetsTheSettingsAsDataText)
{
    char* text = nullptr;
    SendMessageA(h.editor(), 10900, reinterpret_cast<WPARAM>(&text), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "0,1,1,40,10,0,1,0,60,8,0,1,0,200,8,0,1,0,800,6,0,1,2,4600,6,0,1,2,15000,5,0");
    std::free(text);
    SendMessageA(h.editor(), 10900, 0, 0);  // no pointer: nothing written anywhere
}

TEST_F(Editor, Pictures)
{
    // Pictures to look at (bin/editor-*.bmp): the defaults, and a drag of band 3 in progress.
    h.pump(150);
    h.idle();
    EXPECT_TRUE(h.saveBmp("editor-default.bmp"));
    HWND graph = h.item(20000);
    RECT c;
    GetClientRect(graph, &c);
    const GraphAxes axes = makeGraphAxes(c.right, c.bottom, 44100.0f, 20);
    const int x = graphX(axes, 200.0f), y = graphY(axes, 0.0f);
    SendMessageA(graph, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int i = 1; i <= 6; ++i)
        SendMessageA(graph, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 8 * i, y - 6 * i));
    h.pump();
    EXPECT_TRUE(h.saveBmp("editor-drag.bmp"));
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(x + 48, y - 36));
    h.pump();
}

namespace {

void forgetAnalyzerChoice() { RegDeleteKeyValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, "Analyzer"); }

// The stored choice, or -1 when there is no number.
long storedAnalyzerChoice()
{
    DWORD value = 0, size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, "Analyzer", RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS
               ? static_cast<long>(value)
               : -1;
}

// A sine through the plug-in in host-sized blocks, at about the pace of playback, the editor's
// messages running between the blocks.
void playTone(EditorHost& h, double hz, double amplitude, int ms)
{
    const int block = 512, rate = 44100;
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    long n = 0;
    for (int played = 0; played < ms; played += 1000 * block / rate) {
        for (int i = 0; i < block; ++i, ++n)
            left[i] = right[i] = static_cast<float>(amplitude * std::sin(2 * 3.14159265358979 * hz * n / rate));
        h.effect()->processReplacing(h.effect(), in, out, block);
        h.pump(1000 * block / rate);
    }
}

// Per column of the graph's inner area, the topmost row that differs from `before` (INT_MAX for none),
// left of the dBFS labels at the right edge.
std::vector<int> changedTops(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int width,
                             int height, int frame, int right)
{
    std::vector<int> tops(static_cast<size_t>(width), INT_MAX);
    for (int x = frame; x < right; ++x)
        for (int y = frame; y < height - frame; ++y)
            if (at(before, width, x, y) != at(after, width, x, y)) {
                tops[static_cast<size_t>(x)] = y;
                break;
            }
    return tops;
}

}  // namespace

TEST_F(Editor, AnalyzerShowsAToneWhereItIsAndKeepsTheUsersChoice)
{
    // A first start shows the output.
    forgetAnalyzerChoice();
    h.close();
    ASSERT_TRUE(h.open());
    HWND graph = h.item(20000);
    RECT c;
    GetClientRect(graph, &c);
    const GraphAxes axes = makeGraphAxes(c.right, c.bottom, 44100.0f, 20);
    h.pump(100);
    const std::vector<uint32_t> silent = h.pixels(graph);

    // 1 kHz at half of full scale in both channels reads -6.0 dBFS (a full-scale sine reads 0), drawn
    // as the curve's columns are: two pixels right of the axis' own x.
    playTone(h, 1000.0, 0.5, 700);
    const std::vector<uint32_t> playing = h.pixels(graph);
    h.saveBmp("editor-analyzer-tone.bmp");
    const std::vector<int> tops = changedTops(silent, playing, c.right, c.bottom, 2, c.right - 80);
    const auto peak = std::min_element(tops.begin(), tops.end());
    ASSERT_NE(*peak, INT_MAX) << "no trace drawn";
    const int peakX = static_cast<int>(peak - tops.begin());
    EXPECT_NEAR(peakX, graphX(axes, 1000.0f) + 2, 2);
    EXPECT_NEAR(*peak, analyzerY(axes, -6.02f), 2);
    // Far from the tone the trace lies low: a fall of at least 40 dB two octaves away.
    EXPECT_GT(tops[static_cast<size_t>(graphX(axes, 250.0f) + 2)], analyzerY(axes, -46.0f));

    // Within about a second of silence the trace is gone and the graph is as before.
    h.pump(1600);
    EXPECT_EQ(h.pixels(graph), silent);

    // Band 3 cuts the tone by 12 dB, which the output shows; bypassed, the output is the input again.
    h.enter(1302, "1000");
    h.enter(1304, "-12");
    auto peakOfTone = [&] {
        h.pump(1600);  // the last trace gone
        const std::vector<uint32_t> before = h.pixels(graph);
        playTone(h, 1000.0, 0.5, 700);
        const std::vector<int> t = changedTops(before, h.pixels(graph), c.right, c.bottom, 2, c.right - 80);
        return *std::min_element(t.begin(), t.end());
    };
    EXPECT_NEAR(peakOfTone(), analyzerY(axes, -18.0f), 2);
    clickButton(20010);  // Bypass
    EXPECT_NEAR(peakOfTone(), analyzerY(axes, -6.02f), 2);
    clickButton(20010);
    h.pump(1600);

    // The menu: the ranges as they were, then the analyzer; the choice is kept for the next editor.
    std::vector<std::string> items =
        h.withMenu([&] { h.click(graph, 60, 20, true); },
                   {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(items, (std::vector<std::string>{"Range +/- 40 dB", "Range +/- 20 dB [check]", "Range +/- 10 dB",
                                               "Range +/- 5 dB", "-", "Analyzer: Off", "Analyzer: Output [check]",
                                               "Analyzer: Input and output"}));
    EXPECT_EQ(SendMessageA(graph, EQ_GETRANGE, 0, 0), 20);
    EXPECT_EQ(storedAnalyzerChoice(), 2);
    h.close();
    ASSERT_TRUE(h.open());
    items = h.withMenu([&] { h.click(h.item(20000), 60, 20, true); }, {VK_ESCAPE});
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[7], "Analyzer: Input and output [check]");

    // A value that is not one of the choices shows the output.
    const char text[] = "2";
    RegSetKeyValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, "Analyzer", REG_SZ, text, sizeof text);
    h.close();
    ASSERT_TRUE(h.open());
    graph = h.item(20000);
    items = h.withMenu([&] { h.click(graph, 60, 20, true); }, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[6], "Analyzer: Output [check]");

    // Off: the tone leaves the graph as it was.
    EXPECT_EQ(storedAnalyzerChoice(), 0);
    h.pump(100);
    const std::vector<uint32_t> off = h.pixels(graph);
    playTone(h, 1000.0, 0.5, 300);
    EXPECT_EQ(h.pixels(graph), off);
    forgetAnalyzerChoice();
}
