// Coordinate measurement elements: earth-centred, earth-centred at ground scale,
// WGS-84, local datum, grid, locally transformed grid, and earth-centred deltas. Each
// stands at the top level or nested in an observation element; either way its record
// is applied to the open entity.
#include "foundation/coords/coord.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/measurements.h"

void JobWriter::WriteECEF(const xml_Element* element) {
    writejob_WriteRecord<db_ECEF>(*this, element, "db_ECEF", [&](auto& record) {
        writejob_ReadXYZ(element, "ECEF", record.ECEF);
        record.Antenna = writejob_ReadReference(element, "Antenna");
    });
}

void JobWriter::WriteECEFGround(const xml_Element* element) {
    writejob_WriteRecord<db_ECEFGround>(*this, element, "db_ECEFGround", [&](auto& record) {
        writejob_ReadXYZ(element, "ECEFGround", record.ECEFGround);
    });
}

void JobWriter::WriteWGS84(const xml_Element* element) {
    writejob_WriteRecord<db_WGS84>(*this, element, "db_WGS84", [&](auto& record) {
        writejob_ReadLatLongHeight(element, "WGS84", record.WGS84);
    });
}

void JobWriter::WriteLocal(const xml_Element* element) {
    writejob_WriteRecord<db_Local>(*this, element, "db_Local", [&](auto& record) {
        writejob_ReadLatLongHeight(element, "Local", record.Local);
    });
}

void JobWriter::WriteGrid(const xml_Element* element) {
    writejob_WriteRecord<db_Grid>(*this, element, "db_Grid", [&](auto& record) {
        writejob_ReadGrid(element, "Grid", record.Grid);
    });
}

void JobWriter::WriteLocalTransformedGrid(const xml_Element* element) {
    writejob_WriteRecord<db_LocalTransformedGrid>(*this, element, "db_LocalTransformedGrid", [&](auto& record) {
        writejob_ReadGrid(element, "LocalTransformedGrid", record.LocalTransformedGrid);
        record.ReferenceTransformation = writejob_ReadString(element, "ReferenceTransformation");
    });
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
    writejob_WriteRecord<db_ECEFDeltas>(*this, element, "db_ECEFDeltas", [&](auto& record) {
        ReadECEFDeltas(element, "ECEFDeltas", record.ECEFDeltas);
        record.Reference = writejob_ReadReference(element, "Reference");
        record.Antenna = writejob_ReadReference(element, "Antenna");
    });
}
