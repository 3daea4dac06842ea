#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "Golden.h"
#include "WholeFile.h"

TEST(Golden, EveryBuildReproducesTheStoredBits)
{
    std::vector<uint8_t> data;
    ASSERT_TRUE(qv::readWholeFile(QV_GOLDEN_FILE, data)) << "missing " << QV_GOLDEN_FILE;

    std::vector<GoldenCase> stored;
    ASSERT_TRUE(parseGolden(data, stored));
    const std::vector<GoldenCase> now = computeGoldenCases();
    ASSERT_EQ(stored.size(), now.size());
    for (size_t c = 0; c < now.size(); ++c) {
        ASSERT_EQ(stored[c].name, now[c].name);
        ASSERT_EQ(stored[c].output.size(), now[c].output.size()) << now[c].name;
        size_t mismatches = 0, first = 0;
        for (size_t i = 0; i < now[c].output.size(); ++i) {
            if (std::memcmp(&stored[c].output[i], &now[c].output[i], sizeof(float)) != 0) {
                if (mismatches++ == 0)
                    first = i;
            }
        }
        EXPECT_EQ(mismatches, 0u) << now[c].name << ": first difference at sample " << first << ": stored "
                                  << stored[c].output[first] << ", computed " << now[c].output[first];
    }
}
