#include "web/cookies.h"

#include "text/more.h"
#include "text/text.h"

Text MergeCookies(Text& oldCookies, Text& newCookies) {
    oldCookies = RemoveAllSpaces(oldCookies);
    newCookies = RemoveAllSpaces(newCookies);
    const TextArray old = SplitText(oldCookies, ";");
    TextArray merged = SplitText(newCookies, ";");
    for (int32_t i = 1; i <= old.Count(); ++i)
        if (!HasCookieNamed(merged, CookieName(old[i]))) merged.Append(old[i]);
    Text joined;
    for (int32_t i = 1; i <= merged.Count(); ++i)
        if (CompareText(TextRight(merged[i], 8), "=deleted") != 0) joined = ConcatText(std::move(joined), merged[i], "; ");
    oldCookies = JoinDistinct(TextLeft(joined, TextLength(joined) - 2), "; ");
    return oldCookies;
}

Text CookieName(const Text& part) {
    const int32_t equals = FindText(part, "=");
    return TrimBothEnds(equals == -1 ? part : TextLeft(part, equals - 1));
}

bool HasCookieNamed(const TextArray& list, const Text& name) {
    for (int32_t i = 1; i <= list.Count(); ++i)
        if (CompareText(CookieName(list[i]), name) == 0) return true;
    return false;
}

Text JoinDistinct(const Text& text, const Text& separator) {
    const TextArray items = SplitText(text, separator);
    TextArray seen;
    Text joined;
    for (int32_t i = 1; i <= items.Count(); ++i) {
        if (IndexOfText(seen, items[i]) != -1) continue;
        seen.Append(items[i]);
        joined = ConcatText(std::move(joined), items[i], separator);
    }
    return TextLeft(joined, TextLength(joined) - TextLength(separator));
}

int32_t IndexOfText(const TextArray& list, const Text& text) {
    for (int32_t i = 1; i <= list.Count(); ++i)
        if (CompareText(list[i], text) == 0) return i;
    return -1;
}
