#include "app/qt_text.h"

#include <cstring>

#include "text/codepage.h"

QString ToQString(const Text& text) {
    const Bytes wide = Utf8ToWide(text, 936);
    const auto* units = reinterpret_cast<const char16_t*>(wide.PlatformPointer());
    const qsizetype count = wide.Length() / 2;
    qsizetype length = 0;
    while (length < count && units[length] != 0) ++length;
    return QString(reinterpret_cast<const QChar*>(units), length);
}

Text FromQString(const QString& string) {
    ByteStorage storage;
    const auto size = int64_t(string.size()) * 2;
    storage.Resize(size + 2);
    if (size > 0) std::memcpy(storage.MutableData(), string.utf16(), size_t(size));
    return WideToAnsi(Bytes::FromStorage(std::move(storage)));
}
