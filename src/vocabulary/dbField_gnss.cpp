// GNSS enumerations (DBGPS_): survey types and events, real-time corrections,
// antenna corrections, initialisation, continuous points, radios and ports.
#include "vocabulary/dbField_tables.h"

// Survey.
DBFIELD_ENUM(dbgps_SurveyType,
    {"DBGPS_RTK", 0}, {"DBGPS_RTKAndInfill", 1}, {"DBGPS_RTKAndDataLogging", 2},
    {"DBGPS_FastStatic", 3}, {"DBGPS_PPKinematic", 4}, {"DBGPS_RTDifferential", 5},
    {"DBGPS_RTDiffAndInfill", 6}, {"DBGPS_RTDiffAndDataLogging", 7},
    {"DBGPS_PPDifferential", 8}, {"DBGPS_NoGPS", 9}, {"DBGPS_ListEnd", 10})

DBFIELD_ENUM(dbgps_SurveyEvent,
    {"DBGPS_StartBaseSurvey", 0}, {"DBGPS_StartRoverSurvey", 1}, {"DBGPS_AbortSurvey", 2},
    {"DBGPS_EndSurvey", 3}, {"DBGPS_BaseStarted", 4}, {"DBGPS_ReceiverModeSetError", 5},
    {"DBGPS_CommunicationsError", 6}, {"DBGPS_InfillSystemAdopted", 7},
    {"DBGPS_RealtimeSystemAdopted", 8})

DBFIELD_ENUM(dbgps_LoggingDevice,
    {"DBGPS_HandHeld", 0}, {"DBGPS_Receiver", 1})

DBFIELD_ENUM(dbgps_RTKApplication,
    {"DBGPS_RTK2WithWidelane", 0}, {"DBGPS_RTK2WithL1Fixed", 1})

// 20 names for the values 0..17: the RTCM 2.1 and 2.2 control records load as 2.3.
DBFIELD_ENUM(dbgps_RTKRecordType,
    {"DBGPS_RTCMCode", 0},
    {"DBGPS_WAASOnly", 1},
    {"DBGPS_EGNOSOnly", 2},
    {"DBGPS_RTCMCtrl", 3},
    {"DBGPS_RTCMCtrl23", 4},
    {"DBGPS_RTCMCtrl21", 4},
    {"DBGPS_RTCMCtrl22", 4},
    {"DBGPS_RTCMCtrl30", 5},
    {"DBGPS_CMR2Ctrl", 6},
    {"DBGPS_CMR2Plus", 7},
    {"DBGPS_CMR2Plus5Hz", 8},
    {"DBGPS_CMRX", 9},
    {"DBGPS_NetworkADV", 10},
    {"DBGPS_NetworkVRS", 11},
    {"DBGPS_NetworkCMRNet", 12},
    {"DBGPS_NetworkCMR", 13},
    {"DBGPS_NetworkDiff", 14},
    {"DBGPS_MultiStationRTCM", 15},
    {"DBGPS_MultiStationCMR", 16},
    {"DBGPS_RTCMNet", 17})

DBFIELD_ENUM(dbgps_RTCMAgeLimit,
    {"DBGPS_Age5", 0}, {"DBGPS_Age10", 1}, {"DBGPS_Age20", 2}, {"DBGPS_Age50", 3},
    {"DBGPS_Age100", 4})

DBFIELD_ENUM(dbgps_SatDiffCorrection,
    {"DBGPS_NoSatDiff", 0}, {"DBGPS_WAAS", 1}, {"DBGPS_EGNOS", 2})

DBFIELD_ENUM(dbgps_INSPositionType,
    {"DBGPS_RTKOnly", 0}, {"DBGPS_RTKAndINS", 1}, {"DBGPS_INSOnly", 2})

DBFIELD_ENUM(dbgps_VRSStoreType,
    {"DBGPS_StoreAsPositions", 0}, {"DBGPS_StoreAsVectors", 1})

DBFIELD_ENUM(dbgps_MonitorState,
    {"DBGPS_NotMonitored", 0}, {"DBGPS_MonitorFailed", 1}, {"DBGPS_MonitorOK", 2})

DBFIELD_ENUM(dbgps_APCType,
    {"DBGPS_Absolute", 0}, {"DBGPS_Relative", 1}, {"DBGPS_Corrected0", 2},
    {"DBGPS_Corrected1", 3}, {"DBGPS_Corrected2", 4}, {"DBGPS_Corrected3", 5},
    {"DBGPS_Corrected4", 6}, {"DBGPS_Corrected5", 7}, {"DBGPS_Corrected6", 8},
    {"DBGPS_Corrected7", 9}, {"DBGPS_Corrected8", 10}, {"DBGPS_Corrected9", 11})

DBFIELD_ENUM(dbgps_OnOff,
    {"DBGPS_On", 0}, {"DBGPS_Off", 1})

// Initialisation and logged data.
DBFIELD_ENUM(dbgps_InitEvent,
    {"DBGPS_GainInit", 0}, {"DBGPS_LostInit", 1}, {"DBGPS_FailedInit", 2},
    {"DBGPS_BadInit", 3}, {"DBGPS_HighRMS", 4}, {"DBGPS_GoodRMS", 5},
    {"DBGPS_UserCancelled", 6})

DBFIELD_ENUM(dbgps_InitType,
    {"DBGPS_Plate", 0}, {"DBGPS_KnownPoint", 1}, {"DBGPS_NewPoint", 2},
    {"DBGPS_OnTheFly", 3}, {"DBGPS_Null", 4})

DBFIELD_ENUM(dbgps_InitSystem,
    {"DBGPS_RealTimeSystem", 0}, {"DBGPS_PostprocessSystem", 1}, {"DBGPS_InfillSystem", 2})

DBFIELD_ENUM(dbgps_FileStatus,
    {"DBGPS_UselessData", 0}, {"DBGPS_ValidData", 1})

// Continuous points.
DBFIELD_ENUM(dbgps_ContMethod,
    {"DBGPS_ContDistancePt", 0}, {"DBGPS_ContTimePt", 1}, {"DBGPS_ContDistAndTimePt", 2},
    {"DBGPS_ContDistOrTimePt", 3}, {"DBGPS_ContStopAndGoPt", 4})

DBFIELD_ENUM(dbgps_ContOffsetOption,
    {"DBGPS_ContNone", 0}, {"DBGPS_ContOne", 1}, {"DBGPS_ContTwo", 2})

// Radios and connections. 21 names for the values 0..19.
DBFIELD_ENUM(dbgps_RadioType,
    {"DBGPS_CellularModem", 0},
    {"DBGPS_CustomRadio", 1},
    {"DBGPS_PacificCrest", 2},
    {"DBGPS_DeltaInternalRadio", 3},
    {"DBGPS_QuorComm", 4},
    {"DBGPS_QuorMarkA", 5},
    {"DBGPS_QuorMarkB", 6},
    {"DBGPS_QuorTalkB", 7},
    {"DBGPS_InternetConnection", 8},
    {"DBGPS_QuorTalkA", 9},
    {"DBGPS_QuorTalkC", 10},
    {"DBGPS_QuorMarkRover", 11},
    {"DBGPS_Clarion", 12},
    {"DBGPS_Satel", 13},
    {"DBGPS_MilitaryRadio", 14},
    {"DBGPS_QuorvelSiteBase", 15},
    {"DBGPS_QuorvelRadioA", 16},
    {"DBGPS_QuorvelRadioB", 17},
    {"DBGPS_QuorvelRadioD", 18},
    {"DBGPS_RadioD", 18},
    {"DBGPS_QuorvelRadioC", 19})

DBFIELD_ENUM(dbgps_eRadioSubtype,
    {"DBGPS_UHF", 0}, {"DBGPS_GSM", 1}, {"DBGPS_GPRS", 2})

DBFIELD_ENUM(dbgps_ConnectionType,
    {"DBGPS_GPRSConnection", 0}, {"DBGPS_CDPDConnection", 1},
    {"DBGPS_DIALUPConnection", 2})

DBFIELD_ENUM(dbgps_ReceiverPort,
    {"DBGPS_Port1", 0}, {"DBGPS_Port2", 1}, {"DBGPS_Port3", 2}, {"DBGPS_Port4", 3},
    {"DBGPS_Port5", 4}, {"DBGPS_Port6", 5}, {"DBGPS_Port7", 6}, {"DBGPS_Port8", 7},
    {"DBGPS_Port9", 8}, {"DBGPS_Port10", 9})

DBFIELD_ENUM(dbgps_Throttling,
    {"DBGPS_RateAllOff", 0}, {"DBGPS_RateAutoNoInit", 1}, {"DBGPS_RateAutowInit", 2},
    {"DBGPS_RateAutoFullNoBase", 3}, {"DBGPS_RateAutoFullwBase", 4})

DBFIELD_ENUM(dbgps_InternetBaseMode,
    {"DBGPS_IPBaseServer", 0}, {"DBGPS_IPBaseSender", 1})
