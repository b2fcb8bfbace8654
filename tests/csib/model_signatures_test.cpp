// Model file signatures: combined datum grid identifications, the RTCM target
// ellipsoid, grid headers at an offset, job file headers and the newest RTCM datum of
// a job whose data file is present.
#include "csib/model_signatures.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/files/path.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/job_fixture.h"
#include "records/coordsysdefs.h"
#include "support/grid_writer.h"
#include "support/recording_environment.h"
#include "support/rtd_writer.h"
#include "support/temp_folder.h"

namespace {

using gridtest::AsString;

Str S(const std::string& text) { return Str(text.c_str()); }

std::vector<uint8_t> SmallGrid(const std::string& name) {
    gridtest::GridLayout s;
    s.rows = 2;
    s.columns = 3;
    s.name = name;
    return gridtest::GridImage(s, [](int32_t r, int32_t c) { return r + 0.5 * c; });
}

// An identification and sets laid out by hand, little-endian.
struct Cdg {
    gridtest::Bytes b{false};
    Cdg(uint8_t format, const char* signature, const char* model, uint8_t sets) {
        b.Put<uint16_t>(61);
        b.Put(format);
        b.Put<uint8_t>(9);
        char field[32] = {};
        std::memcpy(field, signature, std::min<std::size_t>(24, std::strlen(signature)));
        b.Raw(field, 24);
        std::memset(field, 0, sizeof field);
        std::memcpy(field, model, std::min<std::size_t>(32, std::strlen(model)));
        b.Raw(field, 32);
        b.Put(sets);
    }
    void OtherSet(uint16_t type) {
        b.Put<uint16_t>(24);
        b.Put(type);
        b.Fill(20, 0xAB);
    }
    void HeightSet(double a, double inverseFlattening, const std::string& lat = "north.lat",
                   const std::string& lon = "north.lon", const std::string& height = "north.hgt") {
        b.Put<uint16_t>(12 + 3 * 64 + 16 + 4);
        b.Put<uint16_t>(2);
        for (uint32_t offset : {1000u, 2000u, 3000u}) b.Put(offset);
        for (const std::string* name : {&lat, &lon, &height}) {
            char field[64] = {};
            std::memcpy(field, name->data(), std::min<std::size_t>(64, name->size()));
            b.Raw(field, 64);
        }
        b.Put(a);
        b.Put(inverseFlattening);
    }
    std::string Bytes() {
        b.Fill(300, 0);  // every read takes 256 bytes
        return AsString(b.out);
    }
};

TEST(CdgSignature, FirstSetOfTypeOneOrTwo) {
    TempFolder folder;
    datum_CdgHeader h;
    const std::string plain =
        folder.Write("plain.CDG", AsString(gridtest::Container({SmallGrid("a"), SmallGrid("b")}, false)));
    ASSERT_TRUE(datum_ReadCdgHeader(h, S(plain)));
    EXPECT_EQ(1, h.setType);
    EXPECT_EQ(1, h.format);
    EXPECT_STREQ("QVX COMBINED GRID FILE", h.signature);
    EXPECT_STREQ("synthetic model", h.modelName);
    EXPECT_STREQ("source0.grd", h.latitudeSource);
    EXPECT_STREQ("source1.grd", h.longitudeSource);
    EXPECT_STREQ("", h.heightSource);
    EXPECT_EQ(0u, h.heightOffset);
    EXPECT_EQ(6378137.0, h.semiMajorAxis);
    EXPECT_EQ(1.0 / 298.257223563, h.flattening);
    coordsys_Ellipsoid ellipsoid;
    ASSERT_TRUE(datum_GetCdgEllipsoid(S(plain), ellipsoid));
    EXPECT_EQ(6378137.0, ellipsoid.EarthRadius);
    EXPECT_EQ(1.0 / 298.257223563, ellipsoid.Flattening);

    // The first set of another type is stepped over by its length.
    Cdg second(1, "QVX COMBINED GRID FILE", std::string(40, 'M').c_str(), 2);
    second.OtherSet(7);
    second.HeightSet(6377397.155, 299.1528128);
    ASSERT_TRUE(datum_ReadCdgHeader(h, S(folder.Write("second.CDG", second.Bytes()))));
    EXPECT_EQ(2, h.setType);
    EXPECT_EQ(1000u, h.latitudeOffset);
    EXPECT_EQ(2000u, h.longitudeOffset);
    EXPECT_EQ(3000u, h.heightOffset);
    EXPECT_STREQ("north.hgt", h.heightSource);
    EXPECT_EQ(6377397.155, h.semiMajorAxis);
    EXPECT_EQ(1.0 / 299.1528128, h.flattening);
    EXPECT_EQ(std::string(31, 'M'), h.modelName) << "a name filling its field is cut one short";
}

// Texts that fill their fields without a NUL are reported, then cut one short of the
// field; the height grid's source name is cut without a report.
TEST(CdgSignature, TextsFillingTheirFieldsAreReportedThenCut) {
    TempFolder folder;
    RecordingEnvironment env;
    datum_CdgHeader h;
    Cdg full(1, "QVX COMBINED GRID FILE", std::string(32, 'M').c_str(), 1);
    full.HeightSet(6378137.0, 298.257223563, std::string(64, 'a'), std::string(64, 'o'), std::string(64, 'h'));
    ASSERT_TRUE(datum_ReadCdgHeader(h, S(folder.Write("full.CDG", full.Bytes()))));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"strlen(modelName) < DATUM_CDGModelSize",
                                                           "strlen(latitudeSource) < DATUM_CDGSourceFileSize",
                                                           "strlen(longitudeSource) < DATUM_CDGSourceFileSize"}));
    EXPECT_EQ("Library/datum", env.assertions.at(0).module);
    EXPECT_EQ(std::string(31, 'M'), h.modelName);
    EXPECT_EQ(std::string(63, 'a'), h.latitudeSource);
    EXPECT_EQ(std::string(63, 'o'), h.longitudeSource);
    EXPECT_EQ(std::string(63, 'h'), h.heightSource);

    env.Clear();
    Cdg signature(1, "QVX COMBINED GRID FILE!!", "model", 1);
    signature.HeightSet(6378137.0, 298.257223563);
    EXPECT_FALSE(datum_ReadCdgHeader(h, S(folder.Write("signature.CDG", signature.Bytes()))));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"strlen(signature) < DATUM_CDGSignatureSize"}));

    env.Clear();
    Cdg fits(1, "QVX COMBINED GRID FILE", std::string(31, 'M').c_str(), 1);
    fits.HeightSet(6378137.0, 298.257223563, std::string(63, 'a'), std::string(63, 'o'), std::string(63, 'h'));
    ASSERT_TRUE(datum_ReadCdgHeader(h, S(folder.Write("fits.CDG", fits.Bytes()))));
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(std::string(63, 'a'), h.latitudeSource);
}

TEST(CdgSignature, RefusedFiles) {
    TempFolder folder;
    const auto identification = [](uint8_t format, const char* signature, uint8_t sets, uint16_t type) {
        Cdg c(format, signature, "model", sets);
        if (type == 2) c.HeightSet(6378137.0, 298.257223563);
        else c.OtherSet(type);
        return c.Bytes();
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"format 2", identification(2, "QVX COMBINED GRID FILE", 1, 2)},
        {"signature", identification(1, "QVX COMBINED GRID FILF", 1, 2)},
        {"signature without a NUL", identification(1, "QVX COMBINED GRID FILE!!", 1, 2)},
        {"no sets", identification(1, "QVX COMBINED GRID FILE", 0, 2)},
        {"no set of type 1 or 2", identification(1, "QVX COMBINED GRID FILE", 1, 3)},
        {"short", identification(1, "QVX COMBINED GRID FILE", 1, 2).substr(0, 200)},
    };
    datum_CdgHeader h;
    coordsys_Ellipsoid ellipsoid;
    for (const auto& c : cases) {
        const std::string path = folder.Write("bad.CDG", c.bytes);
        EXPECT_FALSE(datum_ReadCdgHeader(h, S(path))) << c.what;
        EXPECT_FALSE(datum_GetCdgEllipsoid(S(path), ellipsoid)) << c.what;
    }
    EXPECT_FALSE(datum_ReadCdgHeader(h, S(folder / "none.CDG")));
}

TEST(RtdSignature, TargetEllipsoid) {
    TempFolder folder;
    rtdtest::RtdLayout layout;
    coordsys_Ellipsoid ellipsoid;
    ASSERT_TRUE(datum_GetRtdEllipsoid(S(folder.Write("a.RTD", rtdtest::File(layout))), ellipsoid));
    EXPECT_EQ(6377397.155, ellipsoid.EarthRadius);
    EXPECT_EQ((6377397.155 - 6356078.962818) / 6377397.155, ellipsoid.Flattening);
    layout.version = 2;
    EXPECT_FALSE(datum_GetRtdEllipsoid(S(folder.Write("v.RTD", rtdtest::File(layout))), ellipsoid));
    layout.version = 1;
    layout.title = "RTCM Trafo Data Fil";
    EXPECT_FALSE(datum_GetRtdEllipsoid(S(folder.Write("t.RTD", rtdtest::File(layout))), ellipsoid));
    EXPECT_FALSE(datum_GetRtdEllipsoid(S(folder / "none.RTD"), ellipsoid));
    EXPECT_FALSE(datum_GetRtdEllipsoid(S(folder.Write("s.RTD", "RTCM")), ellipsoid));
    EXPECT_FALSE(datum_GetRtdEllipsoid(S(std::string(300, 'x')), ellipsoid));
}

TEST(GridSignature, HeadersAtAnOffset) {
    TempFolder folder;
    const std::vector<uint8_t> grid = SmallGrid("a grid");
    file_Class single(S(folder.Write("single.grd", AsString(grid))));
    gridfile_Header h;
    ASSERT_TRUE(gridfile_ReadHeader(single, 0, false, h));
    EXPECT_FALSE(single.IsOpen());
    EXPECT_EQ(0xFEFF, h.byteOrderMark);
    EXPECT_STREQ("a grid", h.name);
    EXPECT_EQ(2, h.rows);
    EXPECT_EQ(3, h.columns);
    EXPECT_EQ(10.0, h.south);
    EXPECT_EQ(10.5, h.north);
    EXPECT_EQ(20.0, h.west);
    EXPECT_EQ(20.5, h.east);
    EXPECT_EQ(0.25, h.columnSpacing);
    EXPECT_EQ(-9999.0, h.nullValue);
    EXPECT_EQ(2, h.interpolationWindow);
    EXPECT_EQ(0x02, h.method);
    EXPECT_EQ(1u << 4, h.cellType);
    EXPECT_TRUE(gridfile_IsGridFile(single));

    // Inside a container: the second grid lies after the identification, one set of
    // two grids, three bytes of padding and the first grid.
    const std::vector<uint8_t> container = gridtest::Container({SmallGrid("first"), SmallGrid("second")}, false);
    file_Class combined(S(folder.Write("c.CDG", AsString(container))));
    const int64_t second = 61 + (4 + 8 + 128 + 16) + 3 + static_cast<int64_t>(grid.size());
    ASSERT_TRUE(gridfile_ReadHeader(combined, second, true, h));
    EXPECT_TRUE(combined.IsOpen());
    combined.Close();
    EXPECT_STREQ("second", h.name);
    EXPECT_FALSE(gridfile_ReadHeader(combined, 0, false, h));
    EXPECT_FALSE(gridfile_IsGridFile(combined));
    EXPECT_FALSE(gridfile_ReadHeader(combined, static_cast<int64_t>(container.size()) - 145, false, h));
    EXPECT_FALSE(combined.IsOpen());
    file_Class shortFile(S(folder.Write("short.grd", AsString(grid).substr(0, 145))));
    EXPECT_FALSE(gridfile_IsGridFile(shortFile));
    EXPECT_FALSE(gridfile_IsGridFile(file_Class(S(folder / "none.grd"))));

    // A name filling its 32 bytes ends one short.
    gridtest::GridLayout s;
    s.name = std::string(32, 'N');
    const auto zero = [](int32_t, int32_t) { return 0.0; };
    file_Class named(S(folder.Write("named.grd", AsString(gridtest::GridImage(s, zero)))));
    ASSERT_TRUE(gridfile_ReadHeader(named, 0, false, h));
    EXPECT_EQ(std::string(31, 'N'), h.name);
}

std::string JobHeader(uint8_t type, uint8_t reserved, uint8_t major, uint8_t minor) {
    std::string bytes(48, '\0');
    std::memcpy(bytes.data(), "Quorvel Zentrovane Journal", 26);
    bytes[43] = static_cast<char>(type);
    bytes[44] = static_cast<char>(reserved);
    bytes[45] = static_cast<char>(major);
    bytes[46] = static_cast<char>(minor);
    bytes[47] = 4;
    return bytes + "journal follows";
}

TEST(JobFileSignature, TypeVersionAndTheByteAfterTheType) {
    TempFolder folder;
    const struct {
        uint8_t type, reserved, major, minor;
        bool passes;
    } cases[] = {
        {1, 0, 12, 45, true}, {1, 1, 12, 45, true}, {1, 2, 12, 45, false}, {1, 2, 6, 5, true},
        {1, 2, 6, 0, true},   {1, 2, 6, 4, false},  {1, 0, 3, 0, false},   {1, 0, 21, 0, false},
        {1, 0, 4, 0, true},   {1, 0, 20, 99, true}, {2, 0, 12, 45, false}, {1, 3, 12, 45, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.type) << " " << int(c.reserved) << " " << int(c.major) << "."
                                        << int(c.minor));
        uint8_t version[3] = {0, 0, 0};
        EXPECT_EQ(c.passes, jobfile_CheckHeader(S(folder.Write("j.job", JobHeader(c.type, c.reserved, c.major,
                                                                                  c.minor))),
                                                version));
        if (c.passes) {
            EXPECT_EQ(c.major, version[0]);
            EXPECT_EQ(c.minor, version[1]);
            EXPECT_EQ(4, version[2]);
        }
    }
    uint8_t version[3];
    EXPECT_FALSE(jobfile_CheckHeader(S(folder.Write("short.job", JobHeader(1, 0, 12, 45).substr(0, 47))), version));
    EXPECT_FALSE(jobfile_CheckHeader(S(folder / "none.job"), version));
}

// A datum record of some other record type between the datums is stepped over.
class LatestRtcmDatum : public JobFileTest {
protected:
    void SetUp() override {
        JobFileTest::SetUp();
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        std::filesystem::create_directories(tmp / "shared");
        path_DefineMacro("SharedDir", (tmp / "shared").c_str());
    }
    void TearDown() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        JobFileTest::TearDown();
    }
    void AppendDatum(int32_t type, const char* grid, double translationX = 0.0) {
        db_Datum record;
        record.Datum.DatumType = type;
        record.Datum.GridName = grid;
        record.Datum.TranslationX = translationX;
        dbRecord_AppendGrouped(job.GetAccess(), &record);
    }
};

TEST_F(LatestRtcmDatum, TheNewestWhoseFileExists) {
    coordsys_Datum found;
    dbJobIndex* index = job.GetJobIndex();
    ASSERT_NE(nullptr, index);
    EXPECT_FALSE(datum_FindLatestRtcmDatum(index, &found)) << "no datum record";
    AppendDatum(COORDSYS_RTCMGrid, "older", 1.0);
    db_Projection projection;
    dbRecord_AppendGrouped(job.GetAccess(), &projection);
    AppendDatum(COORDSYS_RTCMGrid, "", 2.0);
    AppendDatum(COORDSYS_SevenParameter, "older", 3.0);
    AppendDatum(COORDSYS_RTCMGrid, "newest", 4.0);
    EXPECT_FALSE(datum_FindLatestRtcmDatum(index, &found)) << "no file present";
    tmp.Write("shared/older.RTD", "x");
    ASSERT_TRUE(datum_FindLatestRtcmDatum(index, &found));
    EXPECT_EQ(1.0, found.TranslationX);
    EXPECT_EQ(S("older"), found.GridName);
    tmp.Write("shared/newest.RTD", "x");
    ASSERT_TRUE(datum_FindLatestRtcmDatum(index, &found));
    EXPECT_EQ(4.0, found.TranslationX);

    EXPECT_FALSE(datum_FindLatestRtcmDatum(nullptr, &found));
    EXPECT_FALSE(datum_FindLatestRtcmDatum(index, nullptr));
    dbJobIndex detached;
    EXPECT_FALSE(datum_FindLatestRtcmDatum(&detached, &found));
}

// A datum record whose name leads out of the shared folder does not qualify, though
// the file it leads to exists: the older record is found.
TEST_F(LatestRtcmDatum, ANameLeadingOutOfTheSharedFolderDoesNotQualify) {
    std::filesystem::create_directories(tmp / "outside");
    tmp.Write("outside/net.RTD", "x");
    tmp.Write("shared/older.RTD", "x");
    path_DefineMacro("Outside", "..\\outside\\");
    AppendDatum(COORDSYS_RTCMGrid, "older", 1.0);
    coordsys_Datum found;
    for (const std::string& name :
         {std::string("..\\outside\\net"), std::string("../outside/net"), std::string("$(Outside)net"), tmp / "outside/net"}) {
        SCOPED_TRACE(name);
        AppendDatum(COORDSYS_RTCMGrid, name.c_str(), 2.0);
        ASSERT_TRUE(datum_FindLatestRtcmDatum(job.GetJobIndex(), &found));
        EXPECT_EQ(1.0, found.TranslationX);
    }
}

}  // namespace
