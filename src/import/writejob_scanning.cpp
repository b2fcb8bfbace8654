// The scan, panorama, grid deviation, time zone, tunnel, import bracket, echo-sounder
// and 3D-axes elements.
//
// A tunnel list element stores its list (which becomes the open entity) and then hands
// each direct child that is a point of its own kind to the point handler, in document
// order, so the points go onto this list; every other child is passed over. A point
// element, nested or at the top level, is applied to the open list and maps its ID to no
// record. The tunnel elements read no "Note" children.
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/imaging.h"
#include "records/laserecho.h"
#include "records/lists.h"
#include "vocabulary/dbField.h"

namespace {

// The list's own children, then its points.
template <class List>
void WriteTunnelList(JobWriter& writer, const xml_Element* element, const char* rec, const char* pointName,
                     void (JobWriter::*writePoint)(const xml_Element*)) {
    List list;
    list.TunnelName = writejob_ReadString(element, "TunnelName");
    list.Station = writejob_ReadDouble(element, "Station");
    writejob_CheckRecAttribute(element, rec);
    writer.StoreRecord(element, &list);
    for (const xml_Element* child = element->firstChild; child; child = child->nextSibling)
        if (child->name == pointName) (writer.*writePoint)(child);
}

}  // namespace

void JobWriter::WriteScanning(const xml_Element* element) {
    writejob_WriteRecord<db_Scanning>(*this, element, "db_Scanning", [&](auto& record) {
        record.StationID = writejob_ReadReference(element, "StationID");
        record.BackBearingID = writejob_ReadReference(element, "BackBearingID");
        record.ScanType = load_dbentity_ScanType(element, "ScanType");
        // An absent or empty mode is the loader's empty-text value, high speed.
        record.ScanMode = load_dbentity_ScanMode(element, "ScanMode");
        record.FileName = writejob_ReadString(element, "FileName");
        record.NumberOfPoints = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "NumberOfPoints"));
        record.TimeTaken = writejob_ReadOptionalDouble(element, "TimeTaken", MATHS_Null);
        record.AtDistance = writejob_ReadOptionalDouble(element, "AtDistance", MATHS_Null);
        record.HorizontalStep = writejob_ReadOptionalDouble(element, "HorizontalStep", MATHS_Null);
        record.VerticalStep = writejob_ReadOptionalDouble(element, "VerticalStep", MATHS_Null);
        record.HorizontalDistInterval = writejob_ReadOptionalDouble(element, "HorizontalDistInterval", MATHS_Null);
        record.VerticalDistInterval = writejob_ReadOptionalDouble(element, "VerticalDistInterval", MATHS_Null);
    });
}

void JobWriter::WritePanorama(const xml_Element* element) {
    writejob_WriteRecord<db_Panorama>(*this, element, "db_Panorama", [&](auto& record) {
        record.Method = load_dbentity_PanoramaMethod(element, "Method");
        record.Top = writejob_ReadDouble(element, "Top");
        record.Left = writejob_ReadDouble(element, "Left");
        record.Bottom = writejob_ReadDouble(element, "Bottom");
        record.Right = writejob_ReadDouble(element, "Right");
        record.HAstep = writejob_ReadDouble(element, "HAstep");
        record.VAstep = writejob_ReadDouble(element, "VAstep");
    });
}

void JobWriter::WriteGridStdDeviations(const xml_Element* element) {
    writejob_WriteRecord<db_GridStdDeviations>(*this, element, "db_GridStdDeviations", [&](auto& record) {
        writejob_ReadGrid(element, "StdDev", record.StdDev);
    });
}

void JobWriter::WriteTimeZone(const xml_Element* element) {
    writejob_WriteRecord<db_TimeZone>(*this, element, "db_TimeZone", [&](auto& record) {
        record.TimeZoneName = writejob_ReadString(element, "TimeZoneName");
        record.HoursToUTC = writejob_ReadOptionalDouble(element, "HoursToUTC", MATHS_Null);
    });
}

void JobWriter::WriteTunnelXSPoints(const xml_Element* element) {
    WriteTunnelList<db_TunnelXSPoints>(*this, element, "db_TunnelXSPoints", "DATABASE_TunnelPointDeltaRecord",
                                       &JobWriter::WriteTunnelPointDelta);
}

// The older name of the cross section of measured points.
void JobWriter::WriteTunnelCrossSection(const xml_Element* element) {
    WriteTunnelList<db_TunnelXSPoints>(*this, element, "db_TunnelCrossSection", "DATABASE_TunnelPointDeltaRecord",
                                       &JobWriter::WriteTunnelPointDelta);
}

void JobWriter::WriteTunnelXSSetoutPoints(const xml_Element* element) {
    WriteTunnelList<db_TunnelXSSetoutPoints>(*this, element, "db_TunnelXSSetoutPoints",
                                             "DATABASE_TunnelSetoutPointRecord", &JobWriter::WriteTunnelSetoutPoint);
}

void JobWriter::WriteTunnelPointDelta(const xml_Element* element) {
    db_TunnelPointDelta point;
    point.Observation = writejob_ReadReference(element, "Observation");
    point.Delta = writejob_ReadDouble(element, "Delta");
    point.HorizontalOffset = writejob_ReadDouble(element, "HorizontalOffset");
    point.VerticalOffset = writejob_ReadDouble(element, "VerticalOffset");
    point.DeltaStation = writejob_ReadDouble(element, "DeltaStation");
    writejob_CheckRecAttribute(element, "db_TunnelPointDelta");
    StoreRecord(element, &point);
}

void JobWriter::WriteTunnelSetoutPoint(const xml_Element* element) {
    db_TunnelSetoutPoint point;
    point.Observation = writejob_ReadReference(element, "Observation");
    point.HorizontalOffset = writejob_ReadDouble(element, "HorizontalOffset");
    point.VerticalOffset = writejob_ReadDouble(element, "VerticalOffset");
    point.DeltaStation = writejob_ReadDouble(element, "DeltaStation");
    writejob_CheckRecAttribute(element, "db_TunnelSetoutPoint");
    StoreRecord(element, &point);
}

void JobWriter::WriteTunnelSettings(const xml_Element* element) {
    db_TunnelSettings record;
    record.TunnelName = writejob_ReadString(element, "TunnelName");
    record.ScanInterval = writejob_ReadDouble(element, "ScanInterval");
    if (IsVersionFrom(1240, 600)) {
        record.ScanEDMTimeout = writejob_ReadDouble(element, "ScanEDMTimeout");
        record.ScanStationTolerance = writejob_ReadDouble(element, "ScanStationTolerance");
        record.ScanOverbreakTolerance = writejob_ReadDouble(element, "ScanOverbreakTolerance");
        record.ScanUnderbreakTolerance = writejob_ReadDouble(element, "ScanUnderbreakTolerance");
        record.ScanIterations = writejob_ReadInt(element, "ScanIterations");
        record.SetoutTolerance = writejob_ReadDouble(element, "SetoutTolerance");
        record.SetoutIterations = writejob_ReadInt(element, "SetoutIterations");
        record.SetoutEDMTimeout = writejob_ReadDouble(element, "SetoutEDMTimeout");
    } else {
        // The older layout has one EDM timeout for scanning and setting out.
        record.ScanEDMTimeout = writejob_ReadDouble(element, "EDMTimeout");
        record.ScanStationTolerance = writejob_ReadDouble(element, "StationTolerance");
        record.ScanOverbreakTolerance = writejob_ReadDouble(element, "OverbreakTolerance");
        record.ScanUnderbreakTolerance = writejob_ReadDouble(element, "UnderbreakTolerance");
        record.SetoutEDMTimeout = record.ScanEDMTimeout;
        record.ScanIterations = 5;
        record.SetoutTolerance = 0.1;
        record.SetoutIterations = 5;
    }
    writejob_CheckRecAttribute(element, "db_TunnelSettings");
    StoreRecord(element, &record);
}

void JobWriter::WriteImportDataBegin(const xml_Element* element) {
    writejob_WriteRecord<db_ImportDataBegin>(*this, element, "db_ImportDataBegin", [&](auto& record) {
        record.Source = writejob_ReadString(element, "Source");
    });
}

void JobWriter::WriteImportDataEnd(const xml_Element* element) {
    writejob_WriteRecord<db_ImportDataEnd>(*this, element, "db_ImportDataEnd", [&](auto& record) {
        record.EntitiesImported = writejob_ReadInt(element, "EntitiesImported");
    });
}

void JobWriter::WriteEchoSounding(const xml_Element* element) {
    writejob_WriteRecord<db_EchoSounding>(*this, element, "db_EchoSounding", [&](auto& record) {
        record.Depth = writejob_ReadDouble(element, "Depth");
    });
}

void JobWriter::WriteEchoSounderConfig(const xml_Element* element) {
    writejob_WriteRecord<db_EchoSounderConfig>(*this, element, "db_EchoSounderConfig", [&](auto& record) {
        record.EchoSounderType = load_dbecho_EchoSounderType(element, "EchoSounderType");
        record.Port = load_rs232_Ports(element, "Port");
        record.BaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "BaudRate"));
        record.DataBits = writejob_ReadInt(element, "DataBits");
        record.StopBits = writejob_ReadInt(element, "StopBits");
        record.Parity = load_rs232_ParityCodes(element, "Parity");
        record.UseEchoSounder = writejob_ReadOptionalBool(element, "UseEchoSounder", true);
        record.EchoLatency = writejob_ReadOptionalDouble(element, "EchoLatency", 0.0);
    });
}

void JobWriter::Write3DAxes(const xml_Element* element) {
    writejob_WriteRecord<db_3DAxes>(*this, element, "db_3DAxes", [&](auto& record) {
        record.P1Name = writejob_ReadString(element, "P1Name");
        record.P1Code = writejob_ReadString(element, "P1Code");
        writejob_ReadGrid(element, "P1Grid", record.P1Grid);
        record.P2Name = writejob_ReadString(element, "P2Name");
        record.P2Code = writejob_ReadString(element, "P2Code");
        writejob_ReadGrid(element, "P2Grid", record.P2Grid);
        record.OrthogHorizontalOffset = writejob_ReadDouble(element, "OrthogHorizontalOffset");
        record.OrthogPerpendicularOffset = writejob_ReadDouble(element, "OrthogPerpendicularOffset");
        record.OrthogRadialOffset = writejob_ReadDouble(element, "OrthogRadialOffset");
        record.OrthogDistanceToP1 = writejob_ReadDouble(element, "OrthogDistanceToP1");
        record.OrthogDistanceToP2 = writejob_ReadDouble(element, "OrthogDistanceToP2");
        writejob_ReadGrid(element, "OrthogIntersectionPoint", record.OrthogIntersectionPoint);
        record.VertHorizontalOffset = writejob_ReadDouble(element, "VertHorizontalOffset");
        record.VertVerticalOffset = writejob_ReadDouble(element, "VertVerticalOffset");
        record.VertRadialOffset = writejob_ReadDouble(element, "VertRadialOffset");
        record.VertDistanceToP1 = writejob_ReadDouble(element, "VertDistanceToP1");
        record.VertDistanceToP2 = writejob_ReadDouble(element, "VertDistanceToP2");
        writejob_ReadGrid(element, "VertIntersectionPoint", record.VertIntersectionPoint);
    });
}
