// Pictures of the product for the manual, taken from real windows under Wine: the Preset Manager over
// the factory presets, and the VST plug-in's own editor opened the way a host opens it (at its
// defaults, labelled, during a graph drag, with the presets menu open).
//
//   screenshots OUTDIR VST_DLL FACTORY_INI
// writes one BMP per picture into OUTDIR; a picture whose window is not there yet is left out and
// named on the output.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Capture.h"
#include "GraphMath.h"
#include "PluginHost.h"
#include "PresetStore.h"

using namespace shots;

namespace {

HINSTANCE gInstance;
std::string gOut;
int gMissing = 0;

std::string outPath(const char* name) { return gOut + "\\" + name + ".bmp"; }

void save(const Picture& p, const char* name)
{
    if (p.saveBmp(outPath(name).c_str()))
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

// The visible top-level window of this thread with the class (and title, when given).
HWND threadWindow(const char* cls, const char* title)
{
    struct Find {
        const char *cls, *title;
        HWND window;
    } query{cls, title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            Find& f = *reinterpret_cast<Find*>(lp);
            char c[64] = {}, t[128] = {};
            GetClassNameA(w, c, sizeof(c));
            GetWindowTextA(w, t, sizeof(t));
            if (IsWindowVisible(w) && strcmp(c, f.cls) == 0 && (!f.title || strcmp(t, f.title) == 0)) {
                f.window = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&query));
    return query.window;
}

void repaintNow(HWND w)
{
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

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
                    Picture p(r.right - r.left, r.bottom - r.top, RGB(255, 255, 255));
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

struct Label {
    int number, id;
};
// The numbers of the manual's window page.
const Label kLabels[] = {{1, 20010}, {2, 20011},  {3, 20012}, {4, 20013}, {5, 20014},  {6, 20015},  {7, 20016},
                         {8, 20000}, {9, 1100},   {10, 1101}, {11, 1106}, {12, 1102},  {13, 1103},  {14, 1104},
                         {15, 1105}, {16, 20022}, {17, 1004}, {18, 1005}, {19, 20032}, {20, 10600}, {21, 20030}};

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

    Picture plain(w, h, RGB(255, 255, 255));
    plain.grab(editor, 0, 0);
    save(plain, "editor");
    for (const Label& l : kLabels) {
        HWND c = GetDlgItem(editor, l.id);
        if (!c)
            continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
        plain.label(l.number, r.left, r.top);
    }
    save(plain, "editor-labelled");

    // Band 3's handle dragged up and to the right, caught before the button is let go.
    RECT gr;
    GetClientRect(graph, &gr);
    const qv::GraphAxes axes = qv::makeGraphAxes(gr.right, gr.bottom, 44100.0f, 20);
    const int x = qv::graphX(axes, 200.0f), y = qv::graphY(axes, 0.0f);
    SendMessageA(graph, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 8; ++step) {
        SendMessageA(graph, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 6 * step, y - 8 * step));
        idle(host, 1);
    }
    idle(host, 3);
    repaintNow(editor);
    Picture drag(w, h, RGB(255, 255, 255));
    drag.grab(editor, 0, 0);
    save(drag, "editor-drag");
    SendMessageA(graph, WM_LBUTTONUP, 0, MAKELPARAM(x + 48, y - 64));
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
                    Picture p(right - er.left, bottom - er.top, RGB(255, 255, 255));
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: screenshots OUTDIR VST_DLL FACTORY_INI\n");
        return 2;
    }
    gInstance = GetModuleHandleA(nullptr);
    gOut = argv[1];
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // Both the store and the plug-in find the preset file through the plug-in path value.
    char full[MAX_PATH];
    GetFullPathNameA(argv[3], sizeof(full), full, nullptr);
    std::string folder = full;
    folder.erase(folder.find_last_of('\\'));
    PluginPathValue path(folder);
    presetManager();
    editorPictures(argv[2]);
    if (gMissing)
        printf("%d picture(s) left out\n", gMissing);
    return 0;
}
