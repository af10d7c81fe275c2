#include "sound/fields.h"

#include <string>

#include "text/between.h"
#include "text/codepage.h"

Text SoundLink;
Text SoundDuration;
Text SoundCover;
Text SoundName;

namespace {

const std::array<SoundFieldRow, 4> kTable{{
    {&SoundLink, "<div class=\"voice-wp-left fl book_radio\" data-url=\"", "\">", false},
    {&SoundDuration, "<span class=\"hide\">", "</span>", false},
    {&SoundCover, "<div class=\"voice-cover-bg\" style=\"background-image:url(", "-500);\"></div>", false},
    {&SoundName, "<h1 class=\"s_name\"  title=\"", "\">", true},
}};

// The labels in code page 936, converted once.
const Text& Label(int index) {
    static const std::array<Text, 4> labels{
        Utf8ToAnsi("声音名称："),
        Utf8ToAnsi("声音时长："),
        Utf8ToAnsi("声音封面："),
        Utf8ToAnsi("Echo链接："),
    };
    return labels[size_t(index)];
}

void Release(Text& field) {
    if (!field.IsAbsent()) field = Text();
}

}  // namespace

std::span<const SoundFieldRow, 4> SoundFieldTable() { return kTable; }

Text ExtractSoundField(const Text& pageText, const SoundFieldRow& row) {
    const Text startMarker(row.startMarker), endMarker(row.endMarker);
    if (row.searchedInAnsi) return TakeBetween(Utf8ToAnsi(pageText), startMarker, endMarker);
    return TakeBetween(pageText, startMarker, endMarker);
}

void StoreSoundField(const SoundFieldRow& row, Text value) { *row.keptIn = std::move(value); }

Text InfoBlockLine(int line) {
    const std::string separator(73, '=');
    switch (line) {
        case 1: return ConcatText(separator, "\r\n\r\n");
        case 2: return ConcatText(Label(0), SoundName, "\r\n\r\n");
        case 3: return ConcatText(Label(1), SoundDuration, "\r\n\r\n");
        case 4: return ConcatText(Label(2), SoundCover, "\r\n\r\n");
        case 5: return ConcatText(Label(3), SoundLink, "\r\n\r\n");
        case 6: return ConcatText(separator, "\r\n");
        default: return {};
    }
}

void ReleaseSoundFields() {
    Release(SoundLink);
    Release(SoundDuration);
    Release(SoundCover);
    Release(SoundName);
}
