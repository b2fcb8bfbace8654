// The stakeout result elements and the road stake-out settings.
//
//   "DATABASE_GridDeltasRecord"                 db_GridDeltas (88)
//   "DATABASE_LinearDeltasRecord"               db_LinearDeltas (89)
//   "DATABASE_PointDesignRecord"                db_PointDesign (90)
//   "DATABASE_ExtraPointDesignElevationsRecord" db_ExtraPointDesignElevations (91)
//   "DATABASE_LinearDesignRecord"               db_LinearDesign (92); a road's is held back
//   "DATABASE_DTMDesignRecord"                  db_DTMDesign (93)
//   "DATABASE_DTMDeltasRecord"                  db_DTMDeltas (94)
//   "DATABASE_RelativeDTMDeltasRecord"          db_RelativeDTMDeltas (95)
//   "DATABASE_SlopeDesignRecord"                db_SlopeDesign (96)
//   "DATABASE_RoadDesignRecord"                 db_RoadDesign (97), after the held linear design
//   "DATABASE_RoadDeltasRecord"                 db_RoadDeltas (98)
//   "DATABASE_SecondaryRoadDeltasRecord"        db_SecondaryRoadDeltas (99)
//   "DATABASE_RoadCatchDeltaRecord"             db_RoadCatchDeltas (100)
//   "DATABASE_CrossSectionReport"               db_CrossSectionReport (105)
//   "DATABASE_RoadAvailableStations"            db_RoadAvailableStations (38)
//   "DATABASE_RoadConstructionOffsets"          db_RoadConstructionOffsets (39)
//
// A road stakeout is exported as a linear design followed by a road design: the
// linear design of the road entity waits in JobWriter::pendingLinearDesign until the
// next road design completes it, and is then appended just before that road design.
#pragma once

#include <cstdint>

#include "import/writejob.h"

class xml_Element;
class EquatedStation;
class dbrecord_Slope;
class db_CrossSectionCenterNode;
class db_CrossSectionSide;
class db_CrossSectionNode;
class db_CrossSectionBatter;

// The named child's "Chainage" (defaultStation when absent) and "Zone" (-1 when
// absent); without the child, defaultStation and -1.
void writejob_ReadEquatedStation(const xml_Element* element, writejob_ChildName childName, EquatedStation& value,
                                 double defaultStation);
// "Type" (required), "HDist", "VDist", "SDist", "Grade" under the named child; without
// the child the distances and the grade are null and the type keeps its default.
void writejob_ReadSlope(const xml_Element* element, writejob_ChildName childName, dbrecord_Slope& value);

// The cross-section parts. The centre's children are "Code", "Station", "RightAzimuth",
// the "Grid" group and "EquatedRoadStation"; without the named child it keeps its
// defaults.
void writejob_ReadCrossSectionCenter(const xml_Element* element, writejob_ChildName childName,
                                     db_CrossSectionCenterNode& center);
// A side element: "NumberOfNodes", then that many nodes from the first "Node" child
// on, each following sibling whatever its name, then the optional "Batter". Throws
// "NumberOfNodes exceeds the nodes present" when fewer elements follow the first
// "Node" (or there is none); nothing is allocated for nodes that are not there.
void writejob_ReadCrossSectionSide(const xml_Element* side, db_CrossSectionSide& value);
// "Code", "Offset", "Elevation" of a node element.
void writejob_ReadCrossSectionNode(const xml_Element* node, db_CrossSectionNode& value);
// "Code", "CutGrade", "FillGrade", "DitchWidth" under the named child.
void writejob_ReadCrossSectionBatter(const xml_Element* element, writejob_ChildName childName,
                                     db_CrossSectionBatter& value);

// The older road design children, read by exact text; anything else, an absent child
// included, gives false (0).
// "DBENTITY_StakeGradeSlope" is true.
bool writejob_ReadStakeToGrade(const xml_Element* element, writejob_ChildName childName);
// "DBENTITY_TangentialToSubstring" is true.
bool writejob_ReadHorzOffsetMethod(const xml_Element* element, writejob_ChildName childName);
// "true" (this case only) is 1, the road type of a Genio road.
int32_t writejob_ReadGenioStakeout(const xml_Element* element, writejob_ChildName childName);
