#include "import/roadsetcache.h"

#include "import/writejob.h"

RoadSetCache::RoadSetCache(JobDatabase* job) : _Job(job) {
    // The converter transformation and the job index's transform are built here from
    // the job's newest corrections once the coordinate subsystems stand.
}

RoadSetCache::~RoadSetCache() = default;

void RoadSetCache::WriteRoadFiles() {
    // Road documents need the road alignments; until they stand nothing is written.
}

void RoadSetCache::SetCorrections(const coordsys_Corrections& corrections) {
    // Both transforms stay null until the coordinate subsystems stand.
    _Corrections = corrections;
}

void RoadSetCache::AddRoadHeader(const xml_Element* element) {
    RoadDefinition definition;
    definition.RoadName = writejob_ReadString(element, "RoadName");
    definition.VertAlignment = writejob_ReadString(element, "VertAlignment");
    definition.HorzAlignment = writejob_ReadString(element, "HorzAlignment");
    definition.SuperApplication = writejob_ReadString(element, "SuperApplication");
    definition.TemplateApplication = writejob_ReadString(element, "TemplateApplication");
    definition.SectionInterval = writejob_ReadDouble(element, "SectionInterval");
    _Definitions.push_back(definition);
}

void RoadSetCache::CloseAlignment() {
    // No alignment is collected yet, so there is never one to finish.
}
