// The setup program's start-up refusals and the wizard's own buttons (View Readme, Browse, Remove),
// none of which installs anything.
#include <gtest/gtest.h>

#include <windows.h>

#include <prsht.h>

#include "SetupScenarios.h"
#include "SetupText.h"

using namespace qvtest;

namespace {

// Wine's per-program settings for the setup program.
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\Setup.exe";

struct TopLevel {
    std::string cls, titlePart;
    HWND found = nullptr;
};

BOOL CALLBACK findByClass(HWND window, LPARAM param)
{
    TopLevel* t = reinterpret_cast<TopLevel*>(param);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    std::string title = textOf(window);
    for (char& c : title)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (IsWindowVisible(window) && _stricmp(cls, t->cls.c_str()) == 0 &&
        title.find(t->titlePart) != std::string::npos) {
        t->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of any process, or null after the timeout.
HWND waitAnyWindow(const std::string& cls, const std::string& titlePart, DWORD milliseconds)
{
    for (DWORD waited = 0; waited <= milliseconds; waited += 50) {
        TopLevel t{cls, titlePart};
        EnumWindows(findByClass, reinterpret_cast<LPARAM>(&t));
        if (t.found)
            return t.found;
        Sleep(50);
    }
    return nullptr;
}

// Started with one Wine setting of its own, the setup program refuses with this warning and exit code.
void expectRefusal(const std::string& key, const char* value, const char* data, const std::string& warning,
                   DWORD exitCode)
{
    setRegistryString(HKEY_CURRENT_USER, key, value, data);
    Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
    EXPECT_EQ(setup.answer(kSetupCaption, warning, IDOK), warning) << setup.describe();
    DWORD code = 0;
    EXPECT_TRUE(setup.waitExit(10000, &code));
    EXPECT_EQ(code, exitCode);
    RegDeleteTreeA(HKEY_CURRENT_USER, kAppDefaults);
}

int listCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

}  // namespace

TEST(SetupButtonsTest, StartUpRefusalsThenReadmeBrowseAndRemove)
{
    const std::string support = "\n\nPlease visit http://www.example.com/support/ and read the\n"
                                "Installation/Uninstallation FAQ for more information.";
    const std::string overrides = std::string(kAppDefaults) + "\\DllOverrides";
    expectRefusal(kAppDefaults, "Version", "win31",
                  "The software you are trying to install does not run on this operating system, installation aborted.",
                  0xFFFFFFFFu);
    expectRefusal(overrides, "quartz", "disabled",
                  "Microsoft DirectShow/DirectX Media is not installed on this system." + support, 0);
    // Without administrator rights neither program changes anything: each says so and ends.
    for (const char* program : {"Setup.exe", "Uninstall.exe"}) {
        Program limited(join(downloadDir(), program), downloadDir(), true);
        ASSERT_TRUE(limited.started());
        const char* caption = program[0] == 'S' ? kSetupCaption : kUninstallCaption;
        const std::string text =
            program[0] == 'S' ? qvsetup::kSetupNeedsAdministrator : qvsetup::kUninstallNeedsAdministrator;
        EXPECT_EQ(limited.answer(caption, text, IDOK), text) << limited.describe();
        EXPECT_TRUE(limited.waitExit(10000));
    }
    EXPECT_FALSE(exists(defaultInstallDir()));

    // Started from another folder, the setup program still finds the read-me beside itself.
    const std::string readme = join(downloadDir(), "ReadMe.txt"), away = join(downloadDir(), "ReadMe.away");
    Program setup(join(downloadDir(), "Setup.exe"), "C:\\windows");
    HWND sheet = setup.waitStep(1);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(MoveFileA(readme.c_str(), away.c_str()));
    clickItem(currentPage(sheet), 1011);
    const std::string missing = "Unable to load the readme.txt file from the path:\n\"C:\\download\\readme.txt\"";
    EXPECT_EQ(setup.answer(kSetupCaption, missing, IDOK), missing);
    ASSERT_TRUE(MoveFileA(away.c_str(), readme.c_str()));
    // A fresh Wine prefix knows the text file type but lacks the extension every Windows has.
    std::string type;
    if (!registryString(HKEY_CLASSES_ROOT, ".txt", nullptr, type))
        setRegistryString(HKEY_CLASSES_ROOT, ".txt", nullptr, "txtfile");
    clickItem(currentPage(sheet), 1011);
    HWND viewer = waitAnyWindow("Notepad", "readme", 15000);
    EXPECT_NE(viewer, nullptr);
    EXPECT_EQ(setup.pendingBox(kSetupCaption), "");
    if (viewer)
        PostMessageA(viewer, WM_CLOSE, 0, 0);

    // Browse replaces the typed directory with the chosen folder.
    const std::string browsed = "C:\\Browsed";
    makeDirs(browsed);
    pressSheet(sheet, PSBTN_NEXT);
    ASSERT_EQ(setup.waitStep(2), sheet);
    HWND page = currentPage(sheet);
    clickItem(page, 1002);
    ASSERT_TRUE(chooseFolder(setup, "Select installation directory", browsed));
    waitUntil([&] { return textOf(GetDlgItem(page, 1001)) == browsed; }, 5000);
    EXPECT_EQ(textOf(GetDlgItem(page, 1001)), browsed);

    // Remove on the host list as filled from the hosts' registry values, last entry selected.
    const std::string fl = "C:\\HostF", vst = "C:\\HostV", ntrack = "C:\\HostN";
    setRegistryString(HKEY_CURRENT_USER, "Software\\FruityLoops\\FL SETTINGS\\", "VST Plugins", fl);
    setRegistryString(HKEY_LOCAL_MACHINE, "Software\\VST", "VSTPluginsPath", vst);
    setRegistryString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\nTrack.Exe", "Path",
                      ntrack);
    pressSheet(sheet, PSBTN_NEXT);
    ASSERT_NE(setup.waitStep(3), nullptr);
    page = currentPage(sheet);
    HWND list = GetDlgItem(page, 1012), remove = GetDlgItem(page, 1003);
    ASSERT_EQ(listCount(list), 3);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(IsWindowEnabled(remove));
    auto removeSelected = [&](const std::string& entry, int button) {
        clickItem(page, 1003);
        const std::string question = "Remove VST host application plug-in directory: \n\"" + entry + "\"?";
        EXPECT_EQ(setup.answer(kSetupCaption, question, button), question);
        settle(page);
    };
    removeSelected(ntrack, IDNO);
    EXPECT_EQ(listCount(list), 3);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    removeSelected(fl, IDYES);
    ASSERT_EQ(listCount(list), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    removeSelected(vst, IDNO);  // the same index stays selected, now the next entry
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    removeSelected(ntrack, IDYES);  // the last one: the one before it is selected
    ASSERT_EQ(listCount(list), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    removeSelected(vst, IDYES);
    EXPECT_EQ(listCount(list), 0);
    EXPECT_FALSE(IsWindowEnabled(remove));
    pressSheet(sheet, PSBTN_NEXT);
    EXPECT_EQ(setup.answer(kSetupCaption, "You have not specified any VST plug-in host applications.", IDOK),
              "You have not specified any VST plug-in host applications.");
    pressSheet(sheet, PSBTN_CANCEL);
    EXPECT_EQ(setup.answer(kSetupCaption, "Exit the setup:marlin?", IDYES), "Exit the setup:marlin?");
    EXPECT_TRUE(setup.waitExit(10000)) << setup.describe();
}
