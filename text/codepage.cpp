#include "text/codepage.h"

#include <algorithm>

#include "platform/kernel32.h"
#include "runtime/library.h"

using MultiByteToWideCharFn = decltype(MultiByteToWideChar);
using WideCharToMultiByteFn = decltype(WideCharToMultiByte);

Bytes Utf8ToWide(const Text& text, uint32_t codePage) {
    auto* convert = BoundFunction<MultiByteToWideCharFn>(kMultiByteToWideChar);
    // Measured in the code page the text is read in: a measure in another one
    // can come out short (two malformed UTF-8 bytes are one code page 936
    // character) and cut the conversion.
    const int32_t units = convert(codePage, 0, text.PlatformPointer(), -1, nullptr, 0);
    Bytes buffer = BlankBytes(2 * units);
    convert(codePage, 0, text.PlatformPointer(), -1, static_cast<char16_t*>(buffer.MutablePlatformPointer()),
            units);
    return buffer;
}

Text WideToAnsi(const Bytes& wide, uint32_t codePage) {
    auto* convert = BoundFunction<WideCharToMultiByteFn>(kWideCharToMultiByte);
    // The platform call reads up to a zero unit. A wide form that does not end
    // in one is handed on as a terminated copy, so the call never reads past
    // the value.
    const auto endsInZeroUnit = [](const Bytes& value) {
        const std::string_view bytes = value.View();
        return bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes[bytes.size() - 1] == 0 &&
               bytes[bytes.size() - 2] == 0;
    };
    Bytes terminated;
    const Bytes* units = &wide;
    if (!wide.IsAbsent() && !endsInZeroUnit(wide)) {
        ByteStorage copy(wide.View().substr(0, size_t(wide.Length() / 2 * 2)));
        copy.Append(std::string_view("\0\0", 2));
        terminated = Bytes::FromStorage(std::move(copy));
        units = &terminated;
    }
    const auto* data = static_cast<const char16_t*>(units->PlatformPointer());
    const int32_t measure = convert(0, 0, data, -1, nullptr, 0, nullptr, nullptr);
    // Twice the measure, as zero bytes rather than blanks: the conversion ends
    // its output with a zero byte either way, and pages of a large buffer that
    // it never writes are then never touched.
    ByteStorage buffer;
    buffer.Resize(2 * int64_t(measure));
    convert(codePage, 0, data, -1, buffer.MutableData(), 2 * measure, nullptr, nullptr);
    const size_t length = std::min(buffer.View().find('\0'), buffer.View().size());
    if (length == 0) return {};
    buffer.Resize(int64_t(length));
    buffer.ShrinkToFit();
    return Text::FromStorage(std::move(buffer));
}

Text Utf8ToAnsi(const Text& text) { return WideToAnsi(Utf8ToWide(text), 936); }
