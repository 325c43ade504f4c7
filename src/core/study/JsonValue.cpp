#include "JsonValue.h"

#include <charconv>
#include <cmath>

// A recursive-descent reader of RFC 8259 JSON. Nesting is limited, so that
// a hostile file cannot exhaust the stack.
class JsonReader {
public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    bool ReadDocument(JsonValue& value, std::string& error)
    {
        bool read = ReadValue(value, 0);
        if (read) {
            SkipBlanks();
            read = AtEnd() || Fail("more after the end");
        }
        if (!read) error = "line " + std::to_string(m_line) + ": " + m_error;
        return read;
    }

private:
    static constexpr int kDeepest = 64;

    bool AtEnd() const { return m_at >= m_text.size(); }
    char Next() const { return AtEnd() ? '\0' : m_text[m_at]; }

    bool Fail(const std::string& why)
    {
        if (m_error.empty()) m_error = why;
        return false;
    }

    void SkipBlanks()
    {
        for (; !AtEnd(); ++m_at) {
            const char c = m_text[m_at];
            if (c == '\n') ++m_line;
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return;
        }
    }

    bool Expect(char c)
    {
        SkipBlanks();
        if (Next() != c) return Fail(std::string("'") + c + "' expected");
        ++m_at;
        return true;
    }

    bool ReadWord(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word) return Fail("not a JSON value");
        m_at += word.size();
        return true;
    }

    bool ReadValue(JsonValue& value, int depth)
    {
        if (depth > kDeepest) return Fail("nested too deep");
        SkipBlanks();
        value = JsonValue();
        switch (Next()) {
            case '{':
                return ReadObject(value, depth);
            case '[':
                return ReadArray(value, depth);
            case '"':
                value.m_kind = JsonValue::Kind::String;
                return ReadString(value.m_string);
            case 't':
                value.m_kind = JsonValue::Kind::Boolean;
                value.m_boolean = true;
                return ReadWord("true");
            case 'f':
                value.m_kind = JsonValue::Kind::Boolean;
                return ReadWord("false");
            case 'n':
                return ReadWord("null");
            default:
                value.m_kind = JsonValue::Kind::Number;
                return ReadNumber(value.m_number);
        }
    }

    bool ReadObject(JsonValue& value, int depth)
    {
        value.m_kind = JsonValue::Kind::Object;
        ++m_at;
        SkipBlanks();
        if (Next() == '}') return ++m_at, true;
        while (true) {
            std::string key;
            SkipBlanks();
            if (Next() != '"') return Fail("a member's name expected");
            if (!ReadString(key) || !Expect(':')) return false;
            JsonValue member;
            if (!ReadValue(member, depth + 1)) return false;
            if (!value.m_members.emplace(key, std::move(member)).second)
                return Fail("\"" + key + "\" given twice");
            SkipBlanks();
            if (Next() == '}') return ++m_at, true;
            if (!Expect(',')) return false;
        }
    }

    bool ReadArray(JsonValue& value, int depth)
    {
        value.m_kind = JsonValue::Kind::Array;
        ++m_at;
        SkipBlanks();
        if (Next() == ']') return ++m_at, true;
        while (true) {
            JsonValue item;
            if (!ReadValue(item, depth + 1)) return false;
            value.m_items.push_back(std::move(item));
            SkipBlanks();
            if (Next() == ']') return ++m_at, true;
            if (!Expect(',')) return false;
        }
    }

    // Four hex digits of a \u escape.
    bool ReadHex(unsigned& code)
    {
        if (m_at + 4 > m_text.size()) return Fail("a \\u escape cut short");
        const auto [end, problem] = std::from_chars(m_text.data() + m_at, m_text.data() + m_at + 4, code, 16);
        if (problem != std::errc() || end != m_text.data() + m_at + 4) return Fail("a bad \\u escape");
        m_at += 4;
        return true;
    }

    static void AppendUtf8(std::string& text, unsigned code)
    {
        if (code < 0x80) {
            text += char(code);
        } else if (code < 0x800) {
            text += char(0xC0 | (code >> 6));
            text += char(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += char(0xE0 | (code >> 12));
            text += char(0x80 | ((code >> 6) & 0x3F));
            text += char(0x80 | (code & 0x3F));
        } else {
            text += char(0xF0 | (code >> 18));
            text += char(0x80 | ((code >> 12) & 0x3F));
            text += char(0x80 | ((code >> 6) & 0x3F));
            text += char(0x80 | (code & 0x3F));
        }
    }

    bool ReadEscape(std::string& text)
    {
        const char c = Next();
        ++m_at;
        switch (c) {
            case '"':
            case '\\':
            case '/':
                text += c;
                return true;
            case 'b':
                text += '\b';
                return true;
            case 'f':
                text += '\f';
                return true;
            case 'n':
                text += '\n';
                return true;
            case 'r':
                text += '\r';
                return true;
            case 't':
                text += '\t';
                return true;
            case 'u': {
                unsigned code = 0;
                if (!ReadHex(code)) return false;
                // A surrogate pair makes one character beyond the first plane.
                if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_at, 2) == "\\u") {
                    m_at += 2;
                    unsigned low = 0;
                    if (!ReadHex(low) || low < 0xDC00 || low >= 0xE000) return Fail("a bad surrogate pair");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(text, code);
                return true;
            }
            default:
                return Fail("a bad escape");
        }
    }

    bool ReadString(std::string& text)
    {
        ++m_at;  // the opening quote
        while (true) {
            if (AtEnd()) return Fail("a text without its closing quote");
            const char c = m_text[m_at++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character in a text");
            if (c == '\\') {
                if (!ReadEscape(text)) return false;
            } else {
                text += c;
            }
        }
    }

    bool ReadNumber(double& number)
    {
        // JSON's own form: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
        const std::size_t start = m_at;
        const auto digits = [&] {
            const std::size_t first = m_at;
            while (Next() >= '0' && Next() <= '9') ++m_at;
            return m_at > first;
        };
        if (Next() == '-') ++m_at;
        if (Next() == '0') {
            ++m_at;
        } else if (!digits()) {
            return Fail("not a JSON value");
        }
        if (Next() == '.' && (++m_at, !digits())) return Fail("a number without digits after its point");
        if (Next() == 'e' || Next() == 'E') {
            ++m_at;
            if (Next() == '+' || Next() == '-') ++m_at;
            if (!digits()) return Fail("a number without its exponent");
        }
        const auto [end, problem] = std::from_chars(m_text.data() + start, m_text.data() + m_at, number);
        if (problem != std::errc() || end != m_text.data() + m_at || !std::isfinite(number))
            return Fail("a number out of range");
        return true;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    int m_line = 1;
    std::string m_error;
};

const JsonValue* JsonValue::Member(const std::string& key) const
{
    const auto found = m_members.find(key);
    return found == m_members.end() ? nullptr : &found->second;
}

bool JsonValue::Parse(std::string_view text, JsonValue& value, std::string& error)
{
    return JsonReader(text).ReadDocument(value, error);
}
