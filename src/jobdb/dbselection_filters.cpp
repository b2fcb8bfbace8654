// The filters, the merge and the position queries of a selection. Each filter copies
// the items it keeps forward over the ones it drops, keeping their order, so a
// name-sorted selection stays sorted.
//
// Hit tests work on east and north of the objects' grid coordinates; distances are
// compared with the tolerance in the coordinates' own unit.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbobjects.h"
#include "jobdb/dbselection.h"

namespace {
constexpr const char* kModule = "Library/dbselect";

// Below this a line's east or north extent counts as none.
constexpr double kFlat = 1e-10;

bool IsPoint(dbObject* object) { return object && object->GetRecordType() == DATABASE_ObservationRecord; }

// Horizontally inside the bounds; a null coordinate is outside.
bool Inside(double north, double east, double maxNorth, double minNorth, double maxEast, double minEast) {
    if (maths_IsNull(north) || maths_IsNull(east)) return false;
    return minNorth <= north && north <= maxNorth && minEast <= east && east <= maxEast;
}

// Whether the azimuth lies on the span from start to end, which passes azimuth 0 when
// start is not below end.
bool OnSpan(double azimuth, double start, double end) {
    return start < end ? start <= azimuth && azimuth <= end : azimuth >= start || azimuth <= end;
}

bool HitPoint(dbObject* object, const coord_CorrectedGrid& p, double t, int& hitCount) {
    const coord_CorrectedGrid& q = static_cast<ObservationObject*>(object)->GetHorizontalCoordinates();
    if (q.IsHorizontalNull()) return false;
    const double dn = p.North - q.North;
    const double de = p.East - q.East;
    if (dn * dn + de * de > t * t) return false;
    ++hitCount;
    return true;
}

bool HitLine(LineObject* line, const coord_CorrectedGrid& p, double t) {
    const coord_CorrectedGrid& s = line->_Start;
    const coord_CorrectedGrid& e = line->_End;
    if (s.IsHorizontalNull() || e.IsHorizontalNull()) return false;
    const double dx = s.East - e.East;
    const double dy = s.North - e.North;
    // F, the foot of the perpendicular from P.
    double fe, fn;
    if (std::fabs(dx) < kFlat) {
        fe = s.East;
        fn = p.North;
    } else if (std::fabs(dy) < kFlat) {
        fe = p.East;
        fn = s.North;
    } else {
        const double m = dy / dx;
        const double b = s.North - m * s.East;
        const double m2 = -1.0 / m;
        const double b2 = p.North - m2 * p.East;
        fe = (b2 - b) / (m + 1.0 / m);
        fn = b2 + m2 * fe;
    }
    if (fe < std::min(s.East, e.East) - t || fe > std::max(s.East, e.East) + t) return false;
    if (fn < std::min(s.North, e.North) - t || fn > std::max(s.North, e.North) + t) return false;
    if (std::sqrt((p.East - fe) * (p.East - fe) + (p.North - fn) * (p.North - fn)) > t) return false;
    if (!line->HasFlag(DBOBJECT_EndFlagHeld)) {
        // A line without extent has its foot at the start.
        const bool alongEast = std::fabs(dy) < std::fabs(dx);
        const double extent = alongEast ? std::fabs(dx) : std::fabs(dy);
        const double along = alongEast ? std::fabs(s.East - fe) : std::fabs(s.North - fn);
        line->_NearStart = extent > 0.0 ? along / extent < 0.5 : true;
    }
    return true;
}

bool HitArc(ArcObject* arc, const coord_CorrectedGrid& p, const dbJobIndex* owner, double t) {
    const coord_CorrectedGrid& c = arc->_Centre;
    if (c.IsHorizontalNull() || maths_IsNull(arc->_Radius)) return false;
    // Without a start or a sweep there is no span to be on.
    if (maths_IsNull(arc->_StartAzimuth) || maths_IsNull(arc->_DeltaAngle)) return false;
    const double de = maths_Subtract(p.East, c.East);
    const double dn = maths_Subtract(p.North, c.North);
    const double d = maths_Sqrt(maths_Add(maths_Square(de), maths_Square(dn)));
    const double off = maths_Abs(maths_Subtract(d, arc->_Radius));
    if (maths_IsNull(off) || off > t) return false;
    const int code = dbJobIndex_GridOrientation(owner);
    double az;
    switch (code) {
    case 0:
    case 1: az = maths_ATan2(de, dn); break;
    case 2:
    case 3: az = maths_ATan2(maths_Negate(de), dn); break;
    default: QZ_FAIL("0"); return false;
    }
    // At the centre itself there is no azimuth to place on the span.
    if (maths_IsNull(az)) return false;
    coord_NormaliseAzimuth(&az);
    const double start = dbJobIndex_OrientAzimuth(code, dbJobIndex_SouthAzimuths(owner), arc->_StartAzimuth);
    double end = start + arc->_DeltaAngle;
    coord_NormaliseAzimuth(&end);
    const double half = arc->_DeltaAngle / 2;
    bool near;
    if (start < end) {
        if (az < start || az > end) return false;
        near = half > az - start;
    } else if (az >= start) {
        near = half > az - start;
    } else if (az <= end) {
        near = half < end - az;
    } else {
        return false;
    }
    if (!arc->HasFlag(DBOBJECT_EndFlagHeld)) arc->_NearStart = near != (arc->_Reversed != 0);
    return true;
}

bool ArcInside(ArcObject* arc, double maxNorth, double minNorth, double maxEast, double minEast, bool south,
               int code) {
    const coord_CorrectedGrid& c = arc->_Centre;
    const double r = arc->_Radius;
    if (maths_IsNull(c.North) || maths_IsNull(c.East) || maths_IsNull(r) || maths_IsNull(arc->_DeltaAngle) ||
        maths_IsNull(arc->_StartAzimuth))
        return false;
    const double s = arc->_StartAzimuth;
    const double e = s + arc->_DeltaAngle;
    double start, end;
    bool turn;
    switch (code) {
    case 0: start = s, end = e, turn = south; break;
    case 1: start = s, end = e, turn = !south; break;
    case 2: start = -e, end = -s, turn = south; break;
    case 3: start = -e, end = -s, turn = !south; break;
    default: QZ_FAIL("0"); return false;
    }
    if (turn) {
        start += CONSTANT_Pi;
        end += CONSTANT_Pi;
    }
    coord_NormaliseAzimuth(&start);
    coord_NormaliseAzimuth(&end);
    auto inside = [&](double angle) {
        return Inside(c.North + r * std::cos(angle), c.East + r * std::sin(angle), maxNorth, minNorth, maxEast, minEast);
    };
    // The arc's outermost points lie at the quadrant directions it passes.
    for (double direction : {0.0, CONSTANT_PiOverTwo, CONSTANT_Pi, 3 * CONSTANT_PiOverTwo})
        if (OnSpan(direction, start, end) && !inside(direction)) return false;
    return inside(start) && inside(end);
}
}  // namespace

// ---------------------------------------------------------------- filters

template <class Keep>
int dbSelection::KeepIf(Keep keep) {
    const int before = _ItemCount;
    int kept = 0;
    for (int i = 0; i < before; ++i) {
        const dbSelectionItem item = Load(i);
        if (keep(i, item)) Store(kept++, item);
    }
    _ItemCount = kept;
    return before;
}

template <class Keep>
int dbSelection::KeepObjectsIf(Keep keep) {
    return KeepIf([&](int, const dbSelectionItem& item) {
        dbObject* object = item.GetReference().GetObject();
        return object && keep(object);
    });
}

dbSelection& dbSelection::FilterByItemFlag(uint8_t mask, uint8_t value) {
    KeepIf([&](int, const dbSelectionItem& item) { return (item.Flag & mask) == value; });
    return *this;
}

int dbSelection::FilterByObjectFlags(uint16_t mask, uint16_t value) {
    return KeepObjectsIf([&](dbObject* object) { return (object->GetFlags() & mask) == value; });
}

int dbSelection::FilterByTriple(const dbFilterTriple& triple) {
    _LastFilter = triple;
    return KeepObjectsIf([&](dbObject* object) {
        return (object->GetKind() & triple.Kind) != 0 && (object->GetCategory() & triple.Category) != 0 &&
               (object->GetStatusBits() & triple.Status) != 0;
    });
}

void dbSelection::FilterByCode(const char* code) {
    Str wanted(code ? code : "");
    wanted.MakeUpper();
    KeepObjectsIf([&](dbObject* object) {
        Str own = object->GetCode();
        own.MakeUpper();
        return own == wanted;
    });
}

dbSelection& dbSelection::FilterByNameSpan(const char* first, const char* last) {
    bool inside = false;
    KeepObjectsIf([&](dbObject* object) {
        const char* name = object->GetName();
        if (!name) name = "";
        if (!inside && first && std::strcmp(name, first) == 0) inside = true;
        if (inside && last && std::strcmp(name, last) == 0) {
            inside = false;
            return true;
        }
        return inside;
    });
    return *this;
}

void dbSelection::FilterNameRange(const char* from, const char* to) {
    const Str low(from ? from : "");
    const Str high(to ? to : "");
    KeepObjectsIf([&](dbObject* object) {
        if (!IsPoint(object)) return false;
        const Str name(object->GetName());
        return string_CompareNatural(low, name) < 1 && string_CompareNatural(name, high) < 1;
    });
    SortNatural();
}

int dbSelection::FilterHasHorizontal() {
    return KeepObjectsIf(
        [](dbObject* object) { return IsPoint(object) && static_cast<ObservationObject*>(object)->HasHorizontal(); });
}

dbSelection& dbSelection::FilterHasCoordinates() {
    KeepObjectsIf([](dbObject* object) {
        if (!IsPoint(object)) return false;
        ObservationObject* point = static_cast<ObservationObject*>(object);
        return point->HasHorizontal() || point->HasVertical();
    });
    return *this;
}

int dbSelection::DropInvalid() {
    const int before = KeepIf([](int, const dbSelectionItem& item) { return item.GetReference().IsValid(); });
    return before - _ItemCount;
}

int dbSelection::DropDeleted() {
    const int before = KeepObjectsIf([](dbObject* object) { return !object->IsDeleted(); });
    return before - _ItemCount;
}

int dbSelection::DropRemoved() {
    return KeepObjectsIf([](dbObject* object) { return !object->HasFlag(DBOBJECT_Removed); });
}

int dbSelection::DropHiddenMeanTurnedAngles() {
    return KeepObjectsIf([](dbObject* object) {
        if (!IsPoint(object)) return true;
        const ObservationObject* point = static_cast<ObservationObject*>(object);
        return !(point->GetClassification().IsMTA() && point->GetMethod() == DBENTITY_MeanTurnedAngleHidden);
    });
}

int dbSelection::Merge(int itemNum, const dbSelection& other) {
    const int count = other._ItemCount;
    if (!HasRoomFor(_ItemCount + count)) return count;
    std::vector<uint32_t> present;
    present.reserve(static_cast<size_t>(_ItemCount) + count);
    for (int i = 0; i < _ItemCount; ++i) present.push_back(Load(i).Reference);
    std::sort(present.begin(), present.end());
    int at = itemNum >= 0 && itemNum < _ItemCount ? itemNum : -1;
    for (int i = 0; i < count; ++i) {
        const dbSelectionItem item = other.Load(i);
        const auto slot = std::lower_bound(present.begin(), present.end(), item.Reference);
        if (slot != present.end() && *slot == item.Reference) continue;
        present.insert(slot, item.Reference);
        if (at >= 0) AddItemAt(at++, item);
        else AddItem(item);
    }
    _SortedByName = false;
    return count;
}

// ---------------------------------------------------------------- positions

int dbSelection::NearestItem(const coord_CorrectedGrid& position) const {
    if (position.IsHorizontalNull()) return -1;
    int nearest = -1;
    double best = 0.0;
    for (int i = 0; i < _ItemCount; ++i) {
        dbObject* object = Load(i).GetReference().GetObject();
        if (!IsPoint(object)) continue;
        const coord_CorrectedGrid& q = static_cast<ObservationObject*>(object)->GetHorizontalCoordinates();
        if (q.IsHorizontalNull()) continue;
        const double dn = position.North - q.North;
        const double de = position.East - q.East;
        const double d2 = dn * dn + de * de;
        if (nearest < 0 || d2 < best) {
            nearest = i;
            best = d2;
        }
    }
    return nearest;
}

bool dbSelection::HitTest(dbObject* object, const coord_CorrectedGrid& position, const dbJobIndex* owner,
                          double tolerance, int& hitCount) {
    if (!object) return false;
    switch (object->GetRecordType()) {
    case DATABASE_ObservationRecord: return HitPoint(object, position, tolerance, hitCount);
    case DATABASE_LineRecord: return HitLine(static_cast<LineObject*>(object), position, tolerance);
    case DATABASE_ArcRecord: return HitArc(static_cast<ArcObject*>(object), position, owner, tolerance);
    case DBOBJECT_RoadType: {
        dbIndexRoad* road = static_cast<RoadObject*>(object)->GetRoad();
        return road && road->HitTest(coord_CorrectedGrid(position), tolerance);
    }
    case DBOBJECT_GroupType: {
        GroupObject* group = static_cast<GroupObject*>(object);
        const int count = group->GetChildCount();
        for (int child = 0; child < count; ++child) {
            if (!HitTest(group->GetChild(child), position, owner, tolerance, hitCount)) continue;
            if (!group->HasFlag(DBOBJECT_EndFlagHeld) && count > 1) SetNearStart(group, count / 2 >= child + 1);
            return true;
        }
        return false;
    }
    default: return false;
    }
}

void dbSelection::SelectNear(const coord_CorrectedGrid& position, double tolerance, bool pointsIfOne) {
    int hitCount = 0;
    KeepIf([&](int i, const dbSelectionItem& item) {
        dbObject* object = item.GetReference().GetObject();
        return object && HitTest(object, position, GetJobIndex(i), tolerance, hitCount);
    });
    if (pointsIfOne && hitCount == 1)
        KeepIf([](int, const dbSelectionItem& item) { return IsPoint(item.GetReference().GetObject()); });
}

bool dbSelection::IsInRectangle(dbObject* object, double maxNorth, double minNorth, double maxEast, double minEast,
                                bool southAzimuths, int orientationCode) {
    if (!object) return false;
    switch (object->GetRecordType()) {
    case DATABASE_ObservationRecord: {
        const coord_CorrectedGrid& q = static_cast<ObservationObject*>(object)->GetHorizontalCoordinates();
        return Inside(q.North, q.East, maxNorth, minNorth, maxEast, minEast);
    }
    case DATABASE_LineRecord: {
        const LineObject* line = static_cast<LineObject*>(object);
        return Inside(line->_Start.North, line->_Start.East, maxNorth, minNorth, maxEast, minEast) &&
               Inside(line->_End.North, line->_End.East, maxNorth, minNorth, maxEast, minEast);
    }
    case DATABASE_ArcRecord:
        return ArcInside(static_cast<ArcObject*>(object), maxNorth, minNorth, maxEast, minEast, southAzimuths,
                         orientationCode);
    case DBOBJECT_RoadType: {
        const dbIndexRoad* road = static_cast<RoadObject*>(object)->GetRoad();
        return road && road->IsInside(maxNorth, minNorth, maxEast, minEast);
    }
    case DBOBJECT_GroupType: {
        const GroupObject* group = static_cast<GroupObject*>(object);
        for (int child = 0; child < group->GetChildCount(); ++child)
            if (!IsInRectangle(group->GetChild(child), maxNorth, minNorth, maxEast, minEast, southAzimuths,
                               orientationCode))
                return false;
        return true;
    }
    default: return false;
    }
}

void dbSelection::SelectInRectangle(const coord_CorrectedGrid& corner1, const coord_CorrectedGrid& corner2,
                                    bool southAzimuths, int orientationCode) {
    const double maxNorth = maths_Max(corner1.North, corner2.North);
    const double minNorth = maths_Min(corner1.North, corner2.North);
    const double maxEast = maths_Max(corner1.East, corner2.East);
    const double minEast = maths_Min(corner1.East, corner2.East);
    KeepObjectsIf([&](dbObject* object) {
        return IsInRectangle(object, maxNorth, minNorth, maxEast, minEast, southAzimuths, orientationCode);
    });
}

void dbSelection::SetNearStart(dbObject* object, bool value) {
    if (LineObject* line = LineObject::Cast(object)) {
        line->_NearStart = value;
    } else if (ArcObject* arc = ArcObject::Cast(object)) {
        arc->_NearStart = value;
    } else if (GroupObject* group = GroupObject::Cast(object)) {
        group->_NearStart = value;
        for (int child = 0; child < group->GetChildCount(); ++child) SetNearStart(group->GetChild(child), value);
    }
}

// ---------------------------------------------------------------- same-named objects and best points

void dbSelection::GatherSameNamed(dbIndex* index, bool allIndexes) {
    if (!QZ_ASSERT_TEXT(index != nullptr, "index")) return;
    constexpr int kYieldEvery = 300;
    dbSelection gathered;
    // How often each reference occurs in `gathered`, for the test of a reference
    // already gathered.
    std::unordered_map<uint32_t, int> present;
    auto put = [&](int at, const dbObjectRef& ref) {
        const uint32_t old = gathered.Load(at).Reference;
        if (old != dbObjectRef().Pack() && --present[old] == 0) present.erase(old);
        gathered.Store(at, dbSelectionItem(ref));
        ++present[ref.Pack()];
    };
    auto append = [&](const dbObjectRef& ref) {
        if (gathered.AddItemMarkUnsorted(dbSelectionItem(ref)) >= 0) ++present[ref.Pack()];
    };
    const dbJobIndex* owner = index->GetOwner();
    const int highest = dbIndex::GetHighestIndexNumber();
    for (int i = 0; i < _ItemCount; ++i) {
        if (i % kYieldEvery == 0) Environment::Get()->Yield();
        const dbObjectRef ref = Load(i).GetReference();
        if (!allIndexes && ref.GetIndex() != index) continue;
        if (present.count(ref.Pack())) continue;
        dbObject* object = ref.GetObject();
        if (!object) continue;
        const bool point = IsPoint(object);
        const int placeholder = point ? gathered.AddItemMarkUnsorted(dbSelectionItem(dbObjectRef())) : -1;
        if (point && placeholder < 0) continue;
        const char* name = object->GetName();
        const int type = object->GetRecordType();
        auto visit = [&](dbIndex* x) {
            const uint32_t bestBit = x == index ? 0x4 : 0x200;
            const dbSelection& names = x->GetNameSelection();
            int item = -1;
            for (bool found = names.Search(name, type, 0, &item); found; found = names.Search(name, type, 2, &item)) {
                const dbObjectRef match = names.GetReference(item);
                dbObject* matched = x->GetObject(match.GetSubscript());
                if (point && matched && (matched->GetStatusBits() & bestBit)) put(placeholder, match);
                else append(match);
            }
        };
        visit(index);
        // An index attached to its own owner is not visited twice.
        for (int number = 0; allIndexes && owner && number <= highest; ++number) {
            dbIndex* attached = owner->GetAttachedIndex(number);
            if (attached && attached != index) visit(attached);
        }
    }
    std::swap(_Items, gathered._Items);
    std::swap(_Allocated, gathered._Allocated);
    std::swap(_ItemCount, gathered._ItemCount);
}

bool dbSelection::ReplaceByBestPoints() {
    bool changed = false;
    int i = 0;
    while (i < _ItemCount) {
        const dbSelectionItem item = Load(i);
        dbObject* object = item.GetReference().GetObject();
        if (!IsPoint(object) || object->IsBestInIndex()) {
            ++i;
            continue;
        }
        dbJobIndex* job = GetJobIndex(i);
        const dbObjectRef best = job ? job->FindPointReference(object->GetName()) : dbObjectRef();
        if (best.IsNull()) {
            // The next item moves into this place and is visited in turn.
            RemoveItem(i);
            changed = true;
            continue;
        }
        const dbSelectionItem replacement(best);
        if (replacement.Flag != item.Flag || replacement.Reference != item.Reference) {
            SetItem(i, replacement);
            changed = true;
        }
        ++i;
    }
    return !changed;
}
