#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/editactions.h"
#include "records/jobheader.h"
#include "records/localtransform.h"
#include "record_bytes.h"
#include "support/allocation_watch.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

db_AverageResidual Residual(uint32_t observation, double dNorth, const char* notes = "") {
    db_AverageResidual r;
    FixHeader(r, 70 + observation, 500.0);
    r.SetNotes(notes);
    r.ObservationID = DBID(observation);
    r.IncludedInAverageComputation = observation % 2 == 0;
    r.GridResidual = coord_GridDeltas(dNorth, -0.002, 0.003);
    r.AngleResidual = coord_Corrected(0.0001, -0.0002, 0.004, COORD_Face2);
    return r;
}

db_AverageResiduals Averaged(std::vector<db_AverageResidual> residuals) {
    db_AverageResiduals r;
    FixHeader(r);
    r.SetNumberOfResiduals(static_cast<int32_t>(residuals.size()));
    for (size_t i = 0; i < residuals.size(); ++i) *r.GetResidual(static_cast<int>(i)) = residuals[i];
    return r;
}

// The bytes of a residual's own record.
Builder& ResidualBytes(Builder& b, const db_AverageResidual& r, const std::string& notes) {
    return b.Header(146, r.GetRecordId().Value(), 500.0, notes)
        .U32(r.ObservationID.Value())
        .U8(r.IncludedInAverageComputation ? 1 : 0)
        .F64(r.GridResidual.dNorth)
        .F64(-0.002)
        .F64(0.003)
        .F64(0.0001)
        .F64(-0.0002)
        .F64(0.004)
        .I16(COORD_Face2);
}

TEST(AverageResiduals, TwoResidualsAreWrittenAsWholeRecordsAfterTheirCount) {
    const db_AverageResiduals r = Averaged({Residual(2, 0.01, "first"), Residual(3, -0.02)});
    Builder expected;
    expected.Header(147, 7, 1000.5).I32(2);
    ResidualBytes(expected, *r.GetResidual(0), "first");
    ResidualBytes(expected, *r.GetResidual(1), "");
    EXPECT_EQ(Written(r), expected.b);

    db_AverageResiduals back;
    ASSERT_TRUE(ReadWhole(back, expected.b));
    ASSERT_EQ(back.GetNumberOfResiduals(), 2);
    EXPECT_EQ(back.GetResidual(0)->GetNotes(), "first");
    EXPECT_EQ(back.GetResidual(1)->GetRecordId(), DBID(73));
    EXPECT_EQ(back.GetResidual(1)->AngleResidual.Face, COORD_Face2);
    EXPECT_EQ(Written(back), expected.b);
    EXPECT_TRUE(back.IsEqual(r));
}

TEST(AverageResiduals, ADefaultResidualTakesTheFewestBytes) {
    db_AverageResidual r;
    FixHeader(r);
    const Bytes expected = Builder()
                               .Header(146, 7, 1000.5)
                               .U32(0)
                               .U8(1)
                               .F64(Null).F64(Null).F64(Null)
                               .F64(Null).F64(Null).F64(Null)
                               .I16(0)
                               .b;
    EXPECT_EQ(Written(r), expected);
    EXPECT_EQ(static_cast<int>(expected.size()), db_AverageResidual::MinBytes);
}

TEST(AverageResiduals, ZeroOrNegativeCountsCarryNoResiduals) {
    for (int32_t count : {0, -1, -5}) {
        db_AverageResiduals r;
        FixHeader(r);
        r.SetNumberOfResiduals(count);
        const Bytes expected = Builder().Header(147, 7, 1000.5).I32(count).b;
        EXPECT_EQ(Written(r), expected) << count;
        db_AverageResiduals back = Averaged({Residual(1, 0.5)});
        ASSERT_TRUE(ReadWhole(back, expected)) << count;
        EXPECT_EQ(back.GetNumberOfResiduals(), count);
        EXPECT_EQ(Written(back), expected) << count;
    }
}

TEST(AverageResiduals, EqualityLooksAtCountAndFieldsNotAtNestedHeaders) {
    const db_AverageResiduals r = Averaged({Residual(2, 0.01, "a"), Residual(3, -0.02)});
    db_AverageResiduals notes = Averaged({Residual(2, 0.01, "other"), Residual(3, -0.02, "more")});
    notes.GetResidual(1)->SetRecordId(DBID(999));
    notes.GetResidual(1)->SetTimeStamp(1.0);
    EXPECT_TRUE(r.IsEqual(notes));
    EXPECT_TRUE(r.IsEqual(r));

    db_AverageResiduals field = r;
    field.GetResidual(1)->AngleResidual.Face = COORD_Face1;
    EXPECT_FALSE(r.IsEqual(field));
    EXPECT_FALSE(r.IsEqual(Averaged({Residual(2, 0.01, "a")})));
    db_AverageResiduals none, negative;
    negative.SetNumberOfResiduals(-1);
    EXPECT_FALSE(none.IsEqual(negative));
}

TEST(AverageResiduals, CopiesOwnTheirResidualsWithHeaders) {
    db_AverageResiduals original = Averaged({Residual(2, 0.01, "kept")});
    db_AverageResiduals copy(original);
    db_AverageResiduals assigned;
    assigned = original;
    copy.GetResidual(0)->GridResidual.dNorth = 9.0;
    original.SetNumberOfResiduals(0);
    for (const db_AverageResiduals* r : {&copy, &assigned}) {
        ASSERT_EQ(r->GetNumberOfResiduals(), 1);
        EXPECT_EQ(r->GetResidual(0)->GetNotes(), "kept");
        EXPECT_EQ(r->GetResidual(0)->GetRecordId(), DBID(72));
    }
    EXPECT_EQ(assigned.GetResidual(0)->GridResidual.dNorth, 0.01);
    std::unique_ptr<dbRecord_Class> clone(assigned.Clone());
    EXPECT_EQ(Written(*clone), Written(assigned));
}

TEST(AverageResiduals, ACountTheBytesCannotHoldIsDamageWithoutAllocating) {
    RecordingEnvironment env;
    const db_AverageResiduals two = Averaged({Residual(2, 0.01), Residual(3, 0.02)});
    const Bytes whole = Written(two);
    const size_t countAt = Builder().Header(147, 7, 1000.5).b.size();
    // The count as the bytes would have it, then the same bytes under a larger count.
    for (int32_t count : {0x7FFFFFFF, 3}) {
        Bytes bytes = whole;
        for (int i = 0; i < 4; ++i) bytes[countAt + i] = static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i));
        db_AverageResiduals back = Averaged({Residual(1, 0.5)});
        AllocationWatch watch;
        EXPECT_FALSE(ReadInto(back, bytes)) << count;
        if (AllocationWatch::Available()) {
            EXPECT_LT(watch.LargestBlock(), 1024u) << count;
        }
        EXPECT_EQ(back.GetNumberOfResiduals(), 0) << count;
    }
    // A record cut inside its last residual is damaged too.
    db_AverageResiduals back;
    EXPECT_FALSE(ReadInto(back, Bytes(whole.begin(), whole.end() - 1)));
    EXPECT_TRUE(env.Expressions().size() <= 1u);
}

TEST(AverageResiduals, ANestedRecordOfAnotherTypeIsReportedAndReadOn) {
    RecordingEnvironment env;
    Bytes bytes = Written(Averaged({Residual(2, 0.01)}));
    const size_t nestedAt = Builder().Header(147, 7, 1000.5).I32(1).b.size();
    bytes[nestedAt] = 111;
    db_AverageResiduals back;
    EXPECT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(env.Expressions(),
              std::vector<std::string>{"this->GetType() == (database_RecordType) buffer.GetUInt16 (byteOffset)"});
    EXPECT_EQ(back.GetResidual(0)->ObservationID, DBID(2));
}

TEST(AverageResiduals, AnIndexOutsideTheResidualsIsReported) {
    RecordingEnvironment env;
    db_AverageResiduals r = Averaged({Residual(2, 0.01)});
    EXPECT_EQ(r.GetResidual(1), nullptr);
    EXPECT_EQ(r.GetResidual(-1), nullptr);
    EXPECT_EQ(env.Expressions().size(), 2u);
}

TEST(LocalTransformationRecords, DefaultLayouts) {
    db_AutoEntityNames names;
    FixHeader(names);
    Builder empties;
    empties.Header(148, 7, 1000.5);
    for (int i = 0; i < 15; ++i) empties.Text("");
    EXPECT_EQ(Written(names), empties.b);

    db_LocalTransformation transformation;
    FixHeader(transformation);
    EXPECT_EQ(Written(transformation), Builder().Header(149, 7, 1000.5).Text("").I16(0).I16(0).U8(0).U8(0).Text("").b);

    db_LineTransformationDefinition line;
    FixHeader(line);
    Builder lineBytes;
    lineBytes.Header(150, 7, 1000.5).Text("");
    for (int i = 0; i < 6; ++i) lineBytes.F64(Null);
    lineBytes.Text("");
    for (int i = 0; i < 9; ++i) lineBytes.F64(Null);
    lineBytes.I16(0);
    EXPECT_EQ(Written(line), lineBytes.b);

    const size_t header = Builder().Header(151, 7, 1000.5).b.size();
    db_LocalTransformationPointPair pair;
    FixHeader(pair);
    Builder pairBytes;
    pairBytes.Header(151, 7, 1000.5).Text("").Text("").I16(0).F64(0.0).F64(0.0).F64(0.0);
    for (int i = 0; i < 6; ++i) pairBytes.F64(Null);
    EXPECT_EQ(Written(pair), pairBytes.b);
    EXPECT_EQ(pairBytes.b.size() - header, 76u);

    db_LocalTransformationHelmertParameters helmert;
    FixHeader(helmert);
    Builder helmertBytes;
    helmertBytes.Header(152, 7, 1000.5).U8(0).F64(0.0).F64(0.0).F64(1.0).F64(0.0).F64(0.0).F64(0.0);
    for (int i = 0; i < 4; ++i) helmertBytes.F64(Null);
    helmertBytes.U8(0).U8(1);
    for (int i = 0; i < 5; ++i) helmertBytes.F64(0.0);
    for (int i = 0; i < 3; ++i) helmertBytes.F64(Null);
    EXPECT_EQ(Written(helmert), helmertBytes.b);
    EXPECT_EQ(helmertBytes.b.size() - header, 147u);
}

TEST(LocalTransformationRecords, FieldsAreWrittenInTheirOrder) {
    db_LineTransformationDefinition line;
    FixHeader(line);
    line.StartPointName = "A";
    line.StartPointGrid = coord_CorrectedGrid(1.0, 2.0, 3.0);  // N, E, Elev
    line.StartPointLocalGrid = coord_LocalTransformedGrid(4.0, 5.0, 6.0);
    line.EndPointName = "B";
    line.EndPointGrid = coord_CorrectedGrid(7.0, 8.0, 9.0);
    line.EndPointLocalGrid = coord_LocalTransformedGrid(10.0, 11.0, 12.0);
    line.ComputedGroundDistance = 13.0;
    line.ComputedLocalGridDistance = 14.0;
    line.DeltaComputedHDist = 15.0;
    line.ScaleApplicationMethod = 2;
    Builder expected;
    expected.Header(150, 7, 1000.5).Text("A").F64(1.0).F64(2.0).F64(3.0).F64(4.0).F64(5.0).F64(6.0).Text("B");
    for (int i = 7; i <= 15; ++i) expected.F64(i);
    expected.I16(2);
    EXPECT_EQ(Written(line), expected.b);

    db_LocalTransformationPointPair pair;
    FixHeader(pair);
    pair.NEEPointId = "G1";
    pair.LocalGridPointId = "L1";
    pair.Status = -3;
    double* values[] = {&pair.Residuals.OneD,       &pair.Residuals.TwoD,      &pair.Residuals.ThreeD,
                        &pair.Residuals.North,      &pair.Residuals.East,      &pair.Residuals.Elev,
                        &pair.Residuals.DeltaNorth, &pair.Residuals.DeltaEast, &pair.Residuals.DeltaElev};
    Builder pairBytes;
    pairBytes.Header(151, 7, 1000.5).Text("G1").Text("L1").I16(-3);
    for (int i = 0; i < 9; ++i) {
        *values[i] = 0.5 * (i + 1);
        pairBytes.F64(0.5 * (i + 1));
    }
    EXPECT_EQ(Written(pair), pairBytes.b);

    db_LocalTransformationHelmertParameters helmert;
    FixHeader(helmert);
    dbrecord_HelmertParameters& h = helmert.HorizontalParameters;
    dbrecord_HelmertSolution& v = helmert.VerticalParameters;
    h.Apply = true;
    double* horizontal[] = {&h.OriginNorth, &h.OriginEast, &h.Scale, &h.Rotation, &h.TranslationNorth,
                            &h.TranslationEast, &h.ScaleStdError, &h.RotationStdError,
                            &h.TranslationNorthStdError, &h.TranslationEastStdError};
    v.Apply = true;
    v.ConstantAdjustmentOnly = false;
    double* vertical[] = {&v.OriginNorth, &v.OriginEast, &v.NorthAdjustment, &v.EastAdjustment,
                          &v.ElevationAdjustment, &v.NorthAdjustmentStdError, &v.EastAdjustmentStdError,
                          &v.ElevationAdjustmentStdError};
    Builder helmertBytes;
    helmertBytes.Header(152, 7, 1000.5).U8(1);
    for (int i = 0; i < 10; ++i) {
        *horizontal[i] = 100.0 + i;
        helmertBytes.F64(100.0 + i);
    }
    helmertBytes.U8(1).U8(0);
    for (int i = 0; i < 8; ++i) {
        *vertical[i] = 200.0 + i;
        helmertBytes.F64(200.0 + i);
    }
    EXPECT_EQ(Written(helmert), helmertBytes.b);
    db_LocalTransformationHelmertParameters back;
    ASSERT_TRUE(ReadWhole(back, helmertBytes.b));
    EXPECT_TRUE(back.IsEqual(helmert));
    EXPECT_EQ(back.VerticalParameters.ElevationAdjustmentStdError, 207.0);

    // Clearing a block sets exactly its defaults.
    h.Clear();
    v.Clear();
    db_LocalTransformationHelmertParameters defaults;
    FixHeader(defaults);
    EXPECT_EQ(Written(helmert), Written(defaults));
}

TEST(LocalTransformationRecords, EqualityComparesEveryFieldUnderItsOwnTypeCheckText) {
    RecordingEnvironment env;
    const db_Note note;
    struct Case {
        std::unique_ptr<dbRecord_Class> record;
        const char* text;
    };
    Case cases[] = {
        {std::make_unique<db_AverageResidual>(), "this->GetType() == record.GetType()"},
        {std::make_unique<db_AverageResiduals>(), "this->GetType() == record.GetType()"},
        {std::make_unique<db_AutoEntityNames>(), "this->GetType() == record.GetType ()"},
        {std::make_unique<db_LocalTransformation>(), "this->GetType() == record.GetType()"},
        {std::make_unique<db_LineTransformationDefinition>(), "this->GetType() == record.GetType()"},
        {std::make_unique<db_LocalTransformationPointPair>(), "this->GetType() == record.GetType ()"},
        {std::make_unique<db_LocalTransformationHelmertParameters>(), "this->GetType() == record.GetType()"},
    };
    for (const Case& c : cases) {
        env.Clear();
        EXPECT_FALSE(c.record->IsEqual(note));
        EXPECT_EQ(env.Expressions(), std::vector<std::string>{c.text}) << c.record->GetType();
    }

    db_AutoEntityNames names, otherNames;
    otherNames.TSSurfaceScan = "Scan1";
    EXPECT_FALSE(names.IsEqual(otherNames));
    otherNames.TSSurfaceScan = "";
    otherNames.Point = "pt";
    names.Point = "PT";
    EXPECT_FALSE(names.IsEqual(otherNames));  // case counts
    db_LocalTransformationPointPair pair, otherPair;
    otherPair.Residuals.DeltaElev = 0.0;
    EXPECT_FALSE(pair.IsEqual(otherPair));
    db_LocalTransformationHelmertParameters helmert, otherHelmert;
    otherHelmert.VerticalParameters.ConstantAdjustmentOnly = false;
    EXPECT_FALSE(helmert.IsEqual(otherHelmert));
    otherHelmert = helmert;
    otherHelmert.HorizontalParameters.TranslationEastStdError = 0.0;
    EXPECT_FALSE(helmert.IsEqual(otherHelmert));
    db_LocalTransformation transformation, otherTransformation;
    otherTransformation.Source = "file.dc";
    EXPECT_FALSE(transformation.IsEqual(otherTransformation));
}

TEST(LocalTransformationRecords, TransformationTakesDeleteEditsAndNamesItself) {
    RecordingEnvironment env;
    db_LocalTransformation t;
    t.TransformationName = "Site 1";
    EXPECT_EQ(t.GetName(), "Site 1");
    const struct {
        int action;
        bool before;
        bool after;
    } cases[] = {{0, false, true}, {0, true, true}, {1, true, false}, {1, false, false},
                 {5, false, false}, {5, true, true}, {2, true, true}};
    for (const auto& c : cases) {
        t.Deleted = c.before;
        t.ApplyBoolAction(db_BoolAction(c.action));
        EXPECT_EQ(t.Deleted, c.after) << c.action << " " << c.before;
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_TRUE(t.InvalidatesPositions());
    EXPECT_TRUE(db_LocalTransformationHelmertParameters().InvalidatesPositions());
    EXPECT_FALSE(db_LineTransformationDefinition().InvalidatesPositions());
    EXPECT_TRUE(db_AutoEntityNames().IsPersisted());
    EXPECT_FALSE(t.IsPersisted());
}

TEST(LocalTransformationRecords, AnyNonZeroFlagByteReadsAsOne) {
    db_LocalTransformation t;
    FixHeader(t);
    const Bytes bytes = Builder().Header(149, 7, 1000.5).Text("T").I16(1).I16(-1).U8(0x80).U8(7).Text("S").b;
    ASSERT_TRUE(ReadWhole(t, bytes));
    EXPECT_TRUE(t.Deleted);
    EXPECT_TRUE(t.ReadOnly);
    EXPECT_EQ(t.VerticalAdjustmentMethod, -1);
    EXPECT_EQ(Written(t), Builder().Header(149, 7, 1000.5).Text("T").I16(1).I16(-1).U8(1).U8(1).Text("S").b);
}

}  // namespace
