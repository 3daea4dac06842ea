#include <gtest/gtest.h>

#include "ParameterModel.h"
#include "PresetLookup.h"
#include "RenderOptions.h"
#include "RenderReport.h"
#include "RenderSettings.h"

using namespace qv;

namespace {
bool parse(std::vector<const char*> args, RenderOptions& o, std::string& error)
{
    args.insert(args.begin(), "qvrender");
    return parseRenderOptions(static_cast<int>(args.size()), args.data(), o, error);
}

const char kSmile[] = "-20,1,4,30,7,0,1,1,100,10,45,1,0,400,10,-30,1,0,2500,20,15,1,2,8000,10,30,0,0,1000,10,0";
}  // namespace

TEST(RenderOptions, SettingsApplyInCommandLineOrder)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--param", "29=0.75", "--data", kSmile, "--preset", "Rock/Live", "--param", "28=0.625",
                       "--block", "64", "in.wav", "out.wav"},
                      o, error))
        << error;
    EXPECT_EQ(o.input, "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_EQ(o.blockSize, 64);
    ASSERT_EQ(o.settings.size(), 4u);
    EXPECT_EQ(o.settings[2].kind, SettingArg::Kind::Preset);
    EXPECT_EQ(o.settings[2].text, "Rock/Live");

    RenderSettings s;
    for (const SettingArg& a : o.settings)
        if (a.kind == SettingArg::Kind::Param)
            s.applyParam(a.index, a.value);
        else if (a.kind == SettingArg::Kind::Data)
            s.applyData(a.text);
    // The Data text came after --param 29 and replaced it; the last --param overrode the Data text.
    EXPECT_EQ(s.record.values[paramIndex(kRowGain, 1)], 0);
    EXPECT_EQ(s.record.values[kOutputGainIndex], 60);
    EXPECT_EQ(s.record.values[paramIndex(kRowFilter, 1)], kHighpass);
    EXPECT_EQ(s.record.values[paramIndex(kRowGain, 2)], 45);
    EXPECT_EQ(s.record.values[paramIndex(kRowEnabled, 6)], 0);
    EXPECT_FALSE(s.touched[0]);  // a placeholder
    EXPECT_TRUE(limitSettings(s, 44100).empty());
}

TEST(RenderOptions, MistakesAreExplained)
{
    const struct {
        std::vector<const char*> args;
        const char* says;
    } cases[] = {
        {{"--param", "35=0.5", "a", "b"}, "out of range"},
        {{"--param", "-1=0.5", "a", "b"}, "out of range"},
        {{"--param", "3", "a", "b"}, "INDEX=VALUE"},
        {{"--param", "3=x", "a", "b"}, "not a number"},
        {{"--data", "1,2,3", "a", "b"}, "31 numbers"},
        {{"--data", "1,2,x", "a", "b"}, "whole numbers"},
        {{"--data", "1,,2", "a", "b"}, "whole numbers"},
        {{"--block", "0", "a", "b"}, "--block"},
        {{"--bogus", "a", "b"}, "unknown option"},
        {{"a"}, "input and an output"},
        {{"--param"}, "needs a value"},
        {{"--preset"}, "needs a value"},
        {{"--list-presets", "a"}, "takes no files"},
    };
    for (const auto& c : cases) {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, o, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
    RenderOptions o;
    std::string error;
    EXPECT_TRUE(parse({"--help"}, o, error) && o.help);
    EXPECT_TRUE(parse({"--list-presets"}, o, error) && o.listPresets);
    std::string spaced = " 1, -2 ,+3";
    for (int i = 3; i < 31; ++i)
        spaced += ",0";
    EXPECT_TRUE(checkDataText(spaced, error)) << error;
}

TEST(RenderSettings, ValuesBeyondTheRangesAreLimitedWithAWarning)
{
    RenderSettings s;
    s.applyParam(paramIndex(kRowGain, 1), 1.5f);  // +36 dB
    s.applyData("999,1,1,40,50,0,1,0,60,8,0,1,0,30000,8,0,1,0,800,6,0,1,2,4600,6,0,1,7,15000,5,0");
    std::vector<std::string> warnings = limitSettings(s, 44100);
    ASSERT_EQ(warnings.size(), 5u);
    // A host value beyond 0 .. 1 is told as typed, not as the gain it would have mapped to.
    EXPECT_EQ(warnings[0], "--param 29=1.5: 1.5 is outside 0 .. 1; using 1 (Gain 1 18.0 dB)");
    warnings.erase(warnings.begin());
    EXPECT_EQ(s.record.values[kOutputGainIndex], 240);
    EXPECT_EQ(s.record.values[paramIndex(kRowQ, 1)], 20);  // a shelf's Q stops at 2.0
    EXPECT_EQ(s.record.values[paramIndex(kRowFreq, 3)], 22049);
    EXPECT_EQ(s.record.values[paramIndex(kRowFilter, 6)], kHighpass);
    EXPECT_EQ(warnings[0], "Filter 6: 7 is outside 0 (Peak/Dip) .. 4 (Highpass); using 4 (Highpass)");
    EXPECT_NE(warnings[2].find("Q 1: 5.0 is outside 0.3 .. 2.0; using 2.0"), std::string::npos) << warnings[2];
    EXPECT_NE(warnings[3].find("Output: 99.9 dB is outside -24.0 dB .. 24.0 dB; using 24.0 dB"), std::string::npos);
    // The Data text's band-1 gain replaced the +36 dB; a 48 kHz file allows a higher frequency.
    RenderSettings t;
    t.applyParam(paramIndex(kRowFreq, 3), 1.0f);
    EXPECT_TRUE(limitSettings(t, 48000).empty());
    EXPECT_EQ(t.record.values[paramIndex(kRowFreq, 3)], 22049);
    // Band 6's default 15000 Hz is limited too, but silently: the user did not ask for it.
    EXPECT_EQ(limitSettings(t, 22050).size(), 1u);
    EXPECT_EQ(t.record.values[paramIndex(kRowFreq, 3)], 11024);
    EXPECT_EQ(t.record.values[paramIndex(kRowFreq, 6)], 11024);
}

TEST(PresetLookup, NamesBanksAndCloseMatches)
{
    PresetList list;
    const char* const presets[][2] = {{"Live", "Rock"},
                                      {"Live", "Jazz"},
                                      {"Warm Master", "Mastering"},
                                      {"Hum Notch 50 Hz", "Corrective"},
                                      {"Hum Notch 60 Hz", "Corrective"},
                                      {"Default EQ", ""}};
    for (const auto& p : presets) {
        auto r = std::make_unique<PresetRecord>();
        r->name = p[0];
        r->bank = p[1];
        list.append(std::move(r));
    }
    std::string error;
    const PresetRecord* found = findPreset(list, "WARM master", error);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "Warm Master");
    found = findPreset(list, "jazz/live", error);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->bank, "Jazz");

    EXPECT_EQ(findPreset(list, "Live", error), nullptr);
    EXPECT_NE(error.find("Rock/Live"), std::string::npos) << error;
    EXPECT_NE(error.find("Jazz/Live"), std::string::npos) << error;
    EXPECT_EQ(findPreset(list, "warm mastr", error), nullptr);
    EXPECT_NE(error.find("Mastering/Warm Master"), std::string::npos) << error;
    EXPECT_EQ(findPreset(list, "hum", error), nullptr);
    EXPECT_NE(error.find("Hum Notch 50 Hz\n  Corrective/Hum Notch 60 Hz"), std::string::npos) << error;
    EXPECT_EQ(findPreset(list, "Symphony", error), nullptr);
    EXPECT_NE(error.find("--list-presets"), std::string::npos) << error;

    list.sort();
    EXPECT_EQ(presetListing(list), "Corrective\n  Hum Notch 50 Hz\n  Hum Notch 60 Hz\nJazz\n  Live\nMastering\n"
                                   "  Warm Master\nRock\n  Live\n(no bank)\n  Default EQ\n");
}

TEST(RenderReport, PeaksClippingAndSpeed)
{
    PeakMeter meter(2);
    const float samples[] = {0.5f, -0.25f, -1.5f, 0.125f, 1.0f, 0.0f};
    meter.addSamples(samples, 3);
    EXPECT_EQ(meter.report(), "  left   peak    3.52 dBFS, 1 clipped sample\n  right  peak  -12.04 dBFS\n");

    // Written by another processor: a 16-bit sample at either limit was limited there.
    const WavFormat f = makeFormat(SampleKind::Pcm, 1, 8000, 16);
    const uint8_t bytes[] = {0xFF, 0x7F, 0x00, 0x80, 0x00, 0x40, 0x00, 0x00};
    PeakMeter pcm(1);
    pcm.addBytes(f, bytes, 4);
    EXPECT_EQ(pcm.report(), "  mono   peak    0.00 dBFS, 2 clipped samples\n");

    EXPECT_EQ(formatDuration(8.4), "0:08");
    EXPECT_EQ(formatDuration(3600.0 - 1), "59:59");
    EXPECT_EQ(formatDuration(3 * 3600.0 + 61), "3:01:01");
    EXPECT_EQ(speedLine(3600ull * 44100, 44100, 29.0), "1:00:00 of audio in 29 s, 124x real time");
    EXPECT_EQ(speedLine(44100, 44100, 0.01), "0:01 of audio in 0.01 s, 100x real time");
    EXPECT_EQ(speedLine(44100, 44100, 0.0), "0:01 of audio in 0.00 s");

    Progress progress(200);
    EXPECT_EQ(progress.update(0), "processing:   0%");
    EXPECT_EQ(progress.update(8), "");
    EXPECT_EQ(progress.update(10), "processing:   5%");
    EXPECT_EQ(progress.update(200), "processing: 100%");
}

TEST(RenderOptions, EqFilesAreReadInOrderAndWritten)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--data", kSmile, "--eq-file", "hp.txt", "--write-eq-file", "out.txt", "a", "b"}, o, error));
    ASSERT_EQ(o.settings.size(), 2u);
    EXPECT_EQ(o.settings[1].kind, SettingArg::Kind::EqFile);
    EXPECT_EQ(o.settings[1].text, "hp.txt");
    EXPECT_EQ(o.writeEqFile, "out.txt");
    EXPECT_FALSE(o.writeOnly);
    RenderOptions convert;
    EXPECT_TRUE(parse({"--eq-file", "hp.txt", "--write-eq-file", "out.txt"}, convert, error) && convert.writeOnly);
    EXPECT_FALSE(parse({"--eq-file"}, convert, error));

    // The file replaces every band: band 6 of the smile is off, the file's two bands and preamp are on.
    RenderSettings s;
    s.applyData(kSmile);
    std::vector<std::string> notes;
    const std::string text = "Preamp: -3 dB\nFilter 1: ON PK Fc 1000 Hz Gain 3 dB Q 1\nFilter 2: ON BP Fc 50 Hz\n";
    ASSERT_TRUE(s.applyEqText(text, notes, error));
    EXPECT_EQ(s.record.values[kOutputGainIndex], -30);
    EXPECT_EQ(s.record.values[paramIndex(kRowGain, 1)], 30);
    EXPECT_EQ(s.record.values[paramIndex(kRowEnabled, 2)], 0);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_FALSE(s.applyEqText("just some text\n", notes, error));
    EXPECT_FALSE(error.empty());
    EXPECT_NE(eqTextOf(s, notes).find("Filter 1: ON PK Fc 1000 Hz Gain 3.0 dB Q "), std::string::npos);
}
