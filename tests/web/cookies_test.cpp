// Merging received cookies into a caller's cookie text.
#include "web/cookies.h"

#include <gtest/gtest.h>

#include <string>

#include "text/more.h"

namespace {

struct MergeCase {
    std::string oldCookies;
    std::string newCookies;
    std::string merged;
};

const MergeCase kMerges[] = {
    {"a=1", "b=2", "b=2; a=1"},
    {"a=1; b=2", "a=9", "a=9; b=2"},
    {"a=1; b=2", "a=deleted", "b=2"},
    {"a=1; a=1; c=3", "", "a=1; c=3"},
    // The first old item of a name is carried over, later ones are not.
    {"a=1; a=2", "", "a=1"},
    // New items are never dropped for sharing a name, only exact repeats.
    {"", "a=1; a=2", "a=1; a=2"},
    {"", "a=1; a=1", "a=1"},
    {"a = 1 ;  b=x y", "", "a=1; b=xy"},
    {"A=1", "a=2", "a=2; A=1"},
    {"", "", ""},
    {"flag", "flag", "flag"},
    // An empty item has the empty name and survives once.
    {"", "a=1;;b=2", "a=1; ; b=2"},
    {"x=1;;", ";y=2", "; y=2; x=1"},
    // Only an item whose last eight bytes are "=deleted" goes.
    {"a=undeleted", "b=deleted; c=xdeleted", "c=xdeleted; a=undeleted"},
    // A full-width space (A1 A1) is a space too.
    {"a=\xA1\xA1" "1", "", "a=1"},
};

TEST(MergeCookies, TableOfMerges) {
    for (const MergeCase& c : kMerges) {
        SCOPED_TRACE(c.oldCookies + " <- " + c.newCookies);
        Text oldCookies(c.oldCookies), newCookies(c.newCookies);
        const Text result = MergeCookies(oldCookies, newCookies);
        EXPECT_EQ(result.View(), c.merged);
        EXPECT_EQ(oldCookies.View(), c.merged);
        EXPECT_EQ(newCookies.View(), RemoveAllSpaces(Text(c.newCookies)).View());
    }
}

TEST(MergeCookies, TheReceivedVariableLosesItsSpaces) {
    Text oldCookies = "a=1", newCookies = " b = 2 ; c=3";
    MergeCookies(oldCookies, newCookies);
    EXPECT_EQ(newCookies.View(), "b=2;c=3");
    EXPECT_EQ(oldCookies.View(), "b=2; c=3; a=1");
}

TEST(CookieName, BeforeTheFirstEqualsSignTrimmed) {
    EXPECT_EQ(CookieName(" sid =x=y").View(), "sid");
    EXPECT_EQ(CookieName(" flag ").View(), "flag");
    EXPECT_EQ(CookieName("=v").View(), "");
    EXPECT_EQ(CookieName(Text()).View(), "");
}

TEST(HasCookieNamed, ComparesNamesByteForByte) {
    const TextArray list = SplitText("a=1;B=2;flag", ";");
    EXPECT_TRUE(HasCookieNamed(list, "a"));
    EXPECT_TRUE(HasCookieNamed(list, "B"));
    EXPECT_TRUE(HasCookieNamed(list, "flag"));
    EXPECT_FALSE(HasCookieNamed(list, "b"));
    EXPECT_FALSE(HasCookieNamed(list, "a=1"));
    EXPECT_FALSE(HasCookieNamed(TextArray(), ""));
}

TEST(JoinDistinct, DropsExactRepeats) {
    EXPECT_EQ(JoinDistinct("x; y; x", "; ").View(), "x; y");
    EXPECT_EQ(JoinDistinct("", "; ").View(), "");
    EXPECT_EQ(JoinDistinct("x; X; x ", "; ").View(), "x; X; x ");
    EXPECT_EQ(JoinDistinct("a,,b,,a", ",").View(), "a,,b");
}

TEST(IndexOfText, FirstEqualElementOrMinusOne) {
    EXPECT_EQ(IndexOfText(TextArray(), ""), -1);
    EXPECT_EQ(IndexOfText(SplitText(";a", ";"), ""), 1);
    EXPECT_EQ(IndexOfText(SplitText("a;b;b", ";"), "b"), 2);
    EXPECT_EQ(IndexOfText(SplitText("a;b", ";"), "B"), -1);
    EXPECT_EQ(IndexOfText(SplitText("ab;a", ";"), "a"), 2);
}

}  // namespace
