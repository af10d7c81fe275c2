#include "text/text.h"

#include <algorithm>
#include <cstring>

#include "text/scan.h"

namespace {

Text Slice(const Text& text, int64_t offset, int64_t count) {
    return Text::FromBytesUnchecked(text.View().substr(size_t(offset), size_t(count)));
}

}  // namespace

int32_t TextLength(const Text& text) { return text.Length(); }

Text TextLeft(const Text& text, int32_t n) {
    if (n <= 0) return {};
    return Slice(text, 0, std::min(n, text.Length()));
}

Text TextRight(const Text& text, int32_t n) {
    if (n <= 0) return {};
    const int32_t count = std::min(n, text.Length());
    return Slice(text, text.Length() - count, count);
}

Text TextMid(const Text& text, int32_t start, int32_t n) {
    const int32_t length = text.Length();
    if (start < 1 || start > length || n <= 0) return {};
    return Slice(text, start - 1, std::min<int64_t>(n, int64_t(length) - start + 1));
}

int32_t FindText(const Text& text, const Text& sought, Position start, bool caseInsensitive) {
    const int64_t length = text.Length();
    const int64_t offset = start ? std::max<int64_t>(int64_t(*start) - 1, 0) : 0;
    if (offset >= length) return -1;
    if (sought.Length() == 0) return 1;
    const ScanSubject subject(text.View(), sought.View(), caseInsensitive);
    const size_t hit = FindAtBoundary(subject.text, size_t(offset), size_t(length), subject.sought);
    return hit == kNoMatch ? -1 : int32_t(hit + 1);
}

int32_t FindTextReverse(const Text& text, const Text& sought, Position start, bool caseInsensitive) {
    const int64_t length = text.Length();
    int64_t window = length;
    if (start) window = std::clamp<int64_t>(int64_t(*start) - 1, 0, length);
    if (window == 0) return -1;
    if (sought.Length() == 0) return 1;
    const ScanSubject subject(text.View(), sought.View(), caseInsensitive);
    size_t last = kNoMatch;
    for (size_t from = 0;;) {
        const size_t hit = FindAtBoundary(subject.text, from, size_t(window), subject.sought);
        if (hit == kNoMatch) break;
        last = hit;
        from = NextCharacter(subject.text, hit);
    }
    return last == kNoMatch ? -1 : int32_t(last + 1);
}

Text ReplaceSubtext(const Text& text, const Text& subtext, const Text& replacement, Position start,
                    std::optional<int32_t> count, bool caseSensitive) {
    const int64_t length = text.Length();
    const int64_t offset = start ? std::max<int64_t>(int64_t(*start) - 1, 0) : 0;
    if (length == 0 || subtext.Length() == 0 || (count && *count == 0) || offset >= length)
        return Text::FromBytesUnchecked(text.View());
    int32_t remaining = count.value_or(-1);
    const ScanSubject subject(text.View(), subtext.View(), !caseSensitive);
    const std::string_view original = text.View();
    ByteStorage result;
    size_t position = size_t(offset);
    result.Assign(original.substr(0, position));
    while (remaining != 0) {
        const size_t hit = FindAtBoundary(subject.text, position, size_t(length), subject.sought);
        if (hit == kNoMatch) break;
        result.Append(original.substr(position, hit - position));
        result.Append(replacement.View());
        position = hit + subject.sought.size();
        if (remaining > 0) --remaining;
    }
    result.Append(original.substr(position));
    if (result.Size() == 0) return {};
    return Text::FromStorage(std::move(result));
}

Text CharFromCode(int32_t code) {
    const char byte = char(code & 0xFF);
    if (byte == 0) return {};
    return Text::FromBytesUnchecked(std::string_view(&byte, 1));
}

Text BlankText(int32_t n) {
    if (n <= 0) return {};
    ByteStorage storage;
    storage.Resize(n);
    std::memset(storage.MutableData(), ' ', size_t(n));
    return Text::FromStorage(std::move(storage));
}

Bytes BlankBytes(int32_t n) {
    if (n <= 0) return {};
    ByteStorage storage;
    storage.Resize(n);
    return Bytes::FromStorage(std::move(storage));
}

Text BytesToText(const Bytes& bytes) {
    const std::string_view view = bytes.View();
    const size_t zero = view.find('\0');
    return Text::FromBytesUnchecked(view.substr(0, zero));
}

int32_t BytesLength(const Bytes& bytes) { return bytes.Length(); }

Text ConcatTextList(std::initializer_list<std::string_view> parts) {
    int64_t total = 0;
    for (std::string_view part : parts) total += int64_t(part.size());
    ByteStorage storage;
    storage.Reserve(total);
    storage.Assign("");
    for (std::string_view part : parts) storage.Append(part);
    return Text::FromStorage(std::move(storage));
}

int32_t CompareText(const Text& a, const Text& b) {
    const int order = a.View().compare(b.View());
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}
