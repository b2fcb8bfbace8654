// Coordinate measurement elements: earth-centred, earth-centred at ground scale,
// WGS-84, local datum, grid, locally transformed grid, and earth-centred deltas. Each
// stands at the top level or nested in an observation element; either way its record
// is applied to the open entity.
#include "foundation/coords/coord.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "records/measurements.h"

namespace {

// Notes first; the record's own children come after.
template <class Record>
void ReadNotes(const xml_Element* element, Record& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
}

}  // namespace

void JobWriter::WriteECEF(const xml_Element* element) {
    db_ECEF record;
    ReadNotes(element, record);
    writejob_ReadXYZ(element, "ECEF", record.ECEF);
    record.Antenna = writejob_ReadReference(element, "Antenna");
    writejob_CheckRecAttribute(element, "db_ECEF");
    StoreRecord(element, &record);
}

void JobWriter::WriteECEFGround(const xml_Element* element) {
    db_ECEFGround record;
    ReadNotes(element, record);
    writejob_ReadXYZ(element, "ECEFGround", record.ECEFGround);
    writejob_CheckRecAttribute(element, "db_ECEFGround");
    StoreRecord(element, &record);
}

void JobWriter::WriteWGS84(const xml_Element* element) {
    db_WGS84 record;
    ReadNotes(element, record);
    writejob_ReadLatLongHeight(element, "WGS84", record.WGS84);
    writejob_CheckRecAttribute(element, "db_WGS84");
    StoreRecord(element, &record);
}

void JobWriter::WriteLocal(const xml_Element* element) {
    db_Local record;
    ReadNotes(element, record);
    writejob_ReadLatLongHeight(element, "Local", record.Local);
    writejob_CheckRecAttribute(element, "db_Local");
    StoreRecord(element, &record);
}

void JobWriter::WriteGrid(const xml_Element* element) {
    db_Grid record;
    ReadNotes(element, record);
    writejob_ReadGrid(element, "Grid", record.Grid);
    writejob_CheckRecAttribute(element, "db_Grid");
    StoreRecord(element, &record);
}

void JobWriter::WriteLocalTransformedGrid(const xml_Element* element) {
    db_LocalTransformedGrid record;
    ReadNotes(element, record);
    writejob_ReadGrid(element, "LocalTransformedGrid", record.LocalTransformedGrid);
    record.ReferenceTransformation = writejob_ReadString(element, "ReferenceTransformation");
    writejob_CheckRecAttribute(element, "db_LocalTransformedGrid");
    StoreRecord(element, &record);
}

void JobWriter::ReadECEFDeltas(const xml_Element* element, const Str& groupName,
                               coord_ECEFDeltas& value) const {
    const xml_Element* group = element->FindChild(groupName.Data());
    if (!group) {
        value.SetNull();
        return;
    }
    const bool newNames = IsVersionFrom(1200, 600);
    value.dX = writejob_GroupDouble(group, newNames ? "dX" : "XDelta");
    value.dY = writejob_GroupDouble(group, newNames ? "dY" : "YDelta");
    value.dZ = writejob_GroupDouble(group, newNames ? "dZ" : "ZDelta");
}

void JobWriter::WriteECEFDeltas(const xml_Element* element) {
    db_ECEFDeltas record;
    ReadNotes(element, record);
    ReadECEFDeltas(element, "ECEFDeltas", record.ECEFDeltas);
    record.Reference = writejob_ReadReference(element, "Reference");
    record.Antenna = writejob_ReadReference(element, "Antenna");
    writejob_CheckRecAttribute(element, "db_ECEFDeltas");
    StoreRecord(element, &record);
}
