// The job format's vocabulary: the enumerations and flag sets whose values the job
// stores as numbers and the XML export writes as symbolic names ("DBENTITY_Fix").
//
// Every enumeration is one table of (name, value) pairs in its listed order: a value
// may have several names, and the first one listed is its primary name, the one a
// writer produces. The loader, the writer and the tests all read these tables; no
// name is spelled anywhere else. The tables live by area in dbField_*.cpp and are
// gathered in dbField_Catalogue.
//
// Names are matched exactly: the whole text, byte for byte, case-sensitive, nothing
// trimmed or folded. A text that matches no name of its type is refused with the
// invalid-value message, thrown as a Str.
//
// The core works on a child's name and text; the loaders load_<enumtype> take the
// parent element and the child's name, and read the text of the first child of that
// name (an absent child reads as the empty text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "foundation/coords/coordsys.h"
#include "foundation/text/str.h"
#include "records/classification.h"

class xml_Element;

// A child's name as the loaders take it, a literal or a Str; never copied, so reading
// a field costs no allocation unless it fails.
struct dbField_ChildName {
    // Measured inline, so that a literal name costs no strlen per lookup.
    dbField_ChildName(const char* childName) : name(childName), length(std::char_traits<char>::length(childName)) {}
    dbField_ChildName(const Str& childName) : name(childName.Data()), length(static_cast<size_t>(childName.Length())) {}
    const char* name;
    size_t length;
    std::string_view View() const { return {name, length}; }
};

struct dbField_Name {
    constexpr dbField_Name(const char* name, int32_t value)
        : name(name), value(value), length(std::char_traits<char>::length(name)) {}
    const char* name;
    int32_t value;
    size_t length;  // of name, so that a lookup rejects most entries by it
};

// The empty text is an error for all but three enumerations, which give a default.
inline constexpr int32_t dbField_NoDefault = INT32_MIN;

struct dbField_Enum {
    const char* label;                   // the type's name as messages spell it
    std::span<const dbField_Name> names; // listed order; primary name first per value
    int32_t emptyDefault;                // dbField_NoDefault, or the value of the empty text

    bool HasEmptyDefault() const { return emptyDefault != dbField_NoDefault; }
    // The value of an exactly matching name; false when there is none.
    bool Find(const Str& text, int32_t& value) const;
    // The first-listed name of a value, or nullptr when the value is outside the table.
    const char* PrimaryName(int32_t value) const;
};

// A flag set: each name stands for one bit. A name with bit 0 is accepted on
// loading and sets nothing; it is never written.
struct dbField_Flag {
    constexpr dbField_Flag(const char* name, uint32_t bit)
        : name(name), bit(bit), length(std::char_traits<char>::length(name)) {}
    const char* name;
    uint32_t bit;
    size_t length;  // of name
};

struct dbField_FlagSet {
    const char* label;
    std::span<const dbField_Flag> flags; // ascending bit order
};

// The enumerations. Each entry X(type) stands for the table dbField_<type> and the
// loader load_<type>; the first list also has the writers save_<type>. The road
// key-in enumerations are only ever read.
#define DBFIELD_WRITTEN_ENUMERATIONS(X)                                                        \
    /* Entities */                                                                             \
    X(dbentity_PointMethod) X(dbentity_SurveyMethod) X(dbentity_AzimuthType)                   \
    X(dbentity_DirectionAlongLine) X(dbentity_ComputeAzimuthMethod)                            \
    X(dbentity_ComputeDistanceMethod) X(dbentity_CogoTranslationMethod)                        \
    X(dbentity_LineMethod) X(dbentity_ArcMethod) X(dbentity_ArcDirection)                      \
    X(dbentity_TrvAdjustmentMethod) X(dbentity_TrvAdjustmentType) X(dbentity_TrvResultType)    \
    X(dbentity_StakeOutEntity) X(dbentity_StakeOutMethod) X(dbentity_OffsetElementType)        \
    X(dbentity_RoadType) X(dbentity_SideSlopeHingeDerv) X(dbentity_SurfaceScanMethod)          \
    X(dbentity_SurfaceScanLineMethod) X(dbentity_ScanType) X(dbentity_ScanMode)                \
    X(dbentity_PanoramaMethod)                                                                 \
    /* Job settings and units */                                                               \
    X(units_Type) X(dbconfig_CoordOrder) X(dbconfig_Stationing) X(dbconfig_LaserVA)            \
    X(dbconfig_DMSAngleDisplay) X(dbconfig_DecAngleDisplay) X(dbconfig_DistanceDisplay)        \
    X(dbconfig_AzimuthFormat) X(dbconfig_GPSTimeDisplay) X(dbconfig_DeltasMode)                \
    X(dbconfig_TrackingMode) X(dbconfig_BuildId) X(dbconfig_AsStaked)                          \
    X(dbconfig_QualityControl) X(dbconfig_OrientTo) X(dbconfig_StakeMapMode)                   \
    X(dbconfig_TSStakeViewMode) X(dbconfig_OffsetPerspectiveMode)                              \
    X(dbconfig_ObservationOrder) X(dbconfig_FaceOrder) X(dbtype_Dimension)                     \
    /* GNSS */                                                                                 \
    X(dbgps_SurveyType) X(dbgps_SurveyEvent) X(dbgps_LoggingDevice) X(dbgps_RTKApplication)    \
    X(dbgps_RTKRecordType) X(dbgps_RTCMAgeLimit) X(dbgps_SatDiffCorrection)                    \
    X(dbgps_INSPositionType) X(dbgps_VRSStoreType) X(dbgps_MonitorState) X(dbgps_APCType)     \
    X(dbgps_OnOff) X(dbgps_InitEvent) X(dbgps_InitType) X(dbgps_InitSystem)                   \
    X(dbgps_FileStatus) X(dbgps_ContMethod) X(dbgps_ContOffsetOption) X(dbgps_RadioType)      \
    X(dbgps_eRadioSubtype) X(dbgps_ConnectionType) X(dbgps_ReceiverPort)                      \
    X(dbgps_Throttling) X(dbgps_InternetBaseMode)                                              \
    /* Coordinates, coordinate systems and calibration */                                     \
    X(coord_Type) X(coord_Face) X(coordsys_ProjectionType) X(coordsys_ProjectionArea)          \
    X(coordsys_OriginCenter) X(coordsys_GridElevation) X(coordsys_AzimuthFormat)               \
    X(coordsys_GroundScaleFactorType) X(coordsys_DatumType) X(coordsys_PlaneType)              \
    X(coordsys_HeightType) X(coordsys_GridOrientation) X(coordsys_CogoDistance)                \
    X(coordsys_SubdivideCode) X(coordsys_WeightExponent)                                       \
    X(coordsys_CrossSectionInterpolationMethod) X(transformation_Method)                       \
    X(transformation_ScaleApplicationMethod) X(dbqz_PositioningTechnology)                     \
    X(dbqz_TimeDerivation) X(dbqz_CalibrateStatus) X(dbqz_CalibPointNameMethod)                \
    X(dbqz_ObservationType) X(dbqz_VerticalCalibrationMethod)                                  \
    /* Instruments, targets and devices */                                                     \
    X(total_InstrumentType) X(total_MeasurementMode) X(total_ServoOptions)                     \
    X(total_SetHzCircleMode) X(total_AtmosphereMethod) X(total_ScaleFactorType)                \
    X(total_StationType) X(total_PrismTypes) X(total_TargetHeightMethod) X(total_RMTIDs)       \
    X(total_CorvaneTargetIDCheckType) X(dblaser_LaserType) X(dbecho_EchoSounderType)          \
    X(rs232_Ports) X(rs232_FlowControls) X(rs232_ParityCodes)

#define DBFIELD_READ_ONLY_ENUMERATIONS(X)                                                      \
    X(dbroad_StartMethod) X(dbroad_KeyinStraightMethod) X(dbroad_KeyinArcMethod)               \
    X(dbroad_KeyinSpiralMethod) X(dbroad_Pivot) X(dbroad_VerticalKeyinMethod)

#define DBFIELD_DECLARE_TABLE(type) extern const dbField_Enum dbField_##type;
DBFIELD_WRITTEN_ENUMERATIONS(DBFIELD_DECLARE_TABLE)
DBFIELD_READ_ONLY_ENUMERATIONS(DBFIELD_DECLARE_TABLE)
#undef DBFIELD_DECLARE_TABLE

extern const dbField_FlagSet dbField_dblaser_Features;
extern const dbField_FlagSet dbField_coordsys_ValuesPresent;
extern const dbField_FlagSet dbField_coordsys_CogoSettings;

// Every enumeration once, with whether it has a writer.
struct dbField_CatalogueEntry {
    const dbField_Enum* type;
    bool written;
};
extern const std::span<const dbField_CatalogueEntry> dbField_Catalogue;
extern const std::span<const dbField_FlagSet* const> dbField_FlagSets;

// "Invalid " label " name=\"" name "\" with value=\"" text "\"": the message of every
// refused name, and of the import's own refusals under their own labels.
Str dbField_InvalidValueMessage(const Str& label, const Str& name, const Str& text);

// Removes and returns the text's first blank-separated token; both the token and the
// rest come back without blanks at their ends. Only 0x20 separates.
Str dbField_CutFirstToken(Str& text);

// The value of a child's text: its default when the text is empty and the type has
// one, else the value of the name equal to the text; throws the invalid-value message
// (labelled with the type, quoting childName and text) when no name is equal.
int32_t dbField_LoadText(const dbField_Enum& type, dbField_ChildName childName, const Str& text);

// The primary name of a value. A value outside the table reports !"improper <type>"
// and gives the empty text.
Str dbField_Save(const dbField_Enum& type, int32_t value);

// The mask of a blank-separated list of flag names; tokens that are no name are
// skipped, so this never fails.
uint32_t dbField_LoadFlagsText(const dbField_FlagSet& set, const Str& text);

// The names of the mask's named bits in ascending bit order, joined by single blanks.
Str dbField_SaveFlags(const dbField_FlagSet& set, uint32_t mask);

// A record's two-character derivation code: the first character in the low byte, as
// the records hold it (16 bits).
using DerivationCode = uint16_t;
inline constexpr DerivationCode dbField_BlankDerivation = 0x2020; // two blanks

// Empty text gives two blanks; any text that is not exactly two bytes throws
// "Derivation code is not 2 characters".
DerivationCode dbField_DerivationFromText(const Str& text);
// The code's characters, low byte first; a zero byte ends the text.
Str save_DerivationCode(DerivationCode code);

// The road template choice: "DBROAD_UserDefinedTemplate" 0, "DBROAD_NoTemplate" 1,
// "DBROAD_InterpolateTemplate" 2; anything else is 1. Never fails.
int32_t dbField_ParseTemplateChoice(const Str& text);

// The place (0..2) of a coordinate component (1 north, 2 east, 3 elevation) in a
// dbconfig_CoordOrder; anything it cannot place reports "0" and gives 2.
int32_t dbField_CoordOrderPosition(int32_t order, int32_t component);

// The writers, one per written enumeration: save_units_Type(47) is "UNITS_None".
#define DBFIELD_DECLARE_WRITER(type) \
    inline Str save_##type(int32_t value) { return dbField_Save(dbField_##type, value); }
DBFIELD_WRITTEN_ENUMERATIONS(DBFIELD_DECLARE_WRITER)
#undef DBFIELD_DECLARE_WRITER

inline Str save_dblaser_Features(int32_t mask) {
    return dbField_SaveFlags(dbField_dblaser_Features, static_cast<uint32_t>(mask));
}
inline Str save_coordsys_ValuesPresent(int32_t mask) {
    return dbField_SaveFlags(dbField_coordsys_ValuesPresent, static_cast<uint32_t>(mask));
}

inline Str save_coordsys_CogoSettings(coordsys_CogoSettings settings) {
    return dbField_SaveFlags(dbField_coordsys_CogoSettings, static_cast<uint32_t>(settings.Value()));
}

// The text of the parent's first child of that name, or `absent` when there is none;
// the reference lives as long as the element, or as `absent`.
const Str& dbField_ChildText(const xml_Element* element, dbField_ChildName childName,
                             const Str& absent);

// An enumeration value read from the text of the parent's first child of that name (an
// absent child reads as the empty text); throws as dbField_LoadText.
int32_t dbField_Load(const dbField_Enum& type, const xml_Element* element, dbField_ChildName childName);

// The loaders, one per enumeration: load_dbentity_SurveyMethod(element, "SurveyMethod").
#define DBFIELD_DECLARE_LOADER(type)                                                \
    inline int32_t load_##type(const xml_Element* element, dbField_ChildName childName) { \
        return dbField_Load(dbField_##type, element, childName);                   \
    }
DBFIELD_WRITTEN_ENUMERATIONS(DBFIELD_DECLARE_LOADER)
DBFIELD_READ_ONLY_ENUMERATIONS(DBFIELD_DECLARE_LOADER)
#undef DBFIELD_DECLARE_LOADER

// Flag sets read from a child element; an absent or empty child gives 0. Never fail.
int32_t load_dblaser_Features(const xml_Element* element, dbField_ChildName childName);
int32_t load_coordsys_ValuesPresent(const xml_Element* element, dbField_ChildName childName);
coordsys_CogoSettings load_coordsys_CogoSettings(const xml_Element* element, dbField_ChildName childName);

// The derivation code of a child element: two blanks when absent or empty.
DerivationCode load_DerivationCode(const xml_Element* element, dbField_ChildName childName);

// A point's classification (-1..9) from the names of db_PointClassification ("None",
// "Check", ... "Control"); throws the invalid-value message labelled
// "dbentity_Classification".
int32_t dbField_ClassificationFromText(dbField_ChildName childName, const Str& text);
int32_t load_dbentity_Classification(const xml_Element* element, dbField_ChildName childName);

// The older names, which also carry the deleted state ("DBENTITY_DeletedNormal"). Both
// outputs are set only on success; any other text throws the invalid-value message
// labelled "load_legacy_dbentity_Classification" for the child "Classification".
void load_legacy_dbentity_Classification(const Str& text, db_PointClassification& classification,
                                         bool& deleted);
