#include "native_path.h"

#include "utf8_sequence.h"

#include <cstdint>

namespace kolvex {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kReplacement = 0xFFFD;

bool IsEscapedByte(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

void AppendUtf8(QByteArray& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

QString PathFromNative(QByteArrayView bytes) {
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t length =
            Utf8SequenceAt(std::string_view(bytes.data(), static_cast<size_t>(bytes.size())),
                           static_cast<size_t>(i), cp);
        if (length == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<uint8_t>(bytes[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(static_cast<char16_t>(cp));
        }
        i += static_cast<qsizetype>(length);
    }
    return out;
}

QByteArray NativePath(const QString& path) {
    if (!HasEscapedBytes(path))
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 3);
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n &&
            QChar::isLowSurrogate(path[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, path[i + 1].unicode()));
            ++i;
        } else if (IsEscapedByte(c)) {
            out += static_cast<char>(c - kEscapeBase);
        } else if (QChar::isSurrogate(c)) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

bool HasEscapedBytes(const QString& path) {
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path[i].unicode();
        if (!QChar::isSurrogate(c))
            continue;
        // A surrogate pair is an ordinary character above U+FFFF.
        if (QChar::isHighSurrogate(c) && i + 1 < n &&
            QChar::isLowSurrogate(path[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (IsEscapedByte(c))
            return true;
    }
    return false;
}

QString DisplayPath(const QString& path) {
    if (!HasEscapedBytes(path))
        return path;
    return QString::fromUtf8(NativePath(path)); // invalid bytes read as U+FFFD
}

} // namespace kolvex
