// Instrument, target and device enumerations (TOTAL_, DBLASER_, DBECHOSOUNDER_,
// RS232_): total stations, prisms and targets, lasers, echo sounders, serial ports.
#include "vocabulary/dbField_tables.h"

// Total stations. 40 names for the values 0..38.
DBFIELD_ENUM(total_InstrumentType,
    {"TOTAL_Corvane", 0},
    {"TOTAL_QuorvelStationH", 1},
    {"TOTAL_QuorvelStationA", 2},
    {"TOTAL_QuorvelStationB", 3},
    {"TOTAL_QuorvelStationC", 4},
    {"TOTAL_QuorvelStationD", 5},
    {"TOTAL_QuorvelStationE", 6},
    {"TOTAL_QuorvelStationF", 7},
    {"TOTAL_QuorvelStationG", 8},
    {"TOTAL_SETBasic", 9},
    {"TOTAL_SETEnhanced", 10},
    {"TOTAL_QuorvelLegacyA", 11},
    {"TOTAL_QuorvelLegacyB", 12},
    {"TOTAL_QuorvelLegacyC", 13},
    {"TOTAL_QuorvelLegacyD", 14},
    {"TOTAL_QuorvelLegacyE", 15},
    {"TOTAL_QuorvelLegacyF", 16},
    {"TOTAL_LeicaTC300", 17},
    {"TOTAL_LeicaTC500", 18},
    {"TOTAL_LeicaTC800", 19},
    {"TOTAL_LeicaT1000_6", 20},
    {"TOTAL_LeicaT1000_14", 21},
    {"TOTAL_LeicaTC1100", 22},
    {"TOTAL_LeicaTC1100ServoGeoCom", 23},
    {"TOTAL_LeicaTC1100ServoGSI", 23},
    {"TOTAL_LeicaTC1100RoboticGeoCom", 24},
    {"TOTAL_LeicaTC1600", 25},
    {"TOTAL_LeicaTC2000", 26},
    {"TOTAL_Nikon", 27},
    {"TOTAL_Pentax", 28},
    {"TOTAL_TopconGeneric", 29},
    {"TOTAL_Topcon500", 30},
    {"TOTAL_ZeissElta2", 31},
    {"TOTAL_ZeissElta3", 32},
    {"TOTAL_ZeissElta4", 33},
    {"TOTAL_ZeissEltaC", 34},
    {"TOTAL_ZeissRecEltaE", 35},
    {"TOTAL_ZeissRSeries", 36},
    {"TOTAL_Manual", 37},
    {"TOTAL_Null", 38})

DBFIELD_ENUM(total_MeasurementMode,
    {"TOTAL_EDMFine", 0}, {"TOTAL_EDMCoarse", 1}, {"TOTAL_EDMTrack", 2},
    {"TOTAL_EDM5mm", 3}, {"TOTAL_EDM10mm", 4}, {"TOTAL_EDM20mm", 5},
    {"TOTAL_EDMDefault", 6}, {"TOTAL_EDMNull", 7})

DBFIELD_ENUM(total_ServoOptions,
    {"TOTAL_HAOnly", 0}, {"TOTAL_HAandVA", 1}, {"TOTAL_NoServo", 2}, {"TOTAL_VAOnly", 3})

DBFIELD_ENUM(total_SetHzCircleMode,
    {"TOTAL_DoNothing", 0}, {"TOTAL_Zero", 1}, {"TOTAL_SetToAzimuth", 2},
    {"TOTAL_SetHzNull", 3})

DBFIELD_ENUM(total_AtmosphereMethod,
    {"TOTAL_KeyedIn", 0}, {"TOTAL_ReadFromInstrument", 1})

DBFIELD_ENUM(total_ScaleFactorType,
    {"TOTAL_ScaleFixed", 0}, {"TOTAL_ScaleFree", 1})

DBFIELD_ENUM(total_StationType,
    {"TOTAL_UnknownType", 0},
    {"TOTAL_StationSetup", 1}, {"TOTAL_KnownStation", 1},
    {"TOTAL_StationSetupPlus", 2}, {"TOTAL_KnownStationPlus", 2},
    {"TOTAL_StandardResection", 3}, {"TOTAL_HelmertResection", 4},
    {"TOTAL_ReflineStationSetup", 5})

// Targets. The only enumeration with a negative value: an unknown prism is -1.
DBFIELD_ENUM(total_PrismTypes,
    {"TOTAL_UnknownPrism", -1}, {"TOTAL_QuorvelSeriesMultiTrack", 0},
    {"TOTAL_QuorvelSeries360Prism", 1}, {"TOTAL_QuorvelSeriesTraversePrism", 2},
    {"TOTAL_Small318mmTiltablePrism", 3}, {"TOTAL_Large635mmTiltablePrism", 4},
    {"TOTAL_MiniPrism", 5}, {"TOTAL_SuperPrism", 6}, {"TOTAL_CustomPrism", 7})

// These two names have no prefix.
DBFIELD_ENUM(total_TargetHeightMethod,
    {"TrueVertical", 0}, {"CorvaneBottomNotch", 1})

// The value is the target identity plus one; the even identities keep a short name.
DBFIELD_ENUM(total_RMTIDs,
    {"TOTAL_RMTIDNone", 0},
    {"TOTAL_RMTID0", 1}, {"RMTID_0", 1},
    {"TOTAL_RMTID1", 2},
    {"TOTAL_RMTID2", 3}, {"RMTID_2", 3},
    {"TOTAL_RMTID3", 4},
    {"TOTAL_RMTID4", 5}, {"RMTID_4", 5},
    {"TOTAL_RMTID5", 6},
    {"TOTAL_RMTID6", 7}, {"RMTID_6", 7},
    {"TOTAL_RMTID7", 8},
    {"TOTAL_RMTID8", 9})

DBFIELD_ENUM(total_CorvaneTargetIDCheckType,
    {"TOTAL_TargetIDCheck_Off", 0}, {"TOTAL_TargetIDCheck_Search", 1},
    {"TOTAL_TargetIDCheck_SearchAndMeasure", 2}, {"TOTAL_TargetIDCheck_Always", 3},
    {"TOTAL_TargetIDCheck_SemiActive", 4})

// Lasers and echo sounders.
DBFIELD_ENUM(dblaser_LaserType,
    {"DBLASER_None", 0},
    {"DBLASER_Criterion300", 1},
    {"DBLASER_Criterion400", 2},
    {"DBLASER_TruPulse200B", 3},
    {"DBLASER_TruPulse360B", 4},
    {"DBLASER_Impulse", 5},
    {"DBLASER_ProSurvey1000", 6},
    {"DBLASER_AtlantaAdvantage", 7},
    {"DBLASER_Ledha", 8},
    {"DBLASER_MDLLaserAce", 9},
    {"DBLASER_MDLGenerationII", 10},
    {"DBLASER_DataDisto", 11},
    {"DBLASER_DistoMemo", 12},
    {"DBLASER_VectorGIS", 13},
    {"DBLASER_DistoPlus", 14},
    {"DBLASER_Bosch", 15},
    {"DBLASER_LaserCraft", 16})

DBFIELD_ENUM(dbecho_EchoSounderType,
    {"DBECHOSOUNDER_None", 0}, {"DBECHOSOUNDER_SonarMite", 1})

// Serial ports.
DBFIELD_ENUM(rs232_Ports,
    {"RS232_COM1", 0}, {"RS232_COM2", 1}, {"RS232_COM3", 2}, {"RS232_COM4", 3},
    {"RS232_COM5", 4}, {"RS232_COM6", 5}, {"RS232_COM7", 6}, {"RS232_COM8", 7},
    {"RS232_COM9", 8}, {"RS232_COM10", 9}, {"RS232_COM11", 10},
    {"RS232_NumberOfPorts", 11})

DBFIELD_ENUM(rs232_FlowControls,
    {"RS232_NoFlowControl", 0}, {"RS232_XonXoffFlowControl", 1},
    {"RS232_RtsCtsFlowControl", 2}, {"RS232_DtrDsrFlowControl", 3})

DBFIELD_ENUM(rs232_ParityCodes,
    {"RS232_NoParity", 0}, {"RS232_OddParity", 1}, {"RS232_EvenParity", 2},
    {"RS232_MarkParity", 3}, {"RS232_SpaceParity", 4})
