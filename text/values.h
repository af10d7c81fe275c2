// The three kinds of value every routine works on: Text, Bytes, TextArray.
//
// Text is a byte string in code page 936 that holds no zero byte; Bytes is a
// counted buffer that may. Lengths and positions are 32-bit, positions count
// bytes from 1, and -1 means "not found".
//
// Both have two empty states. Absent: no storage, what a default-constructed
// value holds and what every operation yields for an empty result. Present-
// empty: storage with nothing in it, as the literal "" gives. Every operation
// treats them alike; they differ only at a platform call, where an absent
// value passes a null pointer (PlatformPointer).
//
//   Text name;                      // absent
//   Text empty = "";                // present-empty
//   name.PlatformPointer();         // nullptr
//   empty.PlatformPointer();        // ""
//
// Values own their storage and copy deeply. Storage grows geometrically, so
// appending to a value that is being replaced anyway (an rvalue, as in
// `body = ConcatBytes(std::move(body), piece)`) is amortised constant time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An owning byte buffer, null when absent, always followed by one zero byte
// when present. Running out of memory is a fatal error.
class ByteStorage {
   public:
    ByteStorage() = default;
    explicit ByteStorage(std::string_view bytes) { Assign(bytes); }
    ByteStorage(const ByteStorage& other) {
        if (other.Present()) Assign(other.View());
    }
    ByteStorage(ByteStorage&& other) noexcept { Swap(other); }
    ByteStorage& operator=(ByteStorage other) noexcept {
        Swap(other);
        return *this;
    }
    ~ByteStorage();

    bool Present() const { return data_ != nullptr; }
    int32_t Size() const { return size_; }
    const char* Data() const { return data_; }
    char* MutableData() { return data_; }
    std::string_view View() const { return {data_ != nullptr ? data_ : "", size_t(size_)}; }

    // Makes the storage present, even for zero bytes.
    void Assign(std::string_view bytes);
    void Append(std::string_view bytes);
    // Grows (zero-filled) or shrinks to `size` bytes; makes the storage present.
    // Fresh storage is zeroed by the allocator, so pages a large value never
    // writes are never touched.
    void Resize(int64_t size);
    // Gives back the capacity beyond the size.
    void ShrinkToFit();
    // Makes room for `size` bytes in all, growing geometrically.
    void Reserve(int64_t size);

   private:
    void Swap(ByteStorage& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    char* data_ = nullptr;
    int32_t size_ = 0;
    int32_t capacity_ = 0;  // bytes usable before the terminator
};

class Text {
   public:
    Text() = default;
    // Present, also when empty; the bytes are taken up to the first zero byte.
    Text(std::string_view bytes);
    Text(const char* bytes) : Text(std::string_view(bytes)) {}
    Text(const std::string& bytes) : Text(std::string_view(bytes)) {}

    bool IsAbsent() const { return !storage_.Present(); }
    int32_t Length() const { return storage_.Size(); }
    std::string_view View() const { return storage_.View(); }
    // Never null: "" when absent. Zero-terminated.
    const char* CStr() const { return IsAbsent() ? "" : storage_.Data(); }
    // What a platform function receives: null when absent.
    const char* PlatformPointer() const { return storage_.Data(); }

    // Builds a text from bytes known to hold no zero byte; empty gives absent.
    static Text FromBytesUnchecked(std::string_view bytes);
    static Text FromStorage(ByteStorage storage) {
        Text text;
        text.storage_ = std::move(storage);
        return text;
    }
    ByteStorage& Storage() { return storage_; }

   private:
    ByteStorage storage_;
};

class Bytes {
   public:
    Bytes() = default;
    // Present, also when empty.
    explicit Bytes(std::string_view bytes) : storage_(bytes) {}

    bool IsAbsent() const { return !storage_.Present(); }
    int32_t Length() const { return storage_.Size(); }
    std::string_view View() const { return storage_.View(); }
    const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(View().data()); }
    // What a platform function receives: null when absent.
    const void* PlatformPointer() const { return storage_.Data(); }
    void* MutablePlatformPointer() { return storage_.MutableData(); }

    // Empty bytes give the absent value.
    static Bytes FromView(std::string_view bytes);
    static Bytes FromStorage(ByteStorage storage) {
        Bytes value;
        value.storage_ = std::move(storage);
        return value;
    }
    ByteStorage& Storage() { return storage_; }

   private:
    ByteStorage storage_;
};

// Equal when the lengths and the bytes are; absent equals present-empty.
inline bool operator==(const Bytes& a, const Bytes& b) { return a.View() == b.View(); }

// An ordered list of texts indexed from 1 to Count(), owning its elements.
// An index below 1 is fatal error 4, one above the count fatal error 1.
class TextArray {
   public:
    int32_t Count() const { return int32_t(elements_.size()); }
    const Text& operator[](int32_t index) const;
    // Stores a copy of the text at the end.
    void Append(Text text) { elements_.push_back(std::move(text)); }

   private:
    std::vector<Text> elements_;
};
