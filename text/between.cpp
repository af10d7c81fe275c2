#include "text/between.h"

namespace {

Text WithQuotes(const Text& marker) {
    static const Text placeholder = "#\xD2\xFD\xBA\xC5";
    return ReplaceSubtext(marker, placeholder, "\"", std::nullopt, std::nullopt, true);
}

}  // namespace

Text TakeBetween(const Text& text, const Text& startMarker, const Text& endMarker, Position start,
                 bool caseInsensitive) {
    const Text startCopy = WithQuotes(startMarker);
    const Text endCopy = WithQuotes(endMarker);
    int32_t after = FindText(text, startCopy, start.value_or(0), caseInsensitive);
    if (after != -1) after += TextLength(startCopy);
    const int32_t end = FindText(text, endCopy, after, caseInsensitive);
    if (after == -1 || end == -1) return "";
    return TextMid(text, after, end - after);
}
