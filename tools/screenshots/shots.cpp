// Pictures of the product for the manual, taken from real windows under Wine: the Preset Manager over
// the factory presets, and the VST plug-in's own editor opened the way a host opens it (at its
// defaults, labelled, during a graph drag, with the presets menu open), and the DirectShow filter's
// property page in the system's property frame.
//
//   screenshots OUTDIR VST_DLL FILTER_DLL FACTORY_INI
// writes one BMP per picture into OUTDIR; a picture whose window is not there yet is left out and
// named on the output.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "GraphMath.h"
#include "PageFrame.h"
#include "PluginHost.h"
#include "PresetStore.h"
#include "WindowPicture.h"

using qv::WindowPicture;

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

// A numbered marker centred at (x, y): a label for the manual's picture of the window.
void label(WindowPicture& picture, int number, int x, int y)
{
    using namespace qv;
    HDC dc = picture.dc();
    char text[8];
    snprintf(text, sizeof(text), "%d", number);
    const int radius = 7;
    Pen pen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    Brush brush(CreateSolidBrush(RGB(200, 40, 30)));
    Font font(CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial"));
    SelectedObject withPen(dc, pen.get()), withBrush(dc, brush.get());
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
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
    HWND owner = makeFrame(506, 411);
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

// Where a label sits on its control: on the top-left corner, left of it, or in the gap to its right (the
// meters and clip lamps stand too close together for corner labels).
enum class Place {
    kCorner,
    kLeft,
    kRight
};
struct Label {
    int number, id;
    Place place;
};
// The numbers of the manual's window page.
const Label kLabels[] = {{1, 20010, Place::kCorner},  {2, 20011, Place::kCorner}, {3, 20012, Place::kCorner},
                         {4, 20013, Place::kCorner},  {5, 20014, Place::kCorner}, {6, 20015, Place::kCorner},
                         {7, 20016, Place::kCorner},  {8, 20000, Place::kCorner}, {9, 1100, Place::kCorner},
                         {10, 1101, Place::kCorner},  {11, 1106, Place::kCorner}, {12, 1102, Place::kCorner},
                         {13, 1103, Place::kCorner},  {14, 1104, Place::kCorner}, {15, 1105, Place::kCorner},
                         {16, 20022, Place::kCorner}, {17, 1004, Place::kCorner}, {18, 1005, Place::kCorner},
                         {19, 20032, Place::kLeft},   {20, 10600, Place::kRight}, {21, 20030, Place::kRight}};

void idle(qv::PluginHost& host, int times)
{
    for (int i = 0; i < times; ++i) {
        host.dispatch(vst::effEditIdle);
        pump();
        Sleep(10);
    }
}

void editorPictures(const char* vstDll)
{
    const char* names[] = {"editor", "editor-labelled", "editor-drag", "editor-presets-menu"};

    qv::PluginHost host;
    std::string error;
    if (!host.load(vstDll, error)) {
        for (const char* n : names)
            missing(n, error.c_str());
        return;
    }
    host.dispatch(vst::effOpen);
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(vst::effMainsChanged, 0, 1);
    vst::ERect* rect = nullptr;
    host.dispatch(vst::effEditGetRect, 0, 0, &rect);
    const int w = rect ? rect->right - rect->left : 506, h = rect ? rect->bottom - rect->top : 411;
    HWND frame = makeFrame(w, h);
    host.dispatch(vst::effEditOpen, 0, 0, frame);
    HWND editor = GetWindow(frame, GW_CHILD);
    HWND graph = editor ? GetDlgItem(editor, 20000) : nullptr;
    if (!graph) {
        for (const char* n : names)
            missing(n, "the plug-in's window has no EQ graph yet");
        host.dispatch(vst::effEditClose);
        DestroyWindow(frame);
        return;
    }
    idle(host, 10);
    repaintNow(frame);

    WindowPicture plain(w, h, RGB(255, 255, 255));
    plain.grab(editor, 0, 0);
    save(plain, "editor");
    for (const Label& l : kLabels) {
        HWND c = GetDlgItem(editor, l.id);
        if (!c)
            continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
        if (l.place == Place::kLeft)
            label(plain, l.number, r.left - 8, (r.top + r.bottom) / 2);
        else if (l.place == Place::kRight)
            label(plain, l.number, r.right + 9, (r.top + r.bottom) / 2);
        else
            label(plain, l.number, r.left, r.top);
    }
    save(plain, "editor-labelled");

    // Band 3's handle dragged up and to the right, caught before the button is let go.
    RECT gr;
    GetClientRect(graph, &gr);
    const qv::GraphAxes axes = qv::makeGraphAxes(gr.right, gr.bottom, 44100.0f, 20);
    const int x = qv::graphX(axes, 200.0f), y = qv::graphY(axes, 0.0f);
    // The pointer goes along: the graph warps a pointer that reaches the screen edge.
    auto pointTo = [graph](int px, int py) {
        POINT p{px, py};
        ClientToScreen(graph, &p);
        SetCursorPos(p.x, p.y);
    };
    pointTo(x, y);
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 10; ++step) {
        pointTo(x + 6 * step, y - 10 * step);
        SendMessageA(graph, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 6 * step, y - 10 * step));
        pump();
    }
    idle(host, 3);
    repaintNow(editor);
    WindowPicture drag(w, h, RGB(255, 255, 255));
    drag.grab(editor, 0, 0);
    save(drag, "editor-drag");
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(x + 60, y - 100));
    idle(host, 3);

    // The presets menu, open while the button is held: the editor and the menu on one picture.
    HWND presets = GetDlgItem(editor, 20015);
    RECT er;
    GetWindowRect(editor, &er);
    bool shown = false;
    duringModal([&] { SendMessageA(presets, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); },
                [&] {
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
                    save(p, "editor-presets-menu");
                    shown = true;
                    EndMenu();
                    return true;
                });
    SendMessageA(presets, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    if (!shown)
        missing("editor-presets-menu", "no menu opened on the Presets button");
    idle(host, 2);
    host.dispatch(vst::effEditClose);
    DestroyWindow(frame);
}

// The filter's property page, shown by the system's property frame as a media player shows it.
const CLSID kFilterClass = {0x7A3D5E10, 0x4B2C, 0x41F8, {0x9E, 0x61, 0x2C, 0x7B, 0x8D, 0x04, 0xA9, 0xF3}};
const CLSID kPageClass = {0x7A3D5E11, 0x4B2C, 0x41F8, {0x9E, 0x61, 0x2C, 0x7B, 0x8D, 0x04, 0xA9, 0xF3}};

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
    const DWORD cookie = dll ? qv::serveClassInProcess(dll, kPageClass) : 0;
    bool shown = false, noEditor = false;
    if (filter && cookie) {
        qv::showPropertyFrame(filter, 1020, [&](HWND frame, HWND page) {
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
    if (argc != 5) {
        fprintf(stderr, "usage: screenshots OUTDIR VST_DLL FILTER_DLL FACTORY_INI\n");
        return 2;
    }
    gInstance = GetModuleHandleA(nullptr);
    gOut = argv[1];
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // Both the store and the plug-in find the preset file through the plug-in path value.
    char full[MAX_PATH];
    GetFullPathNameA(argv[4], sizeof(full), full, nullptr);
    std::string folder = full;
    folder.erase(folder.find_last_of('\\'));
    PluginPathValue path(folder);
    presetManager();
    OleInitialize(nullptr);
    propertyPage(argv[3]);
    OleUninitialize();
    editorPictures(argv[2]);
    if (gMissing)
        printf("%d picture(s) left out\n", gMissing);
    return 0;
}
