// Measuring, cutting, searching, replacing and the making operations.
#include "text/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace {

// UTF-8 bytes of two Chinese characters, as a page carries them.
const std::string kOneChinese = "\xE4\xB8\xAD";          // 中
const std::string kTwoChinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

struct FindCase {
    const char* name;
    std::string text;
    std::string sought;
    Position start;
    bool caseInsensitive;
    int32_t expected;
};

// Test names show the case's name, not its bytes.
void PrintTo(const FindCase& c, std::ostream* out) { *out << c.name; }

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, GivesPosition) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(Text(c.text), Text(c.sought), c.start, c.caseInsensitive), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    testing::Values(
        FindCase{"first", "abcabc", "c", {}, false, 3}, FindCase{"fromFour", "abcabc", "c", 4, false, 6},
        FindCase{"fromZero", "abcabc", "c", 0, false, 3}, FindCase{"fromNegative", "abcabc", "c", -5, false, 3},
        FindCase{"fromOne", "abcabc", "c", 1, false, 3}, FindCase{"pastEnd", "abc", "c", 4, false, -1},
        FindCase{"minStart", "abc", "c", INT32_MIN, false, 3}, FindCase{"maxStart", "abc", "c", INT32_MAX, false, -1},
        FindCase{"emptySought", "abc", "", 2, false, 1}, FindCase{"emptySoughtEmptyText", "", "", {}, false, -1},
        FindCase{"emptySoughtPastEnd", "abc", "", 4, false, -1},
        FindCase{"caseInsensitive", "ABC", "b", {}, true, 2}, FindCase{"exact", "ABC", "b", {}, false, -1},
        FindCase{"foldsSecondBytes", "\x81\x41x", "\x81\x61", {}, true, 1},
        FindCase{"secondByteNotCandidate", "\x81\x40", "\x40", {}, false, -1},
        FindCase{"afterPair", "\x78\x81\x40\x40", "\x40", {}, false, 4},
        FindCase{"utf8OneChinese", kOneChinese + "<a>", "<a>", {}, false, -1},
        FindCase{"utf8TwoChinese", kTwoChinese + "<a>", "<a>", {}, false, 7},
        FindCase{"utf8ChineseAndBlank", kOneChinese + " <a>", "<a>", {}, false, 5},
        FindCase{"utf8LaterOccurrence", kOneChinese + "<a> <a>", "<a>", {}, false, 8},
        FindCase{"pairAcrossBoundary", "\xB0\xA1\x78", "\xA1\x78", {}, false, -1},
        FindCase{"startOnSecondByte", "\xB0\xA1\x78", "\xA1\x78", 2, false, 2},
        FindCase{"loneLeadTested", "ab\xB0", "\xB0", {}, false, 3},
        FindCase{"longerThanText", "ab", "abc", {}, false, -1}),
    [](const testing::TestParamInfo<FindCase>& info) { return std::string(info.param.name); });

TEST(FindText, ManyFalseCandidatesInDenseText) {
    // After an odd run of lead bytes the last one pairs with the A; after an
    // even run the A stands alone and the last lead byte is a second byte.
    std::string odd(100001, '\xB0');
    EXPECT_EQ(FindText(odd + "A", "\xB0\x41"), 100001);
    EXPECT_EQ(FindText("\xB0" + odd + "A", "\xB0\x41"), -1);
    EXPECT_EQ(FindText("\xB0" + odd + "A", "A"), 100003);
}

TEST(FindTextReverse, GivesLastOccurrenceInWindow) {
    const struct {
        Position start;
        int32_t expected;
    } cases[] = {{{}, 4}, {4, 2}, {5, 4}, {100, 4}, {1, -1}, {0, -1}, {INT32_MIN, -1}, {INT32_MAX, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(FindTextReverse("a.b.c", ".", c.start), c.expected) << c.start.value_or(-999);
    EXPECT_EQ(FindTextReverse("aaa", "aa"), 2);
    EXPECT_EQ(FindTextReverse("xAx", "a", {}, true), 2);
    EXPECT_EQ(FindTextReverse("abc", "", 2), 1);
    EXPECT_EQ(FindTextReverse("", ""), -1);
    EXPECT_EQ(FindTextReverse(kOneChinese + ":" + kTwoChinese + ":", ":"), 11);
}

TEST(Cutting, CountsPlainBytes) {
    EXPECT_EQ(TextMid("abcdef", 3, 2).View(), "cd");
    EXPECT_EQ(TextMid("abc", 2, 10).View(), "bc");
    EXPECT_EQ(TextMid("abc", 2, INT32_MAX).View(), "bc");
    EXPECT_TRUE(TextMid("abc", 0, 1).IsAbsent());
    EXPECT_TRUE(TextMid("abc", 4, 1).IsAbsent());
    EXPECT_TRUE(TextMid("abc", INT32_MIN, INT32_MAX).IsAbsent());
    EXPECT_EQ(TextLeft("abc", 5).View(), "abc");
    EXPECT_TRUE(TextLeft("abc", 0).IsAbsent());
    EXPECT_TRUE(TextLeft("abc", INT32_MIN).IsAbsent());
    EXPECT_EQ(TextRight("abc", 2).View(), "bc");
    EXPECT_EQ(TextRight("abc", INT32_MAX).View(), "abc");
    EXPECT_TRUE(TextRight("abc", -1).IsAbsent());
    EXPECT_EQ(TextLeft("\xB0\xA1", 1).View(), "\xB0");
    EXPECT_EQ(TextLength(Text()), 0);
    EXPECT_EQ(TextLength(kTwoChinese), 6);
}

struct ReplaceCase {
    const char* name;
    std::string text, subtext, replacement;
    Position start;
    std::optional<int32_t> count;
    bool caseSensitive;
    std::string expected;
};

void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.name; }

class ReplaceSubtextTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceSubtextTest, Replaces) {
    const ReplaceCase& c = GetParam();
    const Text result =
        ReplaceSubtext(Text(c.text), Text(c.subtext), Text(c.replacement), c.start, c.count, c.caseSensitive);
    EXPECT_EQ(result.View(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceSubtextTest,
    testing::Values(ReplaceCase{"exact", "aXbxc", "x", "-", {}, {}, true, "aXb-c"},
                    ReplaceCase{"ignoringCase", "aXbxc", "x", "-", {}, {}, false, "a-b-c"},
                    ReplaceCase{"noOverlapNoRescan", "aaaa", "aa", "a", {}, {}, true, "aa"},
                    ReplaceCase{"fromStart", "xaxbx", "x", "", 2, {}, true, "xab"},
                    ReplaceCase{"count", "xxx", "x", "y", {}, 2, true, "yyx"},
                    ReplaceCase{"negativeCount", "xxx", "x", "y", {}, -1, true, "yyy"},
                    ReplaceCase{"zeroCount", "xxx", "x", "y", {}, 0, true, "xxx"},
                    ReplaceCase{"startPastEnd", "xxx", "x", "y", 4, {}, true, "xxx"},
                    ReplaceCase{"emptySubtext", "xxx", "", "y", {}, {}, true, "xxx"},
                    ReplaceCase{"quotePlaceholder", "a=#\xD2\xFD\xBA\xC5v#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5", "\"",
                                {}, {}, true, "a=\"v\""},
                    ReplaceCase{"respectsPairs", "\x81xx", "x", "-", {}, {}, true, "\x81x-"},
                    ReplaceCase{"headerName", "set-cookie: a\r\nSET-COOKIE: b", "Set-Cookie", "Set-Cookie", {}, {},
                                false, "Set-Cookie: a\r\nSet-Cookie: b"}),
    [](const testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

TEST(ReplaceSubtext, EmptyResultIsAbsent) {
    EXPECT_TRUE(ReplaceSubtext("xx", "x", Text(), {}, {}, true).IsAbsent());
    EXPECT_TRUE(ReplaceSubtext(Text(), "x", "y", {}, {}, true).IsAbsent());
}

TEST(Making, CharBlankAndBytes) {
    EXPECT_EQ(CharFromCode(65).View(), "A");
    EXPECT_TRUE(CharFromCode(0).IsAbsent());
    EXPECT_EQ(CharFromCode(0xB0).View(), "\xB0");
    EXPECT_EQ(BlankText(3).View(), "   ");
    EXPECT_TRUE(BlankText(0).IsAbsent());
    EXPECT_TRUE(BlankText(INT32_MIN).IsAbsent());
    EXPECT_EQ(BlankBytes(2).View(), std::string_view("\0\0", 2));
    EXPECT_TRUE(BlankBytes(-1).IsAbsent());
    EXPECT_EQ(BytesToText(Bytes(std::string_view("a\0b", 3))).View(), "a");
    EXPECT_EQ(BytesLength(Bytes(std::string_view("a\0b", 3))), 3);
    EXPECT_EQ(BytesLength(Bytes()), 0);
}

TEST(EmptyStates, DifferOnlyAtPlatformCalls) {
    const Text absent;
    const Text presentEmpty = "";
    EXPECT_EQ(absent.PlatformPointer(), nullptr);
    ASSERT_NE(presentEmpty.PlatformPointer(), nullptr);
    EXPECT_STREQ(presentEmpty.PlatformPointer(), "");
    EXPECT_EQ(CompareText(absent, presentEmpty), 0);
    EXPECT_EQ(FindText(absent, presentEmpty), FindText(presentEmpty, absent));
    EXPECT_TRUE(Bytes() == Bytes(""));
    EXPECT_EQ(Bytes().PlatformPointer(), nullptr);
    EXPECT_EQ(Text(std::string_view("a\0b", 3)).View(), "a");
}

TEST(ConcatText, AlwaysPresent) {
    const Text joined = ConcatText(Text(), "");
    EXPECT_FALSE(joined.IsAbsent());
    EXPECT_EQ(joined.Length(), 0);
    EXPECT_EQ(ConcatText(Text("a"), Text(), "b", std::string_view("c")).View(), "abc");
    Text growing;
    for (int i = 0; i < 1000; ++i) growing = ConcatText(std::move(growing), "ab");
    EXPECT_EQ(growing.Length(), 2000);
    EXPECT_EQ(TextRight(growing, 3).View(), "bab");
}

TEST(CompareText, ByteOrderUnsigned) {
    EXPECT_EQ(CompareText(Text(), ""), 0);
    EXPECT_EQ(CompareText("a", "B"), 1);
    EXPECT_EQ(CompareText("ab", "abc"), -1);
    EXPECT_EQ(CompareText("\xB0", "a"), 1);
    EXPECT_EQ(CompareText("abc", "abc"), 0);
}

}  // namespace
