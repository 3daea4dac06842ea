// A user who may not write the installed preset file (Program Files to a host without administrator
// rights, a write-protected medium): his saves go to his own copy, which he reads from then on. The
// unwritable folders come from tests/support/unwritable-folders.sh, which only root can make; the
// cases that need them are skipped elsewhere.
#include <cstdlib>
#include <string>

#include "PresetFile.h"
#include "PresetTestEnv.h"
#include "UiDriver.h"

using namespace qv;
using namespace qvtest;

namespace {

std::string header(const std::string& clsid)
{
    return "[Plug-in]\r\nPluginName=qv:Equalizer\r\nCLSID=" + clsid + "\r\n";
}

std::string section(int n, const std::string& name)
{
    return "[Preset" + std::to_string(n) + "]\r\nVersion=3\r\nName=" + name + "\r\nBank=\r\nData=1\r\n";
}

std::string names(PresetStore& store)
{
    std::string text;
    for (int i = 0; i < store.working().count(); ++i)
        text += store.working().at(i)->name + ";";
    return text;
}

}  // namespace

class PresetUserCopy : public PresetEnv {
protected:
    static void makeUserFolder() { CreateDirectoryA(userCopy().substr(0, userCopy().rfind('\\')).c_str(), nullptr); }
    // An unwritable install folder holding the factory presets: the store is pointed at it.
    std::string installFolder(const char* variable)
    {
        const char* folder = std::getenv(variable);
        if (folder == nullptr || *folder == '\0')
            return std::string();
        setPluginPath(folder);
        return folder;
    }
    void changeAndSave(PresetStore& store, bool expectSaved)
    {
        store.working().at(0)->name = "Mine";
        UiDriver ui;  // answers nothing: a message box here fails the test
        EXPECT_EQ(store.save(), expectSaved);
    }
};

// Where the installed file cannot be written, for either reason, the save lands in the user's copy:
// the installed file stays byte for byte the factory file, the copy holds every preset and the
// installed file's other sections, and the next store reads the copy.
TEST_F(PresetUserCopy, UnwritableInstallFoldersSaveToTheUsersCopy)
{
    int ran = 0;
    for (const char* variable : {"QV_DENIED_FOLDER", "QV_READONLY_FOLDER"}) {
        SCOPED_TRACE(variable);
        const std::string folder = installFolder(variable);
        if (folder.empty())
            continue;
        ++ran;
        const std::string installed = folder + kPresetFileName;
        const std::string factory = readFile(installed);
        ASSERT_FALSE(factory.empty());
        {
            auto store = openStore();
            const int count = store->working().count();
            ASSERT_GT(count, 5);
            EXPECT_EQ(store->path(), installed);
            changeAndSave(*store, true);
            EXPECT_EQ(store->path(), userCopy());
            // Saved again, straight into the copy.
            store->working().at(1)->name = "Mine too";
            EXPECT_TRUE(store->save());
            EXPECT_EQ(readFile(installed), factory);
            auto again = openStore();
            EXPECT_EQ(again->path(), userCopy());
            EXPECT_EQ(again->working().count(), count);
            EXPECT_NE(names(*again).find("Mine;"), std::string::npos);
            EXPECT_NE(names(*again).find("Mine too;"), std::string::npos);
            EXPECT_EQ(profile(userCopy(), "Plug-in", "CLSID"), ownKey());
        }
        removeUserCopy();
    }
    if (ran == 0)
        GTEST_SKIP() << "no unwritable folder given (tests/support/unwritable-folders.sh runs as root)";
}

// Nothing is lost when the copy cannot be written either: the user hears so, the installed file and
// the presets in memory are as they were.
TEST_F(PresetUserCopy, AFailedCopyIsReportedAndLosesNothing)
{
    const std::string folder = installFolder("QV_READONLY_FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "no write-protected folder given";
    const std::string installed = folder + kPresetFileName;
    const std::string factory = readFile(installed);
    makeUserFolder();
    ASSERT_TRUE(CreateDirectoryA(userCopy().c_str(), nullptr));  // a folder where the copy would go
    auto store = openStore();
    store->working().at(0)->name = "Mine";
    {
        UiDriver ui;
        ui.then(ui.answer("The presets could not be saved to the file\n\"" + userCopy() + "\".", IDOK));
        EXPECT_FALSE(store->save());
        EXPECT_TRUE(ui.finished());
    }
    EXPECT_EQ(readFile(installed), factory);
    EXPECT_EQ(store->path(), installed);
    EXPECT_EQ(store->working().at(0)->name, "Mine");
}

// A copy of ours is read before the installed file; anything else at that place is never read nor
// written, and the installed file serves as before.
TEST_F(PresetUserCopy, OnlyACopyOfOursIsTheUsersFile)
{
    writeFile(presetPath(), header(ownKey()) + section(1, "Installed"));
    makeUserFolder();
    writeFile(userCopy(), header(ownKey()) + section(1, "Own"));
    EXPECT_EQ(names(*openStore()), "Own;");

    const std::string foreign =
        header("SOFTWARE\\Classes\\CLSID\\{00000000-1111-2222-3333-444444444444}") + section(1, "Foreign");
    writeFile(userCopy(), foreign);
    auto store = openStore();
    EXPECT_EQ(store->path(), presetPath());
    EXPECT_EQ(names(*store), "Installed;");
    changeAndSave(*store, true);
    EXPECT_EQ(profile(presetPath(), "Preset1", "Name"), "Mine");
    EXPECT_EQ(readFile(userCopy()), foreign);
}
