// File list, image, camera, scan, tunnel, import bracket, echo-sounder and 3D-axes
// elements converted end to end: an export through the library's entry point, the job
// file read back through the journal reader and reopened through the access object.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/element_writer.h"
#include "import/import_journal.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/entities.h"
#include "records/imaging.h"
#include "records/laserecho.h"
#include "records/lists.h"
#include "support/temp_folder.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

class ScanningConversion : public ::testing::Test {
protected:
    int ConvertText(const std::string& xml) {
        const std::string in = folder.Write("job" + std::to_string(++conversions) + ".xml", xml);
        jobPath = folder / ("job" + std::to_string(conversions) + ".job");
        const int result = ImportQZXMLFile(in.c_str(), jobPath.c_str(), nullptr);
        journal.clear();
        if (result == 0) {
            bool whole = false;
            journal = import_test::ReadJournal(jobPath, &whole);
            EXPECT_TRUE(whole);
        }
        return result;
    }
    // Converts the elements after a job header of the given version attributes.
    int Convert(const std::string& rootAttributes, const std::string& elements) {
        return ConvertText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JobExport " + rootAttributes +
                           ">\n<DATABASE_JobHeaderRecord ID=\"0x1\" TimeStamp=\"1\">Lists</DATABASE_JobHeaderRecord>\n" +
                           elements + "\n</JobExport>\n");
    }

    // The records of the journal with that operation, of class R, in file order.
    template <class R>
    std::vector<const JournalEntry*> Entries(int operation) const {
        std::vector<const JournalEntry*> found;
        for (const JournalEntry& entry : journal)
            if (entry.operation == operation && R::Cast(entry.record.get())) found.push_back(&entry);
        return found;
    }
    template <class R>
    const R* Only(int operation = DBMODEL_Append) const {
        const auto found = Entries<R>(operation);
        EXPECT_EQ(found.size(), 1u);
        return found.size() == 1 ? R::Cast(found[0]->record.get()) : nullptr;
    }
    // The record id an appended observation named name took.
    uint32_t ObservationId(const char* name) const {
        for (const JournalEntry* entry : Entries<db_Observation>(DBMODEL_Append))
            if (S(db_Observation::Cast(entry->record.get())->PointName) == name) return entry->recordId;
        return 0;
    }

    TempFolder folder;
    std::string jobPath;
    int conversions = 0;
    std::vector<JournalEntry> journal;
};

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

TEST_F(ScanningConversion, TunnelListsStoreTheirPointsAndTheSecondPassResolvesThem) {
    ASSERT_EQ(ConvertText(TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/import/scanning_tunnels.xml")), 0);
    const uint32_t s1 = ObservationId("S1");
    const uint32_t t1 = ObservationId("T1");
    ASSERT_NE(s1, 0u);
    ASSERT_NE(t1, 0u);

    // The list, then its three points (not the set-out point nested in it) and the
    // top-level point after it, each applied to the list in document order.
    const auto lists = Entries<db_TunnelXSPoints>(DBMODEL_Append);
    ASSERT_EQ(lists.size(), 2u);
    const JournalEntry& list = *lists[0];
    const auto* main = db_TunnelXSPoints::Cast(list.record.get());
    EXPECT_EQ(S(main->TunnelName), "Main");
    EXPECT_EQ(main->Station, 125.5);
    EXPECT_EQ(list.timeStamp, 1291900020.0);
    EXPECT_EQ(S(db_TunnelXSPoints::Cast(lists[1]->record.get())->TunnelName), "Old");  // the older element name

    const auto applied = Entries<db_TunnelPointDelta>(DBMODEL_Apply);
    ASSERT_EQ(applied.size(), 4u);
    const double deltas[] = {0.01, 0.02, MATHS_Null, 0.04};
    const uint32_t xmlObservations[] = {0x10, 0x11, 0x99, 0x11};
    for (size_t i = 0; i < applied.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(applied[i]->target, list.recordId);
        EXPECT_EQ(applied[i]->recordId, list.recordId + 1 + i);
        const auto* p = db_TunnelPointDelta::Cast(applied[i]->record.get());
        EXPECT_EQ(p->Delta, deltas[i]);
        EXPECT_EQ(p->Observation, DBID(xmlObservations[i]));  // the XML ID until the second pass
    }
    EXPECT_EQ(applied[0]->timeStamp, 1291900021.0);
    const auto* first = db_TunnelPointDelta::Cast(applied[0]->record.get());
    EXPECT_EQ(first->HorizontalOffset, -1.5);
    EXPECT_EQ(first->VerticalOffset, 2.25);
    EXPECT_EQ(first->DeltaStation, 0.125);

    // The set-out list passes over the measured point nested in it.
    const auto setoutApplied = Entries<db_TunnelSetoutPoint>(DBMODEL_Apply);
    ASSERT_EQ(setoutApplied.size(), 1u);
    const auto* setoutList = Only<db_TunnelXSSetoutPoints>();
    ASSERT_NE(setoutList, nullptr);
    EXPECT_EQ(setoutList->Station, 130.0);
    const auto* s = db_TunnelSetoutPoint::Cast(setoutApplied[0]->record.get());
    EXPECT_EQ(s->HorizontalOffset, 0.5);
    EXPECT_EQ(s->VerticalOffset, 1.5);
    EXPECT_EQ(s->DeltaStation, -0.25);

    // The second pass writes each point back at its own id, with the record ids.
    const auto replaced = Entries<db_TunnelPointDelta>(DBMODEL_Replace);
    ASSERT_EQ(replaced.size(), 4u);
    const uint32_t resolved[] = {s1, t1, 0, t1};
    for (size_t i = 0; i < replaced.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(replaced[i]->target, applied[i]->recordId);
        EXPECT_EQ(replaced[i]->recordId, applied[i]->recordId);
        EXPECT_EQ(replaced[i]->timeStamp, applied[i]->timeStamp);
        EXPECT_EQ(db_TunnelPointDelta::Cast(replaced[i]->record.get())->Observation, DBID(resolved[i]));
    }
    const auto setoutReplaced = Entries<db_TunnelSetoutPoint>(DBMODEL_Replace);
    ASSERT_EQ(setoutReplaced.size(), 1u);
    EXPECT_EQ(db_TunnelSetoutPoint::Cast(setoutReplaced[0]->record.get())->Observation, DBID(t1));
    // The lists themselves are not rewritten.
    EXPECT_TRUE(Entries<db_TunnelXSPoints>(DBMODEL_Replace).empty());

    // Point IDs resolve to no record, the list's ID to the list.
    const auto* image = Only<db_Image>(DBMODEL_Replace);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->PointRecordID, NODBID);
    EXPECT_EQ(image->BackBearingID, DBID(list.recordId));

    // The reopened job holds the points in their lists with the record ids.
    dbAccess access;
    ASSERT_TRUE(access.Open(Str(jobPath.c_str()), false));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
    const auto* held = db_TunnelXSPoints::Cast(access.GetRecord(DBID(list.recordId)));
    ASSERT_NE(held, nullptr);
    ASSERT_EQ(held->GetCount(), 4);
    for (int i = 0; i < 4; ++i) {
        const auto* p = db_TunnelPointDelta::Cast(held->GetPoint(i));
        EXPECT_EQ(p->Observation, DBID(resolved[i])) << i;
        EXPECT_EQ(p->GetRecordId(), DBID(applied[i]->recordId)) << i;
        EXPECT_EQ(p->Delta, deltas[i]) << i;
    }
    const auto* heldSetout = db_TunnelXSSetoutPoints::Cast(access.GetRecord(DBID(Entries<db_TunnelXSSetoutPoints>(DBMODEL_Append)[0]->recordId)));
    ASSERT_NE(heldSetout, nullptr);
    ASSERT_EQ(heldSetout->GetCount(), 1);
    EXPECT_EQ(db_TunnelSetoutPoint::Cast(heldSetout->GetPoint(0))->Observation, DBID(t1));
    access.Close();
}

TEST_F(ScanningConversion, EveryFieldOfTheImagingAndEchoElements) {
    ASSERT_EQ(ConvertText(TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/import/scanning_tunnels.xml")), 0);
    const uint32_t s1 = ObservationId("S1");
    const uint32_t t1 = ObservationId("T1");

    const auto* scan = Only<db_Scanning>(DBMODEL_Replace);
    ASSERT_NE(scan, nullptr);
    EXPECT_EQ(S(scan->GetNotes()), "scan 1\r\n");
    EXPECT_EQ(scan->StationID, DBID(s1));
    EXPECT_EQ(scan->BackBearingID, DBID(t1));
    EXPECT_EQ(scan->ScanType, 0);
    EXPECT_EQ(scan->ScanMode, 0);  // absent
    EXPECT_EQ(S(scan->FileName), "scan1.pts");
    EXPECT_EQ(scan->NumberOfPoints, 256u);
    EXPECT_EQ(scan->TimeTaken, 61.5);
    EXPECT_EQ(scan->AtDistance, 20.0);
    EXPECT_EQ(scan->HorizontalStep, 0.01);
    EXPECT_EQ(scan->VerticalStep, 0.02);
    EXPECT_EQ(scan->HorizontalDistInterval, 0.1);
    EXPECT_TRUE(maths_IsNull(scan->VerticalDistInterval));  // present but empty

    const auto* pano = Only<db_Panorama>();
    ASSERT_NE(pano, nullptr);
    EXPECT_EQ(pano->Method, 0);
    const double bounds[] = {pano->Top, pano->Left, pano->Bottom, pano->Right, pano->HAstep, pano->VAstep};
    const double expectedBounds[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bounds[i], expectedBounds[i]) << i;

    const auto* camera = Only<db_Camera>();
    ASSERT_NE(camera, nullptr);
    const CameraCalibration& c = camera->Calibration;
    EXPECT_EQ(c.CalibDate64, 1);  // 2^32 + 1: the low 32 bits
    const double parameters[] = {c.X0, c.Y0, c.CK, c.Kappa, c.Phi, c.Omega, c.S0, c.C0, c.Z0, c.I};
    const double expected[] = {1.5, 2.5, 3.5, 0.1, 0.2, 0.3, 4, 5, 6, 7};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(parameters[i], expected[i]) << i;
    EXPECT_EQ(c.K1, -2);
    EXPECT_EQ(c.P1, 1);  // 65537 in 16 bits
    EXPECT_EQ(c.P2, 3);
    EXPECT_EQ(c.PixelSizeX, 0.0000044);
    EXPECT_EQ(c.PixelSizeY, 0.0000045);
    EXPECT_EQ(c.PixelCountX, 2048);
    EXPECT_EQ(c.PixelCountY, 1536);
    EXPECT_EQ(c.ErrMeas, 0.25);
    EXPECT_EQ(c.CalibType, 0x12);
    EXPECT_TRUE(c.IsCalibrated());

    const auto* image = Only<db_Image>(DBMODEL_Replace);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->StationID, DBID(s1));
    EXPECT_EQ(image->CameraID, DBID(Entries<db_Camera>(DBMODEL_Append)[0]->recordId));
    EXPECT_EQ(S(image->FileName), "img1.jpg");
    EXPECT_EQ(image->HorizontalAngle, 1.25);
    EXPECT_EQ(image->VerticalAngle, 1.5);
    const int32_t ints[] = {image->Width, image->Height, image->SourceX, image->SourceY, image->SourceWidth,
                            image->SourceHeight};
    const int32_t expectedInts[] = {2048, 1536, 1, 2, 3, 4};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(ints[i], expectedInts[i]) << i;

    const auto* sd = Only<db_GridStdDeviations>();
    ASSERT_NE(sd, nullptr);
    EXPECT_EQ(sd->StdDev.North, 0.01);
    EXPECT_EQ(sd->StdDev.East, 0.02);
    EXPECT_EQ(sd->StdDev.Elev, 0.03);
    const auto* zone = Only<db_TimeZone>();
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(S(zone->TimeZoneName), "CET");
    EXPECT_EQ(zone->HoursToUTC, -1.0);
    EXPECT_EQ(S(Only<db_ImportDataBegin>()->Source), "points.csv");
    EXPECT_EQ(Only<db_ImportDataEnd>()->EntitiesImported, 12);
    EXPECT_EQ(Only<db_EchoSounding>()->Depth, 12.75);

    const auto* echo = Only<db_EchoSounderConfig>();
    ASSERT_NE(echo, nullptr);
    EXPECT_EQ(echo->EchoSounderType, 1);
    EXPECT_EQ(echo->Port, 2);
    EXPECT_EQ(echo->BaudRate, 9600u);  // "0x2580"
    EXPECT_EQ(echo->DataBits, 7);
    EXPECT_EQ(echo->StopBits, 2);
    EXPECT_EQ(echo->Parity, 0);
    EXPECT_TRUE(echo->UseEchoSounder);  // absent
    EXPECT_EQ(echo->EchoLatency, 0.0);  // absent

    const auto* axes = Only<db_3DAxes>();
    ASSERT_NE(axes, nullptr);
    EXPECT_EQ(S(axes->P1Name), "A");
    EXPECT_EQ(S(axes->P1Code), "wall");
    EXPECT_EQ(axes->P1Grid, coord_CorrectedGrid(2000, 1000, 50));
    EXPECT_EQ(S(axes->P2Name), "B");
    EXPECT_EQ(S(axes->P2Code), "roof");
    EXPECT_EQ(axes->P2Grid, coord_CorrectedGrid(2010, 1005, MATHS_Null));
    EXPECT_EQ(axes->OrthogHorizontalOffset, 0.1);
    EXPECT_EQ(axes->OrthogPerpendicularOffset, 0.2);
    EXPECT_EQ(axes->OrthogRadialOffset, 0.3);
    EXPECT_EQ(axes->OrthogDistanceToP1, 4.0);
    EXPECT_EQ(axes->OrthogDistanceToP2, 5.0);
    EXPECT_EQ(axes->OrthogIntersectionPoint, coord_CorrectedGrid(2004, 1002, 51));
    EXPECT_EQ(axes->VertHorizontalOffset, 0.4);
    EXPECT_EQ(axes->VertVerticalOffset, 0.5);
    EXPECT_EQ(axes->VertRadialOffset, 0.6);
    EXPECT_EQ(axes->VertDistanceToP1, 7.0);
    EXPECT_EQ(axes->VertDistanceToP2, 8.0);
    EXPECT_TRUE(axes->VertIntersectionPoint.IsNull());  // absent group

    const auto* settings = Only<db_TunnelSettings>();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(S(settings->TunnelName), "Main");
    EXPECT_EQ(settings->ScanInterval, 0.5);
    EXPECT_EQ(settings->ScanEDMTimeout, 3.0);
    EXPECT_EQ(settings->ScanStationTolerance, 0.05);
    EXPECT_EQ(settings->ScanOverbreakTolerance, 0.1);
    EXPECT_EQ(settings->ScanUnderbreakTolerance, 0.2);
    EXPECT_EQ(settings->ScanIterations, 4);
    EXPECT_EQ(settings->SetoutTolerance, 0.02);
    EXPECT_EQ(settings->SetoutIterations, 3);
    EXPECT_EQ(settings->SetoutEDMTimeout, 6.0);
}

TEST_F(ScanningConversion, FileListsFillTheSlotsTheirIndexesName) {
    ASSERT_EQ(ConvertText(TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/import/scanning_tunnels.xml")), 0);
    // A current stake-out list carries no files.
    ASSERT_NE(Only<db_StakeoutList>(), nullptr);
    EXPECT_TRUE(Only<db_StakeoutList>()->Uniques.empty());

    // The file without an index is dropped; the count is the slots filled.
    const auto* files = Only<db_AttachedFilesList>();
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->FileCount, 2u);
    EXPECT_EQ(files->Files.Occupied(), 2);
    ASSERT_NE(files->Files.Get(7), nullptr);
    EXPECT_EQ(S(files->Files.Get(7)->Filename), "a.dxf");
    EXPECT_EQ(files->Files.Get(7)->CoordType, 2);
    EXPECT_EQ(S(files->Files.Get(7)->LocalReferenceTransform), "site");
    ASSERT_NE(files->Files.Get(200), nullptr);
    EXPECT_EQ(files->Files.Get(200)->CoordType, 4);  // absent: grid

    // The second item for slot 2 replaces the first; an empty index is slot 0.
    const auto* background = Only<db_BackgroundFileList>();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->FilenameCount, 2u);
    EXPECT_EQ(S(*background->Filenames.Get(2)), "second.tif");
    EXPECT_EQ(S(*background->Filenames.Get(0)), "zero.tif");
}

// Before 1240 the stake-out list also stores the attached files, under the same ID.
TEST_F(ScanningConversion, OlderStakeoutListCarriesTheAttachedFiles) {
    const std::string elements =
        "<DATABASE_StakeoutListRecord ID=\"0x5\" rec=\"db_StakeoutList\" TimeStamp=\"7\"><Note>n</Note>"
        "<FilenameCount>2</FilenameCount><Filenames><item index=\"0\">a.csv</item><item index=\"3\">b.csv</item>"
        "<item index=\"4\">beyond the count.csv</item></Filenames></DATABASE_StakeoutListRecord>"
        "<DATABASE_ImageRecord ID=\"0x6\" rec=\"db_Image\"><StationID>0x5</StationID></DATABASE_ImageRecord>";
    ASSERT_EQ(Convert("product=\"Quorvel Zentrovane\" version=\"1200\"", elements), 0);
    const auto stakeouts = Entries<db_StakeoutList>(DBMODEL_Append);
    const auto files = Entries<db_AttachedFilesList>(DBMODEL_Append);
    ASSERT_EQ(stakeouts.size(), 1u);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0]->recordId, stakeouts[0]->recordId + 1);
    EXPECT_EQ(files[0]->timeStamp, 7.0);
    EXPECT_EQ(files[0]->notes, "");
    EXPECT_EQ(stakeouts[0]->notes, "n\r\n");
    const auto* list = db_AttachedFilesList::Cast(files[0]->record.get());
    EXPECT_EQ(list->FileCount, 2u);
    EXPECT_EQ(S(list->Files.Get(0)->Filename), "a.csv");
    EXPECT_EQ(S(list->Files.Get(3)->Filename), "b.csv");
    EXPECT_EQ(list->Files.Get(3)->CoordType, 4);
    EXPECT_EQ(list->Files.Get(4), nullptr);
    EXPECT_EQ(Only<db_Image>(DBMODEL_Replace)->StationID, DBID(files[0]->recordId));

    for (const char* root : {kCurrent, "product=\"Quorvel Zentrovane\" version=\"1240\"", ""}) {
        SCOPED_TRACE(root);
        ASSERT_EQ(Convert(root, elements), 0);
        EXPECT_EQ(Entries<db_StakeoutList>(DBMODEL_Append).size(), 1u);
        EXPECT_TRUE(Entries<db_AttachedFilesList>(DBMODEL_Append).empty());
    }
}

TEST_F(ScanningConversion, TunnelSettingsOlderAndNewerLayouts) {
    const std::string element =
        "<DATABASE_TunnelSettingsRecord ID=\"0x5\" rec=\"db_TunnelSettings\"><TunnelName>T</TunnelName>"
        "<ScanInterval>1</ScanInterval><EDMTimeout>2.5</EDMTimeout><StationTolerance>0.1</StationTolerance>"
        "<OverbreakTolerance>0.2</OverbreakTolerance><UnderbreakTolerance>0.3</UnderbreakTolerance>"
        "<ScanIterations>9</ScanIterations></DATABASE_TunnelSettingsRecord>";
    ASSERT_EQ(Convert("product=\"Quorvel Zentrovane\" version=\"1239\"", element), 0);
    const db_TunnelSettings* old = Only<db_TunnelSettings>();
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->ScanInterval, 1.0);
    EXPECT_EQ(old->ScanEDMTimeout, 2.5);
    EXPECT_EQ(old->SetoutEDMTimeout, 2.5);
    EXPECT_EQ(old->ScanStationTolerance, 0.1);
    EXPECT_EQ(old->ScanOverbreakTolerance, 0.2);
    EXPECT_EQ(old->ScanUnderbreakTolerance, 0.3);
    EXPECT_EQ(old->ScanIterations, 5);
    EXPECT_EQ(old->SetoutTolerance, 0.1);
    EXPECT_EQ(old->SetoutIterations, 5);

    for (const char* root : {"product=\"Quorvel Zentrovane\" version=\"1240\"", "product=\"Quorvel Tessaline\" version=\"600\""}) {
        SCOPED_TRACE(root);
        ASSERT_EQ(Convert(root, element), 0);
        const db_TunnelSettings* current = Only<db_TunnelSettings>();
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->ScanInterval, 1.0);
        EXPECT_TRUE(maths_IsNull(current->ScanEDMTimeout));
        EXPECT_TRUE(maths_IsNull(current->ScanStationTolerance));
        EXPECT_TRUE(maths_IsNull(current->SetoutTolerance));
        EXPECT_TRUE(maths_IsNull(current->SetoutEDMTimeout));
        EXPECT_EQ(current->ScanIterations, 9);
        EXPECT_EQ(current->SetoutIterations, 0);
    }
}

TEST_F(ScanningConversion, CalibrationDatesKeepTheirLow32Bits) {
    const struct {
        const char* text;
        int64_t expected;
    } cases[] = {{"4294967297", 1}, {"-1", 4294967295LL}, {"", 0}, {"123", 123}, {"99999999999999999999", 4294967295LL}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(Convert(kCurrent, std::string("<DATABASE_CameraRecord ID=\"0x5\" rec=\"db_Camera\"><CalibDate64>") +
                                        c.text + "</CalibDate64><isCalibrated>false</isCalibrated></DATABASE_CameraRecord>"),
                  0);
        ASSERT_NE(Only<db_Camera>(), nullptr);
        EXPECT_EQ(Only<db_Camera>()->Calibration.CalibDate64, c.expected);
    }
}

// A refused element fails the conversion with result 2 and leaves no job file.
TEST_F(ScanningConversion, RefusedElementsFailTheConversion) {
    for (const char* elements :
         {"<DATABASE_TunnelCrossSectionRecord ID=\"0x5\" rec=\"db_TunnelXSPoints\"/>",
          "<DATABASE_BackgroundFileListRecord ID=\"0x5\" rec=\"db_BackgroundFileList\"><FilenameCount>1</FilenameCount>"
          "<Filenames><item index=\"256\">a</item></Filenames></DATABASE_BackgroundFileListRecord>"}) {
        SCOPED_TRACE(elements);
        EXPECT_EQ(Convert(kCurrent, elements), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
    // The older cross section with its own "rec" stores a list of measured points.
    ASSERT_EQ(Convert(kCurrent, "<DATABASE_TunnelCrossSectionRecord ID=\"0x5\" rec=\"db_TunnelCrossSection\"/>"), 0);
    EXPECT_NE(Only<db_TunnelXSPoints>(), nullptr);
}

// ---------------------------------------------------------------------------------
// Messages, through the writer

using ScanningWriterTest = import_test::ElementWriterTest;

TEST_F(ScanningWriterTest, FailuresNameTheElement) {
    const std::string list = "DATABASE_TunnelXSPointsRecord ID=\"0x5\"";
    const struct {
        std::string xml;
        std::string message;
    } cases[] = {
        {"<DATABASE_TunnelCrossSectionRecord ID=\"0x5\" rec=\"db_TunnelXSPoints\"><TunnelName>T</TunnelName>"
         "</DATABASE_TunnelCrossSectionRecord>",
         "XML read error: \nwrong rec sttribute: db_TunnelXSPoints instead of db_TunnelCrossSection\n"
         "DATABASE_TunnelCrossSectionRecord ID=\"0x5\""},
        // A nested point fails under its list's name, after the list was stored.
        {"<DATABASE_TunnelXSPointsRecord ID=\"0x5\" rec=\"db_TunnelXSPoints\"><DATABASE_TunnelPointDeltaRecord "
         "ID=\"0x6\"/></DATABASE_TunnelXSPointsRecord>",
         "XML read error: \nmissing rec=\"db_TunnelPointDelta\"\n" + list},
        {"<DATABASE_TunnelXSPointsRecord ID=\"0x5\" rec=\"db_TunnelXSPoints\"><DATABASE_TunnelPointDeltaRecord "
         "ID=\"0x6\" rec=\"db_TunnelPointDelta\"><Observation>7</Observation></DATABASE_TunnelPointDeltaRecord>"
         "</DATABASE_TunnelXSPointsRecord>",
         "XML read error: \nInvalid hex number (missing 0x prefix) name=\"Observation\" with value=\"7\"\n" + list},
        // A point with no list of its kind open has nowhere to go.
        {"<DATABASE_EndEntityRecord ID=\"0x4\" rec=\"db_EndEntity\"/>"
         "<DATABASE_TunnelPointDeltaRecord ID=\"0x6\" rec=\"db_TunnelPointDelta\"/>",
         "XML read error: \nrecord of type 141 not stored: no open entity\nDATABASE_TunnelPointDeltaRecord ID=\"0x6\""},
        {"<DATABASE_TunnelXSSetoutPointsRecord ID=\"0x5\" rec=\"db_TunnelXSSetoutPoints\"/>"
         "<DATABASE_TunnelPointDeltaRecord ID=\"0x6\" rec=\"db_TunnelPointDelta\"/>",
         "XML read error: \nrecord of type 141 not stored: no open tunnel list of its kind\n"
         "DATABASE_TunnelPointDeltaRecord ID=\"0x6\""},
        // Slot indexes outside the table.
        {"<DATABASE_AttachedFilesRecord ID=\"0x5\" rec=\"db_AttachedFilesList\"><Files><File index=\"256\">"
         "<Filename>a</Filename></File></Files></DATABASE_AttachedFilesRecord>",
         "XML read error: \nfile slot index out of range: 256\nDATABASE_AttachedFilesRecord ID=\"0x5\""},
        {"<DATABASE_BackgroundFileListRecord ID=\"0x5\" rec=\"db_BackgroundFileList\"><FilenameCount>1</FilenameCount>"
         "<Filenames><item index=\"-1\">a</item></Filenames></DATABASE_BackgroundFileListRecord>",
         "XML read error: \nfile slot index out of range: -1\nDATABASE_BackgroundFileListRecord ID=\"0x5\""},
        {"<DATABASE_AttachedFilesRecord ID=\"0x5\" rec=\"db_AttachedFilesList\"><FileCount>0xZ</FileCount>"
         "</DATABASE_AttachedFilesRecord>",
         "XML read error: \nInvalid hex number name=\"FileCount\" with value=\"0xZ\"\nDATABASE_AttachedFilesRecord ID=\"0x5\""},
        // Required values.
        {"<DATABASE_ScanningRecord ID=\"0x5\" rec=\"db_Scanning\"/>",
         "XML read error: \nInvalid dbentity_ScanType name=\"ScanType\" with value=\"\"\nDATABASE_ScanningRecord ID=\"0x5\""},
        {"<DATABASE_PanoramaRecord ID=\"0x5\" rec=\"db_Panorama\"><Method></Method></DATABASE_PanoramaRecord>",
         "XML read error: \nInvalid dbentity_PanoramaMethod name=\"Method\" with value=\"\"\nDATABASE_PanoramaRecord ID=\"0x5\""},
        {"<DATABASE_CameraRecord ID=\"0x5\" rec=\"db_Camera\"/>",
         "XML read error: \nInvalid bool name=\"isCalibrated\" with value=\"\"\nDATABASE_CameraRecord ID=\"0x5\""},
        {"<DATABASE_EchoSounderConfigRecord ID=\"0x5\" rec=\"db_EchoSounderConfig\"><EchoSounderType>"
         "DBECHOSOUNDER_None</EchoSounderType><Parity>RS232_NoParity</Parity></DATABASE_EchoSounderConfigRecord>",
         "XML read error: \nInvalid rs232_Ports name=\"Port\" with value=\"\"\nDATABASE_EchoSounderConfigRecord ID=\"0x5\""},
        {"<DATABASE_EchoSounderConfigRecord ID=\"0x5\" rec=\"db_EchoSounderConfig\"><EchoSounderType>"
         "DBECHOSOUNDER_None</EchoSounderType><Port>RS232_COM1</Port><Parity>RS232_NoParity</Parity>"
         "<UseEchoSounder/></DATABASE_EchoSounderConfigRecord>",
         "XML read error: \nInvalid bool name=\"UseEchoSounder\" with value=\"\"\nDATABASE_EchoSounderConfigRecord ID=\"0x5\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Thrown(c.xml), c.message) << c.xml;
}

}  // namespace
