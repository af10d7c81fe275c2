#include "platform/kernel32.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <memory>
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
    int32_t Result() const {
        if (capacity > 0 && count > capacity) return 0;
        return count > INT32_MAX ? 0 : int32_t(count);
    }
};

// Gathers units one at a time and hands them on in chunks.
template <typename Unit>
class Writer {
   public:
    explicit Writer(Output<Unit>& output) : output_(output) {}
    ~Writer() { Flush(); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void Put(Unit unit) {
        // PutAscii may have filled the chunk to the brim.
        if (size_ == chunk_.size()) Flush();
        chunk_[size_++] = unit;
    }
    // Eight ASCII characters at once, widened or narrowed to the unit.
    template <typename From>
    void PutAscii(const From* from) {
        if (size_ + 8 > chunk_.size()) Flush();
        for (size_t k = 0; k < 8; ++k) chunk_[size_ + k] = Unit(from[k]);
        size_ += 8;
    }
    void Flush() {
        output_.Put(chunk_.data(), int64_t(size_));
        size_ = 0;
    }

   private:
    Output<Unit>& output_;
    std::array<Unit, 4096> chunk_;
    size_t size_ = 0;
};

// Code page 936 as glibc's iconv maps it (Windows' mapping), read into
// tables one block of 256 characters at a time, when a text first needs the
// block. A zero entry means "no mapping".
class Cp936Tables {
   public:
    Cp936Tables()
        : toWide_(iconv_open("UTF-16LE", "CP936")), fromWide_(iconv_open("CP936", "UTF-16LE")) {}
    ~Cp936Tables() {
        if (toWide_ != kInvalid) iconv_close(toWide_);
        if (fromWide_ != kInvalid) iconv_close(fromWide_);
    }
    Cp936Tables(const Cp936Tables&) = delete;
    Cp936Tables& operator=(const Cp936Tables&) = delete;

    // The unit of the two-byte character lead, trail.
    char16_t Pair(unsigned char lead, unsigned char trail) {
        auto& block = pairs_[lead];
        if (!block) block = ReadPairs(lead);
        return (*block)[trail];
    }
    // The unit of a byte 0x80-0xFF standing alone (0x80 is the euro sign).
    char16_t Single(unsigned char byte) {
        if (!singlesRead_) {
            for (int b = 0x80; b < 0x100; ++b) singles_[size_t(b)] = Decode({}, uint8_t(b));
            singlesRead_ = true;
        }
        return singles_[byte];
    }
    // The code of a unit 0x80 and up: one byte below 0x100, else lead << 8 | trail.
    uint16_t Code(char16_t unit) {
        auto& block = codes_[unit >> 8];
        if (!block) block = ReadCodes(unit >> 8);
        return (*block)[unit & 0xFF];
    }

   private:
    static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);

    // The one unit that exactly `bytes` (plus `last`) decode to, or 0.
    char16_t Decode(std::string_view bytes, uint8_t last) {
        if (toWide_ == kInvalid) return 0;
        char in[2];
        if (!bytes.empty()) std::memcpy(in, bytes.data(), bytes.size());
        in[bytes.size()] = char(last);
        char16_t unit[2] = {};
        char* inPointer = in;
        size_t inLeft = bytes.size() + 1;
        char* outPointer = reinterpret_cast<char*>(unit);
        size_t outLeft = sizeof unit;
        iconv(toWide_, nullptr, nullptr, nullptr, nullptr);
        const size_t done = iconv(toWide_, &inPointer, &inLeft, &outPointer, &outLeft);
        return done != size_t(-1) && inLeft == 0 && outLeft == sizeof unit - 2 ? unit[0] : 0;
    }

    std::unique_ptr<std::array<char16_t, 256>> ReadPairs(unsigned char lead) {
        auto block = std::make_unique<std::array<char16_t, 256>>();
        const char in[1] = {char(lead)};
        for (int trail = 0; trail < 0x100; ++trail) (*block)[size_t(trail)] = Decode(std::string_view(in, 1), uint8_t(trail));
        return block;
    }

    std::unique_ptr<std::array<uint16_t, 256>> ReadCodes(unsigned high) {
        auto block = std::make_unique<std::array<uint16_t, 256>>();
        if (fromWide_ == kInvalid || (high >= 0xD8 && high <= 0xDF)) return block;
        for (unsigned low = 0; low < 0x100; ++low) {
            const char16_t unit = char16_t(high << 8 | low);
            unsigned char out[4] = {};
            char* inPointer = reinterpret_cast<char*>(const_cast<char16_t*>(&unit));
            size_t inLeft = 2;
            char* outPointer = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof out;
            iconv(fromWide_, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromWide_, &inPointer, &inLeft, &outPointer, &outLeft) == size_t(-1)) continue;
            const size_t written = sizeof out - outLeft;
            if (written == 1) (*block)[low] = out[0];
            if (written == 2) (*block)[low] = uint16_t(out[0] << 8 | out[1]);
        }
        return block;
    }

    iconv_t toWide_;
    iconv_t fromWide_;
    std::array<std::unique_ptr<std::array<char16_t, 256>>, 256> pairs_;
    std::array<char16_t, 256> singles_{};
    bool singlesRead_ = false;
    std::array<std::unique_ptr<std::array<uint16_t, 256>>, 256> codes_;
};

Cp936Tables& Tables() {
    thread_local Cp936Tables tables;
    return tables;
}

// Malformed sequences give one U+FFFD per offending byte.
// Whether the eight units from `units` are all ASCII.
template <typename Unit>
bool EightAscii(const Unit* units) {
    unsigned combined = 0;
    for (size_t k = 0; k < 8; ++k) combined |= unsigned(units[k]);
    return combined < 0x80;
}

void DecodeUtf8(const unsigned char* s, size_t n, Writer<char16_t>& out) {
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n && EightAscii(s + i)) {
            out.PutAscii(s + i);
            i += 8;
            continue;
        }
        const unsigned char lead = s[i];
        if (lead < 0x80) {
            out.Put(lead);
            ++i;
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
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.Put(u'\uFFFD');
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.Put(char16_t(0xD800 + (code >> 10)));
            out.Put(char16_t(0xDC00 + (code & 0x3FF)));
        } else {
            out.Put(char16_t(code));
        }
        i += length;
    }
}

// A pair the code page lacks gives '?' for its first byte, and decoding goes
// on with the second.
void DecodeCp936(const unsigned char* s, size_t n, Writer<char16_t>& out) {
    Cp936Tables& tables = Tables();
    size_t i = 0;
    while (i < n) {
        const unsigned char byte = s[i];
        if (byte < 0x80) {
            out.Put(byte);
            ++i;
            continue;
        }
        if (i + 1 < n) {
            if (const char16_t unit = tables.Pair(byte, s[i + 1])) {
                out.Put(unit);
                i += 2;
                continue;
            }
        }
        const char16_t single = tables.Single(byte);
        out.Put(single != 0 ? single : u'?');
        ++i;
    }
}

// Returns the number of characters replaced by '?'.
int64_t EncodeCp936(const char16_t* units, size_t n, Writer<char>& out) {
    Cp936Tables& tables = Tables();
    int64_t replaced = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i + 8 <= n && EightAscii(units + i)) {
            out.PutAscii(units + i);
            i += 7;
            continue;
        }
        const char16_t unit = units[i];
        if (unit < 0x80) {
            out.Put(char(unit));
            continue;
        }
        const uint16_t code = tables.Code(unit);
        if (code == 0) {
            out.Put('?');
            ++replaced;
        } else if (code < 0x100) {
            out.Put(char(code));
        } else {
            out.Put(char(code >> 8));
            out.Put(char(code & 0xFF));
        }
    }
    return replaced;
}

bool IsAnsi(uint32_t codePage) { return codePage == CP_ACP || codePage == 936; }

}  // namespace

int32_t MultiByteToWideChar(uint32_t codePage, uint32_t, const char* multiByte, int32_t multiByteLength,
                            char16_t* wide, int32_t wideLength) {
    if (multiByte == nullptr || wideLength < 0 || multiByteLength < -1) return 0;
    if (codePage != CP_UTF8 && !IsAnsi(codePage)) return 0;
    const size_t n = multiByteLength == -1 ? std::strlen(multiByte) + 1 : size_t(multiByteLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(multiByte);
    Output<char16_t> output{wide, wideLength};
    {
        Writer<char16_t> writer(output);
        if (codePage == CP_UTF8) DecodeUtf8(bytes, n, writer);
        else DecodeCp936(bytes, n, writer);
    }
    return output.Result();
}

int32_t WideCharToMultiByte(uint32_t codePage, uint32_t, const char16_t* wide, int32_t wideLength,
                            char* multiByte, int32_t multiByteLength, const char*, int32_t* usedDefaultChar) {
    if (wide == nullptr || multiByteLength < 0 || wideLength < -1 || !IsAnsi(codePage)) return 0;
    size_t n = 0;
    if (wideLength == -1) {
        while (wide[n] != 0) ++n;
        ++n;
    } else {
        n = size_t(wideLength);
    }
    Output<char> output{multiByte, multiByteLength};
    int64_t replaced = 0;
    {
        Writer<char> writer(output);
        replaced = EncodeCp936(wide, n, writer);
    }
    if (usedDefaultChar != nullptr) *usedDefaultChar = replaced > 0;
    return output.Result();
}
