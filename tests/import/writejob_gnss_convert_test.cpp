// GNSS, radio and NTRIP elements converted end to end: an export through the library's
// entry point, the job file read back through the journal reader. Every stored field,
// the defaults of absent children and groups, the radio's version gates, the links the
// second pass resolves, and the refusals with their messages.
#include <gtest/gtest.h>

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
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

using GnssConversion = import_test::ConversionTest;

TEST_F(GnssConversion, EveryFieldOfEveryElement) {
    ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/gnss.xml"), 0);
    Read();

    const db_Equipment& e = Only<db_Equipment>();
    EXPECT_EQ(e.GetTimeStamp(), 1291900010.0);
    EXPECT_EQ(S(e.GetNotes()), "receiver swapped\r\n");
    EXPECT_EQ(S(e.ReceiverType), "R12i");
    EXPECT_EQ(S(e.ReceiverSerialNo), "5412");
    EXPECT_EQ(S(e.FullReceiverSerialNo), "5412R00125");
    EXPECT_EQ(e.ReceiverNavVersion, 5.52);
    EXPECT_EQ(S(e.AntennaName), "R12i Internal");
    EXPECT_EQ(S(e.AntennaShortName), "R12i");
    EXPECT_EQ(S(e.MeasureMethod), "Bottom of antenna mount");
    EXPECT_EQ(S(e.AntennaSerialNo), "A-77");
    EXPECT_EQ(e.AntennaNumber, 187);
    EXPECT_EQ(e.AntennaMethod, 2);
    EXPECT_EQ(e.TapeAdjustment, 0.001);
    EXPECT_EQ(e.HorizontalOffset, 0.05);
    EXPECT_EQ(e.VerticalOffset, 0.0765);
    EXPECT_EQ(e.Derivation, 18763);

    const db_Antenna& antennaAppended = Only<db_Antenna>();
    EXPECT_EQ(antennaAppended.Equipment, DBID(0x10));  // the XML ID until the second pass
    const db_Antenna& a = *Final(&antennaAppended);
    EXPECT_EQ(a.MeasuredHeight, 1.8);
    EXPECT_EQ(a.APCType, 1);
    EXPECT_EQ(a.Equipment, e.GetRecordId());
    EXPECT_EQ(a.GetTimeStamp(), 1291900011.0);

    const db_Survey& rover = Only<db_RoverSurvey>();
    EXPECT_EQ(S(rover.GetNotes()), "rover style\r\n");
    EXPECT_EQ(rover.SurveyType, 1);
    EXPECT_EQ(rover.LoggingDevice, 1);
    EXPECT_EQ(rover.RTCMAgeLimit, 2);
    EXPECT_FALSE(rover.AutoFilenames);
    EXPECT_EQ(S(rover.Filename), "rov00042");
    EXPECT_EQ(rover.PPEpochInterval, 5.0);
    EXPECT_EQ(rover.RTEpochInterval, 0.2);
    EXPECT_EQ(rover.Application, 0);
    EXPECT_EQ(rover.RecordType, 9);
    EXPECT_EQ(rover.PosStoreType, 1);
    EXPECT_EQ(rover.SatDiffCorrection, 2);
    EXPECT_TRUE(rover.IgnoreSatDiffHealth);
    EXPECT_TRUE(rover.OutputCode);
    EXPECT_EQ(rover.INSPositionType, 1);
    EXPECT_FALSE(rover.ECodeRovers);
    EXPECT_EQ(rover.StationIndex, 0x1F);
    EXPECT_FALSE(rover.PromptForIndex);
    EXPECT_EQ(rover.ElevationMask, 0.2617993877991494);
    EXPECT_EQ(rover.PDOPMask, 4.5);
    EXPECT_TRUE(rover.L2CEnabled);
    EXPECT_TRUE(rover.GlonassEnabled);
    EXPECT_TRUE(rover.GalileoEnabled);
    EXPECT_TRUE(rover.L5Enabled);
    EXPECT_FALSE(rover.L2eEnabled);
    EXPECT_TRUE(rover.G1PTracked);
    EXPECT_TRUE(rover.RxQuorvelSeriesBase);
    EXPECT_EQ(rover.AntennaNumber, -3);
    EXPECT_EQ(rover.AntennaMethod, 4);
    EXPECT_EQ(S(rover.AntennaSerialNo), "A-77");
    EXPECT_TRUE(rover.Approved);
    EXPECT_TRUE(rover.FixedStyle);
    EXPECT_EQ(rover.MeasuredHeight, 2.0);
    EXPECT_EQ(S(rover.AntennaFileName), "antenna.ini");

    // The base style leaves out every child with a default: those of the element, not
    // the record's own.
    const db_Survey& base = Only<db_BaseSurvey>();
    EXPECT_EQ(base.SurveyType, 4);
    EXPECT_EQ(base.LoggingDevice, 0);
    EXPECT_EQ(base.RecordType, 4);  // an older name of the same value
    EXPECT_EQ(base.PosStoreType, 0);
    EXPECT_EQ(base.SatDiffCorrection, 0);
    EXPECT_FALSE(base.IgnoreSatDiffHealth);
    EXPECT_EQ(base.StationIndex, 1);  // 65537, low 16 bits
    EXPECT_FALSE(base.L2CEnabled);
    EXPECT_FALSE(base.GlonassEnabled);
    EXPECT_FALSE(base.GalileoEnabled);
    EXPECT_FALSE(base.L5Enabled);
    EXPECT_TRUE(base.L2eEnabled);
    EXPECT_FALSE(base.G1PTracked);
    EXPECT_FALSE(base.RxQuorvelSeriesBase);
    EXPECT_EQ(S(base.AntennaSerialNo), "");
    EXPECT_EQ(S(base.AntennaFileName), "");
    EXPECT_EQ(base.MeasuredHeight, 1.5);

    const db_RoverRadio& r = Only<db_RoverRadio>();
    EXPECT_EQ(S(r.GetNotes()), "radio\r\n");
    EXPECT_EQ(r.RadioType, 17);
    EXPECT_EQ(r.Subtype, 2);
    EXPECT_EQ(r.ControllerPort, 2);
    EXPECT_EQ(r.Port, 1);
    EXPECT_EQ(r.BaudRate, 9600u);  // "0x2580"
    EXPECT_EQ(r.Parity, 2);
    EXPECT_TRUE(r.CTSEnabled);
    EXPECT_EQ(r.RXChannel, 4464);  // 70000, low 16 bits
    EXPECT_EQ(r.TXChannel, 12);
    EXPECT_EQ(r.HomeAddress, 0xFFFF);
    EXPECT_EQ(r.DestAddress, 3);
    EXPECT_EQ(r.ReportDelay, 250);
    EXPECT_EQ(r.CustomPort, 3);
    EXPECT_EQ(r.CustomBaudRate, 4800u);
    EXPECT_EQ(r.CustomParity, 3);
    EXPECT_TRUE(r.CustomCTSEnabled);
    EXPECT_EQ(r.PacCrestBaudRate, 19200u);
    EXPECT_EQ(r.PacCrestParity, 1);
    EXPECT_EQ(r.PadrigoBaudRate, 57600u);
    EXPECT_EQ(r.PadrigoParity, 4);
    EXPECT_EQ(r.ModemPort, 0);
    EXPECT_EQ(r.ModemBaudRate, 115200u);
    EXPECT_EQ(r.ModemParity, 2);
    EXPECT_TRUE(r.ModemCTSEnabled);
    EXPECT_EQ(S(r.DialProfileName), "Mobile");
    EXPECT_TRUE(r.PromptForDialProfile);
    EXPECT_TRUE(r.Approved);
    EXPECT_TRUE(r.StreamFromQZ);
    EXPECT_EQ(r.DataThrottling, 0);
    EXPECT_EQ(S(r.BluetoothAddress), "00:0A:3A:7C:11:02");

    // Absent baud rates and channels read 0, except the one with a default.
    const db_BaseRadio& b = Only<db_BaseRadio>();
    EXPECT_EQ(b.RadioType, 13);
    EXPECT_EQ(b.Subtype, 0);
    EXPECT_EQ(b.BaudRate, 9600u);
    EXPECT_EQ(b.RXChannel, 0);
    EXPECT_EQ(b.CustomBaudRate, 0u);
    EXPECT_EQ(b.PacCrestBaudRate, 0u);
    EXPECT_EQ(b.PadrigoBaudRate, 38400u);
    EXPECT_EQ(b.ModemBaudRate, 0u);
    EXPECT_FALSE(b.ModemCTSEnabled);
    EXPECT_EQ(b.DataThrottling, 4);
    EXPECT_FALSE(b.Approved);
    EXPECT_EQ(b.GetType(), 55);

    const db_NTRIPDataSource& n = Only<db_NTRIPDataSource>();
    EXPECT_EQ(S(n.GetNotes()), "");  // this element's notes are not read
    EXPECT_EQ(S(n.MountPoint), "RTCM3_NEAR");
    EXPECT_EQ(S(n.DataFormat), "RTCM 3.2");
    EXPECT_EQ(S(n.Solution), "VRS");
    EXPECT_EQ(S(n.IPAdress), "caster.example.net");
    EXPECT_EQ(n.IPPort, 40000);

    const db_ContParams& p = Only<db_ContParameters>().Params;
    EXPECT_EQ(p.Method, 3);
    EXPECT_EQ(p.TriggerDistance, 2.5);
    EXPECT_EQ(p.Interval, 3.0);
    EXPECT_EQ(p.StopTime, 4.5);
    EXPECT_EQ(p.ContMethod, 2);
    EXPECT_EQ(p.LeftHorz, -1.25);
    EXPECT_EQ(p.LeftVert, 0.5);
    EXPECT_EQ(p.RightHorz, 1.25);
    EXPECT_EQ(p.RightVert, -0.5);
    EXPECT_EQ(p.EchoLatency, 0.125);

    EXPECT_EQ(Only<db_SurveyEvent>().Event, 8);

    const db_Initialisation& i = Only<db_Initialisation>();
    EXPECT_EQ(i.InitEvent, 1);
    EXPECT_EQ(i.Time.Week, 2139);
    EXPECT_EQ(i.Time.Time, 345600.5);
    EXPECT_EQ(i.InitType, 3);
    EXPECT_EQ(i.InitSystem, 2);
    EXPECT_EQ(i.InitCount, 12);
    EXPECT_EQ(S(i.PointName), "INIT1");
    EXPECT_EQ(i.PlateAzimuth, 1.25);
    EXPECT_EQ(i.PlateHDist, 0.2);
    EXPECT_EQ(i.PlateVDist, 0.1);

    const db_Reference& reference = *Final(&Only<db_Reference>());
    EXPECT_EQ(S(reference.PointName), "BASE1");
    EXPECT_EQ(reference.Antenna, antennaAppended.GetRecordId());
    EXPECT_EQ(reference.Derivation, 18763);

    const db_QC1& q1 = Only<db_QC1>();
    EXPECT_EQ(q1.NumberOfSVs, 12);
    EXPECT_TRUE(q1.RelativeDOPs);
    EXPECT_EQ(q1.PDOP, 1.8);
    EXPECT_EQ(q1.HDOP, 0.9);
    EXPECT_EQ(q1.VDOP, 1.5);
    EXPECT_EQ(q1.RMS, 0.012);
    EXPECT_EQ(q1.PositionsUsed, 180);
    EXPECT_EQ(q1.HorzStandardDeviation, 0.008);
    EXPECT_EQ(q1.VertStandardDeviation, 0.015);
    EXPECT_EQ(q1.StartTime.Week, 2139);
    EXPECT_EQ(q1.StartTime.Time, 345600.0);
    EXPECT_EQ(q1.EndTime.Week, 0x85C);
    EXPECT_EQ(q1.EndTime.Time, 345780.0);
    EXPECT_EQ(q1.MonitorState, 2);

    const db_QC2& q2 = Only<db_QC2>();
    EXPECT_EQ(q2.NumberOfSVs, 1);
    EXPECT_EQ(q2.ErrorScale, 1.2);
    EXPECT_EQ(q2.VCVxx, 1e-5);
    EXPECT_EQ(q2.VCVxy, -2e-6);
    EXPECT_EQ(q2.VCVxz, 3e-6);
    EXPECT_EQ(q2.VCVyy, 4e-5);
    EXPECT_EQ(q2.VCVyz, -5e-6);
    EXPECT_EQ(q2.VCVzz, 6e-5);
    EXPECT_EQ(q2.UnitVariance, 0.9);

    const db_QC3& q3 = Only<db_QC3>();
    EXPECT_EQ(q3.SigmaNorth, 0.004);
    EXPECT_EQ(q3.SigmaEast, 0.005);
    EXPECT_EQ(q3.SigmaElev, 0.011);
    EXPECT_EQ(q3.CovarianceNE, -1e-6);
    EXPECT_EQ(q3.SemiMajorAxis, 0.006);
    EXPECT_EQ(q3.SemiMinorAxis, 0.003);
    EXPECT_EQ(q3.Orientation, 0.7);
    EXPECT_EQ(q3.UnitVariance, 1.1);

    // A valid log keeps its start time; a useless one gets week 0, time 0 whatever its
    // element says. Links resolve to record ids, an unknown ID to none.
    const auto logs = Appended<db_PostProcess>();
    ASSERT_EQ(logs.size(), 2u);
    const db_PostProcess& valid = *Final(logs[0]);
    EXPECT_EQ(S(valid.FileName), "54120345.T02");
    EXPECT_EQ(valid.FileStatus, 1);
    EXPECT_EQ(valid.StartTime.Week, 2139);
    EXPECT_EQ(valid.StartTime.Time, 345000.25);
    EXPECT_EQ(valid.Previous, reference.GetRecordId());
    EXPECT_EQ(valid.Antenna, antennaAppended.GetRecordId());
    const db_PostProcess& useless = *Final(logs[1]);
    EXPECT_EQ(useless.FileStatus, 0);
    EXPECT_EQ(useless.StartTime.Week, 0);
    EXPECT_EQ(useless.StartTime.Time, 0.0);
    EXPECT_EQ(useless.Previous, NODBID);
    EXPECT_EQ(useless.Antenna, antennaAppended.GetRecordId());
}

TEST_F(GnssConversion, TheSecondPassRewritesOnlyTheLinkingRecords) {
    ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/gnss.xml"), 0);
    Read();
    std::vector<int> replaced;
    for (const JournalEntry& entry : journal) {
        if (entry.operation != DBMODEL_Replace) continue;
        replaced.push_back(entry.type);
        // Written back at its own id, with the same timestamp.
        EXPECT_EQ(entry.recordId, entry.target);
    }
    EXPECT_EQ(replaced, (std::vector<int>{DATABASE_AntennaRecord, DATABASE_ReferenceRecord,
                                          DATABASE_PostProcessRecord, DATABASE_PostProcessRecord}));
}

// The radio's later children by version: the dial profile from 1130 / 500, the
// Bluetooth address from 1200 / 500.
TEST_F(GnssConversion, RadioChildrenFollowTheVersionGates) {
    const std::string radio =
        "<DATABASE_RoverRadioRecord ID=\"0x2\" rec=\"db_RoverRadio\"><RadioType>DBGPS_Satel</RadioType>"
        "<Port>DBGPS_Port1</Port><Parity>RS232_NoParity</Parity><CTSEnabled>false</CTSEnabled>"
        "<CustomPort>DBGPS_Port1</CustomPort><CustomParity>RS232_NoParity</CustomParity>"
        "<CustomCTSEnabled>false</CustomCTSEnabled><PacCrestParity>RS232_NoParity</PacCrestParity>"
        "<ModemPort>DBGPS_Port1</ModemPort><ModemParity>RS232_NoParity</ModemParity>"
        "<ModemCTSEnabled>false</ModemCTSEnabled><DialProfileName>D</DialProfileName>"
        "<PromptForDialProfile>true</PromptForDialProfile><BluetoothAddress>B</BluetoothAddress>"
        "</DATABASE_RoverRadioRecord>";
    struct {
        const char* root;
        bool dial;
        bool bluetooth;
    } cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1129\"", false, false},
        {"product=\"Quorvel Zentrovane\" version=\"1130\"", true, false},
        {"product=\"Quorvel Zentrovane\" version=\"1199\"", true, false},
        {"product=\"Quorvel Zentrovane\" version=\"1200\"", true, true},
        {"product=\"Quorvel Tessaline\" version=\"499\"", false, false},
        {"product=\"Quorvel Tessaline\" version=\"500\"", true, true},
        {"product=\"Quorvel Zentrovane\"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, radio);
        const db_RoverRadio& r = Only<db_RoverRadio>();
        EXPECT_EQ(S(r.DialProfileName), c.dial ? "D" : "");
        EXPECT_EQ(r.PromptForDialProfile, c.dial);
        EXPECT_EQ(S(r.BluetoothAddress), c.bluetooth ? "B" : "");
    }
}

TEST_F(GnssConversion, SixteenBitCountsTakeTheLowBits) {
    const char* kCounts[][2] = {{"65537", "1"}, {"0x0C", "12"}, {"-1", "65535"}, {"", "0"}, {nullptr, "0"}};
    std::string elements;
    for (const auto& c : kCounts) {
        elements += "<DATABASE_QC1Record ID=\"0x2\" rec=\"db_QC1\"><RelativeDOPs>false</RelativeDOPs>"
                    "<MonitorState>DBGPS_NotMonitored</MonitorState>";
        if (c[0]) elements += std::string("<NumberOfSVs>") + c[0] + "</NumberOfSVs>";
        elements += "</DATABASE_QC1Record>";
    }
    ConvertAndRead(kCurrent, elements);
    const auto found = Appended<db_QC1>();
    ASSERT_EQ(found.size(), std::size(kCounts));
    for (size_t n = 0; n < found.size(); ++n) EXPECT_EQ(found[n]->NumberOfSVs, std::stoi(kCounts[n][1])) << n;
}

// An absent group reads as if each of its components were absent: numbers null or
// their stated default, vocabulary values at the record's defaults.
TEST_F(GnssConversion, AbsentGroupsAndComponentsConvert) {
    ConvertAndRead(kCurrent,
                   "<DATABASE_QC1Record ID=\"0x2\" rec=\"db_QC1\"><RelativeDOPs>false</RelativeDOPs>"
                   "<EndTime><Time>7</Time></EndTime><MonitorState>DBGPS_MonitorFailed</MonitorState>"
                   "</DATABASE_QC1Record>"
                   "<DATABASE_ContParametersRecord ID=\"0x3\" rec=\"db_ContParameters\"/>"
                   "<DATABASE_ContParametersRecord ID=\"0x4\" rec=\"db_ContParameters\"><Params>"
                   "<Method>DBGPS_ContDistancePt</Method><ContMethod>DBGPS_ContOne</ContMethod></Params>"
                   "</DATABASE_ContParametersRecord>"
                   "<DATABASE_InitialisationRecord ID=\"0x5\" rec=\"db_Initialisation\"><InitEvent>DBGPS_GainInit"
                   "</InitEvent><InitType>DBGPS_Plate</InitType><InitSystem>DBGPS_RealTimeSystem</InitSystem>"
                   "</DATABASE_InitialisationRecord>"
                   "<DATABASE_PostProcessRecord ID=\"0x6\" rec=\"db_PostProcess\"><FileStatus>DBGPS_ValidData"
                   "</FileStatus></DATABASE_PostProcessRecord>"
                   "<DATABASE_QC2Record ID=\"0x7\" rec=\"db_QC2\"/>"
                   "<DATABASE_QC2Record ID=\"0x8\" rec=\"db_QC2\"><UnitVariance/></DATABASE_QC2Record>"
                   "<DATABASE_AntennaRecord ID=\"0x9\" rec=\"db_Antenna\"><APCType>DBGPS_Absolute</APCType>"
                   "</DATABASE_AntennaRecord>");
    const db_QC1& q = Only<db_QC1>();
    EXPECT_EQ(q.StartTime.Week, 0);
    EXPECT_TRUE(maths_IsNull(q.StartTime.Time));
    EXPECT_EQ(q.EndTime.Week, 0);
    EXPECT_EQ(q.EndTime.Time, 7.0);
    EXPECT_TRUE(maths_IsNull(q.PDOP));
    EXPECT_EQ(q.MonitorState, 1);

    const auto cont = Appended<db_ContParameters>();
    ASSERT_EQ(cont.size(), 2u);
    for (const db_ContParameters* record : cont) {
        const db_ContParams& p = record->Params;
        EXPECT_TRUE(maths_IsNull(p.TriggerDistance));
        EXPECT_TRUE(maths_IsNull(p.Interval));
        EXPECT_EQ(p.StopTime, 1.0);
        EXPECT_TRUE(maths_IsNull(p.LeftHorz));
        EXPECT_TRUE(maths_IsNull(p.RightVert));
        EXPECT_TRUE(maths_IsNull(p.EchoLatency));
    }
    EXPECT_EQ(cont[0]->Params.Method, 1);
    EXPECT_EQ(cont[0]->Params.ContMethod, 0);
    EXPECT_EQ(cont[1]->Params.Method, 0);
    EXPECT_EQ(cont[1]->Params.ContMethod, 1);

    const db_Initialisation& i = Only<db_Initialisation>();
    EXPECT_EQ(i.Time.Week, 0);
    EXPECT_TRUE(maths_IsNull(i.Time.Time));
    EXPECT_EQ(S(i.PointName), "");

    const db_PostProcess& log = Only<db_PostProcess>();
    EXPECT_EQ(log.StartTime.Week, 0);
    EXPECT_TRUE(maths_IsNull(log.StartTime.Time));
    EXPECT_EQ(log.Previous, NODBID);

    const auto qc2 = Appended<db_QC2>();
    ASSERT_EQ(qc2.size(), 2u);
    EXPECT_TRUE(maths_IsNull(qc2[0]->UnitVariance));
    EXPECT_TRUE(maths_IsNull(qc2[1]->UnitVariance));

    const db_Antenna& a = Only<db_Antenna>();
    EXPECT_TRUE(maths_IsNull(a.MeasuredHeight));
    EXPECT_EQ(a.Equipment, NODBID);
}

// ---------------------------------------------------------------------------------
// Refusals: the conversion fails with result 2 and leaves no job; the writer's message
// names the refused child and the element.

using GnssWriter = import_test::ElementMessageTest;

constexpr const char* kRadioPorts =
    "<Port>DBGPS_Port1</Port><Parity>RS232_NoParity</Parity><CTSEnabled>false</CTSEnabled>"
    "<CustomPort>DBGPS_Port1</CustomPort><CustomParity>RS232_NoParity</CustomParity>"
    "<CustomCTSEnabled>false</CustomCTSEnabled><PacCrestParity>RS232_NoParity</PacCrestParity>"
    "<ModemPort>DBGPS_Port1</ModemPort><ModemParity>RS232_NoParity</ModemParity>";

const struct {
    std::string xml;
    std::string message;
} kRefusals[] = {
    {"<DATABASE_EquipmentRecord ID=\"0x2\" rec=\"db_Equipment\"><Derivation>KIX</Derivation></DATABASE_EquipmentRecord>",
     "Derivation code is not 2 characters\nDATABASE_EquipmentRecord ID=\"0x2\""},
    {"<DATABASE_ReferenceRecord ID=\"0x3\" rec=\"db_Reference\"><Derivation>K</Derivation></DATABASE_ReferenceRecord>",
     "Derivation code is not 2 characters\nDATABASE_ReferenceRecord ID=\"0x3\""},
    {"<DATABASE_QC1Record ID=\"0x4\" rec=\"db_QC1\"><MonitorState>DBGPS_NotMonitored</MonitorState></DATABASE_QC1Record>",
     Invalid("bool", "RelativeDOPs", "") + "\nDATABASE_QC1Record ID=\"0x4\""},
    {"<DATABASE_QC1Record ID=\"0x5\" rec=\"db_QC1\"><RelativeDOPs>false</RelativeDOPs></DATABASE_QC1Record>",
     Invalid("dbgps_MonitorState", "MonitorState", "") + "\nDATABASE_QC1Record ID=\"0x5\""},
    {"<DATABASE_AntennaRecord ID=\"0x6\" rec=\"db_Antenna\"><APCType>DBGPS_Absolute</APCType>"
     "<Equipment>16</Equipment></DATABASE_AntennaRecord>",
     Invalid("hex number (missing 0x prefix)", "Equipment", "16") + "\nDATABASE_AntennaRecord ID=\"0x6\""},
    {"<DATABASE_SurveyEventRecord ID=\"0x7\" rec=\"db_SurveyEvent\"><Event>DBGPS_Started</Event></DATABASE_SurveyEventRecord>",
     Invalid("dbgps_SurveyEvent", "Event", "DBGPS_Started") + "\nDATABASE_SurveyEventRecord ID=\"0x7\""},
    {"<DATABASE_ContParametersRecord ID=\"0x8\" rec=\"db_ContParameters\"><Params><Method>DBGPS_ContTimePt</Method>"
     "</Params></DATABASE_ContParametersRecord>",
     Invalid("dbgps_ContOffsetOption", "ContMethod", "") + "\nDATABASE_ContParametersRecord ID=\"0x8\""},
    // The survey style's first required child decides; one with a default may be left out
    // but not left empty.
    {"<DATABASE_RoverSurveyRecord ID=\"0x9\" rec=\"db_RoverSurvey\"><SurveyType>DBGPS_RTK</SurveyType>"
     "</DATABASE_RoverSurveyRecord>",
     Invalid("dbgps_LoggingDevice", "LoggingDevice", "") + "\nDATABASE_RoverSurveyRecord ID=\"0x9\""},
    {"<DATABASE_BaseSurveyRecord ID=\"0xA\" rec=\"db_BaseSurvey\"><SurveyType>DBGPS_RTK</SurveyType>"
     "<LoggingDevice>DBGPS_Receiver</LoggingDevice><RTCMAgeLimit>DBGPS_Age5</RTCMAgeLimit><AutoFilenames>true"
     "</AutoFilenames><Application>DBGPS_RTK2WithL1Fixed</Application><RecordType>DBGPS_CMRX</RecordType>"
     "<L5Enabled/></DATABASE_BaseSurveyRecord>",
     Invalid("bool", "OutputCode", "") + "\nDATABASE_BaseSurveyRecord ID=\"0xA\""},
    {"<DATABASE_BaseSurveyRecord ID=\"0xB\" rec=\"db_BaseSurvey\"><SurveyType>DBGPS_RTK</SurveyType>"
     "<LoggingDevice>DBGPS_Receiver</LoggingDevice><RTCMAgeLimit>DBGPS_Age5</RTCMAgeLimit><AutoFilenames>true"
     "</AutoFilenames><Application>DBGPS_RTK2WithL1Fixed</Application><RecordType>DBGPS_CMRX</RecordType>"
     "<PosStoreType/></DATABASE_BaseSurveyRecord>",
     Invalid("dbgps_VRSStoreType", "PosStoreType", "") + "\nDATABASE_BaseSurveyRecord ID=\"0xB\""},
    {"<DATABASE_RoverRadioRecord ID=\"0xC\" rec=\"db_RoverRadio\">" + std::string(kRadioPorts) +
         "<ModemCTSEnabled>false</ModemCTSEnabled></DATABASE_RoverRadioRecord>",
     Invalid("dbgps_RadioType", "RadioType", "") + "\nDATABASE_RoverRadioRecord ID=\"0xC\""},
    {"<DATABASE_BaseRadioRecord ID=\"0xD\" rec=\"db_BaseRadio\"><RadioType>DBGPS_Satel</RadioType>" +
         std::string(kRadioPorts) + "</DATABASE_BaseRadioRecord>",
     Invalid("bool", "ModemCTSEnabled", "") + "\nDATABASE_BaseRadioRecord ID=\"0xD\""},
    {"<DATABASE_BaseRadioRecord ID=\"0xE\" rec=\"db_BaseRadio\"><RadioType>DBGPS_Satel</RadioType>"
     "<BaudRate>0x25G0</BaudRate></DATABASE_BaseRadioRecord>",
     Invalid("dbgps_ReceiverPort", "Port", "") + "\nDATABASE_BaseRadioRecord ID=\"0xE\""},
    {"<DATABASE_BaseRadioRecord ID=\"0xF\" rec=\"db_BaseRadio\"><RadioType>DBGPS_Satel</RadioType>"
     "<Port>DBGPS_Port1</Port><BaudRate>0x25G0</BaudRate></DATABASE_BaseRadioRecord>",
     Invalid("hex number", "BaudRate", "0x25G0") + "\nDATABASE_BaseRadioRecord ID=\"0xF\""},
    {"<DATABASE_PostProcessRecord ID=\"0x10\" rec=\"db_PostProcess\"><FileStatus>DBGPS_ValidData</FileStatus>"
     "<StartTime><Week>0xZ</Week></StartTime></DATABASE_PostProcessRecord>",
     Invalid("hex number", "Week", "0xZ") + "\nDATABASE_PostProcessRecord ID=\"0x10\""},
    {"<DATABASE_NTRIPDataSourceRecord ID=\"0x11\" rec=\"db_NTRIP\"/>",
     "wrong rec sttribute: db_NTRIP instead of db_NTRIPDataSource\nDATABASE_NTRIPDataSourceRecord ID=\"0x11\""},
    {"<DATABASE_QC3Record ID=\"0x12\"/>", "missing rec=\"db_QC3\"\nDATABASE_QC3Record ID=\"0x12\""},
};

TEST_F(GnssWriter, RefusedElementsNameTheirChild) {
    for (const auto& c : kRefusals) EXPECT_EQ(Message(c.xml), "XML read error: \n" + c.message) << c.xml;
}

TEST_F(GnssConversion, RefusedElementsFailTheConversion) {
    for (const auto& c : kRefusals) {
        SCOPED_TRACE(c.xml);
        EXPECT_EQ(Convert(kCurrent, c.xml), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
}

}  // namespace
