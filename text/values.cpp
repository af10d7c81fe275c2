#include "text/values.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/fatal.h"

namespace {

// Blocks of a megabyte and more are mapped from the system directly: they
// grow by remapping instead of copying, a fresh one is zero without being
// written, and huge pages cut the cost of first touching a page or body of
// many megabytes, written once front to back, by a factor of hundreds.
constexpr size_t kMappedFrom = size_t(1) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

size_t MappedSize(size_t bytes) { return (bytes + 4095) & ~size_t(4095); }

// The whole mapping, so that it stays one region that remapping can move.
void AdviseHugePages(char* data, size_t size) {
    if (size >= kHugePage) madvise(data, size, MADV_HUGEPAGE);
}

// A block of `bytes` (at least as many as asked for: the capacity tells)
// holding the old block's first `keep` bytes; null when memory ran out.
char* Reallocate(char* old, size_t oldBytes, size_t bytes, size_t keep) {
    if (bytes < kMappedFrom) {
        if (old == nullptr || oldBytes < kMappedFrom) return static_cast<char*>(std::realloc(old, bytes));
        char* block = static_cast<char*>(std::malloc(bytes));
        if (block != nullptr) std::memcpy(block, old, keep);
        if (block != nullptr) munmap(old, oldBytes);
        return block;
    }
    void* block = MAP_FAILED;
    if (old != nullptr && oldBytes >= kMappedFrom) {
        block = mremap(old, oldBytes, bytes, MREMAP_MAYMOVE);
    } else {
        block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block != MAP_FAILED && keep > 0) std::memcpy(block, old, keep);
        if (block != MAP_FAILED) std::free(old);
    }
    if (block == MAP_FAILED) return nullptr;
    AdviseHugePages(static_cast<char*>(block), bytes);
    return static_cast<char*>(block);
}

size_t BlockSize(size_t bytes) { return bytes < kMappedFrom ? bytes : MappedSize(bytes); }

}  // namespace

ByteStorage::~ByteStorage() {
    if (data_ == nullptr) return;
    const size_t bytes = size_t(capacity_) + 1;
    if (bytes >= kMappedFrom) munmap(data_, bytes);
    else std::free(data_);
}

void ByteStorage::Reserve(int64_t size) {
    if (size > INT32_MAX - 1) FatalOutOfMemory(size + 1);
    if (data_ != nullptr && size <= capacity_) return;
    int64_t capacity = data_ != nullptr ? capacity_ : 0;
    if (capacity < size) capacity = capacity < size / 2 ? size : capacity * 2;
    if (capacity < 15) capacity = 15;
    if (capacity > INT32_MAX - 4096) capacity = INT32_MAX - 4096;
    if (capacity < size) capacity = size;
    const size_t oldBytes = data_ != nullptr ? size_t(capacity_) + 1 : 0;
    const size_t bytes = BlockSize(size_t(capacity) + 1);
    char* grown = Reallocate(data_, oldBytes, bytes, data_ != nullptr ? size_t(size_) + 1 : 0);
    if (grown == nullptr) FatalOutOfMemory(capacity + 1);
    if (data_ == nullptr) grown[0] = 0;
    data_ = grown;
    capacity_ = int32_t(bytes - 1);
}

void ByteStorage::Assign(std::string_view bytes) {
    size_ = 0;
    Append(bytes);
}

void ByteStorage::Append(std::string_view bytes) {
    Reserve(int64_t(size_) + int64_t(bytes.size()));
    if (!bytes.empty()) std::memcpy(data_ + size_, bytes.data(), bytes.size());
    size_ += int32_t(bytes.size());
    data_[size_] = 0;
}

void ByteStorage::Resize(int64_t size) {
    // A fresh mapped block is zero already.
    const bool freshlyZero = data_ == nullptr && size_t(size) + 1 >= kMappedFrom;
    Reserve(size);
    if (size > size_ && !freshlyZero) std::memset(data_ + size_, 0, size_t(size - size_));
    size_ = int32_t(size);
    data_[size_] = 0;
}

void ByteStorage::ShrinkToFit() {
    if (data_ == nullptr) return;
    const size_t bytes = BlockSize(size_t(size_) + 1);
    if (bytes >= size_t(capacity_) + 1) return;
    if (char* shrunk = Reallocate(data_, size_t(capacity_) + 1, bytes, size_t(size_) + 1)) {
        data_ = shrunk;
        capacity_ = int32_t(bytes - 1);
    }
}

Text::Text(std::string_view bytes) {
    const void* zero = bytes.empty() ? nullptr : std::memchr(bytes.data(), 0, bytes.size());
    if (zero != nullptr) bytes = bytes.substr(0, size_t(static_cast<const char*>(zero) - bytes.data()));
    storage_.Assign(bytes);
}

Text Text::FromBytesUnchecked(std::string_view bytes) {
    Text text;
    if (!bytes.empty()) text.storage_.Assign(bytes);
    return text;
}

Bytes Bytes::FromView(std::string_view bytes) {
    Bytes value;
    if (!bytes.empty()) value.storage_.Assign(bytes);
    return value;
}

const Text& TextArray::operator[](int32_t index) const {
    if (index < 1) FatalError(4, "数组成员引用下标必须大于等于1");
    if (index > Count()) FatalError(1, "数组成员引用下标超出定义范围");
    return elements_[size_t(index - 1)];
}
