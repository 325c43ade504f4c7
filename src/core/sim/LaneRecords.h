#pragma once

// Records of one engine laid out as lanes of several: for a plain record
// (CamLobe, FlowTable, ...) LanesOf<Record> holds each of its fields as one
// double per engine (an array field as an array of them), and copies one
// engine's record into its lane and back. Both are made from one list of the
// record's fields, and a check at compile time fails when the record has a
// field the list leaves out:
//
//   #define TORQWELL_CAM_LOBE_FIELDS(X) X(opening) X(closing) ...
//   TORQWELL_RECORD_LANES(CamLobe, TORQWELL_CAM_LOBE_FIELDS)
//
// Internal to the cycle model.

#include <cstddef>
#include <type_traits>

// Engines the crank loop runs at once: two 512-bit registers of doubles.
inline constexpr int kMaxCycleLanes = 16;

struct alignas(64) LaneValues {
    double v[kMaxCycleLanes];
};

// The lanes of a field of type T: LaneValues, or an array of them.
template <class T>
struct LanesFor {
    using type = LaneValues;
};

template <class T, std::size_t N>
struct LanesFor<T[N]> {
    using type = LaneValues[N];
};

// A float or a bool is held as the double it converts to (a bool as 1 or 0);
// taken back it converts exactly, since the loop rounds every float it
// stores.
template <class T>
void SetLane(LaneValues& lanes, int lane, T value)
{
    lanes.v[lane] = static_cast<double>(value);
}

template <class T>
void GetLane(const LaneValues& lanes, int lane, T& value)
{
    value = static_cast<T>(lanes.v[lane]);
}

template <class T, std::size_t N>
void SetLane(LaneValues (&lanes)[N], int lane, const T (&values)[N])
{
    for (std::size_t j = 0; j < N; ++j) SetLane(lanes[j], lane, values[j]);
}

template <class T, std::size_t N>
void GetLane(const LaneValues (&lanes)[N], int lane, T (&values)[N])
{
    for (std::size_t j = 0; j < N; ++j) GetLane(lanes[j], lane, values[j]);
}

// The values of an aggregate as brace elision counts them: an array field
// counts each of its elements. AnyValue converts to any field's type.
struct AnyValue {
    template <class T>
    operator T() const;
};

template <class Record, class... Values>
constexpr std::size_t ValueCount()
{
    if constexpr (requires { Record{Values{}..., AnyValue{}}; })
        return ValueCount<Record, Values..., AnyValue>();
    else
        return sizeof...(Values);
}

template <class T>
inline constexpr std::size_t kValuesIn = std::is_array_v<T> ? std::extent_v<T> : 1;

template <class Record>
struct LanesOf;

#define TORQWELL_LANE_FIELD(name) typename LanesFor<decltype(Record::name)>::type name;
#define TORQWELL_SET_LANE_FIELD(name) ::SetLane(name, lane, record.name);
#define TORQWELL_GET_LANE_FIELD(name) ::GetLane(name, lane, record.name);
#define TORQWELL_COUNT_LANE_FIELD(name) +kValuesIn<decltype(Record::name)>

// The lanes of RecordType, whose fields FIELDS(X) lists as X(name) X(name) ...
#define TORQWELL_RECORD_LANES(RecordType, FIELDS)                                               \
    template <>                                                                                 \
    struct LanesOf<RecordType> {                                                                \
        using Record = RecordType;                                                              \
        FIELDS(TORQWELL_LANE_FIELD)                                                             \
        void Set(int lane, const Record& record) { FIELDS(TORQWELL_SET_LANE_FIELD) }            \
        void Get(int lane, Record& record) const { FIELDS(TORQWELL_GET_LANE_FIELD) }            \
        static_assert(ValueCount<Record>() == 0 FIELDS(TORQWELL_COUNT_LANE_FIELD),              \
                      "every field of " #RecordType " is in its list of fields for the lanes"); \
    }
