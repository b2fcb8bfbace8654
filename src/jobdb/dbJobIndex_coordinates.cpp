// The job index's coordinates: points, lines and arcs computed on demand through the
// registered coordinate geometry, and the job's transform built from its six
// coordinate-system records.
#include <memory>

#include "foundation/environment.h"
#include "foundation/files/filesearch.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbobjects.h"
#include "records/coordsysdefs.h"
#include "records/entities.h"
#include "records/measurements.h"

namespace {

constexpr const char* kModule = "Library/dbJobIndex";

constexpr uint16_t kPointComputed = DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed;
constexpr uint16_t kShapeComputed = DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed;

// Component bits of a coordinate system.
enum : uint16_t {
    kEllipsoid = 0x1,
    kDatum = 0x2,
    kProjection = 0x4,
    kPlane = 0x8,
    kHeight = 0x10,
    kCorrections = 0x20,
    kScaleOnly = 0x40,
};

bool UsesGeoid(int32_t heightKind) {
    return heightKind == COORDSYS_GeoidModel || heightKind == COORDSYS_GeoidAndConstant ||
           heightKind == COORDSYS_GeoidAndPlane;
}

// The model file of the name among the shared files. The name becomes the one found
// (empty when none is); true when a file was found under another name, so the record
// holding the name is to be corrected.
bool LookUpModelFile(Str& name, const char* pattern) {
    const file_Class found = filesys_FindSharedFile(name, Str(pattern));
    const Str foundName = found.HasName() ? found.GetName() : Str();
    if (foundName == name) return false;
    name = foundName;
    return found.HasName();
}

}  // namespace

// ---------------------------------------------------------------- computing objects

bool dbJobIndex::ComputeObject(dbObject* object) {
    if (!object) return false;
    if (!QZ_ASSERT_TEXT(Database != nullptr, "this->Database")) return false;
    switch (object->GetRecordType()) {
    case DATABASE_ObservationRecord:
        ComputePoint(object);
        return true;
    case DATABASE_LineRecord:
        ComputeLine(object);
        return true;
    case DATABASE_ArcRecord:
        ComputeArc(object);
        return true;
    case DBOBJECT_GroupType:
        if (GroupObject* group = GroupObject::Cast(object))
            for (int i = 0; i < group->GetChildCount(); ++i) ComputeObject(group->GetChild(i));
        return true;
    default:
        object->SetFlags(kShapeComputed);
        return true;
    }
}

void dbJobIndex::ComputePoint(dbObject* object) {
    ObservationObject* point = ObservationObject::Cast(object);
    const db_Observation* obs = point && !object->HasFlag(DBOBJECT_Removed) ? point->GetObservation() : nullptr;
    const db_Measurement* measurement = obs ? obs->GetMeasurement() : nullptr;
    coord_CorrectedGrid grid;
    grid.SetNull();
    if (measurement) {
        ComputeStatusBits(object);
        // An index that was never set up has no transform to compute through: the point
        // counts as one that cannot be resolved.
        const auto solve = dbJobIndex_GetCoordinateGeometry().GridOfMeasurement;
        if (QZ_ASSERT_TEXT(Transform != nullptr, "this->Transform") && solve) solve(this, measurement, &grid);
    }
    if (point) point->SetCoordinates(grid, true);
    object->SetFlags(kPointComputed);
}

coord_CorrectedGrid dbJobIndex::GridOfReference(const dbObjectRef& reference, const char* check, bool& point) {
    coord_CorrectedGrid grid;
    grid.SetNull();
    point = false;
    if (reference.IsNull()) return grid;
    dbIndex* index = reference.GetIndex();
    ObservationObject* object =
        index ? ObservationObject::Cast(index->GetLoadedObject(reference.GetSubscript())) : nullptr;
    if (!QZ_ASSERT_TEXT(object != nullptr, check) || object->IsDeleted()) return grid;
    point = true;
    return object->GetCoordinates();
}

void dbJobIndex::ComputeLine(dbObject* object) {
    LineObject* line = LineObject::Cast(object);
    const db_Line* record = db_Line::Cast(object->GetRecord());
    if (!QZ_ASSERT_TEXT(line != nullptr && record != nullptr, "lineRec")) {
        object->SetFlags(kShapeComputed);
        return;
    }
    object->SetFilter(ShapeFilterOf(record));
    line->_StartRef = FindPointReference(record->OriginPoint.Data());
    bool hasStart = false;
    line->_Start = GridOfReference(line->_StartRef, "p1", hasStart);
    switch (record->Method) {
    case db_Line::TwoPoints: {
        line->_EndRef = FindPointReference(record->TargetPoint.Data());
        bool hasEnd = false;
        line->_End = GridOfReference(line->_EndRef, "p2", hasEnd);
        break;
    }
    case db_Line::BrngDistLine: {
        line->_EndRef = dbObjectRef();
        line->_End.SetNull();
        const auto end = dbJobIndex_GetCoordinateGeometry().BearingDistanceEnd;
        if (hasStart && end)
            end(this, line->_StartRef, record->BearingAzimuth, record->BearingGrade, record->BearingLength,
                &line->_End);
        else
            line->_Start.SetNull();
        break;
    }
    default:
        // Not computed, so asked for again on its next use.
        return;
    }
    object->SetFlags(kShapeComputed);
}

void dbJobIndex::ComputeArc(dbObject* object) {
    ArcObject* arc = ArcObject::Cast(object);
    const db_Arc* stored = db_Arc::Cast(object->GetRecord());
    std::unique_ptr<dbRecord_Class> copy(stored ? stored->Clone() : nullptr);
    db_Arc* record = db_Arc::Cast(copy.get());
    if (!QZ_ASSERT_TEXT(arc != nullptr && record != nullptr, "arcRec")) {
        object->SetFlags(kShapeComputed);
        return;
    }
    object->SetFilter(ShapeFilterOf(record));
    ComputeStatusBits(object);
    // Without a transform the arc is still solved as far as its points allow.
    QZ_ASSERT_TEXT(Transform != nullptr, "this->Transform");
    dbJobIndex_ArcSolution solution;
    const auto solve = dbJobIndex_GetCoordinateGeometry().SolveArc;
    const int result = solve ? solve(this, record, &solution) : 1;
    arc->_StartAzimuth = solution.StartAzimuth;
    if (result != 0) {
        // Nothing of an earlier solution stays behind.
        arc->_Centre.SetNull();
        arc->_RecordRadius = arc->_Radius = arc->_DeltaAngle = MATHS_Null;
        arc->_StartElevation = arc->_Slope = MATHS_Null;
        arc->_Reversed = 0;
        arc->_Point1Ref = arc->_Point2Ref = arc->_Point3Ref = dbObjectRef();
        object->SetFlags(kShapeComputed);
        return;
    }
    arc->_Centre = solution.Centre;
    arc->_DeltaAngle = record->ScribedAngle;
    arc->_RecordRadius = record->Radius;
    const double dNorth = maths_Subtract(solution.Start.North, solution.Centre.North);
    const double dEast = maths_Subtract(solution.Start.East, solution.Centre.East);
    arc->_Radius = maths_Sqrt(maths_Add(maths_Square(dEast), maths_Square(dNorth)));
    arc->_StartElevation = solution.Start.Elev;
    arc->_Slope = maths_Tan(record->Grade);
    arc->_Point1Ref = FindPointReference(record->Point1.Data());
    arc->_Point2Ref = FindPointReference(record->Point2.Data());
    arc->_Point3Ref = FindPointReference(record->Point3.Data());
    arc->_Reversed = record->Direction == db_Arc::LeftHand ? 1 : 0;
    if (arc->_Reversed) {
        // A left-hand arc is kept as the right-hand arc from its end back to its start.
        double azimuth = maths_Subtract(arc->_StartAzimuth, arc->_DeltaAngle);
        if (!maths_IsNull(azimuth)) coord_NormaliseAzimuth(&azimuth);
        arc->_StartAzimuth = azimuth;
        const double rise = maths_Multiply(maths_Multiply(arc->_DeltaAngle, record->Radius), arc->_Slope);
        arc->_StartElevation = maths_Add(arc->_StartElevation, rise);
        arc->_Slope = maths_Multiply(arc->_Slope, -1.0);
        arc->_Point1Ref = FindPointReference(solution.EndName.Data());
        arc->_Point2Ref = FindPointReference(solution.StartName.Data());
    }
    object->SetFlags(kShapeComputed);
}

// ---------------------------------------------------------------- coordinate system

bool dbJobIndex_LoadCoordinateSystemRecords(dbAccess* database, uint16_t& components, db_Ellipsoid& ellipsoid,
                                            db_Datum& datum, db_Projection& projection, db_Plane& plane,
                                            db_Height& height, db_Corrections& corrections, int& loadFlags) {
    if (ellipsoid.LoadLatest(database) && !maths_IsNull(ellipsoid.Ellipsoid.EarthRadius) &&
        !maths_IsNull(ellipsoid.Ellipsoid.Flattening))
        components |= kEllipsoid;
    if (projection.LoadLatest(database) && projection.Projection.ProjectionType != COORDSYS_NoProjection)
        components |= kProjection;
    if (datum.LoadLatest(database) && datum.Datum.DatumType != COORDSYS_NoDatum) {
        components |= kDatum;
        if (datum.Datum.DatumType == COORDSYS_GridDatum)
            loadFlags |= DBJOBINDEX_LoadGridDatum;
        else if (datum.Datum.DatumType == COORDSYS_RTCMGrid && !datum.Datum.GridName.IsEmpty())
            loadFlags |= DBJOBINDEX_LoadRTCMGrid;
    }
    if (plane.LoadLatest(database) && plane.Plane.PlaneType != COORDSYS_NoHorizontal) components |= kPlane;
    if (height.LoadLatest(database) && height.Height.HeightType != COORDSYS_NoVertical) {
        components |= kHeight;
        if (UsesGeoid(height.Height.HeightType)) loadFlags |= DBJOBINDEX_LoadGeoid;
    }
    if (corrections.LoadLatest(database)) components |= kCorrections;
    if ((components & kProjection) && projection.Projection.ProjectionType == COORDSYS_ScaleOnly)
        components |= kScaleOnly;
    return true;
}

bool dbJobIndex::SetUpCoordinateSystem(int& error, int& loadFlags, Str fileNames[DBJOBINDEX_FileNameCount]) {
    error = 0;
    if (!QZ_ASSERT_TEXT(Database != nullptr, "this->Database")) return false;
    uint16_t components = 0;
    db_Ellipsoid ellipsoid;
    db_Datum datum;
    db_Projection projection;
    db_Plane plane;
    db_Height height;
    db_Corrections corrections;
    dbJobIndex_LoadCoordinateSystemRecords(Database, components, ellipsoid, datum, projection, plane, height,
                                           corrections, loadFlags);

    if (UsesGeoid(height.Height.HeightType)) {
        fileNames[0] = height.Height.GeoidFilename;
        if (LookUpModelFile(height.Height.GeoidFilename, "*.GGF")) dbRecord_AppendGrouped(Database, &height);
    }
    if (datum.Datum.DatumType == COORDSYS_GridDatum) {
        fileNames[1] = datum.Datum.GridName;
        if (LookUpModelFile(datum.Datum.GridName, "*.CDG")) dbRecord_AppendGrouped(Database, &datum);
    } else if (datum.Datum.DatumType == COORDSYS_RTCMGrid) {
        fileNames[2] = datum.Datum.GridName;
    }
    const coordsys_Projection& p = projection.Projection;
    if (p.ProjectionType == COORDSYS_UnitedKingdomNationalGrid) {
        fileNames[3] = p.UKNorthGridFile;
        fileNames[4] = p.UKEastGridFile;
    } else if (p.ProjectionType == COORDSYS_ProjectionGrid) {
        fileNames[5] = p.ProjectionGridFile;
    }
    if (p.ProjectionType != COORDSYS_NoProjection && p.ProjectionType != COORDSYS_ScaleOnly) {
        if (!(loadFlags & DBJOBINDEX_LoadWithoutGroundHeight) && maths_IsNull(p.GroundScale.ProjectLocation.Height)) {
            error = DBJOBINDEX_NoGroundHeight;
            return false;
        }
        fileNames[6] = p.ShiftGridFile;
    }

    const dbJobIndex_CoordinateGeometry& geometry = dbJobIndex_GetCoordinateGeometry();
    if (!QZ_ASSERT_TEXT(geometry.CreateTransform != nullptr, "CreateTransform")) return false;
    int32_t code = 0;
    transfrm_Class* transform = geometry.CreateTransform(components, &ellipsoid.Ellipsoid, &p, &datum.Datum,
                                                         &plane.Plane, &height.Height, &corrections.Corrections,
                                                         loadFlags, &code);
    error = code;
    if (!transform) return false;
    const uint16_t built = geometry.TransformComponents ? geometry.TransformComponents(transform) : components;
    SetTransform(transform, (components & kCorrections) ? &corrections.Corrections : nullptr, built,
                 p.ProjectionType);
    return true;
}
