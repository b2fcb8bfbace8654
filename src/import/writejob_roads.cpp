// The road definition elements. None checks "rec" or stores a record but the road
// header's note; each keeps inRoad set so that the next end-entity element closes the
// alignment being collected. The road elements themselves are built by the road-set
// cache.
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_cogo.h"
#include "records/jobheader.h"

void JobWriter::WriteRoadHeader(const xml_Element* element) {
    inRoad = true;
    if (writejob_ReadDeleted(element)) return;
    roadSet.AddRoadHeader(element);
    db_Note note;
    Str text = writejob_ReadString(element, "RoadName");
    text += " has been extracted to \\Quorvel Data. To review or edit use Key in / Roads.";
    note.SetNotes(text);
    StoreRecord(element, &note);
}

void JobWriter::WriteHorzHeader(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzHeader(element);
}

void JobWriter::WriteHorzStraight(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzStraight(element);
}

void JobWriter::WriteHorzArcAngLen(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzArc(element, 3);
}

void JobWriter::WriteHorzArcRadLen(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzArc(element, 0);
}

void JobWriter::WriteHorzArcRadAng(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzArc(element, 2);
}

void JobWriter::WriteHorzSpiral(const xml_Element* element) {
    inRoad = true;
    roadSet.AddHorzSpiral(element);
}

void JobWriter::WriteVertHeader(const xml_Element* element) {
    inRoad = true;
    roadSet.AddVertHeader(element);
}

void JobWriter::WriteVertArc(const xml_Element* element) {
    inRoad = true;
    roadSet.AddVertArc(element);
}

void JobWriter::WriteVertParabola(const xml_Element* element) {
    inRoad = true;
    roadSet.AddVertParabola(element);
}

void JobWriter::WriteVertAsymParabola(const xml_Element* element) {
    inRoad = true;
    roadSet.AddVertAsymParabola(element);
}

void JobWriter::WriteVertPoint(const xml_Element* element) {
    inRoad = true;
    roadSet.AddVertPoint(element);
}

void JobWriter::WriteApplyTmplts(const xml_Element* element) {
    inRoad = true;
    roadSet.AddTemplatePlacement(element);
}

void JobWriter::WriteApplySuper(const xml_Element* element) {
    inRoad = true;
    roadSet.AddSuperWidening(element);
}

void JobWriter::WriteTmpltHeader(const xml_Element* element) {
    inRoad = true;
    roadSet.AddTemplateHeader(element);
}

void JobWriter::WriteTmpltDistGrade(const xml_Element* element) {
    inRoad = true;
    roadSet.AddTemplateDistGrade(element);
}

void JobWriter::WriteTmpltDistDelta(const xml_Element* element) {
    inRoad = true;
    roadSet.AddTemplateDistDelta(element);
}

void JobWriter::WriteTmpltBatter(const xml_Element* element) {
    inRoad = true;
    roadSet.AddTemplateBatter(element);
}
