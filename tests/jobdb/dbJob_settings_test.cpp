#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/files/path.h"
#include "foundation/kernel/clock.h"
#include "job_fixture.h"
#include "records/coordsysdefs.h"
#include "records/coordsysstyle.h"
#include "records/dbRecordFactory.h"
#include "records/dbRecordFields.h"
#include "records/localtransform.h"
#include "records/imaging.h"
#include "records/precisioncoding.h"
#include "records/traverse.h"
#include "records/unitstiming.h"

namespace {

constexpr int A = DBMODEL_Append;
constexpr int kCoding = DATABASE_CodingRecord, kCorrections = DATABASE_CorrectionsRecord;

using JobSettings = JobFileTest;

db_Coding Coding(const char* comment) {
    db_Coding coding;
    coding.Comment = comment;
    return coding;
}

TEST_F(JobSettings, NewestRecordOfTheTypeElseTheCachedDefaults) {
    db_Coding* defaults = job.GetCodingSettings();
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(defaults->GetRecordId(), NODBID);  // from the cache
    EXPECT_EQ(defaults->Comment, "");
    EXPECT_EQ(job.GetCodingSettings(), defaults);  // made once

    db_Coding first = Coding("first"), second = Coding("second");
    job.AddRecord(&first);
    job.AddRecord(&second);
    ASSERT_NE(job.GetCodingSettings(), nullptr);
    EXPECT_EQ(job.GetCodingSettings()->Comment, "second");
    EXPECT_EQ(job.GetCodingSettings(), job.GetRecord(3));

    // An append pending in the caller's group has no record yet: the cache answers,
    // which the listener has kept at the newest committed one.
    db_Coding third = Coding("third");
    job.BeginGroup();
    job.AppendRecord(&third);
    EXPECT_EQ(job.GetCodingSettings()->Comment, "second");
    EXPECT_EQ(job.GetCodingSettings(), job.GetSettingsCache().Get(kCoding));
    job.EndGroup();
    EXPECT_EQ(job.GetCodingSettings()->Comment, "third");
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobSettings, TypedGettersAnswerTheirTypes) {
    EXPECT_EQ(job.GetCorrectionsSettings()->GetType(), DATABASE_CorrectionsRecord);
    EXPECT_EQ(job.GetDatumSettings()->GetType(), DATABASE_DatumRecord);
    EXPECT_EQ(job.GetProjectionSettings()->GetType(), DATABASE_ProjectionRecord);
    EXPECT_EQ(job.GetEllipsoidSettings()->GetType(), DATABASE_EllipsoidRecord);
    EXPECT_EQ(job.GetPlaneSettings()->GetType(), DATABASE_PlaneRecord);
    EXPECT_EQ(job.GetHeightSettings()->GetType(), DATABASE_HeightRecord);
    EXPECT_EQ(job.GetTraverseAdjustmentSettings()->GetType(), DATABASE_TraverseAdjustmentRecord);
    EXPECT_EQ(job.GetUnitsSettings()->GetType(), DATABASE_UnitsRecord);
    EXPECT_EQ(job.GetDescriptionsDefinitionSettings()->GetType(), DATABASE_DescriptionsDefinitionRecord);
    EXPECT_EQ(job.GetConfigCalibSettings()->GetType(), DATABASE_ConfigCalibRecord);
    EXPECT_EQ(job.GetCoordSystemSettings()->GetType(), DATABASE_CoordSystemRecord);
    EXPECT_EQ(job.GetCoordSystemControlSettings()->GetType(), DATABASE_CoordSysControlRecord);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobSettings, AClosedJobAnswersFromTheCache) {
    db_Coding stored = Coding("stored");
    job.AddRecord(&stored);
    job.Close();
    ASSERT_NE(job.GetCodingSettings(), nullptr);
    EXPECT_EQ(job.GetCodingSettings(), job.GetSettingsCache().Get(kCoding));
    EXPECT_EQ(job.GetCodingSettings()->Comment, "stored");  // the cache followed the commit
}

TEST_F(JobSettings, StoringTwoRecordsOfOneTypeRaisesTheChangeCountByTwo) {
    const int before = job.GetSettingsChangeCount();
    db_Coding a = Coding("a"), b = Coding("b");
    job.AddRecord(&a);
    job.AddRecord(&b);
    EXPECT_EQ(job.GetSettingsChangeCount(), before + 2);
    EXPECT_EQ(job.GetSettingsCache().GetCount(), 1);
}

TEST_F(JobSettings, EnsureSettingsStoresTheDefaultOnlyWhenTheJobHasNone) {
    job.EnsureSettings(kCoding);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, kCoding, 2}}));

    // The job's record lacks nothing: the cache takes it and nothing is stored.
    commits.clear();
    db_Coding mine = Coding("mine");
    job.AddRecord(&mine);
    job.GetSettingsCache().Clear();
    job.EnsureSettings(kCoding);
    EXPECT_EQ(commits.size(), 1u);
    EXPECT_EQ(job.GetSettingsCache().Get(kCoding)->GetRecordId(), DBID(3));

    // A type that needs no default gets none.
    commits.clear();
    job.EnsureSettings(DATABASE_TraverseAdjustmentRecord);
    EXPECT_TRUE(commits.empty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobSettings, EnsureSettingsStoresTheJobsRecordCompletedFromTheDefaults) {
    db_Corrections partial;
    partial.Corrections.ValuesPresent = 0;
    partial.Corrections.MagneticDeclination = 0.5;
    job.AddRecord(&partial);
    db_Corrections* defaults = db_Corrections::Cast(job.GetSettingsCache().Get(kCorrections));
    ASSERT_NE(defaults, nullptr);
    job.GetSettingsCache().Clear();
    commits.clear();
    job.EnsureSettings(kCorrections);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, kCorrections, 3}}));
}

TEST_F(JobSettings, EnsureSettingsStoresTheUnitsCompletedFromTheDefaults) {
    db_Units partial;
    partial.HorizontalUnits = db_Units::UnitsNone;
    partial.Stationing = 3;  // DBCONFIG_StationingNULL
    partial.DistanceDisplay = 0;
    job.AddRecord(&partial);
    job.GetSettingsCache().Clear();
    commits.clear();
    job.EnsureSettings(DATABASE_UnitsRecord);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, DATABASE_UnitsRecord, 3}}));
    const db_Units* completed = job.GetUnitsSettings();
    ASSERT_NE(completed, nullptr);
    EXPECT_EQ(completed->GetRecordId(), DBID(3));
    EXPECT_EQ(completed->HorizontalUnits, 0);
    EXPECT_EQ(completed->Stationing, 2);
    EXPECT_EQ(completed->DistanceDisplay, 0);  // set, so kept

    // Complete now: nothing more is stored.
    commits.clear();
    job.EnsureSettings(DATABASE_UnitsRecord);
    EXPECT_TRUE(commits.empty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobSettings, WriteDefaultSettingsEnsuresTheRequiredTypesInOneGroup) {
    job.WriteDefaultSettings();
    // A type whose class is not built yet has no default to store; it is reported.
    TransactionSeen expected;
    std::vector<std::string> reports;
    uint32_t id = 2;
    for (int type : {int(DATABASE_UnitsRecord), kCoding, kCorrections, int(DATABASE_DescriptionsDefinitionRecord)}) {
        if (dbRecord_CanCreate(type)) expected.push_back({A, 0, type, id++});
        else reports.push_back("def");
    }
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], expected);
    EXPECT_EQ(env.Expressions(), reports);

    env.Clear();
    job.BeginGroup();
    job.WriteDefaultSettings();
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"!this->InTransaction()"});
    job.EndGroup();
    EXPECT_EQ(commits.size(), 1u);
}

TEST_F(JobSettings, LoadSettingsFromJobKeepsTheNewestOfEachType) {
    db_Coding a = Coding("a"), b = Coding("b");
    db_TraverseAdjustment adjustment;
    adjustment.Method = 2;
    job.AddRecord(&a);
    job.AddRecord(&adjustment);
    job.AddRecord(&b);
    job.GetSettingsCache().Clear();
    job.LoadSettingsFromJob();
    EXPECT_EQ(job.GetSettingsCache().GetCount(), 2);
    EXPECT_EQ(db_Coding::Cast(job.GetSettingsCache().Get(kCoding))->Comment, "b");
    EXPECT_EQ(db_TraverseAdjustment::Cast(job.GetSettingsCache().Get(DATABASE_TraverseAdjustmentRecord))->Method, 2);
}

TEST_F(JobSettings, ATypeWithoutItsClassIsReportedAndAnsweredWithNull) {
    int missing = -1;
    for (int type = 0; type < DATABASE_AllRecords && missing < 0; ++type)
        if (dbRecord_GetTypeInfo(type).Is(DBTYPE_Persisted) && !dbRecord_CanCreate(type)) missing = type;
    if (missing < 0) GTEST_SKIP() << "every settings type can be made";
    EXPECT_EQ(job.GetSettings(missing), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"def"});
}

TEST_F(JobSettings, ANonPersistedTypeIsMadeButReported) {
    // Rover survey settings are asked for, although the type is not kept current.
    const dbRecord_Class* survey = job.GetSettings(DATABASE_RoverSurveyRecord);
    ASSERT_NE(survey, nullptr);
    EXPECT_EQ(survey->GetType(), DATABASE_RoverSurveyRecord);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"def->IsPersisted()", "record->IsPersisted()"}));
}

TEST_F(JobSettings, TimeZoneIsStoredOnlyWhenItChanged) {
    Str name;
    double hours = 0.0;
    if (!clock_GetTimeZone(name, hours)) GTEST_SKIP() << "the host tells no time zone";
    job.UpdateTimeZone();
    job.UpdateTimeZone();
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, DATABASE_TimeZoneRecord, 2}}));
    const db_TimeZone* stored = db_TimeZone::Cast(job.GetRecord(2));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->TimeZoneName, name);
    EXPECT_EQ(stored->HoursToUTC, hours);

    db_TimeZone other;
    other.TimeZoneName = "Elsewhere";
    job.AddRecord(&other);
    job.UpdateTimeZone();
    EXPECT_EQ(commits.size(), 3u);
}

TEST_F(JobSettings, CoordViewIsACopyOfTheNewestOrTheDefaults) {
    EXPECT_EQ(job.GetCoordViewTypeSettings().CoordType, 4);
    db_CoordViewType view;
    view.CoordType = 19;
    view.LocalReferenceTransformation = "Site";
    job.AddRecord(&view);
    const db_CoordViewType copy = job.GetCoordViewTypeSettings();
    EXPECT_EQ(copy.CoordType, 19);
    EXPECT_EQ(copy.LocalReferenceTransformation, "Site");
    job.Close();
    EXPECT_EQ(job.GetCoordViewTypeSettings().CoordType, 4);
}

TEST_F(JobSettings, AutoEntityNamesAreStoredWhenTheCachesDiffer) {
    db_AutoEntityNames names;
    names.Point = "PT";
    job.GetSettingsCache().Store(&names);
    ASSERT_NE(job.GetAutoEntityNamesSettings(), nullptr);
    EXPECT_EQ(job.GetAutoEntityNamesSettings()->Point, "PT");
    job.UpdateAutoEntityNames();
    job.UpdateAutoEntityNames();
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, DATABASE_AutoEntityNamesRecord, 2}}));
    names.Point = "NEW";
    job.GetSettingsCache().Store(&names);
    job.UpdateAutoEntityNames();
    EXPECT_EQ(commits.size(), 2u);
}

// ---------------------------------------------------------------- default-settings file

class DefaultSettingsFile : public JobFileTest {
protected:
    void SetUp() override {
        JobFileTest::SetUp();
        path_DefineMacro("ProjectRootDir", Str(tmp.Path().c_str()));
    }
};

TEST_F(DefaultSettingsFile, RoundTripsTheCache) {
    db_Coding coding = Coding("kept");
    db_TraverseAdjustment adjustment;
    adjustment.Angle = 3;
    job.AddRecord(&coding);
    job.AddRecord(&adjustment);
    ASSERT_TRUE(job.SaveDefaultSettings("defaults.job"));

    const std::vector<TransactionSeen> file = ReadJobFile(tmp / "defaults.job");
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file[0], (TransactionSeen{{A, 0, 0, 1}, {A, 0, kCoding, 2}, {A, 0, DATABASE_TraverseAdjustmentRecord, 3}}));
    struct stat info;
    EXPECT_NE(stat((tmp / "defaults.job.tmp").c_str(), &info), 0);

    JobDatabase other;
    ASSERT_TRUE(other.LoadDefaultSettings("defaults.job"));
    EXPECT_EQ(other.GetSettingsCache().GetCount(), 2);
    EXPECT_EQ(other.GetCodingSettings()->Comment, "kept");
    EXPECT_EQ(other.GetTraverseAdjustmentSettings()->Angle, 3);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(DefaultSettingsFile, SavingAgainReplacesTheFile) {
    db_Coding coding = Coding("one");
    job.AddRecord(&coding);
    ASSERT_TRUE(job.SaveDefaultSettings("d.job"));
    coding.Comment = "two";
    job.AddRecord(&coding);
    ASSERT_TRUE(job.SaveDefaultSettings("d.job"));
    JobDatabase other;
    ASSERT_TRUE(other.LoadDefaultSettings("d.job"));
    EXPECT_EQ(other.GetCodingSettings()->Comment, "two");
}

TEST_F(DefaultSettingsFile, AFailedSaveKeepsTheOldDefaults) {
    db_Coding coding = Coding("old");
    job.AddRecord(&coding);
    ASSERT_TRUE(job.SaveDefaultSettings("d.job"));
    const std::string before = TempFolder::Read(tmp / "d.job");
    ASSERT_EQ(chmod((tmp / "d.job").c_str(), 0444), 0);
    coding.Comment = "new";
    job.AddRecord(&coding);
    EXPECT_FALSE(job.SaveDefaultSettings("d.job"));
    EXPECT_EQ(TempFolder::Read(tmp / "d.job"), before);
    struct stat info;
    EXPECT_NE(stat((tmp / "d.job.tmp").c_str(), &info), 0);
}

TEST_F(DefaultSettingsFile, LoadFailsForAMissingFileOrAnotherVersion) {
    job.GetCodingSettings();
    EXPECT_FALSE(job.LoadDefaultSettings("missing.job"));
    EXPECT_EQ(job.GetSettingsCache().GetCount(), 0);

    ASSERT_TRUE(job.SaveDefaultSettings("v.job"));
    std::string bytes = TempFolder::Read(tmp / "v.job");
    bytes[46] = static_cast<char>(bytes[46] + 1);  // a version byte
    tmp.Write("v.job", bytes);
    EXPECT_FALSE(job.LoadDefaultSettings("v.job"));
    tmp.Write("t.job", std::string(48, '\0'));
    EXPECT_FALSE(job.LoadDefaultSettings("t.job"));
}

// ---------------------------------------------------------------- projections

db_Projection Projection(int kind) {
    db_Projection projection;
    projection.Projection.ProjectionType = kind;
    return projection;
}

TEST_F(JobSettings, ProjectionForARecordLooksAheadAcrossCoordinateSystemRecordsThenBack) {
    db_Projection early = Projection(3), late = Projection(5);
    db_Note note;
    db_Datum datum;
    db_Coding coding;
    job.AddRecord(&early);   // 2
    job.AddRecord(&coding);  // 3
    job.AddRecord(&note);    // 4
    job.AddRecord(&datum);   // 5
    job.AddRecord(&late);    // 6
    job.AddRecord(&coding);  // 7
    const db_Projection* found = job.GetProjectionFor(3);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->GetRecordId(), DBID(6));
    // Behind record 7 nothing follows: the newest before it.
    EXPECT_EQ(job.GetProjectionFor(7)->GetRecordId(), DBID(6));
    // A record that is not a coordinate-system record ends the look ahead.
    job.AddRecord(&coding);  // 8
    EXPECT_EQ(job.GetProjectionFor(1)->GetRecordId(), DBID(2));
    // Coding 3 ends the look ahead and nothing before 2 is a projection: the settings.
    EXPECT_EQ(job.GetProjectionFor(2)->GetRecordId(), DBID(6));
}

TEST_F(JobSettings, ProjectionBeforeAnyIsTheSettings) {
    db_Coding coding;
    job.AddRecord(&coding);
    const db_Projection* found = job.GetProjectionFor(2);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, job.GetProjectionSettings());
}

TEST_F(JobSettings, ScaleOnlyChange) {
    db_Projection scaleOnly = Projection(COORDSYS_ScaleOnly);
    job.AddRecord(&scaleOnly);
    struct Case { int kind; bool expected; };
    for (const Case& c : {Case{1, false}, Case{0, true}, Case{3, true}})
        EXPECT_EQ(job.IsScaleOnlyChange(c.kind), c.expected) << c.kind;
    db_Projection other = Projection(3);
    job.AddRecord(&other);
    for (const Case& c : {Case{1, true}, Case{3, false}, Case{4, false}})
        EXPECT_EQ(job.IsScaleOnlyChange(c.kind), c.expected) << c.kind;
}

// ---------------------------------------------------------------- references

TEST_F(JobSettings, AReferenceSharesTheJobAndClosesNothing) {
    JobDatabase reference;
    reference.ReferToJob(job);
    EXPECT_TRUE(reference.IsReferenceTo(job));
    EXPECT_FALSE(job.IsReferenceTo(reference));
    db_Coding coding = Coding("via reference");
    EXPECT_EQ(reference.AddRecord(&coding), DBID(2));
    EXPECT_EQ(job.GetCodingSettings()->Comment, "via reference");
    reference.Close();
    EXPECT_EQ(reference.GetAccess(), nullptr);
    EXPECT_TRUE(job.GetAccess()->IsOpen());
}

TEST_F(JobSettings, ReadFileHeaderReadsTheJobsHeader) {
    job.Close();
    filehdr_Class header(FILEHDR_Antenna);
    EXPECT_TRUE(JobDatabase::ReadFileHeader(Str(path.c_str()), header));
    EXPECT_EQ(header.FileType, FILEHDR_Journal);
    EXPECT_FALSE(JobDatabase::ReadFileHeader(Str((tmp / "none.job").c_str()), header));
}

}  // namespace
