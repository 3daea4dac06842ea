// Control gallery: builds the editor's controls twice on the editor background, in different states
// (normal, pressed, checked, disabled, focused; several values, selections, a rubber band, meters
// with peaks), then copies the window's pixels to a BMP; then the same at 200 % (the controls told the
// scale, given the 200 % art, the layout scaled) to a second BMP. Run under Wine; convert to PNG.
//
//   gallery [OUT.bmp [OUT-200.bmp]]     (gallery.bmp and gallery-200.bmp by default)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BandDesign.h"
#include "ParameterModel.h"
#include "ScaledArt.h"
#include "WindowPicture.h"
#include "ScopedWin.h"
#include "controls/Skin.h"
#include "editor/EditorIds.h"
#include "editor/EditorLayout.h"
#include "editor/EditorTables.h"
#include "resources/editor_ids.h"
#include "resources/skin_ids.h"

using namespace qv;

namespace {

constexpr int kGap = 8;

HINSTANCE gInstance;
HBITMAP gBackground, gGraphSkin;
Scale gScale = kScale100;  // the gallery being built

int px(int v) { return scalePx(v, gScale); }

// The art of a scaled item at the gallery's scale, or the 100 % image.
int art(int scaledItem, int id100) { return scaledArtId(scaledItem, id100, gScale); }

struct Panel {
    HWND window = nullptr;
    BandRecord bands[7];
    HWND graph = nullptr;
};

LRESULT CALLBACK panelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        {
            CompatibleDC src(dc);
            SelectedObject selected(src.get(), gBackground);
            BitBlt(dc, 0, 0, layout::editorWidth(gScale), layout::editorHeight(gScale), src.get(), 0, 0, SRCCOPY);
        }
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// `r` at 100 %, placed at the gallery's scale; the control is told the scale before it gets its art.
HWND make(HWND parent, const char* cls, const char* caption, int id, layout::Rect r100, DWORD bits, HBITMAP background)
{
    const layout::Rect r = layout::scaled(r100, gScale);
    HWND w = CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | bits, r.x, r.y, r.w, r.h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), gInstance, background);
    if (w && gScale != kScale100)
        SendMessageA(w, QV_SETSCALE, static_cast<WPARAM>(percentOf(gScale)), 0);
    return w;
}

// A VST sprite id's image at the gallery's scale.
const uint8_t* sprite(int id) { return GetSkinSprite(gInstance, scaledSpriteId(id, gScale)); }

void buttonSprites(HWND b, int normal, int pressed)
{
    SendMessageA(b, PB_SETSPRITES, reinterpret_cast<WPARAM>(sprite(normal)), reinterpret_cast<LPARAM>(sprite(pressed)));
}

struct BandSetting {
    int enabled, type, freq, q, gain;
};

void designBands(Panel& p, const BandSetting* settings)
{
    ParameterRecord rec{};
    for (int col = 1; col <= 6; ++col) {
        const BandSetting& b = settings[col - 1];
        rec.values[paramIndex(0, col)] = b.enabled;
        rec.values[paramIndex(1, col)] = b.type;
        rec.values[paramIndex(2, col)] = b.freq;
        rec.values[paramIndex(3, col)] = b.q;
        rec.values[paramIndex(4, col)] = b.gain;
    }
    for (int col = 0; col < 7; ++col) {
        p.bands[col] = initialBandRecord();
        designColumn(rec, col, 44100.0f, p.bands[col]);
    }
}

const int kTypeIcons[5] = {SKIN_VST_BMP_TYPE_PEAK, SKIN_VST_BMP_TYPE_LOWSHELF, SKIN_VST_BMP_TYPE_HIGHSHELF,
                           SKIN_VST_BMP_TYPE_LOWPASS, SKIN_VST_BMP_TYPE_HIGHPASS};

void text(HWND w, const char* fmt, int v, bool decimal)
{
    char buf[32];
    if (decimal)
        snprintf(buf, sizeof(buf), "%.1f", v * 0.1);
    else
        snprintf(buf, sizeof(buf), fmt, v);
    SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(buf));
}

void buildPanel(Panel& p, const BandSetting* settings, int outputGain)
{
    HWND w = p.window;
    designBands(p, settings);
    p.graph = make(w, "qv:EQGraph", nullptr, kGraphId, layout::kGraph, 0, gGraphSkin);
    SendMessageA(p.graph, EQ_SETSAMPLERATE, 44100, 0);
    SendMessageA(p.graph, EQ_SETBANDS, reinterpret_cast<WPARAM>(&p.bands[1]), 6);
    for (const TopButton& t : kTopButtons) {
        HWND b = make(w, "qv:PushButton", t.caption, t.id, t.rect, t.style, gBackground);
        buttonSprites(b, t.normal, t.pressed);
        if (t.focusLeft || t.focusRight) {
            int adjust[4] = {px(t.focusLeft), 0, px(t.focusRight), 0};
            SendMessageA(b, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(adjust), 0);
        }
    }
    const uint8_t* editFace = sprite(SKIN_VST_RAW_EDIT);
    const uint8_t* thumb = sprite(SKIN_VST_RAW_THUMB);
    for (int col = 0; col <= 6; ++col) {
        if (col > 0) {
            const BandSetting& b = settings[col - 1];
            char caption[4];
            snprintf(caption, sizeof(caption), "%d", col);
            HWND num =
                make(w, "qv:PushButton", caption, controlId(col, kOffEnabled), layout::bandNumber(col), 0, gBackground);
            buttonSprites(num, SKIN_VST_RAW_BAND, SKIN_VST_RAW_BAND_DOWN);
            SendMessageA(num, PB_SETCHECK, b.enabled, 1);
            HWND type =
                make(w, "qv:PushButton", nullptr, controlId(col, kOffType), layout::bandType(col), 0, gBackground);
            buttonSprites(type, SKIN_VST_RAW_TYPE, SKIN_VST_RAW_TYPE_DOWN);
            SendMessageA(type, PB_SETICONKEY, 0xC0C0C0, 0);
            SendMessageA(type, PB_SETICON, scaledTypeIconId(kTypeIcons[b.type], gScale), 1);
            int adjustType[4] = {0, 0, px(1), 0};
            SendMessageA(type, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(adjustType), 0);
            HWND arrow = make(w, "qv:PushButton", "", controlId(col, kOffTypeArrow), layout::bandArrow(col), PBS_ARROW,
                              gBackground);
            buttonSprites(arrow, SKIN_VST_RAW_ARROW, SKIN_VST_RAW_ARROW_DOWN);
            int adjustArrow[4] = {px(-2), 0, 0, 0};
            SendMessageA(arrow, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(adjustArrow), 0);
            HWND f =
                make(w, "qv:Edit", nullptr, controlId(col, kOffFreq), layout::bandFreq(col), kFieldStyle, gBackground);
            HWND q = make(w, "qv:Edit", nullptr, controlId(col, kOffQ), layout::bandQ(col), kFieldStyle, gBackground);
            for (HWND e : {f, q}) {
                SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
                SendMessageA(e, ED_SETSPRITE, reinterpret_cast<WPARAM>(editFace), 0);
            }
            text(f, "%d", b.freq, false);
            text(q, "", b.q, true);
            if (!b.enabled) {
                EnableWindow(type, FALSE);
                EnableWindow(arrow, FALSE);
                EnableWindow(f, FALSE);
                EnableWindow(q, FALSE);
            }
        } else {
            HWND flat = make(w, "qv:PushButton", "Flat", kFlatId, layout::kFlat, 0, gBackground);
            buttonSprites(flat, SKIN_VST_RAW_FLAT, SKIN_VST_RAW_FLAT_DOWN);
        }
        const int gain = col == 0 ? outputGain : settings[col - 1].gain;
        HWND g = make(w, "qv:Edit", nullptr, controlId(col, kOffGain),
                      col == 0 ? layout::kOutGain : layout::bandGain(col), kFieldStyle, gBackground);
        SendMessageA(g, ED_SETSPRITE, reinterpret_cast<WPARAM>(editFace), 0);
        text(g, "", gain, true);
        HWND s = make(w, "qv:Slider", nullptr, controlId(col, kOffSlider),
                      col == 0 ? layout::kOutSlider : layout::bandSlider(col), 0, gBackground);
        SendMessageA(s, SL_SETPAGESTEP, 10, 0);
        SendMessageA(s, SL_SETTHUMB, reinterpret_cast<WPARAM>(thumb), 0);
        SendMessageA(s, SL_SETRANGE, col == 0 ? -240 : -180, col == 0 ? 240 : 180);
        SendMessageA(s, SL_SETPOS, gain, 1);
        if (col > 0 && !settings[col - 1].enabled) {
            EnableWindow(g, FALSE);
            EnableWindow(s, FALSE);
        }
    }
    for (int m = 0; m < 2; ++m) {
        HWND meter = make(w, "qv:Meter", nullptr, kMeterLeftId + m, layout::meter(m), kMeterStyle, nullptr);
        SendMessageA(meter, MT_SETSPRITES, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_METER)),
                     reinterpret_cast<LPARAM>(sprite(SKIN_VST_RAW_METER_LIT)));
        SendMessageA(meter, MT_SETRANGE, static_cast<WPARAM>(-600), 0);
    }
    HWND readout = make(w, "qv:StaticText", "-Inf    -Inf", kPeakTextId, layout::kReadout, 0, gBackground);
    HFONT font = CreateFontA(px(12), 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    SendMessageA(readout, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    for (int c = 0; c < 2; ++c) {
        const layout::Rect r = layout::clipLamp(c, gScale);
        HWND clip =
            CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, r.x, r.y, r.w, r.h, w,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VST_CLIP_LEFT + c)), gInstance, nullptr);
        const int id = c == 0 ? art(SKIN_SCALED_BMP_CLIP_OFF, SKIN_VST_BMP_CLIP_OFF)
                              : art(SKIN_SCALED_BMP_CLIP_HELD, SKIN_VST_BMP_CLIP_HELD);
        SendMessageA(clip, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(LoadSkinBitmap(gInstance, id, nullptr)));
    }
}

void feedMeters(HWND panel, int levelA, int levelB, int fallSteps)
{
    HWND a = GetDlgItem(panel, 20030), b = GetDlgItem(panel, 20031);
    SendMessageA(a, MT_SETLEVELS, levelA, 0);
    SendMessageA(b, MT_SETLEVELS, levelB, 0);
    for (int i = 0; i < fallSteps; ++i) {
        SendMessageA(a, MT_SETLEVELS, levelA - 150, 0);
        SendMessageA(b, MT_SETLEVELS, levelB - 240, 0);
    }
    int maxA = 0, maxB = 0;
    SendMessageA(a, MT_GETMAX, reinterpret_cast<WPARAM>(&maxA), 0);
    SendMessageA(b, MT_GETMAX, reinterpret_cast<WPARAM>(&maxB), 0);
    char buf[64];
    HWND readout = GetDlgItem(panel, 20032);
    FormatDbPair(readout, reinterpret_cast<HFONT>(SendMessageA(readout, WM_GETFONT, 0, 0)), gScale, buf, sizeof(buf),
                 maxA, maxB);
    SetWindowTextA(readout, buf);
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Builds both panels at `scale`, sets their states and saves the window to `out`.
bool gallery(Scale scale, const char* out)
{
    gScale = scale;
    gBackground = LoadSkinBitmap(gInstance, art(SKIN_SCALED_BMP_BACKGROUND, SKIN_VST_BMP_BACKGROUND), nullptr);
    gGraphSkin = LoadSkinBitmap(gInstance, art(SKIN_SCALED_BMP_GRAPH, SKIN_VST_BMP_GRAPH), nullptr);
    if (!gBackground || !gGraphSkin) {
        fprintf(stderr, "skin images missing at %d %%\n", percentOf(scale));
        return false;
    }
    const int panelW = layout::editorWidth(scale), panelH = layout::editorHeight(scale);
    const int width = 2 * panelW + 3 * kGap, height = panelH + 2 * kGap;
    HWND top = CreateWindowExA(0, "qvGallery", "qv:equalizer controls", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                               nullptr, nullptr, gInstance, nullptr);
    Panel panels[2];
    for (int i = 0; i < 2; ++i)
        panels[i].window =
            CreateWindowExA(0, "qvGalleryPanel", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                            kGap + i * (panelW + kGap), kGap, panelW, panelH, top, nullptr, gInstance, nullptr);
    // Left: a typical mix with a few bands on. Right: other states, selections and a rubber band.
    const BandSetting left[6] = {{1, 1, 80, 10, 45},  {1, 0, 250, 14, -35},  {1, 0, 1000, 20, 60},
                                 {0, 0, 2500, 10, 0}, {1, 0, 6000, 30, -50}, {1, 2, 12000, 10, 30}};
    const BandSetting right[6] = {{1, 4, 40, 7, 0},       {1, 0, 180, 8, 90},    {1, 0, 700, 50, -120},
                                  {1, 0, 2000, 300, 150}, {0, 0, 5000, 10, -60}, {1, 3, 15000, 7, 0}};
    buildPanel(panels[0], left, 0);
    buildPanel(panels[1], right, -35);
    ShowWindow(top, SW_SHOW);
    UpdateWindow(top);
    pump();

    // Left panel: bypass checked, meters mid-level with held peaks, focus on Presets as after opening.
    HWND l = panels[0].window, r = panels[1].window;
    SendMessageA(GetDlgItem(l, 20010), PB_SETCHECK, 1, 1);
    feedMeters(l, -80, -140, 6);
    SetFocus(GetDlgItem(l, 20015));

    // Right panel: band 4 selected with band 2 (Ctrl), a pressed Undo and arrow, a disabled checked Help,
    // meters near the top, and a rubber band being dragged over the graph.
    panels[1].bands[2].selected = 1.0f;
    panels[1].bands[4].selected = 1.0f;
    SendMessageA(GetDlgItem(r, 20011), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(10), px(10)));
    SendMessageA(GetDlgItem(r, 1306), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(5), px(5)));
    SendMessageA(GetDlgItem(r, 20016), PB_SETCHECK, 1, 0);
    EnableWindow(GetDlgItem(r, 20016), FALSE);
    feedMeters(r, -15, -60, 2);
    HWND g = panels[1].graph;
    SendMessageA(g, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px(300), px(20)));
    SendMessageA(g, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(px(420), px(120)));
    SendMessageA(g, WM_TIMER, 1, 0);
    pump();
    // Focus last: a focused edit field in the right panel shows its red frame.
    SetFocus(GetDlgItem(r, 1202));
    pump();
    // Every control painted again with its state: a graph told its scale has painted before it had bands.
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump();
    // The rubber band and the Presets button are drawn outside paints: again after each repaint.
    auto settle = [&] {
        RedrawWindow(g, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageA(g, WM_TIMER, 1, 0);
        SendMessageA(GetDlgItem(l, 20015), PB_REDRAW, 0, 1);
    };
    settle();

    // The window is wider than Wine's screen, and at 200 % taller: it is read in parts, and then each
    // panel, which paints only what lies within the screen's size from the window's corner.
    qv::WindowPicture picture(width, height, RGB(255, 255, 255));
    picture.grabMoving(top, 0, 0);
    for (int i = 0; i < 2; ++i)
        picture.grabMoving(panels[i].window, kGap + i * (panelW + kGap), kGap, settle);
    const bool saved = picture.save(out);
    if (saved)
        printf("wrote %s (%dx%d)\n", out, width, height);
    else
        fprintf(stderr, "cannot write %s\n", out);
    DestroyWindow(top);
    DeleteObject(gBackground);
    DeleteObject(gGraphSkin);
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* out = argc > 1 ? argv[1] : "gallery.bmp";
    // The 200 % picture beside the first: "x.bmp" gives "x-200.bmp".
    std::string out200 = argc > 2 ? argv[2] : out;
    if (argc <= 2) {
        const size_t dot = out200.rfind('.');
        out200.insert(dot == std::string::npos ? out200.size() : dot, "-200");
    }
    gInstance = GetModuleHandleA(nullptr);
    if (!RegisterSkinClasses(gInstance))
        return 1;
    WNDCLASSA wc{};
    wc.lpfnWndProc = panelProc;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "qvGalleryPanel";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = CreateSolidBrush(RGB(40, 40, 44));
    wc.lpszClassName = "qvGallery";
    RegisterClassA(&wc);
    const bool ok = gallery(kScale100, out) && gallery(kScale200, out200.c_str());
    UnregisterSkinClasses(gInstance);
    return ok ? 0 : 1;
}
