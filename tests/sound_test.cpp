// The four sound page fields and the information block.
#include "sound/fields.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/codepage.h"

namespace {

const std::string kLinkStart = "<div class=\"voice-wp-left fl book_radio\" data-url=\"";
const std::string kDurationStart = "<span class=\"hide\">";
const std::string kCoverStart = "<div class=\"voice-cover-bg\" style=\"background-image:url(";
const std::string kNameStart = "<h1 class=\"s_name\"  title=\"";
const std::string kChinese = "\xE4\xB8\xAD";  // one character, three UTF-8 bytes

const SoundFieldRow& Row(const Text* field) {
    for (const SoundFieldRow& row : SoundFieldTable())
        if (row.keptIn == field) return row;
    throw std::logic_error("no such field");
}

std::string Field(const std::string& page, const Text* field) {
    return std::string(ExtractSoundField(Text(page), Row(field)).View());
}

// A page as the service writes one, with a Chinese name in UTF-8.
std::string SoundPage(const std::string& link, const std::string& name) {
    return "<html><head><title>" + kChinese + kChinese + "</title></head><body>\n" + kLinkStart + link +
           "\"><span>play</span></div>\n" + kDurationStart + "215</span>\n" + kCoverStart +
           "http://img.example/c/9.jpg-500);\"></div>\n" + kNameStart + name + "\">" + name + "</h1>\n</body></html>";
}

TEST(SoundFieldTable, TakesLinkDurationCoverNameInOrder) {
    const auto table = SoundFieldTable();
    EXPECT_EQ(table[0].keptIn, &SoundLink);
    EXPECT_EQ(table[1].keptIn, &SoundDuration);
    EXPECT_EQ(table[2].keptIn, &SoundCover);
    EXPECT_EQ(table[3].keptIn, &SoundName);
    EXPECT_TRUE(table[3].searchedInAnsi);
    EXPECT_FALSE(table[0].searchedInAnsi || table[1].searchedInAnsi || table[2].searchedInAnsi);
}

TEST(ExtractSoundField, CutsEachFieldOutOfAPage) {
    const std::string page = SoundPage("http://s.example/a.mp3", "\xE6\xB5\x8B\xE8\xAF\x95");  // 测试
    EXPECT_EQ(Field(page, &SoundLink), "http://s.example/a.mp3");
    EXPECT_EQ(Field(page, &SoundDuration), "215");
    EXPECT_EQ(Field(page, &SoundCover), "http://img.example/c/9.jpg");
    EXPECT_EQ(Field(page, &SoundName), "\xB2\xE2\xCA\xD4");  // 测试 in code page 936
}

TEST(ExtractSoundField, EdgesOfTheMarkers) {
    EXPECT_EQ(Field(kLinkStart + "A\">", &SoundLink), "A");
    EXPECT_EQ(Field(SoundPage("first", "x") + SoundPage("second", "y"), &SoundLink), "first");
    EXPECT_EQ(Field(kDurationStart + "</span>", &SoundDuration), "");
    EXPECT_EQ(Field(kCoverStart + "X-500);\"></div>", &SoundCover), "X");
    EXPECT_EQ(Field("<h1 class=\"s_name\" title=\"n\">", &SoundName), "");
    EXPECT_EQ(Field("", &SoundLink), "");
    // Values are kept byte for byte: no trimming, no unescaping.
    EXPECT_EQ(Field(kLinkStart + " a&amp;b \">", &SoundLink), " a&amp;b ");
}

TEST(ExtractSoundField, OddRunOfUtf8BytesHidesAMarker) {
    // One Chinese character directly before the marker pairs its last byte
    // with the marker's first: the marker is not found there.
    EXPECT_EQ(Field(kChinese + kDurationStart + "9</span>", &SoundDuration), "");
    EXPECT_EQ(Field(kChinese + " " + kDurationStart + "9</span>", &SoundDuration), "9");
    EXPECT_EQ(Field(kChinese + "\n" + kDurationStart + "9</span>", &SoundDuration), "9");
    EXPECT_EQ(Field(kChinese + kDurationStart + "8</span> " + kDurationStart + "9</span>", &SoundDuration), "9");
    // The link and cover keep the page's UTF-8 bytes.
    EXPECT_EQ(Field(kLinkStart + kChinese + kChinese + "\">", &SoundLink), kChinese + kChinese);
}

std::string Block() {
    std::string block;
    for (int line = 1; line <= kInfoBlockLines; ++line) block += InfoBlockLine(line).View();
    return block;
}

// The block as the user reads it, in UTF-8.
std::string Expected(const std::string& name, const std::string& duration, const std::string& cover,
                     const std::string& link) {
    const std::string separator(73, '=');
    return separator + "\r\n\r\n" + "声音名称：" + name + "\r\n\r\n" + "声音时长：" + duration + "\r\n\r\n" +
           "声音封面：" + cover + "\r\n\r\n" + "Echo链接：" + link + "\r\n\r\n" + separator + "\r\n";
}

TEST(InfoBlock, LabelsInCodePage936AndFieldsInBlockOrder) {
    for (const SoundFieldRow& row : SoundFieldTable()) StoreSoundField(row, Text());
    EXPECT_EQ(Block(), std::string(Utf8ToAnsi(Text(Expected("", "", "", ""))).View()));
    const std::string page = SoundPage("L", "\xE6\xB5\x8B");  // 测
    for (const SoundFieldRow& row : SoundFieldTable()) StoreSoundField(row, ExtractSoundField(Text(page), row));
    EXPECT_EQ(Block(), std::string(Utf8ToAnsi(Text(Expected("测", "215", "http://img.example/c/9.jpg", "L"))).View()));
    // The labels end in the full-width colon A3 BA.
    EXPECT_NE(Block().find("\xA3\xBA" "215"), std::string::npos);
}

TEST(ExtractSoundField, HostilePagesGiveValuesFromInsideThePage) {
    // Random bytes around pieces of the markers, lone lead bytes at the end,
    // malformed UTF-8: every value must be a stretch of the page (or, for
    // the name, of its conversion) and nothing may read outside it.
    std::mt19937 random(7);
    const std::string pieces[] = {kLinkStart, kDurationStart, kCoverStart, kNameStart, "\">", "</span>",
                                  "-500);\"></div>", "\xE4\xB8", "\xFF", "\x80", "\0", "\xA1"};
    for (int round = 0; round < 2000; ++round) {
        std::string page;
        for (int k = int(random() % 12); k > 0; --k) page += pieces[random() % std::size(pieces)];
        const Text text(page);
        const Text converted = Utf8ToAnsi(text);
        for (const SoundFieldRow& row : SoundFieldTable()) {
            const Text value = ExtractSoundField(text, row);
            const std::string_view searched = row.searchedInAnsi ? converted.View() : text.View();
            ASSERT_NE(searched.find(value.View()), std::string_view::npos) << testing::PrintToString(page);
        }
    }
}

TEST(ReleaseSoundFields, EmptiesAllFour) {
    const std::string page = SoundPage("L", "N");
    for (const SoundFieldRow& row : SoundFieldTable()) StoreSoundField(row, ExtractSoundField(Text(page), row));
    ReleaseSoundFields();
    for (const SoundFieldRow& row : SoundFieldTable()) EXPECT_TRUE(row.keptIn->IsAbsent());
}

}  // namespace
