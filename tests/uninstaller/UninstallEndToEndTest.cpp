// The real uninstaller after a real installation: a partial uninstall of a filter registered by its
// short path, a plug-in held open by a host, an edited install log, a filter file not ours, then the
// rest with the clean-up.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "SetupScenarios.h"

using namespace qvtest;

namespace {

int itemCount(HWND dialog) { return static_cast<int>(SendMessageA(GetDlgItem(dialog, 1002), LVM_GETITEMCOUNT, 0, 0)); }

// A click on the list's first row, as the mouse gives it; returns once the list has selected the row.
// The press and release are posted, as is every press of a button after them: the uninstaller takes
// them in that order.
void clickFirstRow(HWND dialog)
{
    HWND list = GetDlgItem(dialog, 1002);
    RECT header = {};
    GetWindowRect(GetWindow(list, GW_CHILD), &header);
    const LPARAM at = MAKELPARAM(40, header.bottom - header.top + 6);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    waitUntil([list] { return SendMessageA(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED) != 0; });
}

// Presses Uninstall and returns once the uninstaller has deleted `gone` and finished the press (or is
// asking something).
void uninstallUntilGone(HWND dialog, const std::string& gone)
{
    clickItem(dialog, 1004);
    waitUntil([&gone] { return !exists(gone); });
    settle(dialog);
}

}  // namespace

TEST(UninstallTest, PartialUninstallThenAPluginHeldOpenThenTheRest)
{
    const std::string inst = "C:\\qv5", host = "C:\\Host5", other = "C:\\Host5b", victim = "C:\\Victim\\keep.dll";
    const std::string renamed = "C:\\Victim\\renamed.dll",
                      server = std::string(qv::kEqualizerClassKey) + "\\InprocServer32";
    makeDirs(host);
    makeDirs(other);
    makeDirs("C:\\Victim");
    Choice choice;
    choice.directory = inst;
    choice.added = {host};
    ASSERT_EQ(installQuietly(choice).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);

    // An edited log: a foreign file is never listed, and a last line without its line end keeps its
    // last character.
    ASSERT_TRUE(writeFile(victim, "not ours"));
    ASSERT_TRUE(CopyFileA(join(host, qv::kVstFileName).c_str(), join(other, qv::kVstFileName).c_str(), FALSE));
    ASSERT_TRUE(writeFile(join(inst, "vstinst.log"), logText(inst) + victim + "\r\n" + join(other, qv::kVstFileName)));
    // Registered by its short name, the filter is still our own file.
    char shortName[MAX_PATH] = "";
    ASSERT_GT(GetShortPathNameA(join(inst, qv::kFilterFileName).c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortName).find('~'), std::string::npos) << shortName;
    setRegistryString(HKEY_LOCAL_MACHINE, server, nullptr, shortName);

    Program uninstall(join(inst, "Uninstall.exe"), inst);
    HWND dialog = uninstall.waitWindow(kUninstallCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(itemCount(dialog), 3);  // the filter and two plug-in files

    clickItem(dialog, 1006);
    clickItem(dialog, 1004);
    EXPECT_EQ(uninstall.answer(kUninstallCaption, "You have not selected any components to uninstall!", IDOK),
              "You have not selected any components to uninstall!");

    // The filter alone: unregistered and deleted; its class key stays for the plug-in's presets.
    clickFirstRow(dialog);
    uninstallUntilGone(dialog, join(inst, qv::kFilterFileName));
    EXPECT_EQ(uninstall.pendingBox(kUninstallCaption), "");
    EXPECT_EQ(itemCount(dialog), 2);
    EXPECT_FALSE(exists(join(inst, qv::kFilterFileName)));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, std::string(qv::kEqualizerClassKey) + "\\InprocServer32"));
    std::string value;
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey, "PluginPath", value));
    EXPECT_EQ(value, inst);
    EXPECT_TRUE(exists(join(inst, "vstinst.log")));

    // A renamed copy registered under our class is not ours to remove; it must not block the rest.
    ASSERT_TRUE(CopyFileA(join(downloadDir(), qv::kFilterFileName).c_str(), renamed.c_str(), FALSE));
    setRegistryString(HKEY_LOCAL_MACHINE, server, nullptr, renamed);

    // A plug-in a host holds open stays, without a message; the other goes.
    HANDLE held = CreateFileA(join(host, qv::kVstFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    clickItem(dialog, 1005);
    uninstallUntilGone(dialog, join(other, qv::kVstFileName));
    EXPECT_EQ(uninstall.pendingBox(kUninstallCaption), "");
    EXPECT_EQ(itemCount(dialog), 2);  // the renamed filter and the held plug-in
    EXPECT_TRUE(exists(join(host, qv::kVstFileName)));
    EXPECT_FALSE(exists(join(other, qv::kVstFileName)));
    CloseHandle(held);

    // This account's own preset copy, and the Start-menu group an earlier version put into this
    // account's menu.
    char appData[MAX_PATH] = "", ownPrograms[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE);
    SHGetSpecialFolderPathA(nullptr, ownPrograms, CSIDL_PROGRAMS, FALSE);
    const std::string userCopy = qv::userPresetFileIn(appData);
    const std::string oldGroup = join(ownPrograms, "Zorvath Velquin-qv R3");
    makeDirs(join(appData, qv::kUserPresetFolder));
    makeDirs(oldGroup);
    for (const std::string& file : {userCopy, join(oldGroup, "Uninstall.lnk")}) {
        HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(f);
    }

    clickItem(dialog, 1005);
    clickItem(dialog, 1004);
    const std::string foreign =
        "The plugin: \"" + renamed + "\" is not a file of this installation.\nIt was left in place.";
    EXPECT_EQ(uninstall.answer(kUninstallCaption, foreign, IDOK), foreign);
    const std::string question = uninstall.answer(kUninstallCaption, "", IDNO);
    EXPECT_EQ(question.find("Do you want to delete all plug-in preset files from the installation directory\n\"" +
                            inst + "\"\nand your own preset file\n\"" + userCopy + "\"?"),
              0u)
        << question;
    EXPECT_NE(question.find("Other users' own preset files are left in place."), std::string::npos) << question;
    EXPECT_EQ(
        uninstall.answer(kUninstallCaption, "All plug-in components have been unregistered and uninstalled.", IDOK),
        "All plug-in components have been unregistered and uninstalled.");
    EXPECT_TRUE(uninstall.waitExit(20000));
    EXPECT_FALSE(exists(join(host, qv::kVstFileName)));
    EXPECT_TRUE(exists(join(inst, qv::kPresetFileName)));
    EXPECT_TRUE(exists(join(inst, "Uninstall.exe")));
    for (const char* gone : {"vstinst.log", "ReadMe.txt", "qvEqualizer.chm"})
        EXPECT_FALSE(exists(join(inst, gone))) << gone;
    EXPECT_TRUE(exists(renamed));
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, server, nullptr, value));
    EXPECT_EQ(value, renamed);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kEntryKey));
    EXPECT_FALSE(exists(programsGroup()));
    EXPECT_FALSE(exists(oldGroup));
    EXPECT_TRUE(exists(userCopy));  // "No" keeps it
    EXPECT_TRUE(exists(victim));
}
