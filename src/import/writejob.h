// The job writer: the state of one conversion, from the job header element to the end,
// and what every element handler shares with it: the version gates that tell older
// export layouts from newer ones, the "TimeStamp" reader, and the child readers that
// turn the text of a child element into a field value.
//
// An export writes each field of a record as one child element of the record's
// element. The readers fix how absent and empty children read (absent is not the same
// as empty for the optional readers), and throw their refusals as a Str built by
// dbField_InvalidValueMessage: "Invalid <label> name="<child>" with value="<text>"".
// Numbers are read as the C runtime reads them in the "C" locale
// (foundation/text/number.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "foundation/text/str.h"
#include "import/idmap.h"
#include "import/writejob_childname.h"
#include "import/roadsetcache.h"
#include "jobdb/dbjournal.h"
#include "records/dbid.h"

class coord_LaserOffset;
class coord_ECEFDeltas;
class db_Radio;
class JobDatabase;
class dbAccess;
class dbRecord_Class;
class xml_Element;
struct writejob_Fixer;
struct writejob_ElementHandler;

class JobWriter {
public:
    // product "Quorvel Tessaline" (exactly) makes version the second product's; any
    // other product makes it the main product's.
    JobWriter(JobDatabase* job, const Str& product, int version);
    JobWriter(const JobWriter&) = delete;
    JobWriter& operator=(const JobWriter&) = delete;
    ~JobWriter();

    // The version gates, v the main product's version and t the second product's;
    // a missing version is 0 in both.
    // from T / F: v >= T or t >= F. A missing version counts as the oldest.
    bool IsVersionFrom(int mainThreshold, int tessalineThreshold) const {
        return mainVersion >= mainThreshold || tessalineVersion >= tessalineThreshold;
    }
    // before T / F: (0 < v < T) or (0 < t < F). A missing version counts as new.
    bool IsVersionBefore(int mainThreshold, int tessalineThreshold) const {
        return (mainVersion > 0 && mainVersion < mainThreshold) ||
               (tessalineVersion > 0 && tessalineVersion < tessalineThreshold);
    }
    // main before T: 0 < v < T; false for a missing version and the second product.
    bool IsMainVersionBefore(int mainThreshold) const {
        return mainVersion > 0 && mainVersion < mainThreshold;
    }
    // main below 1245: v < 1245; true for a missing version and the second product.
    bool IsMainVersionBelow1245() const { return mainVersion < 1245; }

    // Point observations and their measurements (writejob_points.cpp,
    // writejob_measurements.cpp). A stored observation becomes the open entity; a
    // measurement is applied to it. An observation element may nest one measurement.
    void WriteObservation(const xml_Element* element);
    void WritePoint(const xml_Element* element);
    // The first nested measurement of the fixed search list (azimuth first, WGS-84
    // last), whatever the document order; the others are ignored.
    void WriteObservationMeasurement(const xml_Element* element);
    void WritePolar(const xml_Element* element);
    void WriteLaserOffset(const xml_Element* element);
    void WriteCircle(const xml_Element* element);
    void WriteAzimuth(const xml_Element* element);
    void WriteMeanTurnedAngle(const xml_Element* element);
    void WriteMeanTurnedAngleResiduals(const xml_Element* element);
    // Held back as pendingDistanceOffset while no entity is open.
    void WriteDistanceOffset(const xml_Element* element);
    void WriteECEF(const xml_Element* element);
    void WriteECEFGround(const xml_Element* element);
    void WriteWGS84(const xml_Element* element);
    void WriteLocal(const xml_Element* element);
    void WriteGrid(const xml_Element* element);
    void WriteLocalTransformedGrid(const xml_Element* element);
    void WriteECEFDeltas(const xml_Element* element);
    // "Azimuth", "VertAngle" and the slope distance ("SlopeDist" from 1200 / 600,
    // "SlopeDistance" before); an absent group leaves the value null.
    void ReadLaserOffset(const xml_Element* element, const Str& groupName, coord_LaserOffset& value) const;
    // "dX", "dY", "dZ" from 1200 / 600, "XDelta", "YDelta", "ZDelta" before; an absent
    // group leaves the value null.
    void ReadECEFDeltas(const xml_Element* element, const Str& groupName, coord_ECEFDeltas& value) const;

    // Features (writejob_features.cpp). ReadFeatures follows the store of an
    // observation, line or arc (record is the handler's own copy); WriteFeatureAttribData
    // adds a feature element's features to the open entity and writes them. Without an
    // open observation, line or arc a feature element fails the conversion.
    void ReadFeatures(dbRecord_Class* record, const xml_Element* element);
    void WriteFeatureAttribData(const xml_Element* element);

    // The map from XML record IDs to record ids. A later entry for an ID hides an
    // earlier one; an ID never entered gives NODBID.
    void MapRecordId(uint32_t xmlId, DBID recordId) { idMap.Set(xmlId, recordId); }
    DBID FindRecordId(uint32_t xmlId) const { return idMap.Find(xmlId); }
    // A reference field holding an XML ID takes the record id the map gives; 0 stays 0
    // and an ID the map does not hold becomes 0, silently. label is the field's child
    // name.
    void ResolveReference(const char* label, DBID& field) const;

    // The second pass: every record of a type that holds references has its XML IDs
    // replaced by record ids and is written back in place. Throws the first failure
    // as "Error while trying to fix database pointers: \n" + message +
    // "\nrecord type = " + "%03d" type + " at position " + "0x%08x" record id.
    void FixDatabasePointers();
    // The same with another fixer table (for tests).
    void FixDatabasePointers(std::span<const writejob_Fixer> fixers);

    // The dispatcher: the handler of the element's name, or nothing for a name outside
    // the element table. A message thrown by the handler comes back as
    // "XML read error: \n" + message + "\n" + element name [+ " ID=\"<ID>\""].
    void WriteElement(const xml_Element* element);
    // The same over another element table (for tests).
    void WriteElement(const xml_Element* element, std::span<const writejob_ElementHandler> table);
    // Stores a record a handler built (the record stays the handler's): its timestamp
    // from the element, stored as its type asks, its "ID" entered into the map, and the
    // open entity, queued notes and held-back distance offset kept up to date. Throws
    // when the job refuses the record.
    void StoreRecord(const xml_Element* element, dbRecord_Class* record);

    // Handlers.
    void WriteNote(const xml_Element* element);
    void WriteEndEntity(const xml_Element* element);
    // The road definition elements, collected into roadSet (writejob_roads.cpp).
    void WriteRoadHeader(const xml_Element* element);
    void WriteHorzHeader(const xml_Element* element);
    void WriteHorzStraight(const xml_Element* element);
    void WriteHorzArcAngLen(const xml_Element* element);
    void WriteHorzArcRadLen(const xml_Element* element);
    void WriteHorzArcRadAng(const xml_Element* element);
    void WriteHorzSpiral(const xml_Element* element);
    void WriteVertHeader(const xml_Element* element);
    void WriteVertArc(const xml_Element* element);
    void WriteVertParabola(const xml_Element* element);
    void WriteVertAsymParabola(const xml_Element* element);
    void WriteVertPoint(const xml_Element* element);
    void WriteApplyTmplts(const xml_Element* element);
    void WriteApplySuper(const xml_Element* element);
    void WriteTmpltHeader(const xml_Element* element);
    void WriteTmpltDistGrade(const xml_Element* element);
    void WriteTmpltDistDelta(const xml_Element* element);
    void WriteTmpltBatter(const xml_Element* element);
    // The other markers and the start of a round (writejob_markers.cpp).
    void WriteCalibBegin(const xml_Element* element);
    void WriteResectBegin(const xml_Element* element);
    void WriteStationSetupResidualsBegin(const xml_Element* element);
    void WriteMeanTurnedAngleResidualsBegin(const xml_Element* element);
    void WriteEndContinuous(const xml_Element* element);
    void WriteEndStyle(const xml_Element* element);
    void WriteContinuous(const xml_Element* element);
    void WriteStartRounds(const xml_Element* element);
    void WriteStartRound(const xml_Element* element);
    void WriteEndRound(const xml_Element* element);
    void WriteEndRounds(const xml_Element* element);

    // Job properties, station offsets, surface scans and cogo transformations
    // (writejob_jobproperties.cpp).
    void WriteJobProperties(const xml_Element* element);
    // The equated station is read for road, alignment and tunnel entities only.
    void WriteStationOffset(const xml_Element* element);
    void WriteSurfaceScan(const xml_Element* element);
    void WriteCogoTransformation(const xml_Element* element);

    // Stakeout results and road stake-out settings (writejob_stakeout.cpp). A linear
    // design of the road entity is held as pendingLinearDesign and appended by the next
    // road design, just before it.
    void WriteGridDeltas(const xml_Element* element);
    void WriteLinearDeltas(const xml_Element* element);
    void WritePointDesign(const xml_Element* element);
    void WriteExtraPointDesignElevations(const xml_Element* element);
    void WriteLinearDesign(const xml_Element* element);
    void WriteDTMDesign(const xml_Element* element);
    void WriteDTMDeltas(const xml_Element* element);
    void WriteRelativeDTMDeltas(const xml_Element* element);
    void WriteSlopeDesign(const xml_Element* element);
    void WriteRoadDesign(const xml_Element* element);
    void WriteRoadDeltas(const xml_Element* element);
    void WriteSecondaryRoadDeltas(const xml_Element* element);
    void WriteRoadCatchDelta(const xml_Element* element);
    void WriteCrossSectionReport(const xml_Element* element);
    void WriteRoadAvailableStations(const xml_Element* element);
    // Main-product exports 1..1119 are skipped whole.
    void WriteRoadConstructionOffsets(const xml_Element* element);

    // Coordinate geometry (writejob_cogo.cpp). A stored line or arc becomes the open
    // entity. An inverse element of a main-product export before 1100 whose
    // "InverseType" names an azimuth or distance computation is stored as that
    // computation (WriteInverseAsComputeAzimuth, WriteInverseAsComputeDistance).
    void WriteEllipsoid(const xml_Element* element);
    void WriteLine(const xml_Element* element);
    void WriteArc(const xml_Element* element);
    void WriteInverse(const xml_Element* element);
    void WriteInverseAsComputeAzimuth(const xml_Element* element);
    void WriteInverseAsComputeDistance(const xml_Element* element);
    void WriteComputeAzimuth(const xml_Element* element);
    void WriteComputeDistance(const xml_Element* element);
    void WritePointKeyin(const xml_Element* element);

    // GNSS records, radio links and the NTRIP source (writejob_gnss.cpp).
    void WriteQC1(const xml_Element* element);
    void WriteQC2(const xml_Element* element);
    void WriteQC3(const xml_Element* element);
    void WriteEquipment(const xml_Element* element);
    void WriteAntenna(const xml_Element* element);
    void WriteRoverSurvey(const xml_Element* element);
    void WriteBaseSurvey(const xml_Element* element);
    void WriteSurveyEvent(const xml_Element* element);
    void WriteContParameters(const xml_Element* element);
    void WriteRoverRadio(const xml_Element* element);
    void WriteBaseRadio(const xml_Element* element);
    void WriteInitialisation(const xml_Element* element);
    void WriteReference(const xml_Element* element);
    void WritePostProcess(const xml_Element* element);
    void WriteNTRIPDataSource(const xml_Element* element);
    // The radio body of both radio elements; "DialProfileName" and
    // "PromptForDialProfile" from 1130 / 500, "BluetoothAddress" from 1200 / 500.
    void ReadRadio(const xml_Element* element, db_Radio& record) const;

    // Units, survey style settings and polar deltas (writejob_stylesettings.cpp). An
    // older units element also stores a coordinate view record.
    void WriteUnits(const xml_Element* element);
    void WriteCoordViewType(const xml_Element* element);
    void WriteTracking(const xml_Element* element);
    void WriteGPSReading(const xml_Element* element);
    void WriteTSReading(const xml_Element* element);
    void WriteL2OTFTimes(const xml_Element* element);
    void WriteL1StaticTimes(const xml_Element* element);
    void WriteControlTimes(const xml_Element* element);
    void WriteFSL1Times(const xml_Element* element);
    void WriteFSL2Times(const xml_Element* element);
    void WriteNewPtTimes(const xml_Element* element);
    void WriteTolerance(const xml_Element* element);
    void WriteContPoints(const xml_Element* element);
    void WriteFastStatic(const xml_Element* element);
    void WriteConfigStakeOut(const xml_Element* element);
    void WriteCheckShot(const xml_Element* element);
    void WriteQuickMark(const xml_Element* element);
    void WriteRTKCont(const xml_Element* element);
    void WritePolarDeltas(const xml_Element* element);

    // Coordinate-system definitions (writejob_coordsys.cpp). A stored corrections body
    // also goes to the road-set cache, so later road elements follow it.
    void WriteDatum(const xml_Element* element);
    void WriteProjection(const xml_Element* element);
    void WritePlane(const xml_Element* element);
    void WriteHeight(const xml_Element* element);
    void WriteCorrections(const xml_Element* element);

    // Job settings (writejob_settings.cpp). A time-stamp element becomes a note of its
    // own, or nothing.
    void WritePrecision(const xml_Element* element);
    void WriteCoding(const xml_Element* element);
    void WriteDescriptionsDefinition(const xml_Element* element);
    void WriteMeterological(const xml_Element* element);
    void WriteConfigCalib(const xml_Element* element);
    void WriteCalibPoint(const xml_Element* element);
    void WriteArea(const xml_Element* element);
    void WriteSubdividedArea(const xml_Element* element);
    void WriteCoordSystem(const xml_Element* element);
    void WriteCoordSysControl(const xml_Element* element);
    void WriteTimeStamp(const xml_Element* element);

    // Station set-ups and traverses (writejob_traverse.cpp). Both residual elements
    // store a db_StationSetupResiduals; they differ in the "rec" they expect.
    void WriteStationing(const xml_Element* element);
    void WriteResectResidual(const xml_Element* element);
    void WriteStationSetupResidual(const xml_Element* element);
    void WriteResectErrors(const xml_Element* element);
    void WriteTraverseHeader(const xml_Element* element);
    void WriteTraverseClosure(const xml_Element* element);
    void WriteTraverseAdjustment(const xml_Element* element);

    // File lists, images and cameras (writejob_filelists.cpp). A slot "index" outside
    // 0..255 fails the element; a list's count is the number of slots it fills.
    void WriteStakeoutList(const xml_Element* element);
    void WriteAttachedFiles(const xml_Element* element);
    void WriteBackgroundFileList(const xml_Element* element);
    void WriteImage(const xml_Element* element);
    void WriteCamera(const xml_Element* element);

    // Scans, tunnels, import brackets, echo sounding and 3D axes (writejob_scanning.cpp).
    // A stored tunnel list becomes the open entity; its nested points of its own kind
    // are applied to it after it is stored, other children are passed over.
    void WriteScanning(const xml_Element* element);
    void WritePanorama(const xml_Element* element);
    void WriteGridStdDeviations(const xml_Element* element);
    void WriteTimeZone(const xml_Element* element);
    void WriteTunnelXSPoints(const xml_Element* element);
    void WriteTunnelCrossSection(const xml_Element* element);
    void WriteTunnelXSSetoutPoints(const xml_Element* element);
    void WriteTunnelPointDelta(const xml_Element* element);
    void WriteTunnelSetoutPoint(const xml_Element* element);
    void WriteTunnelSettings(const xml_Element* element);
    void WriteImportDataBegin(const xml_Element* element);
    void WriteImportDataEnd(const xml_Element* element);
    void WriteEchoSounding(const xml_Element* element);
    void WriteEchoSounderConfig(const xml_Element* element);
    void Write3DAxes(const xml_Element* element);

    // Averaged residuals, automatic entity names and local transformations
    // (writejob_localtransform.cpp).
    void WriteAverageResiduals(const xml_Element* element);
    void WriteAutoEntityNames(const xml_Element* element);
    void WriteLocalTransformation(const xml_Element* element);
    void WriteLineTransformationDefinition(const xml_Element* element);
    void WriteLocalTransformationPointPair(const xml_Element* element);
    void WriteLocalTransformationHelmertParameters(const xml_Element* element);

    // Conventional instrument records (writejob_conventional.cpp). The four target
    // elements store one record class under their own names.
    void WriteSurveyStyle(const xml_Element* element);
    void WriteIntegratedStyle(const xml_Element* element);
    void WriteIntegratedTarget(const xml_Element* element);
    void WriteLaserBasePoint(const xml_Element* element);
    void WriteLaserHeight(const xml_Element* element);
    void WriteLaserTargetHeight(const xml_Element* element);
    void WriteLaserConfig(const xml_Element* element);
    void WriteTarget(const xml_Element* element);
    void WriteTarget1(const xml_Element* element);
    void WriteTarget2(const xml_Element* element);
    void WriteTargetSystem(const xml_Element* element);
    void WriteDualPrismOffset(const xml_Element* element);
    void WriteCircularObject(const xml_Element* element);
    void WriteRemoteObject(const xml_Element* element);
    void WriteAngleOffset(const xml_Element* element);
    void WriteAtmosphere(const xml_Element* element);
    void WriteBackBearing(const xml_Element* element);
    void WriteInstrument(const xml_Element* element);
    void WriteStation(const xml_Element* element);

    JobDatabase* job;
    dbAccess* database;
    writejob_RecordIdMap idMap;
    // The open entity: the last point observation, line, arc or tunnel list stored.
    DBID current;
    int32_t mainVersion;
    int32_t tessalineVersion;
    // Held back until the next measurement (distance offset) or the next road design
    // element (linear design of the road entity); freed unstored when the writer ends.
    std::unique_ptr<dbRecord_Class> pendingDistanceOffset;
    std::unique_ptr<dbRecord_Class> pendingLinearDesign;
    StrArray queuedNotes;
    // Their length joined: notes that no record could hold are refused as they come.
    int64_t queuedNotesLength = 0;
    bool inRoad;
    RoadSetCache roadSet;
};

// One entry of the dispatcher's table: an element name, the "rec" value its handler
// expects (null where the handler checks none or a version decides it), and the
// handler, null until its family is built (the element is then skipped like a name
// outside the table).
struct writejob_ElementHandler {
    const char* name;
    const char* rec;
    void (*handler)(JobWriter& control, const xml_Element* element);
};
// The 177 record element names of an export.
std::span<const writejob_ElementHandler> writejob_ElementTable();
// The entry of a name, compared byte for byte; null for a name outside the table.
const writejob_ElementHandler* writejob_FindElement(const Str& name,
                                                    std::span<const writejob_ElementHandler> table);

// Throws "record of type <type> not stored: <why>": a record the job refused would
// leave a job that silently lacks it.
[[noreturn]] void writejob_ThrowNotStored(const dbRecord_Class* record, const char* why);

// Returns when the element's "rec" attribute is exactly recName; throws
// "missing rec=\"<recName>\"" or "wrong rec sttribute: <value> instead of <recName>".
void writejob_CheckRecAttribute(const xml_Element* element, const char* recName);

// Rewrites the record stored at id with the given one, in the same place of the chain
// (a replace action); the id, or NODBID when the store was refused.
DBID writejob_ReplaceRecord(dbAccess* database, DBID id, dbRecord_Class* record);

// The folder the road files of a job go to: the job path up to and including its last
// separator ("\\" or "/"), or empty when it has none.
Str writejob_RoadFileDirectory(const Str& jobPath);

// The road files written by conversions, kept until the host fetches the last one.
// The list itself is built when the library loads; names still in it at unload are freed.
StrArray& ExtraOutputFiles();
void writejob_AddExtraOutputFile(const Str& name);
// The name at index (empty when there is none); fetching the last index empties the list.
Str writejob_TakeExtraOutputFile(int index);
int writejob_ExtraOutputFileCount();
// Held by a whole conversion and by the exports that read the list: the list, the
// converter transformation and the other process-wide tables serve one conversion at a time.
class platform_CriticalSection;
platform_CriticalSection& writejob_ConversionLock();

// The name of the second product, whose exports count versions of their own.
inline constexpr const char* writejob_TessalineProduct = "Quorvel Tessaline";

// The record's timestamp from the element's "TimeStamp" attribute: MATHS_Null when
// the attribute is absent or empty.
void writejob_ReadTimeStamp(const xml_Element* element, dbRecord_Class* record);
// The texts of every child named tagName, in document order, each followed by "\r\n".
// Notes that no job record could hold are refused before they are copied: throws.
Str writejob_ReadNotes(const xml_Element* element, const char* tagName);
// Throws for notes of that many bytes when no job record could hold them.
void writejob_CheckNotesLength(int64_t length);
// Throws for a text (or texts) of that many bytes, named `what` in the message, when no
// job record could hold them: the journal would refuse the record, and a long text is
// not copied on its way there. Inline: every text read for a record passes here.
[[noreturn]] void writejob_ThrowTextTooLong(const char* what, int64_t length);
inline void writejob_CheckTextLength(const char* what, int64_t length) {
    if (length > static_cast<int64_t>(DBJOURNAL_MaxRecordLength)) [[unlikely]]
        writejob_ThrowTextTooLong(what, length);
}

// Child readers. A child "exists" when the element has a child of that name; the text
// of an absent child is empty.
double writejob_ReadDouble(const xml_Element* element, writejob_ChildName childName);
// Absent: the default; present and empty: MATHS_Null.
double writejob_ReadOptionalDouble(const xml_Element* element, writejob_ChildName childName,
                                   double defaultValue);
int32_t writejob_ReadInt(const xml_Element* element, writejob_ChildName childName);
// Absent: the default; present and empty: 0.
int32_t writejob_ReadOptionalInt(const xml_Element* element, writejob_ChildName childName,
                                 int32_t defaultValue);
// "0x" and hexadecimal digits as writejob_ParseRecordId reads them, else atoi;
// absent or empty: 0.
int32_t writejob_ReadHexOrDecimal(const xml_Element* element, writejob_ChildName childName);
int32_t writejob_ReadOptionalHexOrDecimal(const xml_Element* element, writejob_ChildName childName,
                                          int32_t defaultValue);
// "true" or "false" in any letter case; anything else, an empty or an absent child
// throws (label "bool", quoting the lower-cased text).
bool writejob_ReadBool(const xml_Element* element, writejob_ChildName childName);
// Absent: the default; present and empty: throws.
bool writejob_ReadOptionalBool(const xml_Element* element, writejob_ChildName childName,
                               bool defaultValue);
// A text no job record could hold (longer than 512 KiB) throws before it is copied;
// so do the string readers below.
Str writejob_ReadString(const xml_Element* element, writejob_ChildName childName);
// As writejob_ReadString with every unit separator (0x1F) written as a middle dot.
Str writejob_ReadText(const xml_Element* element, writejob_ChildName childName);
// The texts of the named child's children "Description1" and "Description2" replace
// the coded entity's descriptions; without the child they are unchanged.
class dbRecordWithFeatures_Class;
void writejob_ReadDescriptions(const xml_Element* element, writejob_ChildName childName,
                               dbRecordWithFeatures_Class& record);
// A reference: the XML ID of another record, held in the field until the second pass
// resolves it; absent or empty: 0 (no reference).
DBID writejob_ReadReference(const xml_Element* element, writejob_ChildName childName);
// A calibration date: the child's text scanned as a signed 64-bit decimal, of which only
// the low 32 bits are kept, widened with zero high bits; absent or empty: 0.
int64_t writejob_ReadCalibDate64(const xml_Element* element, writejob_ChildName childName);
// The texts of the run of "item" children under the named child, from its first
// "item" to the first sibling of another name; with indexes, each item's "index"
// attribute too (empty when absent).
void writejob_ReadStringList(const xml_Element* element, writejob_ChildName childName, StrArray& texts,
                             StrArray* indexes = nullptr);

// An XML ID: "0x" (lower-case x) and hexadecimal digits in either case, wrapping
// above eight digits; "0x" alone is 0. Throws "hex number (missing 0x prefix)" or
// "hex number" refusals quoting name and the whole text.
uint32_t writejob_ParseRecordId(const Str& text, const Str& name);
// The same for a literal name, which is made into a Str only for a refusal.
uint32_t writejob_ParseRecordId(const Str& text, const char* name);
// 0-9, A-F and a-f give their values; anything else -1.
int writejob_HexDigitValue(char c);

// Scanners over a text in hand.
// atof of the text; MATHS_Null for an empty text.
double writejob_TextToDouble(const Str& text);
// "%lf"; MATHS_Null when the text is empty or holds no number.
double writejob_ScanDouble(const Str& text);
// "%u" ("-1" gives 4294967295); 0 when no number is read.
uint32_t writejob_ScanUnsigned(const Str& text);
// "%d"; 0 when no number is read.
int32_t writejob_ScanInt(const Str& text);
// A copy with every unit separator (0x1F) replaced by a middle dot (C2 B7).
Str writejob_ReplaceUnitSeparators(const Str& text);
// One integer formatted as sprintf would, into at most 999 bytes (longer is reported
// as "length < 1000" and cut).
Str writejob_Format(const char* format, int value);
Str writejob_Format(const char* format, uint32_t value);

// load_optional_<enumtype>(element, childName, default): the loader's value of the
// child when the element has that child (an empty text goes to the loader too), else
// the default.
#define WRITEJOB_OPTIONAL_ENUMERATIONS(X)                                                    \
    X(dbgps_SatDiffCorrection) X(dbconfig_DecAngleDisplay) X(dbconfig_DistanceDisplay)        \
    X(dbconfig_AzimuthFormat) X(dbconfig_GPSTimeDisplay) X(rs232_Ports) X(rs232_ParityCodes)  \
    X(dbgps_eRadioSubtype) X(dbgps_ConnectionType) X(dbgps_VRSStoreType)                      \
    X(dbconfig_OffsetPerspectiveMode) X(total_AtmosphereMethod) X(total_MeasurementMode)      \
    X(dbqz_VerticalCalibrationMethod) X(coord_Type) X(dbconfig_DeltasMode)                    \
    X(dbentity_PointMethod) X(dbentity_AzimuthType) X(dbentity_DirectionAlongLine)            \
    X(coordsys_WeightExponent) X(coordsys_CrossSectionInterpolationMethod)                    \
    X(dbgps_Throttling) X(coord_Face) X(dbentity_SideSlopeHingeDerv) X(dbentity_RoadType)     \
    X(total_RMTIDs) X(total_CorvaneTargetIDCheckType) X(total_PrismTypes)                     \
    X(total_TargetHeightMethod) X(total_ScaleFactorType) X(total_StationType)                 \
    X(dbentity_SurfaceScanLineMethod)

struct dbField_Enum;
int32_t writejob_LoadOptional(const dbField_Enum& type, const xml_Element* element,
                              writejob_ChildName childName, int32_t defaultValue);

#define WRITEJOB_DECLARE_OPTIONAL_LOADER(type)                                           \
    int32_t load_optional_##type(const xml_Element* element, writejob_ChildName childName, \
                                 int32_t defaultValue);
WRITEJOB_OPTIONAL_ENUMERATIONS(WRITEJOB_DECLARE_OPTIONAL_LOADER)
#undef WRITEJOB_DECLARE_OPTIONAL_LOADER
