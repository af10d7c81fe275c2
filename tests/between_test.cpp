// Cutting out the text between markers.
#include "text/between.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kOneChinese = "\xE4\xB8\xAD";
const std::string kTwoChinese = "\xE4\xB8\xAD\xE6\x96\x87";

TEST(TakeBetween, CutsBetweenFirstStartAndNextEnd) {
    const struct {
        std::string text, start, end;
        Position from;
        bool caseInsensitive;
        std::string expected;
    } cases[] = {
        {"x<a>1</a><a>2</a>", "<a>", "</a>", {}, false, "1"},
        {"x<a>1</a><a>2</a>", "<a>", "</a>", 2, false, "1"},
        {"x<a>1</a><a>2</a>", "<a>", "</a>", 3, false, "2"},
        {"<a>1", "<a>", "</a>", {}, false, ""},
        {"1</a>", "<a>", "</a>", {}, false, ""},
        {"<a></a>", "<a>", "</a>", {}, false, ""},
        {"<a>x", "<a>", "<a>", {}, false, ""},
        {"<a>x<a>", "<a>", "<a>", {}, false, "x"},
        {"a=\"v\"", "a=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5", {}, false, "v"},
        {"<A>1</A>", "<a>", "</a>", {}, false, ""},
        {"<A>1</A>", "<a>", "</a>", {}, true, "1"},
        {kOneChinese + "<a>1</a>", "<a>", "</a>", {}, false, ""},
        {kTwoChinese + "<a>1</a>", "<a>", "</a>", {}, false, "1"},
        {"", "<a>", "</a>", {}, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TakeBetween(Text(c.text), Text(c.start), Text(c.end), c.from, c.caseInsensitive).View(),
                  c.expected)
            << c.text;
    }
}

TEST(TakeBetween, MissingMarkerIsPresentEmptyAdjacentIsAbsent) {
    EXPECT_FALSE(TakeBetween("abc", "<a>", "</a>").IsAbsent());
    EXPECT_TRUE(TakeBetween("<a></a>", "<a>", "</a>").IsAbsent());
    EXPECT_FALSE(TakeBetween(Text(), "<a>", "</a>").IsAbsent());
}

}  // namespace
