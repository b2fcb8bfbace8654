// Averaged-point residuals, automatic entity names and local site transformations.
//
//   146 db_AverageResidual                      one observation's residual in an average;
//                                               never stored alone
//   147 db_AverageResiduals                     the residuals of one averaged point
//   148 db_AutoEntityNames                      the names proposed next for new entities
//                                               (persisted)
//   149 db_LocalTransformation                  a named local site transformation
//   150 db_LineTransformationDefinition         a transformation defined by one line
//   151 db_LocalTransformationPointPair         a grid / local grid pair with its residuals
//   152 db_LocalTransformationHelmertParameters the horizontal and vertical Helmert blocks
//
// db_AverageResiduals is the one record that writes whole records inside itself: an
// i32 count, then each residual with its own header (type 146, record id, timestamp,
// notes) and fields. A nested header of another type is reported and read on.
// Grids are written north, east, elevation.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/coords/coord.h"
#include "records/calibresiduals.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

class db_AverageResidual : public dbRecord_Body<db_AverageResidual> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AverageResidualRecord;
    static constexpr const char* TypeCheckText = "this->GetType() == record.GetType()";
    // The fewest bytes a residual takes inside its owner: a header with empty notes
    // (15) and the fields (55).
    static constexpr int MinBytes = 70;

    DBID ObservationID;
    bool IncludedInAverageComputation = true;
    coord_GridDeltas GridResidual;
    coord_Corrected AngleResidual;

    using R = db_AverageResidual;
    using Fields = dbfield_List<
        dbfield_Id<&R::ObservationID>, dbfield_Bool<&R::IncludedInAverageComputation>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dNorth>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dEast>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dElev>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::HorzCircle>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::VertCircle>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::SlopeDist>,
        dbfield_I16<&R::AngleResidual, &coord_Corrected::Face>>;
};

// The residuals of an averaged point: an i32 count, then exactly that many whole
// residual records; none when the count is zero or less.
class dbrecord_AverageResidualList {
public:
    // The count and exactly that many default residuals. A count taken from input is
    // bounded by the caller first (by the bytes or the entries that are there).
    void SetCount(int32_t count);
    int32_t Count() const { return _Count; }
    // The residual at index, or null (reported) outside the list.
    db_AverageResidual* GetAt(int index);
    const db_AverageResidual* GetAt(int index) const;

    void Write(WriteBuffer& buffer) const;
    // A count that the bytes left cannot hold reads no residual and marks the record
    // damaged, so a damaged count never drives an allocation.
    void Read(ReadBuffer& buffer, int& byteOffset);
    // Counts equal and each residual equal to the one at its index; the nested headers
    // are not compared.
    bool IsEqual(const dbrecord_AverageResidualList& other) const;

private:
    int32_t _Count = 0;
    std::vector<db_AverageResidual> _Residuals;
};

class db_AverageResiduals : public dbRecord_Body<db_AverageResiduals> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AverageResidualsRecord;
    static constexpr const char* TypeCheckText = "this->GetType() == record.GetType()";

    void SetNumberOfResiduals(int32_t count) { _Residuals.SetCount(count); }
    int32_t GetNumberOfResiduals() const { return _Residuals.Count(); }
    db_AverageResidual* GetResidual(int index) { return _Residuals.GetAt(index); }
    const db_AverageResidual* GetResidual(int index) const { return _Residuals.GetAt(index); }

private:
    dbrecord_AverageResidualList _Residuals;

public:
    using Fields = dbfield_List<dbfield_Value<&db_AverageResiduals::_Residuals>>;
};

class db_AutoEntityNames : public dbRecord_Body<db_AutoEntityNames> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AutoEntityNamesRecord;

    Str Point;
    Str Line;
    Str Arc;
    Str Reading;
    Str QuickMark;
    Str StakeOut;
    Str ContinuousPoint;
    Str ContinuousOffsetPointOne;
    Str ContinuousOffsetPointTwo;
    Str LaserOffset;
    Str Offset;
    Str GpsRTKControlPoint;
    Str ConstructionPoint;
    Str TSContinuous;
    Str TSSurfaceScan;

    using R = db_AutoEntityNames;
    using Fields = dbfield_List<
        dbfield_String<&R::Point>, dbfield_String<&R::Line>, dbfield_String<&R::Arc>,
        dbfield_String<&R::Reading>, dbfield_String<&R::QuickMark>, dbfield_String<&R::StakeOut>,
        dbfield_String<&R::ContinuousPoint>, dbfield_String<&R::ContinuousOffsetPointOne>,
        dbfield_String<&R::ContinuousOffsetPointTwo>, dbfield_String<&R::LaserOffset>,
        dbfield_String<&R::Offset>, dbfield_String<&R::GpsRTKControlPoint>,
        dbfield_String<&R::ConstructionPoint>, dbfield_String<&R::TSContinuous>,
        dbfield_String<&R::TSSurfaceScan>>;
};

class db_LocalTransformation : public dbRecord_Body<db_LocalTransformation> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LocalTransformationRecord;
    static constexpr const char* TypeCheckText = "this->GetType() == record.GetType()";

    const Str& GetName() const override { return TransformationName; }
    // Action 0 deletes, 1 undeletes; any other value changes nothing.
    void ApplyBoolAction(const db_BoolAction& action) override;

    Str TransformationName;
    int32_t TransformationMethod = 0;      // transformation_Method
    int32_t VerticalAdjustmentMethod = 0;  // dbqz_VerticalCalibrationMethod
    bool Deleted = false;
    bool ReadOnly = false;
    Str Source;

    using R = db_LocalTransformation;
    using Fields = dbfield_List<dbfield_String<&R::TransformationName>,
                                dbfield_I16<&R::TransformationMethod>,
                                dbfield_I16<&R::VerticalAdjustmentMethod>, dbfield_Bool<&R::Deleted>,
                                dbfield_Bool<&R::ReadOnly>, dbfield_String<&R::Source>>;
};

class db_LineTransformationDefinition : public dbRecord_Body<db_LineTransformationDefinition> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LineTransformationDefinitionRecord;
    static constexpr const char* TypeCheckText = "this->GetType() == record.GetType()";

    Str StartPointName;
    coord_CorrectedGrid StartPointGrid;
    coord_LocalTransformedGrid StartPointLocalGrid;
    Str EndPointName;
    coord_CorrectedGrid EndPointGrid;
    coord_LocalTransformedGrid EndPointLocalGrid;
    double ComputedGroundDistance = MATHS_Null;
    double ComputedLocalGridDistance = MATHS_Null;
    double DeltaComputedHDist = MATHS_Null;
    int32_t ScaleApplicationMethod = 0;  // transformation_ScaleApplicationMethod

    using R = db_LineTransformationDefinition;
    using CG = coord_CorrectedGrid;
    using LG = coord_LocalTransformedGrid;
    using Fields = dbfield_List<
        dbfield_String<&R::StartPointName>, dbfield_F64<&R::StartPointGrid, &CG::North>,
        dbfield_F64<&R::StartPointGrid, &CG::East>, dbfield_F64<&R::StartPointGrid, &CG::Elev>,
        dbfield_F64<&R::StartPointLocalGrid, &LG::North>, dbfield_F64<&R::StartPointLocalGrid, &LG::East>,
        dbfield_F64<&R::StartPointLocalGrid, &LG::Elev>, dbfield_String<&R::EndPointName>,
        dbfield_F64<&R::EndPointGrid, &CG::North>, dbfield_F64<&R::EndPointGrid, &CG::East>,
        dbfield_F64<&R::EndPointGrid, &CG::Elev>, dbfield_F64<&R::EndPointLocalGrid, &LG::North>,
        dbfield_F64<&R::EndPointLocalGrid, &LG::East>, dbfield_F64<&R::EndPointLocalGrid, &LG::Elev>,
        dbfield_F64<&R::ComputedGroundDistance>, dbfield_F64<&R::ComputedLocalGridDistance>,
        dbfield_F64<&R::DeltaComputedHDist>, dbfield_I16<&R::ScaleApplicationMethod>>;
};

class db_LocalTransformationPointPair : public dbRecord_Body<db_LocalTransformationPointPair> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LocalTransformationPointPairRecord;

    Str NEEPointId;        // the grid point
    Str LocalGridPointId;  // the local grid point
    int32_t Status = 0;    // dbqz_CalibrateStatus
    dbrecord_CalibResiduals Residuals;

    using R = db_LocalTransformationPointPair;
    using Fields = dbfield_List<dbfield_String<&R::NEEPointId>, dbfield_String<&R::LocalGridPointId>,
                                dbfield_I16<&R::Status>, dbfield_Value<&R::Residuals>>;
};

// The two parameter blocks of a Helmert local transformation, which the Helmert
// transformation of the coordinate geometry holds as its Parameters and Solution.
// Each writes, reads and compares its members in the order given, and clears to its
// defaults, which its constructor sets.
//
// The horizontal block: a similarity transformation about an origin.
class dbrecord_HelmertParameters {
public:
    dbrecord_HelmertParameters() { Clear(); }
    void Clear();

    void Write(WriteBuffer& buffer) const { Fields::Write(*this, buffer); }
    void Read(ReadBuffer& buffer, int& byteOffset) { Fields::Read(*this, buffer, byteOffset); }
    bool IsEqual(const dbrecord_HelmertParameters& other) const { return Fields::Equal(*this, other); }

    bool Apply;
    double OriginNorth;
    double OriginEast;
    double Scale;
    double Rotation;
    double TranslationNorth;
    double TranslationEast;
    double ScaleStdError;
    double RotationStdError;
    double TranslationNorthStdError;
    double TranslationEastStdError;

    using R = dbrecord_HelmertParameters;
    using Fields = dbfield_List<
        dbfield_Bool<&R::Apply>, dbfield_F64<&R::OriginNorth>, dbfield_F64<&R::OriginEast>,
        dbfield_F64<&R::Scale>, dbfield_F64<&R::Rotation>, dbfield_F64<&R::TranslationNorth>,
        dbfield_F64<&R::TranslationEast>, dbfield_F64<&R::ScaleStdError>,
        dbfield_F64<&R::RotationStdError>, dbfield_F64<&R::TranslationNorthStdError>,
        dbfield_F64<&R::TranslationEastStdError>>;
};

// The vertical block: a constant adjustment, or an inclined plane through an origin.
class dbrecord_HelmertSolution {
public:
    dbrecord_HelmertSolution() { Clear(); }
    void Clear();

    void Write(WriteBuffer& buffer) const { Fields::Write(*this, buffer); }
    void Read(ReadBuffer& buffer, int& byteOffset) { Fields::Read(*this, buffer, byteOffset); }
    bool IsEqual(const dbrecord_HelmertSolution& other) const { return Fields::Equal(*this, other); }

    bool Apply;
    bool ConstantAdjustmentOnly;
    double OriginNorth;
    double OriginEast;
    double NorthAdjustment;      // slope to the north
    double EastAdjustment;       // slope to the east
    double ElevationAdjustment;  // constant
    double NorthAdjustmentStdError;
    double EastAdjustmentStdError;
    double ElevationAdjustmentStdError;

    using R = dbrecord_HelmertSolution;
    using Fields = dbfield_List<
        dbfield_Bool<&R::Apply>, dbfield_Bool<&R::ConstantAdjustmentOnly>, dbfield_F64<&R::OriginNorth>,
        dbfield_F64<&R::OriginEast>, dbfield_F64<&R::NorthAdjustment>, dbfield_F64<&R::EastAdjustment>,
        dbfield_F64<&R::ElevationAdjustment>, dbfield_F64<&R::NorthAdjustmentStdError>,
        dbfield_F64<&R::EastAdjustmentStdError>, dbfield_F64<&R::ElevationAdjustmentStdError>>;
};

class db_LocalTransformationHelmertParameters
    : public dbRecord_Body<db_LocalTransformationHelmertParameters> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LocalTransformationHelmertParametersRecord;
    static constexpr const char* TypeCheckText = "this->GetType() == record.GetType()";

    dbrecord_HelmertParameters HorizontalParameters;
    dbrecord_HelmertSolution VerticalParameters;

    using R = db_LocalTransformationHelmertParameters;
    using Fields = dbfield_List<dbfield_Value<&R::HorizontalParameters>, dbfield_Value<&R::VerticalParameters>>;
};
