// Cutting out the text between a start marker and the next end marker: the
// system's one extraction primitive.
#pragma once

#include "text/text.h"

// The bytes after the first start marker up to, not including, the first end
// marker found from the byte behind it; the present-empty text when either
// marker is missing, the absent text when the end marker follows at once.
// In a marker, "#引号" (code page 936 bytes 23 D2 FD BA C5) stands for a
// double quote. Omitted start position: the first byte; the flag is true for
// a case-insensitive search, in both searches.
//   TakeBetween("x<a>1</a><a>2</a>", "<a>", "</a>")     == "1"
//   TakeBetween("x<a>1</a><a>2</a>", "<a>", "</a>", 2)  == "2"
//   TakeBetween("<a>x", "<a>", "<a>")                   == ""
Text TakeBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 Position start = std::nullopt, bool caseInsensitive = false);
