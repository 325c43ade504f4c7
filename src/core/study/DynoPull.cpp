#include "DynoPull.h"

#include "base/AtomicFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

namespace {

// 1 hp = 745.699872 W; 1 PS = 735.49875 W; 1 lb-ft = 1.3558179483 N·m.
constexpr double kWattsPerHorsepower = 745.699872;
constexpr double kWattsPerMetricHorsepower = 735.49875;
constexpr double kNewtonMetresPerPoundFoot = 1.3558179483;

enum class Role { None, Speed, Power, Torque };

// One column of the header: its text as written, the name and the unit in
// brackets after it, both in lower case ("Power (kW)": "power", "kw").
struct Column {
    int number = 0;  // 1-based, as the messages name it
    std::string text;
    std::string name;
    std::string unit;
    Role role = Role::None;
};

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A field without its blanks and the double quotes a spreadsheet may put around it.
std::string_view CleanField(std::string_view field)
{
    field = Trim(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = Trim(field.substr(1, field.size() - 2));
    return field;
}

std::vector<std::string_view> SplitFields(std::string_view line, char separator)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, start)) {
        fields.push_back(CleanField(line.substr(start, at - start)));
        start = at + 1;
    }
    fields.push_back(CleanField(line.substr(start)));
    return fields;
}

// Lines without their ends (LF, CR LF or a lone CR); a UTF-8 byte-order mark is dropped.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\n' && text[at] != '\r') continue;
        lines.push_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        start = at + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool IsSkippedLine(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    return trimmed.empty() || trimmed.front() == '#';
}

Column MakeColumn(int number, std::string_view text)
{
    Column column;
    column.number = number;
    column.text = std::string(text);
    std::string_view name = text;
    const char close = text.empty() ? '\0' : text.back();
    const char open = close == ')' ? '(' : close == ']' ? '[' : '\0';
    if (open != '\0') {
        const std::size_t at = text.rfind(open);
        if (at != std::string_view::npos) {
            column.unit = Lower(Trim(text.substr(at + 1, text.size() - at - 2)));
            name = text.substr(0, at);
        }
    }
    column.name = Lower(Trim(name));
    return column;
}

bool IsOneOf(const std::string& name, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* known) { return name == known; });
}

bool IsNamed(const Column& column, const std::string& wanted)
{
    const std::string lower = Lower(Trim(wanted));
    return column.name == lower || Lower(column.text) == lower;
}

bool HasSpeedName(const Column& column)
{
    return IsOneOf(column.name, {"rpm", "engine speed", "speed"});
}

bool HasPowerName(const Column& column)
{
    return IsOneOf(column.name, {"power", "hp", "bhp", "kw", "ps"});
}

bool HasTorqueName(const Column& column)
{
    return IsOneOf(column.name, {"torque", "tq", "lb-ft", "ft-lbs", "nm"});
}

// The role a column's name gives it; a column the options name takes that
// role, and then no other column takes it by its name.
Role RoleByName(const Column& column, const PullReadOptions& options)
{
    const auto role = [&](const std::string& given, bool (*byName)(const Column&)) {
        return given.empty() ? byName(column) : IsNamed(column, given);
    };
    if (role(options.speedColumn, HasSpeedName)) return Role::Speed;
    if (role(options.powerColumn, HasPowerName)) return Role::Power;
    if (role(options.torqueColumn, HasTorqueName)) return Role::Torque;
    return Role::None;
}

std::vector<Column> HeaderColumns(std::string_view line, char separator, const PullReadOptions& options)
{
    std::vector<Column> columns;
    int number = 0;
    for (std::string_view field : SplitFields(line, separator)) {
        Column column = MakeColumn(++number, field);
        column.role = RoleByName(column, options);
        columns.push_back(std::move(column));
    }
    return columns;
}

int CountRole(const std::vector<Column>& columns, Role role)
{
    return static_cast<int>(
        std::count_if(columns.begin(), columns.end(), [&](const Column& c) { return c.role == role; }));
}

int CountFigures(const std::vector<Column>& columns)
{
    return CountRole(columns, Role::Speed) + CountRole(columns, Role::Power) +
           CountRole(columns, Role::Torque);
}

// ---------------------------------------------------------------- units

// The factor to hp of a power column, none for a unit the reader does not know.
std::optional<double> PowerFactor(const Column& column, PullPowerUnit given)
{
    std::string unit = column.unit;
    if (unit.empty()) {
        if (column.name == "hp" || column.name == "bhp" || column.name == "kw" || column.name == "ps") {
            unit = column.name;
        } else {
            switch (given) {
                case PullPowerUnit::Horsepower:
                    return 1.0;
                case PullPowerUnit::Kilowatt:
                    return 1000.0 / kWattsPerHorsepower;
                case PullPowerUnit::MetricHorsepower:
                    return kWattsPerMetricHorsepower / kWattsPerHorsepower;
            }
        }
    }
    if (unit == "hp" || unit == "bhp") return 1.0;
    if (unit == "kw") return 1000.0 / kWattsPerHorsepower;
    if (unit == "ps") return kWattsPerMetricHorsepower / kWattsPerHorsepower;
    return std::nullopt;
}

// The factor to lb-ft of a torque column, none for a unit the reader does not know.
std::optional<double> TorqueFactor(const Column& column, PullTorqueUnit given)
{
    std::string unit = column.unit;
    if (unit.empty()) {
        if (column.name == "lb-ft" || column.name == "ft-lbs") return 1.0;
        if (column.name == "nm") return 1.0 / kNewtonMetresPerPoundFoot;
        return given == PullTorqueUnit::PoundFeet ? 1.0 : 1.0 / kNewtonMetresPerPoundFoot;
    }
    if (IsOneOf(unit, {"lb-ft", "lbft", "lb ft", "lb\u00B7ft", "ft-lb", "ft-lbs", "ft lb", "ft lbs", "ftlb",
                       "lbf-ft", "lbf ft"})) {
        return 1.0;
    }
    if (IsOneOf(unit, {"nm", "n-m", "n.m", "n m", "n\u00B7m"})) return 1.0 / kNewtonMetresPerPoundFoot;
    return std::nullopt;
}

// Whether the file itself names the unit of a power or torque column: in
// brackets after its name, or as its name ("kW", "Nm").
bool PowerUnitNamed(const Column& column)
{
    return !column.unit.empty() || IsOneOf(column.name, {"hp", "bhp", "kw", "ps"});
}

bool TorqueUnitNamed(const Column& column)
{
    return !column.unit.empty() || IsOneOf(column.name, {"lb-ft", "ft-lbs", "nm"});
}

bool IsSpeedUnit(const std::string& unit)
{
    return unit.empty() || unit == "rpm" || unit == "1/min" || unit == "min-1";
}

// ---------------------------------------------------------------- the header

struct Header {
    int line = 0;  // 1-based
    char separator = ',';
    std::vector<Column> columns;
    const Column* speed = nullptr;
    const Column* power = nullptr;
    const Column* torque = nullptr;
    double powerFactor = 1.0;
    double torqueFactor = 1.0;
};

// The separator under which the line names the most of the pull's figures.
char BestSeparator(std::string_view line, const PullReadOptions& options)
{
    char best = ',';
    int bestCount = -1;
    for (char separator : {'\t', ';', ','}) {
        const int count = CountFigures(HeaderColumns(line, separator, options));
        if (count > bestCount) {
            best = separator;
            bestCount = count;
        }
    }
    return best;
}

std::string Describe(const Column& column)
{
    return "column " + std::to_string(column.number) + " (" + column.text + ")";
}

std::string LinePrefix(int line)
{
    return "line " + std::to_string(line);
}

// Gives each role its first column with a unit the reader knows; notes the rest.
void AssignRoles(Header& header, std::vector<std::string>& notes, const PullReadOptions& options)
{
    std::vector<std::string> unknown;
    for (const Column& column : header.columns) {
        const auto skip = [&](const std::string& why) {
            notes.push_back("skipped " + Describe(column) + ": " + why);
        };
        switch (column.role) {
            case Role::None:
                unknown.push_back(column.text.empty() ? "column " + std::to_string(column.number)
                                                      : column.text);
                break;
            case Role::Speed:
                if (header.speed != nullptr) {
                    skip("the engine speed is column " + std::to_string(header.speed->number));
                } else if (!IsSpeedUnit(column.unit)) {
                    skip("'" + column.unit + "' is not an engine speed unit");
                } else {
                    header.speed = &column;
                }
                break;
            case Role::Power:
                if (header.power != nullptr) {
                    skip("the power is column " + std::to_string(header.power->number));
                } else if (const auto factor = PowerFactor(column, options.powerUnit)) {
                    header.power = &column;
                    header.powerFactor = *factor;
                } else {
                    skip("the power unit '" + column.unit + "' is not known (hp, kW or PS)");
                }
                break;
            case Role::Torque:
                if (header.torque != nullptr) {
                    skip("the torque is column " + std::to_string(header.torque->number));
                } else if (const auto factor = TorqueFactor(column, options.torqueUnit)) {
                    header.torque = &column;
                    header.torqueFactor = *factor;
                } else {
                    skip("the torque unit '" + column.unit + "' is not known (lb-ft or Nm)");
                }
                break;
        }
    }
    if (unknown.empty()) return;
    std::string note = "skipped " + std::to_string(unknown.size()) +
                       (unknown.size() == 1 ? " column it does not use: " : " columns it does not use: ");
    for (std::size_t i = 0; i < unknown.size(); ++i) note += (i == 0 ? "" : ", ") + unknown[i];
    notes.push_back(note);
}

// The first line that names an engine-speed column; the error when there is none.
bool FindHeader(const std::vector<std::string_view>& lines, const PullReadOptions& options, Header& header,
                std::vector<std::string>& notes, std::string& error)
{
    int firstWithFigures = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsSkippedLine(lines[i])) continue;
        const char separator = BestSeparator(lines[i], options);
        std::vector<Column> columns = HeaderColumns(lines[i], separator, options);
        const int line = static_cast<int>(i) + 1;
        if (CountRole(columns, Role::Speed) == 0) {
            if (firstWithFigures == 0 && CountFigures(columns) > 0) firstWithFigures = line;
            continue;
        }
        header.line = line;
        header.separator = separator;
        header.columns = std::move(columns);
        AssignRoles(header, notes, options);
        if (header.speed == nullptr) {
            error = LinePrefix(line) + ": no engine-speed column in rpm";
        } else if (header.power == nullptr && header.torque == nullptr) {
            error = LinePrefix(line) +
                    ": no power column (Power, HP, BHP, kW, PS) and no torque column (Torque, TQ, lb-ft, "
                    "ft-lbs, Nm)";
        }
        return error.empty();
    }
    const std::string speedColumn = options.speedColumn.empty()
                                        ? "engine-speed column (RPM, Engine Speed or Speed)"
                                        : "engine-speed column named '" + options.speedColumn + "'";
    error = firstWithFigures != 0 ? LinePrefix(firstWithFigures) + ": no " + speedColumn
                                  : "no line names an " + speedColumn;
    return false;
}

// ---------------------------------------------------------------- the rows

// A number in the C locale's form; with a decimal comma, the comma is its point.
bool ParseNumber(std::string_view field, bool decimalComma, double& value)
{
    std::string text(field);
    if (decimalComma) std::replace(text.begin(), text.end(), ',', '.');
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, problem] = std::from_chars(first, last, value);
    if (problem == std::errc::result_out_of_range) {
        value = HUGE_VAL;
        return true;
    }
    return problem == std::errc() && end == last;
}

class RowReader {
public:
    RowReader(const Header& header, std::string& error) : m_header(header), m_error(error) {}

    bool Read(std::string_view text, int line, PullRow& row)
    {
        const std::vector<std::string_view> fields = SplitFields(text, m_header.separator);
        row.line = line;
        if (!Figure(fields, *m_header.speed, line, row.rpm)) return false;
        if (!NotRepeated(row.rpm, line)) return false;
        if (m_header.power != nullptr) {
            if (!Figure(fields, *m_header.power, line, row.powerHp)) return false;
            row.powerHp *= m_header.powerFactor;
        }
        if (m_header.torque != nullptr) {
            if (!Figure(fields, *m_header.torque, line, row.torqueLbFt)) return false;
            row.torqueLbFt *= m_header.torqueFactor;
        }
        return true;
    }

private:
    bool Fail(int line, const Column& column, const std::string& why)
    {
        m_error = LinePrefix(line) + ", " + Describe(column) + ": " + why;
        return false;
    }

    bool Figure(const std::vector<std::string_view>& fields, const Column& column, int line, double& value)
    {
        const std::size_t index = static_cast<std::size_t>(column.number - 1);
        const std::string_view field = index < fields.size() ? fields[index] : std::string_view();
        if (field.empty()) return Fail(line, column, "no number");
        if (!ParseNumber(field, m_header.separator != ',', value)) {
            return Fail(line, column, "'" + std::string(field) + "' is not a number");
        }
        if (!std::isfinite(value))
            return Fail(line, column, "'" + std::string(field) + "' is not a finite number");
        if (value < 0.0) return Fail(line, column, std::string(field) + " is negative");
        return true;
    }

    bool NotRepeated(double rpm, int line)
    {
        const auto [at, added] = m_seen.emplace(rpm, line);
        if (added) return true;
        char text[64];
        std::snprintf(text, sizeof text, "%g", rpm);
        return Fail(
            line, *m_header.speed,
            "the speed " + std::string(text) + " is given twice (line " + std::to_string(at->second) + ")");
    }

    const Header& m_header;
    std::string& m_error;
    std::map<double, int> m_seen;  // speed, line
};

bool EnoughRows(const Header& header, const std::vector<PullRow>& rows, std::string& error)
{
    const auto inside = std::count_if(rows.begin(), rows.end(), [](const PullRow& row) {
        return row.rpm >= kPullLowestRpm && row.rpm <= kPullHighestRpm;
    });
    if (inside >= kPullFewestRows) return true;
    error = LinePrefix(header.line) + ", " + Describe(*header.speed) + ": " + std::to_string(inside) +
            (inside == 1 ? " row" : " rows") + " between 2000 and 11000 rpm; a pull needs at least " +
            std::to_string(kPullFewestRows);
    return false;
}

}  // namespace

double DynoPull::PeakPowerHp() const
{
    double peak = 0.0;
    for (const PullRow& row : rows) peak = std::max(peak, row.powerHp);
    return hasPower ? peak : 0.0;
}

double DynoPull::PeakTorqueLbFt() const
{
    double peak = 0.0;
    for (const PullRow& row : rows) peak = std::max(peak, row.torqueLbFt);
    return hasTorque ? peak : 0.0;
}

PullReading ReadDynoPull(std::string_view text, const PullReadOptions& options)
{
    PullReading reading;
    const std::vector<std::string_view> lines = SplitLines(text);
    Header header;
    if (!FindHeader(lines, options, header, reading.pull.notes, reading.error)) return reading;

    RowReader reader(header, reading.error);
    for (std::size_t i = static_cast<std::size_t>(header.line); i < lines.size(); ++i) {
        if (IsSkippedLine(lines[i])) continue;
        PullRow row;
        if (!reader.Read(lines[i], static_cast<int>(i) + 1, row)) return reading;
        reading.pull.rows.push_back(row);
    }
    std::stable_sort(reading.pull.rows.begin(), reading.pull.rows.end(),
                     [](const PullRow& a, const PullRow& b) { return a.rpm < b.rpm; });
    if (!EnoughRows(header, reading.pull.rows, reading.error)) return reading;
    reading.pull.hasPower = header.power != nullptr;
    reading.pull.hasTorque = header.torque != nullptr;
    reading.pull.powerUnitNamed = header.power != nullptr && PowerUnitNamed(*header.power);
    reading.pull.torqueUnitNamed = header.torque != nullptr && TorqueUnitNamed(*header.torque);
    reading.ok = true;
    return reading;
}

PullReading ReadDynoPullFile(const std::string& path, const PullReadOptions& options)
{
    std::FILE* file = OpenRegularFileForReading(path);
    if (file == nullptr) {
        PullReading reading;
        reading.error = "cannot be read";
        return reading;
    }
    std::string text;
    std::array<char, 8192> buffer;
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0;)
        text.append(buffer.data(), got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        PullReading reading;
        reading.error = "cannot be read";
        return reading;
    }
    return ReadDynoPull(text, options);
}

bool ParsePullPowerUnit(std::string_view text, PullPowerUnit& unit)
{
    const std::string lower = Lower(text);
    if (lower == "hp") {
        unit = PullPowerUnit::Horsepower;
    } else if (lower == "kw") {
        unit = PullPowerUnit::Kilowatt;
    } else if (lower == "ps") {
        unit = PullPowerUnit::MetricHorsepower;
    } else {
        return false;
    }
    return true;
}

bool ParsePullTorqueUnit(std::string_view text, PullTorqueUnit& unit)
{
    const std::string lower = Lower(text);
    if (lower == "lb-ft" || lower == "ft-lbs") {
        unit = PullTorqueUnit::PoundFeet;
    } else if (lower == "nm") {
        unit = PullTorqueUnit::NewtonMetre;
    } else {
        return false;
    }
    return true;
}
