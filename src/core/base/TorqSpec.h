#pragma once

#include "Units.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// An engine parameter: one named, typed value with its allowed range, its
// "set" state, its text forms, its entry prompt and its line-oriented file
// form. A parameter that was never given a value, or was cleared, is unset:
// it shows as "***" and is not valid.
//
// File form: each kind writes one or two lines with the C library's
// formatted output and reads them back in the same order. Write raises error
// 44 when a line cannot be written; Read raises 45 when nothing could be read
// and 47 for a value outside the range (RaisedError, base/MessageTable.h).
class CTorqSpec {
public:
    explicit CTorqSpec(const char* name);
    virtual ~CTorqSpec() = default;

    // Accepts or refuses a typed text; with checkOnly nothing changes.
    virtual bool SetFromText(std::string_view text, bool checkOnly) = 0;
    virtual std::string GetText() const = 0;
    virtual std::string GetTextWithUnits() const = 0;
    virtual bool IsValid() const = 0;
    virtual std::string GetPrompt() const = 0;
    virtual void Write(std::FILE* file) const = 0;
    virtual void Read(std::FILE* file) = 0;
    virtual void CheckInvariants() const;

    const char* GetName() const { return m_name; }
    bool IsSet() const { return m_set != 0; }
    // Exact: the same parameter with the same set flag (the kinds add their value, units and range).
    bool operator==(const CTorqSpec& other) const = default;
    // Clears the set flag and keeps the value: the parameter shows "***".
    void MarkUnset() { m_set = 0; }

protected:
    CTorqSpec(const CTorqSpec&) = default;
    CTorqSpec& operator=(const CTorqSpec&) = default;
    void MarkSet() { m_set = 1; }

    static constexpr const char* kUnsetText = "***";

private:
    const char* m_name;  // not owned; a literal that outlives every parameter
    std::uint8_t m_set = 0;
};

// A real value held in the current unit of its parameter: English or metric.
class CFloatPtSpec final : public CTorqSpec {
public:
    // value = English minimum, English units, unset.
    CFloatPtSpec(const char* name, UnitCode englishUnit, float englishMin, float englishMax,
                 UnitCode metricUnit, float factor);
    // A copy is set only when the source is valid; an assignment copies exactly.
    CFloatPtSpec(const CFloatPtSpec& other);
    CFloatPtSpec& operator=(const CFloatPtSpec& other) = default;
    bool operator==(const CFloatPtSpec& other) const = default;

    bool SetFromText(std::string_view text, bool checkOnly) override;
    std::string GetText() const override;
    std::string GetTextWithUnits() const override;
    bool IsValid() const override;
    std::string GetPrompt() const override;
    void Write(std::FILE* file) const override;
    void Read(std::FILE* file) override;
    void CheckInvariants() const override;

    float GetValue() const { return m_value; }
    // The value as ToEnglish would store it, without switching the parameter.
    float GetEnglishValue() const;
    UnitCode GetUnitCode() const { return m_unitCode; }
    const char* GetUnitsLabel() const;
    bool IsEnglish() const { return m_unitCode == m_englishUnit; }
    bool IsMetric() const { return !IsEnglish(); }

    UnitCode GetEnglishUnitCode() const { return m_englishUnit; }
    UnitCode GetMetricUnitCode() const { return m_metricUnit; }
    float GetFactor() const { return m_factor; }
    // Bounds in the current unit, and in the English unit.
    float GetMinimum() const { return IsEnglish() ? m_englishMin : m_metricMin; }
    float GetMaximum() const { return IsEnglish() ? m_englishMax : m_metricMax; }
    float GetEnglishMinimum() const { return m_englishMin; }
    float GetEnglishMaximum() const { return m_englishMax; }

    // Within the current unit's bounds widened by 0.00001 at each end.
    bool IsInRange(float value) const;
    // Stores an in-range value in the current unit and sets the parameter.
    void SetValue(float value);
    void SetRoundedValue(float value, int decimals);
    // Switches to the English (or metric) unit first, then SetValue.
    void SetValueIn(float value, bool english);
    void SetUnits(bool english);
    void ToEnglish();  // divides by the factor and clamps into the English range
    void ToMetric();   // multiplies by the factor
    // New English bounds; a value that falls outside them resets the parameter.
    void SetRange(float englishMin, float englishMax);
    // value = minimum of the current unit, unset.
    void Reset();

    // atof semantics: "12abc" reads as 12. A text that converts to exactly 0
    // must consist only of digits, '.' and '-' and be at most 100 characters
    // long, so that letters are refused while "0", "0.0" and "-0" are accepted.
    static bool ParseNumber(std::string_view text, double& out);
    bool SetFromTextRounded(std::string_view text, int decimals);

private:
    std::string FormatValue(float value) const;

    float m_value;
    float m_englishMin;
    float m_englishMax;
    float m_metricMin;
    float m_metricMax;
    UnitCode m_unitCode;
    UnitCode m_englishUnit;
    UnitCode m_metricUnit;
    float m_factor;
    const char* m_englishFormat;
    const char* m_metricFormat;
};

// A whole number within [minimum, maximum].
class CIntegerSpec final : public CTorqSpec {
public:
    CIntegerSpec(const char* name, std::int32_t minimum, std::int32_t maximum);
    CIntegerSpec(const CIntegerSpec&) = default;
    CIntegerSpec& operator=(const CIntegerSpec&) = default;
    bool operator==(const CIntegerSpec& other) const = default;

    bool SetFromText(std::string_view text, bool checkOnly) override;
    std::string GetText() const override;
    std::string GetTextWithUnits() const override { return GetText(); }
    bool IsValid() const override;
    std::string GetPrompt() const override;
    void Write(std::FILE* file) const override;
    void Read(std::FILE* file) override;
    void CheckInvariants() const override;

    std::int32_t GetValue() const { return m_value; }
    std::int32_t GetMinimum() const { return m_minimum; }
    std::int32_t GetMaximum() const { return m_maximum; }
    bool IsInRange(std::int32_t value) const { return value >= m_minimum && value <= m_maximum; }
    void SetValue(std::int32_t value);

private:
    std::int32_t m_value;
    std::int32_t m_minimum;
    std::int32_t m_maximum;
};

// A choice from a numbered list of part types: the index is what the
// simulation and the tables use, the name is what is shown and saved. A name
// typed by the user is stored under the list's maximum index (the custom entry).
class CPartTypeSpec final : public CTorqSpec {
public:
    CPartTypeSpec(const char* name, std::int32_t minIndex, std::int32_t maxIndex);
    CPartTypeSpec(const CPartTypeSpec&) = default;
    CPartTypeSpec& operator=(const CPartTypeSpec&) = default;
    bool operator==(const CPartTypeSpec& other) const = default;

    bool SetFromText(std::string_view text, bool checkOnly) override;
    std::string GetText() const override;
    std::string GetTextWithUnits() const override { return GetText(); }
    bool IsValid() const override;
    std::string GetPrompt() const override;
    void Write(std::FILE* file) const override;
    void Read(std::FILE* file) override;
    void CheckInvariants() const override;

    // Refused when the name is empty or the index is outside the list.
    bool SetChoice(std::int32_t index, std::string_view name, bool checkOnly = false);
    const std::string& GetChoiceName() const { return m_choiceName; }
    std::int32_t GetIndex() const { return m_index; }
    std::int32_t GetMaximumIndex() const { return m_maxIndex; }

private:
    std::int32_t m_index;
    std::int32_t m_minIndex;
    std::int32_t m_maxIndex;
    std::string m_choiceName;
};

// The name of a data file (a bare file name or a path).
class CFileSpec final : public CTorqSpec {
public:
    explicit CFileSpec(const char* name);
    CFileSpec(const CFileSpec&) = default;
    CFileSpec& operator=(const CFileSpec&) = default;
    bool operator==(const CFileSpec& other) const = default;

    bool SetFromText(std::string_view text, bool checkOnly) override;
    std::string GetText() const override;
    std::string GetTextWithUnits() const override { return GetText(); }
    bool IsValid() const override;
    std::string GetPrompt() const override;
    void Write(std::FILE* file) const override;
    void Read(std::FILE* file) override;

    const std::string& GetFileName() const { return m_fileName; }

private:
    std::string m_fileName;
};
