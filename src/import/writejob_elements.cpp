// The dispatcher's table: every record element name an export can hold, the "rec"
// value its handler expects, and the handler.
#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "import/writejob.h"

namespace {

template <void (JobWriter::*Handler)(const xml_Element*)>
void Call(JobWriter& control, const xml_Element* element) {
    (control.*Handler)(element);
}

// The road definition elements check no "rec"; the feature element's depends on the
// export's version.
constexpr writejob_ElementHandler kElements[] = {
    // notes
    {"DATABASE_NoteRecord", "db_Note", Call<&JobWriter::WriteNote>},
    // features
    {"DATABASE_FeatureAttribDataRecord", nullptr, Call<&JobWriter::WriteFeatureAttribData>},
    // road definitions
    {"DATABASE_RoadHeaderRecord", nullptr, Call<&JobWriter::WriteRoadHeader>},
    {"DATABASE_HorzHeaderRecord", nullptr, Call<&JobWriter::WriteHorzHeader>},
    {"DATABASE_HorzStraightRecord", nullptr, Call<&JobWriter::WriteHorzStraight>},
    {"DATABASE_HorzArcAngLenRecord", nullptr, Call<&JobWriter::WriteHorzArcAngLen>},
    {"DATABASE_HorzArcRadLenRecord", nullptr, Call<&JobWriter::WriteHorzArcRadLen>},
    {"DATABASE_HorzArcRadAngRecord", nullptr, Call<&JobWriter::WriteHorzArcRadAng>},
    {"DATABASE_HorzSpiralRecord", nullptr, Call<&JobWriter::WriteHorzSpiral>},
    {"DATABASE_VertHeaderRecord", nullptr, Call<&JobWriter::WriteVertHeader>},
    {"DATABASE_VertArcRecord", nullptr, Call<&JobWriter::WriteVertArc>},
    {"DATABASE_VertParabolaRecord", nullptr, Call<&JobWriter::WriteVertParabola>},
    {"DATABASE_VertAsymParabolaRecord", nullptr, Call<&JobWriter::WriteVertAsymParabola>},
    {"DATABASE_VertPointRecord", nullptr, Call<&JobWriter::WriteVertPoint>},
    {"DATABASE_ApplyTmpltsRecord", nullptr, Call<&JobWriter::WriteApplyTmplts>},
    {"DATABASE_ApplySuperRecord", nullptr, Call<&JobWriter::WriteApplySuper>},
    {"DATABASE_TmpltHeaderRecord", nullptr, Call<&JobWriter::WriteTmpltHeader>},
    {"DATABASE_TmpltDistGradeRecord", nullptr, Call<&JobWriter::WriteTmpltDistGrade>},
    {"DATABASE_TmpltDistDeltaRecord", nullptr, Call<&JobWriter::WriteTmpltDistDelta>},
    {"DATABASE_TmpltBatterRecord", nullptr, Call<&JobWriter::WriteTmpltBatter>},
    // coordinate geometry
    {"DATABASE_LineRecord", "db_Line", Call<&JobWriter::WriteLine>},
    {"DATABASE_ArcRecord", "db_Arc", Call<&JobWriter::WriteArc>},
    {"DATABASE_InverseRecord", "db_Inverse", Call<&JobWriter::WriteInverse>},
    {"DATABASE_ComputeAzimuthRecord", "db_ComputeAzimuth", Call<&JobWriter::WriteComputeAzimuth>},
    {"DATABASE_ComputeDistanceRecord", "db_ComputeDistance", Call<&JobWriter::WriteComputeDistance>},
    {"DATABASE_ECEFDeltasRecord", "db_ECEFDeltas", Call<&JobWriter::WriteECEFDeltas>},
    {"DATABASE_EllipsoidRecord", "db_Ellipsoid", Call<&JobWriter::WriteEllipsoid>},
    {"DATABASE_PointKeyinRecord", "db_PointKeyin", Call<&JobWriter::WritePointKeyin>},
    // coordinate-system definitions
    {"DATABASE_DatumRecord", "db_Datum", Call<&JobWriter::WriteDatum>},
    {"DATABASE_ProjectionRecord", "db_Projection", Call<&JobWriter::WriteProjection>},
    {"DATABASE_PlaneRecord", "db_Plane", Call<&JobWriter::WritePlane>},
    {"DATABASE_HeightRecord", "db_Height", Call<&JobWriter::WriteHeight>},
    {"DATABASE_CorrectionsRecord", "db_Corrections", Call<&JobWriter::WriteCorrections>},
    // road stake-out settings and radios
    {"DATABASE_RoadAvailableStations", "db_RoadAvailableStations", Call<&JobWriter::WriteRoadAvailableStations>},
    {"DATABASE_RoadConstructionOffsets", "db_RoadConstructionOffsets", Call<&JobWriter::WriteRoadConstructionOffsets>},
    {"DATABASE_RoverRadioRecord", "db_RoverRadio", Call<&JobWriter::WriteRoverRadio>},
    {"DATABASE_BaseRadioRecord", "db_BaseRadio", Call<&JobWriter::WriteBaseRadio>},
    // coordinate measurements
    {"DATABASE_ECEFRecord", "db_ECEF", Call<&JobWriter::WriteECEF>},
    {"DATABASE_ECEFGroundRecord", "db_ECEFGround", Call<&JobWriter::WriteECEFGround>},
    {"DATABASE_WGS84Record", "db_WGS84", Call<&JobWriter::WriteWGS84>},
    {"DATABASE_LocalRecord", "db_Local", Call<&JobWriter::WriteLocal>},
    {"DATABASE_GridRecord", "db_Grid", Call<&JobWriter::WriteGrid>},
    {"DATABASE_LocalTransformedGridRecord", "db_LocalTransformedGrid", Call<&JobWriter::WriteLocalTransformedGrid>},
    // point observations and measurements
    {"DATABASE_ObservationRecord", "db_Observation", Call<&JobWriter::WriteObservation>},
    {"DATABASE_PointRecord", "db_Point", Call<&JobWriter::WritePoint>},
    {"DATABASE_PolarRecord", "db_Polar", Call<&JobWriter::WritePolar>},
    {"DATABASE_LaserOffsetRecord", "db_LaserOffset", Call<&JobWriter::WriteLaserOffset>},
    {"DATABASE_CircleRecord", "db_Circle", Call<&JobWriter::WriteCircle>},
    {"DATABASE_AzimuthRecord", "db_Azimuth", Call<&JobWriter::WriteAzimuth>},
    {"DATABASE_MeanTurnedAngleRecord", "db_MeanTurnedAngle", Call<&JobWriter::WriteMeanTurnedAngle>},
    {"DATABASE_MeanTurnedAngleResidualsRecord", "db_MeanTurnedAngleResiduals", Call<&JobWriter::WriteMeanTurnedAngleResiduals>},
    {"DATABASE_DistanceOffsetRecord", "db_DistanceOffset", Call<&JobWriter::WriteDistanceOffset>},
    // station setups and traverses
    {"DATABASE_StationingRecord", "db_Stationing", Call<&JobWriter::WriteStationing>},
    {"DATABASE_ResectResidualRecord", "db_ResectResiduals", Call<&JobWriter::WriteResectResidual>},
    {"DATABASE_StationSetupResidualRecord", "db_StationSetupResiduals", Call<&JobWriter::WriteStationSetupResidual>},
    {"DATABASE_ResectErrorsRecord", "db_ResectErrors", Call<&JobWriter::WriteResectErrors>},
    {"DATABASE_TraverseHeaderRecord", "db_Traverse", Call<&JobWriter::WriteTraverseHeader>},
    {"DATABASE_TraverseClosureRecord", "db_TraverseClosure", Call<&JobWriter::WriteTraverseClosure>},
    {"DATABASE_TraverseAdjustmentRecord", "db_TraverseAdjustment", Call<&JobWriter::WriteTraverseAdjustment>},
    // stakeout results
    {"DATABASE_GridDeltasRecord", "db_GridDeltas", Call<&JobWriter::WriteGridDeltas>},
    {"DATABASE_LinearDeltasRecord", "db_LinearDeltas", Call<&JobWriter::WriteLinearDeltas>},
    {"DATABASE_PointDesignRecord", "db_PointDesign", Call<&JobWriter::WritePointDesign>},
    {"DATABASE_ExtraPointDesignElevationsRecord", "db_ExtraPointDesignElevations", Call<&JobWriter::WriteExtraPointDesignElevations>},
    {"DATABASE_LinearDesignRecord", "db_LinearDesign", Call<&JobWriter::WriteLinearDesign>},
    {"DATABASE_DTMDesignRecord", "db_DTMDesign", Call<&JobWriter::WriteDTMDesign>},
    {"DATABASE_DTMDeltasRecord", "db_DTMDeltas", Call<&JobWriter::WriteDTMDeltas>},
    {"DATABASE_RelativeDTMDeltasRecord", "db_RelativeDTMDeltas", Call<&JobWriter::WriteRelativeDTMDeltas>},
    {"DATABASE_SlopeDesignRecord", "db_SlopeDesign", Call<&JobWriter::WriteSlopeDesign>},
    {"DATABASE_RoadDesignRecord", "db_RoadDesign", Call<&JobWriter::WriteRoadDesign>},
    {"DATABASE_RoadDeltasRecord", "db_RoadDeltas", Call<&JobWriter::WriteRoadDeltas>},
    {"DATABASE_SecondaryRoadDeltasRecord", "db_SecondaryRoadDeltas", Call<&JobWriter::WriteSecondaryRoadDeltas>},
    {"DATABASE_RoadCatchDeltaRecord", "db_RoadCatchDeltas", Call<&JobWriter::WriteRoadCatchDelta>},
    {"DATABASE_CrossSectionReport", "db_CrossSectionReport", Call<&JobWriter::WriteCrossSectionReport>},
    // job settings
    {"DATABASE_PrecisionRecord", "db_Precision", Call<&JobWriter::WritePrecision>},
    {"DATABASE_CalibPointRecord", "db_CalibPoint", Call<&JobWriter::WriteCalibPoint>},
    {"DATABASE_CodingRecord", "db_Coding", Call<&JobWriter::WriteCoding>},
    {"DATABASE_DescriptionsDefinitionRecord", "db_DescriptionsDefinition", Call<&JobWriter::WriteDescriptionsDefinition>},
    {"DATABASE_MeterologicalRecord", "db_Meterological", Call<&JobWriter::WriteMeterological>},
    {"DATABASE_ConfigCalibRecord", "db_ConfigCalib", Call<&JobWriter::WriteConfigCalib>},
    {"DATABASE_AreaRecord", "db_Area", Call<&JobWriter::WriteArea>},
    {"DATABASE_SubdividedAreaRecord", "db_SubdividedArea", Call<&JobWriter::WriteSubdividedArea>},
    {"DATABASE_CoordSysControlRecord", "db_CoordSystemControl", Call<&JobWriter::WriteCoordSysControl>},
    {"DATABASE_CoordSystemRecord", "db_CoordSystem", Call<&JobWriter::WriteCoordSystem>},
    {"DATABASE_TimeStampRecord", "db_TimeStamp", Call<&JobWriter::WriteTimeStamp>},
    // conventional instruments
    {"DATABASE_AtmosphereRecord", "db_TotalAtmosphere", Call<&JobWriter::WriteAtmosphere>},
    {"DATABASE_BackBearingRecord", "db_TotalBackBearing", Call<&JobWriter::WriteBackBearing>},
    {"DATABASE_InstrumentRecord", "db_TotalInstrument", Call<&JobWriter::WriteInstrument>},
    {"DATABASE_StationRecord", "db_TotalStation", Call<&JobWriter::WriteStation>},
    {"DATABASE_TargetRecord", "db_Target", Call<&JobWriter::WriteTarget>},
    {"DATABASE_Target1Record", "db_TotalTarget1", Call<&JobWriter::WriteTarget1>},
    {"DATABASE_Target2Record", "db_TotalTarget2", Call<&JobWriter::WriteTarget2>},
    {"DATABASE_TargetSystemRecord", "db_TotalTargetSystem", Call<&JobWriter::WriteTargetSystem>},
    {"DATABASE_DualPrismOffsetRecord", "db_DualPrismOffset", Call<&JobWriter::WriteDualPrismOffset>},
    {"DATABASE_SurveyStyleRecord", "db_SurveyStyle", Call<&JobWriter::WriteSurveyStyle>},
    {"DATABASE_IntegratedStyleRecord", "db_IntegratedStyle", Call<&JobWriter::WriteIntegratedStyle>},
    {"DATABASE_IntegratedTargetRecord", "db_IntegratedTarget", Call<&JobWriter::WriteIntegratedTarget>},
    {"DATABASE_LaserBasePointRecord", "db_LaserBasePoint", Call<&JobWriter::WriteLaserBasePoint>},
    {"DATABASE_LaserHeightRecord", "db_LaserHeight", Call<&JobWriter::WriteLaserHeight>},
    {"DATABASE_LaserTargetHeightRecord", "db_LaserTargetHeight", Call<&JobWriter::WriteLaserTargetHeight>},
    {"DATABASE_LaserConfigRecord", "db_LaserConfig", Call<&JobWriter::WriteLaserConfig>},
    {"DATABASE_CircularObjectRecord", "db_CircularObject", Call<&JobWriter::WriteCircularObject>},
    {"DATABASE_RemoteObjectRecord", "db_RemoteObject", Call<&JobWriter::WriteRemoteObject>},
    {"DATABASE_AngleOffsetRecord", "db_AngleOffset", Call<&JobWriter::WriteAngleOffset>},
    // markers, job properties, file lists and images
    {"DATABASE_MeanTurnedAngleResidualsBeginRecord", "db_MeanTurnedAngleResidualsBegin", Call<&JobWriter::WriteMeanTurnedAngleResidualsBegin>},
    {"DATABASE_JobPropertiesRecord", "db_JobProperties", Call<&JobWriter::WriteJobProperties>},
    {"DATABASE_EndEntityRecord", "db_EndEntity", Call<&JobWriter::WriteEndEntity>},
    {"DATABASE_ResectBeginRecord", "db_ResectBegin", Call<&JobWriter::WriteResectBegin>},
    {"DATABASE_StationSetupResidualsBeginRecord", "db_StationSetupResidualsBegin", Call<&JobWriter::WriteStationSetupResidualsBegin>},
    {"DATABASE_EndContinuousRecord", "db_EndContinuous", Call<&JobWriter::WriteEndContinuous>},
    {"DATABASE_EndStyleRecord", "db_EndSurveyStyle", Call<&JobWriter::WriteEndStyle>},
    {"DATABASE_CalibBeginRecord", "db_CalibBegin", Call<&JobWriter::WriteCalibBegin>},
    {"DATABASE_ContinuousRecord", "db_Continuous", Call<&JobWriter::WriteContinuous>},
    {"DATABASE_StationOffsetRecord", "db_StationOffset", Call<&JobWriter::WriteStationOffset>},
    {"DATABASE_StartRoundsRecord", "db_StartRounds", Call<&JobWriter::WriteStartRounds>},
    {"DATABASE_StartRoundRecord", "db_StartRound", Call<&JobWriter::WriteStartRound>},
    {"DATABASE_EndRoundRecord", "db_EndRound", Call<&JobWriter::WriteEndRound>},
    {"DATABASE_EndRoundsRecord", "db_EndRounds", Call<&JobWriter::WriteEndRounds>},
    {"DATABASE_SurfaceScanRecord", "db_SurfaceScan", Call<&JobWriter::WriteSurfaceScan>},
    {"DATABASE_CogoTransformationRecord", "db_CogoTransformation", Call<&JobWriter::WriteCogoTransformation>},
    {"DATABASE_StakeoutListRecord", "db_StakeoutList", Call<&JobWriter::WriteStakeoutList>},
    {"DATABASE_AttachedFilesRecord", "db_AttachedFilesList", Call<&JobWriter::WriteAttachedFiles>},
    {"DATABASE_BackgroundFileListRecord", "db_BackgroundFileList", Call<&JobWriter::WriteBackgroundFileList>},
    {"DATABASE_ImageRecord", "db_Image", Call<&JobWriter::WriteImage>},
    {"DATABASE_CameraRecord", "db_Camera", Call<&JobWriter::WriteCamera>},
    // GNSS and survey styles
    {"DATABASE_QC1Record", "db_QC1", Call<&JobWriter::WriteQC1>},
    {"DATABASE_QC2Record", "db_QC2", Call<&JobWriter::WriteQC2>},
    {"DATABASE_QC3Record", "db_QC3", Call<&JobWriter::WriteQC3>},
    {"DATABASE_EquipmentRecord", "db_Equipment", Call<&JobWriter::WriteEquipment>},
    {"DATABASE_AntennaRecord", "db_Antenna", Call<&JobWriter::WriteAntenna>},
    {"DATABASE_RoverSurveyRecord", "db_RoverSurvey", Call<&JobWriter::WriteRoverSurvey>},
    {"DATABASE_BaseSurveyRecord", "db_BaseSurvey", Call<&JobWriter::WriteBaseSurvey>},
    {"DATABASE_SurveyEventRecord", "db_SurveyEvent", Call<&JobWriter::WriteSurveyEvent>},
    {"DATABASE_ContParametersRecord", "db_ContParameters", Call<&JobWriter::WriteContParameters>},
    {"DATABASE_UnitsRecord", "db_Units", Call<&JobWriter::WriteUnits>},
    {"DATABASE_CoordViewTypeRecord", "db_CoordViewType", Call<&JobWriter::WriteCoordViewType>},
    {"DATABASE_TrackingRecord", "db_Tracking", Call<&JobWriter::WriteTracking>},
    {"DATABASE_GPSReadingRecord", "db_GPSReading", Call<&JobWriter::WriteGPSReading>},
    {"DATABASE_TSReadingRecord", "db_TSReading", Call<&JobWriter::WriteTSReading>},
    {"DATABASE_L2OTFTimesRecord", "db_L2OTFTimes", Call<&JobWriter::WriteL2OTFTimes>},
    {"DATABASE_L1StaticTimesRecord", "db_L1StaticTimes", Call<&JobWriter::WriteL1StaticTimes>},
    {"DATABASE_FSL1TimesRecord", "db_FSL1Times", Call<&JobWriter::WriteFSL1Times>},
    {"DATABASE_FSL2TimesRecord", "db_FSL2Times", Call<&JobWriter::WriteFSL2Times>},
    {"DATABASE_ControlTimesRecord", "db_ControlTimes", Call<&JobWriter::WriteControlTimes>},
    {"DATABASE_NewPtTimesRecord", "db_NewPtTimes", Call<&JobWriter::WriteNewPtTimes>},
    {"DATABASE_ToleranceRecord", "db_Tolerance", Call<&JobWriter::WriteTolerance>},
    {"DATABASE_InitialisationRecord", "db_Initialisation", Call<&JobWriter::WriteInitialisation>},
    {"DATABASE_ReferenceRecord", "db_Reference", Call<&JobWriter::WriteReference>},
    {"DATABASE_PostProcessRecord", "db_PostProcess", Call<&JobWriter::WritePostProcess>},
    {"DATABASE_ContPointsRecord", "db_ContinuousPoints", Call<&JobWriter::WriteContPoints>},
    {"DATABASE_FastStaticRecord", "db_FastStatic", Call<&JobWriter::WriteFastStatic>},
    {"DATABASE_ConfigStakeOutRecord", "db_StakeOut", Call<&JobWriter::WriteConfigStakeOut>},
    {"DATABASE_CheckShotRecord", "db_CheckShot", Call<&JobWriter::WriteCheckShot>},
    {"DATABASE_QuickMarkRecord", "db_QuickMark", Call<&JobWriter::WriteQuickMark>},
    {"DATABASE_RTKContRecord", "db_RTKControl", Call<&JobWriter::WriteRTKCont>},
    {"DATABASE_PolarDeltasRecord", "db_PolarDeltas", Call<&JobWriter::WritePolarDeltas>},
    // scanning, tunnels and local transformations
    {"DATABASE_ScanningRecord", "db_Scanning", Call<&JobWriter::WriteScanning>},
    {"DATABASE_PanoramaRecord", "db_Panorama", Call<&JobWriter::WritePanorama>},
    {"DATABASE_GridStdDeviationsRecord", "db_GridStdDeviations", Call<&JobWriter::WriteGridStdDeviations>},
    {"DATABASE_TimeZoneRecord", "db_TimeZone", Call<&JobWriter::WriteTimeZone>},
    {"DATABASE_TunnelXSPointsRecord", "db_TunnelXSPoints", Call<&JobWriter::WriteTunnelXSPoints>},
    {"DATABASE_TunnelCrossSectionRecord", "db_TunnelCrossSection", Call<&JobWriter::WriteTunnelCrossSection>},
    {"DATABASE_TunnelXSSetoutPointsRecord", "db_TunnelXSSetoutPoints", Call<&JobWriter::WriteTunnelXSSetoutPoints>},
    {"DATABASE_TunnelSettingsRecord", "db_TunnelSettings", Call<&JobWriter::WriteTunnelSettings>},
    {"DATABASE_NTRIPDataSourceRecord", "db_NTRIPDataSource", Call<&JobWriter::WriteNTRIPDataSource>},
    {"DATABASE_ImportDataBeginRecord", "db_ImportDataBegin", Call<&JobWriter::WriteImportDataBegin>},
    {"DATABASE_ImportDataEndRecord", "db_ImportDataEnd", Call<&JobWriter::WriteImportDataEnd>},
    {"DATABASE_AverageResidualsRecord", "db_AverageResiduals", Call<&JobWriter::WriteAverageResiduals>},
    {"DATABASE_AutoEntityNamesRecord", "db_AutoEntityNames", Call<&JobWriter::WriteAutoEntityNames>},
    {"DATABASE_LocalTransformationRecord", "db_LocalTransformation", Call<&JobWriter::WriteLocalTransformation>},
    {"DATABASE_LineTransformationDefinitionRecord", "db_LineTransformationDefinition", Call<&JobWriter::WriteLineTransformationDefinition>},
    {"DATABASE_LocalTransformationHelmertParametersRecord", "db_LocalTransformationHelmertParameters", Call<&JobWriter::WriteLocalTransformationHelmertParameters>},
    {"DATABASE_LocalTransformationPointPairRecord", "db_LocalTransformationPointPair", Call<&JobWriter::WriteLocalTransformationPointPair>},
    {"DATABASE_EchoSoundingRecord", "db_EchoSounding", Call<&JobWriter::WriteEchoSounding>},
    {"DATABASE_EchoSounderConfigRecord", "db_EchoSounderConfig", Call<&JobWriter::WriteEchoSounderConfig>},
    {"DATABASE_3DAxesRecord", "db_3DAxes", Call<&JobWriter::Write3DAxes>},
    {"DATABASE_TunnelPointDeltaRecord", "db_TunnelPointDelta", Call<&JobWriter::WriteTunnelPointDelta>},
    {"DATABASE_TunnelSetoutPointRecord", "db_TunnelSetoutPoint", Call<&JobWriter::WriteTunnelSetoutPoint>},
};

static_assert(std::size(kElements) == 177);

// The table's indexes sorted by name, so a lookup is a binary search; the names are
// measured once.
struct SortedNames {
    std::array<int, std::size(kElements)> order;
    std::array<std::string_view, std::size(kElements)> names;
    SortedNames() {
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
        std::sort(order.begin(), order.end(), [](int a, int b) {
            return std::strcmp(kElements[a].name, kElements[b].name) < 0;
        });
        for (size_t i = 0; i < order.size(); ++i) names[i] = kElements[order[i]].name;
    }
};

}  // namespace

std::span<const writejob_ElementHandler> writejob_ElementTable() { return kElements; }

const writejob_ElementHandler* writejob_FindElement(const Str& name,
                                                    std::span<const writejob_ElementHandler> table) {
    const std::string_view key(name.Data(), static_cast<size_t>(name.Length()));
    if (table.data() == kElements && table.size() == std::size(kElements)) {
        static const SortedNames sorted;
        const auto it = std::lower_bound(sorted.names.begin(), sorted.names.end(), key);
        if (it != sorted.names.end() && *it == key) return &kElements[sorted.order[it - sorted.names.begin()]];
        return nullptr;
    }
    for (const writejob_ElementHandler& entry : table)
        if (std::string_view(entry.name) == key) return &entry;
    return nullptr;
}
