#include <gtest/gtest.h>

#include "EditorLogic.h"

using namespace qv;

TEST(EditorLogic, Placeholder) { EXPECT_EQ(controlSlot(1304).column, 3); }
