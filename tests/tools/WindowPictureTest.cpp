// Pictures of windows larger than Wine's screen: read in parts, they hold every pixel the window paints,
// and the window and the pointer end where they were.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "WindowPicture.h"

namespace {

// Each pixel's colour follows from its place in the client area, so a part copied to the wrong place
// or never painted shows.
COLORREF pattern(int x, int y) { return RGB(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)); }

LRESULT CALLBACK patternProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg != WM_PAINT)
        return DefWindowProcA(w, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT c;
    GetClientRect(w, &c);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.right;
    bi.bmiHeader.biHeight = -c.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> bits(static_cast<size_t>(c.right) * c.bottom);
    for (int y = 0; y < c.bottom; ++y)
        for (int x = 0; x < c.right; ++x) {
            const COLORREF k = pattern(x, y);
            bits[static_cast<size_t>(y) * c.right + x] = GetRValue(k) << 16 | GetGValue(k) << 8 | GetBValue(k);
        }
    SetDIBitsToDevice(dc, 0, 0, c.right, c.bottom, 0, 0, 0, c.bottom, bits.data(), &bi, DIB_RGB_COLORS);
    EndPaint(w, &ps);
    return 0;
}

class WindowPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = patternProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "qvPattern";
        RegisterClassA(&wc);
    }
    void TearDown() override { UnregisterClassA("qvPattern", GetModuleHandleA(nullptr)); }

    // Pixels of the picture that are not the pattern.
    static int wrongPixels(const qv::WindowPicture& p)
    {
        int wrong = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                wrong += GetPixel(p.dc(), x, y) != pattern(x, y);
        return wrong;
    }
};

TEST_F(WindowPictureTest, AChildTallerAndWiderThanTheScreenIsWhole)
{
    // Wine paints a child only within the screen's size from its parent's corner, and keeps a
    // top-level window's pixels only on the screen: grab() misses the right and the bottom.
    const int w = 1300, h = 900;
    HWND frame =
        CreateWindowExA(0, "STATIC", "frame", WS_POPUP | WS_VISIBLE, 30, 40, w, h, nullptr, nullptr, nullptr, nullptr);
    HWND child =
        CreateWindowExA(0, "qvPattern", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, w, h, frame, nullptr, nullptr, nullptr);
    UpdateWindow(frame);
    SetCursorPos(200, 300);
    qv::WindowPicture whole(w, h, RGB(255, 255, 255)), plain(w, h, RGB(255, 255, 255));
    plain.grab(child, 0, 0);
    EXPECT_GT(wrongPixels(plain), 0);
    int settled = 0;
    whole.grabMoving(child, 0, 0, [&] { ++settled; });
    EXPECT_EQ(wrongPixels(whole), 0);
    EXPECT_EQ(settled, 5);  // four parts, and back
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    POINT pointer;
    GetCursorPos(&pointer);
    EXPECT_EQ(pointer.x, 200);
    EXPECT_EQ(pointer.y, 300);
    DestroyWindow(frame);
}

TEST_F(WindowPictureTest, ATopLevelWindowOffTheScreenIsWholeAndOneOnItIsNotMoved)
{
    HWND window = CreateWindowExA(0, "qvPattern", nullptr, WS_POPUP | WS_VISIBLE, -100, 600, 1200, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    UpdateWindow(window);
    qv::WindowPicture whole(1200, 300, RGB(255, 255, 255));
    whole.grabMoving(window, 0, 0);
    EXPECT_EQ(wrongPixels(whole), 0);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, -100);
    EXPECT_EQ(r.top, 600);

    SetWindowPos(window, nullptr, 10, 10, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
    int settled = 0;
    qv::WindowPicture onScreen(400, 300, RGB(255, 255, 255));
    onScreen.grabMoving(window, 0, 0, [&] { ++settled; });
    EXPECT_EQ(wrongPixels(onScreen), 0);
    EXPECT_EQ(settled, 0);
    DestroyWindow(window);
}

}  // namespace
