// The installer's platform-free decisions: sizes, directory checks, overwrite rules, the file table.
#include <gtest/gtest.h>

#include "FileTable.h"
#include "InstallRules.h"
#include "PluginContract.h"
#include "SetupText.h"

using namespace qvsetup;

TEST(SetupText, FormatKeepsLongPathsWhole)
{
    const std::string path = "C:\\" + std::string(1020, 'p');
    const std::string text = format("The destination file: \"%s\" is in use!", path.c_str());
    EXPECT_EQ(text, "The destination file: \"" + path + "\" is in use!");
}

TEST(SetupText, JoinAndProgramDirectory)
{
    EXPECT_EQ(joinPath("C:\\dir", "a.dll"), "C:\\dir\\a.dll");
    EXPECT_EQ(joinPath("C:\\", "a.dll"), "C:\\a.dll");
    EXPECT_EQ(programDirectory("\"C:\\My Files\\Setup.exe\" /x"), "C:\\My Files");
    EXPECT_EQ(programDirectory("C:\\dir\\Setup.exe -y"), "C:\\dir");
    EXPECT_EQ(programDirectory("C:\\Setup.exe"), "C:\\");
    EXPECT_EQ(programDirectory("\"D:\\Setup.exe"), "D:\\");
    EXPECT_EQ(programDirectory("Setup.exe"), "");
    EXPECT_TRUE(equalsNoCase("ZORVATH qveQualizer r3.DLL", qv::kVstFileName));
    EXPECT_FALSE(equalsNoCase("Zorvath qvEqualizer R3.dl", qv::kVstFileName));
}

TEST(InstallRules, SizeText)
{
    EXPECT_EQ(formatSize(0), "0 bytes");
    EXPECT_EQ(formatSize(999), "999 bytes");
    EXPECT_EQ(formatSize(1000), "0.97KB");
    EXPECT_EQ(formatSize(1023999), "999.99KB");
    EXPECT_EQ(formatSize(1024000), "0.97MB");
    EXPECT_EQ(formatSize(1048576), "1.00MB");
    EXPECT_EQ(formatSize(1572864), "1.50MB");
    EXPECT_EQ(formatSize(0xFFFFFFFFu), "3.99GB");
}

TEST(InstallRules, DirectoryChecks)
{
    EXPECT_EQ(checkInstallDir(""), DirCheck::Empty);
    EXPECT_EQ(checkInstallDir("C:\\"), DirCheck::Ok);
    EXPECT_TRUE(isThreeCharacterRoot("C:\\"));
    EXPECT_EQ(checkInstallDir("C:"), DirCheck::NotRooted);
    EXPECT_EQ(checkInstallDir("abc"), DirCheck::NotRooted);  // three characters, but no drive root
    EXPECT_FALSE(isThreeCharacterRoot("ab\\"));
    EXPECT_EQ(checkInstallDir("folder\\sub"), DirCheck::NotRooted);
    EXPECT_EQ(checkInstallDir("1:\\dir"), DirCheck::NotRooted);
    EXPECT_EQ(checkInstallDir("\\\\ab"), DirCheck::NotRooted);
    EXPECT_EQ(checkInstallDir("c:\\Program Files\\qv"), DirCheck::Ok);
    EXPECT_EQ(checkInstallDir("C:\\dir\\\\sub"), DirCheck::Illegal);
    EXPECT_EQ(checkInstallDir("C:\\dir\\a:b"), DirCheck::Illegal);
    EXPECT_EQ(checkInstallDir("C:\\a?b"), DirCheck::Illegal);
    EXPECT_EQ(checkInstallDir("C:\\a/b"), DirCheck::Illegal);
    EXPECT_EQ(checkInstallDir("C:\\a\tb"), DirCheck::Illegal);
    EXPECT_EQ(checkInstallDir("\\\\server\\share\\folder"), DirCheck::Ok);
}

TEST(InstallRules, CreationStepsWalkAncestors)
{
    EXPECT_EQ(creationSteps("C:\\a\\b\\c"), (std::vector<std::string>{"C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}));
    EXPECT_EQ(creationSteps("C:\\a\\b\\"), (std::vector<std::string>{"C:\\a", "C:\\a\\b", "C:\\a\\b\\"}));
    EXPECT_EQ(creationSteps("\\\\srv\\share\\dir"),
              (std::vector<std::string>{"\\\\srv", "\\\\srv\\share", "\\\\srv\\share\\dir"}));
}

namespace {
FileFacts facts(uint64_t version, uint64_t time, uint64_t size)
{
    FileFacts f;
    f.hasVersion = version != 0;
    f.version = version;
    f.hasTime = true;
    f.time = time;
    f.hasSize = true;
    f.size = size;
    return f;
}
}  // namespace

TEST(InstallRules, OverwriteDecisions)
{
    // Versions decide first; equal versions fall through to dates, then sizes.
    EXPECT_EQ(decideOverwrite(facts(5, 1, 1), facts(4, 9, 9), false).question, Question::NewerVersion);
    EXPECT_EQ(decideOverwrite(facts(4, 9, 9), facts(5, 1, 1), false).question, Question::None);
    auto newerDest = decideOverwrite(facts(4, 9, 1), facts(4, 1, 1), false);
    EXPECT_EQ(newerDest.question, Question::NewerDate);
    EXPECT_TRUE(newerDest.noKeepsDestination);
    EXPECT_EQ(decideOverwrite(facts(4, 1, 1), facts(4, 9, 1), false).question, Question::None);
    // The identical earlier installation: no question at all.
    EXPECT_EQ(decideOverwrite(facts(4, 5, 7), facts(4, 5, 7), false).question, Question::None);
    EXPECT_EQ(decideOverwrite(facts(0, 5, 7), facts(0, 5, 7), false).question, Question::None);
    EXPECT_EQ(decideOverwrite(facts(0, 5, 9), facts(0, 5, 7), false).question, Question::DestinationLarger);
    EXPECT_EQ(decideOverwrite(facts(0, 5, 7), facts(0, 5, 9), false).question, Question::SourceLarger);
    EXPECT_FALSE(decideOverwrite(facts(0, 5, 7), facts(0, 5, 9), false).noKeepsDestination);
    // A preset file is asked about whichever copy is newer, and No keeps the user's presets.
    auto edited = decideOverwrite(facts(0, 9, 7), facts(0, 5, 7), true);
    EXPECT_EQ(edited.question, Question::Preset);
    EXPECT_TRUE(edited.noKeepsDestination);
    EXPECT_EQ(decideOverwrite(facts(0, 1, 7), facts(0, 5, 7), true).question, Question::Preset);
    // Nothing known of the destination (its first copy failed): the plain replace question.
    EXPECT_EQ(decideOverwrite(FileFacts{}, facts(4, 5, 7), false).question, Question::Replace);
    EXPECT_TRUE(isPresetFile("C:\\x\\qvEqualizerR3.INI"));
    EXPECT_FALSE(isPresetFile("a.ini"));
    EXPECT_FALSE(isPresetFile("C:\\x\\ReadMe.txt"));
}

TEST(InstallRules, QuestionTextsNameBothFiles)
{
    const std::string d = "C:\\d\\" + std::string(1000, 'd'), s = "E:\\s\\" + std::string(1000, 's');
    const std::string t = questionText(Question::SourceLarger, d, s);
    EXPECT_EQ(t.find("The source file: \"" + s + "\"\nis larger than the destination file: \"" + d + "\"."), 0u);
    EXPECT_EQ(questionText(Question::None, d, s), "");
    // The word that says which copy is newer.
    EXPECT_NE(questionText(Question::NewerDate, d, s).find("\nhas a newer date than the source file: \"" + s + "\"."),
              std::string::npos);
}

TEST(InstallRules, ErrorReportDropsWholeLinesThatDoNotFit)
{
    ErrorReport report;
    const std::string line(1000, 'x');
    for (int i = 0; i < 5; ++i)
        report.add(line);
    EXPECT_EQ(report.text().size(), 4 * 1001u);
    report.add("short");
    EXPECT_EQ(report.text().substr(report.text().size() - 6), "short\n");
    EXPECT_LE(report.text().size(), ErrorReport::kCapacity);
}

TEST(FileTable, CountsAndSizes)
{
    EXPECT_EQ(countFiles(kComponentAll), 6);
    EXPECT_EQ(countFiles(kComponentDirectX), 1);
    EXPECT_EQ(countFiles(kComponentVst | kComponentCommon), 5);
    auto sizes = [](const FileEntry& e) -> uint32_t { return std::string(e.name) == "qvEqualizer.chm" ? 0 : 1000; };
    EXPECT_EQ(componentSize(directXLabelMask(true), sizes), 4000u);
    EXPECT_EQ(componentSize(directXLabelMask(false), sizes), 1000u);
    EXPECT_EQ(componentSize(vstLabelMask(true), sizes), 1000u);
    EXPECT_EQ(componentSize(vstLabelMask(false), sizes), 4000u);
    EXPECT_EQ(componentSize(kComponentAll, [](const FileEntry&) { return 0xF0000000u; }), 0xFFFFFFFFu);
    int registered = 0;
    forEachFile(kComponentAll, [&](const FileEntry& e, uint32_t) {
        if (e.flags & kEntryRegister) {
            EXPECT_STREQ(kProductClsid[e.product], "{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}");
            ++registered;
        }
    });
    EXPECT_EQ(registered, 1);
    EXPECT_TRUE(fitsVstSlot(std::string(259, 'a')));
    EXPECT_FALSE(fitsVstSlot(std::string(260, 'a')));
}
