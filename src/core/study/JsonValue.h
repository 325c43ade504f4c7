#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// A JSON document read into values: enough of JSON for the data files the
// studies read (the reference library's published figures). Numbers are
// doubles; an object keeps its keys sorted and refuses a key twice.
class JsonValue {
public:
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind GetKind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::Null; }
    bool IsNumber() const { return m_kind == Kind::Number; }
    bool IsString() const { return m_kind == Kind::String; }
    bool IsArray() const { return m_kind == Kind::Array; }
    bool IsObject() const { return m_kind == Kind::Object; }

    double Number() const { return m_number; }
    bool Boolean() const { return m_boolean; }
    const std::string& String() const { return m_string; }
    const std::vector<JsonValue>& Items() const { return m_items; }
    const std::map<std::string, JsonValue>& Members() const { return m_members; }
    // A member of an object; nullptr when there is none (or this is no object).
    const JsonValue* Member(const std::string& key) const;

    // Reads a whole document: false, with the line and what was wrong, when
    // the text is not JSON.
    static bool Parse(std::string_view text, JsonValue& value, std::string& error);

private:
    friend class JsonReader;
    Kind m_kind = Kind::Null;
    bool m_boolean = false;
    double m_number = 0.0;
    std::string m_string;
    std::vector<JsonValue> m_items;
    std::map<std::string, JsonValue> m_members;
};
