#include "platform/kernel32.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

// Collects output units: counts them all, writes as many as fit.
template <typename Unit>
struct Output {
    Unit* data;
    int64_t capacity;  // 0: measure only
    int64_t count = 0;

    void Put(const Unit* units, int64_t n) {
        if (capacity > 0 && count < capacity) {
            const int64_t fitting = n < capacity - count ? n : capacity - count;
            std::memcpy(data + count, units, size_t(fitting) * sizeof(Unit));
        }
        count += n;
    }
    void Put(Unit unit) { Put(&unit, 1); }
    int32_t Result() const {
        if (capacity > 0 && count > capacity) return 0;
        return count > INT32_MAX ? 0 : int32_t(count);
    }
};

class Converter {
   public:
    Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) iconv_close(descriptor_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool Valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return descriptor_; }

   private:
    iconv_t descriptor_;
};

iconv_t Cp936ToUtf16() {
    thread_local Converter converter("UTF-16LE", "CP936");
    return converter.Valid() ? converter.Get() : nullptr;
}
iconv_t Utf16ToCp936() {
    thread_local Converter converter("CP936", "UTF-16LE");
    return converter.Valid() ? converter.Get() : nullptr;
}

// Runs iconv over a stretch of input that holds no ASCII, replacing what the
// other side cannot take by `replacement`. inputUnit is the size in bytes of
// one input unit, the step past an offending unit.
// Returns the number of replacements made.
template <typename Unit>
int64_t ConvertStretch(iconv_t descriptor, const char* input, size_t inputBytes, size_t inputUnit,
                       Unit replacement, Output<Unit>& output) {
    int64_t replacements = 0;
    iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    size_t inLeft = inputBytes;
    while (inLeft > 0) {
        Unit scratch[2048];
        char* out = reinterpret_cast<char*>(scratch);
        size_t outLeft = sizeof scratch;
        const size_t done = iconv(descriptor, &in, &inLeft, &out, &outLeft);
        output.Put(scratch, int64_t((sizeof scratch - outLeft) / sizeof(Unit)));
        if (done != size_t(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL: one replacement for the offending unit, then on.
        output.Put(replacement);
        ++replacements;
        const size_t step = inputUnit < inLeft ? inputUnit : inLeft;
        in += step;
        inLeft -= step;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
    }
    return replacements;
}

void DecodeUtf8(const unsigned char* s, size_t n, Output<char16_t>& output) {
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = s[i];
        if (lead < 0x80) {
            size_t end = i + 1;
            while (end < n && s[end] < 0x80) ++end;
            char16_t run[512];
            while (i < end) {
                size_t k = 0;
                for (; k < sizeof run / sizeof run[0] && i < end; ++k) run[k] = s[i++];
                output.Put(run, int64_t(k));
            }
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        bool valid = length != 0 && i + length <= n;
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = s[i + k];
            const unsigned char min = k == 1 ? low : 0x80, max = k == 1 ? high : 0xBF;
            if (next < min || next > max) valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            output.Put(u'\uFFFD');
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            const char16_t pair[2] = {char16_t(0xD800 + (code >> 10)), char16_t(0xDC00 + (code & 0x3FF))};
            output.Put(pair, 2);
        } else {
            output.Put(char16_t(code));
        }
        i += length;
    }
}

// Cuts the input into runs of ASCII, copied unit for unit, and runs of the
// rest, handed to `other`.
template <typename In, typename Out, typename Other>
void SplitAtAscii(const In* input, size_t n, Output<Out>& output, Other other) {
    size_t i = 0;
    while (i < n) {
        size_t end = i;
        const bool ascii = input[i] < 0x80;
        while (end < n && (input[end] < 0x80) == ascii) ++end;
        if (ascii) {
            Out run[512];
            while (i < end) {
                size_t k = 0;
                for (; k < sizeof run / sizeof run[0] && i < end; ++k) run[k] = Out(input[i++]);
                output.Put(run, int64_t(k));
            }
        } else {
            other(input + i, end - i);
            i = end;
        }
    }
}

bool IsAnsi(uint32_t codePage) { return codePage == CP_ACP || codePage == 936; }

}  // namespace

int32_t MultiByteToWideChar(uint32_t codePage, uint32_t, const char* multiByte,
                            int32_t multiByteLength, char16_t* wide, int32_t wideLength) {
    if (multiByte == nullptr || wideLength < 0 || multiByteLength < -1) return 0;
    const size_t n = multiByteLength == -1 ? std::strlen(multiByte) + 1 : size_t(multiByteLength);
    Output<char16_t> output{wide, wideLength};
    const auto* bytes = reinterpret_cast<const unsigned char*>(multiByte);
    if (codePage == CP_UTF8) {
        DecodeUtf8(bytes, n, output);
    } else if (IsAnsi(codePage)) {
        iconv_t descriptor = Cp936ToUtf16();
        if (descriptor == nullptr) return 0;
        SplitAtAscii(bytes, n, output, [&](const unsigned char* run, size_t length) {
            ConvertStretch(descriptor, reinterpret_cast<const char*>(run), length, 1, u'?', output);
        });
    } else {
        return 0;
    }
    return output.Result();
}

int32_t WideCharToMultiByte(uint32_t codePage, uint32_t, const char16_t* wide, int32_t wideLength,
                            char* multiByte, int32_t multiByteLength, const char*,
                            int32_t* usedDefaultChar) {
    if (wide == nullptr || multiByteLength < 0 || wideLength < -1) return 0;
    size_t n = 0;
    if (wideLength == -1) {
        while (wide[n] != 0) ++n;
        ++n;
    } else {
        n = size_t(wideLength);
    }
    if (!IsAnsi(codePage)) return 0;
    iconv_t descriptor = Utf16ToCp936();
    if (descriptor == nullptr) return 0;
    Output<char> output{multiByte, multiByteLength};
    int64_t replacements = 0;
    SplitAtAscii(wide, n, output, [&](const char16_t* run, size_t length) {
        replacements += ConvertStretch(descriptor, reinterpret_cast<const char*>(run), length * 2, 2, '?', output);
    });
    if (usedDefaultChar != nullptr) *usedDefaultChar = replacements > 0;
    return output.Result();
}
