// The store against the real private-profile functions, registry and message boxes.
#include <cstdio>
#include <string>

#include "PresetResources.h"
#include "PresetTestEnv.h"
#include "UiDriver.h"

using namespace qv;
using namespace qvtest;

namespace {
const char kCaption[] = "qv:Equalizer Preset Manager";

std::string header(const std::string& clsid = ownKey())
{
    return "[Plug-in]\r\nPluginName=qv:Equalizer\r\nCLSID=" + clsid + "\r\n";
}

std::string section(int n, const std::string& name, const std::string& bank, const std::string& data,
                    const char* version = "3")
{
    return "[Preset" + std::to_string(n) + "]\r\nVersion=" + version + "\r\nName=" + name + "\r\nBank=" + bank +
           "\r\nData=" + data + "\r\n";
}

std::string names(PresetStore& store)
{
    std::string text;
    for (int i = 0; i < store.working().count(); ++i)
        text += store.working().at(i)->bank + "/" + store.working().at(i)->name + ";";
    return text;
}

std::string menuText(HMENU menu, int position)
{
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}
}  // namespace

using PresetStoreTest = PresetEnv;

TEST_F(PresetStoreTest, ReadsUpToTheFirstGapAndSaveKeepsWhatItDoesNotOwn)
{
    writeFile(presetPath(), header() + section(1, "Zeta", "", "1") + section(2, "Alpha", "Rock", "2") +
                                section(4, "Late", "", "4") + "[Other]\r\nKey=kept\r\n");
    auto store = openStore();
    EXPECT_EQ(store->path(), presetPath());
    EXPECT_EQ(names(*store), "Rock/Alpha;/Zeta;");
    EXPECT_EQ(store->working().at(0)->commandId, 3502);  // ids follow the file order, the sort comes after
    ASSERT_TRUE(store->save());
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Alpha");
    EXPECT_EQ(profile(presetPath(), "Preset2", "Name"), "Zeta");
    EXPECT_EQ(profile(presetPath(), "Preset3", "Name"), "<absent>");
    EXPECT_EQ(profile(presetPath(), "Preset4", "Name"), "Late");
    EXPECT_EQ(profile(presetPath(), "Other", "Key"), "kept");
    EXPECT_EQ(profile(presetPath(), "Plug-in", "DefaultPreset"), "1");
    EXPECT_EQ(listFolder(dir), std::string(kPresetFileName) + ";");  // no copy left beside it
}

TEST_F(PresetStoreTest, PathComesFromTheRegisteredDllOrIsUnresolved)
{
    writeFile(presetPath(), header() + section(1, "One", "", "1"));
    setPluginPath(nullptr);
    setDllPath((dir + kFilterFileName).c_str());
    EXPECT_EQ(openStore()->working().count(), 1);

    setDllPath(nullptr);
    auto store = openStore();
    EXPECT_EQ(store->path(), "");
    EXPECT_TRUE(store->working().empty());
    std::string before = readFile(presetPath());
    {
        // Nothing added, nothing to save: no warning, whether cancelled or closed with the close box.
        UiDriver ui;
        ui.then(ui.inDialog("Add qv:Equalizer preset", [](HWND d) { click(d, IDCANCEL); }));
        EXPECT_EQ(store->addPreset(), 0);
        ui.then(ui.inDialog("Add qv:Equalizer preset", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }));
        EXPECT_EQ(store->addPreset(), 1);
        EXPECT_TRUE(ui.boxes().empty());
    }
    {
        UiDriver ui;
        ui.then(ui.inDialog("Add qv:Equalizer preset",
                            [](HWND d) {
                                SetDlgItemTextA(d, 1511, "New");
                                click(d, IDOK);
                            }))
            .then(ui.answer("The presets could not be saved because the location of the preset file is not known.",
                            IDOK));
        EXPECT_EQ(store->addPreset(), 1);
    }
    EXPECT_EQ(store->working().count(), 1);  // still in memory, and nothing was written anywhere
    EXPECT_EQ(readFile(presetPath()), before);
    EXPECT_EQ(listFolder(dir), std::string(kPresetFileName) + ";");
}

TEST_F(PresetStoreTest, AForeignFileIsNeitherLoadedNorReplaced)
{
    std::string foreign =
        header("SOFTWARE\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}") + section(1, "Theirs", "", "9");
    writeFile(presetPath(), foreign);
    std::unique_ptr<PresetStore> store;
    {
        UiDriver ui;
        ui.then(ui.answer("No presets could be loaded because the preset file\n\"" + presetPath() +
                              "\"\ndoes not contain preset data compatible with this plug-in.",
                          IDOK));
        store = openStore();
    }
    EXPECT_TRUE(store->working().empty());
    {
        UiDriver ui;
        ui.then(ui.answer("The presets were not saved because the file\n\"" + presetPath() +
                              "\"\nholds presets of another plug-in.",
                          IDOK));
        EXPECT_FALSE(store->save());
    }
    EXPECT_EQ(readFile(presetPath()), foreign);
}

TEST_F(PresetStoreTest, HostileFilesLoadSafelyAndStayUnchanged)
{
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    std::string many = header();
    for (int n = 1; n <= 3000; ++n)
        many += section(n, "P" + std::to_string(n), n % 2 ? "B" : "", "1,2,3");
    struct Case {
        const char* what;
        std::string bytes;
        int presets;
    } cases[] = {
        {"not an INI file", garbage, 0},
        {"header only", header(), 0},
        {"no CLSID", section(1, "x", "", "1"), 0},
        {"a missing key ends reading",
         header() + section(1, "a", "", "1") + "[Preset2]\r\nVersion=1\r\nName=b\r\n" + section(3, "c", "", "3"), 1},
        {"letters and huge numbers", header() + section(1, "a", "", "x,99999999999999999,-5,,", "v7"), 1},
        {"lines past the limits",
         header() + section(1, std::string(5000, 'n'), std::string(5000, 'b'), std::string(20000, '9'),
                            "12345678901234567890"),
         1},
        {"thousands of presets", many, 3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(presetPath(), c.bytes);
        auto store = openStore();
        ASSERT_EQ(store->working().count(), c.presets);
        for (int i = 0; i < store->working().count(); ++i) {
            const PresetRecord& r = *store->working().at(i);
            EXPECT_LE(r.name.size(), 127u);
            EXPECT_LE(r.bank.size(), 127u);
            EXPECT_LE(r.data.size(), 4095u);
        }
        store.reset();
        EXPECT_EQ(readFile(presetPath()), c.bytes);
    }
    // A big list saves whole too, and its ids pass the fixed move commands 5000 and 5001 by.
    writeFile(presetPath(), many);
    ASSERT_TRUE(openStore()->save());
    EXPECT_EQ(profile(presetPath(), "Preset3000", "Name"), "P998");
    auto big = openStore();
    ASSERT_EQ(big->working().count(), 3000);
    EXPECT_EQ(big->working().findById(5000), nullptr);
    EXPECT_EQ(big->working().findById(5001), nullptr);
    EXPECT_NE(big->working().findById(5002), nullptr);
    EXPECT_EQ(big->working().largestCommandId(), 6502);
}

TEST_F(PresetStoreTest, AFailedSaveIsReportedAndLeavesTheFileWhole)
{
    std::string original = header() + section(1, "Keep", "", "1");
    writeFile(presetPath(), original);
    auto store = openStore();
    store->working().at(0)->name = "Changed";
    SetFileAttributesA(presetPath().c_str(), FILE_ATTRIBUTE_READONLY);
    {
        UiDriver ui;
        ui.then(ui.answer("The presets could not be saved to the file\n\"" + presetPath() + "\".", IDOK));
        EXPECT_FALSE(store->save());
    }
    EXPECT_EQ(readFile(presetPath()), original);
    EXPECT_EQ(listFolder(dir), std::string(kPresetFileName) + ";");
    SetFileAttributesA(presetPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(store->save());
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Changed");
}

TEST_F(PresetStoreTest, MenuEntriesAndTheUpdateQuestion)
{
    writeFile(presetPath(), header() + section(1, "Loose", "", "1", "1") + section(2, "a", "Rock", "2") +
                                section(3, "b", "rock", "3", "2") + section(4, "c", "Rock", "4"));
    auto store = openStore();
    ASSERT_EQ(names(*store), "Rock/a;rock/b;Rock/c;/Loose;");
    store->setCurrent(3501);  // "Loose"
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 10501, "Add Preset...");
    AppendMenuA(menu, MF_STRING, 10500, "Preset Manager...");
    store->addMenuItems(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    EXPECT_EQ(menuText(menu, 1), "Update Preset: Loose...");
    EXPECT_EQ(GetMenuItemID(menu, 1), 1503u);
    EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(menuText(menu, 4), "Rock");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 4)), 2);
    EXPECT_EQ(menuText(menu, 5), "rock");  // exact names: two submenus
    EXPECT_EQ(menuText(menu, 6), "Loose");
    EXPECT_TRUE(GetMenuState(menu, 3501, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(menu, 3502, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);

    int32_t version = 0;
    EXPECT_STREQ(store->select(3503, &version), "3");
    EXPECT_EQ(store->getCurrent(), 3503);
    EXPECT_EQ(store->select(9999, &version), nullptr);
    std::string question =
        "Would you like to update the stored parameters for\nthe \"b\" preset with the current settings?";
    gOwnerData = "5,0,0,100,10,0";
    {
        UiDriver ui;
        ui.then(ui.answer(question, IDNO)).then(ui.answer(question, IDYES));
        EXPECT_EQ(store->select(1503, &version), nullptr);
        EXPECT_EQ(profile(presetPath(), "Preset3", "Data"), "3");
        EXPECT_EQ(store->select(1503, &version), nullptr);
    }
    // Written at once, in list order; only the updated preset gets version 3.
    EXPECT_EQ(profile(presetPath(), "Preset2", "Name"), "b");
    EXPECT_EQ(profile(presetPath(), "Preset2", "Data"), "5,0,0,100,10,0");
    EXPECT_EQ(profile(presetPath(), "Preset2", "Version"), "3");
    EXPECT_EQ(profile(presetPath(), "Preset4", "Version"), "1");
}

TEST_F(PresetStoreTest, ImportChecksIdentityAndAsksAboutDuplicates)
{
    writeFile(presetPath(), header() + section(1, "Mine", "", "1"));
    auto store = openStore();
    store->setAlternativeKey("SOFTWARE\\Classes\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000000}");
    std::string empty = dir + "empty.ini", foreign = dir + "foreign.ini", alt = dir + "alt.ini";
    writeFile(empty, "[Preset1]\r\nName=x\r\n");
    writeFile(foreign,
              header("SOFTWARE\\Classes\\CLSID\\{BBBBBBBB-0000-0000-0000-000000000000}") + section(1, "F", "", "1"));
    writeFile(alt, header("software\\classes\\clsid\\{aaaaaaaa-0000-0000-0000-000000000000}") +
                       section(1, "MINE", "", "1") + section(2, "New", "Bank", "2"));
    std::string altBytes = readFile(alt);
    {
        UiDriver ui;
        ui.then(ui.answer("The file you selected does not contain Zorvath Velquin:qv plug-in preset data.", IDOK))
            .then(ui.answer("The preset file you are trying to import does not contain data for this plug-in.", IDOK))
            .then(ui.answer("The preset \"MINE\" you are importing already exists in the qv:Equalizer preset "
                            "list.\nDo you want to add it anyway?",
                            IDNO))
            .then(ui.answer("The preset \"MINE\" you are importing already exists in the qv:Equalizer preset "
                            "list.\nDo you want to add it anyway?",
                            IDYES))
            .then(ui.answer("The preset \"New\" you are importing already exists in the qv:Equalizer preset "
                            "list.\nDo you want to add it anyway?",
                            IDNO));
        EXPECT_FALSE(store->importFile(empty.c_str()));
        EXPECT_FALSE(store->importFile(foreign.c_str()));
        EXPECT_EQ(store->working().count(), 1);
        EXPECT_TRUE(store->importFile(alt.c_str()));
        EXPECT_EQ(store->working().count(), 2);  // "MINE" dropped, "New" added
        EXPECT_TRUE(store->importFile(alt.c_str()));
    }
    EXPECT_EQ(store->working().count(), 3);
    EXPECT_EQ(store->working().at(2)->commandId, 3503);
    EXPECT_EQ(readFile(alt), altBytes);
}

TEST_F(PresetStoreTest, ExportWritesTheSelectionAndNeverOverAnotherPluginsFile)
{
    writeFile(presetPath(),
              header() + section(1, "a", "Rock", "1") + section(2, "b", "ROCK", "2") + section(3, "c", "", "3"));
    auto store = openStore();
    std::string one = dir + "one.ini", bank = dir + "bank.ini", all = dir + "all.ini", theirs = dir + "theirs.ini";
    writeFile(one, "[Preset2]\r\nName=older\r\n");
    EXPECT_TRUE(store->exportFile(one.c_str(), ExportKind::kPreset, "", 3503));
    EXPECT_EQ(profile(one, "Plug-in", "CLSID"), ownKey());
    EXPECT_EQ(profile(one, "Plug-in", "DefaultPreset"), "<absent>");
    EXPECT_EQ(profile(one, "Preset1", "Name"), "c");
    EXPECT_EQ(profile(one, "Preset2", "Name"), "older");  // other sections stay as they are
    EXPECT_TRUE(store->exportFile(bank.c_str(), ExportKind::kBank, "rock", -1));
    EXPECT_EQ(profile(bank, "Preset1", "Name"), "a");
    EXPECT_EQ(profile(bank, "Preset2", "Name"), "b");
    EXPECT_EQ(profile(bank, "Preset3", "Name"), "<absent>");
    EXPECT_TRUE(store->exportFile(all.c_str(), ExportKind::kAll, "", -1));
    EXPECT_EQ(profile(all, "Plug-in", "DefaultPreset"), "1");
    EXPECT_EQ(profile(all, "Preset3", "Data"), "3");
    EXPECT_FALSE(store->exportFile(all.c_str(), ExportKind::kNothing, "", -1));

    std::string foreign = header("SOFTWARE\\Classes\\CLSID\\{BBBBBBBB-0000-0000-0000-000000000000}");
    writeFile(theirs, foreign);
    {
        UiDriver ui;
        ui.then(ui.answer("The presets were not saved because the file\n\"" + theirs +
                              "\"\nholds presets of another plug-in.",
                          IDOK));
        EXPECT_FALSE(store->exportFile(theirs.c_str(), ExportKind::kAll, "", -1));
    }
    EXPECT_EQ(readFile(theirs), foreign);
}

TEST_F(PresetStoreTest, EveryFactoryPresetSurvivesAWriteAndARead)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string factory = exe;
    factory = factory.substr(0, factory.rfind('\\') + 1) + kPresetFileName;
    ASSERT_TRUE(CopyFileA(factory.c_str(), presetPath().c_str(), FALSE)) << factory;
    auto store = openStore();
    ASSERT_GE(store->working().count(), 12);
    std::vector<PresetRecord> originals;
    for (int n = 1; profile(factory, ("Preset" + std::to_string(n)).c_str(), "Name") != "<absent>"; ++n) {
        std::string s = "Preset" + std::to_string(n);
        originals.push_back(PresetRecord{3, profile(factory, s.c_str(), "Name"), profile(factory, s.c_str(), "Bank"),
                                         profile(factory, s.c_str(), "Data"), 0});
    }
    ASSERT_EQ(static_cast<int>(originals.size()), store->working().count());
    ASSERT_TRUE(store->save());
    auto again = openStore();
    ASSERT_EQ(again->working().count(), store->working().count());
    for (const PresetRecord& original : originals) {
        bool found = false;
        for (int i = 0; i < again->working().count(); ++i) {
            const PresetRecord& r = *again->working().at(i);
            if (r.name != original.name)
                continue;
            found = true;
            EXPECT_EQ(r.bank, original.bank);
            EXPECT_EQ(r.data, original.data);
            EXPECT_EQ(r.version, 3);
        }
        EXPECT_TRUE(found) << original.name;
    }
}

TEST_F(PresetStoreTest, TwoStoresOverOneFileNeverMix)
{
    writeFile(presetPath(), header() + section(1, "a", "", "1") + section(2, "b", "", "2") + section(3, "c", "", "3"));
    auto first = openStore();
    auto second = openStore();
    first->working().removeAt(0);
    ASSERT_TRUE(first->save());
    EXPECT_EQ(profile(presetPath(), "Preset3", "Name"), "<absent>");
    second->working().at(0)->name = "A2";
    ASSERT_TRUE(second->save());  // the last full save wins, whole
    EXPECT_EQ(names(*openStore()), "/A2;/b;/c;");
}

TEST_F(PresetStoreTest, NoSettingsFromTheOwnerChangeNothing)
{
    std::string original = header() + section(1, "Keep", "", "1");
    writeFile(presetPath(), original);
    auto store = openStore();
    store->setCurrent(3501);
    gOwnerData.clear();  // the owner answers the request without a buffer
    {
        UiDriver ui;
        ui.then(ui.answer("Would you like to update the stored parameters for\nthe \"Keep\" preset with the current "
                          "settings?",
                          IDYES))
            .then(ui.inDialog("Add qv:Equalizer preset", [](HWND d) {
                SetDlgItemTextA(d, 1511, "Empty");
                click(d, IDOK);
            }));
        int32_t version;
        EXPECT_EQ(store->select(1503, &version), nullptr);
        EXPECT_EQ(readFile(presetPath()), original);
        EXPECT_EQ(store->addPreset(), 0);
    }
    ASSERT_EQ(store->working().count(), 1);
    EXPECT_EQ(store->working().at(0)->data, "1");
    EXPECT_EQ(profile(presetPath(), "Preset2", "Name"), "<absent>");
}

TEST_F(PresetStoreTest, AnAddFromTheMenuIsWrittenInOrderAndBecomesCurrent)
{
    writeFile(presetPath(), header() + section(1, "Zeta", "", "1", "1") + section(2, "Omega", "C", "2") +
                                section(3, "Alpha", "A", "3"));
    auto store = openStore();
    ASSERT_NE(store->working().findById(3503), nullptr);
    store->working().findById(3503)->commandId = 4999;  // the next ids are the fixed 5000 and 5001
    gOwnerData = "4,4,4";
    {
        UiDriver ui;
        ui.then(ui.inDialog("Add qv:Equalizer preset", [](HWND d) {
            SetDlgItemTextA(d, IDC_PRESET_NAME, "New");
            SetDlgItemTextA(d, IDC_PRESET_BANK, "B");
            click(d, IDOK);
        }));
        EXPECT_EQ(store->addPreset(), 1);
    }
    EXPECT_EQ(store->getCurrent(), 5002);
    EXPECT_EQ(names(*store), "A/Alpha;B/New;C/Omega;/Zeta;");
    const char* expected[][4] = {
        {"Alpha", "A", "3", "3"}, {"New", "B", "3", "4,4,4"}, {"Omega", "C", "3", "2"}, {"Zeta", "", "1", "1"}};
    for (int n = 1; n <= 4; ++n) {
        std::string s = "Preset" + std::to_string(n);
        SCOPED_TRACE(s);
        EXPECT_EQ(profile(presetPath(), s.c_str(), "Name"), expected[n - 1][0]);
        EXPECT_EQ(profile(presetPath(), s.c_str(), "Bank"), expected[n - 1][1]);
        EXPECT_EQ(profile(presetPath(), s.c_str(), "Version"), expected[n - 1][2]);
        EXPECT_EQ(profile(presetPath(), s.c_str(), "Data"), expected[n - 1][3]);
    }

    // Imported presets pass the editor's fixed commands 10500 and 10501 by.
    ASSERT_NE(store->working().findById(5002), nullptr);
    store->working().findById(5002)->commandId = 10499;
    std::string more = dir + "more.ini";
    writeFile(more, header() + section(1, "I1", "", "7") + section(2, "I2", "", "8"));
    ASSERT_TRUE(store->importFile(more.c_str()));
    ASSERT_NE(store->working().findById(10502), nullptr);
    ASSERT_NE(store->working().findById(10503), nullptr);
    EXPECT_EQ(store->working().findById(10502)->name, "I1");
    EXPECT_EQ(store->working().findById(10503)->name, "I2");
}
