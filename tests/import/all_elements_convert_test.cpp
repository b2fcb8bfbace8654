// Every record element an export can hold, but the road definitions, in one export
// (tests/fixtures/import/all_elements.xml): each has a handler, the export converts and
// its job holds the records the elements make, in order; and each element refuses a
// "rec" other than its own.
#include <gtest/gtest.h>

#include <iterator>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "import/conversion_test.h"
#include "import/element_writer.h"
#include "jobdb/dbmodel.h"
#include "records/dbRecordTypes.h"
#include "support/temp_folder.h"

namespace {

using import_test::ConversionTest;
using import_test::ElementWriterTest;

const std::string kFixture = std::string(QZ_FIXTURES_DIR) + "/import/all_elements.xml";

// The road definitions, which have exports of their own.
const std::set<std::string> kRoadDefinitions = {
    "DATABASE_RoadHeaderRecord",     "DATABASE_HorzHeaderRecord",       "DATABASE_HorzStraightRecord",
    "DATABASE_HorzArcAngLenRecord",  "DATABASE_HorzArcRadLenRecord",    "DATABASE_HorzArcRadAngRecord",
    "DATABASE_HorzSpiralRecord",     "DATABASE_VertHeaderRecord",       "DATABASE_VertArcRecord",
    "DATABASE_VertParabolaRecord",   "DATABASE_VertAsymParabolaRecord", "DATABASE_VertPointRecord",
    "DATABASE_ApplyTmpltsRecord",    "DATABASE_ApplySuperRecord",       "DATABASE_TmpltHeaderRecord",
    "DATABASE_TmpltDistGradeRecord", "DATABASE_TmpltDistDeltaRecord",   "DATABASE_TmpltBatterRecord"};

// A top-level element of the fixture: its name and where its "rec" value lies.
struct TopElement {
    std::string name;
    size_t recAt;
    size_t recLength;
};

// One element per line after the job header.
std::vector<TopElement> TopElements(const std::string& text) {
    std::vector<TopElement> found;
    for (size_t line = text.find("\n  <DATABASE_"); line != std::string::npos;
         line = text.find("\n  <DATABASE_", line + 1)) {
        const size_t nameAt = line + 4;
        const size_t nameEnd = text.find_first_of(" />", nameAt);
        const std::string name = text.substr(nameAt, nameEnd - nameAt);
        if (name == "DATABASE_JobHeaderRecord") continue;
        const size_t tagEnd = text.find('>', nameAt);
        const size_t rec = text.find(" rec=\"", nameAt);
        if (rec == std::string::npos || rec > tagEnd) {
            found.push_back({name, std::string::npos, 0});
            continue;
        }
        const size_t valueAt = rec + 6;
        found.push_back({name, valueAt, text.find('"', valueAt) - valueAt});
    }
    return found;
}

TEST(AllElements, EveryNameHasAHandlerAndEachButTheRoadDefinitionsAnElementInTheExport) {
    std::set<std::string> handled;
    for (const writejob_ElementHandler& entry : writejob_ElementTable()) {
        SCOPED_TRACE(entry.name);
        EXPECT_NE(entry.handler, nullptr);
        if (entry.handler && kRoadDefinitions.count(entry.name) == 0) handled.insert(entry.name);
    }
    EXPECT_EQ(handled.size(), 159u);
    std::set<std::string> inExport;
    for (const TopElement& element : TopElements(TempFolder::Read(kFixture))) {
        EXPECT_TRUE(inExport.insert(element.name).second) << element.name << " twice";
    }
    EXPECT_EQ(inExport, handled);
}

class AllElementsConversion : public ConversionTest {};

// Each element makes its record: appended, or applied to the open entity (measurements,
// features, tunnel points); the second pass then writes back every record that holds
// references, in the order of the fixer table.
TEST_F(AllElementsConversion, ConvertsAndTheJobHoldsTheRecordsInOrder) {
    ASSERT_EQ(ConvertFile(kFixture), 0);
    Read();
    struct Entry {
        int operation;
        int type;
    };
    constexpr int Append = DBMODEL_Append;
    constexpr int Replace = DBMODEL_Replace;
    constexpr int Apply = DBMODEL_Apply;
    const Entry expected[] = {
        {Append, DATABASE_JobHeaderRecord}, {Append, DATABASE_NoteRecord}, {Append, DATABASE_InverseRecord},
        {Append, DATABASE_ComputeAzimuthRecord}, {Append, DATABASE_ComputeDistanceRecord},
        {Append, DATABASE_EllipsoidRecord}, {Append, DATABASE_PointKeyinRecord}, {Append, DATABASE_DatumRecord},
        {Append, DATABASE_ProjectionRecord}, {Append, DATABASE_PlaneRecord}, {Append, DATABASE_HeightRecord},
        {Append, DATABASE_CorrectionsRecord}, {Append, DATABASE_RoadAvailableStations},
        {Append, DATABASE_RoadConstructionOffsets}, {Append, DATABASE_RoverRadioRecord},
        {Append, DATABASE_BaseRadioRecord}, {Append, DATABASE_StationingRecord},
        {Append, DATABASE_StationSetupResidualRecord}, {Append, DATABASE_StationSetupResidualRecord},
        {Append, DATABASE_ResectErrorsRecord}, {Append, DATABASE_TraverseHeaderRecord},
        {Append, DATABASE_TraverseClosureRecord}, {Append, DATABASE_TraverseAdjustmentRecord},
        {Append, DATABASE_GridDeltasRecord}, {Append, DATABASE_LinearDeltasRecord},
        {Append, DATABASE_PointDesignRecord}, {Append, DATABASE_ExtraPointDesignElevationsRecord},
        {Append, DATABASE_LinearDesignRecord}, {Append, DATABASE_DTMDesignRecord},
        {Append, DATABASE_DTMDeltasRecord}, {Append, DATABASE_RelativeDTMDeltasRecord},
        {Append, DATABASE_SlopeDesignRecord}, {Append, DATABASE_RoadDesignRecord},
        {Append, DATABASE_RoadDeltasRecord}, {Append, DATABASE_SecondaryRoadDeltasRecord},
        {Append, DATABASE_RoadCatchDeltaRecord}, {Append, DATABASE_CrossSectionReport},
        {Append, DATABASE_PrecisionRecord}, {Append, DATABASE_CalibPointRecord},
        {Append, DATABASE_CodingRecord}, {Append, DATABASE_DescriptionsDefinitionRecord},
        {Append, DATABASE_MeterologicalRecord}, {Append, DATABASE_ConfigCalibRecord},
        {Append, DATABASE_AreaRecord}, {Append, DATABASE_SubdividedAreaRecord},
        {Append, DATABASE_CoordSysControlRecord}, {Append, DATABASE_CoordSystemRecord},
        {Append, DATABASE_NoteRecord}, {Append, DATABASE_AtmosphereRecord},
        {Append, DATABASE_BackBearingRecord}, {Append, DATABASE_InstrumentRecord},
        {Append, DATABASE_StationRecord}, {Append, DATABASE_TargetRecord}, {Append, DATABASE_TargetRecord},
        {Append, DATABASE_TargetRecord}, {Append, DATABASE_TargetRecord},
        {Append, DATABASE_DualPrismOffsetRecord}, {Append, DATABASE_SurveyStyleRecord},
        {Append, DATABASE_IntegratedStyleRecord}, {Append, DATABASE_IntegratedTargetRecord},
        {Append, DATABASE_LaserBasePointRecord}, {Append, DATABASE_LaserHeightRecord},
        {Append, DATABASE_LaserTargetHeightRecord}, {Append, DATABASE_LaserConfigRecord},
        {Append, DATABASE_CircularObjectRecord}, {Append, DATABASE_RemoteObjectRecord},
        {Append, DATABASE_AngleOffsetRecord}, {Append, DATABASE_MeanTurnedAngleResidualsBeginRecord},
        {Append, DATABASE_JobPropertiesRecord}, {Append, DATABASE_StationSetupResidualsBeginRecord},
        {Append, DATABASE_StationSetupResidualsBeginRecord}, {Append, DATABASE_EndContinuousRecord},
        {Append, DATABASE_EndStyleRecord}, {Append, DATABASE_CalibBeginRecord},
        {Append, DATABASE_ContinuousRecord}, {Append, DATABASE_StationOffsetRecord},
        {Append, DATABASE_StartRoundsRecord}, {Append, DATABASE_StartRoundRecord},
        {Append, DATABASE_EndRoundRecord}, {Append, DATABASE_EndRoundsRecord},
        {Append, DATABASE_SurfaceScanRecord}, {Append, DATABASE_CogoTransformationRecord},
        {Append, DATABASE_StakeoutListRecord}, {Append, DATABASE_AttachedFilesRecord},
        {Append, DATABASE_BackgroundFileListRecord}, {Append, DATABASE_ImageRecord},
        {Append, DATABASE_CameraRecord}, {Append, DATABASE_QC1Record}, {Append, DATABASE_QC2Record},
        {Append, DATABASE_QC3Record}, {Append, DATABASE_EquipmentRecord}, {Append, DATABASE_AntennaRecord},
        {Append, DATABASE_RoverSurveyRecord}, {Append, DATABASE_BaseSurveyRecord},
        {Append, DATABASE_SurveyEventRecord}, {Append, DATABASE_ContParametersRecord},
        {Append, DATABASE_UnitsRecord}, {Append, DATABASE_CoordViewTypeRecord},
        {Append, DATABASE_TrackingRecord}, {Append, DATABASE_GPSReadingRecord},
        {Append, DATABASE_TSReadingRecord}, {Append, DATABASE_L2OTFTimesRecord},
        {Append, DATABASE_L1StaticTimesRecord}, {Append, DATABASE_FSL1TimesRecord},
        {Append, DATABASE_FSL2TimesRecord}, {Append, DATABASE_ControlTimesRecord},
        {Append, DATABASE_NewPtTimesRecord}, {Append, DATABASE_ToleranceRecord},
        {Append, DATABASE_InitialisationRecord}, {Append, DATABASE_ReferenceRecord},
        {Append, DATABASE_PostProcessRecord}, {Append, DATABASE_ContPointsRecord},
        {Append, DATABASE_FastStaticRecord}, {Append, DATABASE_ConfigStakeOutRecord},
        {Append, DATABASE_CheckShotRecord}, {Append, DATABASE_QuickMarkRecord},
        {Append, DATABASE_RTKContRecord}, {Append, DATABASE_PolarDeltasRecord},
        {Append, DATABASE_ScanningRecord}, {Append, DATABASE_PanoramaRecord},
        {Append, DATABASE_GridStdDeviationsRecord}, {Append, DATABASE_TimeZoneRecord},
        {Append, DATABASE_TunnelSettingsRecord}, {Append, DATABASE_NTRIPDataSourceRecord},
        {Append, DATABASE_ImportDataBeginRecord}, {Append, DATABASE_ImportDataEndRecord},
        {Append, DATABASE_AverageResidualsRecord}, {Append, DATABASE_AutoEntityNamesRecord},
        {Append, DATABASE_LocalTransformationRecord}, {Append, DATABASE_LineTransformationDefinitionRecord},
        {Append, DATABASE_LocalTransformationHelmertParametersRecord},
        {Append, DATABASE_LocalTransformationPointPairRecord}, {Append, DATABASE_EchoSoundingRecord},
        {Append, DATABASE_EchoSounderConfigRecord}, {Append, DATABASE_3DAxesRecord},
        {Append, DATABASE_ObservationRecord}, {Apply, DATABASE_CircleRecord}, {Apply, DATABASE_PolarRecord},
        {Apply, DATABASE_LaserOffsetRecord}, {Apply, DATABASE_CircleRecord}, {Apply, DATABASE_AzimuthRecord},
        {Apply, DATABASE_MeanTurnedAngleRecord}, {Append, DATABASE_MeanTurnedAngleResidualsRecord},
        {Apply, DATABASE_ECEFRecord}, {Apply, DATABASE_ECEFGroundRecord}, {Apply, DATABASE_WGS84Record},
        {Apply, DATABASE_LocalRecord}, {Append, DATABASE_DistanceOffsetRecord}, {Apply, DATABASE_GridRecord},
        {Apply, DATABASE_LocalTransformedGridRecord}, {Apply, DATABASE_ECEFDeltasRecord},
        {Apply, DATABASE_FeaturesActionRecord}, {Append, DATABASE_ObservationRecord},
        {Append, DATABASE_LineRecord}, {Append, DATABASE_ArcRecord}, {Append, DATABASE_TunnelXSPointsRecord},
        {Apply, DATABASE_TunnelPointDeltaRecord}, {Apply, DATABASE_TunnelPointDeltaRecord},
        {Apply, DATABASE_TunnelPointDeltaRecord}, {Apply, DATABASE_TunnelPointDeltaRecord},
        {Append, DATABASE_TunnelXSPointsRecord}, {Append, DATABASE_TunnelXSSetoutPointsRecord},
        {Apply, DATABASE_TunnelSetoutPointRecord}, {Apply, DATABASE_TunnelSetoutPointRecord},
        {Append, DATABASE_EndEntityRecord}, {Replace, DATABASE_PointKeyinRecord},
        {Replace, DATABASE_StationSetupResidualRecord}, {Replace, DATABASE_StationSetupResidualRecord},
        {Replace, DATABASE_TraverseClosureRecord}, {Replace, DATABASE_StationRecord},
        {Replace, DATABASE_RemoteObjectRecord}, {Replace, DATABASE_AngleOffsetRecord},
        {Replace, DATABASE_ImageRecord}, {Replace, DATABASE_AntennaRecord}, {Replace, DATABASE_ReferenceRecord},
        {Replace, DATABASE_PostProcessRecord}, {Replace, DATABASE_ScanningRecord},
        {Replace, DATABASE_AverageResidualsRecord}, {Apply, DATABASE_ECEFDeltasRecord},
        {Replace, DATABASE_MeanTurnedAngleResidualsRecord}, {Replace, DATABASE_TunnelPointDeltaRecord},
        {Replace, DATABASE_TunnelPointDeltaRecord}, {Replace, DATABASE_TunnelPointDeltaRecord},
        {Replace, DATABASE_TunnelPointDeltaRecord}, {Replace, DATABASE_TunnelSetoutPointRecord},
        {Replace, DATABASE_TunnelSetoutPointRecord},
    };
    ASSERT_EQ(journal.size(), std::size(expected));
    for (size_t i = 0; i < journal.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(journal[i].operation, expected[i].operation);
        EXPECT_EQ(journal[i].type, expected[i].type);
    }
}

// The fixture with the "rec" of one element changed: the writer throws the wrong-rec
// message naming the value the element expects, and the conversion fails.
class AllElementsWrongRec : public ElementWriterTest, public ::testing::WithParamInterface<int> {};

TEST_P(AllElementsWrongRec, OneElementsRecChangedFailsNamingItsOwn) {
    const std::string text = TempFolder::Read(kFixture);
    const std::vector<TopElement> elements = TopElements(text);
    ASSERT_EQ(elements.size(), 159u);
    const TopElement& changed = elements[static_cast<size_t>(GetParam())];
    SCOPED_TRACE(changed.name);
    ASSERT_NE(changed.recAt, std::string::npos);
    const std::string wrong = text.substr(changed.recAt, changed.recLength) + "X";
    std::string damaged = text;
    damaged.replace(changed.recAt, changed.recLength, wrong);

    // The feature element's value depends on the export's version.
    const writejob_ElementHandler* entry = writejob_FindElement(Str(changed.name.c_str()), writejob_ElementTable());
    ASSERT_NE(entry, nullptr);
    const std::string own = entry->rec ? entry->rec : "FeatureArray";
    // The message names the element's "ID" when its start tag has one.
    const size_t tagAt = damaged.rfind("\n  <", changed.recAt);
    const size_t idAt = damaged.find(" ID=\"", tagAt);
    std::string id;
    if (idAt < damaged.find('>', tagAt)) {
        const size_t valueAt = idAt + 5;
        id = " ID=\"" + damaged.substr(valueAt, damaged.find('"', valueAt) - valueAt) + "\"";
    }

    const size_t bodyAt = damaged.find("\n  <DATABASE_");
    const std::string body = damaged.substr(bodyAt, damaged.rfind("</JobExport>") - bodyAt);
    EXPECT_EQ(Thrown(body), "XML read error: \nwrong rec sttribute: " + wrong + " instead of " + own + "\n" +
                                changed.name + id);

    const std::string xml = folder_.Write("damaged.xml", damaged);
    const std::string job = folder_.Path() + "/damaged.job";
    EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 2);
    EXPECT_FALSE(std::filesystem::exists(job));
}

INSTANTIATE_TEST_SUITE_P(EachElement, AllElementsWrongRec, ::testing::Range(0, 159));

}  // namespace
