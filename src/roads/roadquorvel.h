// Road elements and the lists that own them.
//
// Every piece of a road definition is a RoadElement told apart by its type code; a
// downcast checks the code, never run-time type information:
//
//    1 HorizontalArc               7 VerticalArc                   13 TemplateDistanceGrade
//    2 HorizontalStraight          8 VerticalPoint                 14 TemplateDistanceDelta
//    3 HorizontalStartPoint        9 VerticalParabola              15 TemplateSideSlope
//    4 HorizontalExitSpiral       10 VerticalAsymmetricParabola    16 ChainageElement
//    5 HorizontalEntrySpiral      11 SidedTemplatePlacement        17 StationEquationElement
//    6 HorizontalPI               12 SuperElevationWidening
//
// Owning tables grow 0 -> 20 -> 80 -> 320 slots, four times each step. An element
// handed to a list that cannot store it (no memory, or an index out of range) is
// deleted; an indexed operation out of range is reported and changes nothing.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>

#include "foundation/coords/coordsys.h"

struct xml_Node;
class xmlout_element;
class transfrm_Class;
class db_Corrections;

// Road geometry measures grid azimuths and grid distances, ellipsoid distances and
// orthometric heights.
inline constexpr int32_t ROAD_CogoMask =
    COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights;

// The one transform that every road computation runs through, made from the job's
// corrections before any road is built. A later create replaces it. When it cannot be
// built the failure is reported and none is current; road computations then give null
// outputs instead of reaching for it.
void road_CreateConverterTransformation(const db_Corrections& corrections);
void road_DeleteConverterTransformation();
// The current transform; null, reported, when there is none.
transfrm_Class* road_GetConverterTransformation();

// A grade read from a road file, given in percent, as an angle in radians; null stays null.
double road_GradeFromPercent(double percent);

// Flags of a key station; coinciding key stations merge their flags.
enum road_KeyFlags : int32_t {
    KEY_StraightToSpiral = 0x1,
    KEY_SpiralToArc = 0x2,
    KEY_ArcToSpiral = 0x4,
    KEY_SpiralToStraight = 0x8,
    KEY_SpiralToSpiral = 0x10,
    KEY_ArcStart = 0x20,
    KEY_ArcToStraight = 0x40,
    KEY_StraightToStraight = 0x80,
    KEY_Interval = 0x100,
    KEY_VerticalStart = 0x200,
    KEY_VerticalEnd = 0x400,
    KEY_VerticalPI = 0x800,
    KEY_AlignmentStart = 0x1000,
    KEY_AlignmentEnd = 0x2000,
    KEY_TemplatePlacement = 0x4000,
    KEY_SuperelevationStart = 0x8000,
    KEY_WideningStart = 0x10000,
    KEY_WideningEnd = 0x20000,
    KEY_SuperelevationEnd = 0x40000,
    KEY_MaximumWidening = 0x80000,
    KEY_FullSuperelevation = 0x100000,
    KEY_Sag = 0x200000,
    KEY_Summit = 0x400000,
    KEY_StationEquation = 0x800000,
    KEY_SuperelevationBreak = 0x1000000,
    KEY_SuperelevationRateChange = 0x2000000,
};

class RoadElement {
public:
    virtual ~RoadElement() = default;
    // Reads the element's fields from its node of a road file.
    virtual void ReadXml(const xml_Node* node) = 0;
    // A new element tree owned by the caller, or null when the element writes nothing.
    virtual xmlout_element* WriteXml() const = 0;
    virtual bool operator==(const RoadElement& other) const = 0;
    // Copies the type code.
    virtual RoadElement& operator=(const RoadElement& other);
    // A new heap copy owned by the caller.
    virtual RoadElement* Clone() const = 0;

    int32_t GetType() const { return Type; }

protected:
    RoadElement() = default;
    explicit RoadElement(int32_t type) : Type(type) {}
    RoadElement(const RoadElement& other) = default;

    int32_t Type = 0;
};

// The element as a T when its type code is T's, else null (also for null).
template <class T>
T* road_CastByCode(RoadElement* element) {
    return element && element->GetType() == T::TypeCode ? static_cast<T*>(element) : nullptr;
}
template <class T>
const T* road_CastByCode(const RoadElement* element) {
    return element && element->GetType() == T::TypeCode ? static_cast<const T*>(element) : nullptr;
}

// Grows an owning table of pointers to 20 slots, then four times its size; the new
// slots hold null. When memory runs out (or the size would pass the 32-bit range) the
// table and its size stay as they were and the answer is false.
template <class T>
bool road_GrowTable(T**& table, int32_t& size) {
    const int64_t wanted = size == 0 ? 20 : static_cast<int64_t>(size) * 4;
    if (wanted > INT32_MAX) return false;
    T** grown = new (std::nothrow) T*[static_cast<size_t>(wanted)];
    if (!grown) return false;
    for (int32_t i = 0; i < size; ++i) grown[i] = table[i];
    for (int64_t i = size; i < wanted; ++i) grown[i] = nullptr;
    delete[] table;
    table = grown;
    size = static_cast<int32_t>(wanted);
    return true;
}

class RoadElementArray {
public:
    RoadElementArray() = default;
    // Exactly as many slots as the source holds elements, each element cloned.
    RoadElementArray(const RoadElementArray& other);
    RoadElementArray& operator=(const RoadElementArray& other);
    virtual ~RoadElementArray();
    // A new list of the same kind with clones of all elements.
    virtual RoadElementArray* Clone() const;

    void Clear();
    int32_t Count() const { return count; }
    int32_t Size() const { return size; }
    // Room for n elements in a list that has no table yet.
    void Reserve(int32_t n);
    bool Grow();
    // Takes the element over and appends it.
    void Add(RoadElement* element);
    // Null out of range.
    RoadElement* At(int32_t i);
    const RoadElement* At(int32_t i) const;
    void RemoveAt(int32_t ndx);
    void ReplaceAt(int32_t ndx, RoadElement* element);
    void ReplaceLast(RoadElement* element);
    void InsertAt(int32_t ndx, RoadElement* element);

protected:
    // Reserves exactly the other's count and appends clones of its elements.
    void CopyFrom(const RoadElementArray& other);

    int32_t size = 0;
    int32_t count = 0;
    RoadElement** elements = nullptr;
};

// The owning list of road documents; Road is the road document class, deleted through
// its virtual destructor.
template <class Road>
class RoadArrayOf {
public:
    RoadArrayOf() = default;
    ~RoadArrayOf() { Clear(); }
    RoadArrayOf(const RoadArrayOf&) = delete;
    RoadArrayOf& operator=(const RoadArrayOf&) = delete;

    void Clear() {
        for (int32_t i = 0; i < count; ++i) delete roads[i];
        delete[] roads;
        roads = nullptr;
        size = count = 0;
    }
    int32_t Count() const { return count; }
    int32_t Size() const { return size; }
    // Takes the road over; one that finds no slot is deleted.
    void Add(Road* road) {
        if (count >= size) road_GrowTable(roads, size);
        if (count >= size) {
            delete road;
            return;
        }
        roads[count++] = road;
    }
    Road* At(int32_t ndx) { return InRange(ndx) ? roads[ndx] : nullptr; }
    const Road* At(int32_t ndx) const { return InRange(ndx) ? roads[ndx] : nullptr; }

private:
    bool InRange(int32_t ndx) const;

    int32_t size = 0;
    int32_t count = 0;
    Road** roads = nullptr;
};

// Reports an index outside [0, count) with the texts of the road list.
bool road_CheckRoadIndex(int32_t ndx, int32_t count);

template <class Road>
bool RoadArrayOf<Road>::InRange(int32_t ndx) const {
    return road_CheckRoadIndex(ndx, count);
}

class GenericRoad;
using RoadArray = RoadArrayOf<GenericRoad>;

// A key station: a continuous internal station and the OR of its KEY_ flags.
class ChainageElement : public RoadElement {
public:
    static constexpr int32_t TypeCode = 16;

    ChainageElement() : RoadElement(TypeCode) {}
    ChainageElement(double station, int32_t flags) : RoadElement(TypeCode), Station(station), Flags(flags) {}
    ChainageElement(const ChainageElement& other) = default;

    // Key stations are never read or written.
    void ReadXml(const xml_Node*) override {}
    xmlout_element* WriteXml() const override { return nullptr; }
    // Same type code, flags and exactly the same station.
    bool operator==(const ChainageElement& other) const { return *this == static_cast<const RoadElement&>(other); }
    bool operator==(const RoadElement& other) const override;
    using RoadElement::operator=;
    RoadElement* Clone() const override { return new ChainageElement(*this); }
    virtual ChainageElement& operator=(const ChainageElement& other);

    static ChainageElement* Cast(RoadElement* element) { return road_CastByCode<ChainageElement>(element); }
    static const ChainageElement* Cast(const RoadElement* element) { return road_CastByCode<ChainageElement>(element); }

    double Station = MATHS_Null;
    int32_t Flags = 0;
};

// Key stations in ascending order, accepted between StartStation and EndStation.
class ChainageElementArray : public RoadElementArray {
public:
    ChainageElementArray() = default;
    ChainageElementArray(const ChainageElementArray& other) = default;
    ChainageElementArray& operator=(const ChainageElementArray& other);
    ChainageElementArray* Clone() const override { return new ChainageElementArray(*this); }

    ChainageElement* At(int32_t i) { return ChainageElement::Cast(RoadElementArray::At(i)); }
    const ChainageElement* At(int32_t i) const { return ChainageElement::Cast(RoadElementArray::At(i)); }
    void InsertAt(int32_t ndx, RoadElement* element) { RoadElementArray::InsertAt(ndx, element); }

    double GetStartStation() const { return StartStation; }
    double GetEndStation() const { return EndStation; }
    void SetStartStation(double station) { StartStation = station; }
    void SetEndStation(double station) { EndStation = station; }

    // Inserts the key station in order, or ORs its flags into one equal within 0.0005.
    // Stations outside the bounds (by more than 0.0005) are not taken.
    void AddStation(double station, int32_t flags);

private:
    double StartStation = MATHS_Null;
    double EndStation = MATHS_Null;
};
