// The stakeout result elements and the road stake-out settings (see writejob_stakeout.h).
#include "import/writejob_stakeout.h"

#include <memory>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "jobdb/dbRecordCalls.h"
#include "records/cogo.h"
#include "records/roadstakeout.h"
#include "records/stakeoutdesign.h"
#include "vocabulary/dbField.h"

// ---------------------------------------------------------------- readers

void writejob_ReadEquatedStation(const xml_Element* element, writejob_ChildName childName, EquatedStation& value,
                                 double defaultStation) {
    const xml_Element* child = element->FindChild(childName.View());
    if (!child) {
        value = EquatedStation(defaultStation, -1);
        return;
    }
    value.Chainage = writejob_ReadOptionalDouble(child, "Chainage", defaultStation);
    value.Zone = writejob_ReadOptionalInt(child, "Zone", -1);
}

void writejob_ReadSlope(const xml_Element* element, writejob_ChildName childName, dbrecord_Slope& value) {
    const xml_Element* group = element->FindChild(childName.View());
    if (!group) {
        value.HDist = value.VDist = value.SDist = value.Grade = MATHS_Null;
        return;
    }
    value.Type = load_dbentity_OffsetElementType(group, "Type");
    value.HDist = writejob_ReadDouble(group, "HDist");
    value.VDist = writejob_ReadDouble(group, "VDist");
    value.SDist = writejob_ReadDouble(group, "SDist");
    value.Grade = writejob_ReadDouble(group, "Grade");
}

void writejob_ReadCrossSectionCenter(const xml_Element* element, writejob_ChildName childName,
                                     db_CrossSectionCenterNode& center) {
    const xml_Element* group = element->FindChild(childName.View());
    if (!group) return;
    center.Code = writejob_ReadString(group, "Code");
    center.Station = writejob_ReadDouble(group, "Station");
    center.RightAzimuth = writejob_ReadDouble(group, "RightAzimuth");
    writejob_ReadGrid(group, "Grid", center.Grid);
    writejob_ReadEquatedStation(group, "EquatedRoadStation", center.EquatedRoadStation, center.Station);
}

void writejob_ReadCrossSectionSide(const xml_Element* side, db_CrossSectionSide& value) {
    const int32_t count = writejob_ReadHexOrDecimal(side, "NumberOfNodes");
    if (count > 0) {
        const xml_Element* node =
            writejob_FindCountedRun(side, "Node", count, "NumberOfNodes exceeds the nodes present");
        value.SetNumberOfNodes(count);
        for (db_CrossSectionNode& target : value.Nodes) {
            writejob_ReadCrossSectionNode(node, target);
            node = node->nextSibling;
        }
    } else {
        value.SetNumberOfNodes(0);
    }
    if (side->FindChild("Batter")) writejob_ReadCrossSectionBatter(side, "Batter", value.Batter.Create());
}

void writejob_ReadCrossSectionNode(const xml_Element* node, db_CrossSectionNode& value) {
    value.Code = writejob_ReadString(node, "Code");
    value.Offset = writejob_ReadDouble(node, "Offset");
    value.Elevation = writejob_ReadDouble(node, "Elevation");
}

void writejob_ReadCrossSectionBatter(const xml_Element* element, writejob_ChildName childName,
                                     db_CrossSectionBatter& value) {
    const xml_Element* group = element->FindChild(childName.View());
    if (!group) return;
    value.Code = writejob_ReadString(group, "Code");
    value.CutGrade = writejob_ReadDouble(group, "CutGrade");
    value.FillGrade = writejob_ReadDouble(group, "FillGrade");
    value.DitchWidth = writejob_ReadDouble(group, "DitchWidth");
}

namespace {

bool ChildTextIs(const xml_Element* element, writejob_ChildName childName, const char* text) {
    const xml_Element* child = element->FindChild(childName.View());
    return child && child->text == text;
}

// The linear design of a road is held back until a road design completes it.
constexpr int32_t kRoadEntity = 5;       // DBENTITY_RoadEntity
constexpr int32_t kAlignmentEntity = 6;  // DBENTITY_AlignmentEntity
constexpr int32_t kGenioRoad = 1;        // DBENTITY_GenioRoad
constexpr int32_t kNearestRoadOffset = 21;
constexpr int32_t kStationAlongString = 22;

}  // namespace

bool writejob_ReadStakeToGrade(const xml_Element* element, writejob_ChildName childName) {
    return ChildTextIs(element, childName, "DBENTITY_StakeGradeSlope");
}

bool writejob_ReadHorzOffsetMethod(const xml_Element* element, writejob_ChildName childName) {
    return ChildTextIs(element, childName, "DBENTITY_TangentialToSubstring");
}

int32_t writejob_ReadGenioStakeout(const xml_Element* element, writejob_ChildName childName) {
    return ChildTextIs(element, childName, "true") ? kGenioRoad : 0;
}

// ---------------------------------------------------------------- handlers

void JobWriter::WriteGridDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_GridDeltas>(*this, element, "db_GridDeltas", [&](auto& record) {
        writejob_ReadGridDeltas(element, "GridDeltas", record.GridDeltas);
    });
}

void JobWriter::WriteLinearDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_LinearDeltas>(*this, element, "db_LinearDeltas", [&](auto& record) {
        record.dChainage = writejob_ReadDouble(element, "dChainage");
        record.dOffset = writejob_ReadDouble(element, "dOffset");
        record.dElevation = writejob_ReadDouble(element, "dElevation");
        record.GradeToLine = writejob_ReadDouble(element, "GradeToLine");
    });
}

void JobWriter::WritePointDesign(const xml_Element* element) {
    writejob_WriteRecord<db_PointDesign>(*this, element, "db_PointDesign", [&](auto& record) {
        record.TheName = writejob_ReadString(element, "TheName");
        record.StakeMethod = load_dbentity_StakeOutMethod(element, "StakeMethod");
        record.Code = writejob_ReadText(element, "Code");
        record.DesignElevation = writejob_ReadOptionalDouble(element, "DesignElevation", MATHS_Null);
        record.DesignElevationEdited = writejob_ReadOptionalBool(element, "DesignElevationEdited", false);
        record.OriginalDesignElevation = writejob_ReadOptionalDouble(element, "OriginalDesignElevation", MATHS_Null);
        record.ReferenceAzimuth = writejob_ReadOptionalDouble(element, "ReferenceAzimuth", MATHS_Null);
    });
}

void JobWriter::WriteExtraPointDesignElevations(const xml_Element* element) {
    const char* rec = "db_ExtraPointDesignElevations";
    writejob_WriteRecord<db_ExtraPointDesignElevations>(*this, element, rec, [&](auto& record) {
        const char* name = "ExtraPointDesignElevation";
        for (const xml_Element* child = element->FindChild(name); child && child->name == name;
             child = child->nextSibling) {
            dbrecord_ExtraDesignElevation entry;
            entry.Index = writejob_ReadInt(child, "Index");
            entry.EditElevDesignElev = writejob_ReadDouble(child, "EditElevDesignElev");
            entry.EditElevVertOffset = writejob_ReadDouble(child, "EditElevVertOffset");
            entry.EditElevCutFill = writejob_ReadDouble(child, "EditElevCutFill");
            entry.EditElevDesc = writejob_ReadString(child, "EditElevDesc");
            record.ExtraDesignElevations.Add(entry);
        }
    });
}

void JobWriter::WriteLinearDesign(const xml_Element* element) {
    auto record = std::make_unique<db_LinearDesign>();
    record->SetNotes(writejob_ReadNotes(element, "Note"));
    record->EntityType = load_dbentity_StakeOutEntity(element, "EntityType");
    record->StakeMethod = load_dbentity_StakeOutMethod(element, "StakeMethod");
    record->TheName = writejob_ReadString(element, "TheName");
    record->Chainage = writejob_ReadDouble(element, "Chainage");
    const bool roadOrAlignment = record->EntityType == kRoadEntity || record->EntityType == kAlignmentEntity;
    if (roadOrAlignment)
        writejob_ReadEquatedStation(element, "EquatedRoadStation", record->EquatedRoadStation, record->Chainage);
    record->ChainageClass = writejob_ReadReference(element, "ChainageClass");
    record->Offset = writejob_ReadDouble(element, "Offset");
    if (IsVersionFrom(1240, 600) || roadOrAlignment) {
        record->Elevation = writejob_ReadOptionalDouble(element, "Elevation", MATHS_Null);
        record->VerticalOffset = writejob_ReadOptionalDouble(element, "VerticalOffset", MATHS_Null);
    } else {
        // Older exports wrote a line's vertical offset as its elevation.
        record->Elevation = MATHS_Null;
        record->VerticalOffset = writejob_ReadOptionalDouble(element, "Elevation", MATHS_Null);
    }
    record->DesignElevationEdited = writejob_ReadOptionalBool(element, "DesignElevationEdited", false);
    record->OriginalDesignElevation = writejob_ReadOptionalDouble(element, "OriginalDesignElevation", MATHS_Null);
    record->StakedFromElementStartPoint = writejob_ReadOptionalBool(element, "StakedFromElementStartPoint", true);
    record->ElementLength = writejob_ReadOptionalDouble(element, "ElementLength", MATHS_Null);
    record->Code = writejob_ReadText(element, "Code");
    record->HorizontalPointCode = writejob_ReadString(element, "HorizontalPointCode");
    writejob_CheckRecAttribute(element, "db_LinearDesign");
    if (record->EntityType == kRoadEntity) {
        // Waits for the road design; its ID never enters the map.
        writejob_ReadTimeStamp(element, record.get());
        pendingLinearDesign = std::move(record);
        return;
    }
    StoreRecord(element, record.get());
}

void JobWriter::WriteDTMDesign(const xml_Element* element) {
    writejob_WriteRecord<db_DTMDesign>(*this, element, "db_DTMDesign", [&](auto& record) {
        record.TheName = writejob_ReadString(element, "TheName");
        record.Elevation = writejob_ReadDouble(element, "Elevation");
    });
}

// Exports before 1240 / 600 measured the terrain deltas the other way round.
void JobWriter::WriteDTMDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_DTMDeltas>(*this, element, "db_DTMDeltas", [&](auto& record) {
        record.VDist = writejob_ReadDouble(element, "VDist");
        if (IsVersionBefore(1240, 600)) record.VDist = maths_Negate(record.VDist);
    });
}

void JobWriter::WriteRelativeDTMDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_RelativeDTMDeltas>(*this, element, "db_RelativeDTMDeltas", [&](auto& record) {
        record.DTMName = writejob_ReadString(element, "DTMName");
        record.VerticalOffset = writejob_ReadOptionalDouble(element, "VerticalOffset", 0.0);
        record.DeltaElevation = writejob_ReadOptionalDouble(element, "DeltaElevation", MATHS_Null);
        if (IsVersionBefore(1240, 600)) record.DeltaElevation = maths_Negate(record.DeltaElevation);
    });
}

void JobWriter::WriteSlopeDesign(const xml_Element* element) {
    writejob_WriteRecord<db_SlopeDesign>(*this, element, "db_SlopeDesign", [&](auto& record) {
        writejob_ReadSlope(element, "SlopeL", record.SlopeL);
        writejob_ReadSlope(element, "SlopeR", record.SlopeR);
    });
}

void JobWriter::WriteRoadDesign(const xml_Element* element) {
    writejob_WriteRecord<db_RoadDesign>(*this, element, "db_RoadDesign", [&](auto& record) {
        record.BatterIsFill = writejob_ReadBool(element, "BatterIsFill");
        record.BatterGrade = writejob_ReadDouble(element, "BatterGrade");
        record.ConstructionHOffset = writejob_ReadDouble(element, "ConstructionHOffset");
        record.ConstructionVOffset = writejob_ReadDouble(element, "ConstructionVOffset");
        record.ConstructionStationOffset = writejob_ReadOptionalDouble(element, "ConstructionStationOffset", 0.0);
        if (IsVersionFrom(1130, 500)) {
            record.CrossSlopeDelta = writejob_ReadOptionalDouble(element, "CrossSlopeDelta", MATHS_Null);
            record.CrossSlopeOffset = writejob_ReadOptionalDouble(element, "CrossSlopeOffset", MATHS_Null);
        } else {
            // Older exports named the cross-slope delta its offset.
            record.CrossSlopeDelta = writejob_ReadOptionalDouble(element, "CrossSlopeOffset", MATHS_Null);
            record.CrossSlopeOffset = MATHS_Null;
        }
        record.SubgradeDepth = writejob_ReadOptionalDouble(element, "SubgradeDepth", MATHS_Null);
        record.StakingSubgradeIntersection = writejob_ReadOptionalBool(element, "StakingSubgradeIntersection", false);
        record.DitchOffset = writejob_ReadDouble(element, "DitchOffset");
        // Older exports put the station class of the road's linear design here.
        db_LinearDesign* pending = db_LinearDesign::Cast(pendingLinearDesign.get());
        if (pending && IsVersionBefore(1220, 600))
            pending->ChainageClass = writejob_ReadReference(element, "ChainageClass");
        record.NewSideSlopeOffsetSelected = writejob_ReadOptionalBool(element, "NewSideSlopeOffsetSelected", false);
        record.NewSideSlopeOffset = writejob_ReadOptionalDouble(element, "NewSideSlopeOffset", MATHS_Null);
        record.SSFAHingeDefined = writejob_ReadOptionalBool(element, "SSFAHingeDefined", false);
        record.SSFAHingeMethod = load_optional_dbentity_SideSlopeHingeDerv(element, "SSFAHingeMethod", 0);
        record.SSFAHingeOffset = writejob_ReadOptionalDouble(element, "SSFAHingeOffset", MATHS_Null);
        record.SSFAHingeElevation = writejob_ReadOptionalDouble(element, "SSFAHingeElevation", MATHS_Null);
        record.SSFAHingeSlope = writejob_ReadOptionalDouble(element, "SSFAHingeSlope", MATHS_Null);
        record.SSFAHingeVerticalDistance =
            writejob_ReadOptionalDouble(element, "SSFAHingeVerticalDistance", MATHS_Null);
        if (IsVersionFrom(1120, 500)) {
            const char* previous = IsVersionFrom(1130, 500) ? "ApplyConstructionHOffsetOnSlopePrevious"
                                                             : "ApplyConstructionHOffsetOnSlope";
            record.ApplyConstructionHOffsetOnSlopePrevious = writejob_ReadOptionalBool(element, previous, false);
            record.ApplyConstructionHOffsetOnSlopeNext =
                writejob_ReadOptionalBool(element, "ApplyConstructionHOffsetOnSlopeNext", false);
            record.ApplyConstructionHOffsetOnCalculated =
                writejob_ReadOptionalBool(element, "ApplyConstructionHOffsetOnCalculated", false);
            record.ApplyConstructionHOffsetPerpendicularToSubString =
                writejob_ReadOptionalBool(element, "ApplyConstructionHOffsetPerpendicularToSubString", false);
            record.ApplyConstructionVOffsetOnPerpendicular =
                writejob_ReadOptionalBool(element, "ApplyConstructionVOffsetOnPerpendicular", false);
            record.RoadType = load_optional_dbentity_RoadType(element, "RoadType", 0);
        } else {
            record.ApplyConstructionHOffsetOnSlopePrevious = writejob_ReadStakeToGrade(element, "StakeToGradeApplied");
            record.ApplyConstructionHOffsetPerpendicularToSubString =
                writejob_ReadHorzOffsetMethod(element, "HorzOffsetMethod");
            record.RoadType = writejob_ReadGenioStakeout(element, "GenioStakeout");
            record.ApplyConstructionHOffsetOnSlopeNext = false;
            record.ApplyConstructionVOffsetOnPerpendicular = false;
        }

        // The held linear design goes first, whatever the "rec" check below says.
        if (pending) {
            const std::unique_ptr<dbRecord_Class> linear = std::move(pendingLinearDesign);
            if (record.RoadType == kGenioRoad && pending->StakeMethod == kNearestRoadOffset)
                pending->StakeMethod = kStationAlongString;
            const DBID id = dbRecord_Append(database, pending);
            if (id == NODBID || !database->GetRecord(id)) writejob_ThrowNotStored(pending, "refused by the job");
        }
    });
}

void JobWriter::WriteRoadDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_RoadDeltas>(*this, element, "db_RoadDeltas", [&](auto& record) {
        record.OffsetToCatch = writejob_ReadDouble(element, "OffsetToCatch");
        record.OrthometricHeight = writejob_ReadDouble(element, "OrthometricHeight");
        record.BatterToCatchHDist = writejob_ReadDouble(element, "BatterToCatchHDist");
        record.BatterToCatchVDist = writejob_ReadDouble(element, "BatterToCatchVDist");
        record.BatterToCatchSDist = writejob_ReadDouble(element, "BatterToCatchSDist");
        record.BatterToCatchConstrSDist = writejob_ReadDouble(element, "BatterToCatchConstrSDist");
        record.AsStakedBatterIsFill = writejob_ReadOptionalBool(element, "AsStakedBatterIsFill", false);
        record.AsStakedBatterGrade = writejob_ReadOptionalDouble(element, "AsStakedBatterGrade", MATHS_Null);
    });
}

void JobWriter::WriteSecondaryRoadDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_SecondaryRoadDeltas>(*this, element, "db_SecondaryRoadDeltas", [&](auto& record) {
        record.RoadName = writejob_ReadString(element, "RoadName");
        record.Code = writejob_ReadString(element, "Code");
        record.HDist = writejob_ReadDouble(element, "HDist");
        record.VDist = writejob_ReadDouble(element, "VDist");
        record.Offset = writejob_ReadDouble(element, IsVersionFrom(1120, 500) ? "DistanceToCL" : "Offset");
        record.Chainage = writejob_ReadDouble(element, "Chainage");
        if (IsVersionFrom(1130, 500)) {
            record.CrossSlopeDelta = writejob_ReadOptionalDouble(element, "CrossSlopeDelta", MATHS_Null);
            record.CrossSlopeOffset = writejob_ReadOptionalDouble(element, "CrossSlopeOffset", MATHS_Null);
        } else {
            record.CrossSlopeDelta = writejob_ReadOptionalDouble(element, "CrossSlopeOffset", MATHS_Null);
            record.CrossSlopeOffset = 0.0;
        }
    });
}

void JobWriter::WriteRoadCatchDelta(const xml_Element* element) {
    writejob_WriteRecord<db_RoadCatchDeltas>(*this, element, "db_RoadCatchDeltas", [&](auto& record) {
        record.Code = writejob_ReadText(element, "Code");
        record.Offset = writejob_ReadDouble(element, "Offset");
        record.Height = writejob_ReadDouble(element, "Height");
    });
}

void JobWriter::WriteCrossSectionReport(const xml_Element* element) {
    writejob_WriteRecord<db_CrossSectionReport>(*this, element, "db_CrossSectionReport", [&](auto& record) {
        writejob_ReadCrossSectionCenter(element, "Center", record.Center);
        if (const xml_Element* side = element->FindChild("LeftSide"))
            writejob_ReadCrossSectionSide(side, record.LeftSide.Create());
        if (const xml_Element* side = element->FindChild("RightSide"))
            writejob_ReadCrossSectionSide(side, record.RightSide.Create());
    });
}

void JobWriter::WriteRoadAvailableStations(const xml_Element* element) {
    writejob_WriteRecord<db_RoadAvailableStations>(*this, element, "db_RoadAvailableStations", [&](auto& record) {
        record.RegularSections = writejob_ReadBool(element, "RegularSections");
        record.HorizCurve = writejob_ReadBool(element, "HorizCurve");
        record.VerticalCurve = writejob_ReadBool(element, "VerticalCurve");
        record.TemplateAssignment = writejob_ReadBool(element, "TemplateAssignment");
        record.SuperWiden = writejob_ReadBool(element, "SuperWiden");
    });
}

// The children were renamed twice; each generation fills the same fields.
void JobWriter::WriteRoadConstructionOffsets(const xml_Element* element) {
    // Main-product exports before 1120: nothing is read, checked, stored or mapped.
    if (IsMainVersionBefore(1120)) return;
    auto number = [element](const char* name, double& field) {
        field = writejob_ReadOptionalDouble(element, name, 0.0);
    };
    auto flag = [element](const char* name, bool& field) { field = writejob_ReadOptionalBool(element, name, false); };
    const bool sas = IsVersionFrom(1220, 600);  // the string NRO offsets became SAS offsets
    writejob_WriteRecord<db_RoadConstructionOffsets>(*this, element, "db_RoadConstructionOffsets", [&](auto& r) {
        r.quorvelSAOHorizontal = writejob_ReadDouble(element, "quorvelSAOHorizontal");
        r.quorvelSAOVertical = writejob_ReadDouble(element, "quorvelSAOVertical");
        if (IsVersionFrom(1130, 500)) {
            flag("quorvelSAOApplyOnSlopeNext", r.quorvelSAOApplyOnSlopeNext);
            flag("quorvelSAOApplyOnSlopePrevious", r.quorvelSAOApplyOnSlopePrevious);
            flag("quorvelSSFAApplyOnSlopeNext", r.quorvelSSFAApplyOnSlopeNext);
            flag("quorvelSSFAApplyOnSlopePrevious", r.quorvelSSFAApplyOnSlopePrevious);
            flag("quorvelNROApplyOnSlopeNext", r.quorvelNROApplyOnSlopeNext);
            flag("quorvelNROApplyOnSlopePrevious", r.quorvelNROApplyOnSlopePrevious);
            flag("quorvelNROApplyCalculatedOffset", r.quorvelNROApplyCalculatedOffset);
            flag("stringSOSApplyOnSlopeNext", r.stringSOSApplyOnSlopeNext);
            flag("stringSOSApplyOnSlopePrevious", r.stringSOSApplyOnSlopePrevious);
            flag("landxmlSAOApplyOnSlopeNext", r.landxmlSAOApplyOnSlopeNext);
            flag("landxmlSAOApplyOnSlopePrevious", r.landxmlSAOApplyOnSlopePrevious);
            flag(sas ? "stringSASApplyOnSlopeNext" : "stringNROApplyOnSlopeNext", r.stringSASApplyOnSlopeNext);
            flag(sas ? "stringSASApplyOnSlopePrevious" : "stringNROApplyOnSlopePrevious",
                 r.stringSASApplyOnSlopePrevious);
        } else {
            // One flag per offset, which now means "on the previous slope".
            flag("quorvelSAOApplyOnSlope", r.quorvelSAOApplyOnSlopePrevious);
            flag("quorvelSSFAApplyOnSlope", r.quorvelSSFAApplyOnSlopePrevious);
            flag("quorvelNROApplyOnSlope", r.quorvelNROApplyOnSlopePrevious);
            flag("stringSOSApplyOnSlope", r.stringSOSApplyOnSlopePrevious);
            flag("stringNROApplyOnSlope", r.stringSASApplyOnSlopePrevious);
            flag("landxmlSAOApplyOnSlope", r.landxmlSAOApplyOnSlopePrevious);
        }
        flag("quorvelSAOApplyVertOnPerpendicular", r.quorvelSAOApplyVertOnPerpendicular);
        number("quorvelPORVertical", r.quorvelPORVertical);
        flag("quorvelPORApplyVertOnPerpendicular", r.quorvelPORApplyVertOnPerpendicular);
        number("quorvelSSFAHorizontal", r.quorvelSSFAHorizontal);
        number("quorvelSSFAVertical", r.quorvelSSFAVertical);
        flag("quorvelSSFAApplyVertOnPerpendicular", r.quorvelSSFAApplyVertOnPerpendicular);
        number("quorvelNROHorizontal", r.quorvelNROHorizontal);
        number("quorvelNROVertical", r.quorvelNROVertical);
        flag("quorvelNROApplyVertOnPerpendicular", r.quorvelNROApplyVertOnPerpendicular);
        number("stringSOSHorizontal", r.stringSOSHorizontal);
        number("stringSOSVertical", r.stringSOSVertical);
        number("stringSOSStation", r.stringSOSStation);
        flag("stringSOSApplyVertOnPerpendicular", r.stringSOSApplyVertOnPerpendicular);
        flag("stringSOSApplyPerpendicularToSubString", r.stringSOSApplyPerpendicularToSubString);
        number("stringPORVertical", r.stringPORVertical);
        flag("stringPORApplyVertOnPerpendicular", r.stringPORApplyVertOnPerpendicular);
        flag("stringSOSApplyOffsetAtString", r.stringSOSApplyOffsetAtString);
        flag("stringSOSApplyCalculatedOffset", r.stringSOSApplyCalculatedOffset);
        number(sas ? "stringSASHorizontal" : "stringNROHorizontal", r.stringSASHorizontal);
        number(sas ? "stringSASVertical" : "stringNROVertical", r.stringSASVertical);
        flag(sas ? "stringSASApplyVertOnPerpendicular" : "stringNROApplyVertOnPerpendicular",
             r.stringSASApplyVertOnPerpendicular);
        flag(sas ? "stringSASApplyCalculatedOffset" : "stringNROApplyCalculatedOffset",
             r.stringSASApplyCalculatedOffset);
        number("landxmlSAOHorizontal", r.landxmlSAOHorizontal);
        number("landxmlSAOVertical", r.landxmlSAOVertical);
        flag("landxmlSAOApplyVertOnPerpendicular", r.landxmlSAOApplyVertOnPerpendicular);
    });
}
