// The character scan shared by the searching, replacing and splitting
// operations. Internal to the text toolkit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr size_t kNoMatch = std::string_view::npos;

// The offset of the first occurrence of `sought` (not empty) that begins at a
// character boundary of the scan and ends at or before `end`. `from` must be
// a boundary of the scan; the search goes on from it. Runs at memmem speed:
// a candidate is at a boundary exactly when the run of bytes 0x80-0xFF right
// before it, back to the last known boundary, has even length.
size_t FindAtBoundary(std::string_view text, size_t from, size_t end, std::string_view sought);

// The offset of the character boundary after the one at `offset`.
inline size_t NextCharacter(std::string_view text, size_t offset) {
    return offset + (static_cast<unsigned char>(text[offset]) >= 0x80 ? 2 : 1);
}

// A copy with ASCII capitals folded to small letters, every byte alike. The
// folding keeps every byte's class, so boundaries fall as in the original.
std::string FoldAsciiCase(std::string_view text);

// Where the scan looks: the original bytes, or a folded copy for a
// case-insensitive scan. Offsets are the same in both.
struct ScanSubject {
    ScanSubject(std::string_view text, std::string_view sought, bool caseInsensitive);
    ScanSubject(const ScanSubject&) = delete;
    ScanSubject& operator=(const ScanSubject&) = delete;
    std::string_view text;
    std::string_view sought;

   private:
    std::string foldedText_;
    std::string foldedSought_;
};
