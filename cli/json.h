// A small streaming JSON writer for kolvex-cli's output. Keys and commas are
// managed for the caller; strings are escaped (invalid UTF-8 becomes
// U+FFFD so that the output always parses; file names keep their bytes, see
// Path); numbers are printed in the C locale whatever the user's locale is;
// non-finite doubles become null.
//
//     JsonWriter json;
//     json.BeginObject();
//     json.Key("width").Int(1920);
//     json.Key("files").BeginArray().String("a.MP4").EndArray();
//     json.EndObject();
//     std::fputs(json.Text().c_str(), stdout);
#pragma once

#include "library/utf8_sequence.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvex::cli {

class JsonWriter {
public:
    // indent 0 writes everything on one line; otherwise nested values go on
    // their own lines, indented by that many spaces per level.
    explicit JsonWriter(int indent = 0) : m_indent(indent) {}

    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }

    // The name of the next member of the enclosing object.
    JsonWriter& Key(std::string_view name) {
        Separate();
        AppendString(name);
        m_out += m_indent ? ": " : ":";
        m_afterKey = true;
        return *this;
    }

    JsonWriter& String(std::string_view value) {
        Separate();
        AppendString(value);
        return *this;
    }
    // A file name or path as the file system's bytes. A byte that is not
    // part of valid UTF-8 is written as the escape \udcXX (XX its value in
    // lower-case hex), the convention of Python's "surrogateescape": the
    // output stays valid UTF-8 and the exact bytes can be recovered
    // (os.fsencode(json.loads(text)) in Python).
    JsonWriter& Path(std::string_view bytes) {
        Separate();
        AppendString(bytes, InvalidBytes::kEscape);
        return *this;
    }
    JsonWriter& Int(int64_t value) { return Number(value); }
    JsonWriter& UInt(uint64_t value) { return Number(value); }
    JsonWriter& Double(double value) {
        if (!std::isfinite(value))
            return Null();
        Separate();
        char buffer[64];
        // Shortest text that reads back as the same double, locale-free.
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, result.ptr);
        return *this;
    }
    JsonWriter& Bool(bool value) {
        Separate();
        m_out += value ? "true" : "false";
        return *this;
    }
    JsonWriter& Null() {
        Separate();
        m_out += "null";
        return *this;
    }

    // The text written so far, ending with a newline once the outermost
    // value is complete.
    std::string Text() const { return m_out + (m_depth.empty() && !m_out.empty() ? "\n" : ""); }

    static std::string Escape(std::string_view text) {
        JsonWriter w;
        w.AppendString(text);
        return w.m_out;
    }

private:
    enum class InvalidBytes { kReplace, kEscape };

    template <typename T> JsonWriter& Number(T value) {
        Separate();
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        m_out.append(buffer, result.ptr);
        return *this;
    }

    JsonWriter& Open(char bracket) {
        Separate();
        m_out += bracket;
        m_depth.push_back(true);
        return *this;
    }

    JsonWriter& Close(char bracket) {
        const bool empty = m_depth.empty() || m_depth.back();
        if (!m_depth.empty())
            m_depth.pop_back();
        if (!empty)
            NewLine();
        m_out += bracket;
        return *this;
    }

    // Writes the comma and line break that go before a value or key.
    void Separate() {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (m_depth.empty())
            return;
        if (!m_depth.back())
            m_out += ',';
        m_depth.back() = false;
        NewLine();
    }

    void NewLine() {
        if (!m_indent)
            return;
        m_out += '\n';
        m_out.append(m_depth.size() * static_cast<size_t>(m_indent), ' ');
    }

    void AppendString(std::string_view s, InvalidBytes invalid = InvalidBytes::kReplace) {
        static const char* const kHex = "0123456789abcdef";
        m_out += '"';
        for (size_t i = 0; i < s.size();) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c < 0x80) {
                switch (c) {
                case '"':
                    m_out += "\\\"";
                    break;
                case '\\':
                    m_out += "\\\\";
                    break;
                case '\b':
                    m_out += "\\b";
                    break;
                case '\f':
                    m_out += "\\f";
                    break;
                case '\n':
                    m_out += "\\n";
                    break;
                case '\r':
                    m_out += "\\r";
                    break;
                case '\t':
                    m_out += "\\t";
                    break;
                default:
                    if (c < 0x20) {
                        m_out += "\\u00";
                        m_out += kHex[c >> 4];
                        m_out += kHex[c & 15];
                    } else {
                        m_out += static_cast<char>(c);
                    }
                }
                ++i;
                continue;
            }
            const size_t length = Utf8SequenceLength(s, i);
            if (length == 0 && invalid == InvalidBytes::kEscape) {
                m_out += "\\udc";
                m_out += kHex[c >> 4];
                m_out += kHex[c & 15];
                ++i;
            } else if (length == 0) {
                m_out += "\xEF\xBF\xBD"; // U+FFFD for a byte that is not UTF-8
                ++i;
            } else {
                m_out.append(s.substr(i, length));
                i += length;
            }
        }
        m_out += '"';
    }

    // Length of the well-formed UTF-8 sequence at i, or 0.
    static size_t Utf8SequenceLength(std::string_view s, size_t i) {
        char32_t cp = 0;
        return Utf8SequenceAt(s, i, cp);
    }

    std::string m_out;
    std::vector<bool> m_depth; // per open container: still empty?
    bool m_afterKey = false;
    int m_indent;
};

} // namespace kolvex::cli
