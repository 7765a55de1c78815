// Writes one track as a KML 2.2 file that mapping programs show as a blue
// line: UTF-8 without a byte-order mark, lines ended by a line feed.
#pragma once

#include <QString>
#include <cstdio>
#include <string>

namespace kolvex {

class CKmlWriter {
public:
    CKmlWriter() = default;
    ~CKmlWriter();
    CKmlWriter(const CKmlWriter&) = delete;
    CKmlWriter& operator=(const CKmlWriter&) = delete;

    // Creates the file, or empties an existing one.
    bool OpenKmlFile(const QString& path);
    // Everything up to the opening of the coordinate list. The three texts
    // are written as UTF-8 with '&', '<' and '>' escaped.
    bool WriteKmlHeader(const QString& documentName, const QString& documentDescription,
                        const QString& pathDescription);
    // One point line, "longitude,latitude,altitude", degrees with six decimals.
    bool WriteKmlPoint(double latitude, double longitude, int altitude);
    // Closes the coordinate list and the document, then the file. False when
    // anything written since opening did not reach the file.
    bool WriteKmlFooter();

private:
    bool Write(const std::string& piece);

    std::FILE* m_file = nullptr;
    bool m_bFailed = false;
};

// The text with the characters that would end an XML text node escaped;
// quotes are left as written since the texts never stand in attributes.
std::string EscapeXmlText(const QString& text);

} // namespace kolvex
