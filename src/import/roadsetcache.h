// RoadSetCache: the road definitions of one conversion, collected while the export is
// read and written as road files after the last element. The job writer embeds one;
// the conversion driver, the writer and the road, corrections and end-entity elements
// call it.
//
// The road definition elements become road elements here: horizontal and vertical
// alignments, template placements and superelevation are collected one alignment at a
// time and kept once an end-entity element closes them; cross-section templates go to
// their own list. Every horizontal element is computed as it arrives, through the
// process-wide converter transformation in force at that moment; the cache builds that
// transformation (and the job index's transform) from the job's corrections and again
// from every corrections element, and deletes it when it ends.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

#include "foundation/coords/coordsys.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"
#include "roads/roadquorvel_template.h"

class JobDatabase;
class xml_Element;
class HorizontalBase;

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

// Reports an index outside [0, count) with the texts of the cache's arrays.
bool roadsetcache_CheckIndex(int32_t i, int32_t count);
// Reports a reservation of an array that already has slots ("size == 0") or storage
// (storageText); true when it has neither.
bool roadsetcache_CheckReserve(int32_t size, bool hasStorage, const char* storageText);

// A growable array held by value: 0, then 20, then four times the slots whenever it is
// full. When the new storage cannot be had the array keeps what it has and the entry is
// dropped.
template <class T>
class RoadSetArray {
public:
    RoadSetArray() = default;
    RoadSetArray(const RoadSetArray&) = delete;
    RoadSetArray& operator=(const RoadSetArray&) = delete;
    virtual ~RoadSetArray() { delete[] entries; }

    int32_t Count() const { return count; }
    int32_t Size() const { return capacity; }
    size_t size() const { return static_cast<size_t>(count); }
    bool Add(const T& entry) {
        if (count >= capacity && !Grow()) return false;
        entries[count++] = entry;
        return true;
    }
    const T& operator[](size_t i) const { return entries[i]; }
    // Null out of range, reported.
    const T* At(int32_t i) const { return roadsetcache_CheckIndex(i, count) ? &entries[i] : nullptr; }
    // Storage for size entries at once, for an array that has none yet; otherwise
    // reported, and nothing changes. False, with nothing changed, when the storage cannot
    // be had or the size is negative. Growth goes on from the size reserved.
    bool Reserve(int32_t size) {
        const char* storageText = std::is_same_v<T, RoadDefinition> ? "Definitions == NULL" : "Alignments == NULL";
        if (!roadsetcache_CheckReserve(capacity, entries != nullptr, storageText)) return false;
        if (size <= 0) return size == 0;
        T* reserved = new (std::nothrow) T[static_cast<size_t>(size)];
        if (!reserved) return false;
        entries = reserved;
        capacity = size;
        return true;
    }

private:
    bool Grow() {
        const int64_t wanted = capacity == 0 ? 20 : static_cast<int64_t>(capacity) * 4;
        if (wanted > INT32_MAX) return false;
        T* grown = new (std::nothrow) T[static_cast<size_t>(wanted)];
        if (!grown) return false;
        for (int32_t i = 0; i < count; ++i) grown[i] = entries[i];
        delete[] entries;
        entries = grown;
        capacity = static_cast<int32_t>(wanted);
        return true;
    }

    int32_t capacity = 0;
    int32_t count = 0;
    T* entries = nullptr;
};

// An alignment being collected or finished: its road elements, its kind ("Horizontal",
// "Vertical", "TemplatePlacement" or "SuperWidening"; empty while none is collected) and
// the ID of its first element.
class CachedAlignment : public RoadElementArray {
public:
    CachedAlignment() = default;
    CachedAlignment(const CachedAlignment& other) = default;
    CachedAlignment& operator=(const CachedAlignment& other);
    ~CachedAlignment() override = default;

    // Both texts emptied and the elements deleted.
    void ClearAll();

    Str CacheType;
    Str AlignmentID;
};

using AlignmentCache = RoadSetArray<CachedAlignment>;

class RoadSetCache {
public:
    explicit RoadSetCache(JobDatabase* job);
    RoadSetCache(const RoadSetCache&) = delete;
    RoadSetCache& operator=(const RoadSetCache&) = delete;
    // Deletes the converter transformation.
    ~RoadSetCache();

    // The folder the road files go to: the job path up to and including its last
    // separator, or empty.
    void SetDirectory(const Str& path) { _Directory = path; }
    const Str& GetDirectory() const { return _Directory; }
    // Writes one road file per road header, in definition order, and lists each name
    // among the extra output files once its file is written whole; with no road header
    // nothing is written or listed. A road file that cannot be written throws (the
    // conversion fails); the files written before it stay, and stay listed. A road
    // whose file would be the job file throws before any file is written.
    void WriteRoadFiles();
    // The file of each built road, in order: RoadFileName, or, where an earlier road
    // has that name, its first numbered variant that no earlier road has
    // ("Main(Job)(2).rxl"), so that each road has a file of its own.
    std::vector<Str> RoadFileNames(const Str& jobName) const;
    // One road per road definition, with its name, station interval and its alignments
    // copied by ID; kept until the road files are written.
    void BuildRoads();
    const RoadArray& GetRoads() const { return _Roads; }

    // False when the name holds a character that no file name may hold (double quote,
    // "*", "/", ":", "<", ">", "?", backslash, "|") or "$(", which the file layer would
    // expand as a path macro; an empty name is valid.
    static bool IsValidFileName(const Str& name);
    // The job name as it may stand inside a file name: every character that
    // IsValidFileName refuses becomes "_", and "$(" becomes "_(".
    static Str FileNamePart(const Str& jobName);
    // directory + road name + "(" + job name + ").rxl"; "road" stands for a road name
    // that is not a valid file name.
    Str RoadFileName(const Str& roadName, const Str& jobName) const;

    // Builds the job index's transform and the converter transformation from the job's
    // newest corrections record, or from default corrections when the job has none.
    void CreateTransformations();
    // Rebuilds both transforms from the corrections of a corrections element.
    void SetCorrections(const coordsys_Corrections& corrections);
    // The corrections handed last; null before the first.
    const coordsys_Corrections* GetCorrections() const { return _Corrections ? &*_Corrections : nullptr; }

    // Records the road definition of a road header element.
    void AddRoadHeader(const xml_Element* element);
    // Finishes the alignment being collected: a copy joins the alignments and the
    // current one is emptied; nothing when it holds no element.
    void CloseAlignment();
    // The first finished alignment of that ID, whatever its kind; null when none.
    const CachedAlignment* FindAlignment(const Str& id) const;
    // The target becomes a copy of the elements of the alignment of that ID; unchanged
    // when there is none.
    void CopyAlignment(RoadElementArray& target, const Str& id) const;

    // The element builders, one per road definition element. A horizontal element
    // after the header throws "road element outside a horizontal alignment" when the
    // alignment holds no horizontal element to start from; the boolean children throw
    // the reader's message.
    void AddHorzHeader(const xml_Element* element);
    void AddHorzStraight(const xml_Element* element);
    // keyinMethod: 0 radius and length, 2 delta angle and radius, 3 deflection angle
    // and length.
    void AddHorzArc(const xml_Element* element, int32_t keyinMethod);
    void AddHorzSpiral(const xml_Element* element);
    void AddVertHeader(const xml_Element* element);
    void AddVertPoint(const xml_Element* element);
    void AddVertArc(const xml_Element* element);
    void AddVertParabola(const xml_Element* element);
    void AddVertAsymParabola(const xml_Element* element);
    void AddTemplatePlacement(const xml_Element* element);
    void AddSuperWidening(const xml_Element* element);
    // A deleted template header leaves no current template, so its elements are dropped.
    void AddTemplateHeader(const xml_Element* element);
    void AddTemplateDistGrade(const xml_Element* element);
    void AddTemplateDistDelta(const xml_Element* element);
    void AddTemplateBatter(const xml_Element* element);

    // The end radius of the element before the last one appended would follow: the
    // last element's when it has a radius, else, across one zero-length straight, the
    // one before it; null otherwise.
    double RadiusBefore() const;
    // Gives a preceding exit spiral (also one before a zero-length straight, which then
    // moves to the spiral's new end) its end radius and recomputes its end.
    void FinishExitSpiral(double radius);

    const RoadSetArray<RoadDefinition>& GetDefinitions() const { return _Definitions; }
    const AlignmentCache& GetAlignments() const { return _Alignments; }
    const CachedAlignment& GetCurrentCache() const { return _CurrentCache; }
    const TemplateArray& GetTemplates() const { return _Templates; }

    // A hook that sees the cache when the road files are about to be written (tests);
    // null for none.
    using Inspector = void (*)(const RoadSetCache& cache);
    static void SetInspector(Inspector inspector);

    static constexpr double Resolution = 0.0001;

private:
    // Starts an alignment of that kind when none is open, then checks the kind.
    void BeginAlignment(const xml_Element* element, const char* type);
    void CheckType(const char* type, const char* assertion);
    // The last element as a horizontal one; throws when there is none.
    HorizontalBase* PreviousHorizontal();
    // Start station and coordinate from the previous element, end station, end
    // coordinate, then appended.
    void AppendHorizontal(HorizontalBase* element, const HorizontalBase* previous);
    // Both transforms from the corrections.
    void BuildTransforms(const coordsys_Corrections& corrections, bool checkError);

    double _Resolution = Resolution;
    JobDatabase* _Job;
    Str _Directory;
    RoadArray _Roads;
    RoadSetArray<RoadDefinition> _Definitions;
    TemplateArray _Templates;
    CrossSectionTemplate* _CurrentTemplate = nullptr;
    CachedAlignment _CurrentCache;
    AlignmentCache _Alignments;
    std::optional<coordsys_Corrections> _Corrections;
};
