// The page as a media player shows it: the system's OLE property frame over a filter in a running
// real graph, created through ISpecifyPropertyPages and CoCreateInstance.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "DllServer.h"
#include "LiveGraph.h"
#include "PageFrame.h"

using namespace qv;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Ole {
    Ole() { OleInitialize(nullptr); }
    ~Ole() { OleUninitialize(); }
};

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

// Counts the filter's notices that reach the page's dialog.
std::vector<WPARAM> gNotices;
LRESULT CALLBACK noticeSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 32700 && lParam == 0)
        gNotices.push_back(wParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

TEST(PageInFrame, EditsAndNoticesReachARunningGraph)
{
    Ole ole;
    const std::wstring wav = writeSine(L"qvpage.wav", 8.0);
    LiveGraph graph;
    std::string error;
    ASSERT_TRUE(graph.start(wav.c_str(), L"qvEqualizer.dll", &error)) << error;
    const DWORD cookie = serveClassInProcess(GetModuleHandleW(L"qvEqualizer.dll"), CLSID_qvEqualizerPropertyPage);
    ASSERT_NE(cookie, 0u);
    IEqualizerControl* control = query<IEqualizerControl>(graph.equalizer(), IID_IEqualizerControl);
    IPersistStream* persist = query<IPersistStream>(graph.equalizer(), IID_IPersistStream);
    ASSERT_TRUE(control && persist);
    IStream* saved = SHCreateMemStream(nullptr, 0);
    persist->Save(saved, TRUE);

    bool ran = false;
    const HRESULT hr = showPropertyFrame(graph.equalizer(), 1020, [&](HWND frame, HWND page) {
        ran = true;
        // The frame makes room for the whole editor (Wine's frame rounds its dialog units up).
        RECT client;
        GetClientRect(page, &client);
        EXPECT_GE(client.right, 506);
        EXPECT_GE(client.bottom, 411);
        EXPECT_EQ(freeNoticeEntries(control), 1);
        int open = 0;
        control->GetEditorOpen(&open);
        EXPECT_EQ(open, 1);

        ASSERT_TRUE(pumpUntil([&] { return graph.outputSeconds() > 1.0; }, 10000));
        const double before = graph.recentLevelDb(0.2);
        EXPECT_NEAR(before, -15.05, 0.2);
        control->SetGain(0, -240);
        const double at = graph.outputSeconds();
        ASSERT_TRUE(pumpUntil([&] { return graph.outputSeconds() > at + 0.8; }, 10000));
        EXPECT_NEAR(graph.recentLevelDb(0.2) - before, -24.0, 0.5);

        // Settings loaded by the host reach the open page as a notice.
        SetWindowSubclass(page, noticeSpy, 1, 0);
        LARGE_INTEGER zero{};
        saved->Seek(zero, STREAM_SEEK_SET, nullptr);
        gNotices.clear();
        EXPECT_EQ(persist->Load(saved), S_OK);
        EXPECT_TRUE(pumpUntil([] { return !gNotices.empty(); }, 2000));
        EXPECT_EQ(gNotices.size(), 1u);
        if (!gNotices.empty()) {
            EXPECT_EQ(HIWORD(gNotices[0]), 100);
        }
        RemoveWindowSubclass(page, noticeSpy, 1);
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
