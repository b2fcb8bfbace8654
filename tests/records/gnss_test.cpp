// The GNSS settings and quality records: byte-exact default layouts through the
// factory, round trips and clones, and the exceptions of each class (disk order, the
// concrete-type member, comparison rules, the antenna's edit action).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "records/dbRecordTypes.h"
#include "records/editactions.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

constexpr double kTenDegrees = 0.17453292519943295;

// The body of a default radio; the rover's and the base's differ in RadioType,
// ModemBaudRate, ModemCTSEnabled and DataThrottling.
void RadioBody(Builder& b, int radioType, uint32_t modemBaud, bool modemCTS, int throttling) {
    b.I16(radioType).I16(0).I16(0).I16(2).U32(38400).I16(1).U8(0);
    b.U16(0).U16(0).U16(0).U16(0).U16(0);
    b.I16(2).U32(9600).I16(1).U8(0).U32(9600).I16(0).U32(38400).I16(0);
    b.I16(2).U32(modemBaud).I16(0).U8(modemCTS).Text("").U8(0).U8(0).I16(throttling).Text("").U8(0);
}

// The body of a default survey style; the rover's and the base's differ in
// LoggingDevice, Filename, SatDiffCorrection, StationIndex and AntennaNumber.
void SurveyBody(Builder& b, int logging, const char* filename, int satDiff, uint32_t stationIndex, int antenna) {
    b.I16(0).I16(logging).I16(1).U8(1).Text(filename).F64(1.0).F64(1.0).I16(1).I16(7).I16(1).I16(satDiff);
    b.U8(0).U8(0).I16(0).U8(1).U16(stationIndex).U8(1).F64(kTenDegrees).F64(6.0);
    b.U8(1).U8(1).U8(0).U8(1).U8(0).U8(0).I16(antenna).I16(0).Text("").U8(0).U8(0).F64(Null).Text("");
    b.U8(0);  // GalileoEnabled
}

struct DefaultLayout {
    int code;
    int bodySize;  // bytes after the header
    std::function<void(Builder&)> body;
};

const DefaultLayout kDefaults[] = {
    {28, 75, [](Builder& b) {
         b.U16(0).U8(0).F64(0).F64(0).F64(0).F64(0).U16(0).F64(0).F64(0).U16(0).F64(0).U16(0).F64(0).I16(0);
     }},
    {29, 66, [](Builder& b) { b.U16(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(Null); }},
    {30, 64, [](Builder& b) { b.F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0); }},
    {41, 38 + 7, [](Builder& b) {
         b.Text("").Text("").Text("").F64(0).Text("").Text("").Text("").Text("").I16(0).I16(0);
         b.F64(0).F64(0).F64(0).U16(0x2020);
     }},
    {42, 14, [](Builder& b) { b.F64(0).I16(0).U32(0); }},
    {43, 76 + 9 + 2, [](Builder& b) { SurveyBody(b, 0, "gps00001", 0, 65535, 186); }},
    {44, 76 + 9 + 2, [](Builder& b) { SurveyBody(b, 1, "base0001", 1, 29, 185); }},
    {45, 2, [](Builder& b) { b.I16(0); }},
    {46, 68, [](Builder& b) {
         b.I16(1).F64(1.0).F64(1.0).F64(1.0).I16(0).F64(0).F64(0).F64(0).F64(0).F64(Null);
     }},
    {54, 60 + 2, [](Builder& b) { RadioBody(b, 3, 19200, false, 2); }},
    {55, 60 + 2, [](Builder& b) { RadioBody(b, 16, 9600, true, 4); }},
    {63, 43, [](Builder& b) {
         b.I16(0).U16(0).F64(0).I16(0).I16(0).U16(0).Text("").F64(0).F64(0).F64(0);
     }},
    {64, 6 + 1, [](Builder& b) { b.Text("").U32(0).U16(0x2020); }},
    {65, 20 + 1, [](Builder& b) { b.Text("").I16(0).U16(0).F64(0).U32(0).U32(0); }},
    {143, 2 + 4, [](Builder& b) { b.Text("").Text("").Text("").Text("").U16(0); }},
};

TEST(GnssRecords, DefaultsAreWrittenByteForByteAndRoundTrip) {
    for (const DefaultLayout& layout : kDefaults) {
        RecordingEnvironment env;
        const dbRecordTypeInfo& info = dbRecord_GetTypeInfo(layout.code);
        ASSERT_NE(info.create, nullptr) << layout.code;
        std::unique_ptr<dbRecord_Class> r(info.create());
        EXPECT_EQ(r->GetType(), layout.code);
        FixHeader(*r, 41, 123.25);
        Builder expected;
        expected.Header(layout.code, 41, 123.25);
        const size_t headerSize = expected.b.size();
        layout.body(expected);
        EXPECT_EQ(expected.b.size() - headerSize, static_cast<size_t>(layout.bodySize)) << layout.code;
        const Bytes bytes = Written(*r);
        EXPECT_EQ(bytes, expected.b) << layout.code;

        std::unique_ptr<dbRecord_Class> back(info.create());
        ASSERT_TRUE(ReadWhole(*back, bytes)) << layout.code;
        EXPECT_EQ(Written(*back), bytes) << layout.code;
        EXPECT_TRUE(back->IsEqual(*r)) << layout.code;

        std::unique_ptr<dbRecord_Class> clone(r->Clone());
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(clone->GetType(), layout.code);
        EXPECT_EQ(Written(*clone), bytes) << layout.code;

        Bytes cut = bytes;
        cut.pop_back();
        std::unique_ptr<dbRecord_Class> damaged(info.create());
        EXPECT_FALSE(ReadInto(*damaged, cut)) << layout.code;
    }
}

// Every field set away from its default survives a write and a read.
template <class R>
void ExpectRoundTrip(R& record) {
    FixHeader(record);
    const Bytes bytes = Written(record);
    R back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_TRUE(back.IsEqual(record));
    EXPECT_EQ(Written(back), bytes);
    R defaults;
    FixHeader(defaults);
    EXPECT_FALSE(defaults.IsEqual(record));
}

TEST(GnssRecords, SetFieldsRoundTrip) {
    db_BaseRadio radio;
    radio.Subtype = -2;
    radio.RXChannel = 65535;
    radio.BaudRate = 0x80000001u;
    radio.DialProfileName = "dial";
    radio.BluetoothAddress = "00:11";
    radio.PromptForDialProfile = true;
    ExpectRoundTrip(radio);

    db_RoverSurvey survey;
    db_Survey& style = survey;
    style.RecordType = -5;
    style.StationIndex = 40000;
    style.AntennaFileName = "ant.ini";
    style.MeasuredHeight = 1.25;
    ExpectRoundTrip(survey);

    db_ContParameters cont;
    cont.Params.ContMethod = 3;
    cont.Params.EchoLatency = 0.5;
    cont.Params.RightVert = -1.5;
    ExpectRoundTrip(cont);

    db_Initialisation init;
    init.Time.Week = 65535;
    init.Time.Time = 86400.5;
    init.PointName = "BASE";
    init.InitCount = 9;
    ExpectRoundTrip(init);

    db_Equipment equipment;
    equipment.FullReceiverSerialNo = "5123A";
    equipment.Derivation = 0xC449;  // a second character of 0x80 and above
    ExpectRoundTrip(equipment);
}

TEST(GnssRecords, GalileoIsTheLastByteOfASurveyStyle) {
    db_RoverSurvey plain, galileo;
    FixHeader(plain);
    FixHeader(galileo);
    static_cast<db_Survey&>(galileo).GalileoEnabled = true;
    const Bytes a = Written(plain), b = Written(galileo);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(std::equal(a.begin(), a.end() - 1, b.begin()));
    EXPECT_EQ(a.back(), 0);
    EXPECT_EQ(b.back(), 1);
    EXPECT_FALSE(plain.IsEqual(galileo));
}

TEST(GnssRecords, TheConcreteTypeIsAMemberThatIsNeverWritten) {
    db_BaseRadio radio;
    FixHeader(radio);
    db_BaseRadio back;
    ASSERT_TRUE(ReadWhole(back, Written(radio)));
    EXPECT_EQ(back.GetType(), 55);
    const db_Radio& base = back;
    EXPECT_EQ(base.db_Radio::GetType(), 55);
    const db_BaseSurvey survey;
    EXPECT_EQ(static_cast<const db_Survey&>(survey).db_Survey::GetType(), 44);
}

TEST(GnssRecords, VirtualAssignmentTakesTypeHeaderAndFields) {
    RecordingEnvironment env;
    db_RoverRadio source, target;
    FixHeader(source, 9, 5.0);
    source.SetNotes("n");
    source.TXChannel = 12;
    source.BluetoothAddress = "bt";
    db_Radio& radio = target;
    radio = source;
    EXPECT_EQ(Written(target), Written(source));
    radio = radio;
    EXPECT_EQ(Written(target), Written(source));
    EXPECT_TRUE(env.assertions.empty());

    // Assigned across the two classes, the member takes the source's code; the header
    // assignment reports the mismatch and copies all the same.
    db_BaseRadio base;
    FixHeader(base, 3, 1.0);
    base.ReportDelay = 7;
    radio = base;
    EXPECT_EQ(radio.db_Radio::GetType(), 55);
    EXPECT_EQ(target.GetType(), 54);
    EXPECT_EQ(target.ReportDelay, 7);
    EXPECT_EQ(target.RadioType, 16);
    EXPECT_EQ(target.GetRecordId(), DBID(3));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == other.GetType()"});

    db_BaseSurvey styleSource, styleTarget;
    static_cast<db_Survey&>(styleSource).RecordType = 2;
    static_cast<db_Survey&>(styleTarget) = styleSource;
    EXPECT_EQ(static_cast<db_Survey&>(styleTarget).RecordType, 2);
}

TEST(GnssRecords, SurveyCastTakesBothStylesOnly) {
    db_RoverSurvey rover;
    db_BaseSurvey base;
    db_RoverRadio radio;
    EXPECT_EQ(db_Survey::Cast(&rover), &rover);
    EXPECT_EQ(db_Survey::Cast(static_cast<const dbRecord_Class*>(&base)), &base);
    EXPECT_EQ(db_Survey::Cast(&radio), nullptr);
    EXPECT_EQ(db_Survey::Cast(static_cast<dbRecord_Class*>(nullptr)), nullptr);
    EXPECT_EQ(db_RoverSurvey::Cast(&base), nullptr);
    EXPECT_EQ(db_BaseRadio::Cast(&radio), nullptr);
}

TEST(GnssRecords, NtripTextsCompareWithoutCaseEquipmentTextsWithCase) {
    db_NTRIPDataSource a, b;
    a.MountPoint = "RTCM3_Near";
    b.MountPoint = "rtcm3_NEAR";
    a.IPAdress = "Caster.example";
    b.IPAdress = "caster.EXAMPLE";
    EXPECT_TRUE(a.IsEqual(b));
    b.IPPort = 2101;
    EXPECT_FALSE(a.IsEqual(b));
    b.IPPort = 0;
    b.Solution = "x";
    EXPECT_FALSE(a.IsEqual(b));

    db_Equipment c, d;
    c.ReceiverType = "R10";
    d.ReceiverType = "r10";
    EXPECT_FALSE(c.IsEqual(d));
}

TEST(GnssRecords, EveryPortSurvivesAWriteAndRead) {
    for (int32_t port : {0, 2101, 32767, 32768, 40000, 65535}) {
        db_NTRIPDataSource source;
        source.IPPort = port;
        db_NTRIPDataSource back;
        const Bytes bytes = Written(source);
        ASSERT_TRUE(ReadWhole(back, bytes));
        EXPECT_EQ(back.IPPort, port);
        EXPECT_EQ(bytes[bytes.size() - 2], port & 0xFF);
        EXPECT_EQ(bytes[bytes.size() - 1], port >> 8);
    }
}

TEST(GnssRecords, TimesAndDerivationsAreWrittenInPlace) {
    db_QC1 qc;
    FixHeader(qc);
    qc.VertStandardDeviation = 0.25;
    qc.StartTime.Week = 2;
    qc.StartTime.Time = 1.5;
    Builder expected;
    expected.Header(28, 7, 1000.5).U16(0).U8(0).F64(0).F64(0).F64(0).F64(0).U16(0).F64(0).F64(0.25);
    expected.U16(2).F64(1.5).U16(0).F64(0).I16(0);
    EXPECT_EQ(Written(qc), expected.b);

    db_Reference reference;
    FixHeader(reference);
    reference.PointName = "REF";
    reference.Antenna = DBID(5);
    reference.Derivation = dbRecord_DerivationKeyedIn;
    EXPECT_EQ(Written(reference), Builder().Header(64, 7, 1000.5).Text("REF").U32(5).I16(18763).b);
    const Bytes bytes = Written(reference);
    EXPECT_EQ(bytes[bytes.size() - 2], 'K');
}

TEST(GnssRecords, PostProcessRecordsIgnoreTheirLinks) {
    db_PostProcess a, b;
    a.FileName = b.FileName = "log0001.t02";
    a.FileStatus = b.FileStatus = 2;
    a.StartTime.Week = b.StartTime.Week = 2100;
    a.Previous = DBID(3);
    b.Antenna = DBID(4);
    EXPECT_TRUE(a.IsEqual(b));
    b.StartTime.Time = 0.5;
    EXPECT_FALSE(a.IsEqual(b));
    b.StartTime.Time = 0.0;
    b.FileName = "LOG0001.t02";
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(GnssRecords, AnEditActionChangesOnlyTheAntennasEquipment) {
    RecordingEnvironment env;
    db_Antenna antenna;
    FixHeader(antenna);
    antenna.MeasuredHeight = 1.5;
    antenna.APCType = 1;
    antenna.Equipment = DBID(2);
    antenna.ApplyDBIDAction(db_DBID(DBID(0x12345678u)));
    EXPECT_EQ(Written(antenna), Builder().Header(42, 7, 1000.5).F64(1.5).I16(1).U32(0x12345678u).b);
    EXPECT_TRUE(env.assertions.empty());

    // The other records of the family take no edit.
    db_Reference reference;
    reference.ApplyDBIDAction(db_DBID(DBID(9)));
    EXPECT_EQ(reference.Antenna, NODBID);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
}

TEST(GnssRecords, ComparingAnotherTypeReports) {
    RecordingEnvironment env;
    db_RoverRadio rover;
    db_BaseRadio base;
    db_QC2 qc;
    EXPECT_FALSE(rover.IsEqual(base));
    EXPECT_FALSE(qc.IsEqual(rover));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"this->GetType() == record.GetType ()",
                                                          "this->GetType() == record.GetType ()"}));
}

}  // namespace
