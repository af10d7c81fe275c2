#include "text/text.h"

#include <gtest/gtest.h>

TEST(FindText, FindsFirstOccurrence) { EXPECT_EQ(FindText("abcabc", "c"), 3); }
