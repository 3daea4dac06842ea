// The page as a media player shows it: the system's OLE property frame over a filter in a running
// real graph, created through ISpecifyPropertyPages and CoCreateInstance.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "../support/WindowPixels.h"
#include "DllServer.h"
#include "GraphMath.h"
#include "LiveGraph.h"
#include "PageFrame.h"
#include "PluginContract.h"
#include "FrequencyAnalyzer.h"
#include "resources/editor_ids.h"

using namespace qv;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A mono 32-bit float WAV of a 1 kHz sine at -15 dB RMS.
std::wstring writeSine(const wchar_t* name, double seconds)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + name;
    const uint32_t rate = 44100, frames = static_cast<uint32_t>(seconds * rate), bytes = frames * 4;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f)
        return path;
    auto put32 = [f](uint32_t v) { fwrite(&v, 4, 1, f); };
    auto put16 = [f](uint16_t v) { fwrite(&v, 2, 1, f); };
    fwrite("RIFF", 1, 4, f);
    put32(36 + bytes);
    fwrite("WAVEfmt ", 1, 8, f);
    put32(16);
    put16(3);
    put16(1);
    put32(rate);
    put32(rate * 4);
    put16(4);
    put16(32);
    fwrite("data", 1, 4, f);
    put32(bytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const float v = static_cast<float>(0.25 * std::sin(2 * kPi * 1000.0 * i / rate));
        fwrite(&v, 4, 1, f);
    }
    fclose(f);
    return path;
}

// Waits, pumping this thread's messages, until `done` or `ms` have passed.
template <class F>
bool pumpUntil(F done, DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0)
            return false;
        pumpMessages(10);
    }
    return true;
}

std::string text(HWND window)
{
    char t[64] = {};
    GetWindowTextA(window, t, sizeof t);
    return t;
}

// The highest point of the analyzer's output line in the page's graph: its column and row, or a row
// of INT_MAX while none is drawn. The dBFS marks at the right edge are left out.
POINT outputPeak(HWND graph)
{
    int width = 0, height = 0;
    const std::vector<uint32_t> p = windowPixels(graph, &width, &height);
    const uint32_t line = 0x26426C;  // the output line's colour
    POINT best{0, INT_MAX};
    for (int x = 2; x < width - 80; ++x)
        for (int y = 2; y < height - 2 && y < best.y; ++y)
            if ((p[static_cast<size_t>(y) * width + x] & 0xFFFFFF) == line) {
                best = POINT{x, y};
                break;
            }
    return best;
}

}  // namespace

TEST(PageInFrame, EditsAndNoticesReachARunningGraph)
{
    Ole ole;
    const std::wstring wav = writeSine(L"qvpage.wav", 8.0);
    LiveGraph graph;
    std::string error;
    ASSERT_TRUE(graph.start(wav.c_str(), L"" QV_FILTER_FILE_NAME, &error)) << error;
    const DWORD cookie = serveClassInProcess(GetModuleHandleW(L"" QV_FILTER_FILE_NAME), CLSID_qvEqualizerPropertyPage);
    ASSERT_NE(cookie, 0u);
    IEqualizerControl* control = query<IEqualizerControl>(graph.equalizer(), IID_IEqualizerControl);
    IPersistStream* persist = query<IPersistStream>(graph.equalizer(), IID_IPersistStream);
    ASSERT_TRUE(control && persist);
    IStream* saved = SHCreateMemStream(nullptr, 0);
    persist->Save(saved, TRUE);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kUserSettingsKey, "Analyzer");  // a first start: the output

    bool ran = false;
    const HRESULT hr = showPropertyFrame(graph.equalizer(), IDC_PAGE_CLIP_LEFT, [&](HWND frame, HWND page) {
        ran = true;
        // The frame sizes its page from the page's info, not from the dialog template.
        RECT client;
        GetClientRect(GetParent(page), &client);
        EXPECT_NEAR(client.right, 506, 4);
        EXPECT_NEAR(client.bottom, 411, 4);
        EXPECT_EQ(freeNoticeEntries(control), 1);
        int open = 0;
        control->GetEditorOpen(&open);
        EXPECT_EQ(open, 1);

        ASSERT_TRUE(pumpUntil([&] { return graph.outputSeconds() > 1.0; }, 10000));
        const double before = graph.recentLevelDb(0.2);
        EXPECT_NEAR(before, -15.05, 0.2);
        // The page's analyzer shows the sine (-12.0 dBFS as a sine's level) at its own column.
        HWND eq = GetDlgItem(page, 20000);
        RECT gc;
        GetClientRect(eq, &gc);
        const GraphAxes axes = makeGraphAxes(gc.right, gc.bottom, 44100.0f, 20);
        POINT peak{};
        EXPECT_TRUE(pumpUntil([&] { return (peak = outputPeak(eq)).y != INT_MAX; }, 2000));
        EXPECT_NEAR(peak.x, graphX(axes, 1000.0f) + 2, 2);
        EXPECT_NEAR(peak.y, analyzerY(axes, -12.04f), 2);
        // Home on the output gain slider: its lowest value, -24 dB.
        HWND slider = GetDlgItem(page, 1005);
        ASSERT_NE(slider, nullptr);
        SetFocus(slider);
        SendMessageW(slider, WM_KEYDOWN, VK_HOME, 1);
        SendMessageW(slider, WM_KEYUP, VK_HOME, 0xC0000001);
        int gain = 0;
        control->GetGain(0, &gain);
        EXPECT_EQ(gain, -240);
        EXPECT_EQ(text(GetDlgItem(page, 1004)), "-24.0");
        const double at = graph.outputSeconds();
        ASSERT_TRUE(pumpUntil([&] { return graph.outputSeconds() > at + 0.8; }, 10000));
        EXPECT_NEAR(graph.recentLevelDb(0.2) - before, -24.0, 0.5);

        // Settings loaded by the host reach the open page through the filter's notice.
        LARGE_INTEGER zero{};
        saved->Seek(zero, STREAM_SEEK_SET, nullptr);
        EXPECT_EQ(persist->Load(saved), S_OK);
        EXPECT_TRUE(pumpUntil([&] { return text(GetDlgItem(page, 1004)) == "0.0"; }, 2000));
        closeFrame(frame, true);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(ran);
    // Closing the frame took the page's registration and editor flag away.
    EXPECT_EQ(freeNoticeEntries(control), 2);
    int open = -1;
    control->GetEditorOpen(&open);
    EXPECT_EQ(open, 0);
    saved->Release();
    persist->Release();
    control->Release();
    CoRevokeClassObject(cookie);
    graph.stop();
    DeleteFileW(wav.c_str());
}
