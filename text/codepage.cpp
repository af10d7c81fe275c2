#include "text/codepage.h"

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
    // The units handed on end at the first zero unit or at the value's end,
    // whichever comes first, so the platform call never reads past the value.
    Bytes terminated = wide;
    const int32_t whole = terminated.Length() / 2 * 2;
    terminated.Storage().Resize(whole);
    terminated.Storage().Resize(whole + 2);
    const auto* units = static_cast<const char16_t*>(terminated.PlatformPointer());
    if (wide.IsAbsent()) units = nullptr;
    const int32_t measure = convert(0, 0, units, -1, nullptr, 0, nullptr, nullptr);
    Text buffer = BlankText(2 * measure);
    convert(codePage, 0, units, -1, buffer.Storage().MutableData(), 2 * measure, nullptr, nullptr);
    return Text(buffer.View());
}

Text Utf8ToAnsi(const Text& text) { return WideToAnsi(Utf8ToWide(text), 936); }
