// The program's own code-page conversion, standing in for the two Windows
// routines under the name "kernel32.dll". Code pages: 65001 UTF-8, 936
// simplified Chinese (Windows' mapping), 0 the ANSI code page, which is 936
// for this program on every system.
//
// A length of -1 means the input runs to its NUL, which is converted too. An
// output length of 0 measures: the result is the size the output needs.
// Otherwise at most that many units are written and the result is the number
// written, or 0 when the output did not fit (what fitted is still written).
// A null input gives 0.
#pragma once

#include <cstdint>

inline constexpr uint32_t CP_ACP = 0;
inline constexpr uint32_t CP_UTF8 = 65001;

// Malformed UTF-8 decodes to U+FFFD per offending byte; decoding goes on.
int32_t MultiByteToWideChar(uint32_t codePage, uint32_t flags, const char* multiByte,
                            int32_t multiByteLength, char16_t* wide, int32_t wideLength);

// A character that the code page lacks becomes '?'; *usedDefaultChar, when
// given, tells whether that happened.
int32_t WideCharToMultiByte(uint32_t codePage, uint32_t flags, const char16_t* wide,
                            int32_t wideLength, char* multiByte, int32_t multiByteLength,
                            const char* defaultChar, int32_t* usedDefaultChar);
