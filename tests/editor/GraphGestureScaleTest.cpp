// Gestures on the editor's graph change the same parameters at 200 % as at 100 % for the same hand
// motion. The real plug-in DLL opens its editor in a host's frame; each desktop DPI runs in a fresh copy
// of this program (DesktopDpi.h), which writes what the host reads after each gesture to a file.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/DesktopDpi.h"
#include "GraphMath.h"
#include "ParameterModel.h"
#include "PluginContract.h"
#include "PluginHost.h"

using namespace qvtest;

namespace {

const char kVariable[] = "QV_GESTURE_CHILD";  // "k path": device pixels per 100 % pixel, the report file
const int kGraphId = 20000;

int freqIndex(int band) { return qv::paramIndex(qv::kRowFreq, band); }
int qIndex(int band) { return qv::paramIndex(qv::kRowQ, band); }
int gainIndex(int band) { return qv::paramIndex(qv::kRowGain, band); }

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A mouse on the graph, in device pixels, with k of them to a 100 % pixel. Each message is followed by
// the messages it caused, as a host's loop runs them between two of the mouse's.
class Hand {
public:
    Hand(qv::PluginHost& host, HWND graph, int k) : host_(host), graph_(graph), k_(k) {}

    int32_t value(int index)
    {
        return qv::normalizedToValue(index, host_.effect()->getParameter(host_.effect(), index));
    }
    // The centre of a band's handle at 100 %, from the values the host reads, and the same place at
    // this scale: where a user points to take it.
    POINT handle(int band)
    {
        const qv::GraphAxes a = qv::makeGraphAxes(471, 140, 44100.0f, 20);
        return POINT{k_ * qv::graphX(a, static_cast<float>(value(freqIndex(band)))),
                     k_ * qv::graphY(a, static_cast<float>(value(gainIndex(band))))};
    }
    void press(int band, WPARAM keys = 0)
    {
        at_ = handle(band);
        // The real pointer is there too: the graph looks at it for the screen's edge.
        POINT screen = at_;
        ClientToScreen(graph_, &screen);
        SetCursorPos(screen.x, screen.y);
        send(WM_LBUTTONDOWN, MK_LBUTTON | keys);
    }
    void move(int dx, int dy, WPARAM keys = 0)
    {
        at_.x += dx;
        at_.y += dy;
        send(WM_MOUSEMOVE, MK_LBUTTON | keys);
    }
    void release(WPARAM keys = 0) { send(WM_LBUTTONUP, keys); }
    // Shift as the keyboard holds it: the editor reads the key's state when it shows the values.
    static void holdShift(bool down)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void click(int band, WPARAM keys = 0)
    {
        press(band, keys);
        release(keys);
    }
    void wheel(int notches)
    {
        POINT screen = at_;
        ClientToScreen(graph_, &screen);
        SendMessageA(graph_, WM_MOUSEWHEEL, MAKEWPARAM(0, notches * WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
        pump();
    }

private:
    void send(UINT message, WPARAM keys)
    {
        SendMessageA(graph_, message, keys, MAKELPARAM(at_.x, at_.y));
        pump();
    }
    qv::PluginHost& host_;
    HWND graph_;
    int k_;
    POINT at_{};
};

struct Step {
    std::string name;
    std::vector<int32_t> values;
};

std::vector<Step> readReport(const std::string& path)
{
    std::vector<Step> steps;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Step s;
        fields >> s.name;
        for (int32_t v; fields >> v;)
            s.values.push_back(v);
        steps.push_back(s);
    }
    return steps;
}

// A drag moves a frequency along its drag position, 1000 to a decade, taken at the press.
int32_t draggedFrequency(int32_t frequency, int positions)
{
    const int start = static_cast<int>(1000.0 * std::log10(static_cast<double>(frequency)));
    return static_cast<int32_t>(std::pow(10.0, (start + positions) * 0.001));
}

}  // namespace

TEST(GraphGesturesAtScale, InThisProcess)
{
    QVTEST_ONLY_IN_COPY(kVariable, "GraphGesturesAtScale.SamePhysicalMotionChangesTheSameValues");
    int k = 0;
    char path[MAX_PATH] = {};
    ASSERT_EQ(std::sscanf(std::getenv(kVariable), "%d %259[^\n]", &k, path), 2);
    FILE* report = std::fopen(path, "w");
    ASSERT_NE(report, nullptr);

    qv::PluginHost host;
    std::string error;
    ASSERT_TRUE(host.load(qv::kVstFileName, error)) << error;
    host.dispatch(vst::effOpen);
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    HWND frame = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 506 * k + 40, 411 * k + 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(host.dispatch(vst::effEditOpen, 0, 0, frame), 1);
    HWND graph = GetDlgItem(GetWindow(frame, GW_CHILD), kGraphId);
    ASSERT_NE(graph, nullptr);
    RECT client{};
    GetClientRect(graph, &client);
    ASSERT_EQ(client.right, 471 * k) << "the editor is not at the scale of the desktop";
    pump();

    Hand hand(host, graph, k);
    auto record = [&](const char* name) {
        std::fprintf(report, "%s", name);
        for (int i = 0; i < qv::kParamCount; ++i)
            std::fprintf(report, " %d", static_cast<int>(hand.value(i)));
        std::fprintf(report, "\n");
    };
    // Band 3 (200 Hz, Q 0.8) alone, then band 5 (4600 Hz) added with Ctrl.
    hand.click(3);
    record("click");
    hand.wheel(1);
    record("wheel");
    hand.press(3);
    for (int i = 0; i < 4; ++i)
        hand.move(5 * k, -6 * k);
    hand.release();
    record("drag");
    hand.press(3);
    Hand::holdShift(true);
    for (int i = 0; i < 3; ++i)
        hand.move(3 * k, 2 * k, MK_SHIFT);
    hand.release(MK_SHIFT);
    Hand::holdShift(false);
    record("shift-drag");
    hand.click(5, MK_CONTROL);
    hand.press(5);
    for (int i = 0; i < 5; ++i)
        hand.move(2 * k, 40 * k);  // past -18 dB: the block stops as a whole
    hand.release();
    record("block-drag");
    // Values move by whole 100 % pixels, so half of one cannot match anything at 100 %. 11 device pixels
    // at 200 % are 5.5 of them: the first move gives 5 and keeps the half, the second gives 6 with it, as
    // a 100 % mouse reporting 5 and then 6 does (-7, -7 likewise give -3, -4). A drag that ends on an odd
    // device pixel is at most half a pixel behind, and the next press starts afresh.
    hand.click(3);
    hand.press(3);
    if (k == 2) {
        hand.move(11, -7);
        hand.move(11, -7);
    } else {
        hand.move(5, -3);
        hand.move(6, -4);
    }
    hand.release();
    record("half-pixels");
    // One device pixel to a message: at 200 % every second one completes a 100 % pixel.
    hand.press(3);
    for (int i = 0; i < 12 * k; ++i)
        hand.move(1, 1);
    hand.release();
    record("slow-drag");
    hand.press(3);
    for (int i = 0; i < 2; ++i)
        hand.move(-6 * k, -6 * k);
    hand.release();
    record("fast-drag");

    std::fclose(report);
    host.dispatch(vst::effEditClose);
    DestroyWindow(frame);
}

TEST(GraphGesturesAtScale, SamePhysicalMotionChangesTheSameValues)
{
    QVTEST_NOT_IN_COPY(kVariable);
    std::vector<Step> runs[2];
    const int dpis[2] = {96, 192};
    for (int r = 0; r < 2; ++r) {
        const std::string path = "graph-gestures-" + std::to_string(dpis[r]) + ".txt";
        DeleteFileA(path.c_str());
        const std::string scaleAndReport = std::to_string(r + 1) + " " + path;
        EXPECT_EQ(runAtDpi(kVariable, scaleAndReport, dpis[r], "GraphGesturesAtScale.InThisProcess"), 0)
            << "LogPixels " << dpis[r];
        runs[r] = readReport(path);
        DeleteFileA(path.c_str());
    }
    const std::vector<Step>& one = runs[0];
    ASSERT_EQ(one.size(), 8u);
    ASSERT_EQ(runs[1].size(), one.size());
    for (size_t s = 0; s < one.size(); ++s) {
        ASSERT_EQ(one[s].name, runs[1][s].name);
        ASSERT_EQ(one[s].values.size(), static_cast<size_t>(qv::kParamCount));
        ASSERT_EQ(runs[1][s].values.size(), one[s].values.size());
        for (int i = 0; i < qv::kParamCount; ++i)
            EXPECT_EQ(one[s].values[i], runs[1][s].values[i]) << one[s].name << ", parameter " << i;
    }

    // The gestures did what they mean, at 100 % (and so at 200 %).
    auto v = [&](int step, int index) { return one[step].values[index]; };
    EXPECT_EQ(v(0, freqIndex(3)), 200);
    EXPECT_EQ(v(1, qIndex(3)), 9);  // a notch over the selected band, and only it
    EXPECT_EQ(v(1, qIndex(5)), 6);
    EXPECT_EQ(v(2, freqIndex(3)), draggedFrequency(200, 4 * 5 * 5));  // 5 pixels to a move go 25 positions
    EXPECT_EQ(v(2, gainIndex(3)), 24);                                // a pixel is a tenth of a decibel
    EXPECT_EQ(v(3, qIndex(3)), 9 + 3 * 3 * 3);                        // Shift: Q, nothing else
    EXPECT_EQ(v(3, freqIndex(3)), v(2, freqIndex(3)));
    EXPECT_EQ(v(3, gainIndex(3)), 24);
    EXPECT_EQ(v(4, gainIndex(5)), -180);
    EXPECT_EQ(v(4, gainIndex(3)), 24 - 180);
    EXPECT_EQ(v(4, freqIndex(5)), draggedFrequency(4600, 5 * 2 * 2));
    EXPECT_EQ(v(5, freqIndex(3)), draggedFrequency(v(4, freqIndex(3)), 5 * 5 + 6 * 6));
    EXPECT_EQ(v(5, gainIndex(3)), v(4, gainIndex(3)) + 7);
    // The slow drag moves the gain as far as the fast one that takes it back, and the frequency a
    // position per 100 % pixel.
    EXPECT_EQ(v(6, gainIndex(3)), v(5, gainIndex(3)) - 12);
    EXPECT_EQ(v(6, freqIndex(3)), draggedFrequency(v(5, freqIndex(3)), 12));
    EXPECT_EQ(v(7, gainIndex(3)), v(5, gainIndex(3)));
}
