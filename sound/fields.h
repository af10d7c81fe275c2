// The four fields a sound page of the Echo service yields, where they are
// kept, and the information block that shows them.
//
// A page is HTML in UTF-8. The link, duration and cover are cut out of the
// page as fetched; the name out of the page converted to code page 936, so
// that a Chinese name arrives in the system's own code page. Nothing is
// trimmed, unescaped or validated.
//
//   for (const SoundFieldRow& row : SoundFieldTable())
//       StoreSoundField(row, ExtractSoundField(FetchPageText(address), row));
//   for (int line = 1; line <= kInfoBlockLines; ++line) AppendText(box, InfoBlockLine(line));
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "text/text.h"

// Program-wide, absent until the first parse, replaced by every parse and
// released at shutdown.
extern Text SoundLink;
extern Text SoundDuration;
extern Text SoundCover;
extern Text SoundName;

struct SoundFieldRow {
    Text* keptIn;
    std::string_view startMarker;
    std::string_view endMarker;
    bool searchedInAnsi;  // the page converted from UTF-8 to code page 936 first
};

// In the order a parse takes them: link, duration, cover, name.
std::span<const SoundFieldRow, 4> SoundFieldTable();

// The row's field in the page text; empty when a marker is missing.
Text ExtractSoundField(const Text& pageText, const SoundFieldRow& row);

// Puts the value in the row's field, releasing the old one.
void StoreSoundField(const SoundFieldRow& row, Text value);

// The six texts of the information block: a separator line, the name,
// duration, cover and link lines, a separator line. Each is built from the
// fields as they are at the moment it is asked for.
inline constexpr int kInfoBlockLines = 6;
Text InfoBlockLine(int line);

// Releases the four fields, each only when it holds a value.
void ReleaseSoundFields();
