// The neighbourhood adjustment of computed grids: the residuals that a station setup
// (for conventional observations) or the calibration (for GNSS positions) left at its
// points are spread to the points around them, as the inverse-distance weighted mean
// with weights d^-p. Fewer than three points give no shift; a point lying on a
// residual point takes that residual exactly.
#include <cmath>
#include <memory>
#include <vector>

#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "records/conventional.h"
#include "records/precisioncoding.h"
#include "records/traverse.h"

namespace {

constexpr const char* kModule = "QZ/position";

bool Present(double a, double b) { return !maths_IsNull(a) && !maths_IsNull(b); }

class WeightedResiduals {
public:
    WeightedResiduals(const coord_CorrectedGrid& here, double exponent) : _Here(here), _Exponent(exponent) {}

    // A residual point; once one lies here, later points count but add nothing.
    void Add(double north, double east, double dNorth, double dEast) {
        ++_Count;
        if (_Exact) return;
        const double d = std::hypot(north - _Here.North, east - _Here.East);
        if (d == 0.0) {
            _Exact = true;
            _SumW = 1.0;
            _SumN = dNorth;
            _SumE = dEast;
            return;
        }
        const double w = std::pow(d, -_Exponent);
        _SumW += w;
        _SumN += w * dNorth;
        _SumE += w * dEast;
    }
    // A point with no residual (the station of a setup). Its weight at distance 0 is
    // unbounded: the mean is then no shift, unless a residual point lies here too.
    void AddFixed(double north, double east) {
        ++_Count;
        if (_Exact) return;
        const double d = std::hypot(north - _Here.North, east - _Here.East);
        if (d == 0.0) _AtFixed = true;
        else _SumW += std::pow(d, -_Exponent);
    }
    bool Result(int gridOrientation, coord_GridDeltas* deltas) const {
        if (_Count <= 2 || !(_SumW > 0.0) || (_AtFixed && !_Exact)) return false;
        double dN = _SumN / _SumW, dE = _SumE / _SumW;
        // Residuals are reckoned in the cogo grid; turn them to the grid's axes.
        if (gridOrientation == COORDSYS_IncreasingSouthWest || gridOrientation == COORDSYS_IncreasingSouthEast)
            dN = -dN;
        if (gridOrientation == COORDSYS_IncreasingSouthWest || gridOrientation == COORDSYS_IncreasingNorthWest)
            dE = -dE;
        *deltas = coord_GridDeltas(dN, dE, MATHS_Null);
        return true;
    }

private:
    coord_CorrectedGrid _Here;
    double _Exponent;
    double _SumW = 0.0, _SumN = 0.0, _SumE = 0.0;
    int _Count = 0;
    bool _Exact = false;
    bool _AtFixed = false;
};

bool AdjustmentApplies(const transfrm_Class* transform, const coord_CorrectedGrid& grid) {
    return transform && transform->Corrections.NeighbourhoodAdjustment && !grid.IsHorizontalNull();
}

}  // namespace

void position_Class::ApplyNeighbourhoodAdjustment(const transfrm_Class* transform) {
    if (HasStationSetup) return;
    coord_GridDeltas deltas;
    if (!NeighbourhoodDeltas(transform, Original, &deltas) || deltas.IsHorizontalNull()) return;
    Grid.North = maths_Add(Grid.North, deltas.dNorth);
    Grid.East = maths_Add(Grid.East, deltas.dEast);
    Status &= ~POSITION_DoneLocal;
}

void position_Class::RemoveNeighbourhoodAdjustment(const transfrm_Class* transform, int32_t originalType) {
    if (HasStationSetup) return;
    coord_GridDeltas deltas;
    if (!NeighbourhoodDeltas(transform, originalType, &deltas) || deltas.IsHorizontalNull()) return;
    Grid.North = maths_Subtract(Grid.North, deltas.dNorth);
    Grid.East = maths_Subtract(Grid.East, deltas.dEast);
}

bool position_Class::NeighbourhoodDeltas(const transfrm_Class* transform, int32_t originalType,
                                         coord_GridDeltas* deltas) {
    deltas->SetNull();
    switch (originalType) {
        case COORD_WGS84Type:
        case COORD_ECEFType:
        case COORD_ECEFGroundType:
        case COORD_ECEFDeltasType: return NeighbourhoodDeltasFromCalibration(transform, deltas);
        case COORD_CircleType:
        case COORD_MTAType: return NeighbourhoodDeltasFromStationSetup(transform, deltas);
        default: return false;
    }
}

bool position_Class::NeighbourhoodDeltasFromStationSetup(const transfrm_Class* transform, coord_GridDeltas* deltas) {
    deltas->SetNull();
    if (!AdjustmentApplies(transform, Grid)) return false;
    dbAccess* database = SearchData ? SearchData->Database : nullptr;
    if (!database) return false;
    DBID location = DBLocationOfStation;
    if (location == NODBID) location = database->GetLastIdOfType(DATABASE_StationRecord);
    if (!QZ_ASSERT_TEXT(location != NODBID, "locationOfCircleStation != NODBID")) return false;
    const db_TotalStation* station = db_TotalStation::Cast(database->GetRecord(location));
    if (!station) return false;
    const bool stationPlus = station->StationType == 2;  // TOTAL_StationSetupPlus
    if (station->NumberOfUniqueBacksights < (stationPlus ? 2u : 3u)) return false;

    WeightedResiduals mean(Grid, coordsys_WeightExponentValue(transform->Corrections.WeightExponent));
    // The names seen grow with the records: every distinct backsight point counts,
    // however many the station announced.
    std::vector<Str> seen;
    if (stationPlus) {
        seen.push_back(station->StationName);
        const std::unique_ptr<position_Class> own(position_Find(SearchData, station->StationName, 1, DefaultNullHeights));
        if (own) {
            const coord_CorrectedGrid at = own->GetGrid(transform);
            if (Present(at.North, at.East)) mean.AddFixed(at.North, at.East);
        }
    }
    for (DBID id = database->GetNextId(location); id != NODBID; id = database->GetNextId(id)) {
        const dbRecord_Class* record = database->GetRecord(id);
        if (!record) continue;
        if (record->GetType() == DATABASE_StationRecord) break;
        const db_StationSetupResiduals* residuals = db_StationSetupResiduals::Cast(record);
        if (!residuals || !residuals->Backsight) continue;
        if (!Present(residuals->Grid.North, residuals->Grid.East) ||
            !Present(residuals->GridResidual.dNorth, residuals->GridResidual.dEast))
            continue;
        bool known = false;
        for (const Str& name : seen) known = known || name == residuals->PointName;
        if (known) continue;
        seen.push_back(residuals->PointName);
        mean.Add(residuals->Grid.North, residuals->Grid.East, residuals->GridResidual.dNorth,
                 residuals->GridResidual.dEast);
    }
    return mean.Result(transform->GridOrientation, deltas);
}

bool position_Class::NeighbourhoodDeltasFromCalibration(const transfrm_Class* transform, coord_GridDeltas* deltas) {
    deltas->SetNull();
    if (!AdjustmentApplies(transform, Grid) || transform->Plane.PlaneType == COORDSYS_NoHorizontal) return false;
    dbAccess* database = SearchData ? SearchData->Database : nullptr;
    const DBID begin = database ? database->GetLastIdOfType(DATABASE_CalibBeginRecord) : NODBID;
    if (begin == NODBID) return false;
    WeightedResiduals mean(Grid, coordsys_WeightExponentValue(transform->Corrections.WeightExponent));
    for (DBID id = database->GetNextId(begin); id != NODBID; id = database->GetNextId(id)) {
        const dbRecord_Class* record = database->GetRecord(id);
        if (!record) continue;
        if (record->GetType() == DATABASE_EndEntityRecord) break;
        const db_CalibPoint* point = db_CalibPoint::Cast(record);
        // Points used in neither horizontal dimension carry no horizontal residual.
        if (!point || point->Status == 0 || point->Status == 1) continue;
        const dbrecord_CalibResiduals& r = point->Residuals;
        if (!Present(r.North, r.East) || !Present(r.DeltaNorth, r.DeltaEast)) continue;
        mean.Add(r.North, r.East, r.DeltaNorth, r.DeltaEast);
    }
    return mean.Result(transform->GridOrientation, deltas);
}
