#include "recording_name.h"

#include "file_system.h"

namespace kolvex {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsPrefixChar(QChar c) {
    return IsAsciiDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' ||
           c == u'-';
}

} // namespace

bool IsRecordingFileName(const QString& name, bool& event) {
    event = false;
    for (qsizetype i = 0; i < name.size() && i < 4; ++i) {
        if (!IsPrefixChar(name[i]))
            return false;
    }
    if (name.size() < 8)
        return false;
    for (qsizetype i = 4; i < 8; ++i) {
        if (!IsAsciiDigit(name[i]))
            return false;
    }
    if (name.endsWith(QStringLiteral(".AVI"), Qt::CaseSensitive) && name.size() != 12)
        return false;
    event = name[3] == u'G';
    return true;
}

bool IsRecordingName(const QString& folder, const QString& name, bool& event, bool& locked) {
    locked = false;
    if (!IsRecordingFileName(name, event))
        return false;
    locked = IsOwnerReadOnly(folder + u'/' + name);
    return true;
}

} // namespace kolvex
