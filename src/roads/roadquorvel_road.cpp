#include "roads/roadquorvel_road.h"

#include <new>

#include "foundation/environment.h"
#include "foundation/files/path.h"
#include "roads/roadquorvel_rxlwriter.h"
#include "roads/roadquorvel_spiral.h"

namespace {
constexpr const char* kModule = "RoadQuorvel";
constexpr const char* kProjectFolder = "$(ProjectRootDir)\\$(Project)";

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The process-wide road and the flag beside it.
struct StaticRoadHolder {
    QuorvelRoad road;
    bool used = false;
};
StaticRoadHolder* gStaticRoad = nullptr;

struct StaticRoadLifetime {
    StaticRoadLifetime() { road_InitStaticRoad(); }
    ~StaticRoadLifetime() { road_ExitStaticRoad(); }
};

// The start point, alone in one horizontal list, becomes the other list's only entry.
template <class From, class To>
void MoveStartPoint(From& from, To& to, int kind, const char* check) {
    const HorizontalStartPoint* start = from.Count() == 1 ? HorizontalStartPoint::Cast(from.At(0)) : nullptr;
    if (!QZ_ASSERT_TEXT(start, check)) return;
    HorizontalStartPoint* copy = new HorizontalStartPoint(*start);
    copy->SetKind(kind);
    to.Clear();
    to.Add(copy);
    to.Selected = 1;
    from.Clear();
}
}  // namespace

void road_KeepStaticRoad() { static const StaticRoadLifetime lifetime; }

void road_InitStaticRoad() {
    if (!gStaticRoad) gStaticRoad = new (std::nothrow) StaticRoadHolder;
}

void road_ExitStaticRoad() {
    delete gStaticRoad;
    gStaticRoad = nullptr;
}

QuorvelRoad::QuorvelRoad(const QuorvelRoad& other) : GenericRoad() { *this = other; }

QuorvelRoad& QuorvelRoad::operator=(const QuorvelRoad& other) {
    if (this == &other) return *this;
    Name = other.Name;
    Code = other.Code;
    FilePath = other.FilePath;
    FullyLoaded = other.FullyLoaded;
    Loaded = other.Loaded;
    CentreLineOnly = other.CentreLineOnly;
    StationInterval = other.StationInterval;
    Chainages = other.Chainages;
    Templates = other.Templates;
    VerticalAlignment = other.VerticalAlignment;
    HorizontalAlignment = other.HorizontalAlignment;
    HorizontalAlignmentPIs = other.HorizontalAlignmentPIs;
    TemplatePositioning = other.TemplatePositioning;
    Supers = other.Supers;
    StationEquations = other.StationEquations;
    return *this;
}

bool QuorvelRoad::IsValid() const {
    if (!HorizontalAlignment.IsContinuous() || !HorizontalAlignment.IsConsistent() || !VerticalAlignment.IsValid())
        return false;
    if (!TemplatePositioning.IsValid(StartStation(), EndStation())) return false;
    if (!Supers.IsValid(StartStation(), EndStation())) return false;
    if (!StationEquations.IsValid(StartStation(), EndStation())) return false;
    if (!Templates.HasUniqueNames()) return false;
    if (!Templates.ContainsAllNames(TemplatePositioning.GetTemplateNames())) return false;
    return !Templates.HasNegativeDistance();
}

double QuorvelRoad::StationOfPoint(const coord_CorrectedGrid& point) const {
    return HorizontalAlignment.StationOffsetOfPoint(point).Station;
}

void QuorvelRoad::BuildChainageList() {
    if (!CentreLineOnly) return;
    ChainageElementArray list;
    list.SetStartStation(StartStation());
    list.SetEndStation(EndStation());
    AddIntervalStations(list);
    HorizontalAlignment.AddKeyStations(list);
    StationEquations.AddKeyStations(list);
    VerticalAlignment.AddKeyStations(list);
    Chainages.Fill(list);
}

ChainageList* QuorvelRoad::GetChainageList() {
    if (!Chainages.IsFilled()) BuildChainageList();
    return &Chainages;
}

void QuorvelRoad::SetNameFromPath(const Str& text) {
    const int dot = text.FindLastChar('.');
    Name = dot < text.Length() ? text.Left(dot) : text;
}

void QuorvelRoad::SetFileName(const Str& path) {
    FilePath = path;
    for (int i = path.Length() - 1; i >= 0; --i) {
        if (IsPathSeparator(path[i])) {
            SetNameFromPath(path.MidToEnd(i + 1));
            return;
        }
    }
}

bool QuorvelRoad::StartLoad(const Str& path) {
    FullyLoaded = false;
    Loaded = false;
    if (path.IsEmpty()) return false;
    Status = 0;
    FilePath = path_CombineAndExpand(kProjectFolder, path);
    SetNameFromPath(path);
    return true;
}

void QuorvelRoad::SetPath(const Str& path) {
    if (path.IsEmpty()) {
        FilePath = Str();
        return;
    }
    FilePath = path_CombineAndExpand(kProjectFolder, path);
    SetNameFromPath(path);
}

bool QuorvelRoad::IsLoadedFrom(const Str& path) const {
    const int dot = path.FindLastChar('.');
    const Str base = dot < path.Length() ? path.Left(dot) : path;
    return Name == base && FullyLoaded;
}

void QuorvelRoad::Clear() {
    Chainages.Clear();
    VerticalAlignment.Clear();
    HorizontalAlignment.Clear();
    HorizontalAlignmentPIs.Clear();
    TemplatePositioning.Clear();
    Templates.Clear();
    Supers.Clear();
    StationEquations.Clear();
    Code = Str();
    Name = Str();
    FilePath = Str();
}

bool QuorvelRoad::WriteRxlFile(int32_t /*unused*/) {
    if (FilePath.IsEmpty()) return false;
    return WriteRxlFileTo(FilePath);
}

bool QuorvelRoad::WriteRxlFileTo(const Str& path) {
    RxlWriter writer(*this);
    return writer.WriteFile(path);
}

void QuorvelRoad::AddIntervalStations(ChainageElementArray& list) const {
    const double interval = StationInterval;
    const double start = StartStation();
    const double end = EndStation();
    if (maths_IsNull(interval) || maths_IsNull(start) || maths_IsNull(end) || !(interval > 0)) return;

    if (!StationEquations.HasEquations()) {
        double s = start;
        const double r = maths_FMod(s, interval);
        if (r < 0) s -= r;
        else if (r > 0) s += interval - r;
        // A step too small to move the station ends the walk instead of looping.
        for (; s <= end; s += interval) {
            list.RoadElementArray::Add(new ChainageElement(s, KEY_Interval));
            if (s + interval == s) break;
        }
        return;
    }

    const int32_t n = StationEquations.Count();
    int32_t direction = 0;
    double s = start;
    for (int32_t zone = 1; zone <= n + 1; ++zone) {
        const double limit =
            zone <= n ? StationEquations.Get(zone).BackStation : StationEquations.ToDisplayStation(end).Chainage;
        if (!maths_IsNull(limit) && !maths_IsNull(s)) {
            const double r = maths_FMod(s, interval);
            const double step = direction == 1 ? -interval : interval;
            if (direction == 1) {
                if (r < 0) s -= r + interval;
                else if (r > 0) s -= r;
            } else {
                if (r < 0) s -= r;
                else if (r > 0) s += interval - r;
            }
            while (direction == 1 ? s >= limit : s <= limit) {
                EquatedStation displayed(s, zone);
                const double internal = StationEquations.ToInternalStation(&displayed);
                if (!maths_IsNull(internal)) list.AddStation(internal, KEY_Interval);
                if (s + step == s) break;
                s += step;
            }
        }
        if (zone <= n) {
            const StationEquation equation = StationEquations.Get(zone);
            direction = equation.Direction;
            s = equation.AheadStation;
        }
    }
}

void QuorvelRoad::SwitchHorizontalDefinition() {
    // Only a list holding just its start point moves: anything else would read an
    // absent entry or drop the rest of the chain.
    if (HorizontalAlignmentPIs.Count() == 0)
        MoveStartPoint(HorizontalAlignment, HorizontalAlignmentPIs, 1, "HorizontalAlignment.Count() == 1");
    else
        MoveStartPoint(HorizontalAlignmentPIs, HorizontalAlignment, 0, "HorizontalAlignmentPIs.Count() == 1");
}

bool QuorvelRoad::HasSpirals() const {
    for (int32_t i = 0; i < HorizontalAlignment.Count(); ++i) {
        const int32_t type = HorizontalAlignment.RoadElementArray::At(i)->GetType();
        if (type == HorizontalExitSpiral::TypeCode || type == HorizontalEntrySpiral::TypeCode) return true;
    }
    return false;
}

bool QuorvelRoad::VerticalPointsOnHorizontalEnds() const {
    for (int32_t i = 0; i < VerticalAlignment.Count(); ++i) {
        const VerticalPoint* point = road_CastByCode<VerticalPoint>(VerticalAlignment.RoadElementArray::At(i));
        if (!point || !HorizontalAlignment.HasElementEndingAt(point->IntersectionPoint.Station)) return false;
    }
    return true;
}
