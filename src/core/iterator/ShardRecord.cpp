#include "ShardRecord.h"

#include "base/Sha256.h"
#include "base/Util.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace {

constexpr std::string_view kFormatLine = "{\n  \"format\": \"torqwell iterator shard\",\n";
constexpr std::string_view kVersionKey = "  \"version\": ";
constexpr std::string_view kDigestKey = ",\n  \"sha256\": \"";
constexpr std::string_view kDigestEnd = "\"\n}\n";
constexpr std::size_t kDigestHexLength = 64;
constexpr std::size_t kMostSweeps = 8;       // the rows of the setup dialog
constexpr std::size_t kMostNameBytes = 255;  // a file name on Linux
constexpr std::size_t kMostInstructionSetBytes = 32;

// The seven curves of an entry, by their names in the record.
using CurveMember = SpeedCurve SimResults::*;
constexpr std::pair<std::string_view, CurveMember> kCurves[] = {
    {"power", &SimResults::power},
    {"torque", &SimResults::torque},
    {"manifold_pressure", &SimResults::manifoldPressure},
    {"volumetric_efficiency", &SimResults::volumetricEfficiency},
    {"imep", &SimResults::imep},
    {"bmep", &SimResults::bmep},
    {"fmep", &SimResults::fmep},
};

constexpr std::pair<std::int32_t, std::string_view> kCriteria[] = {{kMaxPower, "power"},
                                                                   {kMaxTorque, "torque"}};

// Floats that are no number go as strings: JSON has no literal for them.
constexpr std::string_view kNotANumber = "\"NaN\"";
constexpr std::string_view kInfinity = "\"Infinity\"";
constexpr std::string_view kMinusInfinity = "\"-Infinity\"";

// ---------------------------------------------------------------- base64 (RFC 4648)

constexpr std::string_view kBase64Digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string ToBase64(std::string_view bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto byte = i < count ? static_cast<unsigned char>(bytes[at + i]) : 0u;
            group = group << 8 | byte;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            text += i <= count ? kBase64Digits[(group >> (18 - 6 * i)) & 0x3f] : '=';
        }
    }
    return text;
}

// Any text that is not base64 gives false; a form that is not ToBase64's
// own (bits set under the padding) is caught by the record's rewrite.
bool FromBase64(std::string_view text, std::string& bytes)
{
    if (text.size() % 4 != 0) return false;
    bytes.clear();
    for (std::size_t at = 0; at < text.size(); at += 4) {
        const bool last = at + 4 == text.size();
        std::size_t padding = 0;
        if (last && text[at + 3] == '=') padding = text[at + 2] == '=' ? 2 : 1;
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t digit = i < 4 - padding ? kBase64Digits.find(text[at + i]) : 0;
            if (digit == std::string_view::npos) return false;
            group = group << 6 | std::uint32_t(digit);
        }
        for (std::size_t i = 0; i < 3 - padding; ++i)
            bytes += static_cast<char>((group >> (16 - 8 * i)) & 0xff);
    }
    return true;
}

// ---------------------------------------------------------------- writing

// The record's text, value by value. The same layout function drives this
// and the Reader below, so the two cannot part.
class Writer {
public:
    std::string text;

    void Text(std::string_view literal) { text += literal; }
    void Integer(std::int64_t value)
    {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        text.append(std::string_view(digits, std::size_t(end - digits)));
    }
    void Count(const std::vector<ShardEntry>& entries) { Integer(std::int64_t(entries.size())); }
    // The shortest text that reads back as the same float.
    void Float(float value)
    {
        if (std::isnan(value)) return Text(kNotANumber);
        if (std::isinf(value)) return Text(value > 0.0f ? kInfinity : kMinusInfinity);
        char digits[48];
        const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        text.append(std::string_view(digits, std::size_t(end - digits)));
    }
    void Bool(bool value) { Text(value ? "true" : "false"); }
    // Valid UTF-8 as it is; a byte outside it as \uDC80 to \uDCFF (the lone
    // surrogate that stands for that byte in the command line's names).
    void String(std::string_view bytes)
    {
        text += '"';
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t length = CharacterLength(bytes, at);
            const auto byte = static_cast<unsigned char>(bytes[at]);
            if (byte == '"' || byte == '\\') {
                text += '\\';
                text += char(byte);
            } else if (byte < 0x20 || (length == 1 && byte >= 0x80)) {
                text += FormatC("\\u%04X", byte < 0x20 ? unsigned(byte) : 0xDC00u + byte);
            } else {
                text.append(bytes.substr(at, length));
            }
            at += length;
        }
        text += '"';
    }
    void Base64(std::string_view bytes)
    {
        text += '"';
        text += ToBase64(bytes);
        text += '"';
    }
    void Choice(std::int32_t value)
    {
        for (const auto& [code, name] : kCriteria) {
            if (code == value) return String(name);
        }
        String("?");
    }
    void Curve(const SpeedCurve& curve)
    {
        Text("[");
        for (std::size_t i = 0; i < curve.size(); ++i) {
            if (i > 0) Text(", ");
            Float(curve[i]);
        }
        Text("]");
    }
    // open, the elements separated by between, close; "[]" for none.
    template <typename Element, typename Each>
    void Array(const std::vector<Element>& elements, std::string_view open, std::string_view between,
               std::string_view close, Each each)
    {
        if (elements.empty()) return Text("[]");
        Text(open);
        for (std::size_t i = 0; i < elements.size(); ++i) {
            if (i > 0) Text(between);
            each(elements[i]);
        }
        Text(close);
    }
};

// ---------------------------------------------------------------- reading

// Reads exactly the layout the Writer writes; the first thing that does
// not fit stops it.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_at == m_text.size(); }
    std::size_t Position() const { return m_at; }
    std::int64_t CountRead() const { return m_count; }

    void Text(std::string_view literal)
    {
        if (!m_ok) return;
        if (m_text.substr(m_at, literal.size()) == literal) {
            m_at += literal.size();
        } else {
            m_ok = false;
        }
    }
    void Integer(std::int32_t& value)
    {
        std::int64_t wide = 0;
        Integer(wide);
        if (wide < INT32_MIN || wide > INT32_MAX) m_ok = false;
        value = std::int32_t(wide);
    }
    void Integer(std::int64_t& value)
    {
        if (!m_ok) return;
        const char* first = m_text.data() + m_at;
        const auto [end, error] = std::from_chars(first, m_text.data() + m_text.size(), value);
        if (error != std::errc() || end == first) {
            m_ok = false;
            return;
        }
        m_at += std::size_t(end - first);
    }
    void Count(std::vector<ShardEntry>&) { Integer(m_count); }
    void Float(float& value)
    {
        if (!m_ok) return;
        for (const auto& [text, special] : {std::pair{kNotANumber, NAN}, std::pair{kInfinity, INFINITY},
                                            std::pair{kMinusInfinity, -INFINITY}}) {
            if (m_text.substr(m_at, text.size()) == text) {
                m_at += text.size();
                value = special;
                return;
            }
        }
        const char* first = m_text.data() + m_at;
        const auto [end, error] = std::from_chars(first, m_text.data() + m_text.size(), value);
        if (error != std::errc() || end == first) {
            m_ok = false;
            return;
        }
        m_at += std::size_t(end - first);
    }
    void Bool(bool& value)
    {
        if (!m_ok) return;
        value = m_text.substr(m_at, 4) == "true";
        Text(value ? "true" : "false");
    }
    void String(std::string& bytes)
    {
        Text("\"");
        bytes.clear();
        while (m_ok && m_at < m_text.size() && m_text[m_at] != '"') {
            if (m_text[m_at] != '\\') {
                bytes += m_text[m_at++];
                continue;
            }
            Escape(bytes);
        }
        Text("\"");
    }
    void Base64(std::string& bytes)
    {
        Text("\"");
        if (!m_ok) return;
        const std::size_t end = m_text.find('"', m_at);
        if (end == std::string_view::npos || !FromBase64(m_text.substr(m_at, end - m_at), bytes)) {
            m_ok = false;
            return;
        }
        m_at = end;
        Text("\"");
    }
    void Choice(std::int32_t& value)
    {
        std::string name;
        String(name);
        for (const auto& [code, known] : kCriteria) {
            if (known == name) {
                value = code;
                return;
            }
        }
        m_ok = false;
    }
    void Curve(SpeedCurve& curve)
    {
        Text("[");
        for (std::size_t i = 0; i < curve.size(); ++i) {
            if (i > 0) Text(", ");
            Float(curve[i]);
        }
        Text("]");
    }
    template <typename Element, typename Each>
    void Array(std::vector<Element>& elements, std::string_view open, std::string_view between,
               std::string_view close, Each each)
    {
        elements.clear();
        if (!m_ok) return;
        if (m_text.substr(m_at, 2) == "[]") {
            m_at += 2;
            return;
        }
        Text(open);
        while (m_ok) {
            each(elements.emplace_back());
            if (m_text.substr(m_at, between.size()) != between) break;
            m_at += between.size();
        }
        Text(close);
    }

private:
    // \" \\ and \uXXXX: a control character or a byte outside UTF-8.
    void Escape(std::string& bytes)
    {
        const std::string_view escape = m_text.substr(m_at, 2);
        if (escape == "\\\"" || escape == "\\\\") {
            bytes += escape[1];
            m_at += 2;
            return;
        }
        unsigned code = 0;
        const std::string_view hex = m_text.substr(m_at + std::min<std::size_t>(2, m_text.size() - m_at), 4);
        const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), code, 16);
        const bool isByte = code < 0x20 || (code >= 0xDC80 && code <= 0xDCFF);
        if (escape != "\\u" || hex.size() != 4 || error != std::errc() || end != hex.data() + 4 || !isByte) {
            m_ok = false;
            return;
        }
        bytes += static_cast<char>(code < 0x20 ? code : code - 0xDC00);
        m_at += 6;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    bool m_ok = true;
    std::int64_t m_count = -1;
};

// ---------------------------------------------------------------- the layout

// Everything between the version line and the digest, for the Writer and
// the Reader alike (Record is const for the Writer).
template <typename Io, typename Record>
void Layout(Io& io, Record& record)
{
    auto& series = record.series;
    io.Text("  \"series\": {\n    \"engine_file\": ");
    io.String(series.engineFileName);
    io.Text(",\n    \"engine\": ");
    io.Base64(series.engineFile);
    io.Text(",\n    \"sweeps\": ");
    io.Array(series.sweeps, "[\n      ", ",\n      ", "\n    ]", [&io](auto& sweep) {
        io.Text("{\"sweep\": ");
        io.String(sweep.text);
        io.Text(", \"min\": ");
        io.Float(sweep.min);
        io.Text(", \"max\": ");
        io.Float(sweep.max);
        io.Text(", \"step\": ");
        io.Float(sweep.step);
        io.Text(", \"steps\": ");
        io.Integer(sweep.steps);
        io.Text("}");
    });
    io.Text(",\n    \"criterion\": ");
    io.Choice(series.criterion);
    io.Text(",\n    \"band\": [");
    io.Float(series.minRpm);
    io.Text(", ");
    io.Float(series.maxRpm);
    io.Text("],\n    \"total_tests\": ");
    io.Integer(series.totalTests);
    io.Text("\n  },\n  \"shard\": [");
    io.Integer(record.share.index);
    io.Text(", ");
    io.Integer(record.share.count);
    io.Text("],\n  \"tests_issued\": ");
    io.Integer(record.testsIssued);
    io.Text(",\n  \"instruction_set\": ");
    io.String(record.instructionSet);
    io.Text(",\n  \"fused_multiply_add\": ");
    io.Bool(record.fusedMultiplyAdd);
    io.Text(",\n  \"entries\": ");
    io.Array(record.entries, "[\n    {\n", "\n    },\n    {\n", "\n    }\n  ]", [&io](auto& entry) {
        io.Text("      \"test\": ");
        io.Integer(entry.testNumber);
        for (const auto& [name, member] : kCurves) {
            io.Text(",\n      \"");
            io.Text(name);
            io.Text("\": ");
            io.Curve(entry.results.*member);
        }
    });
    io.Text(",\n  \"entry_count\": ");
    io.Count(record.entries);
}

std::string WriteBody(const ShardRecord& record)
{
    Writer writer;
    writer.Text(kFormatLine);
    writer.Text(kVersionKey);
    writer.Integer(kShardRecordVersion);
    writer.Text(",\n");
    Layout(writer, record);
    return std::move(writer.text);
}

// ---------------------------------------------------------------- checks

bool IsLowerHex(std::string_view text)
{
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// The version a record names, or -1 when its beginning is not a record's.
std::int64_t RecordVersion(std::string_view text)
{
    if (text.substr(0, kFormatLine.size()) != kFormatLine) return -1;
    Reader reader(text.substr(kFormatLine.size()));
    std::int64_t version = -1;
    reader.Text(kVersionKey);
    reader.Integer(version);
    return reader.Ok() ? version : -1;
}

// The first version's records (written by Qt's JSON writer, keys sorted)
// carry neither an entry count nor a digest.
bool IsFirstVersionRecord(std::string_view text)
{
    return text.find("\"format\": \"torqwell iterator shard\"") != std::string_view::npos &&
           text.find("\"version\": 1\n") != std::string_view::npos;
}

bool FiniteSweep(const ShardSweep& sweep)
{
    return std::isfinite(sweep.min) && std::isfinite(sweep.max) && std::isfinite(sweep.step);
}

// What is out of range, or empty: every field's range before anything is
// built from it.
std::string FieldOutOfRange(const ShardRecord& record)
{
    const ShardSeries& series = record.series;
    const std::string& name = series.engineFileName;
    if (name.empty() || name.size() > kMostNameBytes || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos || name == "." || name == "..")
        return "its engine file name is no file name";
    if (series.engineFile.empty() || series.engineFile.size() > kMostShardEngineFileBytes)
        return "its engine file is empty or larger than 16 MiB";
    if (series.sweeps.empty() || series.sweeps.size() > kMostSweeps) return "it has no sweeps or more than 8";
    if (series.totalTests < 2 || series.totalTests > kMaxTotalTests)
        return "its total of " + std::to_string(series.totalTests) + " tests is outside 2 to 300000000";
    std::int64_t product = 1;
    for (const ShardSweep& sweep : series.sweeps) {
        if (!FiniteSweep(sweep) || sweep.steps < 2 || sweep.steps > kMaxTotalTests)
            return "its sweep '" + sweep.text + "' has values out of range";
        product = std::min<std::int64_t>(product * sweep.steps, std::int64_t(kMaxTotalTests) + 1);
    }
    if (product != series.totalTests) return "its sweeps' steps do not make its total of tests";
    const auto inBand = [](float rpm) { return rpm >= kLowestBandRpm && rpm <= kHighestBandRpm; };
    if (!inBand(series.minRpm) || !inBand(series.maxRpm) || !(series.minRpm < series.maxRpm))
        return "its band " + FormatC("%g-%g", double(series.minRpm), double(series.maxRpm)) +
               " rpm is not a band within 2000-11000 rpm";
    const SeriesShare& share = record.share;
    if (share.count < 1 || share.count > kMostShards || share.index < 1 || share.index > share.count)
        return "its shard " + std::to_string(share.index) + " of " + std::to_string(share.count) +
               " is not one of 1 to 100000 shards";
    if (record.testsIssued < 0 || record.testsIssued > series.totalTests)
        return "its count of tests issued is outside its series";
    if (record.instructionSet.empty() || record.instructionSet.size() > kMostInstructionSetBytes)
        return "its instruction set is no name";
    if (record.entries.size() > std::size_t(share.TestsOf(series.totalTests)))
        return "it has more entries than its shard has tests";
    std::int32_t previous = 0;
    for (const ShardEntry& entry : record.entries) {
        if (entry.testNumber <= previous || entry.testNumber > series.totalTests ||
            !share.Contains(entry.testNumber))
            return "its entry of test " + std::to_string(entry.testNumber) + " does not fit its shard";
        previous = entry.testNumber;
    }
    return {};
}

bool Damaged(std::string& problem, const std::string& what)
{
    problem = "is damaged: " + what;
    return false;
}

}  // namespace

std::string WriteShardRecord(const ShardRecord& record)
{
    const std::string body = WriteBody(record);
    return body + std::string(kDigestKey) + Sha256Hex(body) + std::string(kDigestEnd);
}

bool ReadShardRecord(std::string_view text, ShardRecord& record, std::string& problem)
{
    const std::int64_t version = RecordVersion(text);
    if (version == 1 || (version < 0 && IsFirstVersionRecord(text))) {
        problem =
            "was written by an earlier torqwell-cli (record version 1), without the entry count and "
            "the SHA-256 digest that prove a record whole; run its shard again with this version";
        return false;
    }
    if (version < 0) {
        problem = "is not a shard record of torqwell-cli iterate --shard";
        return false;
    }
    if (version != kShardRecordVersion) {
        problem = "is a shard record of version " + std::to_string(version) + ", which this torqwell-cli (" +
                  std::to_string(kShardRecordVersion) + ") cannot read";
        return false;
    }

    const std::size_t tail = kDigestKey.size() + kDigestHexLength + kDigestEnd.size();
    const std::string_view digest =
        text.size() >= tail ? text.substr(text.size() - tail) : std::string_view();
    if (digest.substr(0, kDigestKey.size()) != kDigestKey || !digest.ends_with(kDigestEnd) ||
        !IsLowerHex(digest.substr(kDigestKey.size(), kDigestHexLength))) {
        return Damaged(problem, "it is cut short or does not end with its SHA-256 digest");
    }
    const std::string_view body = text.substr(0, text.size() - tail);
    if (Sha256Hex(body) != digest.substr(kDigestKey.size(), kDigestHexLength))
        return Damaged(problem, "its content does not match its SHA-256 digest");

    Reader reader(body);
    std::int64_t versionRead = 0;
    reader.Text(kFormatLine);
    reader.Text(kVersionKey);
    reader.Integer(versionRead);
    reader.Text(",\n");
    Layout(reader, record);
    if (!reader.Ok() || !reader.AtEnd()) {
        return Damaged(problem, "it cannot be read as a shard record (at byte " +
                                    std::to_string(reader.Position()) + ")");
    }
    if (reader.CountRead() != std::int64_t(record.entries.size())) {
        return Damaged(problem, "it holds " + std::to_string(record.entries.size()) + " entries and counts " +
                                    std::to_string(reader.CountRead()));
    }
    if (WriteBody(record) != body)
        return Damaged(problem, "it is not written as torqwell-cli writes a record");
    const std::string outOfRange = FieldOutOfRange(record);
    if (!outOfRange.empty()) return Damaged(problem, outOfRange);
    return true;
}

bool SameSeries(const ShardSeries& a, const ShardSeries& b)
{
    const auto sameSweep = [](const ShardSweep& x, const ShardSweep& y) {
        return SweepName(x) == SweepName(y) && x.min == y.min && x.max == y.max && x.step == y.step &&
               x.steps == y.steps;
    };
    return a.engineFileName == b.engineFileName && a.engineFile == b.engineFile &&
           a.criterion == b.criterion && a.minRpm == b.minRpm && a.maxRpm == b.maxRpm &&
           a.totalTests == b.totalTests &&
           std::equal(a.sweeps.begin(), a.sweeps.end(), b.sweeps.begin(), b.sweeps.end(), sameSweep);
}

std::string_view SweepName(const ShardSweep& sweep)
{
    return std::string_view(sweep.text).substr(0, sweep.text.find('='));
}
