#include <gtest/gtest.h>

#include "ParameterModel.h"
#include "RenderOptions.h"

using namespace qv;

namespace {
bool parse(std::vector<const char*> args, RenderOptions& o, std::string& error)
{
    args.insert(args.begin(), "qvrender");
    return parseRenderOptions(static_cast<int>(args.size()), args.data(), o, error);
}
}  // namespace

TEST(RenderOptions, ParamsAndDataBecomeNormalizedValuesInOrder)
{
    RenderOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--param", "29=0.75", "--data",
                       "-20,1,4,30,7,0,1,1,100,10,45,1,0,400,10,-30,1,0,2500,20,15,1,2,8000,10,30,0,0,1000,10,0",
                       "--block", "64", "in.wav", "out.wav"},
                      o, error))
        << error;
    EXPECT_EQ(o.input, "in.wav");
    EXPECT_EQ(o.output, "out.wav");
    EXPECT_EQ(o.blockSize, 64);
    ASSERT_EQ(o.params.size(), 32u);
    EXPECT_EQ(o.params[0].first, 29);
    EXPECT_EQ(o.params[1].first, 28);  // the Data text starts with the output gain
    EXPECT_EQ(normalizedToValue(28, o.params[1].second), -20);
    // Band 2's gain is the 11th number; every value survives the host mapping unchanged.
    for (size_t i = 1; i < o.params.size(); ++i) {
        const int index = o.params[i].first;
        EXPECT_EQ(valueToNormalized(index, normalizedToValue(index, o.params[i].second)), o.params[i].second);
    }
    EXPECT_EQ(o.params[2 + 5 + 4].first, paramIndex(kRowGain, 2));
    EXPECT_EQ(normalizedToValue(o.params[11].first, o.params[11].second), 45);
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
        {{"--block", "0", "a", "b"}, "--block"},
        {{"--bogus", "a", "b"}, "unknown option"},
        {{"a"}, "input and an output"},
        {{"--param"}, "needs a value"},
    };
    for (const auto& c : cases) {
        RenderOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, o, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}
