// Point observation elements and the observation measurements: polar, laser offset,
// circle reading, azimuth and mean turned angle, with the mean-turned-angle residuals
// and the distance offset that qualifies a measurement.
//
// "DATABASE_ObservationRecord" and "DATABASE_PointRecord" both build a db_Observation;
// only an observation element nests its measurement, and only it reads descriptions.
#include <iterator>
#include <memory>
#include <string_view>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/cogo.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/traverse.h"
#include "vocabulary/dbField.h"

namespace {

// The fields an observation and a point element share, in table order; descriptions
// (observation elements only) come before "Source".
void ReadObservationFields(const xml_Element* element, db_Observation& record, bool withDescriptions) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.PointName = writejob_ReadString(element, "PointName");
    record.Derivation = load_DerivationCode(element, "Derivation");
    record.Method = load_dbentity_PointMethod(element, "Method");
    record.SurveyMethod = load_dbentity_SurveyMethod(element, "SurveyMethod");
    // Older exports carry the deleted state inside the classification name.
    const xml_Element* deleted = element->FindChild("Deleted");
    if (!deleted || deleted->text.Length() == 0) {
        load_legacy_dbentity_Classification(writejob_ReadString(element, "Classification"),
                                            record.Classification, record.Deleted);
    } else {
        record.Classification = db_PointClassification(load_dbentity_Classification(element, "Classification"));
        record.Deleted = writejob_ReadBool(element, "Deleted");
    }
    if (withDescriptions) writejob_ReadDescriptions(element, "Descriptions", record);
    record.Source = writejob_ReadString(element, "Source");
}

using MeasurementHandler = void (JobWriter::*)(const xml_Element*);

// The nested measurements an observation element may carry, in the order they are
// looked for.
const struct {
    std::string_view name;
    MeasurementHandler handler;
} kNestedMeasurements[] = {
    {"DATABASE_AzimuthRecord", &JobWriter::WriteAzimuth},
    {"DATABASE_CircleRecord", &JobWriter::WriteCircle},
    {"DATABASE_ECEFRecord", &JobWriter::WriteECEF},
    {"DATABASE_ECEFDeltasRecord", &JobWriter::WriteECEFDeltas},
    {"DATABASE_ECEFGroundRecord", &JobWriter::WriteECEFGround},
    {"DATABASE_GridRecord", &JobWriter::WriteGrid},
    {"DATABASE_LocalTransformedGridRecord", &JobWriter::WriteLocalTransformedGrid},
    {"DATABASE_LaserOffsetRecord", &JobWriter::WriteLaserOffset},
    {"DATABASE_LocalRecord", &JobWriter::WriteLocal},
    {"DATABASE_MeanTurnedAngleRecord", &JobWriter::WriteMeanTurnedAngle},
    {"DATABASE_PolarRecord", &JobWriter::WritePolar},
    {"DATABASE_WGS84Record", &JobWriter::WriteWGS84},
};

}  // namespace

void JobWriter::WriteObservation(const xml_Element* element) {
    db_Observation record;
    ReadObservationFields(element, record, true);
    writejob_CheckRecAttribute(element, "db_Observation");
    StoreRecord(element, &record);
    ReadFeatures(&record, element);
    WriteObservationMeasurement(element);
}

void JobWriter::WritePoint(const xml_Element* element) {
    db_Observation record;
    ReadObservationFields(element, record, false);
    writejob_CheckRecAttribute(element, "db_Point");
    StoreRecord(element, &record);
    ReadFeatures(&record, element);
}

void JobWriter::WriteObservationMeasurement(const xml_Element* element) {
    // One pass over the children, keeping the first child of the earliest listed name.
    constexpr int kNone = static_cast<int>(std::size(kNestedMeasurements));
    int best = kNone;
    const xml_Element* chosen = nullptr;
    decltype(kNestedMeasurements[0].handler) handler = nullptr;
    for (const xml_Element* child = element->firstChild; child; child = child->nextSibling) {
        const std::string_view name(child->name.Data(), static_cast<size_t>(child->name.Length()));
        if (!name.starts_with("DATABASE_")) continue;
        for (int i = 0; i < best; ++i) {
            if (name == kNestedMeasurements[i].name) {
                best = i;
                chosen = child;
                handler = kNestedMeasurements[i].handler;
                break;
            }
        }
    }
    if (chosen) (this->*handler)(chosen);
}

void JobWriter::WritePolar(const xml_Element* element) {
    writejob_WriteRecord<db_Polar>(*this, element, "db_Polar", [&](auto& record) {
        record.SourcePoint = writejob_ReadString(element, "SourcePoint");
        writejob_ReadPolar(element, "Polar", record.Polar);
        record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    });
}

void JobWriter::ReadLaserOffset(const xml_Element* element, const Str& groupName,
                                coord_LaserOffset& value) const {
    const xml_Element* group = element->FindChild(groupName.Data());
    if (!group) {
        value.SetNull();
        return;
    }
    value.Azimuth = writejob_GroupDouble(group, "Azimuth");
    value.VertAngle = writejob_GroupDouble(group, "VertAngle");
    value.SlopeDist = writejob_GroupDouble(group, IsVersionFrom(1200, 600) ? "SlopeDist" : "SlopeDistance");
}

void JobWriter::WriteLaserOffset(const xml_Element* element) {
    writejob_WriteRecord<db_LaserOffset>(*this, element, "db_LaserOffset", [&](auto& record) {
        ReadLaserOffset(element, "LaserOffset", record.LaserOffset);
        record.BasePoint = writejob_ReadReference(element, "BasePoint");
        record.LaserHeight = writejob_ReadReference(element, "LaserHeight");
        record.TargetHeight = writejob_ReadReference(element, "TargetHeight");
        record.MagneticDeclination = writejob_ReadReference(element, "MagneticDeclination");
        record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    });
}

void JobWriter::WriteCircle(const xml_Element* element) {
    writejob_WriteRecord<db_Circle>(*this, element, "db_Circle", [&](auto& record) {
        writejob_ReadCircle(element, "Circle", record.Circle);
        record.Station = writejob_ReadReference(element, "Station");
        record.Target = writejob_ReadReference(element, "Target");
        record.BackBearing = writejob_ReadReference(element, "BackBearing");
        record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    });
}

void JobWriter::WriteAzimuth(const xml_Element* element) {
    writejob_WriteRecord<db_Azimuth>(*this, element, "db_Azimuth", [&](auto& record) {
        record.SourcePoint = writejob_ReadString(element, "SourcePoint");
        record.Azimuth = writejob_ReadDouble(element, "Azimuth");
        record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    });
}

void JobWriter::WriteMeanTurnedAngle(const xml_Element* element) {
    writejob_WriteRecord<db_MeanTurnedAngle>(*this, element, "db_MeanTurnedAngle", [&](auto& record) {
        writejob_ReadMTA(element, "MTA", record.MTA);
        record.Station = writejob_ReadReference(element, "Station");
        record.Target = writejob_ReadReference(element, "Target");
        record.BackBearing = writejob_ReadReference(element, "BackBearing");
        record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    });
}

void JobWriter::WriteMeanTurnedAngleResiduals(const xml_Element* element) {
    writejob_WriteRecord<db_MeanTurnedAngleResiduals>(*this, element, "db_MeanTurnedAngleResiduals", [&](auto& record) {
        record.PointName = writejob_ReadString(element, "PointName");
        record.HorzAngResidual = writejob_ReadDouble(element, "HorzAngResidual");
        record.VertAngResidual = writejob_ReadDouble(element, "VertAngResidual");
        record.SlopeDistResidual = writejob_ReadDouble(element, "SlopeDistResidual");
        record.Round = writejob_ReadInt(element, "Round");
        record.Observation = writejob_ReadReference(element, "Observation");
        record.MeanTurnedAngle = writejob_ReadReference(element, "MeanTurnedAngle");
    });
}

double writejob_ReadSignedDistance(const xml_Element* element, const Str& direction) {
    const double distance = writejob_ReadOptionalDouble(element, "Distance", 0.0);
    if (direction == "DBTYPE_Left" || direction == "DBTYPE_In") return maths_Negate(distance);
    return distance;
}

void JobWriter::WriteDistanceOffset(const xml_Element* element) {
    auto record = std::make_unique<db_DistanceOffset>();
    record->SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_ReadCircle(element, IsVersionFrom(1100, 500) ? "RawObservation" : "Circle", record->RawObservation);
    if (IsVersionFrom(1130, 500)) {
        record->LeftRightOffset = writejob_ReadOptionalDouble(element, "LeftRightOffset", 0.0);
        record->InOutOffset = writejob_ReadOptionalDouble(element, "InOutOffset", 0.0);
        record->DownUpOffset = writejob_ReadOptionalDouble(element, "DownUpOffset", 0.0);
        record->DisplayOffsetPerspective =
            load_optional_dbconfig_OffsetPerspectiveMode(element, "DisplayOffsetPerspective", 1);
    } else {
        // One signed distance along the direction the older layout names.
        record->LeftRightOffset = record->InOutOffset = record->DownUpOffset = 0.0;
        const Str direction = writejob_ReadString(element, "Direction");
        if (direction == "DBTYPE_Left" || direction == "DBTYPE_Right")
            record->LeftRightOffset = writejob_ReadSignedDistance(element, direction);
        else if (direction == "DBTYPE_In" || direction == "DBTYPE_Out")
            record->InOutOffset = writejob_ReadSignedDistance(element, direction);
    }
    writejob_CheckRecAttribute(element, "db_DistanceOffset");
    if (current == NODBID) {
        // Waits for the next measurement; its ID never enters the map.
        writejob_ReadTimeStamp(element, record.get());
        pendingDistanceOffset = std::move(record);
        return;
    }
    StoreRecord(element, record.get());
}
