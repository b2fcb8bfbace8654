// The job properties, station offset, surface scan and cogo transformation elements.
#include <cstdint>

#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_handler.h"
#include "import/writejob_stakeout.h"
#include "records/jobproperties.h"
#include "vocabulary/dbField.h"

namespace {

// dbentity_StakeOutEntity values of the entities with station equations.
constexpr int32_t kRoadEntity = 5;
constexpr int32_t kAlignmentEntity = 6;
constexpr int32_t kTunnelEntity = 7;

}  // namespace

void JobWriter::WriteJobProperties(const xml_Element* element) {
    writejob_WriteRecord<db_JobProperties>(*this, element, "db_JobProperties", [&](auto& record) {
        record.Reference = writejob_ReadString(element, "Reference");
        record.Description = writejob_ReadString(element, "Description");
        record.Operator = writejob_ReadString(element, "Operator");
        // A field of its own; the record's notes come from the "Note" children.
        record.Notes = writejob_ReadString(element, "Notes");
    });
}

void JobWriter::WriteStationOffset(const xml_Element* element) {
    writejob_WriteRecord<db_StationOffset>(*this, element, "db_StationOffset", [&](auto& record) {
        record.EntityType = load_dbentity_StakeOutEntity(element, "EntityType");
        record.EntityName = writejob_ReadString(element, "EntityName");
        record.Station = writejob_ReadDouble(element, "Station");
        // Only a road, an alignment or a tunnel has station equations; other entities keep
        // the null equated station.
        if (record.EntityType == kRoadEntity || record.EntityType == kAlignmentEntity ||
            record.EntityType == kTunnelEntity)
            writejob_ReadEquatedStation(element, "EquatedRoadStation", record.EquatedRoadStation, record.Station);
        record.Offset = writejob_ReadDouble(element, "Offset");
        record.VDist = writejob_ReadDouble(element, "VDist");
        record.Code = writejob_ReadText(element, "Code");
    });
}

void JobWriter::WriteSurfaceScan(const xml_Element* element) {
    writejob_WriteRecord<db_SurfaceScan>(*this, element, "db_SurfaceScan", [&](auto& record) {
        record.SurfaceScanMethod = load_dbentity_SurfaceScanMethod(element, "SurfaceScanMethod");
        record.LineMethod = load_optional_dbentity_SurfaceScanLineMethod(element, "LineMethod", 0);
        record.PointA = writejob_ReadString(element, "PointA");
        record.PointB = writejob_ReadString(element, "PointB");
        record.PointC = writejob_ReadString(element, "PointC");
        record.HAstep = writejob_ReadDouble(element, "HAstep");
        record.VAstep = writejob_ReadDouble(element, "VAstep");
        record.Xstep = writejob_ReadDouble(element, "Xstep");
        record.Ystep = writejob_ReadDouble(element, "Ystep");
        record.MaxOffset = writejob_ReadDouble(element, "MaxOffset");
        record.Azimuth = writejob_ReadDouble(element, "Azimuth");
        record.Distance = writejob_ReadDouble(element, "Distance");
        record.PointsScanned = writejob_ReadInt(element, "PointsScanned");
        record.PointsSkipped = writejob_ReadInt(element, "PointsSkipped");
        record.TimeTaken = writejob_ReadDouble(element, "TimeTaken");
    });
}

// The child names hold dots: each is one element name, not a path.
void JobWriter::WriteCogoTransformation(const xml_Element* element) {
    writejob_WriteRecord<db_CogoTransformation>(*this, element, "db_CogoTransformation", [&](auto& record) {
        record.Rotated = writejob_ReadBool(element, "Rotated");
        record.rotationAngle = writejob_ReadDouble(element, "rotationAngle");
        record.rotationOrigin = writejob_ReadString(element, "rotationOrigin");
        record.rotationOriginGrid.North = writejob_ReadDouble(element, "rotationOriginGrid.North");
        record.rotationOriginGrid.East = writejob_ReadDouble(element, "rotationOriginGrid.East");
        record.rotationOriginGrid.Elev = writejob_ReadDouble(element, "rotationOriginGrid.Elev");
        record.Scaled = writejob_ReadBool(element, "Scaled");
        record.scaleFactor = writejob_ReadDouble(element, "scaleFactor");
        record.scaleOrigin = writejob_ReadString(element, "scaleOrigin");
        record.scaleOriginGrid.North = writejob_ReadDouble(element, "scaleOriginGrid.North");
        record.scaleOriginGrid.East = writejob_ReadDouble(element, "scaleOriginGrid.East");
        record.scaleOriginGrid.Elev = writejob_ReadDouble(element, "scaleOriginGrid.Elev");
        record.Translated = writejob_ReadBool(element, "Translated");
        record.translationMethod = load_dbentity_CogoTranslationMethod(element, "translationMethod");
        record.translation.dNorth = writejob_ReadDouble(element, "translation.dNorth");
        record.translation.dEast = writejob_ReadDouble(element, "translation.dEast");
        record.translation.dElev = writejob_ReadDouble(element, "translation.dElev");
        record.translationFrom = writejob_ReadString(element, "translationFrom");
        record.translationTo = writejob_ReadString(element, "translationTo");
        record.pointsTransformed = writejob_ReadInt(element, "pointsTransformed");
    });
}
