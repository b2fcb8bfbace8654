// Conventional instrument elements converted end to end: an export through the
// library's entry point, the job file read back through the journal reader. Every
// stored field, the references the second pass resolves, the version-dependent
// children, and the exact message of each refused element.
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
#include "records/conventional.h"
#include "records/coordsysstyle.h"
#include "records/entities.h"
#include "records/laserecho.h"
#include "records/measurements.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

class ConventionalConversion : public import_test::StoredRecordsTest {};

TEST_F(ConventionalConversion, AStationSetupExportStoresEveryFieldAndReference) {
    ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/conventional.xml"), 0);
    Read();

    const db_SurveyStyle& style = One<db_SurveyStyle>();
    EXPECT_EQ(S(style.ConfigName), "Robotic");
    EXPECT_EQ(style.Device, 1);

    // From 1240 the newer refraction children are read and "Refraction" is not.
    const db_TotalAtmosphere& atmosphere = One<db_TotalAtmosphere>();
    EXPECT_EQ(atmosphere.GetTimeStamp(), 1291900010.0);
    EXPECT_EQ(S(atmosphere.GetNotes()), "warm\r\n");
    EXPECT_EQ(atmosphere.Pressure, 1013.25);
    EXPECT_EQ(atmosphere.Temperature, 21.5);
    EXPECT_EQ(atmosphere.PPM, 3.25);
    EXPECT_TRUE(atmosphere.ApplyCurvature);
    EXPECT_FALSE(atmosphere.ApplyRefraction);
    EXPECT_EQ(atmosphere.RefractionCoefficient, 0.13);
    EXPECT_EQ(atmosphere.PressureInputMethod, 1);

    const db_TotalInstrument& instrument = One<db_TotalInstrument>();
    EXPECT_EQ(instrument.Type, 7);
    EXPECT_EQ(instrument.RefractiveIndex, 273.5);
    EXPECT_EQ(instrument.CarrierWavelength, 79.5);
    EXPECT_FALSE(instrument.HasExtraInfo);
    EXPECT_TRUE(instrument.AutolockOffForOffsets);
    EXPECT_EQ(instrument.MeasurementMode, 2);
    EXPECT_EQ(instrument.SetHzCircleMode, 2);
    EXPECT_EQ(instrument.Servo, 1);
    EXPECT_EQ(instrument.AnglesOnlyRate, 1.5);
    EXPECT_TRUE(instrument.TurnToZero);
    EXPECT_EQ(instrument.AverageMeasurements, 5u);
    EXPECT_TRUE(instrument.AutoMatchedFace1_2);
    EXPECT_FALSE(instrument.MeasureDistOnFace2);
    EXPECT_FALSE(instrument.StakeUsingTracking);
    EXPECT_FALSE(instrument.SendRecordAck);
    EXPECT_EQ(instrument.PortParam.BaudRate, 0x9600);
    EXPECT_EQ(instrument.PortParam.DataBits, 7);
    EXPECT_EQ(instrument.PortParam.StopBits, 2);
    EXPECT_EQ(instrument.PortParam.Parity, 2);
    EXPECT_EQ(instrument.PortParam.FlowControl, 2);
    EXPECT_EQ(instrument.Precisions.HAPrecision, 0.000005);
    EXPECT_EQ(instrument.Precisions.VAPrecision, 0.000006);
    EXPECT_EQ(instrument.Precisions.EDMPrecision, 0.001);
    EXPECT_EQ(instrument.Precisions.EDMppm, 1.5);
    EXPECT_EQ(instrument.CenteringError, 0.0015);  // the element's own, not the group's
    EXPECT_TRUE(instrument.EditInstrumentPrecisions);
    EXPECT_EQ(instrument.Channel, 3);
    EXPECT_EQ(instrument.StationAddress, 12);
    EXPECT_EQ(instrument.RemoteAddress, 14);
    EXPECT_EQ(S(instrument.Model), "QS7");
    EXPECT_EQ(S(instrument.Serial), "S-123");
    EXPECT_EQ(S(instrument.FirmwareVersion), "R2.1");
    EXPECT_EQ(instrument.ModelNumber, 0x1Fu);
    EXPECT_EQ(instrument.InstrumentAppliedHCollimation, 0.0001);
    EXPECT_EQ(instrument.InstrumentAppliedVCollimation, -0.0002);
    EXPECT_EQ(instrument.TrunionAxisTiltCorrection, 0.0003);
    EXPECT_EQ(S(instrument.UserDefinedName), "Mine");
    EXPECT_EQ(instrument.InstrumentAppliedAutolockHCollimation, 0.0004);
    EXPECT_EQ(instrument.InstrumentAppliedAutolockVCollimation, MATHS_Null);  // empty
    EXPECT_EQ(instrument.AtmosphereCorrectionCoeff, 0.5);
    EXPECT_EQ(instrument.OffsetUserPerspective, 2);

    // The height block as read: the notch method without offset children keeps 0.
    const db_TotalStation& station = One<db_TotalStation>();
    EXPECT_EQ(S(station.StationName), "STN");
    EXPECT_EQ(station.TheodoliteHeight.Height, 1.55);
    EXPECT_EQ(station.TheodoliteHeight.MeasurementMethod, 1);
    EXPECT_EQ(station.TheodoliteHeight.HorizontalOffset, 0.0);
    EXPECT_EQ(station.TheodoliteHeight.VerticalOffset, 0.0);
    EXPECT_EQ(station.Instrument, instrument.GetRecordId());
    EXPECT_EQ(station.Atmosphere, atmosphere.GetRecordId());
    EXPECT_EQ(station.NumberOfBacksightObservations, 4u);
    EXPECT_EQ(station.NumberOfUniqueBacksights, 2u);
    EXPECT_EQ(station.ScaleFactor, 0.9996);
    EXPECT_EQ(station.ScaleType, 1);
    EXPECT_EQ(station.ScaleFactorStdError, 0.00001);
    EXPECT_EQ(station.StationType, 4);

    const db_TotalBackBearing& backBearing = One<db_TotalBackBearing>();
    EXPECT_EQ(S(backBearing.Station), "STN");
    EXPECT_EQ(S(backBearing.BackSight), "BS1");
    EXPECT_EQ(backBearing.F1HorzCircle, 0.25);
    EXPECT_EQ(backBearing.F2HorzCircle, 3.391592653589793);
    EXPECT_EQ(backBearing.OrientationCorrectionStdError, 0.00002);

    const db_Target& target = One<db_Target>();
    EXPECT_EQ(S(target.Name), "Prism A");
    EXPECT_TRUE(target.IsDR);
    EXPECT_EQ(target.Target.TargetHeightData.Height, 1.9);  // from "TargetHeight"
    EXPECT_EQ(target.Target.TargetHeightData.MeasurementMethod, 1);
    EXPECT_EQ(target.Target.TargetHeightData.HorizontalOffset, 0.05);
    EXPECT_EQ(target.Target.TargetHeightData.VerticalOffset, 0.0);
    EXPECT_EQ(target.Target.Prism.PrismType, 5);
    EXPECT_EQ(target.Target.Prism.PrismConstant, -0.0175);
    EXPECT_EQ(target.Target.RMTID, 3);
    EXPECT_EQ(target.Target.CorvaneCheckTargetID, 3);
    EXPECT_TRUE(target.IsDualPrism);

    // The point's circle reading is applied to its observation, and again once fixed.
    const db_Circle* circlePtr = nullptr;
    for (const JournalEntry& entry : journal)
        if (entry.operation == DBMODEL_Apply && entry.record) circlePtr = db_Circle::Cast(entry.record.get());
    ASSERT_NE(circlePtr, nullptr);
    const db_Circle& circle = *circlePtr;
    EXPECT_EQ(circle.Station, station.GetRecordId());
    EXPECT_EQ(circle.Target, target.GetRecordId());
    EXPECT_EQ(circle.BackBearing, backBearing.GetRecordId());

    const db_RemoteObject& remote = One<db_RemoteObject>();
    EXPECT_EQ(remote.RawObservation.HorzCircle, 0.5);
    EXPECT_EQ(remote.RawObservation.VertCircle, 1.2);
    EXPECT_EQ(remote.RawObservation.EDMDistance, 42.5);
    EXPECT_EQ(remote.RawObservation.Face, 2);
    EXPECT_EQ(remote.RawObservation.HorzCircleStdErr, 0.00001);
    EXPECT_EQ(remote.RawObservation.VertCircleStdErr, 0.00002);
    EXPECT_EQ(remote.RawObservation.EDMDistanceStdErr, 0.003);
    EXPECT_EQ(remote.RawObservation.EDMMeasurementMode, 1);
    EXPECT_EQ(remote.ObjectHeight, 12.5);
    EXPECT_EQ(remote.ObjectWidth, 3.25);
    EXPECT_EQ(S(remote.ROBasePointName), "P1");
    EXPECT_EQ(remote.ROBasePointID, One<db_Observation>().GetRecordId());

    const std::vector<const db_AngleOffset*> angles = Stored<db_AngleOffset>();
    ASSERT_EQ(angles.size(), 2u);
    EXPECT_EQ(angles[0]->FirstRawObservationTarget, target.GetRecordId());
    EXPECT_EQ(angles[0]->FirstRawObservation.HorzCircle, 1.5);
    EXPECT_EQ(angles[0]->FirstRawObservation.EDMDistance, 10.5);
    EXPECT_EQ(angles[0]->FirstRawObservation.EDMMeasurementMode, 6);
    EXPECT_EQ(angles[0]->SecondRawObservation.VertCircle, 1.56);
    EXPECT_EQ(angles[0]->SecondRawObservation.EDMDistance, MATHS_Null);
    // An ID no element defined resolves to 0; absent readings keep their defaults.
    EXPECT_EQ(angles[1]->FirstRawObservationTarget, NODBID);
    EXPECT_TRUE(angles[1]->FirstRawObservation.IsNull());
    EXPECT_EQ(angles[1]->FirstRawObservation.EDMMeasurementMode, 7);

    // The station, the remote object and the angle offsets are each replaced once.
    int replaced = 0;
    for (const JournalEntry& entry : journal)
        if (entry.operation == DBMODEL_Replace) {
            ++replaced;
            EXPECT_TRUE(entry.type == DATABASE_StationRecord || entry.type == DATABASE_RemoteObjectRecord ||
                        entry.type == DATABASE_AngleOffsetRecord)
                << entry.type;
        }
    EXPECT_EQ(replaced, 4);
}

std::string Instrument(const std::string& children) {
    return "<DATABASE_InstrumentRecord ID=\"0x40\" rec=\"db_TotalInstrument\">" + children +
           "</DATABASE_InstrumentRecord>";
}

// The children an instrument element needs besides its type and "Servo".
const std::string kInstrumentRequired =
    "<HasExtraInfo>true</HasExtraInfo><MeasurementMode>TOTAL_EDMFine</MeasurementMode>"
    "<SetHzCircleMode>TOTAL_DoNothing</SetHzCircleMode><TurnToZero>false</TurnToZero>";

TEST_F(ConventionalConversion, InstrumentTypesTurningAndPrecisionsByVersion) {
    const std::string waves = "<RefractiveIndex>1</RefractiveIndex><CarrierWavelength>2</CarrierWavelength>";
    const std::string servo = "<Servo>TOTAL_HAOnly</Servo>";
    const std::string edit = "<EditInstrumentPrecisions>false</EditInstrumentPrecisions>";
    const struct {
        std::string type;
        double refractiveIndex;
        double carrierWavelength;
    } types[] = {
        {"TOTAL_QuorvelStationB", 275.54, 79.722}, {"TOTAL_QuorvelStationC", 278.77, 80.653},
        {"TOTAL_QuorvelStationE", 274.41, 79.39},  {"TOTAL_ZeissEltaC", 281.8, 79.391},
        {"TOTAL_ZeissRecEltaE", 275.54, 79.722},   {"TOTAL_Manual", 1.0, 2.0},
    };
    for (const auto& c : types) {
        SCOPED_TRACE(c.type);
        ConvertAndRead(Instrument("<Type>" + c.type + "</Type>" + waves + kInstrumentRequired + servo + edit));
        EXPECT_EQ(One<db_TotalInstrument>().RefractiveIndex, c.refractiveIndex);
        EXPECT_EQ(One<db_TotalInstrument>().CarrierWavelength, c.carrierWavelength);
    }

    // "AutoTurn" false needs no "Servo" and stores no servo.
    const struct {
        std::string autoTurn;
        int servo;
    } turns[] = {{"<AutoTurn>false</AutoTurn>", 2}, {"<AutoTurn>FALSE</AutoTurn>" + servo, 2},
                 {"<AutoTurn>true</AutoTurn>" + servo, 0}, {"<AutoTurn></AutoTurn>" + servo, 0}, {servo, 0}};
    for (const auto& c : turns) {
        SCOPED_TRACE(c.autoTurn);
        ConvertAndRead(Instrument("<Type>TOTAL_Manual</Type>" + kInstrumentRequired + c.autoTurn + edit));
        EXPECT_EQ(One<db_TotalInstrument>().Servo, c.servo);
    }

    // Without "EditInstrumentPrecisions" before 1200 / 600 the type decides; the
    // centering error lies inside "Precisions" before 1100 / 500.
    const std::string precisions = "<Precisions><EDMppm>3</EDMppm><CenteringError>0.7</CenteringError></Precisions>";
    const std::string own = "<CenteringError>0.004</CenteringError>";
    const struct {
        std::string version;
        std::string product;
        std::string type;
        std::string extra;
        bool edit;
        double centering;
    } versions[] = {
        {"1200", "Quorvel Zentrovane", "TOTAL_QuorvelStationC", edit, false, 0.004},
        {"1199", "Quorvel Zentrovane", "TOTAL_QuorvelStationC", edit, false, 0.004},
        {"1199", "Quorvel Zentrovane", "TOTAL_Manual", edit, true, 0.004},
        {"1150", "Quorvel Zentrovane", "TOTAL_Corvane", "", false, 0.004},
        {"1150", "Quorvel Zentrovane", "TOTAL_QuorvelStationE", "", false, 0.004},
        {"1150", "Quorvel Zentrovane", "TOTAL_QuorvelStationB", "", true, 0.004},
        {"600", "Quorvel Tessaline", "TOTAL_Manual", edit, false, 0.004},
        {"599", "Quorvel Tessaline", "TOTAL_Manual", edit, true, 0.004},
        {"1100", "Quorvel Zentrovane", "TOTAL_Manual", "", true, 0.004},
        {"1099", "Quorvel Zentrovane", "TOTAL_Manual", "", true, 0.7},
        {"500", "Quorvel Tessaline", "TOTAL_Manual", "", true, 0.004},
        {"499", "Quorvel Tessaline", "TOTAL_Manual", "", true, 0.7},
        {"", "Quorvel Zentrovane", "TOTAL_QuorvelStationC", "", false, 0.7},
    };
    for (const auto& c : versions) {
        SCOPED_TRACE(c.version + " " + c.product + " " + c.type);
        ConvertAndRead(
            Instrument("<Type>" + c.type + "</Type>" + kInstrumentRequired + servo + precisions + own + c.extra),
            c.version, c.product);
        EXPECT_EQ(One<db_TotalInstrument>().EditInstrumentPrecisions, c.edit);
        EXPECT_EQ(One<db_TotalInstrument>().CenteringError, c.centering);
        EXPECT_EQ(One<db_TotalInstrument>().Precisions.EDMppm, 3.0);
        EXPECT_EQ(One<db_TotalInstrument>().Precisions.HAPrecision, MATHS_Null);
    }
    // An absent centering error is 0 wherever it is looked for.
    ConvertAndRead(Instrument("<Type>TOTAL_Manual</Type>" + kInstrumentRequired + servo + edit));
    EXPECT_EQ(One<db_TotalInstrument>().CenteringError, 0.0);
    ConvertAndRead(Instrument("<Type>TOTAL_Manual</Type>" + kInstrumentRequired + servo), "1000");
    EXPECT_EQ(One<db_TotalInstrument>().CenteringError, 0.0);

    // Absent groups: the precisions null, the port and radio at the record's defaults,
    // the defaulted children at theirs.
    ConvertAndRead(Instrument("<Type>TOTAL_Manual</Type>" + kInstrumentRequired + servo + edit));
    const db_TotalInstrument& bare = One<db_TotalInstrument>();
    EXPECT_EQ(bare.Precisions.HAPrecision, MATHS_Null);
    EXPECT_EQ(bare.Precisions.EDMppm, MATHS_Null);
    EXPECT_EQ(bare.PortParam.BaudRate, 9600);
    EXPECT_EQ(bare.PortParam.DataBits, 8);
    EXPECT_EQ(bare.StationAddress, -1);
    EXPECT_EQ(bare.RemoteAddress, -1);
    EXPECT_FALSE(bare.AutolockOffForOffsets);
    EXPECT_TRUE(bare.SendRecordAck);
    EXPECT_EQ(bare.AverageMeasurements, 0u);
    EXPECT_EQ(bare.ModelNumber, 0u);
    EXPECT_EQ(bare.InstrumentAppliedHCollimation, MATHS_Null);
    EXPECT_EQ(bare.OffsetUserPerspective, 0);
    EXPECT_EQ(bare.RefractiveIndex, MATHS_Null);
    // A port group without its numbers reads them as 0.
    ConvertAndRead(Instrument("<Type>TOTAL_Manual</Type>" + kInstrumentRequired + servo + edit +
                              "<PortParam><Parity>RS232_NoParity</Parity><FlowControl>RS232_NoFlowControl"
                              "</FlowControl></PortParam><Radio><Channel>2</Channel></Radio>"));
    EXPECT_EQ(One<db_TotalInstrument>().PortParam.BaudRate, 0);
    EXPECT_EQ(One<db_TotalInstrument>().PortParam.StopBits, 0);
    EXPECT_EQ(One<db_TotalInstrument>().Channel, 2);
    EXPECT_EQ(One<db_TotalInstrument>().StationAddress, 0);
}

std::string Atmosphere(const std::string& children) {
    return "<DATABASE_AtmosphereRecord ID=\"0x41\" rec=\"db_TotalAtmosphere\"><Pressure>1000</Pressure>" + children +
           "</DATABASE_AtmosphereRecord>";
}

TEST_F(ConventionalConversion, AtmosphereRefractionByVersion) {
    const std::string newer =
        "<ApplyCurvature>false</ApplyCurvature><ApplyRefraction>true</ApplyRefraction>"
        "<RefractionCoefficient>0.25</RefractionCoefficient>";
    const struct {
        std::string version;
        std::string product;
        std::string children;
        bool curvature;
        bool refraction;
        double coefficient;
    } cases[] = {
        {"1240", "Quorvel Zentrovane", "<Refraction>TOTAL_Refraction02</Refraction>", true, true, 0.142},
        {"1240", "Quorvel Zentrovane", newer + "<Refraction>TOTAL_Refraction0</Refraction>", false, true, 0.25},
        {"600", "Quorvel Tessaline", newer, false, true, 0.25},
        {"1239", "Quorvel Zentrovane", newer + "<Refraction>TOTAL_Refraction02</Refraction>", true, true, 0.2},
        {"1200", "Quorvel Zentrovane", "<Refraction>TOTAL_Refraction0</Refraction>", false, false, 0.142},
        {"599", "Quorvel Tessaline", "<Refraction>TOTAL_Refraction0142</Refraction>", true, true, 0.142},
        {"", "Quorvel Zentrovane", "<Refraction>TOTAL_Refraction02</Refraction>", true, true, 0.2},
        {"1200", "Quorvel Zentrovane", "<Refraction>total_refraction02</Refraction>", true, true, 0.142},
        {"1200", "Quorvel Zentrovane", "<Refraction></Refraction>", true, true, 0.142},
        {"1200", "Quorvel Zentrovane", newer, true, true, 0.142},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version + " " + c.children);
        ConvertAndRead(Atmosphere(c.children), c.version, c.product);
        const db_TotalAtmosphere& a = One<db_TotalAtmosphere>();
        EXPECT_EQ(a.ApplyCurvature, c.curvature);
        EXPECT_EQ(a.ApplyRefraction, c.refraction);
        EXPECT_EQ(a.RefractionCoefficient, c.coefficient);
        EXPECT_EQ(a.Pressure, 1000.0);
        EXPECT_EQ(a.Temperature, MATHS_Null);
        EXPECT_EQ(a.PPM, MATHS_Null);
        EXPECT_EQ(a.PressureInputMethod, 0);
    }
}

TEST_F(ConventionalConversion, TargetsNamesAndRawHeights) {
    const std::string body = "<TargetHeight>1.5</TargetHeight><PrismConstant>-0.03</PrismConstant>";
    const struct {
        std::string element;
        std::string rec;
        std::string children;
        std::string name;
        double height;
    } cases[] = {
        {"DATABASE_TargetRecord", "db_Target", "<Name></Name>" + body, "Target 1", 1.5},
        {"DATABASE_TargetRecord", "db_Target", body, "Target 1", 1.5},
        {"DATABASE_TargetRecord", "db_Target", "<Name>T9</Name>" + body + "<RawTargetHeight>1.25</RawTargetHeight>",
         "T9", 1.25},
        {"DATABASE_Target1Record", "db_TotalTarget1", "<Name>X</Name><IsDR>true</IsDR>" + body, "Target 1", 1.5},
        {"DATABASE_Target2Record", "db_TotalTarget2", "<Name>X</Name><IsDualPrism>true</IsDualPrism>" + body,
         "Target 2", 1.5},
        {"DATABASE_TargetSystemRecord", "db_TotalTargetSystem", body + "<RawTargetHeight></RawTargetHeight>",
         "Target (computed)", MATHS_Null},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element + " " + c.children);
        ConvertAndRead("<" + c.element + " ID=\"0x42\" rec=\"" + c.rec + "\">" + c.children + "</" + c.element + ">");
        const db_Target& t = One<db_Target>();
        EXPECT_EQ(S(t.Name), c.name);
        EXPECT_EQ(t.Target.TargetHeightData.Height, c.height);
        EXPECT_EQ(t.Target.TargetHeightData.MeasurementMethod, 0);
        EXPECT_EQ(t.Target.Prism.PrismType, -1);
        EXPECT_EQ(t.Target.Prism.PrismConstant, -0.03);
        EXPECT_EQ(t.Target.RMTID, 0);
        EXPECT_FALSE(t.IsDR);
        EXPECT_FALSE(t.IsDualPrism);
    }
}

TEST_F(ConventionalConversion, StationDefaultsAndRawHeight) {
    ConvertAndRead(
        "<DATABASE_StationRecord ID=\"0x43\" rec=\"db_TotalStation\"><StationName>S</StationName>"
        "<TheodoliteHt>1.45</TheodoliteHt><Instrument>0x99</Instrument></DATABASE_StationRecord>");
    const db_TotalStation& s = One<db_TotalStation>();
    EXPECT_EQ(s.TheodoliteHeight.Height, 1.45);
    EXPECT_EQ(s.TheodoliteHeight.MeasurementMethod, 0);
    EXPECT_EQ(s.Instrument, NODBID);
    EXPECT_EQ(s.Atmosphere, NODBID);
    EXPECT_EQ(s.NumberOfBacksightObservations, 1u);
    EXPECT_EQ(s.NumberOfUniqueBacksights, 1u);
    EXPECT_EQ(s.ScaleFactor, 1.0);
    EXPECT_EQ(s.ScaleType, 0);
    EXPECT_EQ(s.ScaleFactorStdError, MATHS_Null);
    EXPECT_EQ(s.StationType, 0);
}

TEST_F(ConventionalConversion, LaserStylesAndOffsetElements) {
    ConvertAndRead(
        "<DATABASE_IntegratedStyleRecord ID=\"0x50\" rec=\"db_IntegratedStyle\"><GPSStyleName>RTK</GPSStyleName>"
        "<TSStyleName>Robot</TSStyleName></DATABASE_IntegratedStyleRecord>"
        "<DATABASE_IntegratedTargetRecord ID=\"0x51\" rec=\"db_IntegratedTarget\"/>"
        "<DATABASE_LaserBasePointRecord ID=\"0x52\" rec=\"db_LaserBasePoint\"><TheName>LB1</TheName>"
        "</DATABASE_LaserBasePointRecord>"
        "<DATABASE_LaserHeightRecord ID=\"0x53\" rec=\"db_LaserHeight\"><Height>1.6</Height></DATABASE_LaserHeightRecord>"
        "<DATABASE_LaserTargetHeightRecord ID=\"0x54\" rec=\"db_LaserTargetHeight\"/>"
        "<DATABASE_LaserConfigRecord ID=\"0x55\" rec=\"db_LaserConfig\"><LaserType>DBLASER_TruPulse360B</LaserType>"
        "<Port>RS232_COM3</Port><BaudRate>0x12C0</BaudRate><DataBits>7</DataBits><StopBits>2</StopBits>"
        "<Parity>RS232_OddParity</Parity><Features>DBLASER_HasEDM DBLASER_Unknown DBLASER_HasCompass</Features>"
        "<UseFireCommand>true</UseFireCommand><AutoStore>false</AutoStore><AzimuthPrecision>0.002</AzimuthPrecision>"
        "</DATABASE_LaserConfigRecord>"
        "<DATABASE_DualPrismOffsetRecord ID=\"0x56\" rec=\"db_DualPrismOffset\"><PrismBObservation>"
        "<HorzCircle>0.3</HorzCircle><Face>COORD_Face1</Face></PrismBObservation><DistanceAB>0.5</DistanceAB>"
        "</DATABASE_DualPrismOffsetRecord>"
        "<DATABASE_CircularObjectRecord ID=\"0x57\" rec=\"db_CircularObject\"><SecondRawObservation>"
        "<EDMDistance>7.5</EDMDistance><Face>COORD_Face2</Face></SecondRawObservation><Radius>0.35</Radius>"
        "</DATABASE_CircularObjectRecord>");
    const db_IntegratedStyle& style = One<db_IntegratedStyle>();
    EXPECT_FALSE(style.IntegratedStyle);
    EXPECT_EQ(S(style.GPSStyleName), "RTK");
    EXPECT_EQ(S(style.TSStyleName), "Robot");
    EXPECT_EQ(One<db_IntegratedTarget>().OffsetFromCenterOfPrismToAntenna, MATHS_Null);
    EXPECT_EQ(S(One<db_LaserBasePoint>().TheName), "LB1");
    EXPECT_EQ(One<db_LaserHeight>().Height, 1.6);
    EXPECT_EQ(One<db_LaserTargetHeight>().Height, MATHS_Null);
    const db_LaserConfig& laser = One<db_LaserConfig>();
    EXPECT_EQ(laser.LaserType, 4);
    EXPECT_EQ(laser.Port, 2);
    EXPECT_EQ(laser.BaudRate, 4800u);
    EXPECT_EQ(laser.DataBits, 7);
    EXPECT_EQ(laser.StopBits, 2);
    EXPECT_EQ(laser.Parity, 1);
    EXPECT_EQ(laser.Features, 0x6u);
    EXPECT_TRUE(laser.UseFireCommand);
    EXPECT_FALSE(laser.AutoStore);
    EXPECT_FALSE(laser.AcceptLowQuality);
    EXPECT_EQ(laser.DistancePrecision, MATHS_Null);
    EXPECT_EQ(laser.AzimuthPrecision, 0.002);
    const db_DualPrismOffset& dual = One<db_DualPrismOffset>();
    EXPECT_TRUE(dual.PrismAObservation.IsNull());
    EXPECT_EQ(dual.PrismAObservation.EDMMeasurementMode, 7);
    EXPECT_EQ(dual.PrismBObservation.HorzCircle, 0.3);
    EXPECT_EQ(dual.PrismBObservation.EDMMeasurementMode, 6);
    EXPECT_EQ(dual.Constants.DistanceAB, 0.5);
    EXPECT_EQ(dual.Constants.PrismConstantA, MATHS_Null);
    EXPECT_EQ(dual.Constants.ToleranceAB, 0.02);
    const db_CircularObject& circular = One<db_CircularObject>();
    EXPECT_TRUE(circular.FirstRawObservation.IsNull());
    EXPECT_EQ(circular.SecondRawObservation.EDMDistance, 7.5);
    EXPECT_EQ(circular.Radius, 0.35);
}

// A refused element: the dispatcher's message, and the conversion fails with result 2
// and leaves no job file.
class RefusedConventional : public ConventionalConversion {};

TEST_F(RefusedConventional, EachGivesItsExactMessageAndResultTwo) {
    const char* instrument = "DATABASE_InstrumentRecord";
    const char* laser = "DATABASE_LaserConfigRecord";
    const std::string manual = "<Type>TOTAL_Manual</Type>";
    const std::string laserStart =
        "<LaserType>DBLASER_None</LaserType><Port>RS232_COM1</Port><Parity>RS232_NoParity</Parity>";
    const Refusal cases[] = {
        {instrument, "db_TotalInstrument", kInstrumentRequired, Invalid("total_InstrumentType", "Type", "")},
        {instrument, "db_TotalInstrument", "<Type>TOTAL_Unknown</Type>",
         Invalid("total_InstrumentType", "Type", "TOTAL_Unknown")},
        {instrument, "db_TotalInstrument", manual, Invalid("bool", "HasExtraInfo", "")},
        // Without "AutoTurn", or with it empty, "Servo" is required.
        {instrument, "db_TotalInstrument", manual + kInstrumentRequired, Invalid("total_ServoOptions", "Servo", "")},
        {instrument, "db_TotalInstrument", manual + kInstrumentRequired + "<AutoTurn></AutoTurn>",
         Invalid("total_ServoOptions", "Servo", "")},
        {instrument, "db_TotalInstrument", manual + kInstrumentRequired + "<AutoTurn>no</AutoTurn>",
         Invalid("bool", "AutoTurn", "no")},
        {instrument, "db_TotalInstrument", manual + "<HasExtraInfo>true</HasExtraInfo>",
         Invalid("total_MeasurementMode", "MeasurementMode", "")},
        {instrument, "db_TotalInstrument", manual + kInstrumentRequired + "<AutoTurn>false</AutoTurn>",
         Invalid("bool", "EditInstrumentPrecisions", "")},
        {instrument, "db_TotalInstrument",
         manual + kInstrumentRequired + "<AutoTurn>false</AutoTurn><PortParam><BaudRate>9600</BaudRate></PortParam>",
         Invalid("rs232_ParityCodes", "Parity", "")},
        {instrument, "db_TotalInstrument",
         manual + kInstrumentRequired +
             "<AutoTurn>false</AutoTurn><PortParam><Parity>RS232_NoParity</Parity></PortParam>",
         Invalid("rs232_FlowControls", "FlowControl", "")},
        {instrument, "db_TotalInstruments",
         manual + kInstrumentRequired + "<AutoTurn>false</AutoTurn><EditInstrumentPrecisions>true"
                                        "</EditInstrumentPrecisions>",
         "wrong rec sttribute: db_TotalInstruments instead of db_TotalInstrument"},
        {laser, "db_LaserConfig", "", Invalid("dblaser_LaserType", "LaserType", "")},
        {laser, "db_LaserConfig", "<LaserType>DBLASER_None</LaserType>", Invalid("rs232_Ports", "Port", "")},
        {laser, "db_LaserConfig", "<LaserType>DBLASER_None</LaserType><Port>RS232_COM1</Port>",
         Invalid("rs232_ParityCodes", "Parity", "")},
        {laser, "db_LaserConfig", laserStart, Invalid("bool", "UseFireCommand", "")},
        {laser, "db_LaserConfig", laserStart + "<UseFireCommand>true</UseFireCommand>",
         Invalid("bool", "AutoStore", "")},
        {"DATABASE_SurveyStyleRecord", "db_SurveyStyle", "<ConfigName>X</ConfigName>",
         Invalid("dbqz_PositioningTechnology", "Device", "")},
        {"DATABASE_StationRecord", "db_TotalStation", "<Instrument>11</Instrument>",
         Invalid("hex number (missing 0x prefix)", "Instrument", "11")},
        {"DATABASE_AngleOffsetRecord", "db_AngleOffset", "<FirstRawObservationTarget>0xQ</FirstRawObservationTarget>",
         Invalid("hex number", "FirstRawObservationTarget", "0xQ")},
        {"DATABASE_RemoteObjectRecord", "db_RemoteObject", "<RawObservation><HorzCircle>1</HorzCircle></RawObservation>",
         Invalid("coord_Face", "Face", "")},
        {"DATABASE_TargetRecord", "db_Target", "<PrismType>TOTAL_Prism</PrismType>",
         Invalid("total_PrismTypes", "PrismType", "TOTAL_Prism")},
        {"DATABASE_TargetRecord", "db_Target", "<IsDR></IsDR>", Invalid("bool", "IsDR", "")},
        {"DATABASE_Target2Record", "db_Target", "", "wrong rec sttribute: db_Target instead of db_TotalTarget2"},
        {"DATABASE_AtmosphereRecord", "db_TotalAtmosphere", "<ApplyCurvature>1</ApplyCurvature>",
         Invalid("bool", "ApplyCurvature", "1")},
        {"DATABASE_AtmosphereRecord", "db_TotalAtmosphere",
         "<PressureInputMethod>TOTAL_Keyed</PressureInputMethod>",
         Invalid("total_AtmosphereMethod", "PressureInputMethod", "TOTAL_Keyed")},
    };
    for (const Refusal& c : cases) ExpectRefused(c);
    // Without "rec" the instrument is refused after all its children were read.
    EXPECT_EQ(Message("<DATABASE_LaserHeightRecord ID=\"0x50\"><Height>1</Height></DATABASE_LaserHeightRecord>"),
              "XML read error: \nmissing rec=\"db_LaserHeight\"\nDATABASE_LaserHeightRecord ID=\"0x50\"");
}

}  // namespace
