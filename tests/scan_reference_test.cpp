// The fast searches against a plain, byte-by-byte walk of the character scan
// on many random texts: lead bytes, second bytes that look like ASCII, lone
// lead bytes at the end, letters in both cases.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/more.h"
#include "text/text.h"

namespace {

bool Lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }
char Fold(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool MatchesAt(const std::string& text, size_t at, const std::string& sought, bool fold) {
    for (size_t k = 0; k < sought.size(); ++k) {
        const char a = text[at + k], b = sought[k];
        if (fold ? Fold(a) != Fold(b) : a != b) return false;
    }
    return true;
}

// Every candidate the scan tests over text[from, end), in order.
template <typename Visit>
void Walk(const std::string& text, size_t from, size_t end, const std::string& sought, bool fold, Visit visit) {
    for (size_t i = from; i < end && end - i >= sought.size(); i += Lead(text[i]) ? 2 : 1) {
        if (MatchesAt(text, i, sought, fold) && !visit(i)) return;
        if (Lead(text[i]) && i + 1 == text.size()) return;
    }
}

int32_t ReferenceFind(const std::string& text, const std::string& sought, int32_t start, bool fold) {
    const size_t from = size_t(std::max(start - 1, 0));
    if (from >= text.size()) return -1;
    if (sought.empty()) return 1;
    int32_t found = -1;
    Walk(text, from, text.size(), sought, fold, [&](size_t i) {
        found = int32_t(i + 1);
        return false;
    });
    return found;
}

int32_t ReferenceFindReverse(const std::string& text, const std::string& sought, bool fold) {
    if (text.empty()) return -1;
    if (sought.empty()) return 1;
    int32_t found = -1;
    Walk(text, 0, text.size(), sought, fold, [&](size_t i) {
        found = int32_t(i + 1);
        return true;
    });
    return found;
}

std::string ReferenceReplace(const std::string& text, const std::string& sub, const std::string& with) {
    std::string out;
    size_t i = 0;
    while (i < text.size() && text.size() - i >= sub.size()) {
        if (MatchesAt(text, i, sub, false)) {
            out += with;
            i += sub.size();
            continue;
        }
        const size_t step = Lead(text[i]) && i + 1 < text.size() ? 2 : 1;
        out += text.substr(i, step);
        i += step;
    }
    return out + text.substr(std::min(i, text.size()));
}

std::string Random(std::mt19937& random, size_t maxLength) {
    static const char kAlphabet[] = {'a', 'A', 'b', ';', '\x40', '\x81', '\xB0', '\xA1'};
    std::string text(random() % (maxLength + 1), 'a');
    for (char& c : text) c = kAlphabet[random() % sizeof kAlphabet];
    return text;
}

TEST(CharacterScan, FastSearchesAgreeWithPlainWalk) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 100000; ++round) {
        const std::string text = Random(random, 24);
        const std::string sought = Random(random, 3);
        const int32_t start = int32_t(random() % 30) - 3;
        const bool fold = random() % 2 == 0;
        ASSERT_EQ(FindText(text, sought, start, fold), ReferenceFind(text, sought, start, fold))
            << testing::PrintToString(text) << " " << testing::PrintToString(sought) << " " << start;
        ASSERT_EQ(FindTextReverse(text, sought, {}, fold), ReferenceFindReverse(text, sought, fold))
            << testing::PrintToString(text) << " " << testing::PrintToString(sought);
        if (sought.size() >= 2) {
            ASSERT_EQ(std::string(ReplaceSubtext(text, sought, "#", {}, {}, true).View()),
                      ReferenceReplace(text, sought, "#"))
                << testing::PrintToString(text) << " " << testing::PrintToString(sought);
        }
    }
}

TEST(CharacterScan, MatchesAcrossTheStretchesSearchedAtOnce) {
    // Large texts are searched a quarter megabyte at a time.
    for (size_t before = (1u << 18) - 4; before <= (1u << 18) + 1; ++before) {
        const std::string text = std::string(before, 'x') + "<a>";
        ASSERT_EQ(FindText(text, "<a>"), int32_t(before + 1)) << before;
        const std::string leads = std::string(before, '\xB0') + "<a>";
        ASSERT_EQ(FindText(leads, "<a>"), before % 2 == 0 ? int32_t(before + 1) : -1) << before;
    }
}

TEST(CharacterScan, HundredMegabyteTextOfLeadBytes) {
    std::string text(100u << 20, '\xB0');
    text += "<a>1</a>";
    const Text big(text);
    EXPECT_EQ(FindText(big, "<a>"), int32_t(text.size()) - 7);
    EXPECT_EQ(FindText(big, "\xB0<"), -1);
    EXPECT_EQ(FindTextReverse(big, "\xB0\xB0"), int32_t(text.size()) - 9);
    EXPECT_EQ(SplitText(big, "</a>").Count(), 1);
    EXPECT_EQ(TextLength(ReplaceSubtext(big, "\xB0\xB0", "x", {}, {}, true)), int32_t((100u << 20) / 2 + 8));
}

}  // namespace
