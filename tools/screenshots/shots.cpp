// Pictures of the product for the manual, taken from real windows under Wine: the Preset Manager over
// the factory presets, the VST plug-in's own editor opened the way a host opens it and shown at work
// (a shaped curve, a selected band, meters moving from a playing signal; labelled in a margin, during
// a graph drag, with each menu open, with the typing box, a switched-off band, the Add Preset dialog
// and a lit clip lamp), the same editor on a display at 200 % (a copy of the tool started with the
// desktop at 192 DPI), the editor analysing the demo signal at both scales, and the DirectShow
// filter's property page in the system's property frame. The analyzer is off in the other pictures,
// which show the controls.
//
//   screenshots OUTDIR VST_DLL FILTER_DLL FACTORY_INI
// writes one BMP per picture into OUTDIR; a picture whose window is not there yet is left out and
// named on the output.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ClassIds.h"
#include "DemoSignal.h"
#include "DisplayScale.h"
#include "GraphMath.h"
#include "dshow/IEqualizerControl.h"
#include "ParameterModel.h"
#include "PageFrame.h"
#include "PluginHost.h"
#include "PresetStore.h"
#include "WindowPicture.h"
#include "editor/EditorLayout.h"
#include "resources/editor_ids.h"
#include "tests/support/DesktopDpi.h"

using qv::WindowPicture;

extern "C" const IID IID_IEqualizerControl = qv::guidFromText<IID>(qv::kControlIidText);

namespace {

HINSTANCE gInstance;
std::string gOut;
int gMissing = 0;

// Runs the thread's messages until none is left.
void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A numbered disc centred at (x, y), wide enough for two digits, with a leader line through the
// points given to the last one, the point it names: the manual's callouts, drawn in a margin around
// the window so that they cover none of it.
void callout(WindowPicture& picture, int number, int x, int y, const POINT* path, int points)
{
    using namespace qv;
    HDC dc = picture.dc();
    const int radius = 12;  // 25 pixels across: two bold digits and the rim
    auto leader = [&] {
        MoveToEx(dc, x, y, nullptr);
        for (int i = 0; i < points; ++i)
            LineTo(dc, path[i].x, path[i].y);
    };
    {
        // A pale halo under the dark line keeps it visible on dark and light parts alike.
        Pen halo(CreatePen(PS_SOLID, 3, RGB(255, 255, 255)));
        SelectedObject withPen(dc, halo.get());
        leader();
    }
    Pen line(CreatePen(PS_SOLID, 1, RGB(200, 40, 30)));
    Brush fill(CreateSolidBrush(RGB(200, 40, 30)));
    SelectedObject withPen(dc, line.get()), withBrush(dc, fill.get());
    leader();
    const POINT end = path[points - 1];
    Ellipse(dc, end.x - 2, end.y - 2, end.x + 3, end.y + 3);
    Pen rim(CreatePen(PS_SOLID, 2, RGB(255, 255, 255)));
    SelectedObject withRim(dc, rim.get());
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
    char text[8];
    snprintf(text, sizeof(text), "%d", number);
    Font font(CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial"));
    SelectedObject withFont(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT box{x - radius, y - radius, x + radius + 1, y + radius + 1};
    DrawTextA(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

std::string outPath(const char* name) { return gOut + "\\" + name + ".bmp"; }

void save(const WindowPicture& p, const char* name)
{
    if (p.save(outPath(name).c_str()))
        printf("wrote %s.bmp (%dx%d)\n", name, p.width(), p.height());
    else
        fprintf(stderr, "cannot write %s\n", outPath(name).c_str());
}

void missing(const char* name, const char* why)
{
    printf("left out %s: %s\n", name, why);
    ++gMissing;
}

// Runs `open`, which enters a modal loop (a dialog or a menu); `tick` is called every 50 ms inside
// that loop until it returns true, and must end the loop when it does.
std::function<bool()> gTick;
int gTicks;
void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!gTick || ++gTicks > 100 || gTick()) {
        gTick = nullptr;
        KillTimer(nullptr, id);
    }
}
void duringModal(const std::function<void()>& open, std::function<bool()> tick)
{
    gTicks = 0;
    gTick = std::move(tick);
    SetTimer(nullptr, 0, 50, onTimer);
    open();
    gTick = nullptr;
}

struct FindWindowQuery {
    const char *cls, *title;
    HWND window;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM lp)
{
    FindWindowQuery& f = *reinterpret_cast<FindWindowQuery*>(lp);
    char c[64] = {}, t[128] = {};
    GetClassNameA(w, c, sizeof(c));
    GetWindowTextA(w, t, sizeof(t));
    if (IsWindowVisible(w) && strcmp(c, f.cls) == 0 && (!f.title || strcmp(t, f.title) == 0)) {
        f.window = w;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of this thread with the class (and title, when given).
HWND threadWindow(const char* cls, const char* title)
{
    FindWindowQuery query{cls, title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), matchWindow, reinterpret_cast<LPARAM>(&query));
    return query.window;
}

// Runs the paints the window has pending, as its message loop would, and forces none: a picture shows
// the window as it first appears to a user, a part its first paint left out included.
void repaintNow(HWND w) { RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

HWND makeFrame(int width, int height)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "qvShotFrame";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "qvShotFrame", "qv:equalizer", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, width,
                           height, nullptr, nullptr, gInstance, nullptr);
}

void presetManager()
{
    HWND owner = makeFrame(qv::layout::kEditorW, qv::layout::kEditorH);
    qv::PresetStore store(gInstance, owner, qv::kPluginName);
    store.load(qv::kPluginKey, qv::kPresetFileName);
    if (store.working().count() == 0) {
        missing("preset-manager", "the factory presets cannot be read");
        DestroyWindow(owner);
        return;
    }
    for (int i = 0; i < store.working().count(); ++i)
        if (store.working().at(i)->name == "Gentle Smile")
            store.setCurrent(store.working().at(i)->commandId);
    duringModal([&] { qv::runPresetManager(store); },
                [] {
                    HWND dialog = threadWindow("#32770", "qv:Equalizer Preset Manager");
                    if (!dialog)
                        return false;
                    repaintNow(dialog);
                    RECT r;
                    GetWindowRect(dialog, &r);
                    WindowPicture p(r.right - r.left, r.bottom - r.top, RGB(255, 255, 255));
                    p.grab(dialog, 0, 0);
                    save(p, "preset-manager");
                    PostMessageA(dialog, WM_COMMAND, 1514, 0);  // Cancel: nothing changes
                    return true;
                });
    DestroyWindow(owner);
}

// The plug-in finds its preset file through this value; set it to the factory file's folder while the
// editor is open and put back what was there.
class PluginPathValue {
public:
    explicit PluginPathValue(const std::string& folder)
    {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, qv::kPluginKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = sizeof(old_);
        had_ = RegQueryValueExA(key_, "PluginPath", nullptr, nullptr, reinterpret_cast<BYTE*>(old_), &size) ==
               ERROR_SUCCESS;
        RegSetValueExA(key_, "PluginPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
    }
    ~PluginPathValue()
    {
        if (had_)
            RegSetValueExA(key_, "PluginPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_),
                           static_cast<DWORD>(strlen(old_) + 1));
        else
            RegDeleteValueA(key_, "PluginPath");
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    char old_[MAX_PATH] = {};
    bool had_ = false;
};

// The numbers of the manual's window page: each disc sits in the margin on one side of the window
// and its leader ends on a point of the control (editor client pixels). The bottom leaders run
// through the gaps between the output row's controls and the banner's plain middle, so that none
// crosses a label or the banner's text; the discs are 28 pixels apart, one disc and a gap.
enum class Side {
    kTop,
    kLeft,
    kBottom,
    kRight
};
struct Callout {
    int number;
    Side side;
    int along;      // the disc's x (top, bottom) or y (left, right)
    POINT path[3];  // the leader's bends and, last, the point named
    int points;
};
const Callout kCallouts[] = {{1, Side::kTop, 54, {{54, 16}}, 1},
                             {2, Side::kTop, 133, {{133, 16}}, 1},
                             {3, Side::kTop, 204, {{204, 16}}, 1},
                             {4, Side::kTop, 242, {{242, 16}}, 1},
                             {5, Side::kTop, 291, {{291, 16}}, 1},
                             {6, Side::kTop, 370, {{370, 16}}, 1},
                             {7, Side::kTop, 449, {{449, 16}}, 1},
                             {8, Side::kLeft, 115, {{17, 115}}, 1},
                             {9, Side::kLeft, 216, {{20, 216}}, 1},
                             {16, Side::kLeft, 355, {{20, 355}}, 1},
                             {10, Side::kBottom, 70, {{71, 339}}, 1},
                             {11, Side::kBottom, 98, {{84, 339}}, 1},
                             {12, Side::kBottom, 126, {{114, 339}}, 1},
                             // Between the "Output gain" label and its field, then into band 6's Q field.
                             {13, Side::kBottom, 170, {{196, 380}, {196, 344}, {189, 337}}, 3},
                             {17, Side::kBottom, 214, {{222, 363}}, 1},
                             // 14, 15 and 18 go up side by side through the plain middle of the banner
                             // and the gap between the gain fields and the sliders, then turn onto band
                             // 6's gain field, band 6's slider and the output slider (their tracks' left
                             // ends, left of the tick marks).
                             {14, Side::kBottom, 242, {{245, 408}, {245, 336}, {237, 336}}, 3},
                             {15, Side::kBottom, 270, {{252, 408}, {252, 331}, {268, 331}}, 3},
                             {18, Side::kBottom, 298, {{259, 408}, {259, 354}, {268, 354}}, 3},
                             {19, Side::kRight, 176, {{484, 195}}, 1},  // right of the readout's text, not on it
                             {20, Side::kRight, 214, {{473, 205}}, 1},
                             {21, Side::kRight, 285, {{473, 285}}, 1}};
constexpr int kMargin = 36;

// The editor's 50 ms tick (timer 1), which moves the meters and lamps, is given by the tool instead of
// the clock once the window is open: the pictures then show the same meters on every run.
HWND gTicked;
void idle(qv::PluginHost& host, int times)
{
    for (int i = 0; i < times; ++i) {
        host.dispatch(vst::effEditIdle);
        if (gTicked)
            SendMessageA(gTicked, WM_TIMER, 1, 0);
        pump();
    }
}

// The settings of the editor at work (a preset's Data text): high-pass at 30 Hz, a low shelf lift at
// 100 Hz, a dip at 400 Hz, presence at 2.5 kHz, an air shelf at 8 kHz, a gentle low-pass at 18 kHz and
// the output 3 dB down.
const char kAtWork[] = "-30,1,4,30,7,0,1,1,100,10,60,1,0,400,10,-60,1,0,2500,20,40,1,2,8000,10,50,1,3,18000,7,0";

// The 35 values of a Data text (the output gain, then on, type, frequency, Q and gain of each band).
qv::ParameterRecord recordFromData(const char* data)
{
    qv::ParameterRecord record{};
    const char* p = data;
    for (int i = 0; i < 31; ++i) {
        char* end = nullptr;
        const int v = static_cast<int>(strtol(p, &end, 10));
        p = *end == ',' ? end + 1 : end;
        record.values[i == 0 ? qv::kOutputGainIndex : qv::paramIndex((i - 1) % 5, 1 + (i - 1) / 5)] = v;
    }
    return record;
}

// Sets the plug-in's parameters from a Data text as a host's automation would, each type before the
// Q it bounds.
void applyData(qv::PluginHost& host, const char* data)
{
    const qv::ParameterRecord record = recordFromData(data);
    vst::AEffect* e = host.effect();
    for (int index = 0; index < qv::kParamCount; ++index)
        if (index == qv::kOutputGainIndex || qv::columnOf(index) != 0)
            e->setParameter(e, index, qv::valueToNormalized(index, record.values[index]));
}

// Plays a second of a music-like signal through the plug-in (a bass line, chords and a hiss, the
// right channel a little quieter), with the editor's idle ticks between the blocks, so that the meters
// show a playing signal. `level` scales it: above about 1.5 the boosted output clips.
void play(qv::PluginHost& host, float level)
{
    const int block = 441, rate = 44100;
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    unsigned noise = 12345;
    for (int start = 0; start < rate; start += block) {
        for (int i = 0; i < block; ++i) {
            const double t = double(start + i) / rate;
            const double beat = 0.6 + 0.4 * std::fabs(std::sin(3.14159 * 2.0 * t));
            noise = noise * 1664525u + 1013904223u;
            const double hiss = (double(noise >> 9) / double(1u << 23) - 0.5) * 0.05;
            const double chord = 0.12 * (std::sin(2 * 3.14159 * 220 * t) + std::sin(2 * 3.14159 * 277 * t) +
                                         std::sin(2 * 3.14159 * 330 * t));
            const double bass = 0.3 * beat * std::sin(2 * 3.14159 * 55 * t);
            left[i] = static_cast<float>(level * (bass + chord + hiss));
            right[i] = static_cast<float>(level * 0.7 * (bass + chord - hiss));
        }
        host.effect()->processReplacing(host.effect(), in, out, block);
        if ((start / block) % 5 == 4)
            idle(host, 1);
    }
    idle(host, 2);
}

// The point of the editor's client area on the screen, for the pointer that goes along with a drag.
void pointerTo(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
}

void click(HWND control, int x, int y)
{
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    pump();
}

// A part of the picture (source pixels left, top, width, height) saved on its own.
void saveCrop(const WindowPicture& whole, int left, int top, int width, int height, const char* name)
{
    WindowPicture part(width, height, RGB(255, 255, 255));
    BitBlt(part.dc(), 0, 0, width, height, whole.dc(), left, top, SRCCOPY);
    save(part, name);
}

// The editor with a menu that `open` pops up, both on one picture of the editor's size grown to hold
// the menu, then cut to `keep` (editor client pixels; right and bottom grow with the menu). False when
// no menu opened.
bool menuPicture(HWND editor, const std::function<void()>& open, RECT keep, const char* name)
{
    RECT er;
    GetWindowRect(editor, &er);
    bool shown = false;
    duringModal(open, [&] {
        HWND menu = threadWindow("#32768", nullptr);
        if (!menu)
            return false;
        RECT mr;
        GetWindowRect(menu, &mr);
        const int right = mr.right > er.right ? mr.right : er.right;
        const int bottom = mr.bottom > er.bottom ? mr.bottom : er.bottom;
        WindowPicture p(right - er.left, bottom - er.top, RGB(255, 255, 255));
        repaintNow(editor);
        p.grab(editor, 0, 0);
        p.grab(menu, mr.left - er.left, mr.top - er.top);
        const int keepRight = std::max<int>(keep.right, mr.right - er.left + 6);
        const int keepBottom = std::max<int>(keep.bottom, mr.bottom - er.top + 6);
        saveCrop(p, keep.left, keep.top, std::min(keepRight, p.width()) - keep.left,
                 std::min(keepBottom, p.height()) - keep.top, name);
        shown = true;
        EndMenu();
        return true;
    });
    if (!shown)
        missing(name, "no menu opened");
    return shown;
}

// The labelled window: the editor in a white margin that holds the numbered discs.
void labelled(HWND editor, int w, int h)
{
    WindowPicture p(w + 2 * kMargin, h + 2 * kMargin, RGB(255, 255, 255));
    p.grab(editor, kMargin, kMargin);
    for (const Callout& c : kCallouts) {
        int x = c.along, y = c.along;
        switch (c.side) {
        case Side::kTop:
            y = -kMargin / 2;
            break;
        case Side::kBottom:
            y = h + kMargin / 2;
            break;
        case Side::kLeft:
            x = -kMargin / 2;
            break;
        case Side::kRight:
            x = w + kMargin / 2;
            break;
        }
        POINT path[3];
        for (int i = 0; i < c.points; ++i)
            path[i] = POINT{c.path[i].x + kMargin, c.path[i].y + kMargin};
        callout(p, c.number, x + kMargin, y + kMargin, path, c.points);
    }
    save(p, "editor-labelled");
}

// The Add Preset dialog as the presets menu opens it (its first item), a name typed in; cancelled, so
// nothing is added.
void addPresetDialog(HWND editor)
{
    HWND presets = GetDlgItem(editor, 20015);
    bool chosen = false, shown = false;
    duringModal([&] { SendMessageA(presets, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); },
                [&] {
                    if (!chosen) {
                        HWND menu = threadWindow("#32768", nullptr);
                        if (!menu)
                            return false;
                        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
                        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
                        chosen = true;
                        return false;
                    }
                    HWND dialog = threadWindow("#32770", nullptr);
                    if (!dialog)
                        return false;
                    HWND name = FindWindowExA(dialog, nullptr, "Edit", nullptr);
                    if (!name) {
                        HWND combo = FindWindowExA(dialog, nullptr, "ComboBox", nullptr);
                        name = combo ? FindWindowExA(combo, nullptr, "Edit", nullptr) : nullptr;
                    }
                    if (name)
                        SetWindowTextA(name, "Warm Vocal");
                    repaintNow(dialog);
                    if (qv::saveWindowBmp(dialog, outPath("add-preset").c_str()))
                        printf("wrote add-preset.bmp\n");
                    shown = true;
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                    return true;
                });
    SendMessageA(presets, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    if (!shown)
        missing("add-preset", "no dialog opened from the presets menu");
}

// The editor at work, opened the way a host opens it: the settings of the editor at work, band 4 (the
// presence lift) selected by a click on its handle, then the signal played.
struct AtWork {
    HWND frame = nullptr, editor = nullptr, graph = nullptr;
    int w = 0, h = 0;
    qv::GraphAxes axes;
};

bool openAtWork(qv::PluginHost& host, AtWork& at, std::string& why)
{
    host.dispatch(vst::effOpen);
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(vst::effSetBlockSize, 0, 441);
    host.dispatch(vst::effMainsChanged, 0, 1);
    applyData(host, kAtWork);
    vst::ERect* rect = nullptr;
    host.dispatch(vst::effEditGetRect, 0, 0, &rect);
    at.w = rect ? rect->right - rect->left : qv::layout::kEditorW;
    at.h = rect ? rect->bottom - rect->top : qv::layout::kEditorH;
    at.frame = makeFrame(at.w, at.h);
    host.dispatch(vst::effEditOpen, 0, 0, at.frame);
    at.editor = GetWindow(at.frame, GW_CHILD);
    at.graph = at.editor ? GetDlgItem(at.editor, 20000) : nullptr;
    if (!at.graph) {
        why = "the plug-in's window has no EQ graph yet";
        host.dispatch(vst::effEditClose);
        DestroyWindow(at.frame);
        return false;
    }
    KillTimer(at.editor, 1);
    gTicked = at.editor;
    idle(host, 10);

    RECT gr;
    GetClientRect(at.graph, &gr);
    at.axes = qv::makeGraphAxes(gr.right, gr.bottom, 44100.0f, 20, qv::windowScale(at.frame));
    const int x = qv::graphX(at.axes, 2500.0f), y = qv::graphY(at.axes, 40.0f);
    pointerTo(at.graph, x, y);
    click(at.graph, x, y);
    play(host, 1.0f);
    repaintNow(at.frame);
    return true;
}

void closeAtWork(qv::PluginHost& host, AtWork& at)
{
    gTicked = nullptr;
    host.dispatch(vst::effEditClose);
    DestroyWindow(at.frame);
}

// The user's analyzer choice (0 off, 1 output, 2 input and output) while this lives; what was there
// before comes back.
class AnalyzerChoice {
public:
    explicit AnalyzerChoice(DWORD mode)
    {
        DWORD size = sizeof old_;
        had_ = RegGetValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, kValue, RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
               ERROR_SUCCESS;
        RegSetKeyValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, kValue, REG_DWORD, &mode, sizeof mode);
    }
    ~AnalyzerChoice()
    {
        if (had_)
            RegSetKeyValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, kValue, REG_DWORD, &old_, sizeof old_);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, qv::kUserSettingsKey, kValue);
    }
    AnalyzerChoice(const AnalyzerChoice&) = delete;
    AnalyzerChoice& operator=(const AnalyzerChoice&) = delete;

private:
    static constexpr char kValue[] = "Analyzer";
    DWORD old_ = 0;
    bool had_ = false;
};

// Three seconds of the demo signal through the plug-in, each block followed by the analyzer's frame,
// sent here rather than left to its timer: the traces are then the same on every run.
constexpr UINT kAnalyzerTimer = 2;

void playDemo(qv::PluginHost& host, HWND editor)
{
    const int block = 1470, rate = 44100;
    const std::vector<float> demo = qv::makeDemoSignal(rate, 3.0);
    std::vector<float> left(block), right(block), outLeft(block), outRight(block);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    for (size_t start = 0; start + block <= demo.size() / 2; start += block) {
        for (int i = 0; i < block; ++i) {
            left[i] = demo[2 * (start + i)];
            right[i] = demo[2 * (start + i) + 1];
        }
        host.effect()->processReplacing(host.effect(), in, out, block);
        SendMessageA(editor, WM_TIMER, kAnalyzerTimer, 0);
    }
    KillTimer(editor, kAnalyzerTimer);
}

// The editor at work with both traces of the demo signal behind its curve.
void editorAnalyzing(const char* vstDll, const char* name, bool moving)
{
    AnalyzerChoice both(2);
    qv::PluginHost host;
    std::string error;
    AtWork at;
    if (!host.load(vstDll, error) || !openAtWork(host, at, error)) {
        missing(name, error.c_str());
        return;
    }
    KillTimer(at.editor, kAnalyzerTimer);
    playDemo(host, at.editor);
    idle(host, 1);
    repaintNow(at.frame);
    WindowPicture p(at.w, at.h, RGB(255, 255, 255));
    if (moving)
        p.grabMoving(at.editor, 0, 0);
    else
        p.grab(at.editor, 0, 0);
    save(p, name);
    closeAtWork(host, at);
}

void editorPictures(const char* vstDll)
{
    const char* names[] = {"editor",           "editor-labelled",  "editor-drag",       "editor-presets-menu",
                           "editor-band-menu", "editor-type-menu", "editor-range-menu", "editor-setup-menu",
                           "editor-typing",    "editor-band-off",  "editor-clip",       "add-preset"};

    qv::PluginHost host;
    std::string error;
    AtWork at;
    if (!host.load(vstDll, error) || !openAtWork(host, at, error)) {
        for (const char* n : names)
            missing(n, error.c_str());
        return;
    }
    HWND editor = at.editor, graph = at.graph;
    const int w = at.w, h = at.h;
    const qv::GraphAxes& axes = at.axes;

    WindowPicture plain(w, h, RGB(255, 255, 255));
    plain.grab(editor, 0, 0);
    save(plain, "editor");
    labelled(editor, w, h);

    // Band 3's handle (the dip at 400 Hz) dragged up and to the right, caught before the button is
    // let go. The pointer goes along: the graph warps a pointer that reaches the screen edge.
    const int x = qv::graphX(axes, 400.0f), y = qv::graphY(axes, -60.0f);
    pointerTo(graph, x, y);
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 10; ++step) {
        pointerTo(graph, x + 4 * step, y - 9 * step);
        SendMessageA(graph, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 4 * step, y - 9 * step));
        pump();
    }
    idle(host, 3);
    repaintNow(editor);
    WindowPicture drag(w, h, RGB(255, 255, 255));
    drag.grab(editor, 0, 0);
    save(drag, "editor-drag");
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(x + 40, y - 90));
    idle(host, 3);
    SendMessageA(GetDlgItem(editor, 20011), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));  // Undo the drag
    SendMessageA(GetDlgItem(editor, 20011), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    idle(host, 3);

    // The menus, each open over the part of the window it belongs to.
    HWND presets = GetDlgItem(editor, 20015);
    menuPicture(
        editor, [&] { SendMessageA(presets, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }, RECT{0, 0, w, h},
        "editor-presets-menu");
    SendMessageA(presets, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    HWND setupArrow = GetDlgItem(editor, 20013);
    menuPicture(
        editor, [&] { SendMessageA(setupArrow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 10)); },
        RECT{150, 0, 340, 120}, "editor-setup-menu");
    SendMessageA(setupArrow, WM_LBUTTONUP, 0, MAKELPARAM(7, 10));
    HWND typeArrow = GetDlgItem(editor, 1206);
    menuPicture(
        editor, [&] { SendMessageA(typeArrow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 10)); },
        RECT{10, 186, 250, 300}, "editor-type-menu");
    SendMessageA(typeArrow, WM_LBUTTONUP, 0, MAKELPARAM(7, 10));
    HWND number = GetDlgItem(editor, 1200);
    menuPicture(
        editor,
        [&] {
            SendMessageA(number, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(12, 10));
            SendMessageA(number, WM_RBUTTONUP, 0, MAKELPARAM(12, 10));
        },
        RECT{10, 186, 250, 300}, "editor-band-menu");
    menuPicture(
        editor,
        [&] {
            // The graph posts its right-click to the editor, which opens the menu when it gets it.
            SendMessageA(graph, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(300, 40));
            SendMessageA(graph, WM_RBUTTONUP, 0, MAKELPARAM(300, 40));
            pump();
        },
        RECT{200, 40, 490, 190}, "editor-range-menu");
    idle(host, 3);

    // The typing box, opened by a double-click on band 2's frequency field.
    HWND freq = GetDlgItem(editor, 1202);
    SendMessageA(freq, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    SendMessageA(freq, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    SendMessageA(freq, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 10));
    SendMessageA(freq, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    pump();
    HWND box = GetFocus();
    if (box && box != freq) {
        SetWindowTextA(box, "120");
        SendMessageA(box, EM_SETSEL, 3, 3);
        idle(host, 2);
        repaintNow(editor);
        WindowPicture typing(w, h, RGB(255, 255, 255));
        typing.grab(editor, 0, 0);
        saveCrop(typing, 10, 186, 250, 113, "editor-typing");
        SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        SendMessageA(box, WM_CHAR, VK_ESCAPE, 0);
        pump();
    } else {
        missing("editor-typing", "a double-click opened no typing box");
    }
    idle(host, 2);

    addPresetDialog(editor);
    idle(host, 2);

    // Band 4 switched off by a click on its number: its row greys, its handle changes.
    click(GetDlgItem(editor, 1400), 12, 10);
    idle(host, 3);
    repaintNow(editor);
    WindowPicture off(w, h, RGB(255, 255, 255));
    off.grab(editor, 0, 0);
    saveCrop(off, 10, 40, 410, 334, "editor-band-off");
    click(GetDlgItem(editor, 1400), 12, 10);
    idle(host, 2);

    // A louder signal through the boosted bands: the output goes beyond full scale and the lamps light.
    play(host, 4.0f);
    repaintNow(editor);
    WindowPicture clip(w, h, RGB(255, 255, 255));
    clip.grab(editor, 0, 0);
    saveCrop(clip, 250, 180, 256, 200, "editor-clip");

    closeAtWork(host, at);
}

// The editor at work on a display at 200 %, in a copy of this tool started with the desktop at 192 DPI:
// the window is taller than Wine's screen, so it is read in parts.
constexpr char kAt200Variable[] = "QV_SHOTS_AT_200";

void editorAt200(const char* vstDll)
{
    qv::PluginHost host;
    std::string error;
    AtWork at;
    if (!host.load(vstDll, error) || !openAtWork(host, at, error)) {
        missing("editor-200", error.c_str());
        return;
    }
    if (at.w != 1012) {
        missing("editor-200", "the editor did not open at 200 %");
    } else {
        WindowPicture plain(at.w, at.h, RGB(255, 255, 255));
        plain.grabMoving(at.editor, 0, 0);
        save(plain, "editor-200");
    }
    const bool at200 = at.w == 1012;
    closeAtWork(host, at);
    if (at200)
        editorAnalyzing(vstDll, "editor-analyzer-200", true);
    else
        missing("editor-analyzer-200", "the editor did not open at 200 %");
}

void editorAt200InCopy(const std::string& vstDll)
{
    qvtest::LogPixels restore;
    if (!qvtest::LogPixels::set(192)) {
        missing("editor-200", "the desktop's DPI cannot be set");
        return;
    }
    const long code = qvtest::runChild(kAt200Variable, "1", "\"" + gOut + "\" \"" + vstDll + "\"");
    if (code < 0)
        missing("editor-200", "the copy at 192 DPI did not run");
    else
        gMissing += static_cast<int>(code);
}

// The filter's property page, shown by the system's property frame as a media player shows it.
const CLSID kFilterClass = qv::guidFromText<CLSID>(qv::kEqualizerClsidText);
const CLSID kPageClass = qv::guidFromText<CLSID>(qv::kPropertyPageClsidText);

void propertyPage(const char* filterDll)
{
    HMODULE dll = LoadLibraryA(filterDll);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = dll ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")))
                   : nullptr;
    IClassFactory* factory = nullptr;
    IUnknown* filter = nullptr;
    if (get && SUCCEEDED(get(kFilterClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter));
        factory->Release();
    }
    // The page shows the filter at work, with the settings of the editor's pictures.
    IEqualizerControl* control = nullptr;
    if (filter && SUCCEEDED(filter->QueryInterface(IID_IEqualizerControl, reinterpret_cast<void**>(&control)))) {
        const qv::ParameterRecord record = recordFromData(kAtWork);
        control->SetParameters(&record);
        control->Release();
    }
    const DWORD cookie = dll ? qv::serveClassInProcess(dll, kPageClass) : 0;
    bool shown = false, noEditor = false;
    if (filter && cookie) {
        qv::showPropertyFrame(filter, IDC_PAGE_CLIP_LEFT, [&](HWND frame, HWND page) {
            qv::pumpMessages(300);
            if (!GetDlgItem(page, 20000)) {
                missing("property-page", "the page holds no editor yet");
                noEditor = true;
                qv::closeFrame(frame);
                return;
            }
            repaintNow(frame);
            RECT r;
            GetWindowRect(frame, &r);
            WindowPicture p(r.right - r.left, r.bottom - r.top, RGB(255, 255, 255));
            p.grab(frame, 0, 0);
            // The page is a window of its own inside the frame: copy it over the frame's picture.
            RECT pr;
            GetWindowRect(page, &pr);
            repaintNow(page);
            p.grab(page, pr.left - r.left, pr.top - r.top);
            save(p, "property-page");
            shown = true;
            qv::closeFrame(frame);
        });
    }
    if (!shown && !noEditor)
        missing("property-page", "the filter shows no property page");
    if (cookie)
        CoRevokeClassObject(cookie);
    if (filter)
        filter->Release();
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv(kAt200Variable) && argc == 3) {
        gInstance = GetModuleHandleA(nullptr);
        gOut = argv[1];
        AnalyzerChoice off(0);
        editorAt200(argv[2]);
        return gMissing;
    }
    if (argc != 5) {
        fprintf(stderr, "usage: screenshots OUTDIR VST_DLL FILTER_DLL FACTORY_INI\n");
        return 2;
    }
    gInstance = GetModuleHandleA(nullptr);
    gOut = argv[1];
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // Both the store and the plug-in find the preset file through the plug-in path value. They work on
    // a copy in the output folder: adding a preset saves the file even when the dialog is cancelled.
    char full[MAX_PATH];
    GetFullPathNameA(gOut.c_str(), sizeof(full), full, nullptr);
    const std::string folder = std::string(full) + "\\presets";
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!CopyFileA(argv[4], (folder + "\\" + qv::kPresetFileName).c_str(), FALSE))
        fprintf(stderr, "cannot copy %s\n", argv[4]);
    PluginPathValue path(folder);
    AnalyzerChoice off(0);
    presetManager();
    OleInitialize(nullptr);
    propertyPage(argv[3]);
    OleUninitialize();
    editorPictures(argv[2]);
    editorAnalyzing(argv[2], "editor-analyzer", false);
    editorAt200InCopy(argv[2]);
    if (gMissing)
        printf("%d picture(s) left out\n", gMissing);
    return 0;
}
