// Reading the install log: what the uninstaller lists is what it deletes.
#include <gtest/gtest.h>

#include "InstallLog.h"
#include "PluginContract.h"

using namespace qvsetup;

TEST(InstallLog, LineEnds)
{
    EXPECT_EQ(splitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    // A last line without a line end keeps its last character.
    EXPECT_EQ(splitLines("C:\\x\\" QV_VST_FILE_NAME), (std::vector<std::string>{"C:\\x\\" QV_VST_FILE_NAME}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitLines(""), std::vector<std::string>{});
}

TEST(InstallLog, ListsOnlyExistingDistinctPluginFiles)
{
    // Every file exists but the one deleted by hand.
    auto isFile = [](const std::string& p) { return p.find("Gone") == std::string::npos; };
    const std::string log = "C:\\VST\\" QV_VST_FILE_NAME "\r\n"
                            "c:\\vst\\ZORVATH QVEQUALIZER R3.DLL\r\n"  // the same file from a second install
                            "C:\\Gone\\" QV_VST_FILE_NAME "\r\n"       // deleted by hand
                            "C:\\Windows\\system32\\kernel32.dll\r\n"  // an edited log
                            "C:\\VST\\..\\Windows\\" QV_VST_FILE_NAME "\r\n" QV_VST_FILE_NAME "\r\n"
                            "C:\\a\rC:\\b\\" QV_VST_FILE_NAME "\r\n"          // a lone CR inside a line
                            "D:\\Host\\Plugins\\zorvath QVEQUALIZER r3.DLL";  // no line end
    EXPECT_EQ(
        installedVstPaths(log, isFile),
        (std::vector<std::string>{"C:\\VST\\" QV_VST_FILE_NAME, "D:\\Host\\Plugins\\zorvath QVEQUALIZER r3.DLL"}));
}

TEST(InstallLog, LongLinesAndManyPaths)
{
    auto any = [](const std::string&) { return true; };
    // A line too long for a path is skipped whole, never read as two paths.
    const std::string longLine = "C:\\" + std::string(300, 'a') + "\\C:\\" QV_VST_FILE_NAME;
    EXPECT_TRUE(installedVstPaths(longLine + "\n", any).empty());
    std::string log;
    for (int i = 0; i < 600; ++i)
        log += "C:\\h" + std::to_string(i) + "\\" QV_VST_FILE_NAME "\r\n";
    const auto paths = installedVstPaths(log, any);
    ASSERT_EQ(paths.size(), kMaxLogPaths);
    EXPECT_EQ(paths.back(), "C:\\h499\\" QV_VST_FILE_NAME);
}

TEST(InstallLog, NamesAndPatterns)
{
    EXPECT_EQ(vstComponentName("C:\\VST\\" QV_VST_FILE_NAME), "Zorvath qvEqualizer R3");
    std::string dir;
    EXPECT_TRUE(patternDirectory("C:\\inst\\qv*.chm", dir));
    EXPECT_EQ(dir, "C:\\inst");
    EXPECT_FALSE(patternDirectory("C:\\inst\\readme", dir));
}
