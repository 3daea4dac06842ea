#include <gtest/gtest.h>

#include "Golden.h"

TEST(Golden, EveryBuildReproducesTheStoredBits)
{
    std::vector<GoldenCase> stored;
    std::string error;
    ASSERT_TRUE(loadGoldenFile(stored, error)) << error;
    const std::vector<GoldenCase> now = computeGoldenCases();
    ASSERT_EQ(stored.size(), now.size());
    for (size_t c = 0; c < now.size(); ++c)
        EXPECT_EQ(goldenDifference(stored[c], now[c]), "");
}
