// Station set-up and traverse elements converted end to end: an export through the
// library's entry point, the job file read back through the journal reader. Every
// stored field, the references the second pass resolves, the list-walking and absent
// child rules, and the exact message of each refused element.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/conversion_test.h"
#include "import/import_journal.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/traverse.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

class TraverseConversion : public import_test::StoredRecordsTest {
protected:
    // The record id of the observation of a point name.
    DBID PointId(const char* name) const {
        for (const db_Observation* o : Stored<db_Observation>())
            if (o->PointName == name) return o->GetRecordId();
        ADD_FAILURE() << "no point " << name;
        return NODBID;
    }
};

TEST_F(TraverseConversion, AResectionAndTraverseExportStoresEveryFieldAndReference) {
    ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/traverse.xml"), 0);
    Read();
    const DBID station = PointId("STN");
    const DBID backsight = PointId("BS1");
    ASSERT_NE(station, NODBID);
    ASSERT_NE(backsight, NODBID);
    ASSERT_NE(station, backsight);
    // The mean turned angle is applied to its observation.
    bool applied = false;
    for (const JournalEntry& entry : journal)
        applied |= entry.operation == DBMODEL_Apply && entry.target == backsight.Value() &&
                   entry.type == DATABASE_MeanTurnedAngleRecord;
    EXPECT_TRUE(applied);

    const std::vector<const db_StationSetupResiduals*> residuals = Stored<db_StationSetupResiduals>();
    ASSERT_EQ(residuals.size(), 2u);
    const db_StationSetupResiduals& resect = *residuals[0];
    EXPECT_EQ(resect.GetTimeStamp(), 1291900030.0);
    EXPECT_EQ(S(resect.GetNotes()), "resection\r\n");
    EXPECT_EQ(resect.Derivation, 'R' | ('S' << 8));
    EXPECT_EQ(S(resect.PointName), "BS1");
    EXPECT_EQ(resect.Dimension, 3);
    EXPECT_EQ(resect.Grid.North, 5100.25);
    EXPECT_EQ(resect.Grid.East, 2050.5);
    EXPECT_EQ(resect.Grid.Elev, 101.75);
    EXPECT_EQ(resect.GridResidual.dNorth, 0.004);
    EXPECT_EQ(resect.GridResidual.dEast, -0.003);
    EXPECT_EQ(resect.GridResidual.dElev, 0.002);
    EXPECT_EQ(resect.AngleResidual.HorzCircle, 0.00001);
    EXPECT_EQ(resect.AngleResidual.VertCircle, -0.00002);
    EXPECT_EQ(resect.AngleResidual.SlopeDist, 0.005);
    EXPECT_EQ(resect.AngleResidual.Face, COORD_Face2);
    EXPECT_EQ(resect.AzimuthResidual, 0.00003);
    EXPECT_EQ(resect.LongitudinalDistanceResidual, 0.006);
    EXPECT_EQ(resect.OrthogonalDistanceResidual, -0.007);
    EXPECT_EQ(resect.RadialDistResidual, 0.008);
    EXPECT_EQ(resect.Round, 3);
    EXPECT_TRUE(resect.Backsight);
    EXPECT_EQ(resect.Observation, backsight);
    EXPECT_EQ(resect.MeanTurnedAngle, backsight);  // a measurement's ID names its observation

    // Absent children: no grid or grid residual (null), no "Round" (0), no "Backsight"
    // (false), "Face" absent (0), an empty double (null), an unknown reference (0).
    const db_StationSetupResiduals& setup = *residuals[1];
    EXPECT_EQ(setup.Derivation, 0x2020);
    EXPECT_EQ(S(setup.PointName), "STN");
    EXPECT_EQ(setup.Dimension, 2);
    EXPECT_TRUE(setup.Grid.IsNull());
    EXPECT_TRUE(setup.GridResidual.IsNull());
    EXPECT_EQ(setup.AngleResidual.HorzCircle, 0.5);
    EXPECT_EQ(setup.AngleResidual.VertCircle, 1.25);
    EXPECT_EQ(setup.AngleResidual.SlopeDist, 2.5);
    EXPECT_EQ(setup.AngleResidual.Face, COORD_FaceNull);
    EXPECT_EQ(setup.AzimuthResidual, MATHS_Null);
    EXPECT_EQ(setup.LongitudinalDistanceResidual, MATHS_Null);
    EXPECT_EQ(setup.Round, 0);
    EXPECT_FALSE(setup.Backsight);
    EXPECT_EQ(setup.Observation, station);
    EXPECT_EQ(setup.MeanTurnedAngle, NODBID);

    const db_ResectErrors& errors = One<db_ResectErrors>();
    EXPECT_EQ(errors.GetTimeStamp(), 1291900032.0);
    EXPECT_EQ(errors.Deltas.dNorth, 0.011);
    EXPECT_EQ(errors.Deltas.dEast, -0.012);
    EXPECT_EQ(errors.Deltas.dElev, 0.013);

    const db_Stationing& stationing = One<db_Stationing>();
    EXPECT_EQ(stationing.Start, 1000.0);
    EXPECT_EQ(stationing.Increment, 20.0);

    const db_Traverse& traverse = One<db_Traverse>();
    EXPECT_EQ(traverse.GetTimeStamp(), 1291900034.0);
    EXPECT_EQ(S(traverse.TraverseName), "Loop 1");
    EXPECT_EQ(traverse.Derivation, 'T' | ('V' << 8));
    EXPECT_FALSE(traverse.Deleted);
    EXPECT_EQ(S(traverse.BSPoint), "BS1");
    EXPECT_EQ(traverse.BSAzimuth, 0.25);
    EXPECT_TRUE(traverse.BSAzimuthKeyedIn);
    EXPECT_EQ(S(traverse.FSPoint), "FS9");
    EXPECT_EQ(traverse.FSAzimuth, 3.5);
    EXPECT_FALSE(traverse.FSAzimuthKeyedIn);
    ASSERT_EQ(traverse.ListOfStations.Count(), 3);
    EXPECT_EQ(S(traverse.ListOfStations[0]), "STN");
    EXPECT_EQ(S(traverse.ListOfStations[2]), "T3");

    const db_TraverseClosure& closure = One<db_TraverseClosure>();
    EXPECT_EQ(closure.TraversePtr, traverse.GetRecordId());
    EXPECT_EQ(closure.AzimuthMisclose, 0.0001);
    EXPECT_EQ(closure.DistanceMisclose, 0.021);
    EXPECT_EQ(closure.TraverseLength, 845.5);
    EXPECT_EQ(closure.Precision, 40262.0);
    EXPECT_EQ(closure.DeltaNorth, 0.015);
    EXPECT_EQ(closure.DeltaEast, -0.014);
    EXPECT_EQ(closure.DeltaElev, 0.003);
    EXPECT_EQ(closure.Results, 2);
    ASSERT_EQ(closure.TraverseLegs.Count(), 2);
    const dbrecord_TraverseLeg& second = *closure.TraverseLegs.GetAt(1);
    EXPECT_EQ(S(second.FromPt), "T2");
    EXPECT_EQ(S(second.ToPt), "T3");
    EXPECT_EQ(second.Polar.Azimuth, 2.5);
    EXPECT_EQ(second.Polar.HDist, 280.0);
    EXPECT_EQ(second.Polar.VDist, -0.5);
    EXPECT_EQ(S(closure.TraverseLegs.GetAt(0)->FromPt), "STN");

    const db_TraverseAdjustment& adjustment = One<db_TraverseAdjustment>();
    EXPECT_EQ(adjustment.Method, 1);
    EXPECT_EQ(adjustment.Angle, 1);
    EXPECT_EQ(adjustment.Elevation, 2);

    // The residuals and the closure hold references: each is replaced once in place.
    int replaced = 0;
    for (const JournalEntry& entry : journal)
        if (entry.operation == DBMODEL_Replace) {
            ++replaced;
            EXPECT_TRUE(entry.type == DATABASE_StationSetupResidualRecord || entry.type == DATABASE_TraverseClosureRecord)
                << entry.type;
        }
    EXPECT_EQ(replaced, 3);
}

std::string Closure(const std::string& legs) {
    return "<DATABASE_TraverseClosureRecord ID=\"0x40\" rec=\"db_TraverseClosure\"><Results>DBENTITY_Closed</Results>" +
           legs + "</DATABASE_TraverseClosureRecord>";
}

std::string Leg(const char* from) {
    return std::string("<Leg><FromPt>") + from + "</FromPt><ToPt>X</ToPt><Polar><Azimuth>1</Azimuth></Polar></Leg>";
}

TEST_F(TraverseConversion, LegsAreTheRunOfLegChildren) {
    const struct {
        std::string legs;
        std::vector<std::string> from;
    } cases[] = {
        {"<TraverseLegs>" + Leg("A") + Leg("B") + "<Note>n</Note>" + Leg("C") + "</TraverseLegs>", {"A", "B"}},
        {"<TraverseLegs><Note>n</Note>" + Leg("A") + Leg("B") + "</TraverseLegs>", {"A", "B"}},
        {"<TraverseLegs/>", {}},
        {"", {}},
        {Leg("A"), {}},  // legs outside the group
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legs);
        ConvertAndRead(Closure(c.legs));
        const db_TraverseClosure& closure = One<db_TraverseClosure>();
        ASSERT_EQ(closure.TraverseLegs.Count(), static_cast<int>(c.from.size()));
        for (int i = 0; i < closure.TraverseLegs.Count(); ++i) {
            EXPECT_EQ(S(closure.TraverseLegs.GetAt(i)->FromPt), c.from[static_cast<size_t>(i)]);
            EXPECT_EQ(closure.TraverseLegs.GetAt(i)->Polar.Azimuth, 1.0);
            EXPECT_EQ(closure.TraverseLegs.GetAt(i)->Polar.HDist, MATHS_Null);
        }
    }
    // A leg without its "Polar" group converts with a null polar.
    ConvertAndRead(Closure("<TraverseLegs><Leg><FromPt>A</FromPt></Leg></TraverseLegs>"));
    ASSERT_EQ(One<db_TraverseClosure>().TraverseLegs.Count(), 1);
    EXPECT_TRUE(One<db_TraverseClosure>().TraverseLegs.GetAt(0)->Polar.IsNull());
    EXPECT_EQ(S(One<db_TraverseClosure>().TraverseLegs.GetAt(0)->ToPt), "");
}

std::string Traverse(const std::string& children) {
    return "<DATABASE_TraverseHeaderRecord ID=\"0x41\" rec=\"db_Traverse\"><TraverseName>T</TraverseName>" + children +
           "<BSAzimuthKeyedIn>false</BSAzimuthKeyedIn><FSAzimuthKeyedIn>true</FSAzimuthKeyedIn>"
           "</DATABASE_TraverseHeaderRecord>";
}

TEST_F(TraverseConversion, StationsAndTheDeletedFlagOfATraverse) {
    const struct {
        std::string children;
        std::vector<std::string> stations;
        bool deleted;
    } cases[] = {
        {"<Deleted>false</Deleted><ListOfStations><Other>Z</Other></ListOfStations>", {}, false},
        {"<Deleted>false</Deleted>", {}, false},
        {"<Deleted>true</Deleted><ListOfStations><item>A</item><Other>Z</Other><item>B</item></ListOfStations>",
         {"A"},
         true},
        {"<Deleted>TRUE</Deleted><ListOfStations><Other>Z</Other><item>A</item><item>B</item></ListOfStations>",
         {"A", "B"},
         true},
        {"<Deleted></Deleted><Classification>DBENTITY_Normal</Classification>", {}, false},
        {"<Classification>DBENTITY_DeletedNormal</Classification>", {}, true},
        {"<Deleted>false</Deleted><Classification>DBENTITY_DeletedNormal</Classification>", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.children);
        ConvertAndRead(Traverse(c.children));
        const db_Traverse& traverse = One<db_Traverse>();
        EXPECT_EQ(traverse.Deleted, c.deleted);
        EXPECT_EQ(traverse.IsDeleted(), c.deleted);
        ASSERT_EQ(traverse.ListOfStations.Count(), static_cast<int>(c.stations.size()));
        for (int i = 0; i < traverse.ListOfStations.Count(); ++i)
            EXPECT_EQ(S(traverse.ListOfStations[i]), c.stations[static_cast<size_t>(i)]);
        EXPECT_EQ(traverse.Derivation, 0x2020);
        EXPECT_EQ(traverse.BSAzimuth, MATHS_Null);
    }
}

TEST_F(TraverseConversion, AbsentResidualGroupsReadNull) {
    ConvertAndRead(
        "<DATABASE_ResectResidualRecord ID=\"0x42\" rec=\"db_ResectResiduals\"><Dimension>DBTYPE_None</Dimension>"
        "</DATABASE_ResectResidualRecord>"
        "<DATABASE_ResectErrorsRecord ID=\"0x43\" rec=\"db_ResectErrors\"/>"
        "<DATABASE_StationingRecord ID=\"0x44\" rec=\"db_Stationing\"/>");
    const db_StationSetupResiduals& r = One<db_StationSetupResiduals>();
    EXPECT_TRUE(r.Grid.IsNull());
    EXPECT_TRUE(r.GridResidual.IsNull());
    EXPECT_TRUE(r.AngleResidual.IsNull());
    EXPECT_EQ(r.RadialDistResidual, MATHS_Null);
    EXPECT_EQ(r.Round, 0);
    EXPECT_FALSE(r.Backsight);
    EXPECT_EQ(r.Observation, NODBID);
    EXPECT_TRUE(One<db_ResectErrors>().Deltas.IsNull());
    EXPECT_EQ(One<db_Stationing>().Start, MATHS_Null);
    EXPECT_EQ(One<db_Stationing>().Increment, MATHS_Null);
}

// A refused element: the dispatcher's message, and the conversion fails with result 2
// and leaves no job file.
class RefusedElements : public TraverseConversion {};

std::string Wrapped(const std::string& message, const char* element) {
    return "XML read error: \n" + message + "\n" + element + " ID=\"0x50\"";
}

TEST_F(RefusedElements, EachGivesItsExactMessageAndResultTwo) {
    const char* resect = "DATABASE_ResectResidualRecord";
    const char* setup = "DATABASE_StationSetupResidualRecord";
    const char* header = "DATABASE_TraverseHeaderRecord";
    const char* closure = "DATABASE_TraverseClosureRecord";
    const char* adjustment = "DATABASE_TraverseAdjustmentRecord";
    const std::string keyedIn = "<BSAzimuthKeyedIn>true</BSAzimuthKeyedIn><FSAzimuthKeyedIn>false</FSAzimuthKeyedIn>";
    const Refusal cases[] = {
        // Each residual element refuses the other's "rec".
        {resect, "db_StationSetupResiduals", "<Dimension>DBTYPE_1d</Dimension>",
         "wrong rec sttribute: db_StationSetupResiduals instead of db_ResectResiduals"},
        {setup, "db_ResectResiduals", "<Dimension>DBTYPE_1d</Dimension>",
         "wrong rec sttribute: db_ResectResiduals instead of db_StationSetupResiduals"},
        // Children in table order: the first bad one decides, before "rec".
        {resect, "db_Wrong", "<Derivation>ABC</Derivation><Dimension>bad</Dimension>",
         "Derivation code is not 2 characters"},
        {setup, "db_Wrong", "<Dimension>DBTYPE_4d</Dimension><Backsight>yes</Backsight>",
         Invalid("dbtype_Dimension", "Dimension", "DBTYPE_4d")},
        {setup, "db_StationSetupResiduals", "<Backsight>true</Backsight>", Invalid("dbtype_Dimension", "Dimension", "")},
        {setup, "db_StationSetupResiduals", "<Dimension>DBTYPE_1d</Dimension><Backsight></Backsight>",
         Invalid("bool", "Backsight", "")},
        {setup, "db_StationSetupResiduals", "<Dimension>DBTYPE_1d</Dimension><Observation>12</Observation>",
         Invalid("hex number (missing 0x prefix)", "Observation", "12")},
        {header, "db_Traverse", "<Derivation>T</Derivation>" + keyedIn, "Derivation code is not 2 characters"},
        {header, "db_Traverse", "<Deleted>No</Deleted>" + keyedIn, Invalid("bool", "Deleted", "no")},
        {header, "db_Traverse", "<Classification>Normal</Classification>" + keyedIn,
         Invalid("load_legacy_dbentity_Classification", "Classification", "Normal")},
        {header, "db_Traverse", "<Deleted>false</Deleted><FSAzimuthKeyedIn>false</FSAzimuthKeyedIn>",
         Invalid("bool", "BSAzimuthKeyedIn", "")},
        {header, "db_Traverse", "<Deleted>false</Deleted><BSAzimuthKeyedIn>1</BSAzimuthKeyedIn>",
         Invalid("bool", "BSAzimuthKeyedIn", "1")},
        {header, "db_Traverses", "<Deleted>false</Deleted>" + keyedIn,
         "wrong rec sttribute: db_Traverses instead of db_Traverse"},
        {closure, "db_TraverseClosure", "<Results>DBENTITY_Open</Results>",
         Invalid("dbentity_TrvResultType", "Results", "DBENTITY_Open")},
        {closure, "db_TraverseClosure", "<TraversePtr>0xZ</TraversePtr><Results>DBENTITY_Closed</Results>",
         Invalid("hex number", "TraversePtr", "0xZ")},
        {adjustment, "db_TraverseAdjustment", "<Angle>DBENTITY_NoMethod</Angle>",
         Invalid("dbentity_TrvAdjustmentMethod", "Method", "")},
        {adjustment, "db_TraverseAdjustment",
         "<Method>DBENTITY_CompassMethod</Method><Angle>DBENTITY_Compass</Angle>",
         Invalid("dbentity_TrvAdjustmentType", "Angle", "DBENTITY_Compass")},
        {adjustment, "db_TraverseAdjustment",
         "<Method>DBENTITY_CompassMethod</Method><Angle>DBENTITY_NoMethod</Angle>",
         Invalid("dbentity_TrvAdjustmentType", "Elevation", "")},
    };
    for (const Refusal& c : cases) ExpectRefused(c);
    // The elements without a "rec".
    EXPECT_EQ(Message("<DATABASE_StationingRecord ID=\"0x50\"/>"),
              Wrapped("missing rec=\"db_Stationing\"", "DATABASE_StationingRecord"));
    EXPECT_EQ(Message("<DATABASE_ResectErrorsRecord ID=\"0x50\" rec=\"db_ResectError\"/>"),
              Wrapped("wrong rec sttribute: db_ResectError instead of db_ResectErrors", "DATABASE_ResectErrorsRecord"));
}

}  // namespace
