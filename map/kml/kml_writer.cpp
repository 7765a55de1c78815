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
