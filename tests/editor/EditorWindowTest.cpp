#include <gtest/gtest.h>

#include <cstdlib>

#include "EditorHarness.h"

using namespace qvtest;

TEST(EditorWindow, Pictures)
{
    EditorHost h;
    ASSERT_TRUE(h.ok());
    h.pump(200);
    h.idle();
    h.saveBmp("editor-default.bmp");
}
