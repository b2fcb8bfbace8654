#include "roads/roadquorvel_rxlreader.h"

#include <memory>

#include "foundation/kernel/maths.h"
#include "foundation/text/number.h"
#include "foundation/xml/xmlindex.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal.h"
#include "roads/roadquorvel_pi.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_road.h"
#include "roads/roadquorvel_spiral.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadquorvel_vertical.h"
#include "roads/roadstationequations.h"

namespace {

template <class T>
RoadElement* Make() {
    return new T;
}
RoadElement* MakeStartPoint() { return new HorizontalStartPoint(0); }
RoadElement* MakeStartPI() { return new HorizontalStartPoint(1); }

// The element names of a road file and what each becomes, compared exactly in order.
const struct {
    const char* name;
    RoadElement* (*make)();
} kElementKinds[] = {
    {"ApplySuperelevation", Make<SuperElevationWidening>},
    {"ApplyTemplates", Make<SidedTemplatePlacement>},
    {"Straight", Make<HorizontalStraight>},
    {"Arc", Make<HorizontalArc>},
    {"EntrySpiral", Make<HorizontalEntrySpiral>},
    {"ExitSpiral", Make<HorizontalExitSpiral>},
    {"StartPoint", MakeStartPoint},
    {"StartPI", MakeStartPI},
    {"PI", Make<HorizontalPI>},
    {"VerticalPoint", Make<VerticalPoint>},
    {"VerticalArc", Make<VerticalArc>},
    {"VerticalParabola", Make<VerticalParabola>},
    {"VerticalAsymmetricParabola", Make<VerticalAsymmetricParabola>},
    {"DistanceAndGrade", Make<TemplateDistanceGrade>},
    {"DistanceAndVerticalDistance", Make<TemplateDistanceDelta>},
    {"SideSlope", Make<TemplateSideSlope>},
    {"ApplyStationEquation", Make<StationEquationElement>},
};

}  // namespace

RxlReader::~RxlReader() { delete index; }

bool RxlReader::Open(const Str& path) {
    delete index;
    xml_IndexReader reader(path);
    index = reader.BuildIndex(Str());
    return index != nullptr;
}

xml_Node* RxlReader::LoadChild(const char* name) const { return index ? index->LoadChild(Str(name)) : nullptr; }

void RxlReader::ReadText(const char* name, Str& text) const {
    std::unique_ptr<xml_Node> node(LoadChild(name));
    if (node) text = node->GetValue();
}

void RxlReader::ReadName(Str& name) const { ReadText("Name", name); }

void RxlReader::ReadCode(Str& code) const { ReadText("Code", code); }

void RxlReader::ReadStationInterval(double& interval) const {
    Str text;
    ReadText("StationInterval", text);
    if (!text.IsEmpty()) interval = number_Atof(text.Data());
}

RoadElement* RxlReader::CreateElement(const Str& name) {
    for (const auto& kind : kElementKinds)
        if (name == kind.name) return kind.make();
    return nullptr;
}

void RxlReader::ReadElements(RoadElementArray& list, const xml_Node* node) {
    list.Clear();
    for (const xml_Node* child = node->firstChild; child; child = child->nextSibling) {
        RoadElement* element = CreateElement(child->GetName());
        if (!element) continue;
        element->ReadXml(child);
        list.Add(element);
    }
}

void RxlReader::ReadList(RoadElementArray& list, const char* name) const {
    std::unique_ptr<xml_Node> node(LoadChild(name));
    if (node) ReadElements(list, node.get());
}

void RxlReader::ReadTemplates(TemplateArray& templates) const {
    const Str recordName("TemplateRecord");
    const int n = index ? index->CountChildren(recordName) : 0;
    templates.Clear();
    templates.Reserve(n);
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<xml_Node> record(index->LoadChild(i, recordName));
        if (!record || record->GetValueByPath("Deleted") == "true") continue;
        CrossSectionTemplate working;
        working.Name = record->GetValueByPath("Name");
        ReadElements(working, record.get());
        templates.Add(working);
    }
}

bool QuorvelRoad::Load(const Str& path) {
    if (!StartLoad(path)) return false;
    RxlReader reader;
    if (!reader.Open(FilePath)) return false;
    reader.ReadName(Name);
    reader.ReadCode(Code);
    reader.ReadStationInterval(StationInterval);
    reader.ReadList(VerticalAlignment, "VerticalAlignment");
    reader.ReadList(HorizontalAlignment, "HorizontalAlignment");
    HorizontalAlignment.UpdateTangency();
    reader.ReadList(HorizontalAlignmentPIs, "HorizontalAlignmentPIs");
    reader.ReadList(TemplatePositioning, "TemplatePositioning");
    reader.ReadList(Supers, "SuperelevationAndWidening");
    reader.ReadList(StationEquations, "StationEquations");
    reader.ReadTemplates(Templates);
    VerticalAlignment.LinkNext();
    VerticalAlignment.LinkPrevious();
    Chainages.Clear();
    FullyLoaded = true;
    Loaded = true;
    return true;
}

bool QuorvelRoad::LoadHeader(const Str& path) {
    if (!StartLoad(path)) return false;
    RxlReader reader;
    if (!reader.Open(FilePath)) return false;
    reader.ReadName(Name);
    reader.ReadCode(Code);
    reader.ReadStationInterval(StationInterval);
    reader.ReadList(HorizontalAlignment, "HorizontalAlignment");
    HorizontalAlignment.UpdateTangency();
    reader.ReadList(StationEquations, "StationEquations");
    Loaded = true;
    return Loaded;
}
