// Merging the cookies a response set into a caller's cookie text, so that
// one text can be carried from request to request.
//
// A cookie text is a list of items separated by ";" (on output by "; "); an
// item is normally a name, "=" and a value, and nothing else of it (path,
// expiry) is interpreted. The cookies just received win over older ones of
// the same name; older cookies whose names were not received again follow,
// in their old order; an item ending in "=deleted" is dropped; exact repeats
// are dropped; spaces are removed everywhere, inside values too.
//
//   Text old = "a=1; b=2", received = "a=9";
//   MergeCookies(old, received) == "a=9; b=2";  // and old == "a=9; b=2"
#pragma once

#include <cstdint>

#include "text/values.h"

// Merges newCookies into oldCookies. Both variables first lose every space
// (0x20 and the full-width space) and keep that; then the items of
// newCookies, in order, are followed by each item of oldCookies whose name
// none of the items so far carries (so of several old items with one name
// only the first survives, while new items are never dropped for sharing a
// name); items ending in "=deleted" are left out, the rest joined by "; "
// with exact repeats removed. oldCookies receives the merged text; the
// result is a copy of it.
//   old "a=1; a=2", new ""        -> "a=1"
//   old "a=1",      new "a=1;a=2" -> "a=1; a=2"
//   old "a=1",      new "a=deleted" -> ""
//   old "a = 1",    new ""        -> "a=1"
Text MergeCookies(Text& oldCookies, Text& newCookies);

// The name of an item: the bytes before its first "=", or the whole item
// when it has none, with spaces trimmed at both ends. Letter case counts.
//   CookieName(" sid =x=y") == "sid";  CookieName(" flag ") == "flag"
Text CookieName(const Text& part);

// True when some element of the list has the cookie name `name`.
bool HasCookieNamed(const TextArray& list, const Text& name);

// The text split at the separator, each exact repeat of an earlier item left
// out, joined again with the separator.
//   JoinDistinct("x; y; x", "; ") == "x; y";  JoinDistinct("", "; ") == ""
Text JoinDistinct(const Text& text, const Text& separator);

// The position, from 1, of the first element equal to `text` byte for byte
// (an absent element equals the empty text), or -1.
int32_t IndexOfText(const TextArray& list, const Text& text);
