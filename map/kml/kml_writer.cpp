#include "kml_writer.h"

#include "fixed_point_text.h"

#include <string>

namespace kolvex {

namespace {

constexpr char kFooter[] = "\n"
                           "        </coordinates>\n"
                           "      </LineString>\n"
                           "    </Placemark>\n"
                           "  </Document>\n"
                           "</kml>\n";

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text with every character XML 1.0 does not allow (control characters
// other than tab and line breaks, U+FFFE, U+FFFF, lone surrogates such as
// the escaped bytes of a non-UTF-8 file name) replaced by U+FFFD.
QString ReplaceNonXmlChars(const QString& text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text[i];
            out += text[++i];
        } else if (QChar::isSurrogate(c) || !IsXmlChar(c)) {
            out += QChar(char16_t(0xFFFD));
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

// The layout of the file is byte for byte the camera maker's, but a name
// may hold anything after its eighth character: besides escaping markup,
// characters XML forbids become U+FFFD so that the document still parses.
std::string EscapeXmlText(const QString& text) {
    const QByteArray utf8 = ReplaceNonXmlChars(text).toUtf8();
    std::string out;
    out.reserve(static_cast<size_t>(utf8.size()));
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

CKmlWriter::~CKmlWriter() = default;

bool CKmlWriter::OpenKmlFile(const QString& path) {
    return m_file.Open(path);
}

bool CKmlWriter::Write(const std::string& piece) {
    return m_file.Write(piece);
}

bool CKmlWriter::WriteKmlHeader(const QString& documentName, const QString& documentDescription,
                                const QString& pathDescription) {
    if (!m_file.IsOpen())
        return false;
    const bool first = Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
                             "  <Document>\n"
                             "    <name>" +
                             EscapeXmlText(documentName) + "</name>\n");
    const bool second =
        Write("\t<description>" + EscapeXmlText(documentDescription) + "</description>\n");
    const bool third = Write("    <Style id=\"blueLine\">\n"
                             "      <LineStyle>\n"
                             "        <color>ffff0000</color>\n"
                             "        <width>4</width>\n"
                             "      </LineStyle>\n"
                             "    </Style>\n"
                             "    <Placemark>\n"
                             "      <name>CAR PATH</name>\n"
                             "      <description>GPS Path of Car DV " +
                             EscapeXmlText(pathDescription) +
                             "</description>\n"
                             "      <styleUrl>#blueLine</styleUrl>\n"
                             "      <LineString>\n"
                             "        <altitudeMode>relative</altitudeMode>\n"
                             "        <coordinates>\n");
    return first && second && third;
}

bool CKmlWriter::WriteKmlPoint(double latitude, double longitude, int altitude) {
    if (!m_file.IsOpen())
        return false;
    std::string line;
    AppendFixed6(line, longitude);
    line += ',';
    AppendFixed6(line, latitude);
    line += ',';
    line += std::to_string(altitude);
    line += '\n';
    return Write(line);
}

bool CKmlWriter::WriteKmlFooter() {
    if (!m_file.IsOpen())
        return false;
    Write(kFooter);
    return m_file.Commit();
}

} // namespace kolvex
