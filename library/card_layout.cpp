#include "card_layout.h"

#include "tracks/track_math.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>
#include <utility>

namespace kolvex {

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool IsUpperLetter(QChar c) {
    return c >= u'A' && c <= u'Z';
}

// The value of `count` digits at `at`, or -1 when one of them is no digit.
int Digits(QStringView text, qsizetype at, qsizetype count) {
    int value = 0;
    for (qsizetype i = at; i < at + count; ++i) {
        if (!IsDigit(text[i]))
            return -1;
        value = value * 10 + (text[i].unicode() - u'0');
    }
    return value;
}

// The extension of the name when it is one of `extensions` (any case);
// the part before the dot goes to `stem`.
bool HasExtension(QStringView name, std::initializer_list<const char16_t*> extensions,
                  QStringView& stem) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0)
        return false;
    const QStringView extension = name.mid(dot + 1);
    for (const char16_t* wanted : extensions) {
        if (extension.compare(QStringView(wanted), Qt::CaseInsensitive) == 0) {
            stem = name.left(dot);
            return true;
        }
    }
    return false;
}

bool IsCameraLetter(QChar c) {
    return c == u'F' || c == u'R';
}

// Date and time fields at the given offsets of `stem`: "YYYY" at year,
// "MMDD" at monthDay, "HHMMSS" at clock. False when a field is no number
// or no existing date or time.
bool ReadDateTime(QStringView stem, qsizetype year, qsizetype monthDay, qsizetype clock,
                  LayoutName& out) {
    out.year = Digits(stem, year, 4);
    out.month = Digits(stem, monthDay, 2);
    out.day = Digits(stem, monthDay + 2, 2);
    out.hour = Digits(stem, clock, 2);
    out.minute = Digits(stem, clock + 2, 2);
    out.second = Digits(stem, clock + 4, 2);
    return out.year >= 1970 &&
           IsValidDateTime(out.month, out.day, out.hour, out.minute, out.second) &&
           IsExistingDate(out.year, out.month, out.day);
}

// YYYY_MMDD_HHMMSS_NNNF: a running number of three to six digits.
bool ParseUnderscoredDate(QStringView stem, LayoutName& out) {
    const qsizetype n = stem.size();
    if (n < 21 || n > 24 || stem[4] != u'_' || stem[9] != u'_' || stem[16] != u'_')
        return false;
    if (Digits(stem, 17, n - 18) < 0 || !IsCameraLetter(stem[n - 1]))
        return false;
    if (!ReadDateTime(stem, 0, 5, 10, out))
        return false;
    out.rear = stem[n - 1] == u'R';
    return true;
}

// YYYYMMDD_HHMMSS_XY: X the recording's kind, Y the camera.
bool ParseCompactDate(QStringView stem, LayoutName& out) {
    if (stem.size() != 18 || stem[8] != u'_' || stem[15] != u'_')
        return false;
    if (!IsUpperLetter(stem[16]) || !IsCameraLetter(stem[17]))
        return false;
    if (!ReadDateTime(stem, 0, 4, 9, out))
        return false;
    out.rear = stem[17] == u'R';
    out.event = stem[16] == u'E' || stem[16] == u'M';
    return true;
}

// GHzzxxxx and GXzzxxxx (chapter zz from 01), GOPRxxxx (first chapter) and
// GPzzxxxx (chapter zz + 1).
bool ParseChapter(QStringView stem, LayoutName& out) {
    if (stem.size() != 8 || stem[0] != u'G')
        return false;
    const int number = Digits(stem, 4, 4);
    if (number < 0)
        return false;
    const QString numberText = stem.mid(4).toString();
    if (stem.left(4) == u"GOPR") {
        out.chapter = 1;
        out.series = QStringLiteral("GP") + numberText;
        return true;
    }
    const int chapter = Digits(stem, 2, 2);
    if (chapter < 1)
        return false;
    if (stem[1] == u'H' || stem[1] == u'X') {
        out.chapter = chapter;
    } else if (stem[1] == u'P') {
        out.chapter = chapter + 1;
    } else {
        return false;
    }
    out.series = stem.left(2).toString() + numberText;
    return true;
}

} // namespace

LayoutName ParseLayoutName(QStringView name) {
    LayoutName out;
    QStringView stem;
    if (HasExtension(name, {u"MP4", u"MOV"}, stem) &&
        (ParseUnderscoredDate(stem, out) || ParseCompactDate(stem, out))) {
        out.layout = CardLayout::DateStamped;
        return out;
    }
    if (HasExtension(name, {u"MP4"}, stem) && ParseChapter(stem, out)) {
        out.layout = CardLayout::Chaptered;
        return out;
    }
    return LayoutName{};
}

bool IsInEventFolder(QStringView openedFolder, QStringView relativePath) {
    const auto isEventName = [](QStringView folder) {
        for (const char16_t* name : {u"RO", u"EVENT", u"Protected"}) {
            if (folder.compare(QStringView(name), Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    qsizetype begin = 0;
    while (begin < relativePath.size()) {
        qsizetype end = relativePath.indexOf(u'/', begin);
        if (end < 0)
            end = relativePath.size();
        if (isEventName(relativePath.mid(begin, end - begin)))
            return true;
        begin = end + 1;
    }
    QStringView opened = openedFolder;
    while (opened.endsWith(u'/'))
        opened.chop(1);
    return isEventName(opened.mid(opened.lastIndexOf(u'/') + 1));
}

bool CarriesCameraRecords(const VideoMetaInfo& meta) {
    // Other cameras' telemetry fills the rates and the start time too; such
    // a file is recognised, but not as the camera's own.
    if (meta.telemetry != TelemetryFormat::Camera)
        return false;
    const std::array<uint8_t, 4> none{};
    return meta.gpsSize != 0 || meta.gsensorSize != 0 || meta.startTime != 0 ||
           meta.gpsInfo != none || meta.gsensorInfo != none;
}

void ApplyLayout(RecordingEntry& entry, const LayoutName& layout, bool inEventFolder) {
    if (layout.layout == CardLayout::None)
        return;
    if (layout.event || inEventFolder)
        entry.flags |= kRecordingEvent;
    entry.chapter = layout.chapter;
    int64_t start = 0;
    if (layout.layout == CardLayout::DateStamped && entry.meta.startTime == 0 &&
        LocalTimeToEpoch(layout.year, layout.month, layout.day, layout.hour, layout.minute,
                         layout.second, start))
        entry.meta.startTime = start;
    entry.meta.cameraStartTime =
        LayoutCameraStart(layout, entry.meta, entry.file.exists ? entry.file.modifiedSec : 0);
}

int64_t LayoutCameraStart(const LayoutName& layout, const VideoMetaInfo& meta,
                          int64_t modifiedSec) {
    if (meta.cameraStartTime != 0)
        return meta.cameraStartTime;
    int64_t start = 0;
    if (layout.layout == CardLayout::DateStamped &&
        LocalTimeToEpoch(layout.year, layout.month, layout.day, layout.hour, layout.minute,
                         layout.second, start))
        return start;
    if (layout.layout == CardLayout::Chaptered && modifiedSec > 0)
        return std::max<int64_t>(0, modifiedSec - (int64_t{meta.durationMs} + 500) / 1000);
    return 0;
}

void ChainChapters(std::vector<RecordingEntry>& entries) {
    // Chapters of one recording: same folder, same series.
    std::map<std::pair<QString, QString>, std::vector<size_t>> recordings;
    for (size_t i = 0; i < entries.size(); ++i) {
        const RecordingEntry& entry = entries[i];
        if (entry.chapter > 0)
            recordings[{entry.root + u'/' + entry.subdir, ParseLayoutName(entry.name).series}]
                .push_back(i);
    }
    for (auto& [key, chapters] : recordings) {
        std::sort(chapters.begin(), chapters.end(), [&entries](size_t a, size_t b) {
            return entries[a].chapter < entries[b].chapter;
        });
        RecordingEntry& first = entries[chapters.front()];
        int64_t start = first.meta.startTime;
        if (start == 0 && first.file.exists) {
            // The camera writes the file until the chapter ends.
            start = std::max<int64_t>(0, first.file.modifiedSec -
                                             (int64_t{first.meta.durationMs} + 500) / 1000);
            first.meta.startTime = start;
        }
        if (start == 0)
            continue;
        int64_t elapsedMs = 0;
        for (size_t k = 1; k < chapters.size(); ++k) {
            elapsedMs += entries[chapters[k - 1]].meta.durationMs;
            entries[chapters[k]].meta.startTime = start + elapsedMs / 1000;
        }
    }
}

} // namespace kolvex
