// Measuring, cutting, searching, replacing, making, joining and comparing
// texts and bytes. Plain functions over values: none keeps state, none
// changes its arguments, none reports an error. Every empty result is the
// absent value unless said otherwise; an absent argument reads as empty.
//
// Cutting and measuring count plain bytes and may split a two-byte
// character. Searching and replacing use the character scan: a byte 0x00 to
// 0x7F is one character, a byte 0x80 to 0xFF a lead byte that pairs with the
// byte after it, whatever that is. A match can begin only where the scan's
// own pairing puts a character boundary, so in a UTF-8 text an occurrence
// right after an odd run of bytes 0x80-0xFF is not found there:
//
//   FindText("\x81\x40", "\x40")            == -1
//   FindText("x\x81\x40\x40", "\x40")       == 4
//   FindText("中<a>", "<a>")                 == -1   (UTF-8: three high bytes)
//   FindText("中文<a>", "<a>")               == 7
//
// Case-insensitive means ASCII letters only, folded on every byte compared,
// the second bytes of two-byte characters included. The searches take a
// flag that is true for case-insensitive; ReplaceSubtext takes one that is
// true for exact.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "text/values.h"

// Positions are given with std::optional where omitting one differs from
// passing any value.
using Position = std::optional<int32_t>;

int32_t TextLength(const Text& text);

// The first min(n, length) bytes; empty when n <= 0.
Text TextLeft(const Text& text, int32_t n);
// The last min(n, length) bytes; empty when n <= 0.
Text TextRight(const Text& text, int32_t n);
// min(n, length - start + 1) bytes from position start; empty when start < 1,
// start > length or n <= 0.
//   TextMid("abcdef", 3, 2) == "cd";  TextMid("abc", 2, 10) == "bc"
Text TextMid(const Text& text, int32_t start, int32_t n);

// The position of the first occurrence, or -1. Omitted start: the whole
// text; given: the scan starts at byte offset max(start - 1, 0), also on the
// second byte of a character, and finds nothing when that is past the end.
// An empty sought text gives 1 when the window holds a byte, else -1.
//   FindText("abcabc", "c") == 3;  FindText("abcabc", "c", 4) == 6
//   FindText("abc", "", 2) == 1;   FindText("ABC", "b", {}, true) == 2
int32_t FindText(const Text& text, const Text& sought, Position start = std::nullopt,
                 bool caseInsensitive = false);

// The position of the last occurrence lying wholly in the first w bytes, or
// -1: w is the length when start is omitted, else min(start - 1, length)
// (0 when start - 1 <= 0). The scan still runs from the first byte.
//   FindTextReverse("a.b.c", ".") == 4;  FindTextReverse("a.b.c", ".", 4) == 2
int32_t FindTextReverse(const Text& text, const Text& sought, Position start = std::nullopt,
                        bool caseInsensitive = false);

// Replaces occurrences of subtext, left to right, never overlapping and never
// rescanning a replacement. Omitted start: the first byte; omitted count:
// every occurrence; a negative count replaces every occurrence too. An
// unchanged copy when the text or subtext is empty, a given count is 0, or
// start - 1 >= length. The first max(start - 1, 0) bytes are copied as they
// are.
//   ReplaceSubtext("aXbxc", "x", "-", {}, {}, true)  == "aXb-c"
//   ReplaceSubtext("aaaa", "aa", "a", {}, {}, true)  == "aa"
//   ReplaceSubtext("xxx", "x", "y", {}, 2, true)     == "yyx"
Text ReplaceSubtext(const Text& text, const Text& subtext, const Text& replacement = Text(),
                    Position start = std::nullopt, std::optional<int32_t> count = std::nullopt,
                    bool caseSensitive = false);

// The text of the one byte `code`; code 0 gives the absent text.
Text CharFromCode(int32_t code);
// n blanks (0x20); empty when n <= 0.
Text BlankText(int32_t n);
// n zero bytes; empty when n <= 0.
Bytes BlankBytes(int32_t n);
// The bytes up to, not including, the first zero byte.
Text BytesToText(const Bytes& bytes);
int32_t BytesLength(const Bytes& bytes);

// The parts one after another. The result is always present: present-empty
// when every part is empty.
Text ConcatTextList(std::initializer_list<std::string_view> parts);
inline std::string_view PartView(const Text& text) { return text.View(); }
inline std::string_view PartView(std::string_view text) { return text; }
inline std::string_view PartView(const char* text) { return text; }
inline std::string_view PartView(const std::string& text) { return text; }
template <typename... Parts>
Text ConcatText(const Parts&... parts) {
    return ConcatTextList({PartView(parts)...});
}
// Appends to a text that is being replaced by the result anyway, in place:
//   block = ConcatText(std::move(block), line, "\r\n");
template <typename... Parts>
Text ConcatText(Text&& first, const Parts&... parts) {
    ByteStorage storage = std::move(first.Storage());
    storage.Append("");
    (storage.Append(PartView(parts)), ...);
    return Text::FromStorage(std::move(storage));
}

// -1, 0 or 1, comparing bytes as unsigned; a prefix sorts first.
//   CompareText(Text(), "") == 0;  CompareText("a", "B") == 1
int32_t CompareText(const Text& a, const Text& b);
