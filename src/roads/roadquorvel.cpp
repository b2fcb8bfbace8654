#include "roads/roadquorvel.h"

#include "cogo/approx.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "records/coordsysdefs.h"

namespace {
constexpr const char* kModule = "RoadQuorvel";

transfrm_Class* CurrentConverterTransformation = nullptr;
}  // namespace

void road_CreateConverterTransformation(const db_Corrections& corrections) {
    road_DeleteConverterTransformation();
    // Roads work in the job's cogo grid alone, so the corrections are the only component;
    // a failure shows through the report and the null pointer, not the code.
    int32_t error = 0;
    CurrentConverterTransformation =
        transfrm_Create(TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr, &corrections.Corrections,
                        TRANSFRM_ConversionLoadFlags, &error);
    QZ_ASSERT_TEXT(CurrentConverterTransformation != nullptr, "CurrentConverterTransformation != NULL");
}

void road_DeleteConverterTransformation() {
    delete CurrentConverterTransformation;
    CurrentConverterTransformation = nullptr;
}

transfrm_Class* road_GetConverterTransformation() {
    QZ_ASSERT_TEXT(CurrentConverterTransformation != nullptr, "CurrentTransform != NULL");
    return CurrentConverterTransformation;
}

RoadElement& RoadElement::operator=(const RoadElement& other) {
    if (this != &other) Type = other.Type;
    return *this;
}

RoadElementArray::RoadElementArray(const RoadElementArray& other) { CopyFrom(other); }

RoadElementArray& RoadElementArray::operator=(const RoadElementArray& other) {
    if (this == &other) return *this;
    Clear();
    CopyFrom(other);
    return *this;
}

void RoadElementArray::CopyFrom(const RoadElementArray& other) {
    Reserve(other.count);
    for (int32_t i = 0; i < other.count; ++i) Add(other.elements[i] ? other.elements[i]->Clone() : nullptr);
}

RoadElementArray::~RoadElementArray() { Clear(); }

RoadElementArray* RoadElementArray::Clone() const { return new RoadElementArray(*this); }

void RoadElementArray::Clear() {
    for (int32_t i = 0; i < count; ++i) delete elements[i];
    delete[] elements;
    elements = nullptr;
    size = count = 0;
}

void RoadElementArray::Reserve(int32_t n) {
    if (n < 1) return;
    // Reserving on a list that has a table would lose it.
    const bool empty = QZ_ASSERT(size == 0);
    if (!(QZ_ASSERT_TEXT(elements == nullptr, "elements == NULL") && empty)) return;
    elements = new (std::nothrow) RoadElement*[static_cast<size_t>(n)];
    if (!elements) return;
    for (int32_t i = 0; i < n; ++i) elements[i] = nullptr;
    size = n;
    count = 0;
}

bool RoadElementArray::Grow() { return road_GrowTable(elements, size); }

void RoadElementArray::Add(RoadElement* element) {
    if (count >= size) Grow();
    if (count >= size) {
        delete element;
        return;
    }
    elements[count++] = element;
}

RoadElement* RoadElementArray::At(int32_t i) {
    const bool below = QZ_ASSERT(i < count);
    if (!(QZ_ASSERT(i >= 0) && below)) return nullptr;
    return elements[i];
}

const RoadElement* RoadElementArray::At(int32_t i) const { return const_cast<RoadElementArray*>(this)->At(i); }

void RoadElementArray::RemoveAt(int32_t ndx) {
    const bool above = QZ_ASSERT(ndx >= 0);
    if (!(QZ_ASSERT(ndx < count) && above)) return;
    --count;
    delete elements[ndx];
    for (int32_t i = ndx; i < count; ++i) elements[i] = elements[i + 1];
    elements[count] = nullptr;
}

void RoadElementArray::ReplaceAt(int32_t ndx, RoadElement* element) {
    const bool above = QZ_ASSERT(ndx >= 0);
    if (!(QZ_ASSERT(ndx < count) && above)) {
        delete element;
        return;
    }
    delete elements[ndx];
    elements[ndx] = element;
}

void RoadElementArray::ReplaceLast(RoadElement* element) {
    // An empty list has no last slot (count - 1 would be -1).
    const bool hasTable = QZ_ASSERT(size != 0);
    if (!(QZ_ASSERT_TEXT(count > 0 && elements[count - 1] != nullptr, "elements[count-1] != NULL") && hasTable)) {
        delete element;
        return;
    }
    delete elements[count - 1];
    elements[count - 1] = element;
}

void RoadElementArray::InsertAt(int32_t ndx, RoadElement* element) {
    const bool above = QZ_ASSERT(ndx >= 0);
    if (!(QZ_ASSERT(ndx <= count) && above)) {
        delete element;
        return;
    }
    if (count + 1 >= size) Grow();
    if (count + 1 >= size) {
        delete element;
        return;
    }
    for (int32_t i = count; i > ndx; --i) elements[i] = elements[i - 1];
    elements[ndx] = element;
    ++count;
}

bool road_CheckRoadIndex(int32_t ndx, int32_t count) {
    const bool below = QZ_ASSERT(ndx < count);
    return QZ_ASSERT(ndx >= 0) && below;
}

bool ChainageElement::operator==(const RoadElement& other) const {
    const ChainageElement* o = Cast(&other);
    return o && o->Flags == Flags && o->Station == Station;
}

ChainageElement& ChainageElement::operator=(const ChainageElement& other) {
    if (this == &other) return *this;
    Type = other.Type;
    Flags = other.Flags;
    Station = other.Station;
    return *this;
}

ChainageElementArray& ChainageElementArray::operator=(const ChainageElementArray& other) {
    if (this == &other) return *this;
    RoadElementArray::operator=(other);
    StartStation = other.StartStation;
    EndStation = other.EndStation;
    return *this;
}

void ChainageElementArray::AddStation(double station, int32_t flags) {
    if (count == 0) {
        if (approx_Equal(station, APPROX_EqualTo, StartStation) || approx_Equal(station, APPROX_EqualTo, EndStation) ||
            (StartStation < station && station < EndStation))
            Add(new ChainageElement(station, flags));
        return;
    }
    const ChainageElement* first = At(0);
    if (approx_Equal(station, APPROX_EqualTo, StartStation) && first && StartStation < first->Station) {
        InsertAt(0, new ChainageElement(station, flags));
        return;
    }
    if (station < StartStation - APPROX_Delta) return;
    double previous = StartStation;
    for (int32_t i = 0; i < count; ++i) {
        ChainageElement* e = At(i);
        if (!e) continue;  // only key stations take part
        if (approx_Equal(station, APPROX_EqualTo, e->Station)) {
            e->Flags |= flags;
            return;
        }
        if (previous < station && e->Station > station) {
            InsertAt(i, new ChainageElement(station, flags));
            return;
        }
        previous = e->Station;
    }
    if (station <= EndStation + APPROX_Delta) Add(new ChainageElement(station, flags));
}

double road_GradeFromPercent(double percent) {
    if (maths_IsNull(percent)) return MATHS_Null;
    return maths_ATan(percent / 100);
}
