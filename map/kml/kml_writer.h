// Writes one track as a KML 2.2 file that mapping programs show as a blue
// line: UTF-8 without a byte-order mark, lines ended by a line feed.
#pragma once

#include "replacing_file.h"

#include <QString>
#include <string>

namespace kolvex {

class CKmlWriter {
public:
    CKmlWriter() = default;
    ~CKmlWriter();
    CKmlWriter(const CKmlWriter&) = delete;
    CKmlWriter& operator=(const CKmlWriter&) = delete;

    // Starts the file. It is written beside `path` and takes its place only
    // when the footer is written, so an existing file stays until then and
    // a failure leaves it as it was; a link at `path` is replaced, not
    // followed.
    bool OpenKmlFile(const QString& path);
    // Everything up to the opening of the coordinate list. The three texts
    // are written as UTF-8 by EscapeXmlText.
    bool WriteKmlHeader(const QString& documentName, const QString& documentDescription,
                        const QString& pathDescription);
    // One point line, "longitude,latitude,altitude", degrees with six decimals.
    bool WriteKmlPoint(double latitude, double longitude, int altitude);
    // Closes the coordinate list and the document, then the file, which
    // then replaces any file at the path. False when anything written since
    // opening did not reach the file (nothing is replaced then).
    bool WriteKmlFooter();

    // Drops the unfinished file; nothing at the path changes.
    void Abandon() { m_file.Abandon(); }

    // Why opening or writing failed, with the system's reason.
    const std::string& LastError() const { return m_file.Error(); }

private:
    bool Write(const std::string& piece);

    CReplacingFile m_file;
};

// The text with the characters that would end an XML text node escaped and
// those XML does not allow at all replaced by U+FFFD; quotes are left as
// written since the texts never stand in attributes.
std::string EscapeXmlText(const QString& text);

} // namespace kolvex
