// Point observations, their measurements and their features, converted end to end:
// each export is written to a temp folder, converted by ImportQZXMLFile, and the job
// file is read back twice: its journal for the actions in order, and the reopened job
// for the stored records with their references resolved.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "foundation/xml/xmlindex.h"
#include "import/element_writer.h"
#include "import/road_file_list.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbjournal.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/cogo.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "records/traverse.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

struct Action {
    int operation;
    uint32_t target;
    int type;
    std::unique_ptr<dbRecord_Class> record;
};

// Owns the reopened job; records stay valid while it lives.
class StoredJob {
public:
    explicit StoredJob(const std::string& path) { opened_ = job_.Open(Str(path.c_str()), false); }
    ~StoredJob() {
        if (opened_) job_.Close();
    }
    bool Opened() const { return opened_; }
    const dbRecord_Class* Get(uint32_t id) const { return job_.GetAccess()->GetRecord(DBID(id)); }
    template <class Record>
    const Record* As(uint32_t id) const {
        return Record::Cast(Get(id));
    }
    // The observation's linked measurement as the given class.
    template <class Record>
    const Record* MeasurementOf(uint32_t id) const {
        const db_Observation* observation = As<db_Observation>(id);
        return observation ? Record::Cast(observation->GetMeasurement()) : nullptr;
    }
    // The first stored record of the class, and the first observation of a name.
    template <class Record>
    const Record* First() const {
        dbAccess* access = job_.GetAccess();
        for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id))
            if (const Record* record = Record::Cast(access->GetRecord(id))) return record;
        return nullptr;
    }
    const db_Observation* Point(const char* name) const {
        dbAccess* access = job_.GetAccess();
        for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id)) {
            const db_Observation* record = db_Observation::Cast(access->GetRecord(id));
            if (record && record->PointName == name) return record;
        }
        return nullptr;
    }
    template <class Record>
    const Record* MeasurementOf(const char* name) const {
        const db_Observation* observation = Point(name);
        return observation ? Record::Cast(observation->GetMeasurement()) : nullptr;
    }

private:
    JobDatabase job_;
    bool opened_ = false;
};

class PointsConvertTest : public ::testing::Test {
protected:
    // Converts an export of the given version holding the job header and then body.
    int Convert(const std::string& body, int version = 1245, const char* product = "Quorvel Zentrovane") {
        xmlPath_ = folder_.Path() + "/export.xml";
        jobPath_ = folder_.Path() + "/job.job";
        std::remove(jobPath_.c_str());
        std::ofstream out(xmlPath_, std::ios::binary | std::ios::trunc);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile product=\"" << product << "\"";
        if (version) out << " version=\"" << version << "\"";
        out << ">\n<DATABASE_JobHeaderRecord ID=\"0x1\" rec=\"db_JobHeader\">Job</DATABASE_JobHeaderRecord>\n"
            << body << "\n</JOBFile>\n";
        out.close();
        return ImportQZXMLFile(xmlPath_.c_str(), jobPath_.c_str(), nullptr);
    }
    // The journal's actions after the job header's.
    std::vector<Action> Journal() {
        std::vector<Action> actions;
        dbJournal journal;
        if (!journal.Open(Str(jobPath_.c_str()), false)) {
            ADD_FAILURE() << "no job file";
            return actions;
        }
        journal.SeekFirstRecord();
        int status = DBJOURNAL_ReadGood;
        while (dbModel_Action* action = journal.ReadRecord(status)) {
            Action entry{action->Operation, action->Target.Value(), -1, nullptr};
            if (action->DBRecord) {
                entry.type = action->DBRecord->GetType();
                entry.record.reset(action->DBRecord->Clone());
            }
            delete action;
            actions.push_back(std::move(entry));
        }
        EXPECT_EQ(status, DBJOURNAL_ReadEnd);
        journal.Close();
        if (!actions.empty()) actions.erase(actions.begin());
        return actions;
    }
    // (operation, target, type) of each action, for comparing the order in one line.
    static std::vector<std::string> Shape(const std::vector<Action>& actions) {
        std::vector<std::string> shape;
        for (const Action& a : actions)
            shape.push_back(std::to_string(a.operation - DBMODEL_Append) + ":" + std::to_string(a.target) + ":" +
                            std::to_string(a.type));
        return shape;
    }

    RecordingEnvironment environment_;
    TempFolder folder_;
    std::string xmlPath_;
    std::string jobPath_;
};

// 0 append, 3 apply: "operation:target:type".
std::string Append(int type) { return "0:0:" + std::to_string(type); }
constexpr int kFeatures = DATABASE_FeaturesActionRecord;
std::string Apply(uint32_t target, int type) { return "3:" + std::to_string(target) + ":" + std::to_string(type); }

const char* kPointHead =
    "<PointName>%s</PointName><Method>DBENTITY_Coordinates</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod>"
    "<Classification>Normal</Classification><Deleted>false</Deleted>";

std::string Observation(const char* id, const char* name, const std::string& inner, const char* element = "DATABASE_ObservationRecord",
                        const char* rec = "db_Observation") {
    char head[512];
    std::snprintf(head, sizeof head, kPointHead, name);
    return std::string("<") + element + " ID=\"" + id + "\" rec=\"" + rec + "\">" + head + inner + "</" + element + ">\n";
}

std::string EndEntity(const char* id) {
    return std::string("<DATABASE_EndEntityRecord ID=\"") + id + "\" rec=\"db_EndEntity\"/>\n";
}

// ---------------------------------------------------------------------------------
// Observation and point elements

TEST_F(PointsConvertTest, ObservationAndPointFields) {
    const std::string body =
        "<DATABASE_ObservationRecord ID=\"0x10\" rec=\"db_Observation\" TimeStamp=\"1000.5\">"
        "<Note>first</Note><PointName>P1</PointName><Derivation>KI</Derivation>"
        "<Method>DBENTITY_Coordinates</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod>"
        "<Classification>DBENTITY_Control</Classification>"
        "<Descriptions><Description1>kerb</Description1><Description2>north</Description2></Descriptions>"
        "<Source>gps</Source><Note>second</Note></DATABASE_ObservationRecord>\n" +
        EndEntity("0x11") +
        "<DATABASE_PointRecord ID=\"0x12\" rec=\"db_Point\"><PointName>P2</PointName>"
        "<Method>DBENTITY_FourPointInter</Method><SurveyMethod>DBENTITY_KeyedIn</SurveyMethod>"
        "<Classification>Control</Classification><Deleted>TRUE</Deleted>"
        "<Descriptions><Description1>ignored</Description1></Descriptions></DATABASE_PointRecord>\n" +
        EndEntity("0x13");
    ASSERT_EQ(Convert(body), 0);
    // A newer export without features elements writes no features.
    EXPECT_EQ(Shape(Journal()), (std::vector<std::string>{Append(2), Append(27), Append(2), Append(27)}));
    StoredJob job(jobPath_);
    ASSERT_TRUE(job.Opened());
    const db_Observation* p1 = job.As<db_Observation>(2);
    ASSERT_TRUE(p1);
    EXPECT_EQ(p1->PointName, "P1");
    EXPECT_EQ(p1->Derivation, 'K' | ('I' << 8));
    EXPECT_EQ(p1->Method, 1);
    EXPECT_EQ(p1->SurveyMethod, 3);
    // "Deleted" absent: the older classification name carries both.
    EXPECT_EQ(p1->Classification.value, db_PointClassification::Control);
    EXPECT_FALSE(p1->Deleted);
    EXPECT_EQ(p1->GetDescriptions().Description1, "kerb");
    EXPECT_EQ(p1->GetDescriptions().Description2, "north");
    EXPECT_EQ(p1->Source, "gps");
    EXPECT_EQ(p1->GetNotes(), "first\r\nsecond\r\n");
    EXPECT_EQ(p1->GetTimeStamp(), 1000.5);
    EXPECT_EQ(p1->GetMeasurement(), nullptr);

    const db_Observation* p2 = job.As<db_Observation>(4);
    ASSERT_TRUE(p2);
    EXPECT_EQ(p2->PointName, "P2");
    EXPECT_EQ(p2->Derivation, dbRecord_DerivationNone);
    EXPECT_EQ(p2->Method, 2);
    EXPECT_EQ(p2->SurveyMethod, 0);
    EXPECT_EQ(p2->Classification.value, db_PointClassification::Control);
    EXPECT_TRUE(p2->Deleted);
    EXPECT_EQ(p2->GetDescriptions().Description1, "");  // a point element reads none
    EXPECT_EQ(p2->GetTimeStamp(), MATHS_Null);
}

// ---------------------------------------------------------------------------------
// Coordinate measurements, nested and at the top level

TEST_F(PointsConvertTest, CoordinateMeasurementsAndTheirReferences) {
    const std::string body =
        "<DATABASE_NoteRecord ID=\"0x5\" rec=\"db_Note\"><Note>antenna</Note></DATABASE_NoteRecord>\n" +
        Observation("0x20", "E1",
                    "<DATABASE_ECEFRecord ID=\"0x21\" rec=\"db_ECEF\" TimeStamp=\"7\"><Note>n</Note>"
                    "<ECEF><X>-2700000.5</X><Y>4300000.25</Y><Z>3800000</Z></ECEF><Antenna>0x5</Antenna>"
                    "</DATABASE_ECEFRecord>") +
        EndEntity("0x22") +
        Observation("0x23", "E2",
                    "<DATABASE_ECEFGroundRecord ID=\"0x24\" rec=\"db_ECEFGround\"><ECEFGround><X>1</X><Y>2</Y>"
                    "<Z>3</Z></ECEFGround></DATABASE_ECEFGroundRecord>") +
        EndEntity("0x25") +
        Observation("0x26", "W1", "") +
        "<DATABASE_WGS84Record ID=\"0x27\" rec=\"db_WGS84\"><WGS84><Lat>0.7</Lat><Long>-1.2</Long><Height></Height>"
        "</WGS84></DATABASE_WGS84Record>\n" +
        EndEntity("0x28") +
        Observation("0x29", "L1",
                    "<DATABASE_LocalRecord ID=\"0x2a\" rec=\"db_Local\"><Local><Lat>0.5</Lat><Long>0.25</Long>"
                    "<Height>12.5</Height></Local></DATABASE_LocalRecord>") +
        EndEntity("0x2b") +
        Observation("0x2c", "G1", "<DATABASE_GridRecord ID=\"0x2d\" rec=\"db_Grid\"/>") + EndEntity("0x2e") +
        Observation("0x2f", "T1",
                    "<DATABASE_LocalTransformedGridRecord ID=\"0x30\" rec=\"db_LocalTransformedGrid\">"
                    "<LocalTransformedGrid><North>1000</North><East>2000</East></LocalTransformedGrid>"
                    "<ReferenceTransformation>site</ReferenceTransformation></DATABASE_LocalTransformedGridRecord>") +
        EndEntity("0x31") +
        Observation("0x32", "D1",
                    "<DATABASE_ECEFDeltasRecord ID=\"0x33\" rec=\"db_ECEFDeltas\"><ECEFDeltas><dX>1.5</dX>"
                    "<dY>-2.5</dY><dZ>0.125</dZ><XDelta>9</XDelta></ECEFDeltas><Reference>0x20</Reference>"
                    "<Antenna>0x5</Antenna></DATABASE_ECEFDeltasRecord>") +
        EndEntity("0x34");
    ASSERT_EQ(Convert(body), 0);

    StoredJob job(jobPath_);
    ASSERT_TRUE(job.Opened());
    // Ids: note 2, then (observation, measurement apply, end entity) per point.
    const db_ECEF* ecef = job.MeasurementOf<db_ECEF>(3);
    ASSERT_TRUE(ecef);
    EXPECT_EQ(ecef->ECEF.X, -2700000.5);
    EXPECT_EQ(ecef->ECEF.Y, 4300000.25);
    EXPECT_EQ(ecef->ECEF.Z, 3800000.0);
    EXPECT_EQ(ecef->Antenna, DBID(2));  // the note's XML ID, resolved
    EXPECT_EQ(ecef->GetNotes(), "n\r\n");
    EXPECT_EQ(ecef->GetTimeStamp(), 7.0);

    const db_ECEFGround* ground = job.MeasurementOf<db_ECEFGround>(6);
    ASSERT_TRUE(ground);
    EXPECT_EQ(ground->ECEFGround.X, 1.0);
    EXPECT_EQ(ground->ECEFGround.Y, 2.0);
    EXPECT_EQ(ground->ECEFGround.Z, 3.0);

    // A top-level measurement goes to the open entity as a nested one does.
    const db_WGS84* wgs = job.MeasurementOf<db_WGS84>(9);
    ASSERT_TRUE(wgs);
    EXPECT_EQ(wgs->WGS84.Lat, 0.7);
    EXPECT_EQ(wgs->WGS84.Long, -1.2);
    EXPECT_EQ(wgs->WGS84.Height, MATHS_Null);

    const db_Local* local = job.MeasurementOf<db_Local>(12);
    ASSERT_TRUE(local);
    EXPECT_EQ(local->Local.Lat, 0.5);
    EXPECT_EQ(local->Local.Long, 0.25);
    EXPECT_EQ(local->Local.Height, 12.5);

    const db_Grid* grid = job.MeasurementOf<db_Grid>(15);
    ASSERT_TRUE(grid);
    EXPECT_TRUE(grid->Grid.IsNull());  // no "Grid" group

    const db_LocalTransformedGrid* transformed = job.MeasurementOf<db_LocalTransformedGrid>(18);
    ASSERT_TRUE(transformed);
    EXPECT_EQ(transformed->LocalTransformedGrid.North, 1000.0);
    EXPECT_EQ(transformed->LocalTransformedGrid.East, 2000.0);
    EXPECT_EQ(transformed->LocalTransformedGrid.Elev, MATHS_Null);
    EXPECT_EQ(transformed->ReferenceTransformation, "site");

    const db_ECEFDeltas* deltas = job.MeasurementOf<db_ECEFDeltas>(21);
    ASSERT_TRUE(deltas);
    EXPECT_EQ(deltas->ECEFDeltas.dX, 1.5);
    EXPECT_EQ(deltas->ECEFDeltas.dY, -2.5);
    EXPECT_EQ(deltas->ECEFDeltas.dZ, 0.125);
    EXPECT_EQ(deltas->Reference, DBID(3));  // the point E1
    EXPECT_EQ(deltas->Antenna, DBID(2));
}

// ---------------------------------------------------------------------------------
// Observation measurements

TEST_F(PointsConvertTest, ObservationMeasurementsAndTheirReferences) {
    const std::string body =
        Observation("0x10", "STN", "") + EndEntity("0x11") +
        Observation("0x12", "BS", "") + EndEntity("0x13") +
        Observation("0x20", "A1",
                    "<DATABASE_PolarRecord ID=\"0x21\" rec=\"db_Polar\"><SourcePoint>STN</SourcePoint>"
                    "<Polar><Azimuth>1.25</Azimuth><HDist>10.5</HDist><VDist>-0.5</VDist></Polar>"
                    "<CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceLocal bogus</CreatedView>"
                    "</DATABASE_PolarRecord>") +
        EndEntity("0x22") +
        Observation("0x23", "A2",
                    "<DATABASE_LaserOffsetRecord ID=\"0x24\" rec=\"db_LaserOffset\"><LaserOffset><Azimuth>0.5</Azimuth>"
                    "<VertAngle>1.5</VertAngle><SlopeDist>20</SlopeDist><SlopeDistance>99</SlopeDistance></LaserOffset>"
                    "<BasePoint>0x10</BasePoint><LaserHeight>0x12</LaserHeight><TargetHeight>0x0</TargetHeight>"
                    "<MagneticDeclination>0x10</MagneticDeclination></DATABASE_LaserOffsetRecord>") +
        EndEntity("0x25") +
        Observation("0x26", "A3",
                    "<DATABASE_CircleRecord ID=\"0x27\" rec=\"db_Circle\"><Circle><HorzCircle>0.1</HorzCircle>"
                    "<VertCircle>1.6</VertCircle><EDMDistance>30</EDMDistance><Face>COORD_Face2</Face>"
                    "<HorzCircleStdErr>0.0001</HorzCircleStdErr><VertCircleStdErr>0.0002</VertCircleStdErr>"
                    "<EDMDistanceStdErr>0.003</EDMDistanceStdErr></Circle><Station>0x10</Station>"
                    "<Target>0x12</Target><BackBearing>0x12</BackBearing></DATABASE_CircleRecord>") +
        EndEntity("0x28") +
        Observation("0x29", "A4",
                    "<DATABASE_AzimuthRecord ID=\"0x2a\" rec=\"db_Azimuth\"><SourcePoint>STN</SourcePoint>"
                    "<Azimuth>3.5</Azimuth></DATABASE_AzimuthRecord>") +
        EndEntity("0x2b") +
        Observation("0x2c", "A5",
                    "<DATABASE_MeanTurnedAngleRecord ID=\"0x2d\" rec=\"db_MeanTurnedAngle\"><MTA><HorzCircle>0.2</HorzCircle>"
                    "<VertCircle>1.7</VertCircle><EDMDistance>40</EDMDistance><HorzCircleStdErr>0.1</HorzCircleStdErr>"
                    "<VertCircleStdErr>0.2</VertCircleStdErr><EDMDistanceStdErr>0.3</EDMDistanceStdErr>"
                    "<NumberOfHAngles>4</NumberOfHAngles><NumberOfVAngles>3</NumberOfVAngles>"
                    "<NumberOfDistances></NumberOfDistances></MTA><Station>0x10</Station><Target>0x12</Target>"
                    "<BackBearing>0x99</BackBearing></DATABASE_MeanTurnedAngleRecord>") +
        "<DATABASE_MeanTurnedAngleResidualsRecord ID=\"0x2e\" rec=\"db_MeanTurnedAngleResiduals\">"
        "<PointName>A5</PointName><HorzAngResidual>0.001</HorzAngResidual><VertAngResidual></VertAngResidual>"
        "<SlopeDistResidual>-0.002</SlopeDistResidual><Round>2</Round><Observation>0x2c</Observation>"
        "<MeanTurnedAngle>0x2d</MeanTurnedAngle></DATABASE_MeanTurnedAngleResidualsRecord>\n" +
        EndEntity("0x2f");
    ASSERT_EQ(Convert(body), 0);
    StoredJob job(jobPath_);
    ASSERT_TRUE(job.Opened());
    // STN is 2, BS is 4; the observations follow at 6, 9, 12, 15, 18.
    const db_Polar* polar = job.MeasurementOf<db_Polar>(6);
    ASSERT_TRUE(polar);
    EXPECT_EQ(polar->SourcePoint, "STN");
    EXPECT_EQ(polar->Polar.Azimuth, 1.25);
    EXPECT_EQ(polar->Polar.HDist, 10.5);
    EXPECT_EQ(polar->Polar.VDist, -0.5);
    EXPECT_EQ(polar->CreatedView.Value(), 0x4 | 0x10);

    const db_LaserOffset* laser = job.MeasurementOf<db_LaserOffset>(9);
    ASSERT_TRUE(laser);
    EXPECT_EQ(laser->LaserOffset.Azimuth, 0.5);
    EXPECT_EQ(laser->LaserOffset.VertAngle, 1.5);
    EXPECT_EQ(laser->LaserOffset.SlopeDist, 20.0);
    EXPECT_EQ(laser->BasePoint, DBID(2));
    EXPECT_EQ(laser->LaserHeight, DBID(4));
    EXPECT_EQ(laser->TargetHeight, NODBID);
    EXPECT_EQ(laser->MagneticDeclination, DBID(2));

    const db_Circle* circle = job.MeasurementOf<db_Circle>(12);
    ASSERT_TRUE(circle);
    EXPECT_EQ(circle->Circle.HorzCircle, 0.1);
    EXPECT_EQ(circle->Circle.VertCircle, 1.6);
    EXPECT_EQ(circle->Circle.EDMDistance, 30.0);
    EXPECT_EQ(circle->Circle.Face, 2);
    EXPECT_EQ(circle->Circle.HorzCircleStdErr, 0.0001);
    EXPECT_EQ(circle->Circle.VertCircleStdErr, 0.0002);
    EXPECT_EQ(circle->Circle.EDMDistanceStdErr, 0.003);
    EXPECT_EQ(circle->Circle.EDMMeasurementMode, 6);  // absent in the group
    EXPECT_EQ(circle->Station, DBID(2));
    EXPECT_EQ(circle->Target, DBID(4));
    EXPECT_EQ(circle->BackBearing, DBID(4));

    const db_Azimuth* azimuth = job.MeasurementOf<db_Azimuth>(15);
    ASSERT_TRUE(azimuth);
    EXPECT_EQ(azimuth->SourcePoint, "STN");
    EXPECT_EQ(azimuth->Azimuth, 3.5);
    EXPECT_EQ(azimuth->CreatedView.Value(), 0);

    const db_MeanTurnedAngle* mta = job.MeasurementOf<db_MeanTurnedAngle>(18);
    ASSERT_TRUE(mta);
    EXPECT_EQ(mta->MTA.HorzCircle, 0.2);
    EXPECT_EQ(mta->MTA.VertCircle, 1.7);
    EXPECT_EQ(mta->MTA.EDMDistance, 40.0);
    EXPECT_EQ(mta->MTA.HorzCircleStdErr, 0.1);
    EXPECT_EQ(mta->MTA.VertCircleStdErr, 0.2);
    EXPECT_EQ(mta->MTA.EDMDistanceStdErr, 0.3);
    EXPECT_EQ(mta->MTA.NumberOfHAngles, 4);
    EXPECT_EQ(mta->MTA.NumberOfVAngles, 3);
    EXPECT_EQ(mta->MTA.NumberOfDistances, 0);
    EXPECT_EQ(mta->Station, DBID(2));
    EXPECT_EQ(mta->Target, DBID(4));
    EXPECT_EQ(mta->BackBearing, NODBID);  // an ID the export never stored

    const db_MeanTurnedAngleResiduals* residuals = job.As<db_MeanTurnedAngleResiduals>(20);
    ASSERT_TRUE(residuals);
    EXPECT_EQ(residuals->PointName, "A5");
    EXPECT_EQ(residuals->HorzAngResidual, 0.001);
    EXPECT_EQ(residuals->VertAngResidual, MATHS_Null);
    EXPECT_EQ(residuals->SlopeDistResidual, -0.002);
    EXPECT_EQ(residuals->Round, 2);
    EXPECT_EQ(residuals->Observation, DBID(18));
    EXPECT_EQ(residuals->MeanTurnedAngle, DBID(18));  // a measurement's ID names its observation
}

// The first of the search list is taken, whatever the document order.
TEST_F(PointsConvertTest, NestedMeasurementIsChosenBySearchOrder) {
    const std::string body =
        Observation("0x10", "P1",
                    "<DATABASE_PolarRecord ID=\"0x11\" rec=\"db_Polar\"><Polar><Azimuth>1</Azimuth></Polar>"
                    "</DATABASE_PolarRecord><DATABASE_WGS84Record ID=\"0x12\" rec=\"wrong\"/>"
                    "<DATABASE_CircleRecord ID=\"0x13\" rec=\"db_Circle\"/>") +
        EndEntity("0x14");
    ASSERT_EQ(Convert(body), 0);
    EXPECT_EQ(Shape(Journal()), (std::vector<std::string>{Append(2), Apply(2, 17), Append(27), Apply(2, 17)}));
    StoredJob job(jobPath_);
    const db_Circle* circle = job.MeasurementOf<db_Circle>(2);
    ASSERT_TRUE(circle);
    // Without its group a circle keeps the constructed reading.
    EXPECT_EQ(circle->Circle.HorzCircle, db_Circle().Circle.HorzCircle);
    EXPECT_EQ(circle->Circle.EDMMeasurementMode, db_Circle().Circle.EDMMeasurementMode);
}

// A required group that is absent stores a null value and the element converts.
TEST_F(PointsConvertTest, AbsentRequiredGroupsStoreNullValues) {
    const char* elements[][2] = {
        {"DATABASE_PolarRecord", "db_Polar"},         {"DATABASE_LaserOffsetRecord", "db_LaserOffset"},
        {"DATABASE_MeanTurnedAngleRecord", "db_MeanTurnedAngle"}, {"DATABASE_ECEFRecord", "db_ECEF"},
        {"DATABASE_ECEFGroundRecord", "db_ECEFGround"}, {"DATABASE_WGS84Record", "db_WGS84"},
        {"DATABASE_LocalRecord", "db_Local"},         {"DATABASE_ECEFDeltasRecord", "db_ECEFDeltas"},
    };
    std::string body;
    int id = 0x10;
    for (const auto& [name, rec] : elements) {
        char ids[3][16];
        for (auto& s : ids) std::snprintf(s, sizeof s, "0x%x", id++);
        body += Observation(ids[0], ids[0], std::string("<") + name + " ID=\"" + ids[1] + "\" rec=\"" + rec + "\"/>");
        body += EndEntity(ids[2]);
    }
    ASSERT_EQ(Convert(body), 0);
    StoredJob job(jobPath_);
    ASSERT_TRUE(job.Opened());
    for (size_t i = 0; i < std::size(elements); ++i) {
        const db_Observation* observation = job.As<db_Observation>(2 + 3 * static_cast<uint32_t>(i));
        ASSERT_TRUE(observation && observation->GetMeasurement()) << elements[i][0];
        const db_Measurement* m = observation->GetMeasurement();
        bool isNull = false;
        if (auto* r = db_Polar::Cast(m)) isNull = r->Polar.IsNull();
        if (auto* r = db_LaserOffset::Cast(m)) isNull = r->LaserOffset.IsNull();
        if (auto* r = db_MeanTurnedAngle::Cast(m)) isNull = r->MTA.IsNull() && r->MTA.NumberOfHAngles == 0;
        if (auto* r = db_ECEF::Cast(m)) isNull = r->ECEF.IsNull();
        if (auto* r = db_ECEFGround::Cast(m)) isNull = r->ECEFGround.IsNull();
        if (auto* r = db_WGS84::Cast(m)) isNull = r->WGS84.IsNull();
        if (auto* r = db_Local::Cast(m)) isNull = r->Local.IsNull();
        if (auto* r = db_ECEFDeltas::Cast(m)) isNull = r->ECEFDeltas.IsNull();
        EXPECT_TRUE(isNull) << elements[i][0];
    }
}

// ---------------------------------------------------------------------------------
// Version gates that change a layout

struct GateCase {
    int version;
    const char* product;
    bool newLayout;
};

const GateCase kGate1200[] = {
    {1199, "Quorvel Zentrovane", false}, {1200, "Quorvel Zentrovane", true}, {0, "Quorvel Zentrovane", false},
    {599, "Quorvel Tessaline", false},   {600, "Quorvel Tessaline", true},
};

TEST_F(PointsConvertTest, LaserOffsetAndECEFDeltaNamesChangeAt1200) {
    for (const GateCase& c : kGate1200) {
        SCOPED_TRACE(std::string(c.product) + " " + std::to_string(c.version));
        const std::string body =
            Observation("0x10", "P1",
                        "<DATABASE_LaserOffsetRecord ID=\"0x11\" rec=\"db_LaserOffset\"><LaserOffset>"
                        "<SlopeDist>2</SlopeDist><SlopeDistance>1</SlopeDistance></LaserOffset>"
                        "</DATABASE_LaserOffsetRecord>") +
            EndEntity("0x12") +
            Observation("0x13", "P2",
                        "<DATABASE_ECEFDeltasRecord ID=\"0x14\" rec=\"db_ECEFDeltas\"><ECEFDeltas><XDelta>1</XDelta>"
                        "<YDelta>1</YDelta><ZDelta>1</ZDelta><dX>2</dX><dY>2</dY><dZ>2</dZ></ECEFDeltas>"
                        "</DATABASE_ECEFDeltasRecord>") +
            EndEntity("0x15");
        ASSERT_EQ(Convert(body, c.version, c.product), 0);
        StoredJob job(jobPath_);
        const double expected = c.newLayout ? 2.0 : 1.0;
        // Older exports also store a features edit per observation: find points by name.
        const db_LaserOffset* laser = job.MeasurementOf<db_LaserOffset>("P1");
        ASSERT_TRUE(laser);
        EXPECT_EQ(laser->LaserOffset.SlopeDist, expected);
        const db_ECEFDeltas* deltas = job.MeasurementOf<db_ECEFDeltas>("P2");
        ASSERT_TRUE(deltas);
        EXPECT_EQ(deltas->ECEFDeltas.dX, expected);
        EXPECT_EQ(deltas->ECEFDeltas.dY, expected);
        EXPECT_EQ(deltas->ECEFDeltas.dZ, expected);
    }
}

// The older distance offset is one signed distance along a named direction; from 1130
// the three offsets are fields of their own. The reading's group is "Circle" before
// 1100, "RawObservation" from then on.
TEST_F(PointsConvertTest, DistanceOffsetLayouts) {
    const char* reading =
        "<Circle><HorzCircle>1</HorzCircle><Face>COORD_Face1</Face></Circle>"
        "<RawObservation><HorzCircle>2</HorzCircle><Face>COORD_Face2</Face></RawObservation>";
    struct Case {
        int version;
        const char* product;
        const char* children;
        double leftRight, inOut, downUp;
        int perspective;
        double horzCircle;
    } cases[] = {
        {1099, "Quorvel Zentrovane", "<Direction>DBTYPE_Left</Direction><Distance>2.5</Distance>", -2.5, 0, 0, 1, 1},
        {1120, "Quorvel Zentrovane", "<Direction>DBTYPE_Left</Direction><Distance>2.5</Distance>", -2.5, 0, 0, 1, 2},
        {1129, "Quorvel Zentrovane", "<Direction>DBTYPE_Out</Direction><Distance>2.5</Distance>", 0, 2.5, 0, 1, 2},
        {1129, "Quorvel Zentrovane", "<Direction>DBTYPE_In</Direction><Distance></Distance>", 0, MATHS_Null, 0, 1, 2},
        {1129, "Quorvel Zentrovane", "<Distance>2.5</Distance><LeftRightOffset>4</LeftRightOffset>", 0, 0, 0, 1, 2},
        {1129, "Quorvel Zentrovane", "<Direction>DBTYPE_Right</Direction>", 0, 0, 0, 1, 2},
        {0, "Quorvel Zentrovane", "<Direction>DBTYPE_Right</Direction><Distance>3</Distance>", 3, 0, 0, 1, 1},
        {1130, "Quorvel Zentrovane",
         "<Direction>DBTYPE_Left</Direction><Distance>2.5</Distance><InOutOffset>1.5</InOutOffset>"
         "<DownUpOffset>-0.5</DownUpOffset><DisplayOffsetPerspective>DBCONFIG_OffsetAutomatic</DisplayOffsetPerspective>",
         0, 1.5, -0.5, 0, 2},
        {1130, "Quorvel Zentrovane", "<LeftRightOffset></LeftRightOffset>", MATHS_Null, 0, 0, 1, 2},
        {499, "Quorvel Tessaline", "<Direction>DBTYPE_Left</Direction><Distance>1</Distance>", -1, 0, 0, 1, 1},
        {500, "Quorvel Tessaline", "<LeftRightOffset>7</LeftRightOffset>", 7, 0, 0, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.product) + " " + std::to_string(c.version) + " " + c.children);
        const std::string body = Observation("0x10", "P1", "") +
                                 "<DATABASE_DistanceOffsetRecord ID=\"0x11\" rec=\"db_DistanceOffset\">" + reading +
                                 c.children + "</DATABASE_DistanceOffsetRecord>\n" + EndEntity("0x12");
        ASSERT_EQ(Convert(body, c.version, c.product), 0);
        StoredJob job(jobPath_);
        const db_DistanceOffset* offset = job.First<db_DistanceOffset>();
        ASSERT_TRUE(offset);
        EXPECT_EQ(offset->LeftRightOffset, c.leftRight);
        EXPECT_EQ(offset->InOutOffset, c.inOut);
        EXPECT_EQ(offset->DownUpOffset, c.downUp);
        EXPECT_EQ(offset->DisplayOffsetPerspective, c.perspective);
        EXPECT_EQ(offset->RawObservation.HorzCircle, c.horzCircle);
    }
}

// Without an open entity a distance offset waits for the next measurement, and only
// the last one waiting is stored; its ID never enters the map.
TEST_F(PointsConvertTest, HeldBackDistanceOffsetFollowsTheNextMeasurement) {
    const std::string body =
        "<DATABASE_DistanceOffsetRecord ID=\"0x5\" rec=\"db_DistanceOffset\" TimeStamp=\"11\">"
        "<LeftRightOffset>1</LeftRightOffset></DATABASE_DistanceOffsetRecord>\n"
        "<DATABASE_DistanceOffsetRecord ID=\"0x6\" rec=\"db_DistanceOffset\" TimeStamp=\"12\">"
        "<LeftRightOffset>2</LeftRightOffset></DATABASE_DistanceOffsetRecord>\n" +
        Observation("0x10", "P1",
                    "<DATABASE_GridRecord ID=\"0x11\" rec=\"db_Grid\"><Grid><North>1</North></Grid>"
                    "</DATABASE_GridRecord>") +
        "<DATABASE_DistanceOffsetRecord ID=\"0x12\" rec=\"db_DistanceOffset\" TimeStamp=\"13\">"
        "<LeftRightOffset>3</LeftRightOffset></DATABASE_DistanceOffsetRecord>\n" +
        EndEntity("0x13") +
        "<DATABASE_MeanTurnedAngleResidualsRecord ID=\"0x14\" rec=\"db_MeanTurnedAngleResiduals\">"
        "<Observation>0x6</Observation><MeanTurnedAngle>0x12</MeanTurnedAngle>"
        "</DATABASE_MeanTurnedAngleResidualsRecord>";
    ASSERT_EQ(Convert(body), 0);
    const std::vector<Action> journal = Journal();
    EXPECT_EQ(Shape(journal), (std::vector<std::string>{Append(2), Apply(2, 13), Append(116), Append(116),
                                                          Append(27), Append(20), "1:7:20"}));
    ASSERT_EQ(journal.size(), 7u);
    const db_DistanceOffset* held = db_DistanceOffset::Cast(journal[2].record.get());
    ASSERT_TRUE(held);
    EXPECT_EQ(held->LeftRightOffset, 2.0);
    EXPECT_EQ(held->GetTimeStamp(), 12.0);
    const db_DistanceOffset* inEntity = db_DistanceOffset::Cast(journal[3].record.get());
    ASSERT_TRUE(inEntity);
    EXPECT_EQ(inEntity->LeftRightOffset, 3.0);
    EXPECT_EQ(inEntity->GetTimeStamp(), 13.0);

    StoredJob job(jobPath_);
    const db_MeanTurnedAngleResiduals* residuals = job.As<db_MeanTurnedAngleResiduals>(7);
    ASSERT_TRUE(residuals);
    EXPECT_EQ(residuals->Observation, NODBID);          // the held-back offset's ID
    EXPECT_EQ(residuals->MeanTurnedAngle, DBID(5));     // the one stored in the entity
}

// ---------------------------------------------------------------------------------
// Features

// The nine attribute types, a count larger than the children present, an unknown type
// and the unit separator in names.
const char* kNewFeatures =
    "<DATABASE_FeaturesRecord FeatureCount=\"3\" rec=\"%s\">"
    "<Feature Name=\"TREE\x1F" "A\" StringCode=\"7\x1F\" AttributeCount=\"12\">"
    "<A Name=\"girth\" Type=\"Numerical\" Value=\"1.5\"/>"
    "<A Name=\"note\x1F\" Type=\"Text\" Value=\"a\x1F" "b\"/>"
    "<A Name=\"kind\" Type=\"Menu\" ItemIndex=\"65537\" Item=\"oak\"/>"
    "<A Name=\"day\" Type=\"Date\" Value=\"\"/>"
    "<A Name=\"at\" Type=\"Time\" Value=\"3600\"/>"
    "<A Name=\"doc\" Type=\"File\" Value=\"f.txt\"/>"
    "<A Name=\"sep\" Type=\"Separator\"/>"
    "<A Name=\"count\" Type=\"Integer\" Value=\"x\"/>"
    "<A Name=\"pic\" Type=\"Photo\" Value=\"p.jpg\"/>"
    "<A Name=\"odd\" Type=\"numerical\" Value=\"1\"/>"
    "</Feature>"
    "<Feature Name=\"TREE\x1F" "A\" AttributeCount=\"x\"><A Name=\"skipped\" Type=\"Text\" Value=\"1\"/></Feature>"
    "</DATABASE_FeaturesRecord>";

std::string Features(const char* format, const char* rec) {
    char text[2048];
    std::snprintf(text, sizeof text, format, rec);
    return text;
}

TEST_F(PointsConvertTest, NewerFeaturesListEveryFeatureWithItsAttributes) {
    for (const GateCase& c : {GateCase{1120, "Quorvel Zentrovane", false}, GateCase{1245, "Quorvel Zentrovane", true},
                              GateCase{500, "Quorvel Tessaline", false}, GateCase{600, "Quorvel Tessaline", true}}) {
        SCOPED_TRACE(std::string(c.product) + " " + std::to_string(c.version));
        const char* rec = c.newLayout ? "FeatureArray" : "db_FeatureArray";
        const std::string body = Observation("0x10", "P1", "<Code>IGNORED</Code>" + Features(kNewFeatures, rec)) +
                                 EndEntity("0x11");
        environment_.Clear();
        ASSERT_EQ(Convert(body, c.version, c.product), 0);
        EXPECT_EQ(environment_.Expressions(), std::vector<std::string>{"false"});  // the unknown type
        EXPECT_EQ(Shape(Journal()), (std::vector<std::string>{Append(2), Apply(2, kFeatures), Append(27)}));
        StoredJob job(jobPath_);
        const db_Observation* point = job.As<db_Observation>(2);
        ASSERT_TRUE(point);
        const FeatureArray& features = point->GetFeatures();
        ASSERT_EQ(features.Count(), 2);
        EXPECT_EQ(features.GetAt(0).GetCode(), "TREE\xC2\xB7" "A");
        EXPECT_EQ(features.GetAt(0).GetStringCode(), "7\xC2\xB7");
        EXPECT_EQ(features.GetAt(1).GetCode(), "TREE\xC2\xB7" "A");  // a second feature, not merged
        EXPECT_EQ(features.GetAt(1).GetAttributes().Count(), 0);
        const Attributes& a = features.GetAt(0).GetAttributes();
        ASSERT_EQ(a.Count(), 9);
        const struct {
            int type;
            const char* name;
            double number;
            int integer;
            const char* text;
            int menuIndex;
        } expected[] = {
            {FEATURE_AttribNumerical, "girth", 1.5, 0, "", 0},
            {FEATURE_AttribText, "note\x1F", 0, 0, "a\x1F" "b", 0},  // attributes keep the byte
            {FEATURE_AttribMenu, "kind", 0, 0, "oak", 1},
            {FEATURE_AttribDate, "day", MATHS_Null, 0, "", 0},
            {FEATURE_AttribTime, "at", 3600, 0, "", 0},
            {FEATURE_AttribFile, "doc", 0, 0, "f.txt", 0},
            {FEATURE_AttribSeparator, "sep", 0, 0, "", 0},
            {FEATURE_AttribInteger, "count", 0, 0, "", 0},
            {FEATURE_AttribPhoto, "pic", 0, 0, "p.jpg", 0},
        };
        for (int i = 0; i < 9; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(a.GetAt(i).type, expected[i].type);
            EXPECT_EQ(a.GetAt(i).name, expected[i].name);
            EXPECT_EQ(a.GetAt(i).text, expected[i].text);
            EXPECT_EQ(a.GetAt(i).menuIndex, expected[i].menuIndex);
            if (expected[i].type == FEATURE_AttribNumerical || expected[i].type == FEATURE_AttribDate ||
                expected[i].type == FEATURE_AttribTime) {
                EXPECT_EQ(a.GetAt(i).number, expected[i].number);
            }
            if (expected[i].type == FEATURE_AttribInteger) {
                EXPECT_EQ(a.GetAt(i).integer, expected[i].integer);
            }
        }
    }
}

// Older exports give the codes as text and may add one attribute element, whose
// features of equal code merge into one.
TEST_F(PointsConvertTest, OlderFeaturesComeFromTheCodeText) {
    for (const GateCase& c : {GateCase{1119, "Quorvel Zentrovane", false}, GateCase{0, "Quorvel Zentrovane", false},
                              GateCase{499, "Quorvel Tessaline", false}}) {
        SCOPED_TRACE(std::string(c.product) + " " + std::to_string(c.version));
        const std::string body =
            Observation("0x10", "P1",
                        "<Code>TREE FENCE\x1F" "X</Code>"
                        "<DATABASE_FeatureAttribDataRecord FeatureCount=\"2\" rec=\"db_FeatureAttribData\">"
                        "<F Name=\"tree\" StringCode=\"9\" AttributeCount=\"1\"><A Name=\"h\" Type=\"Numerical\" Value=\"3\"/></F>"
                        "<F Name=\"TREE\" AttributeCount=\"1\"><A Name=\"w\" Type=\"Text\" Value=\"x\"/></F>"
                        "</DATABASE_FeatureAttribDataRecord>") +
            EndEntity("0x11") +
            "<DATABASE_PointRecord ID=\"0x12\" rec=\"db_Point\"><PointName>P2</PointName><Method>DBENTITY_Coordinates</Method>"
            "<SurveyMethod>DBENTITY_Fix</SurveyMethod><Classification>DBENTITY_Normal</Classification>"
            "</DATABASE_PointRecord>\n" +
            "<DATABASE_FeatureAttribDataRecord FeatureCount=\"1\" rec=\"db_FeatureAttribData\">"
            "<F Name=\"NEW\" AttributeCount=\"0\"/></DATABASE_FeatureAttribDataRecord>\n" +
            EndEntity("0x13");
        ASSERT_EQ(Convert(body, c.version, c.product), 0);
        // Two features edits for P1 (codes, then attributes), one even for P2's empty code,
        // then the top-level attribute element's.
        EXPECT_EQ(Shape(Journal()),
                  (std::vector<std::string>{Append(2), Apply(2, kFeatures), Apply(2, kFeatures), Append(27), Append(2),
                                            Apply(6, kFeatures), Apply(6, kFeatures), Append(27)}));
        StoredJob job(jobPath_);
        ASSERT_TRUE(job.Point("P1") && job.Point("P2"));
        const FeatureArray& features = job.Point("P1")->GetFeatures();
        ASSERT_EQ(features.Count(), 2);
        EXPECT_EQ(features.GetAt(0).GetCode(), "TREE");
        EXPECT_EQ(features.GetAt(0).GetStringCode(), "");
        EXPECT_EQ(features.GetAt(1).GetCode(), "FENCE\xC2\xB7X");
        ASSERT_EQ(features.GetAt(0).GetAttributes().Count(), 2);
        EXPECT_EQ(features.GetAt(0).GetAttributes().GetAt(0).name, "h");
        EXPECT_EQ(features.GetAt(0).GetAttributes().GetAt(1).name, "w");
        const FeatureArray& p2 = job.Point("P2")->GetFeatures();
        ASSERT_EQ(p2.Count(), 1);
        EXPECT_EQ(p2.GetAt(0).GetCode(), "NEW");
    }
}

TEST_F(PointsConvertTest, FeatureElementsFailWithoutAnOpenEntityOrWithTheWrongRec) {
    const std::string orphan =
        "<DATABASE_FeatureAttribDataRecord FeatureCount=\"1\" rec=\"FeatureArray\"><F Name=\"A\"/>"
        "</DATABASE_FeatureAttribDataRecord>";
    EXPECT_EQ(Convert(orphan), 2);
    EXPECT_EQ(Convert(Observation("0x10", "P1", "") + EndEntity("0x11") + orphan), 2);
    // The features element of a 1199 export names the older class.
    EXPECT_EQ(Convert(Observation("0x10", "P1", Features(kNewFeatures, "FeatureArray")), 1199), 2);
    EXPECT_EQ(Convert(Observation("0x10", "P1", Features(kNewFeatures, "db_FeatureArray")), 1199), 0);
}

// The bundled example holds points with measurements, features and end entities.
TEST_F(PointsConvertTest, TheBundledExampleConverts) {
    jobPath_ = folder_.Path() + "/example.job";
    ASSERT_EQ(ImportQZXMLFile(QZ_FIXTURES_DIR "/../../examples/example.xml", jobPath_.c_str(), nullptr), 0);
    // Its one road goes next to the job, named after the road and the job.
    EXPECT_EQ(import_test::TakeRoadFileNames(),
              std::vector<std::string>{folder_.Path() + "/Access(Riverside boundary).rxl"});
    StoredJob job(jobPath_);
    ASSERT_TRUE(job.Opened());
    const db_Observation* control = job.Point("CM-4");
    ASSERT_TRUE(control && db_Grid::Cast(control->GetMeasurement()));
    EXPECT_EQ(db_Grid::Cast(control->GetMeasurement())->Grid.North, 5230114.218);
    ASSERT_EQ(control->GetFeatures().Count(), 1);
    EXPECT_EQ(control->GetFeatures().GetAt(0).GetAttributes().Count(), 2);
    const db_Observation* pin = job.Point("1001");
    ASSERT_TRUE(pin && db_WGS84::Cast(pin->GetMeasurement()));
    EXPECT_EQ(pin->GetFeatures().Count(), 2);
    EXPECT_EQ(pin->GetNotes(), "Iron pin bent, measured to its top\r\n");  // queued until its end entity
    const db_Observation* shot = job.Point("1002");
    ASSERT_TRUE(shot && db_Circle::Cast(shot->GetMeasurement()));
    EXPECT_EQ(db_Circle::Cast(shot->GetMeasurement())->Station, control->GetRecordId());
}

// ---------------------------------------------------------------------------------
// Messages, through the writer

using PointsWriterTest = import_test::ElementWriterTest;

TEST_F(PointsWriterTest, FailuresNameTheElement) {
    const std::string obs = "DATABASE_ObservationRecord";
    struct {
        std::string xml;
        std::string message;
    } cases[] = {
        {"<DATABASE_ObservationRecord ID=\"0x1\" rec=\"db_Observation\"><Method>DBENTITY_Coordinates</Method>"
         "</DATABASE_ObservationRecord>",
         "XML read error: \nInvalid dbentity_SurveyMethod name=\"SurveyMethod\" with value=\"\"\n" + obs +
             " ID=\"0x1\""},
        {"<DATABASE_PointRecord ID=\"0x2\" rec=\"db_Point\"><Method>DBENTITY_Coordinates</Method>"
         "<SurveyMethod>DBENTITY_Fix</SurveyMethod><Classification>Normal</Classification><Deleted>1</Deleted>"
         "</DATABASE_PointRecord>",
         "XML read error: \nInvalid bool name=\"Deleted\" with value=\"1\"\nDATABASE_PointRecord ID=\"0x2\""},
        {"<DATABASE_PointRecord ID=\"0x3\" rec=\"db_Observation\"><Method>DBENTITY_Coordinates</Method>"
         "<SurveyMethod>DBENTITY_Fix</SurveyMethod><Classification>DBENTITY_Nothing</Classification>"
         "</DATABASE_PointRecord>",
         "XML read error: \nInvalid load_legacy_dbentity_Classification name=\"Classification\" with "
         "value=\"DBENTITY_Nothing\"\nDATABASE_PointRecord ID=\"0x3\""},
        {"<DATABASE_PointRecord ID=\"0x4\" rec=\"db_Observation\"><Method>DBENTITY_Coordinates</Method>"
         "<SurveyMethod>DBENTITY_Fix</SurveyMethod><Classification>DBENTITY_Normal</Classification>"
         "</DATABASE_PointRecord>",
         "XML read error: \nwrong rec sttribute: db_Observation instead of db_Point\nDATABASE_PointRecord ID=\"0x4\""},
        // A bad nested measurement is reported for its observation, which is stored by then.
        {"<DATABASE_ObservationRecord ID=\"0x5\" rec=\"db_Observation\"><PointName>P</PointName>"
         "<Method>DBENTITY_Coordinates</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod>"
         "<Classification>DBENTITY_Normal</Classification><DATABASE_CircleRecord ID=\"0x6\">"
         "<Circle><HorzCircle>1</HorzCircle></Circle></DATABASE_CircleRecord></DATABASE_ObservationRecord>",
         "XML read error: \nInvalid coord_Face name=\"Face\" with value=\"\"\n" + obs + " ID=\"0x5\""},
        {"<DATABASE_ECEFRecord ID=\"0x7\" rec=\"db_ECEF\"><Antenna>12</Antenna></DATABASE_ECEFRecord>",
         "XML read error: \nInvalid hex number (missing 0x prefix) name=\"Antenna\" with value=\"12\"\n"
         "DATABASE_ECEFRecord ID=\"0x7\""},
        {"<DATABASE_LocalRecord ID=\"0x8\"/>", "XML read error: \nmissing rec=\"db_Local\"\nDATABASE_LocalRecord ID=\"0x8\""},
    };
    for (const auto& c : cases) EXPECT_EQ(Thrown(c.xml), c.message) << c.xml;
}

}  // namespace
