// A job index that follows its job's transactions answers as one built afresh from the
// same job: seeded random runs of edits on a small job whose few names collide. After
// every transaction each object's filter and status bits must equal the fresh index's,
// and every value the followed index still marks computed must equal what the fresh
// index computes (clearing too much is allowed, keeping a stale value is not).
// Inserts are of records that make no object: the index cannot insert objects, and
// says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "jobdb/jobindex_fixture.h"
#include "records/conventional.h"
#include "records/editactions.h"
#include "records/jobheader.h"
#include "records/stakeoutsettings.h"
#include "records/localtransform.h"
#include "transform_definitions.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
// Metres and radians. Both indexes compute the same way, so values agree to rounding;
// a stale value is off by metres.
constexpr double kTolerance = 1e-7;
constexpr uint16_t kComponents = TRANSFRM_Ellipsoid | TRANSFRM_Projection;
const char* const kPointNames[] = {"A", "A1", "B", "C"};
const char* const kTransformationNames[] = {"Site", "Other"};

transfrm_Class* MakeTransform() {
    TransformDefinitions definitions;
    definitions.TransverseMercator();
    return definitions.Create(kComponents).release();
}

bool Same(double a, double b) {
    if (maths_IsNull(a) || maths_IsNull(b)) return maths_IsNull(a) == maths_IsNull(b);
    return std::fabs(a - b) <= kTolerance;
}

uint32_t RecordIdOf(const dbObjectRef& ref) {
    if (ref.IsNull() || !ref.GetIndex()) return 0;
    const dbObject* object = ref.GetIndex()->GetObject(ref.GetSubscript());
    return object ? object->GetRecordId().Value() : 0;
}

// Collects the differences of one object's values.
class Differences {
public:
    Differences(std::ostream& out, DBID id, const char* what) : _out(out), _id(id), _what(what) {}
    void Value(const char* field, double followed, double fresh) {
        if (!Same(followed, fresh))
            _out << "  #" << _id.Value() << " " << _what << " " << field << ": followed " << followed << ", fresh "
                 << fresh << "\n";
    }
    void Grid(const char* field, const coord_CorrectedGrid& followed, const coord_CorrectedGrid& fresh,
              bool elevation = true) {
        const std::string f(field);
        Value((f + ".North").c_str(), followed.North, fresh.North);
        Value((f + ".East").c_str(), followed.East, fresh.East);
        if (elevation) Value((f + ".Elev").c_str(), followed.Elev, fresh.Elev);
    }
    void Reference(const char* field, const dbObjectRef& followed, const dbObjectRef& fresh) {
        if (RecordIdOf(followed) != RecordIdOf(fresh))
            _out << "  #" << _id.Value() << " " << _what << " " << field << ": followed rests on #"
                 << RecordIdOf(followed) << ", fresh on #" << RecordIdOf(fresh) << "\n";
    }

private:
    std::ostream& _out;
    DBID _id;
    const char* _what;
};

class JobIndexDifferential : public JobIndexJobTest {
protected:
    void SetUp() override {
        JobIndexJobTest::SetUp();
        transfrm_Register();
        Index()->SetTransform(MakeTransform(), nullptr, kComponents, COORDSYS_TransverseMercator);
    }
    void TearDown() override {
        JobIndexJobTest::TearDown();
        dbJobIndex_SetCoordinateGeometry(nullptr);
        dbJobIndex_SetTransformDeleter(nullptr);
    }

    // ------------------------------------------------ random records

    int Pick(int count) { return static_cast<int>(rng() % static_cast<uint32_t>(count)); }
    double Between(double low, double high) { return low + (high - low) * (rng() % 100001) / 100000.0; }
    const char* AnyName() { return kPointNames[Pick(4)]; }

    // A measurement of one of the kinds the job holds; the method that goes with it.
    std::unique_ptr<db_Measurement> Measurement(int32_t& method, std::ostream& log) {
        method = DBENTITY_Coordinates;
        switch (Pick(5)) {
        case 0:
        case 1: {
            auto wgs = std::make_unique<db_WGS84>();
            wgs->WGS84 = coord_WGS84(Between(0.0, 0.02) * kDeg, Between(8.99, 9.01) * kDeg, Between(0.0, 100.0));
            method = DBENTITY_GpsRTKCtrlPoint;
            log << " gnss";
            return wgs;
        }
        case 2: {
            auto grid = std::make_unique<db_Grid>();
            grid->Grid = coord_CorrectedGrid(Between(0.0, 2000.0), Between(499000.0, 501000.0), Between(0.0, 100.0));
            log << " keyed-in";
            return grid;
        }
        case 3: {
            auto polar = std::make_unique<db_Polar>();
            polar->SourcePoint = AnyName();
            polar->Polar = coord_Polar(Between(0.0, 6.28), Between(5.0, 200.0), Between(-5.0, 5.0));
            polar->CreatedView = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid |
                                 COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights;
            log << " polar from " << polar->SourcePoint.Data();
            return polar;
        }
        default: {
            auto local = std::make_unique<db_LocalTransformedGrid>();
            local->LocalTransformedGrid =
                coord_LocalTransformedGrid(Between(0.0, 500.0), Between(0.0, 500.0), Between(0.0, 50.0));
            local->ReferenceTransformation = kTransformationNames[Pick(2)];
            log << " local grid of " << local->ReferenceTransformation.Data();
            return local;
        }
        }
    }
    db_Observation PointRecord(int32_t method, std::ostream& log) {
        static const int kClasses[] = {kNormal, kNormal, db_PointClassification::Construction,
                                       db_PointClassification::Check, db_PointClassification::Control,
                                       db_PointClassification::Stakeout};
        db_Observation point;
        point.PointName = AnyName();
        point.Method = method;
        point.Classification = Classified(kClasses[Pick(6)]);
        log << " point " << point.PointName.Data() << " class " << point.Classification.value;
        return point;
    }
    db_Line LineRecord(std::ostream& log) {
        db_Line line;
        line.LineId = "L";
        line.OriginPoint = AnyName();
        if (Pick(4) == 0) {
            line.Method = db_Line::BrngDistLine;
            line.BearingAzimuth = Between(0.0, 6.28);
            line.BearingLength = Between(10.0, 100.0);
            line.BearingGrade = Between(-0.1, 0.1);
            log << " line from " << line.OriginPoint.Data() << " by bearing";
        } else {
            line.TargetPoint = AnyName();
            log << " line " << line.OriginPoint.Data() << "-" << line.TargetPoint.Data();
        }
        return line;
    }
    db_Arc ArcRecord(std::ostream& log) {
        db_Arc arc;
        arc.ArcName = "R";
        arc.Point1 = AnyName();
        arc.Point2 = AnyName();
        arc.Direction = Pick(2);
        if (Pick(3) == 0) {
            arc.Method = 4;  // about a centre point
            arc.Point3 = AnyName();
        } else {
            arc.Method = 0;  // two points and a radius
            arc.Radius = 5000.0;
        }
        log << " arc " << arc.Point1.Data() << "-" << arc.Point2.Data() << " method " << arc.Method << " ("
            << arc.Point3.Data() << ")";
        return arc;
    }
    db_LocalTransformationHelmertParameters HelmertRecord(std::ostream& log) {
        db_LocalTransformationHelmertParameters helmert;
        helmert.HorizontalParameters.Apply = true;
        helmert.HorizontalParameters.OriginNorth = helmert.HorizontalParameters.OriginEast = 0.0;
        helmert.HorizontalParameters.Scale = Between(0.9, 1.1);
        helmert.HorizontalParameters.Rotation = Between(-0.5, 0.5);
        helmert.HorizontalParameters.TranslationNorth = Between(0.0, 1000.0);
        helmert.HorizontalParameters.TranslationEast = Between(499000.0, 501000.0);
        log << " helmert scale " << helmert.HorizontalParameters.Scale;
        return helmert;
    }
    db_LocalTransformation TransformationRecord(std::ostream& log) {
        db_LocalTransformation transformation;
        transformation.TransformationName = kTransformationNames[Pick(2)];
        log << " transformation " << transformation.TransformationName.Data();
        return transformation;
    }

    // The records of the job of the given types (any type when none are given).
    std::vector<DBID> Records(std::initializer_list<int> types = {}) {
        std::vector<DBID> ids;
        for (DBID id = Access()->GetFirstId(); id != NODBID; id = Access()->GetNextId(id)) {
            const int type = dbRecord_GetTypeAt(Access(), id);
            if (std::find(removed.begin(), removed.end(), id) != removed.end()) continue;
            if (types.size() == 0 || std::find(types.begin(), types.end(), type) != types.end()) ids.push_back(id);
        }
        return ids;
    }
    bool AnyOf(std::initializer_list<int> types, DBID& id) {
        const std::vector<DBID> ids = Records(types);
        if (ids.empty()) return false;
        id = ids[Pick(static_cast<int>(ids.size()))];
        return true;
    }

    // ------------------------------------------------ random actions, inside an open group

    void AppendPoint(std::ostream& log) {
        int32_t method = 0;
        std::ostringstream what;
        std::unique_ptr<db_Measurement> measurement = Measurement(method, what);
        db_Observation point = PointRecord(method, log);
        const DBID id = dbRecord_Append(Access(), &point);
        log << " #" << id.Value();
        if (Pick(10) != 0) {
            Access()->AddAction(DBMODEL_Apply, id, measurement.get());
            log << what.str();
        }
    }
    void Action(std::ostream& log) {
        DBID target;
        const int choice = Pick(100);
        if (choice < 22) {
            log << "append";
            AppendPoint(log);
        } else if (choice < 28) {
            log << "append";
            db_Line line = LineRecord(log);
            log << " #" << dbRecord_Append(Access(), &line).Value();
        } else if (choice < 33) {
            log << "append";
            db_Arc arc = ArcRecord(log);
            log << " #" << dbRecord_Append(Access(), &arc).Value();
        } else if (choice < 36) {
            log << "append";
            db_LocalTransformation transformation = TransformationRecord(log);
            log << " #" << dbRecord_Append(Access(), &transformation).Value() << ", then";
            db_LocalTransformationHelmertParameters helmert = HelmertRecord(log);
            log << " #" << dbRecord_Append(Access(), &helmert).Value();
        } else if (choice < 38) {
            log << "append";
            db_LocalTransformationHelmertParameters helmert = HelmertRecord(log);
            log << " #" << dbRecord_Append(Access(), &helmert).Value();
        } else if (choice < 42 && AnyOf({}, target)) {
            log << "insert before #" << target.Value();
            switch (Pick(4)) {
            case 0: {
                db_TotalAtmosphere atmosphere;
                atmosphere.Pressure = Between(900.0, 1100.0);
                log << " atmosphere";
                dbRecord_InsertBefore(Access(), target, &atmosphere);
                break;
            }
            case 1: {
                db_Note note;
                log << " note";
                dbRecord_InsertBefore(Access(), target, &note);
                break;
            }
            case 2: {
                db_EndEntity end;
                log << " end of entity";
                dbRecord_InsertBefore(Access(), target, &end);
                break;
            }
            default: {
                db_LocalTransformationHelmertParameters helmert = HelmertRecord(log);
                dbRecord_InsertBefore(Access(), target, &helmert);
                break;
            }
            }
        } else if (choice < 50 && AnyOf({DATABASE_ObservationRecord}, target)) {
            log << "replace #" << target.Value() << " by";
            int32_t method = 0;
            std::ostringstream ignored;
            Measurement(method, ignored);
            db_Observation point = PointRecord(method, log);
            dbRecord_ReplaceAt(Access(), target, &point);
        } else if (choice < 55 && AnyOf({DATABASE_LineRecord, DATABASE_ArcRecord}, target)) {
            log << "replace #" << target.Value() << " by";
            if (dbRecord_GetTypeAt(Access(), target) == DATABASE_LineRecord) {
                db_Line line = LineRecord(log);
                dbRecord_ReplaceAt(Access(), target, &line);
            } else {
                db_Arc arc = ArcRecord(log);
                dbRecord_ReplaceAt(Access(), target, &arc);
            }
        } else if (choice < 58 && AnyOf({DATABASE_LocalTransformationRecord,
                                         DATABASE_LocalTransformationHelmertParametersRecord},
                                        target)) {
            log << "replace #" << target.Value() << " by";
            if (dbRecord_GetTypeAt(Access(), target) == DATABASE_LocalTransformationRecord) {
                db_LocalTransformation transformation = TransformationRecord(log);
                dbRecord_ReplaceAt(Access(), target, &transformation);
            } else {
                db_LocalTransformationHelmertParameters helmert = HelmertRecord(log);
                dbRecord_ReplaceAt(Access(), target, &helmert);
            }
        } else if (choice < 68 && AnyOf({DATABASE_ObservationRecord}, target)) {
            log << "apply to #" << target.Value();
            int32_t method = 0;
            std::unique_ptr<db_Measurement> measurement = Measurement(method, log);
            Access()->AddAction(DBMODEL_Apply, target, measurement.get());
        } else if (choice < 74 && AnyOf({DATABASE_ObservationRecord, DATABASE_LineRecord, DATABASE_ArcRecord,
                                         DATABASE_LocalTransformationRecord},
                                        target)) {
            const int action = Pick(3) == 0 ? db_BoolAction::Undelete : db_BoolAction::Delete;
            log << (action == db_BoolAction::Delete ? "delete #" : "undelete #") << target.Value();
            job.ApplyBoolAction(target, action);
        } else if (choice < 84 && AnyOf({DATABASE_ObservationRecord}, target)) {
            const char* name = AnyName();
            log << "rename #" << target.Value() << " " << Access()->GetRecord(target)->GetName().Data() << " to "
                << name;
            job.ApplyStr(target, name, 0);
        } else if (choice < 87 && AnyOf({DATABASE_ObservationRecord}, target)) {
            const char* name = kTransformationNames[Pick(2)];
            log << "transformation of #" << target.Value() << " to " << name;
            job.ApplyStr(target, name, 1);
        } else if (AnyOf({DATABASE_ObservationRecord, DATABASE_LineRecord, DATABASE_ArcRecord,
                          DATABASE_LocalTransformationRecord, DATABASE_LocalTransformationHelmertParametersRecord,
                          DATABASE_AtmosphereRecord, DATABASE_EndEntityRecord},
                         target)) {
            log << "remove #" << target.Value() << " (type " << dbRecord_GetTypeAt(Access(), target) << " "
                << Access()->GetRecord(target)->GetName().Data() << ")";
            Access()->AddAction(DBMODEL_Remove, target, Access()->GetRecord(target));
            removed.push_back(target);
        } else {
            log << "append";
            AppendPoint(log);
        }
    }
    // One transaction of one action, sometimes of several.
    std::string Transaction() {
        std::ostringstream log;
        const int count = Pick(6) == 0 ? 2 + Pick(3) : 1;
        removed.clear();
        Access()->BeginGroupNested();
        for (int i = 0; i < count; ++i) {
            if (i) log << "; ";
            Action(log);
        }
        Access()->EndGroupNested();
        return log.str();
    }

    // ------------------------------------------------ comparing

    // The followed index against one built afresh; the differences, or empty text.
    std::string Compare() {
        std::ostringstream out;
        dbJobIndex fresh;
        fresh.Reset();
        if (!fresh.AttachJob(&job)) return "no fresh index";
        fresh.SetTransform(MakeTransform(), nullptr, kComponents, COORDSYS_TransverseMercator);
        dbJobIndex& followed = *Index();
        std::vector<std::pair<dbObject*, dbObject*>> pairs;
        for (DBID id = Access()->GetFirstId(); id != NODBID; id = Access()->GetNextId(id)) {
            const dbObjectRef freshRef = fresh.FindByRecordId(id);
            if (freshRef.IsNull()) continue;
            const dbObjectRef ref = followed.FindByRecordId(id);
            dbObject* object = ref.IsNull() ? nullptr : followed.GetObject(ref.GetSubscript());
            if (!object || object->HasFlag(DBOBJECT_Removed)) {
                out << "  #" << id.Value() << " has no object in the followed index\n";
                continue;
            }
            pairs.emplace_back(object, fresh.GetObject(freshRef.GetSubscript()));
        }
        // Values first: nothing of the followed index is computed before they are read.
        for (auto [object, freshObject] : pairs) CompareValues(*object, *freshObject, out);
        for (auto [object, freshObject] : pairs) {
            const uint32_t status = object->GetStatusBits();
            const uint32_t freshStatus = freshObject->GetStatusBits();
            if (object->GetKind() != freshObject->GetKind() || object->GetCategory() != freshObject->GetCategory() ||
                status != freshStatus)
                out << "  #" << object->GetRecordId().Value() << " " << object->GetName() << std::hex
                    << " filter followed {" << object->GetKind() << " " << object->GetCategory() << " " << status
                    << "}, fresh {" << freshObject->GetKind() << " " << freshObject->GetCategory() << " "
                    << freshStatus << "}\n"
                    << std::dec;
        }
        std::vector<uint32_t> names, freshNames;
        for (int i = 0; i < followed.GetNameSelection().GetItemCount(); ++i)
            names.push_back(followed.GetNameSelection().GetRecordId(i).Value());
        for (int i = 0; i < fresh.GetNameSelection().GetItemCount(); ++i)
            freshNames.push_back(fresh.GetNameSelection().GetRecordId(i).Value());
        if (names != freshNames) {
            out << "  name order followed";
            for (uint32_t id : names) out << " #" << id;
            out << ", fresh";
            for (uint32_t id : freshNames) out << " #" << id;
            out << "\n";
        }
        fresh.Database = nullptr;
        fresh.Clear();
        return out.str();
    }
    static void CompareValues(dbObject& object, dbObject& freshObject, std::ostream& out) {
        if (!object.HasFlag(DBOBJECT_HorizontalComputed)) return;
        Differences differences(out, object.GetRecordId(), object.GetName());
        dbIndex* freshIndex = freshObject.GetIndex();
        const int subscript = freshObject.GetReference().GetSubscript();
        if (ObservationObject* point = ObservationObject::Cast(&object)) {
            const bool elevation = object.HasFlag(DBOBJECT_ElevationComputed);
            const coord_CorrectedGrid& grid = elevation ? point->GetCoordinates() : point->GetHorizontalCoordinates();
            differences.Grid("grid", grid, ObservationObject::Cast(&freshObject)->GetCoordinates(), elevation);
        } else if (LineObject* line = LineObject::Cast(&object)) {
            freshIndex->EnsureLoaded(subscript);
            const LineObject* fresh = LineObject::Cast(&freshObject);
            differences.Grid("start", line->_Start, fresh->_Start);
            differences.Grid("end", line->_End, fresh->_End);
            differences.Reference("start", line->_StartRef, fresh->_StartRef);
            differences.Reference("end", line->_EndRef, fresh->_EndRef);
        } else if (ArcObject* arc = ArcObject::Cast(&object)) {
            freshIndex->EnsureLoaded(subscript);
            const ArcObject* fresh = ArcObject::Cast(&freshObject);
            differences.Grid("centre", arc->_Centre, fresh->_Centre);
            differences.Value("radius", arc->_Radius, fresh->_Radius);
            differences.Value("start azimuth", arc->_StartAzimuth, fresh->_StartAzimuth);
            differences.Value("delta", arc->_DeltaAngle, fresh->_DeltaAngle);
            differences.Value("start elevation", arc->_StartElevation, fresh->_StartElevation);
            differences.Value("slope", arc->_Slope, fresh->_Slope);
            differences.Reference("point 1", arc->_Point1Ref, fresh->_Point1Ref);
            differences.Reference("point 2", arc->_Point2Ref, fresh->_Point2Ref);
        }
    }
    // Most objects of the followed index computed, so later edits have values to spoil.
    void ComputeSome() {
        dbJobIndex& index = *Index();
        for (int subscript = 0; subscript < index.GetObjectCount(); ++subscript) {
            if (Pick(5) == 0) continue;
            dbObject* object = index.GetObject(subscript);
            if (!object || object->HasFlag(DBOBJECT_Removed)) continue;
            if (ObservationObject* point = ObservationObject::Cast(object)) point->GetCoordinates();
            else index.EnsureLoaded(subscript);
        }
    }

    // Runs one seed; false after the first transaction whose index differs.
    bool Run(uint32_t seed, int transactions) {
        rng.seed(seed);
        std::vector<std::string> log;
        for (int t = 0; t < transactions; ++t) {
            log.push_back(Transaction());
            std::string differences = Compare();
            // A best point without a measurement cannot be resolved, and says so.
            for (const std::string& expression : env.Expressions())
                if (expression != "Original != COORD_NullType") differences += "  reported: " + expression + "\n";
            env.Clear();
            if (!differences.empty()) {
                std::ostringstream actions;
                for (size_t i = 0; i < log.size(); ++i) actions << "  " << i + 1 << ": " << log[i] << "\n";
                ADD_FAILURE() << "seed " << seed << ", after transaction " << t + 1 << ":\n"
                              << differences << "transactions:\n"
                              << actions.str();
                return false;
            }
            ComputeSome();
        }
        return true;
    }

    std::mt19937 rng;
    // Removed in the transaction being made: not offered as targets again.
    std::vector<DBID> removed;
};

TEST_F(JobIndexDifferential, FollowedIndexEqualsAFreshOneAfterEveryTransaction) {
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        SCOPED_TRACE(seed);
        if (!Run(seed, 200)) break;
        // A fresh job for the next seed.
        job.Close();
        std::filesystem::remove(path);
        ASSERT_TRUE(job.Create(Str(path.c_str()), "Job", true));
        Index()->SetTransform(MakeTransform(), nullptr, kComponents, COORDSYS_TransverseMercator);
    }
}

}  // namespace
