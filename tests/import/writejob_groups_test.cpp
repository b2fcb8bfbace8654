// The group readers: components in place, absent and empty components, absent groups,
// only the first group of a name, and the required vocabulary components.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/element_tree.h"
#include "import/writejob_groups.h"
#include "support/str_print.h"
#include "support/thrown.h"

namespace {

using import_test::Node;
using import_test::Record;

TEST(WriteJobGroups, PolarLatLongHeightAndXYZReadTheirComponents) {
    auto record = Record({{"Polar", "", {{"VDist", "-1.5"}, {"HDist", "12.25"}, {"Azimuth", "0.5"}}},
                          {"WGS84", "", {{"Lat", "0.1"}, {"Long", "-2"}, {"Height", ""}}},
                          {"ECEF", "", {{"X", "1e6"}, {"Y", "2"}, {"Z", "3"}, {"X", "9"}}}});
    coord_Polar polar;
    writejob_ReadPolar(record.get(), "Polar", polar);
    EXPECT_EQ(polar.Azimuth, 0.5);
    EXPECT_EQ(polar.HDist, 12.25);
    EXPECT_EQ(polar.VDist, -1.5);

    coord_WGS84 wgs;
    writejob_ReadLatLongHeight(record.get(), "WGS84", wgs);
    EXPECT_EQ(wgs.Lat, 0.1);
    EXPECT_EQ(wgs.Long, -2.0);
    EXPECT_EQ(wgs.Height, MATHS_Null);  // empty is null

    coord_ECEF ecef;
    writejob_ReadXYZ(record.get(), "ECEF", ecef);
    EXPECT_EQ(ecef.X, 1e6);  // the first component of its name
    EXPECT_EQ(ecef.Y, 2.0);
    EXPECT_EQ(ecef.Z, 3.0);
}

// An absent required group leaves the value wholly null, whatever it held.
TEST(WriteJobGroups, AbsentRequiredGroupLeavesTheValueNull) {
    auto record = Record({{"polar", "", {{"Azimuth", "1"}}}});  // names compare case-sensitively
    coord_Polar polar(1, 2, 3);
    writejob_ReadPolar(record.get(), "Polar", polar);
    EXPECT_TRUE(polar.IsNull());

    coord_Local local(1, 2, 3);
    writejob_ReadLatLongHeight(record.get(), "Local", local);
    EXPECT_TRUE(local.IsNull());

    coord_ECEFGround ground(1, 2, 3);
    writejob_ReadXYZ(record.get(), "ECEFGround", ground);
    EXPECT_TRUE(ground.IsNull());

    coord_Corrected corrected(1, 2, 3, COORD_Face2);
    writejob_ReadCorrected(record.get(), "Residual", corrected);
    EXPECT_TRUE(corrected.IsNull());
    EXPECT_EQ(corrected.Face, COORD_FaceNull);

    coordsys_GroundPart scale;
    scale.Type = 2;
    writejob_ReadGroundScale(record.get(), "GroundScale", scale);
    EXPECT_EQ(scale.Type, 2);
    EXPECT_EQ(scale.Factor, MATHS_Null);
    EXPECT_TRUE(scale.ProjectLocation.IsNull());
    EXPECT_EQ(scale.NorthingOffset, MATHS_Null);
    EXPECT_EQ(scale.EastingOffset, MATHS_Null);
    EXPECT_EQ(scale.NorthingDelta, MATHS_Null);
    EXPECT_EQ(scale.EastingDelta, MATHS_Null);
}

TEST(WriteJobGroups, GridComponentsAreOptionalAndOnlyTheFirstGroupCounts) {
    auto record = Record({{"Grid", "", {{"Elev", "7.5"}}},
                          {"Grid", "", {{"North", "1"}, {"East", "2"}, {"Elev", "3"}}},
                          {"Other", "", {{"North", ""}, {"East", "4"}}}});
    coord_CorrectedGrid grid(9, 9, 9);
    writejob_ReadGrid(record.get(), "Grid", grid);
    EXPECT_EQ(grid.North, MATHS_Null);
    EXPECT_EQ(grid.East, MATHS_Null);
    EXPECT_EQ(grid.Elev, 7.5);

    coord_LocalTransformedGrid transformed(9, 9, 9);
    writejob_ReadGrid(record.get(), "Other", transformed);
    EXPECT_EQ(transformed.North, MATHS_Null);  // present but empty
    EXPECT_EQ(transformed.East, 4.0);
    EXPECT_EQ(transformed.Elev, MATHS_Null);

    writejob_ReadGrid(record.get(), "Absent", transformed);
    EXPECT_TRUE(transformed.IsNull());
}

TEST(WriteJobGroups, GridDeltas) {
    auto record = Record({{"Deltas", "", {{"dNorth", ""}, {"dEast", "0"}, {"dElev", "-0.25"}}}});
    coord_GridDeltas deltas;
    writejob_ReadGridDeltas(record.get(), "Deltas", deltas);
    EXPECT_EQ(deltas.dNorth, MATHS_Null);  // empty is null, not 0
    EXPECT_EQ(deltas.dEast, 0.0);
    EXPECT_EQ(deltas.dElev, -0.25);
    writejob_ReadGridDeltas(record.get(), "Absent", deltas);
    EXPECT_TRUE(deltas.IsNull());
}

TEST(WriteJobGroups, Circle) {
    auto record = Record({{"Circle", "", {{"HorzCircle", "1.25"}, {"VertCircle", "1.5"}, {"EDMDistance", "10"},
                                          {"Face", "COORD_Face2"}, {"HorzCircleStdErr", "0.001"},
                                          {"EDMDistanceStdErr", "0.002"}, {"EDMMeasurementMode", "TOTAL_EDMCoarse"}}},
                          {"NoMode", "", {{"Face", "COORD_Face1"}}},
                          {"NoFace", "", {{"HorzCircle", "1"}}},
                          {"BadFace", "", {{"Face", "Face9"}}}});
    coord_Circle circle;
    circle.Flag = true;
    writejob_ReadCircle(record.get(), "Circle", circle);
    EXPECT_EQ(circle.HorzCircle, 1.25);
    EXPECT_EQ(circle.VertCircle, 1.5);
    EXPECT_EQ(circle.EDMDistance, 10.0);
    EXPECT_EQ(circle.Face, COORD_Face2);
    EXPECT_EQ(circle.HorzCircleStdErr, 0.001);
    EXPECT_EQ(circle.VertCircleStdErr, MATHS_Null);
    EXPECT_EQ(circle.EDMDistanceStdErr, 0.002);
    EXPECT_EQ(circle.EDMMeasurementMode, 1);
    EXPECT_TRUE(circle.Flag);  // the second integer is not touched

    coord_Circle noMode;
    writejob_ReadCircle(record.get(), "NoMode", noMode);
    EXPECT_EQ(noMode.EDMMeasurementMode, 6);
    EXPECT_EQ(noMode.Face, COORD_Face1);

    coord_Circle absent;
    absent.HorzCircle = 3.0;
    writejob_ReadCircle(record.get(), "Absent", absent);
    EXPECT_EQ(absent.HorzCircle, 3.0);  // keeps what it held
    EXPECT_EQ(absent.EDMMeasurementMode, COORD_EDMNullMode);

    coord_Circle c;
    EXPECT_EQ(Thrown([&] { writejob_ReadCircle(record.get(), "NoFace", c); }).rfind("Invalid ", 0), 0u);
    EXPECT_NE(Thrown([&] { writejob_ReadCircle(record.get(), "BadFace", c); }).find("\"Face9\""),
              std::string::npos);
}

TEST(WriteJobGroups, CorrectedFaceIsOptional) {
    auto record = Record({{"Residual", "", {{"HorzCircle", "1"}, {"VertCircle", "2"}, {"SlopeDist", "3"}}},
                          {"Residual2", "", {{"Face", "COORD_Face2"}}}});
    coord_Corrected corrected;
    corrected.Face = COORD_Face1;
    writejob_ReadCorrected(record.get(), "Residual", corrected);
    EXPECT_EQ(corrected.HorzCircle, 1.0);
    EXPECT_EQ(corrected.VertCircle, 2.0);
    EXPECT_EQ(corrected.SlopeDist, 3.0);
    EXPECT_EQ(corrected.Face, COORD_FaceNull);
    writejob_ReadCorrected(record.get(), "Residual2", corrected);
    EXPECT_EQ(corrected.Face, COORD_Face2);
    EXPECT_EQ(corrected.HorzCircle, MATHS_Null);
}

TEST(WriteJobGroups, GroundScale) {
    auto record = Record({{"GroundScale", "",
                           {{"Type", "COORDSYS_CalculatedGroundScaleFactor"}, {"Factor", "1.0001"},
                            {"ProjectLocation", "", {{"Lat", "0.5"}, {"Long", "0.25"}, {"Height", "100"}}},
                            {"NorthingOffset", "10"}, {"EastingOffset", "20"}, {"NorthingDelta", ""},
                            {"EastingDelta", "40"}}},
                          {"NoType", "", {{"Factor", "2"}}}});
    coordsys_GroundPart scale;
    writejob_ReadGroundScale(record.get(), "GroundScale", scale);
    EXPECT_EQ(scale.Type, COORDSYS_CalculatedGroundScaleFactor);
    EXPECT_EQ(scale.Factor, 1.0001);
    EXPECT_EQ(scale.ProjectLocation.Lat, 0.5);
    EXPECT_EQ(scale.ProjectLocation.Long, 0.25);
    EXPECT_EQ(scale.ProjectLocation.Height, 100.0);
    EXPECT_EQ(scale.NorthingOffset, 10.0);
    EXPECT_EQ(scale.EastingOffset, 20.0);
    EXPECT_EQ(scale.NorthingDelta, MATHS_Null);
    EXPECT_EQ(scale.EastingDelta, 40.0);

    coordsys_GroundPart noType;
    EXPECT_EQ(Thrown([&] { writejob_ReadGroundScale(record.get(), "NoType", noType); }),
              "Invalid coordsys_GroundScaleFactorType name=\"Type\" with value=\"\"");
}

}  // namespace
