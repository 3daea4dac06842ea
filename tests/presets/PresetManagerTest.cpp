// The Preset Manager and its small dialogs, driven through real dialogs, message boxes and file
// dialogs under the test's own hand.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "DataText.h"
#include "ManagerSteps.h"
#include "PresetResources.h"
#include "PresetTestEnv.h"
#include "UiDriver.h"

using namespace qv;
using namespace qvtest;

namespace {
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// "bank/name" of the selected item ("/name" directly under the root).
std::string selected(HWND dialog)
{
    HWND tree = treeOf(dialog);
    HTREEITEM item = TreeView_GetSelection(tree);
    if (item == nullptr)
        return "<none>";
    HTREEITEM parent = TreeView_GetParent(tree, item);
    bool underRoot = parent == nullptr || TreeView_GetParent(tree, parent) == nullptr;
    return (underRoot ? std::string() : treeItemText(tree, parent)) + "/" + treeItemText(tree, item);
}

// Posted: the question it may ask must not open inside the driver's own step.
void doubleClick(HWND dialog)
{
    static NMHDR header;
    header = {treeOf(dialog), IDC_PRESET_TREE, static_cast<UINT>(NM_DBLCLK)};
    PostMessageA(dialog, WM_NOTIFY, IDC_PRESET_TREE, reinterpret_cast<LPARAM>(&header));
}

UiDriver::Step addInDialog(UiDriver& ui, const char* name, const char* bank)
{
    return ui.inDialog("Add qv:Equalizer preset", [name, bank](HWND d) {
        SetDlgItemTextA(d, IDC_PRESET_NAME, name);
        SetDlgItemTextA(d, IDC_PRESET_BANK, bank);
        click(d, IDOK);
    });
}

std::string names(PresetStore& store)
{
    std::string text;
    for (int i = 0; i < store.working().count(); ++i)
        text += store.working().at(i)->bank + "/" + store.working().at(i)->name + ";";
    return text;
}

class PresetManagerTest : public PresetEnv {
protected:
    void SetUp() override
    {
        PresetEnv::SetUp();
        writeFile(presetPath(), startingPresets());
        store = openStore();
        original = readFile(presetPath());
    }
    std::unique_ptr<PresetStore> store;
    std::string original;
};
}  // namespace

TEST_F(PresetManagerTest, TreeButtonsAndTheWaysToCloseWithoutSaving)
{
    const std::string all = "Drums/Kick;Drums/Snare;Live/Rough;Studio/Clean;/Flat;";
    UiDriver ui;
    // Open, look, delete a preset, Cancel: everything is back.
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            EXPECT_EQ(
                                treeShape(treeOf(d)),
                                "Available qv:Equalizer presets{Drums{Kick,Snare},Live{Rough},Studio{Clean},Flat}");
                            EXPECT_FALSE(enabled(d, IDC_PRESET_UPDATE));
                            EXPECT_FALSE(enabled(d, IDC_PRESET_RENAME));
                            EXPECT_TRUE(enabled(d, IDC_PRESET_DELETE));
                            EXPECT_EQ(runPresetManager(*store), 0);  // a second one does nothing
                            select(d, "Kick");
                            EXPECT_TRUE(enabled(d, IDC_PRESET_UPDATE));
                            EXPECT_TRUE(enabled(d, IDC_PRESET_RENAME));
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset \"Kick\"?", IDYES))
        .then(ui.inDialog(kManager, [&](HWND d) {
            EXPECT_EQ(treeShape(treeOf(d)),
                      "Available qv:Equalizer presets{Drums{Snare},Live{Rough},Studio{Clean},Flat}");
            click(d, IDC_PRESET_CANCEL);
        }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(names(*store), all);

    // Delete the last preset of a bank, then Escape and No: restored too.
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Rough");
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset \"Rough\"?", IDYES))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(treeShape(treeOf(d)),
                                        "Available qv:Equalizer presets{Drums{Kick,Snare},Studio{Clean},Flat}");
                              click(d, IDCANCEL);
                          }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDCANCEL))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDCANCEL); }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDNO));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(names(*store), all);

    // Update, then Escape: no question, new Data in memory, the file untouched.
    gOwnerData = "7,7,7";
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Flat");
                            click(d, IDC_PRESET_UPDATE);
                        }))
        .then(ui.answer("Would you like to update the stored parameters for\nthe \"Flat\" preset with the current "
                        "settings?",
                        IDYES))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              // The Delete key on the root asks about everything.
                              select(d, "Available qv:Equalizer presets");
                              SendMessageA(treeOf(d), WM_KEYDOWN, VK_DELETE, 0);
                          }))
        .then(ui.answer("Are you sure you want to delete ALL the qv:Equalizer banks and presets?", IDNO))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDCANCEL); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(store->working().at(4)->data, "7,7,7");
    EXPECT_EQ(store->working().at(4)->version, 3);
    EXPECT_EQ(readFile(presetPath()), original);
}

TEST_F(PresetManagerTest, RenameMergesBanksAndAddedPresetsVanishWithTheBackup)
{
    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Live");
                            click(d, IDC_PRESET_RENAME);
                        }))
        .then(ui.inDialog("Rename qv:Equalizer bank",
                          [&](HWND d) {
                              char text[64];
                              GetDlgItemTextA(d, IDC_PRESET_NAME, text, sizeof text);
                              EXPECT_STREQ(text, "Live");
                              SetDlgItemTextA(d, IDC_PRESET_NAME, "");
                              click(d, IDOK);
                          }))
        .then(ui.answer("Unable to rename preset because you did not specify any name.", IDOK))
        .then(ui.inDialog("Rename qv:Equalizer bank",
                          [&](HWND d) {
                              SetDlgItemTextA(d, IDC_PRESET_NAME, "STUDIO");
                              click(d, IDOK);
                          }))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(treeShape(treeOf(d)),
                                        "Available qv:Equalizer presets{Drums{Kick,Snare},Studio{Clean,Rough},Flat}");
                              click(d, IDC_PRESET_ADD);
                          }))
        .then(ui.inDialog("Add qv:Equalizer preset",
                          [&](HWND d) {
                              HWND combo = GetDlgItem(d, IDC_PRESET_BANK);
                              EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);  // Drums, STUDIO
                              click(d, IDOK);
                          }))
        .then(ui.answer("Unable to add preset because no name was specified.", IDOK))
        .then(addInDialog(ui, "Fresh", "Drums"))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(selected(d), "Drums/Fresh");
                              doubleClick(d);
                          }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDNO));
    int result = runPresetManager(*store);
    EXPECT_EQ(result, 3506);
    EXPECT_EQ(store->working().findById(3506), nullptr);  // restored list: nothing to load
    int32_t version;
    EXPECT_EQ(store->select(result, &version), nullptr);
    EXPECT_EQ(readFile(presetPath()), original);

    // The same with Yes: saved, and the result loads the new preset.
    gOwnerData = "9,9,9";
    ui.then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_ADD); }))
        .then(addInDialog(ui, "Fresh", "Drums"))
        .then(ui.inDialog(kManager, [&](HWND d) { doubleClick(d); }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDYES));
    result = runPresetManager(*store);
    ASSERT_NE(store->working().findById(result), nullptr);
    EXPECT_STREQ(store->select(result, &version), "9,9,9");
    EXPECT_EQ(store->getCurrent(), result);
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Fresh");
    EXPECT_EQ(profile(presetPath(), "Preset1", "Data"), "9,9,9");
    EXPECT_EQ(profile(presetPath(), "Preset6", "Name"), "Flat");
}

TEST_F(PresetManagerTest, AnIdNeverNamesAnotherPresetAndTheCurrentIdFollowsTheList)
{
    // "Flat" holds the largest id. Delete it, add "Fresh", double-click that and answer No: the
    // backup brings "Flat" back, and the result must not name it.
    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Flat");
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset \"Flat\"?", IDYES))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_ADD); }))
        .then(addInDialog(ui, "Fresh", ""))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(selected(d), "/Fresh");
                              doubleClick(d);
                          }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDNO));
    int result = runPresetManager(*store);
    EXPECT_EQ(result, 3506);
    int32_t version;
    EXPECT_EQ(store->select(result, &version), nullptr);
    EXPECT_EQ(store->getCurrent(), -1);

    // An Add given up with Cancel leaves no current preset behind.
    store->setCurrent(3505);
    ui.then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_ADD); }))
        .then(addInDialog(ui, "Gone", "Drums"))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_CANCEL); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(store->getCurrent(), -1);

    // The current preset inside a bank is selected at opening; deleted and saved, it is current no more.
    store->setCurrent(3502);
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            EXPECT_EQ(selected(d), "Drums/Snare");
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset \"Snare\"?", IDYES))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDCANCEL); }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDYES));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(store->getCurrent(), -1);
    EXPECT_EQ(profile(presetPath(), "Preset2", "Name"), "Rough");
    HMENU menu = CreatePopupMenu();
    store->addMenuItems(menu);
    EXPECT_EQ(GetMenuState(menu, 1503, MF_BYCOMMAND), static_cast<UINT>(-1));  // no "Update Preset:"
    DestroyMenu(menu);
}

TEST_F(PresetManagerTest, DeletingABankAndSaving)
{
    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Drums");
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset bank \"Drums\"?\nAll presets contained in "
                        "this bank will be lost.",
                        IDYES))
        .then(ui.inDialog(kManager, [&](HWND d) {
            EXPECT_EQ(treeShape(treeOf(d)), "Available qv:Equalizer presets{Live{Rough},Studio{Clean},Flat}");
            click(d, IDOK);
        }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Rough");
    EXPECT_EQ(profile(presetPath(), "Preset4", "Name"), "<absent>");
}

TEST_F(PresetManagerTest, AFailedSaveKeepsTheDialogOpen)
{
    SetFileAttributesA(presetPath().c_str(), FILE_ATTRIBUTE_READONLY);
    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Flat");
                            click(d, IDC_PRESET_DELETE);
                        }))
        .then(ui.answer("Do you want to delete the qv:Equalizer preset \"Flat\"?", IDYES))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDOK); }))
        .then(ui.answer("The presets could not be saved to the file\n\"" + presetPath() + "\".", IDOK))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDCANCEL); }))
        .then(ui.answer("Save changes before exiting the Preset Manager?", IDYES))
        .then(ui.answer("The presets could not be saved to the file\n\"" + presetPath() + "\".", IDOK))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_CANCEL); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(readFile(presetPath()), original);
    EXPECT_EQ(store->working().count(), 5);
}

// A plug-in copied by hand: no registry value names the file. Save and the save question's Yes
// warn once and close, keeping the edits for the session; they are not thrown away.
TEST_F(PresetManagerTest, WithoutAKnownFileSavingWarnsOnceAndKeepsTheEdits)
{
    setPluginPath(nullptr);
    store = openStore();
    ASSERT_FALSE(store->fileKnown());
    const std::string unknown = "The presets could not be saved because the location of the preset file is not known.";
    {
        UiDriver ui;
        ui.then(addInDialog(ui, "One", ""))
            .then(ui.answer(unknown, IDOK))  // an added preset really tries the save
            .then(addInDialog(ui, "Two", "B"))
            .then(ui.answer(unknown, IDOK))
            .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_ADD); }))
            .then(addInDialog(ui, "Three", ""))
            .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDOK); }))
            .then(ui.answer(unknown, IDOK));
        EXPECT_EQ(store->addPreset(), 1);
        EXPECT_EQ(store->addPreset(), 1);
        EXPECT_EQ(runPresetManager(*store), 0);
    }
    EXPECT_EQ(names(*store), "B/Two;/One;/Three;");
    {
        UiDriver ui;
        ui.then(ui.inDialog(kManager,
                            [&](HWND d) {
                                select(d, "One");
                                click(d, IDC_PRESET_DELETE);
                            }))
            .then(ui.answer("Do you want to delete the qv:Equalizer preset \"One\"?", IDYES))
            .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDCANCEL); }))
            .then(ui.answer("Save changes before exiting the Preset Manager?", IDYES))
            .then(ui.answer(unknown, IDOK));
        EXPECT_EQ(runPresetManager(*store), 0);
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(names(*store), "B/Two;/Three;");
    EXPECT_EQ(listFolder(dir), std::string(kPresetFileName) + ";");
    EXPECT_EQ(readFile(presetPath()), original);
}

TEST_F(PresetManagerTest, ImportAndExportThroughTheFileDialogs)
{
    std::string source = dir + "more.ini";
    writeFile(source, header() + section(1, "Extra", "Drums"));
    std::string exported = dir + "Drums.ini";
    UiDriver ui;
    ui.then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_IMPORT); }))
        .then(ui.inDialog("Import Preset(s)",
                          [&](HWND d) {
                              SetDlgItemTextA(d, 0x47c, source.c_str());
                              click(d, IDOK);
                          }))
        .then(ui.inDialog(
            kManager,
            [&](HWND d) {
                EXPECT_EQ(treeShape(treeOf(d)),
                          "Available qv:Equalizer presets{Drums{Extra,Kick,Snare},Live{Rough},Studio{Clean},Flat}");
                select(d, "Drums");
                click(d, IDC_PRESET_EXPORT);
            }))
        .then(ui.inDialog("Export preset bank",
                          [&](HWND d) {
                              char name[MAX_PATH] = {};
                              GetDlgItemTextA(d, 0x47c, name, sizeof name);
                              EXPECT_STREQ(name, "Drums.ini");
                              SetDlgItemTextA(d, 0x47c, exported.c_str());
                              click(d, IDOK);
                          }))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_CANCEL); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(profile(exported, "Preset1", "Name"), "Extra");
    EXPECT_EQ(profile(exported, "Preset3", "Name"), "Snare");
    EXPECT_EQ(store->working().count(), 5);  // cancelled: the import is undone
}

TEST_F(PresetManagerTest, ContextMenuMovesPresets)
{
    UiDriver ui;
    ui.then(ui.inDialog(kManager, [&](HWND d) { rightClick(d, "Rough"); }))
        .then(inContextMenu(5, 0))  // Move Preset > to Root
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(treeShape(treeOf(d)),
                                        "Available qv:Equalizer presets{Drums{Kick,Snare},Studio{Clean},Flat,Rough}");
                              EXPECT_EQ(treeItemText(treeOf(d), TreeView_GetSelection(treeOf(d))), "Rough");
                              rightClick(d, "Rough");
                          }))
        .then(inContextMenu(5, 1))  // Move Preset > Drums (no "to Root" for a preset without bank)
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(treeShape(treeOf(d)),
                                        "Available qv:Equalizer presets{Drums{Kick,Rough,Snare},Studio{Clean},Flat}");
                              rightClick(d, "Flat");
                          }))
        .then(inContextMenu(5, 0))  // Move Preset > to New Bank...
        .then(ui.inDialog("Move preset \"Flat\" to new bank", [&](HWND d) { click(d, IDOK); }))
        .then(ui.answer("Unable to move preset to new bank because no bank name was specified.", IDOK))
        .then(ui.inDialog("Move preset \"Flat\" to new bank",
                          [&](HWND d) {
                              SetDlgItemTextA(d, IDC_PRESET_BANK, "Ambient");
                              click(d, IDOK);
                          }))
        .then(ui.inDialog(
            kManager,
            [&](HWND d) {
                EXPECT_EQ(treeShape(treeOf(d)),
                          "Available qv:Equalizer presets{Ambient{Flat},Drums{Kick,Rough,Snare},Studio{Clean}}");
                rightClick(d, "Studio");
            }))
        .then(inContextMenu(4, -1))  // Delete, on a bank
        .then(ui.answer("Do you want to delete the qv:Equalizer preset bank \"Studio\"?\nAll presets contained in "
                        "this bank will be lost.",
                        IDNO))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDOK); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(profile(presetPath(), "Preset1", "Bank"), "Ambient");
    EXPECT_EQ(profile(presetPath(), "Preset3", "Name"), "Rough");
    EXPECT_EQ(profile(presetPath(), "Preset3", "Bank"), "Drums");
}

namespace {
// A message box whose text holds every fragment; then press the button.
UiDriver::Step answerHolding(std::vector<std::string> fragments, int button)
{
    return [fragments, button](HWND box) {
        const std::string text = messageBoxText(box);
        if (text.empty())
            return false;
        for (const std::string& fragment : fragments)
            EXPECT_NE(text.find(fragment), std::string::npos) << fragment << " in:\n" << text;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}
}  // namespace

TEST_F(PresetManagerTest, ParametricEqTextsComeInThroughImportAndGoOutThroughTheMenu)
{
    // Seven filters for six bands: the user hears about the seventh before anything is stored.
    const std::string source = dir + "Studio Cans.txt";
    std::string text = "Preamp: -3.5 dB\r\nFilter 1: ON PK Fc 1000 Hz Gain 6.0 dB Q 1.41\r\n";
    for (int n = 2; n <= 7; ++n)
        text += "Filter " + std::to_string(n) + ": ON PK Fc " + std::to_string(n * 1000) + " Hz Gain -1.0 dB Q 2.0\r\n";
    writeFile(source, text);
    const std::string prose = dir + "readme.txt";
    writeFile(prose, "Measured on a Tuesday.\r\n");
    const std::string presetOut = dir + "cans-out.txt", settingsOut = dir + "settings-out.txt";
    const std::vector<std::string> note = {"\"Studio Cans.txt\" fits", "Filter 7 (PK",
                                           "left out, the equalizer has six bands.", "\n\nImport what fits?"};

    UiDriver ui;
    ui.then(ui.inDialog(kManager,
                        [&](HWND d) {
                            select(d, "Snare");
                            click(d, IDC_PRESET_IMPORT);
                        }))
        .then(chooseInFileDialog(ui, "Import Preset(s)", source))
        .then(answerHolding(note, IDNO))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(store->working().count(), 5);
                              click(d, IDC_PRESET_IMPORT);
                          }))
        .then(chooseInFileDialog(ui, "Import Preset(s)", prose))
        .then(ui.answer("Nothing was imported from the file \"readme.txt\".\n\nThe file holds no parametric EQ "
                        "settings: no \"Preamp:\" or \"Filter:\" line.",
                        IDOK))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDC_PRESET_IMPORT); }))
        .then(chooseInFileDialog(ui, "Import Preset(s)", source))
        .then(answerHolding(note, IDYES))
        .then(ui.inDialog("Add qv:Equalizer preset",
                          [&](HWND d) {
                              EXPECT_EQ(store->working().count(), 5);
                              char name[200] = {}, bank[200] = {};
                              GetDlgItemTextA(d, IDC_PRESET_NAME, name, sizeof name);
                              GetDlgItemTextA(d, IDC_PRESET_BANK, bank, sizeof bank);
                              EXPECT_STREQ(name, "Studio Cans");
                              EXPECT_STREQ(bank, "Drums");  // the selected preset's bank
                              SetDlgItemTextA(d, IDC_PRESET_NAME, "Cans");
                              click(d, IDOK);
                          }))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              EXPECT_EQ(selected(d), "Drums/Cans");
                              rightClick(d, "Cans");
                          }))
        .then(inContextMenu(6, -1))  // Export as parametric EQ text..., after Move Preset
        .then(chooseInFileDialog(ui, "Export preset as parametric EQ text", presetOut, "Cans.txt"))
        .then(ui.inDialog(kManager,
                          [&](HWND d) {
                              // The menu key on the root, as the keyboard asks for the menu.
                              select(d, "Available qv:Equalizer presets");
                              PostMessageA(treeOf(d), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(treeOf(d)), -1);
                          }))
        .then(inContextMenu(5, -1))  // no preset selected: the editor's current settings
        .then(chooseInFileDialog(ui, "Export current settings as parametric EQ text", settingsOut,
                                 "qv_Equalizer_settings.txt"))
        .then(ui.inDialog(kManager, [&](HWND d) { click(d, IDOK); }));
    EXPECT_EQ(runPresetManager(*store), 0);
    EXPECT_EQ(store->getCurrent(), -1);  // the editor does not hold the imported settings

    // Saved into the selected bank: the preamp as the output gain, the filters in the file's order.
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Cans");
    EXPECT_EQ(profile(presetPath(), "Preset1", "Bank"), "Drums");
    const DataFields data = readDataText(profile(presetPath(), "Preset1", "Data").c_str());
    ASSERT_EQ(data.count, kDataValueCount);
    const int32_t expected[][2] = {{0, -35}, {1, 1}, {2, 0}, {3, 1000}, {5, 60}, {26, 1}, {28, 6000}, {30, -10}};
    for (const auto& e : expected)
        EXPECT_EQ(data.values[e[0]], e[1]) << "value " << e[0];

    // The exported texts carry the exact settings they were made from.
    EXPECT_EQ(readFile(presetOut).rfind("# qv:equalizer Data: " + profile(presetPath(), "Preset1", "Data") + "\r\n", 0),
              0u);
    EXPECT_EQ(readFile(settingsOut).rfind("# qv:equalizer Data: " + gOwnerData + "\r\n", 0), 0u);
}
