// The fixer table: each row names a record type's reference fields by their XML child
// names. Rows are added with the record families that define the classes.
#include "import/writejob_fixers.h"

#include <initializer_list>

#include "import/writejob.h"
#include "records/conventional.h"
#include "records/entities.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "records/localtransform.h"
#include "records/imaging.h"
#include "records/lists.h"
#include "records/measurements.h"
#include "records/stakeoutsettings.h"
#include "records/traverse.h"

namespace {

template <class R>
struct Reference {
    const char* label;
    DBID R::*field;
};

// Resolves the listed fields of a record of class R; another class is left alone.
template <class R>
void Resolve(const JobWriter& writer, dbRecord_Class& record, std::initializer_list<Reference<R>> fields) {
    R* typed = R::Cast(&record);
    if (!typed) return;
    for (const Reference<R>& reference : fields) writer.ResolveReference(reference.label, typed->*reference.field);
}

using MTAResiduals = db_MeanTurnedAngleResiduals;
using SetupResiduals = db_StationSetupResiduals;

using MTA = db_MeanTurnedAngle;

// A point observation owns at most one measurement.
int MeasurementCount(const dbRecord_Class& owner) {
    const db_Observation* observation = db_Observation::Cast(&owner);
    return observation && observation->GetMeasurement() ? 1 : 0;
}

const dbRecord_Class* Measurement(const dbRecord_Class& owner, int) {
    const db_Observation* observation = db_Observation::Cast(&owner);
    return observation ? observation->GetMeasurement() : nullptr;
}

// A tunnel list owns its points.
int TunnelPointCount(const dbRecord_Class& owner) {
    const db_TunnelList* list = db_TunnelList::Cast(&owner);
    return list ? list->GetCount() : 0;
}

const dbRecord_Class* TunnelPoint(const dbRecord_Class& owner, int n) {
    const db_TunnelList* list = db_TunnelList::Cast(&owner);
    return list ? list->GetPoint(n) : nullptr;
}

const writejob_Fixer kFixers[] = {
    {DATABASE_ObservationRecord, WRITEJOB_FixApplyPart, nullptr, MeasurementCount, Measurement},
    {DATABASE_StationRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_TotalStation>(writer, record, {{"Instrument", &db_TotalStation::Instrument},
                                                   {"Atmosphere", &db_TotalStation::Atmosphere}});
     },
     nullptr, nullptr},
    {DATABASE_RemoteObjectRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_RemoteObject>(writer, record, {{"ROBasePointID", &db_RemoteObject::ROBasePointID}});
     },
     nullptr, nullptr},
    {DATABASE_AngleOffsetRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_AngleOffset>(writer, record,
                                 {{"FirstRawObservationTarget", &db_AngleOffset::FirstRawObservationTarget}});
     },
     nullptr, nullptr},
    {DATABASE_ECEFDeltasRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_ECEFDeltas>(writer, record, {{"Reference", &db_ECEFDeltas::Reference},
                                                 {"Antenna", &db_ECEFDeltas::Antenna}});
     },
     nullptr, nullptr},
    {DATABASE_ECEFRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_ECEF>(writer, record, {{"Antenna", &db_ECEF::Antenna}});
     },
     nullptr, nullptr},
    {DATABASE_LaserOffsetRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_LaserOffset>(writer, record,
                                 {{"BasePoint", &db_LaserOffset::BasePoint},
                                  {"LaserHeight", &db_LaserOffset::LaserHeight},
                                  {"TargetHeight", &db_LaserOffset::TargetHeight},
                                  {"MagneticDeclination", &db_LaserOffset::MagneticDeclination}});
     },
     nullptr, nullptr},
    {DATABASE_CircleRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_Circle>(writer, record, {{"Station", &db_Circle::Station},
                                             {"Target", &db_Circle::Target},
                                             {"BackBearing", &db_Circle::BackBearing}});
     },
     nullptr, nullptr},
    {DATABASE_MeanTurnedAngleRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<MTA>(writer, record, {{"Station", &MTA::Station},
                                       {"Target", &MTA::Target},
                                       {"BackBearing", &MTA::BackBearing}});
     },
     nullptr, nullptr},
    {DATABASE_MeanTurnedAngleResidualsRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<MTAResiduals>(writer, record, {{"Observation", &MTAResiduals::Observation},
                                                {"MeanTurnedAngle", &MTAResiduals::MeanTurnedAngle}});
     },
     nullptr, nullptr},
    {DATABASE_AntennaRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_Antenna>(writer, record, {{"Equipment", &db_Antenna::Equipment}});
     },
     nullptr, nullptr},
    {DATABASE_ReferenceRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_Reference>(writer, record, {{"Antenna", &db_Reference::Antenna}});
     },
     nullptr, nullptr},
    {DATABASE_PostProcessRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_PostProcess>(writer, record, {{"Previous", &db_PostProcess::Previous},
                                                  {"Antenna", &db_PostProcess::Antenna}});
     },
     nullptr, nullptr},
    {DATABASE_PointKeyinRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_PointKeyin>(
             writer, record,
             {{"VerticalPlaneIntersectionStation", &db_PointKeyin::VerticalPlaneIntersectionStation},
              {"VerticalPlaneIntersectionBackBearing", &db_PointKeyin::VerticalPlaneIntersectionBackBearing}});
     },
     nullptr, nullptr},
    {DATABASE_StationSetupResidualRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<SetupResiduals>(writer, record, {{"Observation", &SetupResiduals::Observation},
                                                  {"MeanTurnedAngle", &SetupResiduals::MeanTurnedAngle}});
     },
     nullptr, nullptr},
    {DATABASE_TraverseClosureRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_TraverseClosure>(writer, record, {{"TraversePtr", &db_TraverseClosure::TraversePtr}});
     },
     nullptr, nullptr},
    {DATABASE_AverageResidualsRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         db_AverageResiduals* residuals = db_AverageResiduals::Cast(&record);
         if (!residuals) return;
         for (int i = 0; i < residuals->GetNumberOfResiduals(); ++i)
             writer.ResolveReference("ObservationID", residuals->GetResidual(i)->ObservationID);
     },
     nullptr, nullptr},
    {DATABASE_ScanningRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_Scanning>(writer, record, {{"StationID", &db_Scanning::StationID},
                                               {"BackBearingID", &db_Scanning::BackBearingID}});
     },
     nullptr, nullptr},
    {DATABASE_ImageRecord, WRITEJOB_FixReplace,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_Image>(writer, record, {{"StationID", &db_Image::StationID},
                                            {"BackBearingID", &db_Image::BackBearingID},
                                            {"CameraID", &db_Image::CameraID},
                                            {"PointRecordID", &db_Image::PointRecordID}});
     },
     nullptr, nullptr},
    {DATABASE_TunnelXSPointsRecord, WRITEJOB_FixReplaceParts, nullptr, TunnelPointCount, TunnelPoint},
    {DATABASE_TunnelXSSetoutPointsRecord, WRITEJOB_FixReplaceParts, nullptr, TunnelPointCount, TunnelPoint},
    {DATABASE_TunnelPointDeltaRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_TunnelPointDelta>(writer, record, {{"Observation", &db_TunnelPointDelta::Observation}});
     },
     nullptr, nullptr},
    {DATABASE_TunnelSetoutPointRecord, WRITEJOB_FixPart,
     [](const JobWriter& writer, dbRecord_Class& record) {
         Resolve<db_TunnelSetoutPoint>(writer, record, {{"Observation", &db_TunnelSetoutPoint::Observation}});
     },
     nullptr, nullptr},
};

}  // namespace

const std::span<const writejob_Fixer> writejob_Fixers{kFixers};
