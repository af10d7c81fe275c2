#include "text/values.h"

#include <cstdlib>
#include <cstring>

#include "runtime/fatal.h"

ByteStorage::~ByteStorage() { std::free(data_); }

void ByteStorage::Reserve(int64_t size) {
    if (size > INT32_MAX) FatalOutOfMemory(size + 1);
    if (data_ != nullptr && size <= capacity_) return;
    int64_t capacity = data_ != nullptr ? capacity_ : 0;
    if (capacity < size) capacity = capacity < size / 2 ? size : capacity * 2;
    if (capacity < 15) capacity = 15;
    if (capacity > INT32_MAX - 1) capacity = INT32_MAX - 1;
    if (capacity < size) capacity = size;
    auto* grown = static_cast<char*>(std::realloc(data_, size_t(capacity) + 1));
    if (grown == nullptr) FatalOutOfMemory(capacity + 1);
    data_ = grown;
    capacity_ = int32_t(capacity);
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
    Reserve(size);
    if (size > size_) std::memset(data_ + size_, 0, size_t(size - size_));
    size_ = int32_t(size);
    data_[size_] = 0;
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
