#include "text/more.h"

#include <cstring>
#include <string>

#include "text/scan.h"

namespace {

bool IsLead(unsigned char byte) { return byte >= 0x80; }

// The length of the space character at `offset`, or 0.
size_t SpaceAt(std::string_view text, size_t offset) {
    if (text[offset] == ' ') return 1;
    if (offset + 1 < text.size() && static_cast<unsigned char>(text[offset]) == 0xA1 &&
        static_cast<unsigned char>(text[offset + 1]) == 0xA1)
        return 2;
    return 0;
}

bool LoneLeadAt(std::string_view text, size_t offset) {
    return offset + 1 == text.size() && IsLead(static_cast<unsigned char>(text[offset]));
}

Text FromString(const std::string& bytes) { return Text::FromBytesUnchecked(bytes); }

}  // namespace

TextArray SplitText(const Text& text, const Text& separator) {
    TextArray pieces;
    const std::string_view view = text.View();
    if (view.empty()) return pieces;
    if (separator.Length() == 0) {
        pieces.Append(Text::FromBytesUnchecked(view));
        return pieces;
    }
    const std::string_view sought = separator.View();
    size_t position = 0;
    for (;;) {
        const size_t hit = FindAtBoundary(view, position, view.size(), sought);
        if (hit == kNoMatch) break;
        pieces.Append(Text::FromBytesUnchecked(view.substr(position, hit - position)));
        position = hit + sought.size();
    }
    if (position < view.size()) pieces.Append(Text::FromBytesUnchecked(view.substr(position)));
    return pieces;
}

Text TrimBothEnds(const Text& text) {
    const std::string_view view = text.View();
    size_t begin = 0;
    while (begin < view.size()) {
        const size_t space = SpaceAt(view, begin);
        if (space == 0) break;
        begin += space;
    }
    // Walk by characters, remembering where the trailing run of spaces began.
    size_t end = begin;
    size_t trailingSpaces = kNoMatch;
    for (size_t i = begin; i < view.size();) {
        if (LoneLeadAt(view, i)) {
            end = i;
            trailingSpaces = kNoMatch;
            break;
        }
        if (SpaceAt(view, i) != 0) {
            if (trailingSpaces == kNoMatch) trailingSpaces = i;
        } else {
            trailingSpaces = kNoMatch;
        }
        i = NextCharacter(view, i);
        end = i;
    }
    if (trailingSpaces != kNoMatch) end = trailingSpaces;
    return Text::FromBytesUnchecked(view.substr(begin, end > begin ? end - begin : 0));
}

Text RemoveAllSpaces(const Text& text) {
    const std::string_view view = text.View();
    std::string kept;
    kept.reserve(view.size());
    for (size_t i = 0; i < view.size();) {
        if (LoneLeadAt(view, i)) break;
        const size_t next = NextCharacter(view, i);
        if (SpaceAt(view, i) == 0) kept.append(view.substr(i, next - i));
        i = next;
    }
    return FromString(kept);
}

Text ToLowerCase(const Text& text) {
    const std::string_view view = text.View();
    std::string lowered(view);
    for (size_t i = 0; i < lowered.size();) {
        const auto byte = static_cast<unsigned char>(lowered[i]);
        if (IsLead(byte)) {
            i += 2;
            continue;
        }
        if (byte >= 'A' && byte <= 'Z') lowered[i] = char(byte + 0x20);
        ++i;
    }
    return FromString(lowered);
}

int32_t TextToInt(const Text& text) {
    const std::string_view view = text.View();
    std::string narrow;
    narrow.reserve(view.size());
    for (size_t i = 0; i < view.size();) {
        const auto lead = static_cast<unsigned char>(view[i]);
        if (!IsLead(lead)) {
            narrow += char(lead);
            ++i;
            continue;
        }
        if (i + 1 >= view.size()) break;
        const auto second = static_cast<unsigned char>(view[i + 1]);
        if (lead == 0xA3 && second >= 0xA1 && second <= 0xFE) narrow += char(second - 0x80);
        else if (lead == 0xA1 && second == 0xA1) narrow += ' ';
        else if (lead == 0xA1 && second == 0xAB) narrow += '~';
        else if (lead == 0xA1 && (second == 0xEE || second == 0xEF)) narrow += '*';
        else narrow.append(view.substr(i, 2));
        i += 2;
    }
    size_t i = 0;
    while (i < narrow.size() && (narrow[i] == ' ' || (narrow[i] >= 0x09 && narrow[i] <= 0x0D))) ++i;
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) negative = narrow[i++] == '-';
    uint32_t value = 0;
    for (; i < narrow.size() && narrow[i] >= '0' && narrow[i] <= '9'; ++i)
        value = value * 10u + uint32_t(narrow[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

Bytes TextToBytes(const Text& text) { return Bytes::FromView(text.View()); }

Bytes BytesLeft(const Bytes& bytes, int32_t n) {
    if (n <= 0) return {};
    return Bytes::FromView(bytes.View().substr(0, size_t(n)));
}

Bytes ConcatBytesList(std::initializer_list<std::string_view> parts) {
    int64_t total = 0;
    for (std::string_view part : parts) total += int64_t(part.size());
    if (total == 0) return {};
    ByteStorage storage;
    storage.Reserve(total);
    storage.Assign("");
    for (std::string_view part : parts) storage.Append(part);
    return Bytes::FromStorage(std::move(storage));
}
