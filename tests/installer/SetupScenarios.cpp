#include "SetupScenarios.h"

#include <gtest/gtest.h>

#include <prsht.h>
#include <shlobj.h>

namespace qvtest {

std::string join(const std::string& dir, const std::string& name)
{
    return !dir.empty() && dir.back() == '\\' ? dir + name : dir + "\\" + name;
}

std::string defaultInstallDir()
{
    std::string programFiles;
    registryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", programFiles);
    return programFiles + "\\Velquin-qv-R3";
}

std::string programsGroup()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_COMMON_PROGRAMS, FALSE);  // everyone's Start menu
    return std::string(path) + "\\Zorvath Velquin-qv R3";
}

void makeDirs(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

HWND toStepTwo(const Program& setup, const std::string& pictures)
{
    HWND sheet = setup.waitStep(1);
    if (!sheet)
        return nullptr;
    if (!pictures.empty())
        setup.snap(sheet, pictures + "step1");
    pressSheet(sheet, PSBTN_NEXT);
    return setup.waitStep(2) == sheet ? sheet : nullptr;
}

void setComponent(HWND page, int id, bool on)
{
    SendMessageA(GetDlgItem(page, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    clickItem(page, id);
}

void throughStepThree(const Program& setup, const Choice& choice, const std::string& pictures)
{
    HWND sheet = toStepTwo(setup, pictures);
    ASSERT_NE(sheet, nullptr);
    HWND page = currentPage(sheet);
    if (!choice.directory.empty())
        setItemText(page, 1001, choice.directory);
    // The clicks are posted before the picture's message and Next: the wizard takes them first.
    setComponent(page, 1003, choice.directX);
    setComponent(page, 1004, choice.vst);
    if (!pictures.empty())
        setup.snap(sheet, pictures + "step2");
    pressSheet(sheet, PSBTN_NEXT);
    if (!choice.vst)
        return;
    ASSERT_NE(setup.waitStep(3), nullptr);
    page = currentPage(sheet);
    for (const std::string& dir : choice.added) {
        clickItem(page, 1016);
        ASSERT_TRUE(chooseFolder(setup, "Select VST host application plug-in directory", dir,
                                 pictures.empty() ? std::string() : pictures + "chooser"));
    }
    settle(sheet);  // the page has taken the last folder chosen
    if (!pictures.empty())
        setup.snap(sheet, pictures + "step3");
    pressSheet(sheet, PSBTN_NEXT);
}

std::string resultText(HWND sheet) { return textOf(pageItem(sheet, 1013)); }

void finish(Program& setup, HWND sheet)
{
    pressSheet(sheet, PSBTN_FINISH);
    EXPECT_TRUE(setup.waitExit(20000));
}

std::string installQuietly(const Choice& choice)
{
    Program setup(join(downloadDir(), "Setup.exe"), downloadDir());
    EXPECT_TRUE(setup.started());
    throughStepThree(setup, choice);
    HWND sheet = setup.waitStep(5);
    EXPECT_NE(sheet, nullptr) << setup.describe();
    if (!sheet)
        return std::string();
    const std::string text = resultText(sheet);
    finish(setup, sheet);
    return text;
}

std::string logText(const std::string& installDir)
{
    const std::vector<char> data = readFile(join(installDir, "vstinst.log"));
    return std::string(data.begin(), data.end());
}

}  // namespace qvtest
