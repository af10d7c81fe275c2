#include "text/scan.h"

#include <cstring>

size_t FindAtBoundary(std::string_view text, size_t from, size_t end, std::string_view sought) {
    // memmem is handed at most this much at a time, so that a caller finding
    // match after match never pays for the rest of the text on every call
    // (memory checkers look at the whole range they are given).
    constexpr size_t kStretch = size_t(1) << 18;
    const size_t m = sought.size();
    const char* data = text.data();
    size_t known = from;  // a character boundary of the scan
    size_t position = from;
    while (position <= end && end - position >= m) {
        const size_t stretchEnd = end - position > kStretch + m ? position + kStretch + m - 1 : end;
        const void* hit = memmem(data + position, stretchEnd - position, sought.data(), m);
        if (hit == nullptr) {
            if (stretchEnd == end) return kNoMatch;
            position = stretchEnd - (m - 1);
            continue;
        }
        const size_t candidate = size_t(static_cast<const char*>(hit) - data);
        size_t runStart = candidate;
        while (runStart > known && static_cast<unsigned char>(data[runStart - 1]) >= 0x80) --runStart;
        if ((candidate - runStart) % 2 == 0) return candidate;
        // The candidate is the second byte of a pair; the next byte is a boundary.
        known = position = candidate + 1;
    }
    return kNoMatch;
}

std::string FoldAsciiCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c + 0x20);
    return folded;
}

ScanSubject::ScanSubject(std::string_view text, std::string_view sought, bool caseInsensitive)
    : text(text), sought(sought) {
    if (!caseInsensitive) return;
    foldedText_ = FoldAsciiCase(text);
    foldedSought_ = FoldAsciiCase(sought);
    this->text = foldedText_;
    this->sought = foldedSought_;
}
