// Code-page conversion through the built-in conversion routines.
#include "text/codepage.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel32.h"

namespace {

std::u16string Units(const Bytes& wide) {
    return std::u16string(reinterpret_cast<const char16_t*>(wide.Data()), size_t(wide.Length() / 2));
}

TEST(Utf8ToAnsi, ReencodesIntoCodePage936) {
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87").View(), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(Utf8ToAnsi("plain <ascii> text").View(), "plain <ascii> text");
    EXPECT_EQ(Utf8ToAnsi(Text()).Length(), 0);
    EXPECT_EQ(Utf8ToAnsi("").Length(), 0);
    // The full-width colon of the labels.
    EXPECT_EQ(Utf8ToAnsi("\xEF\xBC\x9A").View(), "\xA3\xBA");
}

TEST(Utf8ToAnsi, MalformedAndUnmappableBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xFF" "b").View(), "a?b");
    // Two stray continuation bytes: a code page 936 reading would measure
    // one character; both must still be converted.
    EXPECT_EQ(Utf8ToAnsi("\xA1\xA1\xA1\xA1").View(), "????");
    // U+1F600 lies outside code page 936.
    EXPECT_EQ(Utf8ToAnsi("x\xF0\x9F\x98\x80y").View().front(), 'x');
    EXPECT_EQ(Utf8ToAnsi("x\xF0\x9F\x98\x80y").View().back(), 'y');
    EXPECT_EQ(Utf8ToAnsi("x\xF0\x9F\x98\x80y").View().find_first_not_of("x?y"), std::string_view::npos);
    // Truncated sequence at the end.
    EXPECT_EQ(Utf8ToAnsi("ab\xE4\xB8").View(), "ab??");
}

TEST(Utf8ToAnsi, LongRunsAcrossTheConvertersChunks) {
    // ASCII runs that end exactly where the converters hand their output on
    // in chunks, followed by two-byte characters.
    for (size_t run = 4086; run <= 4100; ++run) {
        const std::string ascii(run, 'a');
        const std::string utf8 = ascii + "\xE4\xB8\xAD\xE6\x96\x87" + ascii + "\xE4\xB8\xAD";
        EXPECT_EQ(Utf8ToAnsi(Text(utf8)).View(), ascii + "\xD6\xD0\xCE\xC4" + ascii + "\xD6\xD0") << run;
    }
}

TEST(Utf8ToWide, UnitsAndZeroUnit) {
    EXPECT_TRUE(Utf8ToWide(Text()).IsAbsent());
    EXPECT_EQ(Units(Utf8ToWide("a\xE4\xB8\xAD")), (std::u16string{u'a', u'\u4E2D', 0}));
    EXPECT_EQ(Units(Utf8ToWide("\xF0\x9F\x98\x80")), (std::u16string{0xD83D, 0xDE00, 0}));
    EXPECT_EQ(Units(Utf8ToWide("\xC0\x80")), (std::u16string{0xFFFD, 0xFFFD, 0}));
    EXPECT_EQ(Units(Utf8ToWide("\xD6\xD0", 936)), (std::u16string{u'\u4E2D', 0}));
    // Code page 936: the euro sign is the single byte 0x80; a pair the code
    // page lacks gives '?' for its lead byte and goes on with the next byte.
    EXPECT_EQ(Units(Utf8ToWide("\x80" "a\xFF" "b\xD6", 936)), (std::u16string{u'\u20AC', u'a', u'?', u'b', u'?', 0}));
    EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC").View(), "\x80");
}

TEST(WideToAnsi, StopsAtZeroUnitOrValueEnd) {
    EXPECT_EQ(WideToAnsi(Bytes()).Length(), 0);
    const char16_t units[] = {u'a', u'\u4E2D', 0, u'b'};
    EXPECT_EQ(WideToAnsi(Bytes(std::string_view(reinterpret_cast<const char*>(units), sizeof units))).View(),
              "a\xD6\xD0");
    // No zero unit at all, and an odd byte at the end: read to the value's end.
    EXPECT_EQ(WideToAnsi(Bytes(std::string_view("a\0b\0c", 5))).View(), "ab");
}

TEST(ConversionRoutines, MeasureAndReportShortOutput) {
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, nullptr, 0), 0);
    char16_t two[2] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, two, 2), 0);
    EXPECT_EQ(two[1], u'b');
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u4E2D", -1, nullptr, 0, nullptr, nullptr), 3);
    int32_t usedDefault = 0;
    char out[8] = {};
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\U0001F600", -1, out, 8, nullptr, &usedDefault), 3);
    EXPECT_EQ(usedDefault, 1);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", -1, nullptr, 0), 0);
}

}  // namespace
