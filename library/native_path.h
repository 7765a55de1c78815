// File names on Linux are bytes, and a card formatted elsewhere may carry
// names that are not UTF-8 (a folder named with byte 0xFF). Qt's own
// decoding turns such bytes into U+FFFD and cannot give them back, so the
// file could no longer be opened. The library keeps paths as QString and
// converts them here instead, losslessly: valid UTF-8 decodes as usual and
// every byte of an invalid sequence becomes the lone surrogate U+DC00 + byte
// (U+DC80..U+DCFF), which no valid UTF-8 can produce; NativePath turns the
// surrogates back into the bytes. Always go through these two functions
// between a QString path and a system call.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kolvex {

QString PathFromNative(QByteArrayView bytes);
QByteArray NativePath(const QString& path);

// Whether the path holds bytes that are not UTF-8 (escaped surrogates).
bool HasEscapedBytes(const QString& path);

// The path as a person reads it: every escaped byte shown as U+FFFD. For
// messages and documents that must be valid UTF-8 (XML, tooltips).
QString DisplayPath(const QString& path);

} // namespace kolvex
