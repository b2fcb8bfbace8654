#include "records/dbRecordTypes.h"

#include "records/cogo.h"
#include "records/conventional.h"
#include "records/coordsysdefs.h"
#include "records/coordsysstyle.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "records/imaging.h"
#include "records/jobheader.h"
#include "records/jobproperties.h"
#include "records/laserecho.h"
#include "records/lists.h"
#include "records/localtransform.h"
#include "records/measurements.h"
#include "records/precisioncoding.h"
#include "records/roadstakeout.h"
#include "records/stakeoutdesign.h"
#include "records/stakeoutsettings.h"
#include "records/traverse.h"
#include "records/unitstiming.h"

namespace {

// clang-format off
// One row per code, in code order: value name (the export's element name), class,
// the queries that answer true, and the factory entry.
constexpr dbRecordTypeInfo kTypes[] = {
    {DATABASE_JobHeaderRecord, "DATABASE_JobHeaderRecord", "db_JobHeader", 0, &dbRecord_New<db_JobHeader>},
    {DATABASE_NoteRecord, "DATABASE_NoteRecord", "db_Note", 0, &dbRecord_New<db_Note>},
    {DATABASE_ObservationRecord, "DATABASE_ObservationRecord", "db_Observation", DBTYPE_HasDeletedFlag, &dbRecord_New<db_Observation>},
    {DATABASE_LineRecord, "DATABASE_LineRecord", "db_Line", DBTYPE_HasDeletedFlag, &dbRecord_New<db_Line>},
    {DATABASE_ArcRecord, "DATABASE_ArcRecord", "db_Arc", DBTYPE_HasDeletedFlag, &dbRecord_New<db_Arc>},
    {DATABASE_InverseRecord, "DATABASE_InverseRecord", "db_Inverse", 0, &dbRecord_New<db_Inverse>},
    {DATABASE_ComputeAzimuthRecord, "DATABASE_ComputeAzimuthRecord", "db_ComputeAzimuth", 0, &dbRecord_New<db_ComputeAzimuth>},
    {DATABASE_ComputeDistanceRecord, "DATABASE_ComputeDistanceRecord", "db_ComputeDistance", 0, &dbRecord_New<db_ComputeDistance>},
    {DATABASE_ECEFDeltasRecord, "DATABASE_ECEFDeltasRecord", "db_ECEFDeltas", DBTYPE_Measurement, &dbRecord_New<db_ECEFDeltas>},
    {DATABASE_ECEFRecord, "DATABASE_ECEFRecord", "db_ECEF", DBTYPE_Measurement, &dbRecord_New<db_ECEF>},
    {DATABASE_ECEFGroundRecord, "DATABASE_ECEFGroundRecord", "db_ECEFGround", DBTYPE_Measurement, &dbRecord_New<db_ECEFGround>},
    {DATABASE_WGS84Record, "DATABASE_WGS84Record", "db_WGS84", DBTYPE_Measurement, &dbRecord_New<db_WGS84>},
    {DATABASE_LocalRecord, "DATABASE_LocalRecord", "db_Local", DBTYPE_Measurement, &dbRecord_New<db_Local>},
    {DATABASE_GridRecord, "DATABASE_GridRecord", "db_Grid", DBTYPE_Measurement, &dbRecord_New<db_Grid>},
    {DATABASE_LocalTransformedGridRecord, "DATABASE_LocalTransformedGridRecord", "db_LocalTransformedGrid", DBTYPE_Measurement, &dbRecord_New<db_LocalTransformedGrid>},
    {DATABASE_PolarRecord, "DATABASE_PolarRecord", "db_Polar", DBTYPE_Measurement, &dbRecord_New<db_Polar>},
    {DATABASE_LaserOffsetRecord, "DATABASE_LaserOffsetRecord", "db_LaserOffset", DBTYPE_Measurement, &dbRecord_New<db_LaserOffset>},
    {DATABASE_CircleRecord, "DATABASE_CircleRecord", "db_Circle", DBTYPE_Measurement, &dbRecord_New<db_Circle>},
    {DATABASE_AzimuthRecord, "DATABASE_AzimuthRecord", "db_Azimuth", DBTYPE_Measurement, &dbRecord_New<db_Azimuth>},
    {DATABASE_MeanTurnedAngleRecord, "DATABASE_MeanTurnedAngleRecord", "db_MeanTurnedAngle", DBTYPE_Measurement, &dbRecord_New<db_MeanTurnedAngle>},
    {DATABASE_MeanTurnedAngleResidualsRecord, "DATABASE_MeanTurnedAngleResidualsRecord", "db_MeanTurnedAngleResiduals", 0, &dbRecord_New<db_MeanTurnedAngleResiduals>},
    {DATABASE_MeanTurnedAngleResidualsBeginRecord, "DATABASE_MeanTurnedAngleResidualsBeginRecord", "db_MeanTurnedAngleResidualsBegin", 0, &dbRecord_New<db_MeanTurnedAngleResidualsBegin>},
    {DATABASE_AtmosphereRecord, "DATABASE_AtmosphereRecord", "db_TotalAtmosphere", DBTYPE_InvalidatesPositions, &dbRecord_New<db_TotalAtmosphere>},
    {DATABASE_BackBearingRecord, "DATABASE_BackBearingRecord", "db_TotalBackBearing", DBTYPE_InvalidatesPositions, &dbRecord_New<db_TotalBackBearing>},
    {DATABASE_InstrumentRecord, "DATABASE_InstrumentRecord", "db_TotalInstrument", 0, &dbRecord_New<db_TotalInstrument>},
    {DATABASE_StationRecord, "DATABASE_StationRecord", "db_TotalStation", DBTYPE_InvalidatesPositions, &dbRecord_New<db_TotalStation>},
    {DATABASE_DualPrismOffsetRecord, "DATABASE_DualPrismOffsetRecord", "db_DualPrismOffset", DBTYPE_InvalidatesPositions, &dbRecord_New<db_DualPrismOffset>},
    {DATABASE_EndEntityRecord, "DATABASE_EndEntityRecord", "db_EndEntity", 0, &dbRecord_New<db_EndEntity>},
    {DATABASE_QC1Record, "DATABASE_QC1Record", "db_QC1", 0, &dbRecord_New<db_QC1>},
    {DATABASE_QC2Record, "DATABASE_QC2Record", "db_QC2", 0, &dbRecord_New<db_QC2>},
    {DATABASE_QC3Record, "DATABASE_QC3Record", "db_QC3", 0, &dbRecord_New<db_QC3>},
    {DATABASE_PrecisionRecord, "DATABASE_PrecisionRecord", "db_Precision", 0, &dbRecord_New<db_Precision>},
    {DATABASE_EllipsoidRecord, "DATABASE_EllipsoidRecord", "db_Ellipsoid", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_Ellipsoid>},
    {DATABASE_DatumRecord, "DATABASE_DatumRecord", "db_Datum", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_Datum>},
    {DATABASE_ProjectionRecord, "DATABASE_ProjectionRecord", "db_Projection", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_Projection>},
    {DATABASE_PlaneRecord, "DATABASE_PlaneRecord", "db_Plane", DBTYPE_Persisted | DBTYPE_DefaultRequired, &dbRecord_New<db_Plane>},
    {DATABASE_HeightRecord, "DATABASE_HeightRecord", "db_Height", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_Height>},
    {DATABASE_CorrectionsRecord, "DATABASE_CorrectionsRecord", "db_Corrections", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_Corrections>},
    {DATABASE_RoadAvailableStations, "DATABASE_RoadAvailableStations", "db_RoadAvailableStations", DBTYPE_Persisted, &dbRecord_New<db_RoadAvailableStations>},
    {DATABASE_RoadConstructionOffsets, "DATABASE_RoadConstructionOffsets", "db_RoadConstructionOffsets", 0, &dbRecord_New<db_RoadConstructionOffsets>},
    {DATABASE_CalibPointRecord, "DATABASE_CalibPointRecord", "db_CalibPoint", 0, &dbRecord_New<db_CalibPoint>},
    {DATABASE_EquipmentRecord, "DATABASE_EquipmentRecord", "db_Equipment", DBTYPE_InvalidatesPositions, &dbRecord_New<db_Equipment>},
    {DATABASE_AntennaRecord, "DATABASE_AntennaRecord", "db_Antenna", DBTYPE_InvalidatesPositions, &dbRecord_New<db_Antenna>},
    {DATABASE_RoverSurveyRecord, "DATABASE_RoverSurveyRecord", "db_RoverSurvey", DBTYPE_InvalidatesPositions, &dbRecord_New<db_RoverSurvey>},
    {DATABASE_BaseSurveyRecord, "DATABASE_BaseSurveyRecord", "db_BaseSurvey", DBTYPE_InvalidatesPositions, &dbRecord_New<db_BaseSurvey>},
    {DATABASE_SurveyEventRecord, "DATABASE_SurveyEventRecord", "db_SurveyEvent", 0, &dbRecord_New<db_SurveyEvent>},
    {DATABASE_ContParametersRecord, "DATABASE_ContParametersRecord", "db_ContParameters", 0, &dbRecord_New<db_ContParameters>},
    {DATABASE_UnitsRecord, "DATABASE_UnitsRecord", "db_Units", DBTYPE_Persisted | DBTYPE_DefaultRequired, &dbRecord_New<db_Units>},
    {DATABASE_CoordViewTypeRecord, "DATABASE_CoordViewTypeRecord", "db_CoordViewType", 0, &dbRecord_New<db_CoordViewType>},
    {DATABASE_TrackingRecord, "DATABASE_TrackingRecord", "db_Tracking", 0, &dbRecord_New<db_Tracking>},
    {DATABASE_CodingRecord, "DATABASE_CodingRecord", "db_Coding", DBTYPE_Persisted | DBTYPE_DefaultRequired, &dbRecord_New<db_Coding>},
    {DATABASE_DescriptionsDefinitionRecord, "DATABASE_DescriptionsDefinitionRecord", "db_DescriptionsDefinition", DBTYPE_Persisted | DBTYPE_DefaultRequired, &dbRecord_New<db_DescriptionsDefinition>},
    {DATABASE_GPSReadingRecord, "DATABASE_GPSReadingRecord", "db_GPSReading", 0, &dbRecord_New<db_GPSReading>},
    {DATABASE_TSReadingRecord, "DATABASE_TSReadingRecord", "db_TSReading", 0, &dbRecord_New<db_TSReading>},
    {DATABASE_RoverRadioRecord, "DATABASE_RoverRadioRecord", "db_RoverRadio", 0, &dbRecord_New<db_RoverRadio>},
    {DATABASE_BaseRadioRecord, "DATABASE_BaseRadioRecord", "db_BaseRadio", 0, &dbRecord_New<db_BaseRadio>},
    {DATABASE_L2OTFTimesRecord, "DATABASE_L2OTFTimesRecord", "db_L2OTFTimes", 0, &dbRecord_New<db_L2OTFTimes>},
    {DATABASE_L1StaticTimesRecord, "DATABASE_L1StaticTimesRecord", "db_L1StaticTimes", 0, &dbRecord_New<db_L1StaticTimes>},
    {DATABASE_ControlTimesRecord, "DATABASE_ControlTimesRecord", "db_ControlTimes", 0, &dbRecord_New<db_ControlTimes>},
    {DATABASE_FSL1TimesRecord, "DATABASE_FSL1TimesRecord", "db_FSL1Times", 0, &dbRecord_New<db_FSL1Times>},
    {DATABASE_FSL2TimesRecord, "DATABASE_FSL2TimesRecord", "db_FSL2Times", 0, &dbRecord_New<db_FSL2Times>},
    {DATABASE_ToleranceRecord, "DATABASE_ToleranceRecord", "db_Tolerance", 0, &dbRecord_New<db_Tolerance>},
    {DATABASE_MeterologicalRecord, "DATABASE_MeterologicalRecord", "db_Meterological", DBTYPE_InvalidatesPositions, &dbRecord_New<db_Meterological>},
    {DATABASE_InitialisationRecord, "DATABASE_InitialisationRecord", "db_Initialisation", 0, &dbRecord_New<db_Initialisation>},
    {DATABASE_ReferenceRecord, "DATABASE_ReferenceRecord", "db_Reference", 0, &dbRecord_New<db_Reference>},
    {DATABASE_PostProcessRecord, "DATABASE_PostProcessRecord", "db_PostProcess", 0, &dbRecord_New<db_PostProcess>},
    {DATABASE_ContinuousRecord, "DATABASE_ContinuousRecord", "db_Continuous", 0, &dbRecord_New<db_Continuous>},
    {DATABASE_ContPointsRecord, "DATABASE_ContPointsRecord", "db_ContinuousPoints", 0, &dbRecord_New<db_ContinuousPoints>},
    {DATABASE_FastStaticRecord, "DATABASE_FastStaticRecord", "db_FastStatic", 0, &dbRecord_New<db_FastStatic>},
    {DATABASE_ConfigStakeOutRecord, "DATABASE_ConfigStakeOutRecord", "db_StakeOut", DBTYPE_Persisted, &dbRecord_New<db_StakeOut>},
    {DATABASE_CheckShotRecord, "DATABASE_CheckShotRecord", "db_CheckShot", 0, &dbRecord_New<db_CheckShot>},
    {DATABASE_QuickMarkRecord, "DATABASE_QuickMarkRecord", "db_QuickMark", 0, &dbRecord_New<db_QuickMark>},
    {DATABASE_RTKContRecord, "DATABASE_RTKContRecord", "db_RTKControl", 0, &dbRecord_New<db_RTKControl>},
    {DATABASE_EndContinuousRecord, "DATABASE_EndContinuousRecord", "db_EndContinuous", 0, &dbRecord_New<db_EndContinuous>},
    {DATABASE_EndStyleRecord, "DATABASE_EndStyleRecord", "db_EndSurveyStyle", 0, &dbRecord_New<db_EndSurveyStyle>},
    {DATABASE_CalibBeginRecord, "DATABASE_CalibBeginRecord", "db_CalibBegin", 0, &dbRecord_New<db_CalibBegin>},
    {DATABASE_ConfigCalibRecord, "DATABASE_ConfigCalibRecord", "db_ConfigCalib", DBTYPE_Persisted, &dbRecord_New<db_ConfigCalib>},
    {DATABASE_AreaRecord, "DATABASE_AreaRecord", "db_Area", 0, &dbRecord_New<db_Area>},
    {DATABASE_SubdividedAreaRecord, "DATABASE_SubdividedAreaRecord", "db_SubdividedArea", 0, &dbRecord_New<db_SubdividedArea>},
    {DATABASE_CoordSysControlRecord, "DATABASE_CoordSysControlRecord", "db_CoordSystemControl", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_CoordSystemControl>},
    {DATABASE_NewPtTimesRecord, "DATABASE_NewPtTimesRecord", "db_NewPtTimes", 0, &dbRecord_New<db_NewPtTimes>},
    {DATABASE_CoordSystemRecord, "DATABASE_CoordSystemRecord", "db_CoordSystem", DBTYPE_Persisted | DBTYPE_DefaultRequired | DBTYPE_InvalidatesPositions, &dbRecord_New<db_CoordSystem>},
    {DATABASE_SurveyStyleRecord, "DATABASE_SurveyStyleRecord", "db_SurveyStyle", 0, &dbRecord_New<db_SurveyStyle>},
    {DATABASE_IntegratedStyleRecord, "DATABASE_IntegratedStyleRecord", "db_IntegratedStyle", 0, &dbRecord_New<db_IntegratedStyle>},
    {DATABASE_IntegratedTargetRecord, "DATABASE_IntegratedTargetRecord", "db_IntegratedTarget", 0, &dbRecord_New<db_IntegratedTarget>},
    {DATABASE_PointKeyinRecord, "DATABASE_PointKeyinRecord", "db_PointKeyin", 0, &dbRecord_New<db_PointKeyin>},
    {DATABASE_PolarDeltasRecord, "DATABASE_PolarDeltasRecord", "db_PolarDeltas", 0, &dbRecord_New<db_PolarDeltas>},
    {DATABASE_StationingRecord, "DATABASE_StationingRecord", "db_Stationing", 0, &dbRecord_New<db_Stationing>},
    {DATABASE_GridDeltasRecord, "DATABASE_GridDeltasRecord", "db_GridDeltas", 0, &dbRecord_New<db_GridDeltas>},
    {DATABASE_LinearDeltasRecord, "DATABASE_LinearDeltasRecord", "db_LinearDeltas", 0, &dbRecord_New<db_LinearDeltas>},
    {DATABASE_PointDesignRecord, "DATABASE_PointDesignRecord", "db_PointDesign", 0, &dbRecord_New<db_PointDesign>},
    {DATABASE_ExtraPointDesignElevationsRecord, "DATABASE_ExtraPointDesignElevationsRecord", "db_ExtraPointDesignElevations", 0, &dbRecord_New<db_ExtraPointDesignElevations>},
    {DATABASE_LinearDesignRecord, "DATABASE_LinearDesignRecord", "db_LinearDesign", 0, &dbRecord_New<db_LinearDesign>},
    {DATABASE_DTMDesignRecord, "DATABASE_DTMDesignRecord", "db_DTMDesign", 0, &dbRecord_New<db_DTMDesign>},
    {DATABASE_DTMDeltasRecord, "DATABASE_DTMDeltasRecord", "db_DTMDeltas", 0, &dbRecord_New<db_DTMDeltas>},
    {DATABASE_RelativeDTMDeltasRecord, "DATABASE_RelativeDTMDeltasRecord", "db_RelativeDTMDeltas", 0, &dbRecord_New<db_RelativeDTMDeltas>},
    {DATABASE_SlopeDesignRecord, "DATABASE_SlopeDesignRecord", "db_SlopeDesign", 0, &dbRecord_New<db_SlopeDesign>},
    {DATABASE_RoadDesignRecord, "DATABASE_RoadDesignRecord", "db_RoadDesign", 0, &dbRecord_New<db_RoadDesign>},
    {DATABASE_RoadDeltasRecord, "DATABASE_RoadDeltasRecord", "db_RoadDeltas", 0, &dbRecord_New<db_RoadDeltas>},
    {DATABASE_SecondaryRoadDeltasRecord, "DATABASE_SecondaryRoadDeltasRecord", "db_SecondaryRoadDeltas", 0, &dbRecord_New<db_SecondaryRoadDeltas>},
    {DATABASE_RoadCatchDeltaRecord, "DATABASE_RoadCatchDeltaRecord", "db_RoadCatchDeltas", 0, &dbRecord_New<db_RoadCatchDeltas>},
    {DATABASE_CrossSectionNode, "", "db_CrossSectionNode", 0, &dbRecord_New<db_CrossSectionNode>},
    {DATABASE_CrossSectionBatter, "", "db_CrossSectionBatter", 0, &dbRecord_New<db_CrossSectionBatter>},
    {DATABASE_CrossSectionSide, "", "db_CrossSectionSide", 0, &dbRecord_New<db_CrossSectionSide>},
    {DATABASE_CrossSectionCenterNode, "", "db_CrossSectionCenterNode", 0, &dbRecord_New<db_CrossSectionCenterNode>},
    {DATABASE_CrossSectionReport, "DATABASE_CrossSectionReport", "db_CrossSectionReport", 0, &dbRecord_New<db_CrossSectionReport>},
    {DATABASE_LaserBasePointRecord, "DATABASE_LaserBasePointRecord", "db_LaserBasePoint", 0, &dbRecord_New<db_LaserBasePoint>},
    {DATABASE_LaserHeightRecord, "DATABASE_LaserHeightRecord", "db_LaserHeight", 0, &dbRecord_New<db_LaserHeight>},
    {DATABASE_LaserTargetHeightRecord, "DATABASE_LaserTargetHeightRecord", "db_LaserTargetHeight", DBTYPE_InvalidatesPositions, &dbRecord_New<db_LaserTargetHeight>},
    {DATABASE_LaserConfigRecord, "DATABASE_LaserConfigRecord", "db_LaserConfig", 0, &dbRecord_New<db_LaserConfig>},
    {DATABASE_StationSetupResidualsBeginRecord, "DATABASE_StationSetupResidualsBeginRecord", "db_StationSetupResidualsBegin", 0, &dbRecord_New<db_StationSetupResidualsBegin>},
    {DATABASE_StationSetupResidualRecord, "DATABASE_StationSetupResidualRecord", "db_StationSetupResiduals", 0, &dbRecord_New<db_StationSetupResiduals>},
    {DATABASE_ResectErrorsRecord, "DATABASE_ResectErrorsRecord", "db_ResectErrors", 0, &dbRecord_New<db_ResectErrors>},
    {DATABASE_TraverseHeaderRecord, "DATABASE_TraverseHeaderRecord", "db_Traverse", DBTYPE_HasDeletedFlag, &dbRecord_New<db_Traverse>},
    {DATABASE_TraverseClosureRecord, "DATABASE_TraverseClosureRecord", "db_TraverseClosure", 0, &dbRecord_New<db_TraverseClosure>},
    {DATABASE_TraverseAdjustmentRecord, "DATABASE_TraverseAdjustmentRecord", "db_TraverseAdjustment", DBTYPE_Persisted, &dbRecord_New<db_TraverseAdjustment>},
    {DATABASE_DistanceOffsetRecord, "DATABASE_DistanceOffsetRecord", "db_DistanceOffset", 0, &dbRecord_New<db_DistanceOffset>},
    {DATABASE_AttachedFilesRecord, "DATABASE_AttachedFilesRecord", "db_AttachedFilesList", DBTYPE_Persisted, &dbRecord_New<db_AttachedFilesList>},
    {DATABASE_StakeoutListRecord, "DATABASE_StakeoutListRecord", "db_StakeoutList", DBTYPE_Persisted, &dbRecord_New<db_StakeoutList>},
    {DATABASE_BackgroundFileListRecord, "DATABASE_BackgroundFileListRecord", "db_BackgroundFileList", DBTYPE_Persisted, &dbRecord_New<db_BackgroundFileList>},
    {DATABASE_JobPropertiesRecord, "DATABASE_JobPropertiesRecord", "db_JobProperties", DBTYPE_Persisted, &dbRecord_New<db_JobProperties>},
    {DATABASE_StationOffsetRecord, "DATABASE_StationOffsetRecord", "db_StationOffset", 0, &dbRecord_New<db_StationOffset>},
    {DATABASE_StartRoundsRecord, "DATABASE_StartRoundsRecord", "db_StartRounds", 0, &dbRecord_New<db_StartRounds>},
    {DATABASE_StartRoundRecord, "DATABASE_StartRoundRecord", "db_StartRound", 0, &dbRecord_New<db_StartRound>},
    {DATABASE_EndRoundRecord, "DATABASE_EndRoundRecord", "db_EndRound", 0, &dbRecord_New<db_EndRound>},
    {DATABASE_EndRoundsRecord, "DATABASE_EndRoundsRecord", "db_EndRounds", 0, &dbRecord_New<db_EndRounds>},
    {DATABASE_SurfaceScanRecord, "DATABASE_SurfaceScanRecord", "db_SurfaceScan", 0, &dbRecord_New<db_SurfaceScan>},
    {DATABASE_TargetRecord, "DATABASE_TargetRecord", "db_Target", DBTYPE_InvalidatesPositions, &dbRecord_New<db_Target>},
    {DATABASE_CircularObjectRecord, "DATABASE_CircularObjectRecord", "db_CircularObject", 0, &dbRecord_New<db_CircularObject>},
    {DATABASE_RemoteObjectRecord, "DATABASE_RemoteObjectRecord", "db_RemoteObject", 0, &dbRecord_New<db_RemoteObject>},
    {DATABASE_CogoTransformationRecord, "DATABASE_CogoTransformationRecord", "db_CogoTransformation", 0, &dbRecord_New<db_CogoTransformation>},
    {DATABASE_ScanningRecord, "DATABASE_ScanningRecord", "db_Scanning", 0, &dbRecord_New<db_Scanning>},
    {DATABASE_ImageRecord, "DATABASE_ImageRecord", "db_Image", 0, &dbRecord_New<db_Image>},
    {DATABASE_CameraRecord, "DATABASE_CameraRecord", "db_Camera", 0, &dbRecord_New<db_Camera>},
    {DATABASE_PanoramaRecord, "DATABASE_PanoramaRecord", "db_Panorama", 0, &dbRecord_New<db_Panorama>},
    {DATABASE_AngleOffsetRecord, "DATABASE_AngleOffsetRecord", "db_AngleOffset", 0, &dbRecord_New<db_AngleOffset>},
    {DATABASE_GridStdDeviationsRecord, "DATABASE_GridStdDeviationsRecord", "db_GridStdDeviations", 0, &dbRecord_New<db_GridStdDeviations>},
    {DATABASE_ForeignRecord, "", "db_Foreign", 0, &dbRecord_New<db_Foreign>},
    {DATABASE_TimeZoneRecord, "DATABASE_TimeZoneRecord", "db_TimeZone", 0, &dbRecord_New<db_TimeZone>},
    {DATABASE_TunnelXSPointsRecord, "DATABASE_TunnelXSPointsRecord", "db_TunnelXSPoints", 0, &dbRecord_New<db_TunnelXSPoints>},
    {DATABASE_TunnelXSSetoutPointsRecord, "DATABASE_TunnelXSSetoutPointsRecord", "db_TunnelXSSetoutPoints", 0, &dbRecord_New<db_TunnelXSSetoutPoints>},
    {DATABASE_TunnelPointDeltaRecord, "DATABASE_TunnelPointDeltaRecord", "db_TunnelPointDelta", 0, &dbRecord_New<db_TunnelPointDelta>},
    {DATABASE_TunnelSettingsRecord, "DATABASE_TunnelSettingsRecord", "db_TunnelSettings", 0, &dbRecord_New<db_TunnelSettings>},
    {DATABASE_NTRIPDataSourceRecord, "DATABASE_NTRIPDataSourceRecord", "db_NTRIPDataSource", DBTYPE_InvalidatesPositions, &dbRecord_New<db_NTRIPDataSource>},
    {DATABASE_ImportDataBeginRecord, "DATABASE_ImportDataBeginRecord", "db_ImportDataBegin", 0, &dbRecord_New<db_ImportDataBegin>},
    {DATABASE_ImportDataEndRecord, "DATABASE_ImportDataEndRecord", "db_ImportDataEnd", 0, &dbRecord_New<db_ImportDataEnd>},
    {DATABASE_AverageResidualRecord, "", "db_AverageResidual", 0, &dbRecord_New<db_AverageResidual>},
    {DATABASE_AverageResidualsRecord, "DATABASE_AverageResidualsRecord", "db_AverageResiduals", 0, &dbRecord_New<db_AverageResiduals>},
    {DATABASE_AutoEntityNamesRecord, "DATABASE_AutoEntityNamesRecord", "db_AutoEntityNames", DBTYPE_Persisted, &dbRecord_New<db_AutoEntityNames>},
    {DATABASE_LocalTransformationRecord, "DATABASE_LocalTransformationRecord", "db_LocalTransformation", DBTYPE_InvalidatesPositions, &dbRecord_New<db_LocalTransformation>},
    {DATABASE_LineTransformationDefinitionRecord, "DATABASE_LineTransformationDefinitionRecord", "db_LineTransformationDefinition", 0, &dbRecord_New<db_LineTransformationDefinition>},
    {DATABASE_LocalTransformationPointPairRecord, "DATABASE_LocalTransformationPointPairRecord", "db_LocalTransformationPointPair", 0, &dbRecord_New<db_LocalTransformationPointPair>},
    {DATABASE_LocalTransformationHelmertParametersRecord, "DATABASE_LocalTransformationHelmertParametersRecord", "db_LocalTransformationHelmertParameters", DBTYPE_InvalidatesPositions, &dbRecord_New<db_LocalTransformationHelmertParameters>},
    {DATABASE_TunnelSetoutPointRecord, "DATABASE_TunnelSetoutPointRecord", "db_TunnelSetoutPoint", 0, &dbRecord_New<db_TunnelSetoutPoint>},
    {DATABASE_EchoSoundingRecord, "DATABASE_EchoSoundingRecord", "db_EchoSounding", 0, &dbRecord_New<db_EchoSounding>},
    {DATABASE_EchoSounderConfigRecord, "DATABASE_EchoSounderConfigRecord", "db_EchoSounderConfig", 0, &dbRecord_New<db_EchoSounderConfig>},
    {DATABASE_3DAxesRecord, "DATABASE_3DAxesRecord", "db_3DAxes", 0, &dbRecord_New<db_3DAxes>},
    {DATABASE_BoolActionRecord, "", "db_BoolAction", DBTYPE_InvalidatesPositions, &dbRecord_New<db_BoolAction>},
    {DATABASE_DBIDActionRecord, "", "db_DBID", 0, &dbRecord_New<db_DBID>},
    {DATABASE_StrActionRecord, "", "db_Str", 0, &dbRecord_New<db_Str>},
    {DATABASE_FeaturesActionRecord, "", "db_Features", 0, &dbRecord_New<db_Features>},
    {DATABASE_DescriptionsActionRecord, "", "db_Descriptions", 0, &dbRecord_New<db_Descriptions>},
    {DATABASE_AllRecords, "", "", 0, nullptr},
};
// clang-format on

constexpr bool RowsInCodeOrder() {
    for (int i = 0; i < static_cast<int>(sizeof kTypes / sizeof kTypes[0]); ++i) {
        if (kTypes[i].type != i) return false;
    }
    return true;
}
static_assert(sizeof kTypes / sizeof kTypes[0] == DATABASE_AllRecords + 1);
static_assert(RowsInCodeOrder());

constexpr dbRecordTypeInfo kNoType = {DATABASE_NoRecordType, "", "", 0, nullptr};
}  // namespace

const dbRecordTypeInfo& dbRecord_GetTypeInfo(int type) {
    if (type < 0 || type > DATABASE_AllRecords) return kNoType;
    return kTypes[type];
}
