#include "import/roadsetcache.h"

#include <cmath>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "cogo/cogoarc.h"
#include "cogo/transfrm.h"
#include "csib/glue.h"
#include "foundation/environment.h"
#include "foundation/files/filesys.h"
#include "foundation/files/path.h"
#include "foundation/kernel/maths.h"
#include "foundation/text/codepage.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_cogo.h"
#include "import/writejob_groups.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbRecordCalls.h"
#include "records/coordsysdefs.h"
#include "records/jobheader.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_road.h"
#include "roads/roadquorvel_spiral.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_vertical.h"

namespace {

constexpr const char* kModule = "converter/roadsetcache";

RoadSetCache::Inspector g_Inspector = nullptr;

// A station and elevation from the named child's "Chainage" and "Elevation"; both null
// without the child.
StationElevation ReadStationElevation(const xml_Element* element, const char* childName) {
    StationElevation point;
    if (const xml_Element* child = element->FindChild(childName)) {
        point.Station = writejob_ReadDouble(child, "Chainage");
        point.Elevation = writejob_ReadDouble(child, "Elevation");
    }
    return point;
}

// The list padded with empty texts to at least two entries.
StrArray ReadPairList(const xml_Element* element, const char* childName) {
    StrArray texts;
    writejob_ReadStringList(element, childName, texts);
    while (texts.Count() < 2) texts.Add(Str());
    return texts;
}

int32_t PlacementType(const Str& text) {
    if (text == "DBROAD_UserDefinedTemplate") return SidePlacement::UserDefinedTemplate;
    if (text == "DBROAD_InterpolateTemplate") return SidePlacement::InterpolateTemplate;
    return SidePlacement::NoTemplate;
}

bool IsZeroLengthStraight(const RoadElement* element) {
    const HorizontalStraight* straight = HorizontalStraight::Cast(element);
    return straight && straight->Length == 0.0;
}

double EndRadiusOf(const RoadElement* element) {
    HorizontalBase* horizontal = HorizontalBase::Cast(const_cast<RoadElement*>(element));
    if (!horizontal || !horizontal->HasRadius()) return MATHS_Null;
    const double* radius = horizontal->EndRadiusPtr();
    return radius ? *radius : MATHS_Null;
}

}  // namespace

bool roadsetcache_CheckIndex(int32_t i, int32_t count) {
    return QZ_ASSERT_TEXT(i < count, "i < count") && QZ_ASSERT_TEXT(i >= 0, "i >= 0");
}

bool roadsetcache_CheckReserve(int32_t size, bool hasStorage, const char* storageText) {
    const bool empty = QZ_ASSERT_TEXT(size == 0, "size == 0");
    return QZ_ASSERT_TEXT(!hasStorage, storageText) && empty;
}

CachedAlignment& CachedAlignment::operator=(const CachedAlignment& other) {
    if (this == &other) return *this;
    RoadElementArray::operator=(other);
    CacheType = other.CacheType;
    AlignmentID = other.AlignmentID;
    return *this;
}

void CachedAlignment::ClearAll() {
    CacheType = Str();
    AlignmentID = Str();
    Clear();
}

RoadSetCache::RoadSetCache(JobDatabase* job) : _Job(job) { CreateTransformations(); }

RoadSetCache::~RoadSetCache() { road_DeleteConverterTransformation(); }

void RoadSetCache::SetInspector(Inspector inspector) { g_Inspector = inspector; }

void RoadSetCache::BuildRoads() {
    for (int32_t i = 0; i < _Definitions.Count(); ++i) {
        const RoadDefinition& definition = _Definitions[static_cast<size_t>(i)];
        auto* road = new QuorvelRoad;
        road->SetName(definition.RoadName);
        road->StationInterval = definition.SectionInterval;
        CopyAlignment(road->VerticalAlignment, definition.VertAlignment);
        CopyAlignment(road->HorizontalAlignment, definition.HorzAlignment);
        CopyAlignment(road->TemplatePositioning, definition.TemplateApplication);
        CopyAlignment(road->Supers, definition.SuperApplication);
        _Roads.Add(road);
    }
}

void RoadSetCache::WriteRoadFiles() {
    if (g_Inspector) g_Inspector(*this);
    if (_Definitions.Count() == 0) return;
    // The roads live only while they are written, however the writing ends.
    struct Built {
        RoadArray& roads;
        ~Built() { roads.Clear(); }
    } built{_Roads};
    BuildRoads();
    // A road that found no room in the list is gone: no file may go missing unnoticed.
    if (_Roads.Count() != _Definitions.Count()) throw Str("a road could not be built");

    db_JobHeader header;
    if (_Job && _Job->GetAccess()) dbRecord_ReadJobHeader(_Job->GetAccess(), &header);
    const std::vector<Str> fileNames = RoadFileNames(header.GetName());
    // No road file may take the place of the job it belongs to: checked for every road
    // before the first file is written, so such a conversion leaves nothing behind.
    if (_Job && _Job->GetAccess()) {
        const Str jobFile = _Job->GetAccess()->GetJournal().GetFile().GetFullPath();
        for (const Str& fileName : fileNames)
            if (filesys_IsSameFile(fileName, jobFile)) throw Str("a road file would replace the job file: ") + fileName;
    }
    // The host is given the names in UTF-8; the folder is spelled in the bytes the host
    // gave, which need not be. Its macros are expanded, as where the files are written:
    // a host cannot expand them, and a listed name must name the file. (A road's own
    // part of the name holds no macro.)
    auto listedName = [this](const Str& fileName) {
        const Str expanded = path_Expand(fileName);
        const int32_t own = fileName.Length() - _Directory.Length();
        return unistr_CodePageToUTF8(expanded.Left(expanded.Length() - own)) + fileName.MidToEnd(_Directory.Length());
    };
    for (int32_t i = 0; i < _Roads.Count(); ++i) {
        // Every road of the list was built here as a QuorvelRoad.
        auto* road = static_cast<QuorvelRoad*>(_Roads.At(i));
        road->VerticalAlignment.Recompute();
        road->HorizontalAlignment.UpdateTangency();
        road->Templates = _Templates;
        const Str& fileName = fileNames[i];
        road->SetFileName(fileName);
        // Listed only once it stands whole: the host never gets the name of a file
        // that is not there. A road that cannot be written fails the conversion; the
        // files written before it stay, and stay listed.
        if (!road->WriteRxlFile(0)) throw Str("the road file could not be written: ") + fileName;
        writejob_AddExtraOutputFile(listedName(fileName));
    }
}

std::vector<Str> RoadSetCache::RoadFileNames(const Str& jobName) const {
    constexpr int kExtensionLength = 4;  // ".rxl"
    std::vector<Str> names;
    names.reserve(static_cast<size_t>(_Roads.Count()));
    std::unordered_set<std::string> taken;
    // The variant number to try next for a name, so that many roads of one name cost
    // no more than one each.
    std::unordered_map<std::string, int> nextVariant;
    for (int32_t i = 0; i < _Roads.Count(); ++i) {
        Str name = RoadFileName(_Roads.At(i)->GetName(), jobName);
        const std::string plain(name.Data(), static_cast<size_t>(name.Length()));
        if (!taken.insert(plain).second) {
            const Str stem = name.Left(name.Length() - kExtensionLength);
            const Str extension = name.MidToEnd(name.Length() - kExtensionLength);
            int& n = nextVariant.try_emplace(plain, 2).first->second;
            do {
                name = stem + "(" + string_FromInt(n++) + ")" + extension;
            } while (!taken.insert(std::string(name.Data(), static_cast<size_t>(name.Length()))).second);
        }
        names.push_back(name);
    }
    return names;
}

namespace {

// The characters no file name may hold.
constexpr const char* kRefusedInFileNames = "\"*/:<>?\\|";

}  // namespace

bool RoadSetCache::IsValidFileName(const Str& name) {
    return name.PastTheEnd(name.FindFirstOf(kRefusedInFileNames)) && !name.ContainsSubString("$(");
}

Str RoadSetCache::FileNamePart(const Str& jobName) {
    Str part = jobName;
    for (int i = 0; i < part.Length(); ++i)
        if (string_IsInSet(part[i], kRefusedInFileNames)) part.SetAt(i, '_');
    // The job name comes from the export: it must neither leave the job's folder nor
    // expand as a path macro.
    part.Replace("$(", "_(");
    return part;
}

Str RoadSetCache::RoadFileName(const Str& roadName, const Str& jobName) const {
    const Str base = IsValidFileName(roadName) ? roadName : Str("road");
    return _Directory + base + "(" + FileNamePart(jobName) + ").rxl";
}

void RoadSetCache::CreateTransformations() {
    db_Corrections record;
    if (_Job && _Job->GetAccess()) record.LoadLatest(_Job->GetAccess());
    BuildTransforms(record.Corrections, false);
}

void RoadSetCache::SetCorrections(const coordsys_Corrections& corrections) {
    _Corrections = corrections;
    BuildTransforms(corrections, true);
}

void RoadSetCache::BuildTransforms(const coordsys_Corrections& corrections, bool checkError) {
    if (_Job && _Job->GetJobIndex()) {
        dbJobIndex* index = _Job->GetJobIndex();
        int32_t error = COORDSYS_NoError;
        transfrm_Class* transform = transfrm_Create(TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                    &corrections, TRANSFRM_ConversionLoadFlags, &error);
        if (checkError) QZ_ASSERT_TEXT(error == COORDSYS_NoError, "error == COORDSYS_NoError");
        // Only the transform changes hands: the index keeps its cogo settings.
        const uint32_t settings = index->CogoSettings;
        index->SetTransform(transform, &corrections, TRANSFRM_Corrections, 0);
        index->CogoSettings = settings;
        QZ_ASSERT_TEXT(index->Transform != nullptr, "Job->MainJobIndex->Transform != 0");
    }
    db_Corrections record;
    record.Corrections = corrections;
    road_CreateConverterTransformation(record);
}

void RoadSetCache::AddRoadHeader(const xml_Element* element) {
    RoadDefinition definition;
    definition.RoadName = writejob_ReadString(element, "RoadName");
    definition.VertAlignment = writejob_ReadString(element, "VertAlignment");
    definition.HorzAlignment = writejob_ReadString(element, "HorzAlignment");
    definition.SuperApplication = writejob_ReadString(element, "SuperApplication");
    definition.TemplateApplication = writejob_ReadString(element, "TemplateApplication");
    definition.SectionInterval = writejob_ReadDouble(element, "SectionInterval");
    _Definitions.Add(definition);
}

void RoadSetCache::CloseAlignment() {
    if (_CurrentCache.Count() == 0) return;
    _Alignments.Add(_CurrentCache);
    _CurrentCache.ClearAll();
}

const CachedAlignment* RoadSetCache::FindAlignment(const Str& id) const {
    for (int32_t i = 0; i < _Alignments.Count(); ++i)
        if (_Alignments[i].AlignmentID == id) return &_Alignments[i];
    return nullptr;
}

void RoadSetCache::CopyAlignment(RoadElementArray& target, const Str& id) const {
    if (const CachedAlignment* found = FindAlignment(id)) target = *found;
}

void RoadSetCache::BeginAlignment(const xml_Element* element, const char* type) {
    if (_CurrentCache.Count() != 0) return;
    _CurrentCache.CacheType = Str(type);
    const xml_Attribute* id = element->FindAttribute("ID");
    _CurrentCache.AlignmentID = id ? id->value : Str();
}

void RoadSetCache::CheckType(const char* type, const char* assertion) {
    QZ_ASSERT_TEXT(_CurrentCache.CacheType == type, assertion);
}

HorizontalBase* RoadSetCache::PreviousHorizontal() {
    HorizontalBase* previous = nullptr;
    if (_CurrentCache.Count() > 0) previous = HorizontalBase::Cast(_CurrentCache.At(_CurrentCache.Count() - 1));
    if (!previous) throw Str("road element outside a horizontal alignment");
    return previous;
}

void RoadSetCache::AppendHorizontal(HorizontalBase* element, const HorizontalBase* previous) {
    element->StartStation = previous->EndStation;
    element->StartCoordinate = previous->EndCoordinate;
    element->EndStation = maths_Add(element->StartStation, element->Length);
    if (element->IsSpiral())
        static_cast<HorizontalSpiral*>(element)->ComputeEndCoordinate(_Resolution);
    else
        element->ComputeEndCoordinate();
    _CurrentCache.Add(element);
}

void RoadSetCache::AddHorzHeader(const xml_Element* element) {
    QZ_ASSERT_TEXT(_CurrentCache.Count() == 0, "CurrentCache.Count() == 0");
    _CurrentCache.CacheType = Str("Horizontal");
    const xml_Attribute* id = element->FindAttribute("ID");
    _CurrentCache.AlignmentID = id ? id->value : Str();
    auto* start = new HorizontalStartPoint(0);
    start->Length = 0.0;
    start->StartAzimuth = start->EndAzimuth = writejob_ReadDouble(element, "Azimuth");
    start->StartStation = start->EndStation = writejob_ReadDouble(element, "StartChainage");
    writejob_ReadGrid(element, Str("Coordinate"), start->StartCoordinate);
    start->EndCoordinate = start->StartCoordinate;
    const Str method = writejob_ReadString(element, "Method");
    if (method == "DBROAD_UserDefinedCoords") start->KeyinMethod = 0;
    else if (method == "DBROAD_ExistingPoint") start->KeyinMethod = 1;
    start->PointName = writejob_ReadString(element, "StartPointName");
    _CurrentCache.Add(start);
}

void RoadSetCache::AddHorzStraight(const xml_Element* element) {
    const double distance = writejob_ReadDouble(element, "Distance");
    const double azimuth = writejob_ReadDouble(element, "Azimuth");
    CheckType("Horizontal", "CurrentCache.CacheType == \"Horizontal\"");
    HorizontalBase* previous = PreviousHorizontal();
    // A zero-length straight carries only an azimuth: a second one renews it.
    if (distance == 0.0 && IsZeroLengthStraight(previous)) {
        previous->StartAzimuth = previous->EndAzimuth = azimuth;
        return;
    }
    if (distance != 0.0) {
        FinishExitSpiral(MATHS_Null);
        previous = PreviousHorizontal();
    }
    auto* straight = new HorizontalStraight;
    straight->KeyinMethod = 0;
    straight->Length = distance;
    straight->StartAzimuth = azimuth;
    straight->PointName = writejob_ReadString(element, "KeyinEndPointName");
    AppendHorizontal(straight, previous);
}

void RoadSetCache::AddHorzArc(const xml_Element* element, int32_t keyinMethod) {
    auto* arc = new HorizontalArc;
    try {
        arc->KeyinMethod = keyinMethod;
        arc->Direction = writejob_ReadBool(element, "ClockwiseAngle");
        arc->StartAzimuth = writejob_ReadDouble(element, "Azimuth");
        if (keyinMethod == 0) {
            arc->Length = writejob_ReadDouble(element, "Length");
            arc->Radius = writejob_ReadDouble(element, "Radius");
            cogoarc_DeltaAngle(arc->Radius, arc->Length, &arc->Angle);
        } else if (keyinMethod == 2) {
            arc->Angle = writejob_ReadDouble(element, "Angle");
            arc->Radius = writejob_ReadDouble(element, "Radius");
            cogoarc_ArcLength(arc->Radius, arc->Angle, &arc->Length);
        } else {
            arc->Angle = writejob_ReadDouble(element, "Angle");
            arc->Length = writejob_ReadDouble(element, "Length");
            arc->Radius = maths_Divide(arc->Length, arc->Angle);
        }
        CheckType("Horizontal", "CurrentCache.CacheType == \"Horizontal\"");
        PreviousHorizontal();
        FinishExitSpiral(arc->Radius);
        AppendHorizontal(arc, PreviousHorizontal());
    } catch (...) {
        delete arc;
        throw;
    }
}

void RoadSetCache::AddHorzSpiral(const xml_Element* element) {
    const bool entry = writejob_ReadBool(element, "EntrySpiral");
    const double length = writejob_ReadDouble(element, "Length");
    const bool clockwise = writejob_ReadBool(element, "ClockwiseSpiral");
    const double radius = writejob_ReadDouble(element, "Radius");
    CheckType("Horizontal", "CurrentCache.CacheType == \"Horizontal\"");
    const HorizontalBase* previous = PreviousHorizontal();
    HorizontalSpiral* spiral = nullptr;
    if (entry) {
        auto* entrySpiral = new HorizontalEntrySpiral;
        entrySpiral->EndRadius = radius;
        entrySpiral->StartRadius = RadiusBefore();
        spiral = entrySpiral;
    } else {
        auto* exitSpiral = new HorizontalExitSpiral;
        exitSpiral->StartRadius = radius;
        exitSpiral->EndRadius = MATHS_Null;
        spiral = exitSpiral;
    }
    spiral->KeyinMethod = 0;
    spiral->StartAzimuth = previous->EndAzimuth;
    spiral->Length = length;
    spiral->Direction = clockwise;
    AppendHorizontal(spiral, previous);
}

double RoadSetCache::RadiusBefore() const {
    const int32_t count = _CurrentCache.Count();
    if (count == 0) return MATHS_Null;
    const RoadElement* last = _CurrentCache.At(count - 1);
    const HorizontalBase* horizontal = HorizontalBase::Cast(last);
    if (horizontal && horizontal->HasRadius()) return EndRadiusOf(last);
    if (IsZeroLengthStraight(last) && count > 1) return EndRadiusOf(_CurrentCache.At(count - 2));
    return MATHS_Null;
}

void RoadSetCache::FinishExitSpiral(double radius) {
    const int32_t count = _CurrentCache.Count();
    if (count == 0) return;
    RoadElement* last = _CurrentCache.At(count - 1);
    if (HorizontalExitSpiral* spiral = HorizontalExitSpiral::Cast(last)) {
        spiral->EndRadius = radius;
        spiral->ComputeEndCoordinate(_Resolution);
        return;
    }
    if (!IsZeroLengthStraight(last) || count < 2) return;
    HorizontalExitSpiral* spiral = HorizontalExitSpiral::Cast(_CurrentCache.At(count - 2));
    if (!spiral) return;
    spiral->EndRadius = radius;
    spiral->ComputeEndCoordinate(_Resolution);
    HorizontalStraight* straight = HorizontalStraight::Cast(last);
    straight->StartCoordinate = straight->EndCoordinate = spiral->EndCoordinate;
}

void RoadSetCache::AddVertHeader(const xml_Element* element) {
    QZ_ASSERT_TEXT(_CurrentCache.Count() == 0, "CurrentCache.Count() == 0");
    _CurrentCache.CacheType = Str("Vertical");
    const xml_Attribute* id = element->FindAttribute("ID");
    _CurrentCache.AlignmentID = id ? id->value : Str();
    auto* point = new VerticalPoint;
    point->KeyinMethod = 0;
    point->IntersectionPoint = ReadStationElevation(element, "Start");
    point->StartPoint = point->IntersectionPoint;
    point->EndPoint = point->IntersectionPoint;
    point->GradeIn = writejob_ReadOptionalDouble(element, "GradeIn", MATHS_Null);
    _CurrentCache.Add(point);
}

void RoadSetCache::AddVertPoint(const xml_Element* element) {
    CheckType("Vertical", "CurrentCache.CacheType == \"Vertical\"");
    auto* point = new VerticalPoint;
    point->KeyinMethod = 0;
    point->IntersectionPoint = ReadStationElevation(element, "Point");
    point->StartPoint = point->IntersectionPoint;
    point->EndPoint = point->IntersectionPoint;
    _CurrentCache.Add(point);
}

void RoadSetCache::AddVertArc(const xml_Element* element) {
    CheckType("Vertical", "CurrentCache.CacheType == \"Vertical\"");
    auto* arc = new VerticalArc;
    arc->KeyinMethod = 0;
    arc->Radius = writejob_ReadDouble(element, "Radius");
    arc->IntersectionPoint = ReadStationElevation(element, "IntersectionPoint");
    _CurrentCache.Add(arc);
}

void RoadSetCache::AddVertParabola(const xml_Element* element) {
    CheckType("Vertical", "CurrentCache.CacheType == \"Vertical\"");
    auto* parabola = new VerticalParabola;
    parabola->KeyinMethod = 0;
    parabola->Length = writejob_ReadDouble(element, "Length");
    parabola->IntersectionPoint = ReadStationElevation(element, "IntersectionPoint");
    _CurrentCache.Add(parabola);
}

void RoadSetCache::AddVertAsymParabola(const xml_Element* element) {
    CheckType("Vertical", "CurrentCache.CacheType == \"Vertical\"");
    auto* parabola = new VerticalAsymmetricParabola;
    parabola->KeyinMethod = 0;
    parabola->LengthOut = writejob_ReadDouble(element, "ExitLength");
    parabola->LengthIn = writejob_ReadDouble(element, "EntryLength");
    parabola->IntersectionPoint = ReadStationElevation(element, "IntersectionPoint");
    _CurrentCache.Add(parabola);
}

void RoadSetCache::AddTemplatePlacement(const xml_Element* element) {
    BeginAlignment(element, "TemplatePlacement");
    CheckType("TemplatePlacement", "CurrentCache.CacheType == \"TemplatePlacement\"");
    const StrArray types = ReadPairList(element, "types");
    const StrArray names = ReadPairList(element, "names");
    auto* placement = new SidedTemplatePlacement;
    const double station = writejob_ReadDouble(element, "Chainage");
    for (int32_t side = DBROAD_SideLeft; side <= DBROAD_SideRight; ++side) {
        SidePlacement& placed = placement->Sides[side];
        placed.Station = station;
        placed.Type = PlacementType(types[side]);
        if (placed.Type == SidePlacement::UserDefinedTemplate) placed.Name = names[side];
    }
    _CurrentCache.Add(placement);
}

void RoadSetCache::AddSuperWidening(const xml_Element* element) {
    BeginAlignment(element, "SuperWidening");
    CheckType("SuperWidening", "CurrentCache.CacheType == \"SuperWidening\"");
    const StrArray supers = ReadPairList(element, "supers");
    const StrArray widenings = ReadPairList(element, "widenings");
    auto* entry = new SuperElevationWidening;
    const Str pivot = writejob_ReadString(element, "Pivot");
    entry->Pivot = pivot == "DBROAD_PivotLeft"    ? SuperElevationWidening::PivotLeft
                   : pivot == "DBROAD_PivotRight" ? SuperElevationWidening::PivotRight
                                                  : SuperElevationWidening::PivotCrown;
    entry->Station = writejob_ReadDouble(element, "Chainage");
    for (int32_t side = DBROAD_SideLeft; side <= DBROAD_SideRight; ++side) {
        entry->Superelevation[side] = writejob_TextToDouble(supers[side]);
        entry->Widening[side] = writejob_TextToDouble(widenings[side]);
    }
    _CurrentCache.Add(entry);
}

void RoadSetCache::AddTemplateHeader(const xml_Element* element) {
    _CurrentTemplate = nullptr;
    if (writejob_ReadDeleted(element)) return;
    CrossSectionTemplate added;
    added.Name = writejob_ReadString(element, "TmpltName");
    const int32_t before = _Templates.Count();
    _Templates.Add(added);
    // The array may have moved: the current template is taken after the add.
    if (_Templates.Count() > before) _CurrentTemplate = _Templates.At(_Templates.Count() - 1);
}

void RoadSetCache::AddTemplateDistGrade(const xml_Element* element) {
    if (!_CurrentTemplate) return;
    const double grade = writejob_ReadDouble(element, "Grade");
    const Str code = writejob_ReadText(element, "Code");
    const double horizontal = writejob_ReadDouble(element, "HorzDistance");
    TemplateDistanceElement* added = nullptr;
    // A vertical face has no grade to keep: its rise is the vertical distance.
    if (std::fabs(grade - CONSTANT_Pi / 2) <= 0.00001 || std::fabs(grade + CONSTANT_Pi / 2) <= 0.00001) {
        auto* delta = new TemplateDistanceDelta;
        delta->VerticalDistance = writejob_ReadDouble(element, "VertDistance");
        added = delta;
    } else {
        auto* graded = new TemplateDistanceGrade;
        graded->Grade = grade;
        added = graded;
    }
    added->HorizontalDistance = horizontal;
    added->Code = code;
    try {
        added->ApplySuperelevation = writejob_ReadBool(element, "ApplySuper");
        added->ApplyWidening = writejob_ReadBool(element, "ApplyWidening");
    } catch (...) {
        delete added;
        throw;
    }
    _CurrentTemplate->Add(added);
}

void RoadSetCache::AddTemplateDistDelta(const xml_Element* element) {
    if (!_CurrentTemplate) return;
    const double horizontal = writejob_ReadDouble(element, "HorzDistance");
    const double height = writejob_ReadDouble(element, "HeightDifference");
    if (horizontal == 0.0 || height == 0.0) return;
    auto* delta = new TemplateDistanceDelta;
    delta->VerticalDistance = height;
    delta->HorizontalDistance = horizontal;
    try {
        delta->Code = writejob_ReadText(element, "Code");
        delta->ApplySuperelevation = writejob_ReadBool(element, "ApplySuper");
        delta->ApplyWidening = writejob_ReadBool(element, "ApplyWidening");
    } catch (...) {
        delete delta;
        throw;
    }
    _CurrentTemplate->Add(delta);
}

void RoadSetCache::AddTemplateBatter(const xml_Element* element) {
    if (!_CurrentTemplate) return;
    auto* slope = new TemplateSideSlope;
    slope->Code = writejob_ReadText(element, "Code");
    slope->CutGrade = writejob_ReadDouble(element, "Cut");
    slope->FillGrade = writejob_ReadDouble(element, "Fill");
    slope->CutDitchWidth = writejob_ReadDouble(element, "DitchOffset");
    _CurrentTemplate->Add(slope);
}
