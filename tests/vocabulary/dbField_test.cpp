// The vocabulary tables against the counts and rules stated for them, and the generic
// loader and writer over every name of every table.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "support/recording_environment.h"
#include "vocabulary/dbField.h"

namespace {

// Each enumeration as stated: how many names, the lowest and the highest value. A
// table that loses or gains a row, or is missing from the catalogue, fails here.
struct Shape {
    const char* label;
    int names;
    int lowest;
    int highest;
};
constexpr Shape kShapes[] = {
    {"dbentity_PointMethod", 59, 0, 55},
    {"dbentity_SurveyMethod", 10, 0, 9},
    {"dbentity_AzimuthType", 4, 0, 3},
    {"dbentity_DirectionAlongLine", 4, 0, 3},
    {"dbentity_ComputeAzimuthMethod", 5, 0, 4},
    {"dbentity_ComputeDistanceMethod", 3, 0, 2},
    {"dbentity_CogoTranslationMethod", 2, 0, 1},
    {"dbentity_LineMethod", 2, 0, 1},
    {"dbentity_ArcMethod", 6, 0, 5},
    {"dbentity_ArcDirection", 2, 0, 1},
    {"dbentity_TrvAdjustmentMethod", 2, 0, 1},
    {"dbentity_TrvAdjustmentType", 3, 0, 2},
    {"dbentity_TrvResultType", 3, 0, 2},
    {"dbentity_StakeOutEntity", 8, 0, 7},
    {"dbentity_StakeOutMethod", 25, 0, 24},
    {"dbentity_OffsetElementType", 3, 0, 2},
    {"dbentity_RoadType", 3, 0, 2},
    {"dbentity_SideSlopeHingeDerv", 3, 0, 2},
    {"dbentity_SurfaceScanMethod", 3, 0, 2},
    {"dbentity_SurfaceScanLineMethod", 2, 0, 1},
    {"dbentity_ScanType", 3, 0, 2},
    {"dbentity_ScanMode", 3, 0, 2},
    {"dbentity_PanoramaMethod", 2, 0, 1},
    {"units_Type", 48, 0, 47},
    {"dbconfig_CoordOrder", 6, 0, 3},
    {"dbconfig_Stationing", 4, 0, 3},
    {"dbconfig_LaserVA", 3, 0, 2},
    {"dbconfig_DMSAngleDisplay", 6, 0, 2},
    {"dbconfig_DecAngleDisplay", 3, 0, 2},
    {"dbconfig_DistanceDisplay", 9, 0, 4},
    {"dbconfig_AzimuthFormat", 2, 0, 1},
    {"dbconfig_GPSTimeDisplay", 3, 0, 2},
    {"dbconfig_DeltasMode", 6, 0, 5},
    {"dbconfig_TrackingMode", 9, 0, 8},
    {"dbconfig_BuildId", 2, 0, 1},
    {"dbconfig_AsStaked", 5, 0, 4},
    {"dbconfig_QualityControl", 4, 0, 3},
    {"dbconfig_OrientTo", 2, 0, 1},
    {"dbconfig_StakeMapMode", 2, 0, 1},
    {"dbconfig_TSStakeViewMode", 4, 0, 1},
    {"dbconfig_OffsetPerspectiveMode", 6, 0, 2},
    {"dbconfig_ObservationOrder", 2, 0, 1},
    {"dbconfig_FaceOrder", 3, 0, 2},
    {"dbtype_Dimension", 4, 0, 3},
    {"dbgps_SurveyType", 11, 0, 10},
    {"dbgps_SurveyEvent", 9, 0, 8},
    {"dbgps_LoggingDevice", 2, 0, 1},
    {"dbgps_RTKApplication", 2, 0, 1},
    {"dbgps_RTKRecordType", 20, 0, 17},
    {"dbgps_RTCMAgeLimit", 5, 0, 4},
    {"dbgps_SatDiffCorrection", 3, 0, 2},
    {"dbgps_INSPositionType", 3, 0, 2},
    {"dbgps_VRSStoreType", 2, 0, 1},
    {"dbgps_MonitorState", 3, 0, 2},
    {"dbgps_APCType", 12, 0, 11},
    {"dbgps_OnOff", 2, 0, 1},
    {"dbgps_InitEvent", 7, 0, 6},
    {"dbgps_InitType", 5, 0, 4},
    {"dbgps_InitSystem", 3, 0, 2},
    {"dbgps_FileStatus", 2, 0, 1},
    {"dbgps_ContMethod", 5, 0, 4},
    {"dbgps_ContOffsetOption", 3, 0, 2},
    {"dbgps_RadioType", 21, 0, 19},
    {"dbgps_eRadioSubtype", 3, 0, 2},
    {"dbgps_ConnectionType", 3, 0, 2},
    {"dbgps_ReceiverPort", 10, 0, 9},
    {"dbgps_Throttling", 5, 0, 4},
    {"dbgps_InternetBaseMode", 2, 0, 1},
    {"coord_Type", 21, 0, 20},
    {"coord_Face", 3, 0, 2},
    {"coordsys_ProjectionType", 25, 0, 24},
    {"coordsys_ProjectionArea", 4, 0, 3},
    {"coordsys_OriginCenter", 2, 0, 1},
    {"coordsys_GridElevation", 2, 0, 1},
    {"coordsys_AzimuthFormat", 2, 0, 1},
    {"coordsys_GroundScaleFactorType", 4, 0, 2},
    {"coordsys_DatumType", 5, 0, 4},
    {"coordsys_PlaneType", 2, 0, 1},
    {"coordsys_HeightType", 6, 0, 5},
    {"coordsys_GridOrientation", 4, 0, 3},
    {"coordsys_CogoDistance", 3, 0, 2},
    {"coordsys_SubdivideCode", 3, 0, 2},
    {"coordsys_WeightExponent", 4, 0, 3},
    {"coordsys_CrossSectionInterpolationMethod", 2, 0, 1},
    {"transformation_Method", 2, 0, 1},
    {"transformation_ScaleApplicationMethod", 3, 0, 2},
    {"dbqz_PositioningTechnology", 4, 0, 2},
    {"dbqz_TimeDerivation", 5, 0, 4},
    {"dbqz_CalibrateStatus", 5, 0, 4},
    {"dbqz_CalibPointNameMethod", 4, 0, 3},
    {"dbqz_ObservationType", 3, 0, 2},
    {"dbqz_VerticalCalibrationMethod", 3, 0, 2},
    {"total_InstrumentType", 40, 0, 38},
    {"total_MeasurementMode", 8, 0, 7},
    {"total_ServoOptions", 4, 0, 3},
    {"total_SetHzCircleMode", 4, 0, 3},
    {"total_AtmosphereMethod", 2, 0, 1},
    {"total_ScaleFactorType", 2, 0, 1},
    {"total_StationType", 8, 0, 5},
    {"total_PrismTypes", 9, -1, 7},
    {"total_TargetHeightMethod", 2, 0, 1},
    {"total_RMTIDs", 14, 0, 9},
    {"total_CorvaneTargetIDCheckType", 5, 0, 4},
    {"dblaser_LaserType", 17, 0, 16},
    {"dbecho_EchoSounderType", 2, 0, 1},
    {"rs232_Ports", 12, 0, 11},
    {"rs232_FlowControls", 4, 0, 3},
    {"rs232_ParityCodes", 5, 0, 4},
    {"dbroad_StartMethod", 2, 0, 1},
    {"dbroad_KeyinStraightMethod", 4, 0, 3},
    {"dbroad_KeyinArcMethod", 5, 0, 4},
    {"dbroad_KeyinSpiralMethod", 2, 0, 1},
    {"dbroad_Pivot", 3, 0, 2},
    {"dbroad_VerticalKeyinMethod", 2, 0, 1},
};

const dbField_Enum* FindType(const std::string& label) {
    for (const auto& entry : dbField_Catalogue)
        if (label == entry.type->label) return entry.type;
    return nullptr;
}

std::string Load(const dbField_Enum& type, const char* text, int32_t* value) {
    try {
        *value = dbField_LoadText(type, "Child", text);
        return "";
    } catch (const Str& message) {
        return message.Data();
    }
}

TEST(VocabularyCatalogue, CountsMatchTheStatedNumbers) {
    EXPECT_EQ(dbField_Catalogue.size(), 114u);
    int written = 0;
    for (const auto& entry : dbField_Catalogue) {
        std::string label = entry.type->label;
        if (entry.written) {
            ++written;
            EXPECT_NE(label.rfind("dbroad_", 0), 0u) << label;
        } else {
            EXPECT_EQ(label.rfind("dbroad_", 0), 0u) << label;
        }
    }
    EXPECT_EQ(written, 108);
    EXPECT_EQ(dbField_FlagSets.size(), 3u);
}

TEST(VocabularyCatalogue, EveryTableHasItsStatedShapeWithoutGaps) {
    std::set<std::string> labels;
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.label);
        labels.insert(shape.label);
        const dbField_Enum* type = FindType(shape.label);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(static_cast<int>(type->names.size()), shape.names);
        for (int v = shape.lowest; v <= shape.highest; ++v)
            EXPECT_NE(type->PrimaryName(v), nullptr) << v;
        for (const auto& n : type->names) {
            EXPECT_GE(n.value, shape.lowest) << n.name;
            EXPECT_LE(n.value, shape.highest) << n.name;
        }
    }
    EXPECT_EQ(labels.size(), 114u);
}

// Names are unique within and across types, and carry their type's prefix: the area
// of the type's name in upper case, but for the types that have their own.
TEST(VocabularyCatalogue, NamesAreUniqueAndCarryTheirPrefix) {
    std::set<std::string> seen;
    for (const auto& entry : dbField_Catalogue) {
        std::string label = entry.type->label;
        std::string prefix = label.substr(0, label.find('_') + 1);
        for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (label == "dbecho_EchoSounderType") prefix = "DBECHOSOUNDER_";
        if (label == "coordsys_CrossSectionInterpolationMethod") prefix = "XSInterpolate_";
        if (label == "dbroad_VerticalKeyinMethod") prefix = "VerticalKeyin_";
        if (label == "transformation_Method") prefix = "TransformationMethod_";
        if (label == "transformation_ScaleApplicationMethod") prefix = "LineTransformationScale_";
        for (const auto& n : entry.type->names) {
            std::string name = n.name;
            EXPECT_TRUE(seen.insert(name).second) << name;
            if (label == "total_TargetHeightMethod") {
                EXPECT_EQ(name.find('_'), std::string::npos) << name;
            } else if (label == "total_RMTIDs" && name.rfind("RMTID_", 0) == 0) {
                EXPECT_EQ(entry.type->names[&n - entry.type->names.data() - 1].value, n.value)
                    << name << " follows the name it stands beside";
            } else {
                EXPECT_EQ(name.rfind(prefix, 0), 0u) << name;
            }
        }
    }
    for (const dbField_FlagSet* set : dbField_FlagSets) {
        uint32_t previous = 0;
        for (const auto& flag : set->flags) {
            EXPECT_TRUE(seen.insert(flag.name).second) << flag.name;
            if (flag.bit == 0) continue;
            EXPECT_EQ(flag.bit & (flag.bit - 1), 0u) << flag.name << " is one bit";
            EXPECT_GT(flag.bit, previous) << flag.name << " ascending";
            previous = flag.bit;
        }
    }
}

// Every name loads to its value, and writing that value and loading it again gives
// the same value through the primary name.
TEST(VocabularyLoader, EveryNameLoadsAndEveryWrittenValueRoundTrips) {
    RecordingEnvironment env;
    for (const auto& entry : dbField_Catalogue) {
        const dbField_Enum& type = *entry.type;
        SCOPED_TRACE(type.label);
        for (const auto& n : type.names) {
            int32_t value = -99;
            EXPECT_EQ(Load(type, n.name, &value), "") << n.name;
            EXPECT_EQ(value, n.value) << n.name;
        }
        if (!entry.written) continue;
        for (const auto& n : type.names) {
            Str name = dbField_Save(type, n.value);
            EXPECT_STREQ(name.Data(), type.PrimaryName(n.value));
            EXPECT_EQ(dbField_LoadText(type, "Child", name), n.value);
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

struct Alias {
    const dbField_Enum* type;
    const char* name;
    int32_t value;
    const char* primary;
};

TEST(VocabularyLoader, AliasesLoadToTheValueOfTheirPrimaryName) {
    const Alias cases[] = {
        {&dbField_dbentity_PointMethod, "DBENTITY_GpsContOffsetLeftPt", 28, "DBENTITY_GpsContOffsetPt1"},
        {&dbField_dbentity_PointMethod, "DBENTITY_GpsContOffsetRightPt", 29, "DBENTITY_GpsContOffsetPt2"},
        {&dbField_dbentity_PointMethod, "DBENTITY_RemoteObjectElevation", 43, "DBENTITY_RemoteObject"},
        {&dbField_dbconfig_CoordOrder, "DBCONFIG_YXZ", 2, "DBCONFIG_ENElev_YXZ"},
        {&dbField_dbconfig_CoordOrder, "DBCONFIG_XYZ", 3, "DBCONFIG_NEElev_XYZ"},
        {&dbField_dbconfig_DMSAngleDisplay, "DBCONFIG_HAVAAngleNULL", 2, "DBCONFIG_DMSAngleNULL"},
        {&dbField_dbconfig_DistanceDisplay, "DBCONFIG_SDDisplay00001", 3, "DBCONFIG_DistanceDisplay00001"},
        {&dbField_dbconfig_TSStakeViewMode, "DBCONFIG_TSStakeMapView", 0, "DBCONFIG_TSStakeDirectionAndDistanceView"},
        {&dbField_dbconfig_TSStakeViewMode, "DBCONFIG_TSStakeDirectionsView", 1, "DBCONFIG_TSStakeInOutAndLeftRightView"},
        {&dbField_dbconfig_OffsetPerspectiveMode, "DBCONFIG_TSTopoOffsetFromTarget", 2, "DBCONFIG_OffsetFromTarget"},
        {&dbField_dbgps_RTKRecordType, "DBGPS_RTCMCtrl21", 4, "DBGPS_RTCMCtrl23"},
        {&dbField_dbgps_RTKRecordType, "DBGPS_RTCMCtrl22", 4, "DBGPS_RTCMCtrl23"},
        {&dbField_dbgps_RadioType, "DBGPS_RadioD", 18, "DBGPS_QuorvelRadioD"},
        {&dbField_coordsys_GroundScaleFactorType, "COORDSYS_NoGroundScaleFactor", 0, "COORDSYS_GridScaleFactor"},
        {&dbField_dbqz_PositioningTechnology, "DBQZ_TS", 1, "DBQZ_Conventional"},
        {&dbField_total_StationType, "TOTAL_KnownStation", 1, "TOTAL_StationSetup"},
        {&dbField_total_StationType, "TOTAL_KnownStationPlus", 2, "TOTAL_StationSetupPlus"},
        {&dbField_total_InstrumentType, "TOTAL_LeicaTC1100ServoGSI", 23, "TOTAL_LeicaTC1100ServoGeoCom"},
        {&dbField_total_RMTIDs, "RMTID_0", 1, "TOTAL_RMTID0"},
        {&dbField_total_RMTIDs, "RMTID_6", 7, "TOTAL_RMTID6"},
    };
    for (const Alias& c : cases) {
        int32_t value = -99;
        EXPECT_EQ(Load(*c.type, c.name, &value), "") << c.name;
        EXPECT_EQ(value, c.value) << c.name;
        EXPECT_STREQ(dbField_Save(*c.type, c.value).Data(), c.primary) << c.name;
    }
}

TEST(VocabularyLoader, ValuesThatAreEasyToGetWrong) {
    struct Case {
        const dbField_Enum* type;
        const char* name;
        int32_t value;
    };
    const Case cases[] = {
        {&dbField_dbentity_SurveyMethod, "DBENTITY_Fix", 3},
        {&dbField_dbentity_PointMethod, "DBENTITY_ReflineSetup", 55},
        {&dbField_units_Type, "UNITS_Celcius", 28},
        {&dbField_units_Type, "UNITS_SqMetres", 36},
        {&dbField_dbconfig_Stationing, "DBCONFIG_StationingNULL", 3},
        {&dbField_dbconfig_DistanceDisplay, "DBCONFIG_DistanceDisplay000001", 4},
        {&dbField_dbgps_RTKRecordType, "DBGPS_NetworkCMRNet", 12},
        {&dbField_dbgps_RTKRecordType, "DBGPS_NetworkCMR", 13},
        {&dbField_dbgps_RTKRecordType, "DBGPS_MultiStationCMR", 16},
        {&dbField_dbgps_APCType, "DBGPS_Corrected9", 11},
        {&dbField_dbgps_ReceiverPort, "DBGPS_Port10", 9},
        {&dbField_dbgps_SurveyType, "DBGPS_ListEnd", 10},
        {&dbField_dbgps_OnOff, "DBGPS_Off", 1},
        {&dbField_coord_Type, "COORD_LocalTransformedGridType", 19},
        {&dbField_coord_Type, "COORD_GridDeltasType", 5},
        {&dbField_coordsys_WeightExponent, "COORDSYS_WeightExponentTwoPointZero", 3},
        {&dbField_coordsys_HeightType, "COORDSYS_InclinedPlane", 2},
        {&dbField_dbqz_VerticalCalibrationMethod, "DBQZ_InclinedPlane", 2},
        {&dbField_dbqz_PositioningTechnology, "DBQZ_None", 2},
        {&dbField_total_PrismTypes, "TOTAL_UnknownPrism", -1},
        {&dbField_total_PrismTypes, "TOTAL_QuorvelSeriesMultiTrack", 0},
        {&dbField_total_RMTIDs, "TOTAL_RMTID8", 9},
        {&dbField_total_TargetHeightMethod, "CorvaneBottomNotch", 1},
        {&dbField_rs232_Ports, "RS232_NumberOfPorts", 11},
        {&dbField_dbroad_VerticalKeyinMethod, "VerticalKeyin_EndPoints", 1},
    };
    for (const Case& c : cases) {
        int32_t value = -99;
        EXPECT_EQ(Load(*c.type, c.name, &value), "") << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

TEST(VocabularyLoader, TextsThatMatchNoNameAreRefusedWithTheMessage) {
    struct Case {
        const dbField_Enum* type;
        const char* text;
    };
    const Case cases[] = {
        {&dbField_dbentity_SurveyMethod, "Fix"},               // prefix missing
        {&dbField_dbentity_SurveyMethod, "dbentity_fix"},      // wrong case
        {&dbField_dbentity_SurveyMethod, "DBENTITY_FIX"},
        {&dbField_dbentity_SurveyMethod, " DBENTITY_Fix"},     // blanks are not trimmed here
        {&dbField_dbentity_SurveyMethod, "DBENTITY_Fix "},
        {&dbField_dbentity_SurveyMethod, "3"},                 // no numbers
        {&dbField_dbentity_SurveyMethod, "DBENTITY_Fi"},       // no abbreviation
        {&dbField_dbentity_PointMethod, "DBENTITY_KeyedIn"},   // another type's name
        {&dbField_dbqz_VerticalCalibrationMethod, "COORDSYS_InclinedPlane"},
        {&dbField_units_Type, "UNITS_Celsius"},
        {&dbField_total_RMTIDs, "RMTID_1"},                    // odd identities have no short name
        {&dbField_total_TargetHeightMethod, "TOTAL_TrueVertical"},
        {&dbField_dbgps_ReceiverPort, "DBGPS_Port0"},
        {&dbField_rs232_Ports, "RS232_COM12"},
        {&dbField_dbentity_ScanType, ""},
    };
    for (const Case& c : cases) {
        int32_t value = 1234;
        std::string expected = std::string("Invalid ") + c.type->label +
                               " name=\"Child\" with value=\"" + c.text + "\"";
        EXPECT_EQ(Load(*c.type, c.text, &value), expected);
        EXPECT_EQ(value, 1234);
    }
}

TEST(VocabularyLoader, OnlyThreeTypesGiveADefaultForTheEmptyText) {
    int defaults = 0;
    for (const auto& entry : dbField_Catalogue) {
        const dbField_Enum& type = *entry.type;
        std::string label = type.label;
        int32_t value = -99;
        std::string message = Load(type, "", &value);
        if (label == "units_Type" || label == "dbconfig_DeltasMode" || label == "dbentity_ScanMode") {
            ++defaults;
            EXPECT_EQ(message, "") << label;
        } else {
            EXPECT_EQ(message, "Invalid " + label + " name=\"Child\" with value=\"\"");
        }
    }
    EXPECT_EQ(defaults, 3);
    EXPECT_EQ(dbField_LoadText(dbField_units_Type, "Units", ""), 47);
    EXPECT_EQ(dbField_LoadText(dbField_dbconfig_DeltasMode, "Deltas", ""), 4);
    EXPECT_EQ(dbField_LoadText(dbField_dbentity_ScanMode, "Mode", ""), 0);
    // The default is for the empty text only; a blank is a name that matches nothing.
    EXPECT_THROW(dbField_LoadText(dbField_units_Type, "Units", " "), Str);
}

TEST(VocabularyLoader, InvalidValueMessage) {
    EXPECT_STREQ(dbField_InvalidValueMessage("dbentity_SurveyMethod", "SurveyMethod", "Fix").Data(),
                 "Invalid dbentity_SurveyMethod name=\"SurveyMethod\" with value=\"Fix\"");
    EXPECT_STREQ(dbField_InvalidValueMessage("hex number", "ID", "").Data(),
                 "Invalid hex number name=\"ID\" with value=\"\"");
}

TEST(VocabularyWriter, ValuesOutsideTheTableReportAndGiveTheEmptyText) {
    struct Case {
        const dbField_Enum* type;
        int32_t value;
        const char* expression;
    };
    const Case cases[] = {
        {&dbField_rs232_Ports, 12, "!\"improper rs232_Ports\""},
        {&dbField_total_PrismTypes, -2, "!\"improper total_PrismTypes\""},
        {&dbField_total_PrismTypes, 8, "!\"improper total_PrismTypes\""},
        {&dbField_units_Type, 48, "!\"improper units_Type\""},
        {&dbField_dbentity_PointMethod, -1, "!\"improper dbentity_PointMethod\""},
    };
    for (const Case& c : cases) {
        RecordingEnvironment env;
        EXPECT_TRUE(dbField_Save(*c.type, c.value).IsEmpty());
        ASSERT_EQ(env.assertions.size(), 1u);
        EXPECT_EQ(env.assertions[0].expression, c.expression);
        EXPECT_EQ(env.assertions[0].module, "Library/dbField");
    }
}

TEST(VocabularyWriter, NamedWritersGiveThePrimaryName) {
    EXPECT_STREQ(save_dbentity_PointMethod(28).Data(), "DBENTITY_GpsContOffsetPt1");
    EXPECT_STREQ(save_dbconfig_TSStakeViewMode(0).Data(), "DBCONFIG_TSStakeDirectionAndDistanceView");
    EXPECT_STREQ(save_dbconfig_TSStakeViewMode(1).Data(), "DBCONFIG_TSStakeInOutAndLeftRightView");
    EXPECT_STREQ(save_total_RMTIDs(1).Data(), "TOTAL_RMTID0");
    EXPECT_STREQ(save_total_PrismTypes(-1).Data(), "TOTAL_UnknownPrism");
    EXPECT_STREQ(save_units_Type(47).Data(), "UNITS_None");
    EXPECT_STREQ(save_dbgps_RTKRecordType(4).Data(), "DBGPS_RTCMCtrl23");
}

} // namespace
