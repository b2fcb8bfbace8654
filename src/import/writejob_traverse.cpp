// The station set-up and traverse record elements (see writejob_traverse.h).
#include "import/writejob_traverse.h"

#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_cogo.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/traverse.h"
#include "vocabulary/dbField.h"

void writejob_ReadTraverseLegs(const xml_Element* element, const Str& groupName, dbrecord_TraverseLegs& legs) {
    const xml_Element* group = element->FindChild(groupName.Data());
    if (!group) return;
    for (const xml_Element* child = group->FindChild("Leg"); child && child->name == "Leg";
         child = child->nextSibling) {
        // Each leg is read fresh into its own slot, which saves copying its names.
        legs.Add(dbrecord_TraverseLeg());
        dbrecord_TraverseLeg& leg = *legs.GetAt(legs.Count() - 1);
        leg.FromPt = writejob_ReadString(child, "FromPt");
        leg.ToPt = writejob_ReadString(child, "ToPt");
        writejob_ReadPolar(child, "Polar", leg.Polar);
    }
}

void writejob_ReadStationingRecord(const xml_Element* element, db_Stationing& record) {
    record.Start = writejob_ReadDouble(element, "Start");
    record.Increment = writejob_ReadDouble(element, "Increment");
}

void writejob_ReadStationSetupResidualsRecord(const xml_Element* element, db_StationSetupResiduals& record) {
    record.Derivation = load_DerivationCode(element, "Derivation");
    record.PointName = writejob_ReadString(element, "PointName");
    record.Dimension = load_dbtype_Dimension(element, "Dimension");
    writejob_ReadGrid(element, "Grid", record.Grid);
    writejob_ReadGridDeltas(element, "GridResidual", record.GridResidual);
    writejob_ReadCorrected(element, "AngleResidual", record.AngleResidual);
    record.AzimuthResidual = writejob_ReadDouble(element, "AzimuthResidual");
    record.LongitudinalDistanceResidual = writejob_ReadDouble(element, "LongitudinalDistanceResidual");
    record.OrthogonalDistanceResidual = writejob_ReadDouble(element, "OrthogonalDistanceResidual");
    record.RadialDistResidual = writejob_ReadDouble(element, "RadialDistResidual");
    record.Round = writejob_ReadInt(element, "Round");
    record.Backsight = writejob_ReadOptionalBool(element, "Backsight", false);
    record.Observation = writejob_ReadReference(element, "Observation");
    record.MeanTurnedAngle = writejob_ReadReference(element, "MeanTurnedAngle");
}

void writejob_ReadResectErrorsRecord(const xml_Element* element, db_ResectErrors& record) {
    writejob_ReadGridDeltas(element, "Deltas", record.Deltas);
}

void writejob_ReadTraverseRecord(const xml_Element* element, db_Traverse& record) {
    record.TraverseName = writejob_ReadString(element, "TraverseName");
    record.Derivation = load_DerivationCode(element, "Derivation");
    record.Deleted = writejob_ReadDeleted(element);
    record.BSPoint = writejob_ReadString(element, "BSPoint");
    record.BSAzimuth = writejob_ReadDouble(element, "BSAzimuth");
    record.BSAzimuthKeyedIn = writejob_ReadBool(element, "BSAzimuthKeyedIn");
    record.FSPoint = writejob_ReadString(element, "FSPoint");
    record.FSAzimuth = writejob_ReadDouble(element, "FSAzimuth");
    record.FSAzimuthKeyedIn = writejob_ReadBool(element, "FSAzimuthKeyedIn");
    writejob_ReadStringList(element, "ListOfStations", record.ListOfStations);
}

void writejob_ReadTraverseClosureRecord(const xml_Element* element, db_TraverseClosure& record) {
    record.TraversePtr = writejob_ReadReference(element, "TraversePtr");
    record.AzimuthMisclose = writejob_ReadDouble(element, "AzimuthMisclose");
    record.DistanceMisclose = writejob_ReadDouble(element, "DistanceMisclose");
    record.TraverseLength = writejob_ReadDouble(element, "TraverseLength");
    record.Precision = writejob_ReadDouble(element, "Precision");
    record.DeltaNorth = writejob_ReadDouble(element, "DeltaNorth");
    record.DeltaEast = writejob_ReadDouble(element, "DeltaEast");
    record.DeltaElev = writejob_ReadDouble(element, "DeltaElev");
    record.Results = load_dbentity_TrvResultType(element, "Results");
    writejob_ReadTraverseLegs(element, "TraverseLegs", record.TraverseLegs);
}

void writejob_ReadTraverseAdjustmentRecord(const xml_Element* element, db_TraverseAdjustment& record) {
    record.Method = load_dbentity_TrvAdjustmentMethod(element, "Method");
    record.Angle = load_dbentity_TrvAdjustmentType(element, "Angle");
    record.Elevation = load_dbentity_TrvAdjustmentType(element, "Elevation");
}

namespace {

template <class R>
void Store(JobWriter& writer, const xml_Element* element, void (*read)(const xml_Element*, R&), const char* rec) {
    writejob_WriteRecord<R>(writer, element, rec, [element, read](R& record) { read(element, record); });
}

}  // namespace

void JobWriter::WriteStationing(const xml_Element* element) {
    Store(*this, element, writejob_ReadStationingRecord, "db_Stationing");
}

void JobWriter::WriteResectResidual(const xml_Element* element) {
    Store(*this, element, writejob_ReadStationSetupResidualsRecord, "db_ResectResiduals");
}

void JobWriter::WriteStationSetupResidual(const xml_Element* element) {
    Store(*this, element, writejob_ReadStationSetupResidualsRecord, "db_StationSetupResiduals");
}

void JobWriter::WriteResectErrors(const xml_Element* element) {
    Store(*this, element, writejob_ReadResectErrorsRecord, "db_ResectErrors");
}

void JobWriter::WriteTraverseHeader(const xml_Element* element) {
    Store(*this, element, writejob_ReadTraverseRecord, "db_Traverse");
}

void JobWriter::WriteTraverseClosure(const xml_Element* element) {
    Store(*this, element, writejob_ReadTraverseClosureRecord, "db_TraverseClosure");
}

void JobWriter::WriteTraverseAdjustment(const xml_Element* element) {
    Store(*this, element, writejob_ReadTraverseAdjustmentRecord, "db_TraverseAdjustment");
}
