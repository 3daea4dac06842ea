// The platform-free preset rules: Data text, sort, command ids, names, menu and tree shapes, paths.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <set>
#include <string>

#include "DataText.h"
#include "PluginContract.h"
#include "PresetList.h"
#include "PresetRules.h"
#include "PresetText.h"

using namespace qv;

namespace {
PresetList makeList(std::initializer_list<std::pair<const char*, const char*>> bankAndName)
{
    PresetList list;
    for (const auto& [bank, name] : bankAndName) {
        auto r = std::make_unique<PresetRecord>();
        r->bank = bank;
        r->name = name;
        r->commandId = list.nextCommandId();
        list.append(std::move(r));
    }
    return list;
}

std::string order(const PresetList& list)
{
    std::string text;
    for (int i = 0; i < list.count(); ++i)
        text += list.at(i)->bank + "/" + list.at(i)->name + ";";
    return text;
}
}  // namespace

TEST(DataText, DefaultSettingsFormatInDataOrder)
{
    char text[1024];
    ASSERT_TRUE(formatDataText(kDefaultParameters, text, sizeof text));
    EXPECT_STREQ(text, "0,1,1,40,10,0,1,0,60,8,0,1,0,200,8,0,1,0,800,6,0,1,2,4600,6,0,1,2,15000,5,0");
    char small[10];
    EXPECT_FALSE(formatDataText(kDefaultParameters, small, sizeof small));
    EXPECT_STREQ(small, "");
}

TEST(DataText, ExtremeValuesRoundTrip)
{
    ParameterRecord record = kDefaultParameters;
    record.values[dataParamIndex(0)] = INT32_MIN;
    record.values[dataParamIndex(30)] = INT32_MAX;
    char text[1024];
    ASSERT_TRUE(formatDataText(record, text, sizeof text));
    ParameterRecord back = {};
    EXPECT_EQ(applyDataText(text, back), 31);
    for (int i = 0; i < kDataValueCount; ++i)
        EXPECT_EQ(back.values[dataParamIndex(i)], record.values[dataParamIndex(i)]);
}

TEST(DataText, HostileTextsReadSafely)
{
    EXPECT_EQ(readDataText("").count, 0);
    EXPECT_EQ(readDataText(nullptr).count, 0);
    DataFields d = readDataText("abc");
    EXPECT_EQ(d.count, 1);
    EXPECT_FALSE(d.present[0]);
    EXPECT_EQ(d.values[0], 0);
    d = readDataText("12x,-7,,99999999999999,-99999999999999, 5");
    EXPECT_EQ(d.count, 6);
    EXPECT_EQ(d.values[0], 12);
    EXPECT_EQ(d.values[1], -7);
    EXPECT_EQ(d.values[2], 0);
    EXPECT_EQ(d.values[3], INT32_MAX);
    EXPECT_EQ(d.values[4], INT32_MIN);
    EXPECT_EQ(d.values[5], 5);
    EXPECT_FALSE(d.present[2]);
    EXPECT_FALSE(d.wholeNumbers);
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += std::to_string(i) + ",";
    d = readDataText(many.c_str());
    EXPECT_EQ(d.count, 31);
    EXPECT_EQ(d.values[30], 30);
    EXPECT_EQ(d.total, 101);  // the trailing comma opens one more, empty field
    // Fields a short text lacks, or holds no number in, leave the record as it was.
    ParameterRecord record = kDefaultParameters;
    EXPECT_EQ(applyDataText("-60,0", record), 2);
    EXPECT_EQ(record.values[kOutputGainIndex], -60);
    EXPECT_EQ(record.values[paramIndex(kRowEnabled, 1)], 0);
    EXPECT_EQ(record.values[paramIndex(kRowFilter, 1)], kDefaultParameters.values[paramIndex(kRowFilter, 1)]);
    record = kDefaultParameters;
    EXPECT_EQ(applyDataText("x, 5,,abc,-", record), 1);
    EXPECT_EQ(record.values[kOutputGainIndex], kDefaultParameters.values[kOutputGainIndex]);
    EXPECT_EQ(record.values[paramIndex(kRowEnabled, 1)], 5);
    EXPECT_EQ(record.values[paramIndex(kRowFreq, 1)], kDefaultParameters.values[paramIndex(kRowFreq, 1)]);
}

TEST(DataText, ATrailingCommaOpensAnEmptyField)
{
    // The editor's reader once saw one field here and the preset code's two; the second is absent.
    DataFields d = readDataText("1,");
    EXPECT_EQ(d.count, 2);
    EXPECT_TRUE(d.present[0]);
    EXPECT_FALSE(d.present[1]);
    EXPECT_FALSE(d.wholeNumbers);
    ParameterRecord record = kDefaultParameters;
    EXPECT_EQ(applyDataText("1,", record), 1);
    EXPECT_EQ(record.values[paramIndex(kRowEnabled, 1)], kDefaultParameters.values[paramIndex(kRowEnabled, 1)]);
    d = readDataText(" 1, -2 ,+3");
    EXPECT_TRUE(d.wholeNumbers);
    EXPECT_EQ(d.values[1], -2);
    for (const char* loose : {"1,2,x", "1,,2", "1 2", "- 5"})
        EXPECT_FALSE(readDataText(loose).wholeNumbers) << loose;
}

TEST(PresetText, LeadingIntegerAndNames)
{
    EXPECT_EQ(leadingInteger("3"), 3);
    EXPECT_EQ(leadingInteger(" -12abc"), -12);
    EXPECT_EQ(leadingInteger("v3"), 0);
    EXPECT_EQ(leadingInteger("4294967296"), INT32_MAX);
    EXPECT_EQ(sanitizeFileName("My Mix: 2"), "My_Mix__2.ini");
    EXPECT_EQ(sanitizeFileName("qv:Equalizer"), "qv_Equalizer.ini");
    EXPECT_EQ(sanitizeFileName("a*b?c<d>e\\f\"g/h|i\tj\rk\nl"), "a_b_c_d_e_f_g_h_i_j_k_l.ini");
    EXPECT_EQ(cutText(std::string(300, 'x')).size(), 127u);
    EXPECT_EQ(cutText(std::string("ab\0cd", 5)), "ab");
}

TEST(PresetText, FormattedTextsHoldLongFields)
{
    const std::string bank(300, 'b');
    EXPECT_EQ(formatText("%s in \"%s\"", "Mix", bank), "Mix in \"" + bank + "\"");
    EXPECT_EQ(formatText("%s", ""), "");
    EXPECT_EQ(updatePresetQuestion("Rock"),
              "Would you like to update the stored parameters for\nthe \"Rock\" preset with the current settings?");
}

TEST(PresetList, SortGroupsBanksFirstThenLoosePresetsStably)
{
    PresetList list = makeList(
        {{"", "b"}, {"rock", "Zed"}, {"Jazz", "x"}, {"", "A"}, {"Rock", "alpha"}, {"rock", "ALPHA"}, {"", ""}});
    list.sort();
    EXPECT_EQ(order(list), "Jazz/x;Rock/alpha;rock/ALPHA;rock/Zed;/A;/b;/;");
}

TEST(PresetList, CommandIdsGrowPastDeletedOnes)
{
    PresetList list;
    EXPECT_EQ(list.nextCommandId(), 3501);
    for (int i = 0; i < 10; ++i) {
        auto r = std::make_unique<PresetRecord>();
        r->commandId = list.nextCommandId();
        list.append(std::move(r));
    }
    list.removeAt(list.indexOfId(3505));
    EXPECT_EQ(list.nextCommandId(), 3511);
    list.removeAt(list.indexOfId(3510));
    EXPECT_EQ(list.nextCommandId(), 3510);
    EXPECT_EQ(commandIdAfter(-7), 3501);
    EXPECT_EQ(list.at(-1), nullptr);
    EXPECT_EQ(list.at(9), nullptr);
    auto copy = list.deepCopy();
    copy->at(0)->name = "changed";
    EXPECT_EQ(list.at(0)->name, "");
}

TEST(PresetList, CommandIdsNeverTakeAFixedCommand)
{
    // Move menu "to Root" and "to New Bank...", the editor's "Preset Manager..." and "Add Preset...".
    EXPECT_EQ(commandIdAfter(4999), 5002);
    EXPECT_EQ(commandIdAfter(5000), 5002);
    EXPECT_EQ(commandIdAfter(10499), 10502);
    PresetList list;
    for (int i = 0; i < 7100; ++i) {
        auto r = std::make_unique<PresetRecord>();
        r->commandId = list.nextCommandId();
        list.append(std::move(r));
    }
    for (int i = 0; i < list.count(); ++i) {
        int32_t id = list.at(i)->commandId;
        ASSERT_FALSE(id == 5000 || id == 5001 || id == 10500 || id == 10501) << i;
        if (i > 0) {
            ASSERT_GT(id, list.at(i - 1)->commandId);
        }
    }
    EXPECT_EQ(list.largestCommandId(), 3500 + 7100 + 4);
}

TEST(PresetList, DuplicatesCompareNameBankAndDataIgnoringCase)
{
    PresetList list = makeList({{"Rock", "Loud"}});
    list.at(0)->data = "1,2,3";
    PresetRecord same;
    same.bank = "ROCK";
    same.name = "loud";
    same.data = "1,2,3";
    EXPECT_TRUE(list.containsEqual(same));
    same.data = "1,2,4";
    EXPECT_FALSE(list.containsEqual(same));
}

TEST(PresetList, MenuTreeAndMoveShapes)
{
    PresetList list = makeList({{"Rock", "a"}, {"rock", "b"}, {"Rock", "c"}, {"Jazz", "d"}, {"", "e"}});
    auto menu = planPresetMenu(list);
    ASSERT_EQ(menu.size(), 4u);  // menus compare bank names exactly: Rock and rock are two submenus
    EXPECT_EQ(menu[0].text, "Rock");
    EXPECT_EQ(menu[0].recordIndexes, (std::vector<int>{0, 2}));
    EXPECT_EQ(menu[1].text, "rock");
    EXPECT_EQ(menu[3].commandId, 3505);

    TreePlan tree = planPresetTree(list);  // the tree groups them as one bank
    ASSERT_EQ(tree.banks.size(), 2u);
    EXPECT_EQ(tree.banks[0].recordIndexes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(tree.looseIndexes, (std::vector<int>{4}));

    auto targets = moveTargets(list, *list.at(1));
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(targets[0].bank, "Jazz");
    EXPECT_EQ(targets[0].commandId, 3504);
    auto fromRoot = moveTargets(list, *list.at(4));
    ASSERT_EQ(fromRoot.size(), 2u);
    EXPECT_EQ(fromRoot[0].commandId, 3501);
}

TEST(PresetRules, PathResolution)
{
    const std::string file = kPresetFileName;
    EXPECT_EQ(resolvePresetPath("C:\\VST", "C:\\x\\a.dll", file), "C:\\VST\\" + file);
    EXPECT_EQ(resolvePresetPath("C:\\VST\\", nullptr, file), "C:\\VST\\" + file);
    EXPECT_EQ(resolvePresetPath(nullptr, "C:\\Plug\\qvEqualizer.DLL", file), "C:\\Plug\\" + file);
    EXPECT_EQ(resolvePresetPath("", "C:\\Plug\\" QV_FILTER_FILE_NAME, file), "C:\\Plug\\" + file);
    EXPECT_EQ(resolvePresetPath(nullptr, "C:\\Plug\\qvEqualizer.ax", file), "");
    EXPECT_EQ(resolvePresetPath(nullptr, kFilterFileName, file), "");
    EXPECT_EQ(resolvePresetPath(nullptr, nullptr, file), "");
    // A path that would not fit is no path: cutting it would name another file.
    EXPECT_EQ(resolvePresetPath(std::string(250, 'a').c_str(), nullptr, file), "");
    EXPECT_EQ(resolvePresetPath(std::string(241, 'a').c_str(), nullptr, file).size(), 259u);
}

TEST(PresetRules, IdentityAndSaveDecisions)
{
    const std::string key = "SOFTWARE\\Classes\\CLSID\\{A}", alt = "SOFTWARE\\Classes\\CLSID\\{B}";
    EXPECT_EQ(classifyIdentity("", key), FileIdentity::kNone);
    EXPECT_EQ(classifyIdentity("software\\classes\\clsid\\{a}", key), FileIdentity::kOurs);
    EXPECT_EQ(classifyIdentity(alt, key), FileIdentity::kForeign);
    EXPECT_EQ(classifyIdentity(alt, key, alt), FileIdentity::kOurs);
    EXPECT_EQ(checkSave("", "", key), SaveCheck::kNoPath);
    EXPECT_EQ(checkSave("C:\\p.ini", "", ""), SaveCheck::kNoPath);
    EXPECT_EQ(checkSave("C:\\p.ini", "", key), SaveCheck::kWrite);
    EXPECT_EQ(checkSave("C:\\p.ini", key, key), SaveCheck::kWrite);
    EXPECT_EQ(checkSave("C:\\p.ini", alt, key), SaveCheck::kForeignFile);
}

TEST(FactoryPresets, EveryPresetIsInRangeAndRoundTrips)
{
    std::ifstream file(QV_FACTORY_INI);
    ASSERT_TRUE(file.good());
    std::string line;
    std::set<std::string> names;
    int presets = 0;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("Name=", 0) == 0) {
            EXPECT_TRUE(names.insert(line.substr(5)).second) << line;
            EXPECT_LE(line.size() - 5, kPresetTextMax);
        }
        if (line.rfind("Data=", 0) != 0)
            continue;
        ++presets;
        std::string data = line.substr(5);
        ParameterRecord record = kDefaultParameters;
        ASSERT_EQ(applyDataText(data.c_str(), record), 31) << data;
        ParameterRecord clamped = record;
        clampRecord(clamped, kDefaultFreqLimit);
        for (int i = 0; i < kDataValueCount; ++i)
            EXPECT_EQ(clamped.values[dataParamIndex(i)], record.values[dataParamIndex(i)]) << data << " value " << i;
        char text[1024];
        ASSERT_TRUE(formatDataText(record, text, sizeof text));
        EXPECT_EQ(data, text);
    }
    EXPECT_GE(presets, 12);
}

#include "PresetFileText.h"

TEST(PresetFileText, FullSaveReplacesPresetsUpToTheGapAndKeepsTheRest)
{
    std::vector<IniSection> old = {
        {"Other", {"Key=kept"}},
        {"plug-in", {"pluginname=old", "Extra=1"}},
        {"Preset1", {"Version=1", "Name=a"}},
        {"Preset2", {"Version=1", "Name=b"}},
        {"Preset4", {"Version=1", "Name=late"}},
    };
    PresetRecord r;
    r.name = "New\r\n[Preset9]";  // a line break never starts a section of its own
    r.bank = "B";
    r.data = "1,2";
    PresetFileWrite write{"qv:Equalizer", "KEY", true, {&r}};
    EXPECT_EQ(composePresetFile(old, write),
              "[Other]\r\nKey=kept\r\n"
              "[plug-in]\r\nPluginName=qv:Equalizer\r\nExtra=1\r\nCLSID=KEY\r\nDefaultPreset=1\r\n"
              "[Preset4]\r\nVersion=1\r\nName=late\r\n"
              "[Preset1]\r\nVersion=3\r\nName=New  [Preset9]\r\nBank=B\r\nData=1,2\r\n");
}

TEST(PresetFileText, ExportReplacesOnlyTheSectionsItWrites)
{
    std::vector<IniSection> old = {{"Preset1", {"Version=1", "Name=a", "Odd=x"}}, {"Preset2", {"Name=b"}}};
    PresetRecord r;
    r.name = "n";
    PresetFileWrite write{"P", "K", false, {&r}};
    EXPECT_EQ(composePresetFile(old, write),
              "[Preset1]\r\nVersion=3\r\nName=n\r\nBank=\r\nData=\r\n[Preset2]\r\nName=b\r\n"
              "[Plug-in]\r\nPluginName=P\r\nCLSID=K\r\n");
}
