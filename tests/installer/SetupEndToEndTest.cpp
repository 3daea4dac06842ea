// The real setup program from a copy of the download, each scenario in a fresh Wine prefix (see
// run-end-to-end.sh), driven by window messages from this process.
#include <gtest/gtest.h>

#include <objbase.h>
#include <prsht.h>
#include <shlobj.h>

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
    std::vector<std::string> files = {"qvEqualizer.dll", kVst, "qvEqualizerR3.ini", "ReadMe.txt", "Uninstall.exe"};
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
        if (name != kVst) {
            EXPECT_TRUE(sameBytes(join(downloadDir(), name), join(inst, name))) << name;
        }
    }
    EXPECT_FALSE(exists(join(inst, kVst)));
    for (const std::string& host : {one, two})
        EXPECT_TRUE(sameBytes(join(downloadDir(), kVst), join(host, kVst))) << host;
    EXPECT_EQ(logText(inst), join(one, kVst) + "\r\n" + join(two, kVst) + "\r\n");

    std::string value;
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, kClassKey, "PluginPath", value));
    EXPECT_EQ(value, inst);
    EXPECT_TRUE(registryString(HKEY_LOCAL_MACHINE, std::string(kClassKey) + "\\InprocServer32", nullptr, value));
    EXPECT_EQ(_stricmp(value.c_str(), join(inst, "qvEqualizer.dll").c_str()), 0) << value;
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
              "[InternetShortcut]\nURL=http://www.zorvath.example/qv-equalizer/\nModified=3090F1390EFFBE01B6");

    std::string listed;
    runConsole("uninstaller.exe --list", &listed);
    EXPECT_NE(listed.find("Zorvath Velquin:qv R3 plug-in uninstaller"), std::string::npos) << listed;

    // The installed plug-ins work where hosts find them.
    EXPECT_TRUE(equalizes("--dll \"" + join(two, kVst) + "\""));
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
    EXPECT_FALSE(exists(join(one, kVst)));
    EXPECT_FALSE(exists(join(two, kVst)));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kClassKey));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kEntryKey));
    EXPECT_FALSE(exists(group));
    EXPECT_FALSE(equalizes("--dshow"));
}
