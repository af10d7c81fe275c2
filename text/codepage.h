// Re-encoding between UTF-8, UTF-16 and code page 936, through the
// conversion routines of the built-in "kernel32.dll" (LibraryFunctionTable
// entries 9 and 10).
//
// The wide form is Bytes of UTF-16 units, low byte first, ending with a zero
// unit; zero bytes may follow it up to the value's length.
//
//   Utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87") == "\xD6\xD0\xCE\xC4"   // 中文
#pragma once

#include <cstdint>

#include "text/text.h"

// The text read in `codePage` (65001 UTF-8 by default; malformed bytes give
// U+FFFD) as UTF-16 units and a zero unit; absent for an absent text.
Bytes Utf8ToWide(const Text& text, uint32_t codePage = 65001);

// The units up to the first zero unit (or the value's end) in `codePage`
// (0, the ANSI code page 936, by default); a character it lacks gives '?'.
Text WideToAnsi(const Bytes& wide, uint32_t codePage = 0);

// WideToAnsi(Utf8ToWide(text), 936).
Text Utf8ToAnsi(const Text& text);
