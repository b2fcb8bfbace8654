// The job index's coordinates of every point of a large job: 100,000 observations, half
// GNSS points (WGS84) and half circle readings from 100 station setups, each with three
// backsights whose residuals the neighbourhood adjustment spreads over its readings;
// WGS-84, a three-parameter datum and a transverse Mercator. The job is written, opened
// again, set up, and every point's coordinates computed once. Prints points/s and the
// peak memory of the process.
//   jobindex_coords_bench [folder]
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "cogo/transfrm.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/dbobjects.h"
#include "records/conventional.h"
#include "records/coordsysdefs.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/traverse.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

long PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

constexpr int kObservations = 100000;
constexpr int kStations = 100;
constexpr int kReadingsPerStation = kObservations / 2 / kStations;
constexpr double kN0 = 5200000.0, kE0 = 500000.0;
constexpr double kDeg = CONSTANT_Pi / 180.0;

std::string Named(const char* prefix, int number) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%d", prefix, number);
    return text;
}

DBID AppendPoint(dbAccess* access, const std::string& name, int method, const db_Measurement& measurement) {
    db_Observation point;
    point.PointName = name.c_str();
    point.Method = method;
    point.Classification = db_PointClassification(dbentity_Classification(db_PointClassification::Normal));
    access->BeginGroupNested();
    const DBID id = dbRecord_Append(access, &point);
    access->AddAction(DBMODEL_Apply, id, &measurement);
    access->EndGroupNested();
    return id;
}

DBID GridPoint(dbAccess* access, const std::string& name, double north, double east) {
    db_Grid grid;
    grid.Grid = coord_CorrectedGrid(north, east, 100.0);
    return AppendPoint(access, name, DBENTITY_Coordinates, grid);
}

void WriteCoordinateSystem(dbAccess* access) {
    db_Ellipsoid ellipsoid;
    ellipsoid.Ellipsoid = coordsys_WGS84Ellipsoid;
    dbRecord_Append(access, &ellipsoid);
    db_Datum datum;
    datum.Datum.DatumType = COORDSYS_ThreeParameter;
    datum.Datum.TranslationX = 10.0;
    datum.Datum.TranslationY = -20.0;
    datum.Datum.TranslationZ = 30.0;
    dbRecord_Append(access, &datum);
    db_Projection projection;
    projection.Projection.ProjectionType = COORDSYS_TransverseMercator;
    projection.Projection.OriginLocal = coord_Local(0.0, 9.0 * kDeg, 0.0);
    projection.Projection.OriginGrid = coord_CorrectedGrid(0.0, 500000.0, 0.0);
    projection.Projection.Scale = 0.9996;
    projection.Projection.GroundScale.ProjectLocation.Height = 0.0;
    dbRecord_Append(access, &projection);
    db_Corrections corrections;
    corrections.Corrections.Distances = COORDSYS_GridDistance;
    corrections.Corrections.NeighbourhoodAdjustment = true;
    corrections.Corrections.WeightExponent = COORDSYS_WeightExponentTwoPointZero;
    dbRecord_Append(access, &corrections);
}

// A station on a 1 km grid, three backsights 200 m away with residuals, and its readings
// out to 150 m.
void WriteStation(dbAccess* access, int s, DBID instrument, DBID atmosphere, DBID target) {
    const double north = kN0 + 1000.0 * (s / 10), east = kE0 + 1000.0 * (s % 10);
    const std::string name = Named("S", s);
    GridPoint(access, name, north, east);
    for (int b = 0; b < 3; ++b)
        GridPoint(access, Named((name + "B").c_str(), b), north + 200.0 * std::cos(2.0 * b),
                  east + 200.0 * std::sin(2.0 * b));
    db_TotalStation station;
    station.StationName = name.c_str();
    station.TheodoliteHeight.Height = 1.5;
    station.Instrument = instrument;
    station.Atmosphere = atmosphere;
    station.NumberOfUniqueBacksights = 3;
    const DBID stationId = dbRecord_Append(access, &station);
    db_TotalBackBearing backBearing;
    backBearing.Station = name.c_str();
    backBearing.BackSight = Named((name + "B").c_str(), 0).c_str();
    backBearing.F1HorzCircle = 0.0;
    const DBID backBearingId = dbRecord_Append(access, &backBearing);
    for (int b = 0; b < 3; ++b) {
        db_StationSetupResiduals residuals;
        residuals.PointName = Named((name + "B").c_str(), b).c_str();
        residuals.Backsight = true;
        residuals.Grid = coord_CorrectedGrid(north + 200.0 * std::cos(2.0 * b), east + 200.0 * std::sin(2.0 * b), 100.0);
        residuals.GridResidual = coord_GridDeltas(0.002 * (b - 1), -0.003 * (b - 1), 0.0);
        dbRecord_Append(access, &residuals);
    }
    for (int r = 0; r < kReadingsPerStation; ++r) {
        db_Circle circle;
        circle.Circle.HorzCircle = 0.01 * r;
        circle.Circle.VertCircle = 1.55;
        circle.Circle.EDMDistance = 10.0 + 0.28 * r;
        circle.Circle.Face = COORD_Face1;
        circle.Station = stationId;
        circle.Target = target;
        circle.BackBearing = backBearingId;
        circle.CreatedView = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances |
                             COORDSYS_CogoEllipsoidHeights;
        AppendPoint(access, Named((name + "R").c_str(), r), DBENTITY_DirectReading, circle);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/jobindex_coords_bench.job";
    std::remove(path.c_str());
    transfrm_Register();
    {
        JobDatabase job;
        if (!job.Create(Str(path.c_str()), "Bench", true)) return 1;
        dbAccess* access = job.GetAccess();
        access->SetAutoGroup();
        const auto start = Clock::now();
        WriteCoordinateSystem(access);
        db_TotalInstrument instrument;
        db_TotalAtmosphere atmosphere;
        atmosphere.ApplyCurvature = atmosphere.ApplyRefraction = false;
        db_Target target;
        target.Target.TargetHeightData.Height = 1.8;
        const DBID instrumentId = dbRecord_Append(access, &instrument);
        const DBID atmosphereId = dbRecord_Append(access, &atmosphere);
        const DBID targetId = dbRecord_Append(access, &target);
        for (int s = 0; s < kStations; ++s) {
            WriteStation(access, s, instrumentId, atmosphereId, targetId);
            for (int g = 0; g < kObservations / 2 / kStations; ++g) {
                db_WGS84 wgs;
                wgs.WGS84 = coord_WGS84((47.0 + 0.0001 * g) * kDeg, (9.0 + 0.01 * s) * kDeg, 400.0);
                AppendPoint(access, Named("G", s * 1000 + g), DBENTITY_GpsRTKCtrlPoint, wgs);
            }
            if (s % 10 == 9) access->PurgeSuperseded();
        }
        job.Close();
        std::printf("written: %d observations, %d stations in %.2f s\n", kObservations, kStations, Seconds(start));
    }

    JobDatabase job;
    auto start = Clock::now();
    if (!job.Open(Str(path.c_str()), false)) return 1;
    dbJobIndex* index = job.GetJobIndex();
    int error = 0, loadFlags = 0;
    Str names[DBJOBINDEX_FileNameCount];
    if (!index->SetUpCoordinateSystem(error, loadFlags, names)) {
        std::printf("set-up failed: %d\n", error);
        return 1;
    }
    std::printf("open and set up: %.2f s\n", Seconds(start));

    start = Clock::now();
    int points = 0, resolved = 0;
    for (int s = 0; s < index->GetObjectCount(); ++s) {
        ObservationObject* point = ObservationObject::Cast(index->GetObject(s));
        if (!point || point->GetRecordType() != DATABASE_ObservationRecord) continue;
        ++points;
        if (!point->GetCoordinates().IsHorizontalNull()) ++resolved;
    }
    const double seconds = Seconds(start);
    std::printf("coordinates of %d points (%d resolved): %.2f s, %.0f points/s; peak memory %ld MB\n", points,
                resolved, seconds, points / seconds, PeakMegabytes());
    job.Close();
    std::remove(path.c_str());
    return 0;
}
