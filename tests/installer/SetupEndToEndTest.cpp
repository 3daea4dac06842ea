// The real setup program from a copy of the download, each scenario in a fresh Wine prefix (see
// run-end-to-end.sh), driven by window messages from this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>

#include <algorithm>

#include "SetupScenarios.h"

using namespace qvtest;

namespace {

const char kData[] = "0,1,1,40,10,30,1,0,60,8,0,1,0,200,8,0,1,0,800,6,0,1,2,4600,6,0,1,2,15000,5,0";

std::string qvrender(const std::string& args) { return "\"" + join(toolsDir(), "qvrender.exe") + "\" " + args; }

// Renders the demo signal through a plug-in; true when it ran and changed the sound.
bool equalizes(const std::string& pluginArgs)
{
    makeDirs("C:\\work");
    if (!exists("C:\\work\\in.wav") && runConsole(qvrender("--demo-signal C:\\work\\in.wav")) != 0)
        return false;
    DeleteFileA("C:\\work\\out.wav");
    std::string output;
    if (runConsole(qvrender(pluginArgs + " --data \"" + kData + "\" C:\\work\\in.wav C:\\work\\out.wav"), &output) != 0)
        return false;
    const std::vector<char> in = readFile("C:\\work\\in.wav"), out = readFile("C:\\work\\out.wav");
    return in.size() == out.size() && in != out;
}

struct Link {
    std::string path, description;
};

Link loadLink(const std::string& file)
{
    Link link;
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell))))
        return link;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
            char text[MAX_PATH] = "";
            if (SUCCEEDED(shell->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH)))
                link.path = text;
            text[0] = '\0';
            if (SUCCEEDED(shell->GetDescription(text, MAX_PATH)))
                link.description = text;
        }
        persist->Release();
    }
    shell->Release();
    return link;
}

std::vector<std::string> downloadFiles()
{
    std::vector<std::string> files = {qv::kFilterFileName, qv::kVstFileName, qv::kPresetFileName, "ReadMe.txt",
                                      "Uninstall.exe"};
    // The manual joins the download once it is built.
    if (exists(join(downloadDir(), "qvEqualizer.chm")))
        files.push_back("qvEqualizer.chm");
    return files;
}

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitialize(nullptr); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(SetupTest, CleanInstallOfBothComponentsIntoTwoHostDirectoriesThenUninstallEverything)
{
    const std::string one = "C:\\Hosts\\One", two = "C:\\Hosts\\Two", inst = defaultInstallDir();
    makeDirs(one);
    makeDirs(two);
    setRegistryString(HKEY_LOCAL_MACHINE, "Software\\VST", "VSTPluginsPath", one);

    Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
    ASSERT_TRUE(setup.started());
    Choice choice;
    choice.added = {two};
    throughStepThree(setup, choice, "setup-");
    HWND sheet = setup.waitStep(5);
    ASSERT_NE(sheet, nullptr) << setup.describe();
    setup.snap(sheet, "setup-step5");
    EXPECT_EQ(resultText(sheet), "The qv:equalizer plug-in release 3c was successfully installed in:\n\"" + inst +
                                     "\"\n\nDocumentation and more information is available through the \"Zorvath "
                                     "Velquin:qv R3\" item on your Start menu.\n\nClick [ Finish ] to exit the "
                                     "setup:marlin.");
    finish(setup, sheet);

    for (const std::string& name : downloadFiles()) {
        if (name != qv::kVstFileName) {
            EXPECT_TRUE(sameBytes(join(downloadDir(), name), join(inst, name))) << name;
        }
    }
    EXPECT_FALSE(exists(join(inst, qv::kVstFileName)));
    for (const std::string& host : {one, two})
        EXPECT_TRUE(sameBytes(join(downloadDir(), qv::kVstFileName), join(host, qv::kVstFileName))) << host;
    EXPECT_EQ(logText(inst), join(one, qv::kVstFileName) + "\r\n" + join(two, qv::kVstFileName) + "\r\n");

    std::string value;
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey, "PluginPath", value));
    EXPECT_EQ(value, inst);
    EXPECT_TRUE(
        registryString(HKEY_LOCAL_MACHINE, std::string(qv::kEqualizerClassKey) + "\\InprocServer32", nullptr, value));
    EXPECT_EQ(_stricmp(value.c_str(), join(inst, qv::kFilterFileName).c_str()), 0) << value;
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, kEntryKey, "DisplayName", value));
    EXPECT_EQ(value, "Zorvath Velquin:qv R3 plug-in uninstaller");
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, kEntryKey, "UninstallString", value));
    EXPECT_EQ(value, "\"" + join(inst, "uninstall.exe") + "\"");

    const std::string group = programsGroup();
    const std::pair<const char*, const char*> links[] = {{"qvEqualizer Manual", "qvEqualizer.chm"},
                                                         {"Velquin-qv R3 Readme", "ReadMe.txt"},
                                                         {"Uninstall Velquin-qv plug-in(s)", "Uninstall.exe"}};
    for (auto [name, file] : links) {
        const Link link = loadLink(join(group, std::string(name) + ".lnk"));
        EXPECT_EQ(_stricmp(link.path.c_str(), join(inst, file).c_str()), 0) << name << ": " << link.path;
        EXPECT_EQ(link.description, name);
    }
    const std::vector<char> url = readFile(join(group, "Velquin-qv Homepage.url"));
    EXPECT_EQ(std::string(url.begin(), url.end()),
              "[InternetShortcut]\nURL=http://www.example.com/qvequalizer/\nModified=3090F1390EFFBE01B6");

    std::string listed;
    runConsole("uninstaller.exe --list", &listed);
    EXPECT_NE(listed.find("Zorvath Velquin:qv R3 plug-in uninstaller"), std::string::npos) << listed;

    // The installed plug-ins work where hosts find them.
    EXPECT_TRUE(equalizes("--dll \"" + join(two, qv::kVstFileName) + "\""));
    EXPECT_TRUE(equalizes("--dshow"));

    Program uninstall(join(inst, "Uninstall.exe"), inst);
    HWND dialog = uninstall.waitWindow(kUninstallCaption);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 1002), LVM_GETITEMCOUNT, 0, 0), 3);
    uninstall.snap(dialog, "uninstall-dialog");
    clickItem(dialog, 1004);
    EXPECT_EQ(uninstall
                  .answer(kUninstallCaption,
                          "Do you want to delete all plug-in preset files from the installation directory\n\"" + inst +
                              "\"?\n\n(If you want to keep these select \"No\", then copy them to another "
                              "folder\nbefore re-installing other Velquin plug-ins. Use the \"Import\" function "
                              "in the\nPreset Manager to restore your presets.)",
                          IDYES)
                  .empty(),
              false);
    EXPECT_EQ(
        uninstall.answer(kUninstallCaption, "All plug-in components have been unregistered and uninstalled.", IDOK),
        "All plug-in components have been unregistered and uninstalled.");
    EXPECT_TRUE(uninstall.waitExit(20000));

    for (const std::string& name : downloadFiles())
        EXPECT_EQ(exists(join(inst, name)), name == "Uninstall.exe") << name;
    EXPECT_FALSE(exists(join(inst, "vstinst.log")));
    EXPECT_FALSE(exists(join(one, qv::kVstFileName)));
    EXPECT_FALSE(exists(join(two, qv::kVstFileName)));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kEntryKey));
    EXPECT_FALSE(exists(group));
    EXPECT_FALSE(equalizes("--dshow"));
}

TEST_F(SetupTest, DirectXOnlyAfterRefusedDirectoriesAndCancelAtEachStep)
{
    const std::string inst = "C:\\Deep\\er\\qv";
    {
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        HWND sheet = toStepTwo(setup);
        ASSERT_NE(sheet, nullptr);
        HWND page = currentPage(sheet);
        setComponent(page, 1003, false);
        setComponent(page, 1004, false);
        pressSheet(sheet, PSBTN_NEXT);
        setup.answer(kSetupCaption, "You have not selected any components to install!", IDOK);
        setComponent(page, 1003, true);
        const std::pair<const char*, const char*> refused[] = {
            {"", "You have not selected or typed any destination directory!"},
            {"C:", "The installation directory specified does not start with a logical drive or UNC path!"},
            {"qv\\dir", "The installation directory specified does not start with a logical drive or UNC path!"},
            {"C:\\qv\\\\sub",
             "The installation directory specified contains illegal character(s) or character sequence!"},
            {"C:\\qv\\a:b",
             "The installation directory specified contains illegal character(s) or character sequence!"},
            {"Q:\\qv", "Unable to create installation directory, please verify that it is a valid path."},
            {"Q:\\", "Unable to create installation directory, please verify that it is a valid path."},
        };
        for (auto [dir, warning] : refused) {
            setItemText(page, 1001, dir);
            pressSheet(sheet, PSBTN_NEXT);
            EXPECT_EQ(setup.answer(kSetupCaption, warning, IDOK), warning) << dir;
        }
        pressSheet(sheet, PSBTN_CANCEL);
        EXPECT_EQ(setup.answer(kSetupCaption, "Exit the setup:marlin?", IDNO), "Exit the setup:marlin?");
        EXPECT_EQ(currentPage(sheet), page);
        setItemText(page, 1001, inst);
        pressSheet(sheet, PSBTN_NEXT);
        std::vector<int> seen;
        ASSERT_NE(setup.waitStepNoting(5, seen), nullptr) << setup.describe();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 3), 0);  // no host directories without VST
        EXPECT_EQ(resultText(sheet).find("The qv:equalizer plug-in release 3c was successfully installed in:\n\"" +
                                         inst + "\""),
                  0u);
        finish(setup, sheet);
    }
    EXPECT_TRUE(exists(join(inst, qv::kFilterFileName)));
    EXPECT_TRUE(exists(join(inst, "Uninstall.exe")));
    EXPECT_FALSE(exists(join(inst, qv::kVstFileName)));
    EXPECT_FALSE(exists(join(inst, "vstinst.log")));
    std::string value;
    EXPECT_TRUE(
        registryString(HKEY_LOCAL_MACHINE, std::string(qv::kEqualizerClassKey) + "\\InprocServer32", nullptr, value));
    EXPECT_TRUE(equalizes("--dshow"));

    {
        // Cancel on the welcome page ends at once.
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        HWND sheet = setup.waitStep(1);
        ASSERT_NE(sheet, nullptr);
        pressSheet(sheet, PSBTN_CANCEL);
        EXPECT_TRUE(setup.waitExit(10000)) << setup.describe();
    }
    {
        // On the host directories page it asks; Yes ends.
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        HWND sheet = toStepTwo(setup);
        ASSERT_NE(sheet, nullptr);
        setItemText(currentPage(sheet), 1001, "C:\\qv2");
        pressSheet(sheet, PSBTN_NEXT);
        ASSERT_NE(setup.waitStep(3), nullptr);
        pressSheet(sheet, PSBTN_NEXT);
        EXPECT_EQ(setup.answer(kSetupCaption, "You have not specified any VST plug-in host applications.", IDOK),
                  "You have not specified any VST plug-in host applications.");
        pressSheet(sheet, PSBTN_CANCEL);
        EXPECT_EQ(setup.answer(kSetupCaption, "Exit the setup:marlin?", IDYES), "Exit the setup:marlin?");
        EXPECT_TRUE(setup.waitExit(10000)) << setup.describe();
    }
}

TEST_F(SetupTest, FortyNineHostDirectoriesAllGetThePluginAndAFiftiethIsRefused)
{
    const std::string inst = "C:\\qv49";
    Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
    HWND sheet = toStepTwo(setup);
    ASSERT_NE(sheet, nullptr);
    HWND page = currentPage(sheet);
    setItemText(page, 1001, inst);
    setComponent(page, 1003, false);
    pressSheet(sheet, PSBTN_NEXT);
    ASSERT_NE(setup.waitStep(3), nullptr);
    page = currentPage(sheet);
    HWND list = GetDlgItem(page, 1012);
    std::vector<std::string> hosts;
    for (int i = 1; i < 49; ++i) {
        hosts.push_back("C:\\Many\\h" + std::to_string(i));
        makeDirs(hosts.back());
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(hosts.back().c_str()));
    }
    hosts.push_back("C:\\Many\\h49");
    makeDirs(hosts.back());
    clickItem(page, 1016);
    ASSERT_TRUE(chooseFolder(setup, "Select VST host application plug-in directory", hosts.back()));
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 49);
    clickItem(page, 1016);
    const char* full = "You can add at most 49 VST host application plug-in directories.";
    EXPECT_EQ(setup.answer(kSetupCaption, full, IDOK), full);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 49);
    pressSheet(sheet, PSBTN_NEXT);
    ASSERT_NE(sheet = setup.waitStep(5), nullptr) << setup.describe();
    EXPECT_EQ(resultText(sheet).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);
    finish(setup, sheet);
    std::string log;
    for (const std::string& host : hosts) {
        EXPECT_TRUE(sameBytes(join(downloadDir(), qv::kVstFileName), join(host, qv::kVstFileName))) << host;
        log += join(host, qv::kVstFileName) + "\r\n";
    }
    EXPECT_EQ(logText(inst), log);
}

TEST_F(SetupTest, VstOnlyThenOverItselfThenOverAnEditedPresetFileAndAReadOnlyFile)
{
    const std::string inst = "C:\\qv3", host = "C:\\Host3", preset = join(inst, qv::kPresetFileName);
    makeDirs(host);
    Choice choice;
    choice.directory = inst;
    choice.directX = false;
    choice.added = {host};
    EXPECT_EQ(installQuietly(choice).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);
    std::string value;
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey, "PluginPath", value));
    EXPECT_EQ(value, inst);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, std::string(qv::kEqualizerClassKey) + "\\InprocServer32"));
    EXPECT_FALSE(exists(join(inst, qv::kFilterFileName)));
    EXPECT_TRUE(sameBytes(join(downloadDir(), qv::kVstFileName), join(host, qv::kVstFileName)));
    EXPECT_TRUE(equalizes("--dll \"" + join(host, qv::kVstFileName) + "\""));

    // Over an identical installation: no question, and the log gains the same line again.
    EXPECT_EQ(installQuietly(choice).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);
    const std::string line = join(host, qv::kVstFileName) + "\r\n";
    EXPECT_EQ(logText(inst), line + line);

    const std::string edited = "[Plug-in]\r\nPluginName=mine\r\n";
    ASSERT_TRUE(writeFile(preset, edited));
    const std::string presetQuestion =
        "Your current preset file \"" + preset +
        "\" has been changed.\nAll the changes you have made to the preset file will be lost if you replace "
        "it.\n\nDo you want to replace it with the installation preset file anyway?";
    {
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        throughStepThree(setup, choice);
        ASSERT_NE(setup.waitWindow(kSetupCaption + std::string(" - [Step 4 of 5]"), 20000), nullptr);
        HWND sheet = setup.waitWindow(kSetupCaption);
        setup.snap(sheet, "setup-step4");
        EXPECT_EQ(setup.answer(kSetupCaption, presetQuestion, IDNO), presetQuestion);
        ASSERT_NE(sheet = setup.waitStep(5), nullptr) << setup.describe();
        EXPECT_EQ(resultText(sheet).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);
        finish(setup, sheet);
    }
    const std::vector<char> kept = readFile(preset);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), edited);

    // A host holding the plug-in: that copy is reported, but the run still registers everything, so
    // that the uninstaller can remove what was copied.
    const std::string readme = join(inst, "ReadMe.txt"), plugin = join(host, qv::kVstFileName);
    ASSERT_TRUE(SetFileAttributesA(plugin.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey), ERROR_SUCCESS);
    {
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        throughStepThree(setup, choice);
        const std::string inUse = "The destination file: \"" + plugin + "\" is in use!";
        EXPECT_EQ(setup.answer(kSetupCaption, inUse, IDOK), inUse);
        EXPECT_EQ(setup.answer(kSetupCaption, presetQuestion, IDNO), presetQuestion);
        HWND sheet = setup.waitStep(5);
        ASSERT_NE(sheet, nullptr) << setup.describe();
        EXPECT_EQ(resultText(sheet), "The qv:equalizer plug-in was not successfully installed!\n\nComponents to "
                                     "install: \t 5\nInstalled components:\t 4\n\nThe destination file: \"" +
                                         plugin + "\" was in use!\n\n\nClick [ Finish ] to exit the setup:marlin.");
        finish(setup, sheet);
    }
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, qv::kEqualizerClassKey, "PluginPath", value));
    EXPECT_EQ(value, inst);
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kEntryKey));

    // A read-only destination cannot be written: reported as in use, not replaced, incomplete.
    ASSERT_TRUE(SetFileAttributesA(readme.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
        throughStepThree(setup, choice);
        for (const std::string& file : {plugin, readme}) {
            const std::string inUse = "The destination file: \"" + file + "\" is in use!";
            if (file == readme) {
                EXPECT_EQ(setup.answer(kSetupCaption, presetQuestion, IDNO), presetQuestion);
            }
            EXPECT_EQ(setup.answer(kSetupCaption, inUse, IDOK), inUse);
        }
        HWND sheet = setup.waitStep(4);
        ASSERT_NE(sheet, nullptr);
        settle(sheet);  // the run has ended: Next then leaves the page
        pressSheet(sheet, PSBTN_NEXT);
        ASSERT_NE(setup.waitStep(5), nullptr);
        setup.snap(sheet, "setup-step5-incomplete");
        EXPECT_EQ(resultText(sheet), "The qv:equalizer plug-in was not successfully installed!\n\nComponents to "
                                     "install: \t 5\nInstalled components:\t 3\n\nThe destination file: \"" +
                                         plugin + "\" was in use!\nThe destination file: \"" + readme +
                                         "\" was in use!\n\n\nClick [ Finish ] to exit the setup:marlin.");
        finish(setup, sheet);
    }
    EXPECT_EQ(GetFileAttributesA(readme.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
}

TEST_F(SetupTest, ReadOnlySourceGivesNormalFilesAndAnAbortStopsTheRun)
{
    const std::string inst = "C:\\qv4", host = "C:\\Host4";
    makeDirs(host);
    for (const std::string& name : downloadFiles())
        SetFileAttributesA(join(downloadDir(), name).c_str(), FILE_ATTRIBUTE_READONLY);
    Choice choice;
    choice.directory = inst;
    choice.added = {host};
    EXPECT_EQ(installQuietly(choice).find("The qv:equalizer plug-in release 3c was successfully installed"), 0u);
    for (const std::string& name : downloadFiles()) {
        const std::string path = join(name == qv::kVstFileName ? host : inst, name);
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << path;
    }

    // Abort while a question is up: the run stops before its next file.
    ASSERT_TRUE(writeFile(join(inst, qv::kPresetFileName), "edited\r\n"));
    DeleteFileA(join(inst, "ReadMe.txt").c_str());
    choice.directX = false;
    Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
    throughStepThree(setup, choice);
    HWND sheet = setup.waitWindow(kSetupCaption + std::string(" - [Step 4 of 5]"));
    ASSERT_NE(sheet, nullptr);
    for (int i = 0; i < 500 && setup.pendingBox(kSetupCaption).empty(); ++i)
        Sleep(20);
    pressSheet(sheet, PSBTN_CANCEL);
    EXPECT_EQ(setup.answer(kSetupCaption, "Abort current installation?", IDYES), "Abort current installation?");
    EXPECT_EQ(setup.pendingBox(kSetupCaption).find("Your current preset file"), 0u);
    setup.answer(kSetupCaption, "", IDNO);
    EXPECT_EQ(setup.answer(kSetupCaption, "Unable to copy files!", IDOK), "Unable to copy files!");
    settle(sheet);
    pressSheet(sheet, PSBTN_NEXT);
    ASSERT_NE(setup.waitStep(5), nullptr) << setup.describe();
    EXPECT_NE(resultText(sheet).find("CRITICAL: Unable to copy files from source: \"C:\\download\""), std::string::npos)
        << resultText(sheet);
    finish(setup, sheet);
    EXPECT_FALSE(exists(join(inst, "ReadMe.txt")));
}
