#include "record_injector.h"

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace kolvex::samplecard {

namespace {

using fixtures::Bytes;

// The records in the order the camera writes them: the text date and the
// information records before the blocks, so that the GPS rate is known
// when the start time is taken from the GPS samples.
struct Record {
    const char* type;
    Bytes data;
};

std::vector<Record> Ordered(const CameraRecords& records) {
    std::vector<Record> ordered;
    if (records.textDate) {
        // A terminated string, as the camera writes it; it also keeps the
        // record's size even for RIFF.
        Bytes text = fixtures::TextDate(*records.textDate);
        text.push_back(0);
        if (text.size() % 2)
            text.push_back(0);
        ordered.push_back({"IDIT", text});
    }
    if (records.gpsInfo)
        ordered.push_back({"gpsa", *records.gpsInfo});
    if (records.gsensorInfo)
        ordered.push_back({"gsea", *records.gsensorInfo});
    if (records.gpsBlock)
        ordered.push_back({"gps0", *records.gpsBlock});
    if (records.gsensorBlock)
        ordered.push_back({"gsen", *records.gsensorBlock});
    return ordered;
}

class BinaryFile {
public:
    explicit BinaryFile(const std::string& path)
        : m_path(path), m_stream(path, std::ios::binary | std::ios::in | std::ios::out) {
        if (!m_stream)
            throw std::runtime_error("cannot open " + path + " for writing");
        m_stream.seekg(0, std::ios::end);
        m_length = static_cast<uint64_t>(m_stream.tellg());
    }

    uint64_t Length() const { return m_length; }

    // n bytes at position; throws when the file is shorter.
    Bytes Read(uint64_t position, size_t n) {
        Bytes bytes(n);
        m_stream.seekg(static_cast<std::streamoff>(position));
        m_stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
        if (!m_stream)
            throw std::runtime_error(m_path + " ends inside a header at byte " +
                                     std::to_string(position));
        return bytes;
    }

    void Write(uint64_t position, const Bytes& bytes) {
        m_stream.seekp(static_cast<std::streamoff>(position));
        m_stream.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        if (!m_stream)
            throw std::runtime_error("cannot write " + m_path);
        if (position + bytes.size() > m_length)
            m_length = position + bytes.size();
    }

    void Append(const Bytes& bytes) { Write(m_length, bytes); }

    void Flush() {
        m_stream.flush();
        if (!m_stream)
            throw std::runtime_error("cannot write " + m_path);
    }

private:
    std::string m_path;
    std::fstream m_stream;
    uint64_t m_length = 0;
};

uint32_t BE32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
           uint32_t(b[at + 3]);
}

uint32_t LE32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

Bytes SizeBE32(uint32_t v) {
    Bytes b;
    fixtures::PutBE32(b, v);
    return b;
}

Bytes SizeLE32(uint32_t v) {
    Bytes b;
    fixtures::PutLE32(b, v);
    return b;
}

struct TopBox {
    uint64_t position = 0;
    uint64_t size = 0;
    uint32_t headerSize = 8;
    std::string type;
};

// The top-level boxes, which must tile the file exactly.
std::vector<TopBox> TopLevelBoxes(BinaryFile& file, const std::string& path) {
    std::vector<TopBox> boxes;
    uint64_t position = 0;
    while (position < file.Length()) {
        const Bytes header = file.Read(position, 8);
        TopBox box;
        box.position = position;
        box.type.assign(reinterpret_cast<const char*>(&header[4]), 4);
        box.size = BE32(header, 0);
        if (box.size == 1) {
            const Bytes large = file.Read(position + 8, 8);
            box.size = uint64_t(BE32(large, 0)) << 32 | BE32(large, 4);
            box.headerSize = 16;
        } else if (box.size == 0) {
            box.size = file.Length() - position;
        }
        if (box.size < box.headerSize || box.size > file.Length() - position)
            throw std::runtime_error(path + ": the box \"" + box.type + "\" at byte " +
                                     std::to_string(position) + " has an impossible size");
        boxes.push_back(box);
        position += box.size;
    }
    if (boxes.empty() || boxes.front().type != "ftyp")
        throw std::runtime_error(path + " does not begin with an \"ftyp\" box");
    return boxes;
}

} // namespace

void AddRecordsToIsoFile(const std::string& path, const CameraRecords& records, bool insideMovie) {
    BinaryFile file(path);
    const std::vector<TopBox> boxes = TopLevelBoxes(file, path);
    Bytes appended;
    for (const Record& record : Ordered(records))
        fixtures::Append(appended, fixtures::IsoBox(record.type).Add(record.data).Serialize());

    if (insideMovie) {
        const TopBox& last = boxes.back();
        if (last.type != "moov" || last.headerSize != 8)
            throw std::invalid_argument(path + ": \"moov\" is not the last box with a 32-bit "
                                               "size, so records cannot be added to it");
        const uint64_t grown = last.size + appended.size();
        if (grown > UINT32_MAX)
            throw std::invalid_argument(path + ": \"moov\" would outgrow a 32-bit size");
        file.Write(last.position, SizeBE32(static_cast<uint32_t>(grown)));
    }
    file.Append(appended);
    file.Flush();
}

void AddRecordsToAviFile(const std::string& path, const CameraRecords& records) {
    BinaryFile file(path);
    const Bytes header = file.Read(0, 12);
    if (std::memcmp(header.data(), "RIFF", 4) != 0 || std::memcmp(&header[8], "AVI ", 4) != 0)
        throw std::runtime_error(path + " is not a RIFF AVI file");
    const uint64_t riffEnd = 8 + uint64_t(LE32(header, 4));
    if (riffEnd != file.Length())
        throw std::runtime_error(path + ": the RIFF list does not end where the file ends "
                                        "(a second RIFF list or a cut file)");
    Bytes appended;
    for (const Record& record : Ordered(records)) {
        if (record.data.size() % 2)
            throw std::invalid_argument(std::string("the \"") + record.type +
                                        "\" record has an odd size; the reader would lose "
                                        "its step at the pad byte");
        fixtures::Append(appended, fixtures::RiffChunk(record.type, record.data).Serialize());
    }
    const uint64_t grown = riffEnd - 8 + appended.size();
    if (grown > UINT32_MAX)
        throw std::invalid_argument(path + ": the RIFF list would outgrow a 32-bit size");
    file.Append(appended);
    file.Write(4, SizeLE32(static_cast<uint32_t>(grown)));
    file.Flush();
}

} // namespace kolvex::samplecard
