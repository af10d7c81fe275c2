// Splitting, trimming, case, numbers and the byte operations.
#include "text/more.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An element of an array: the text, or "<absent>".
std::vector<std::string> Elements(const TextArray& array) {
    std::vector<std::string> elements;
    for (int32_t i = 1; i <= array.Count(); ++i)
        elements.push_back(array[i].IsAbsent() ? "<absent>" : std::string(array[i].View()));
    return elements;
}

using Strings = std::vector<std::string>;

TEST(SplitText, PiecesBetweenSeparators) {
    EXPECT_EQ(Elements(SplitText("a;b;", ";")), (Strings{"a", "b"}));
    EXPECT_EQ(Elements(SplitText(";a", ";")), (Strings{"<absent>", "a"}));
    EXPECT_EQ(Elements(SplitText("a;;b", ";")), (Strings{"a", "<absent>", "b"}));
    EXPECT_EQ(Elements(SplitText(";", ";")), (Strings{"<absent>"}));
    EXPECT_EQ(Elements(SplitText("abc", ";")), (Strings{"abc"}));
    EXPECT_EQ(Elements(SplitText("", ";")), Strings{});
    EXPECT_EQ(Elements(SplitText(Text(), ";")), Strings{});
    EXPECT_EQ(Elements(SplitText("a; b", "; ")), (Strings{"a", "b"}));
    EXPECT_EQ(Elements(SplitText("a;b", "")), (Strings{"a;b"}));
    // The separator is not found inside a two-byte character, and a lone lead
    // byte stays in the last element.
    EXPECT_EQ(Elements(SplitText("\x81;x;\xB0", ";")), (Strings{"\x81;x", "\xB0"}));
    EXPECT_EQ(Elements(SplitText("H: a\r\nH: b\r\n", "\r\n")), (Strings{"H: a", "H: b"}));
}

TEST(Spaces, TrimAndRemove) {
    const struct {
        std::string text, trimmed, removed;
    } cases[] = {
        {"\xA1\xA1 a b \xA1\xA1", "a b", "ab"},
        {"\ta ", "\ta", "\ta"},
        {"   ", "<absent>", "<absent>"},
        {"ab\xA1", "ab", "ab"},
        {"ab  \xA1", "ab  ", "ab"},
        {"a b\xA1\xA1" "c", "a b\xA1\xA1" "c", "abc"},
        {"\xB0\x20 x", "\xB0\x20 x", "\xB0\x20x"},
        {"", "<absent>", "<absent>"},
    };
    auto shown = [](const Text& t) { return t.IsAbsent() ? std::string("<absent>") : std::string(t.View()); };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(TrimBothEnds(Text(c.text))), c.trimmed) << c.text;
        EXPECT_EQ(shown(RemoveAllSpaces(Text(c.text))), c.removed) << c.text;
    }
}

TEST(ToLowerCase, AsciiCapitalsOnly) {
    EXPECT_EQ(ToLowerCase("ABC\xD6\xD0\xCE\xC4Z").View(), "abc\xD6\xD0\xCE\xC4z");
    EXPECT_EQ(ToLowerCase("\x81\x41").View(), "\x81\x41");
    EXPECT_EQ(ToLowerCase("A\xB0").View(), "a\xB0");
    EXPECT_TRUE(ToLowerCase("").IsAbsent());
}

TEST(TextToInt, NarrowsAndParses) {
    const struct {
        std::string text;
        int32_t value;
    } cases[] = {
        {"  -12ab", -12},
        {"\xA3\xB1\xA3\xB2\xA3\xB3", 123},
        {"\xA3\xAD\xA3\xB5", -5},
        {"\xA1\xA1" "42", 42},
        {"\t8", 8},
        {"+7", 7},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"4294967297", 1},
        {"2147483648", -2147483648},
        {"99999999999999999999", 1661992959},
        {"12\xB0", 12},
        {"\xB0", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInt(Text(c.text)), c.value) << c.text;
}

TEST(Bytes, LeftConcatAndFromText) {
    const Bytes abc = TextToBytes("abc");
    EXPECT_EQ(abc.View(), "abc");
    EXPECT_TRUE(TextToBytes("").IsAbsent());
    EXPECT_EQ(BytesLeft(abc, 2).View(), "ab");
    EXPECT_EQ(BytesLeft(abc, 10).View(), "abc");
    EXPECT_TRUE(BytesLeft(abc, 0).IsAbsent());
    EXPECT_TRUE(BytesLeft(abc, INT32_MIN).IsAbsent());
    EXPECT_TRUE(ConcatBytes(Bytes(), Bytes("")).IsAbsent());
    EXPECT_EQ(ConcatBytes(abc, Bytes(std::string_view("\0d", 2))).View(), std::string_view("abc\0d", 5));
}

TEST(Bytes, GrowingBodyKeepsEveryPiece) {
    Bytes body;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string piece(size_t(i % 1024 + 1), char('a' + i % 26));
        body = ConcatBytes(std::move(body), Bytes(piece));
        expected += piece;
    }
    EXPECT_EQ(body.View(), expected);
}

}  // namespace
