// RoadSetCache: the road definitions of one conversion, collected while the export is
// read and written as road files after the last element. The job writer embeds one;
// the conversion driver, the writer and the road, corrections and end-entity elements
// call it.
//
// What stands so far: the road headers are collected and the output directory kept.
// The road geometry runs through two coordinate transforms (the process-wide
// converter transformation and the job index's transform) that the coordinate
// subsystems build; until they exist both stay null, no alignment is collected and
// WriteRoadFiles writes and lists nothing.
#pragma once

#include <optional>
#include <vector>

#include "foundation/coords/coordsys.h"
#include "foundation/text/str.h"

class JobDatabase;
class xml_Element;

// One road header: the road's name, the IDs of its four alignments and its section
// interval.
struct RoadDefinition {
    Str RoadName;
    Str VertAlignment;
    Str HorzAlignment;
    Str SuperApplication;
    Str TemplateApplication;
    double SectionInterval = 0.0;
};

class RoadSetCache {
public:
    explicit RoadSetCache(JobDatabase* job);
    RoadSetCache(const RoadSetCache&) = delete;
    RoadSetCache& operator=(const RoadSetCache&) = delete;
    ~RoadSetCache();

    // The folder the road files go to: the job path up to and including its last
    // separator, or empty.
    void SetDirectory(const Str& path) { _Directory = path; }
    const Str& GetDirectory() const { return _Directory; }
    // Writes one road file per road header and lists each name among the extra
    // output files; with no road header nothing is written or listed.
    void WriteRoadFiles();
    // Rebuilds both transforms from the corrections of a corrections element. Until
    // the transforms stand it only keeps them.
    void SetCorrections(const coordsys_Corrections& corrections);
    // The corrections handed last; null before the first.
    const coordsys_Corrections* GetCorrections() const { return _Corrections ? &*_Corrections : nullptr; }
    // Records the road definition of a road header element.
    void AddRoadHeader(const xml_Element* element);
    // Finishes the alignment being collected; nothing when none is.
    void CloseAlignment();

    const std::vector<RoadDefinition>& GetDefinitions() const { return _Definitions; }

    static constexpr double Resolution = 0.0001;

private:
    JobDatabase* _Job;
    Str _Directory;
    std::vector<RoadDefinition> _Definitions;
    std::optional<coordsys_Corrections> _Corrections;
};
