// Pictures of the Preset Manager and its small dialogs, for looking at them by eye: the manager over a
// few presets and its Add dialog; a parametric EQ text with more filters than bands (the question,
// then the Add dialog proposing); the context menu over the manager; and the note after exporting a
// preset the text format cannot say within 1 dB. The dialogs run as in the preset tests, under the
// same hand (UiDriver) over the same kind of preset folder, with the same registry values.
//
//   presetpictures OUTDIR
// writes one BMP per picture into OUTDIR and exits non-zero when a picture or a step failed.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "ManagerSteps.h"
#include "PresetResources.h"
#include "PresetStore.h"
#include "PresetTestEnv.h"
#include "UiDriver.h"
#include "WindowPicture.h"

using namespace qvtest;

namespace {

int gUnsaved = 0;

void saved(bool ok, const std::string& path)
{
    if (ok) {
        std::printf("wrote %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        ++gUnsaved;
    }
}

// A window's picture, frame and children included.
void saveWindowPicture(HWND window, const std::string& path) { saved(qv::saveWindowBmp(window, path.c_str()), path); }

// The dialog with its open context menu over it.
void saveMenuPicture(HWND dialog, HWND menu, const std::string& path)
{
    RECT d, m, all;
    GetWindowRect(dialog, &d);
    GetWindowRect(menu, &m);
    UnionRect(&all, &d, &m);
    qv::WindowPicture picture(all.right - all.left, all.bottom - all.top, RGB(0, 0, 0));
    picture.grab(dialog, d.left - all.left, d.top - all.top);
    picture.grab(menu, m.left - all.left, m.top - all.top);
    saved(picture.save(path.c_str()), path);
}

// A message box pictured, then answered with `button`.
UiDriver::Step boxPicture(const std::string& path, int button)
{
    return [path, button](HWND box) {
        if (messageBoxText(box).empty())
            return false;
        saveWindowPicture(box, path);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

// The preset tests' own folder, registry values and owner window, as a case of the Preset Manager's
// tests has them, with the store open over its starting presets; all of it goes again afterwards.
class Session : public PresetEnv {
public:
    Session()
    {
        SetUp();
        writeFile(presetPath(), startingPresets());
        store_ = openStore();
    }
    ~Session() override
    {
        store_.reset();
        TearDown();
    }
    // `folder` ends with a backslash.
    void takePictures(const std::string& folder);

private:
    void TestBody() override {}

    std::unique_ptr<qv::PresetStore> store_;
};

void Session::takePictures(const std::string& folder)
{
    store_->setCurrent(3502);
    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            TreeView_Expand(treeOf(d), findTreeItem(treeOf(d), "Live"), TVE_EXPAND);
                            saveWindowPicture(d, folder + "manager.bmp");
                            click(d, IDC_PRESET_ADD);
                        }))
        .then(ui.inDialog("Add qv:Equalizer preset",
                          [&](HWND d) {
                              saveWindowPicture(d, folder + "add.bmp");
                              click(d, IDCANCEL);
                          }))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_CANCEL); }));
    qv::runPresetManager(*store_);

    // A parametric EQ text with more filters than bands: the question, then the Add dialog proposing.
    const std::string source = dir + "Studio Cans.txt";
    writeFile(source, "Preamp: -6.4 dB\nFilter 1: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.71\n"
                      "Filter 2: ON PK Fc 180 Hz Gain -3.2 dB Q 0.9\nFilter 3: ON PK Fc 1250 Hz Gain 2.4 dB Q 1.8\n"
                      "Filter 4: ON PK Fc 3100 Hz Gain -4.1 dB Q 3.5\nFilter 5: ON PK Fc 6200 Hz Gain 3 dB Q 5\n"
                      "Filter 6: ON HSC Fc 10000 Hz Gain -2.5 dB Q 0.71\nFilter 7: ON PK Fc 8400 Hz Gain -1.5 dB Q 6\n"
                      "Filter 8: ON LP1 Fc 16000 Hz\nFilter 9: ON BP Fc 1000 Hz Q 1.0\n");
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Rough");
                            click(d, IDC_PRESET_IMPORT);
                        }))
        .then(chooseInFileDialog(ui, "Import Preset(s)", source))
        .then(boxPicture(folder + "eq-notes.bmp", IDYES))
        .then(ui.inDialog("Add qv:Equalizer preset",
                          [&](HWND d) {
                              saveWindowPicture(d, folder + "eq-add.bmp");
                              click(d, IDCANCEL);
                          }))
        .then(ui.inDialog(kManager, [&](HWND d) { rightClick(d, "Kick"); }))
        .then([&](HWND d) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu == nullptr || !IsWindowVisible(menu))
                return false;
            saveMenuPicture(d, menu, folder + "eq-menu.bmp");
            PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        })
        // A peak at the top of the range that the format cannot say within 1 dB: the note after export.
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              store_->working().at(4)->data = "0,1,0,20000,1000,180,1,3,16000,5,0";
                              rightClick(d, "Flat");
                          }))
        .then(inContextMenu(6, -1))
        .then(chooseInFileDialog(ui, "Export preset as parametric EQ text", dir + "flat.txt"))
        .then(boxPicture(folder + "eq-export-notes.bmp", IDOK))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_CANCEL); }));
    qv::runPresetManager(*store_);
}

}  // namespace

int main(int argc, char** argv)
{
    char full[MAX_PATH];
    if (argc != 2 || GetFullPathNameA(argv[1], sizeof full, full, nullptr) == 0) {
        std::fprintf(stderr, "usage: presetpictures OUTDIR\n");
        return 2;
    }
    std::string folder = full;
    if (folder.back() != '\\')
        folder += '\\';
    {
        Session session;
        session.takePictures(folder);
    }
    // The driver's checks (a dialog that never came, steps left over) report through the test library.
    const bool stepsFailed = ::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed();
    return stepsFailed || gUnsaved ? 1 : 0;
}
