#include "kml_writer.h"

#include "fixed_point_text.h"

#include <QFile>

#include <string>

namespace kolvex {

namespace {

constexpr char kFooter[] = "\n"
                           "        </coordinates>\n"
                           "      </LineString>\n"
                           "    </Placemark>\n"
                           "  </Document>\n"
                           "</kml>\n";

} // namespace

std::string EscapeXmlText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
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

CKmlWriter::~CKmlWriter() {
    if (m_file)
        std::fclose(m_file);
}

bool CKmlWriter::OpenKmlFile(const QString& path) {
    if (m_file)
        std::fclose(m_file);
    m_bFailed = false;
    m_file = std::fopen(QFile::encodeName(path).constData(), "wb");
    return m_file != nullptr;
}

bool CKmlWriter::Write(const std::string& piece) {
    if (std::fwrite(piece.data(), 1, piece.size(), m_file) != piece.size())
        m_bFailed = true;
    return !m_bFailed;
}

bool CKmlWriter::WriteKmlHeader(const QString& documentName, const QString& documentDescription,
                                const QString& pathDescription) {
    if (!m_file)
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
    if (!m_file)
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
    if (!m_file)
        return false;
    Write(kFooter);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && !m_bFailed;
}

} // namespace kolvex
