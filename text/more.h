// Splitting, trimming, case, numbers and the byte operations of the page
// fetch. Plain functions over values, like those of text.h; every empty
// result is the absent value.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "text/text.h"

// The pieces between occurrences of the separator (exact, character scan).
// A trailing separator adds no element; a leading one or two adjacent ones
// add an empty element. An empty text gives no element, an empty separator
// one element, the whole text.
//   SplitText("a;;b", ";") -> a, (empty), b;   SplitText("a;b;", ";") -> a, b
TextArray SplitText(const Text& text, const Text& separator);

// Spaces are the byte 0x20 and the full-width space A1 A1; nothing else.
// Cuts leading and trailing spaces. A lone lead byte at the end is cut
// together with nothing before it: "ab  \xA1" gives "ab  ".
Text TrimBothEnds(const Text& text);
// Drops every space at a character boundary, and a lone lead byte at the end.
Text RemoveAllSpaces(const Text& text);

// One-byte A-Z lowered; two-byte characters copied whole.
Text ToLowerCase(const Text& text);

// Full-width forms narrowed first (A3 A1-A3 FE, A1 A1, A1 AB, A1 EE, A1 EF),
// then leading white space, one sign and decimal digits, accumulated modulo
// 2^32 and read as signed. No digits gives 0.
//   TextToInt("  -12ab") == -12;  TextToInt("4294967297") == 1
int32_t TextToInt(const Text& text);

// The text's bytes without the terminator.
Bytes TextToBytes(const Text& text);
// The first min(n, length) bytes; empty when n <= 0.
Bytes BytesLeft(const Bytes& bytes, int32_t n);

// The values one after another.
Bytes ConcatBytesList(std::initializer_list<std::string_view> parts);
template <typename... Parts>
Bytes ConcatBytes(const Bytes& first, const Parts&... rest) {
    return ConcatBytesList({first.View(), rest.View()...});
}
// Appends in place to a value that is being replaced by the result anyway,
// in amortised constant time per byte:
//   body = ConcatBytes(std::move(body), piece);
template <typename... Parts>
Bytes ConcatBytes(Bytes&& first, const Parts&... rest) {
    ByteStorage storage = std::move(first.Storage());
    (storage.Append(rest.View()), ...);
    if (storage.Size() == 0) return {};
    return Bytes::FromStorage(std::move(storage));
}
