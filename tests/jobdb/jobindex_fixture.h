// A job whose tests write points, shapes and stations one transaction each, so the job
// index follows every one.
#pragma once

#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/dbobjects.h"
#include "jobdb/index_fixture.h"
#include "records/conventional.h"
#include "records/entities.h"
#include "records/measurements.h"

inline db_PointClassification Classified(int value) {
    return db_PointClassification(dbentity_Classification(value));
}

inline constexpr int kNormal = db_PointClassification::Normal;

class JobIndexJobTest : public JobIndexTest {
protected:
    dbJobIndex* Index() { return job.GetJobIndex(); }

    // A point with an optional measurement, in one transaction.
    DBID Point(const char* name, int32_t method, int classification = kNormal, const db_Measurement* measurement = nullptr) {
        db_Observation point;
        point.PointName = name;
        point.Method = method;
        point.Classification = Classified(classification);
        return Observe(point, measurement);
    }
    DBID Observe(db_Observation& point, const db_Measurement* measurement) {
        Access()->BeginGroupNested();
        const DBID id = dbRecord_Append(Access(), &point);
        if (measurement) Access()->AddAction(DBMODEL_Apply, id, measurement);
        Access()->EndGroupNested();
        return id;
    }
    DBID Gnss(const char* name, int classification = kNormal) {
        db_WGS84 wgs;
        return Point(name, DBENTITY_GpsRTKCtrlPoint, classification, &wgs);
    }
    DBID KeyedIn(const char* name, int classification = kNormal) {
        db_Grid grid;
        return Point(name, DBENTITY_Coordinates, classification, &grid);
    }
    DBID LocalGrid(const char* name) {
        db_LocalTransformedGrid grid;
        return Point(name, DBENTITY_Coordinates, kNormal, &grid);
    }
    DBID Line(const char* name, const char* from, const char* to) {
        db_Line line;
        line.LineId = name;
        line.OriginPoint = from;
        line.TargetPoint = to;
        return dbRecord_AppendGrouped(Access(), &line);
    }
    DBID Arc(const char* name) {
        db_Arc arc;
        arc.ArcName = name;
        return dbRecord_AppendGrouped(Access(), &arc);
    }
    DBID Target(const char* name, double constant) {
        db_Target target;
        target.Name = name;
        target.Target.Prism.PrismConstant = constant;
        return dbRecord_AppendGrouped(Access(), &target);
    }
    DBID Station(const char* name) {
        db_TotalStation station;
        station.StationName = name;
        return dbRecord_AppendGrouped(Access(), &station);
    }
    void Remove(DBID id) {
        Access()->BeginGroupNested();
        Access()->AddAction(DBMODEL_Remove, id, Access()->GetRecord(id));
        Access()->EndGroupNested();
    }
    uint32_t Status(DBID id) {
        dbObject* object = Index()->GetObject(Index()->FindByRecordId(id).GetSubscript());
        return object ? object->GetStatusBits() : 0xDEAD;
    }
    dbObject* Object(DBID id) { return Index()->GetObject(Index()->FindByRecordId(id).GetSubscript()); }

};
