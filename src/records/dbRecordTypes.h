// The record type catalogue: every record type code 0..161, the one table that says
// how each type answers the engine's questions, and the factory entry of each class.
//
// The code is the only type information a serialised record carries (the u16 that
// opens its header). DATABASE_AllRecords (162) is the number of types and no record's
// code; 163 (DATABASE_NoRecordType) stands for "no type" wherever one is needed.
//
// Families fill in their rows as they are built: the factory column stays null for a
// type whose class does not exist yet. Nothing else restates these answers: the
// record base class reads its queries from this table.
#pragma once

#include <cstdint>

class dbRecord_Class;

enum database_RecordType : int32_t {
    DATABASE_JobHeaderRecord = 0,
    DATABASE_NoteRecord = 1,
    DATABASE_ObservationRecord = 2,
    DATABASE_LineRecord = 3,
    DATABASE_ArcRecord = 4,
    DATABASE_InverseRecord = 5,
    DATABASE_ComputeAzimuthRecord = 6,
    DATABASE_ComputeDistanceRecord = 7,
    DATABASE_ECEFDeltasRecord = 8,
    DATABASE_ECEFRecord = 9,
    DATABASE_ECEFGroundRecord = 10,
    DATABASE_WGS84Record = 11,
    DATABASE_LocalRecord = 12,
    DATABASE_GridRecord = 13,
    DATABASE_LocalTransformedGridRecord = 14,
    DATABASE_PolarRecord = 15,
    DATABASE_LaserOffsetRecord = 16,
    DATABASE_CircleRecord = 17,
    DATABASE_AzimuthRecord = 18,
    DATABASE_MeanTurnedAngleRecord = 19,
    DATABASE_MeanTurnedAngleResidualsRecord = 20,
    DATABASE_MeanTurnedAngleResidualsBeginRecord = 21,
    DATABASE_AtmosphereRecord = 22,
    DATABASE_BackBearingRecord = 23,
    DATABASE_InstrumentRecord = 24,
    DATABASE_StationRecord = 25,
    DATABASE_DualPrismOffsetRecord = 26,
    DATABASE_EndEntityRecord = 27,
    DATABASE_QC1Record = 28,
    DATABASE_QC2Record = 29,
    DATABASE_QC3Record = 30,
    DATABASE_PrecisionRecord = 31,
    DATABASE_EllipsoidRecord = 32,
    DATABASE_DatumRecord = 33,
    DATABASE_ProjectionRecord = 34,
    DATABASE_PlaneRecord = 35,
    DATABASE_HeightRecord = 36,
    DATABASE_CorrectionsRecord = 37,
    DATABASE_RoadAvailableStations = 38,
    DATABASE_RoadConstructionOffsets = 39,
    DATABASE_CalibPointRecord = 40,
    DATABASE_EquipmentRecord = 41,
    DATABASE_AntennaRecord = 42,
    DATABASE_RoverSurveyRecord = 43,
    DATABASE_BaseSurveyRecord = 44,
    DATABASE_SurveyEventRecord = 45,
    DATABASE_ContParametersRecord = 46,
    DATABASE_UnitsRecord = 47,
    DATABASE_CoordViewTypeRecord = 48,
    DATABASE_TrackingRecord = 49,
    DATABASE_CodingRecord = 50,
    DATABASE_DescriptionsDefinitionRecord = 51,
    DATABASE_GPSReadingRecord = 52,
    DATABASE_TSReadingRecord = 53,
    DATABASE_RoverRadioRecord = 54,
    DATABASE_BaseRadioRecord = 55,
    DATABASE_L2OTFTimesRecord = 56,
    DATABASE_L1StaticTimesRecord = 57,
    DATABASE_ControlTimesRecord = 58,
    DATABASE_FSL1TimesRecord = 59,
    DATABASE_FSL2TimesRecord = 60,
    DATABASE_ToleranceRecord = 61,
    DATABASE_MeterologicalRecord = 62,
    DATABASE_InitialisationRecord = 63,
    DATABASE_ReferenceRecord = 64,
    DATABASE_PostProcessRecord = 65,
    DATABASE_ContinuousRecord = 66,
    DATABASE_ContPointsRecord = 67,
    DATABASE_FastStaticRecord = 68,
    DATABASE_ConfigStakeOutRecord = 69,
    DATABASE_CheckShotRecord = 70,
    DATABASE_QuickMarkRecord = 71,
    DATABASE_RTKContRecord = 72,
    DATABASE_EndContinuousRecord = 73,
    DATABASE_EndStyleRecord = 74,
    DATABASE_CalibBeginRecord = 75,
    DATABASE_ConfigCalibRecord = 76,
    DATABASE_AreaRecord = 77,
    DATABASE_SubdividedAreaRecord = 78,
    DATABASE_CoordSysControlRecord = 79,
    DATABASE_NewPtTimesRecord = 80,
    DATABASE_CoordSystemRecord = 81,
    DATABASE_SurveyStyleRecord = 82,
    DATABASE_IntegratedStyleRecord = 83,
    DATABASE_IntegratedTargetRecord = 84,
    DATABASE_PointKeyinRecord = 85,
    DATABASE_PolarDeltasRecord = 86,
    DATABASE_StationingRecord = 87,
    DATABASE_GridDeltasRecord = 88,
    DATABASE_LinearDeltasRecord = 89,
    DATABASE_PointDesignRecord = 90,
    DATABASE_ExtraPointDesignElevationsRecord = 91,
    DATABASE_LinearDesignRecord = 92,
    DATABASE_DTMDesignRecord = 93,
    DATABASE_DTMDeltasRecord = 94,
    DATABASE_RelativeDTMDeltasRecord = 95,
    DATABASE_SlopeDesignRecord = 96,
    DATABASE_RoadDesignRecord = 97,
    DATABASE_RoadDeltasRecord = 98,
    DATABASE_SecondaryRoadDeltasRecord = 99,
    DATABASE_RoadCatchDeltaRecord = 100,
    DATABASE_CrossSectionNode = 101,
    DATABASE_CrossSectionBatter = 102,
    DATABASE_CrossSectionSide = 103,
    DATABASE_CrossSectionCenterNode = 104,
    DATABASE_CrossSectionReport = 105,
    DATABASE_LaserBasePointRecord = 106,
    DATABASE_LaserHeightRecord = 107,
    DATABASE_LaserTargetHeightRecord = 108,
    DATABASE_LaserConfigRecord = 109,
    DATABASE_StationSetupResidualsBeginRecord = 110,
    DATABASE_StationSetupResidualRecord = 111,
    DATABASE_ResectErrorsRecord = 112,
    DATABASE_TraverseHeaderRecord = 113,
    DATABASE_TraverseClosureRecord = 114,
    DATABASE_TraverseAdjustmentRecord = 115,
    DATABASE_DistanceOffsetRecord = 116,
    DATABASE_AttachedFilesRecord = 117,
    DATABASE_StakeoutListRecord = 118,
    DATABASE_BackgroundFileListRecord = 119,
    DATABASE_JobPropertiesRecord = 120,
    DATABASE_StationOffsetRecord = 121,
    DATABASE_StartRoundsRecord = 122,
    DATABASE_StartRoundRecord = 123,
    DATABASE_EndRoundRecord = 124,
    DATABASE_EndRoundsRecord = 125,
    DATABASE_SurfaceScanRecord = 126,
    DATABASE_TargetRecord = 127,
    DATABASE_CircularObjectRecord = 128,
    DATABASE_RemoteObjectRecord = 129,
    DATABASE_CogoTransformationRecord = 130,
    DATABASE_ScanningRecord = 131,
    DATABASE_ImageRecord = 132,
    DATABASE_CameraRecord = 133,
    DATABASE_PanoramaRecord = 134,
    DATABASE_AngleOffsetRecord = 135,
    DATABASE_GridStdDeviationsRecord = 136,
    DATABASE_ForeignRecord = 137,
    DATABASE_TimeZoneRecord = 138,
    DATABASE_TunnelXSPointsRecord = 139,
    DATABASE_TunnelXSSetoutPointsRecord = 140,
    DATABASE_TunnelPointDeltaRecord = 141,
    DATABASE_TunnelSettingsRecord = 142,
    DATABASE_NTRIPDataSourceRecord = 143,
    DATABASE_ImportDataBeginRecord = 144,
    DATABASE_ImportDataEndRecord = 145,
    DATABASE_AverageResidualRecord = 146,
    DATABASE_AverageResidualsRecord = 147,
    DATABASE_AutoEntityNamesRecord = 148,
    DATABASE_LocalTransformationRecord = 149,
    DATABASE_LineTransformationDefinitionRecord = 150,
    DATABASE_LocalTransformationPointPairRecord = 151,
    DATABASE_LocalTransformationHelmertParametersRecord = 152,
    DATABASE_TunnelSetoutPointRecord = 153,
    DATABASE_EchoSoundingRecord = 154,
    DATABASE_EchoSounderConfigRecord = 155,
    DATABASE_3DAxesRecord = 156,
    DATABASE_BoolActionRecord = 157,
    DATABASE_DBIDActionRecord = 158,
    DATABASE_StrActionRecord = 159,
    DATABASE_FeaturesActionRecord = 160,
    DATABASE_DescriptionsActionRecord = 161,
    DATABASE_AllRecords = 162,
    DATABASE_NoRecordType = 163,
};

// The queries of dbRecord_Class that answer true for a type.
enum : uint8_t {
    DBTYPE_Measurement = 0x01,           // IsMeasurement: attaches to a point observation
    DBTYPE_HasDeletedFlag = 0x02,        // IsDeleted gives the record's own deleted flag
    DBTYPE_Persisted = 0x04,             // IsPersisted: the job keeps the newest one current
    DBTYPE_DefaultRequired = 0x08,       // IsDefaultRequired: a job must hold one
    DBTYPE_InvalidatesPositions = 0x10,  // InvalidatesPositions: computed points go stale
};

struct dbRecordTypeInfo {
    database_RecordType type;
    // The value's name, also the element name of the export; "" where the type has none.
    const char* valueName;
    const char* className;
    uint8_t flags;
    // A new default record of the class; null until the class is built.
    dbRecord_Class* (*create)();

    bool Is(uint8_t flag) const { return (flags & flag) != 0; }
};

// The row of a type code; any code outside 0..162 gets an empty row (no names, no
// flags, no factory), so callers never meet a null.
const dbRecordTypeInfo& dbRecord_GetTypeInfo(int type);

// True for the codes of record classes, 0..161.
inline bool dbRecord_IsRecordType(int type) {
    return type >= DATABASE_JobHeaderRecord && type < DATABASE_AllRecords;
}
