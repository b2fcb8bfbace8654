// A road document: name, code, station interval, the horizontal alignment as an element
// chain and/or a PI list, the vertical alignment, templates with their placements,
// superelevation and widening, and station equations. GenericRoad is the interface other
// code asks for stations, key stations and cross sections; QuorvelRoad holds the data and
// reads and writes it as a road file (".rxl"). Geometry runs through the process-wide
// converter transformation; a road holds no transform of its own.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"
#include "roads/roadquorvel_chainages.h"
#include "roads/roadquorvel_horizontal_alignment.h"
#include "roads/roadquorvel_pi.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadquorvel_vertical_alignment.h"
#include "roads/roadstationequations.h"

class roadxs_Section;

class GenericRoad {
public:
    virtual ~GenericRoad() = default;
    virtual Str GetName() const { return Str(); }
    virtual Str GetCode() const { return Str(); }
    virtual Str GetExtraText() const { return Str(); }
    virtual int32_t GetStatus() const = 0;
    virtual bool IsValid() const { return true; }
    virtual bool HasVerticalAlignment() const { return false; }
    virtual bool HasTemplates() const { return false; }
    virtual bool Load(const Str& /*path*/) { return false; }
    virtual double EndStation() const { return MATHS_Null; }
    virtual double StartStation() const { return MATHS_Null; }
    virtual double StationOfPoint(const coord_CorrectedGrid& /*point*/) const { return MATHS_Null; }
    virtual void SetName(const Str& /*name*/) {}
    // The cross section at the station into the caller's section.
    virtual void CrossSectionAt(double /*station*/, roadxs_Section& /*section*/) const {}
    virtual void BuildChainageList() {}
    // The key stations, built on first demand; null when the road offers none.
    virtual ChainageList* GetChainageList() { return nullptr; }
    virtual const StationEquationManager* GetStationEquationManager() const { return NullStationEquationManager(); }

    // Answers of the interface itself, outside the virtual operations: a road known only
    // as a GenericRoad places no point and has no equations.
    coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& /*point*/) const { return {}; }
    coord_CorrectedGrid PointAtStationOffset(double /*station*/, double /*offset*/) const { return {}; }
    const StationEquationManager* NullStationEquationManager() const { return road_GetNullStationEquationManager(); }
};

class QuorvelRoad : public GenericRoad {
public:
    QuorvelRoad() = default;
    QuorvelRoad(const QuorvelRoad& other);
    // Everything but Status, the lists and templates deeply.
    QuorvelRoad& operator=(const QuorvelRoad& other);
    ~QuorvelRoad() override = default;

    Str GetName() const override { return Name; }
    Str GetCode() const override { return Code; }
    Str GetExtraText() const override { return Str(); }
    int32_t GetStatus() const override { return Status; }
    // The chain, the vertical alignment, placements, superelevation and equations within
    // the road's stations, unique template names, every placed template present and no
    // template with a negative distance; false at the first that fails.
    bool IsValid() const override;
    bool HasVerticalAlignment() const override { return VerticalAlignment.HasElevations(); }
    bool HasTemplates() const override { return TemplatePositioning.HasUserDefinedTemplates(); }
    // Reads the whole road file; false for an empty path or a file that cannot be indexed.
    bool Load(const Str& path) override;
    // Reads the name, code, interval, horizontal chain and equations only.
    bool LoadHeader(const Str& path);
    double EndStation() const override { return HorizontalAlignment.EndStation(); }
    double StartStation() const override { return HorizontalAlignment.StartStation(); }
    double StationOfPoint(const coord_CorrectedGrid& point) const override;
    void SetName(const Str& name) override { Name = name; }
    // Key stations are gathered only for a centre-line-only road; otherwise the list
    // stays as it is.
    void BuildChainageList() override;
    ChainageList* GetChainageList() override;
    const StationEquationManager* GetStationEquationManager() const override { return &StationEquations; }

    // Name = the text before its last '.', the whole text without one.
    void SetNameFromPath(const Str& text);
    // Keeps the path; with a folder in it ('\' or '/'), the road takes the file's base
    // name as its name.
    void SetFileName(const Str& path);
    // A path in the project folder, and the name from it; an empty path clears FilePath.
    void SetPath(const Str& path);
    Str GetFilePath() const { return FilePath; }
    // Fully loaded from a file whose name without extension is the road's name.
    bool IsLoadedFrom(const Str& path) const;
    // Empties the lists, templates, chainages, code, name and path.
    void Clear();

    // Writes the road file at FilePath (nothing for an empty path); true when the whole
    // file is in place. The argument is not used.
    bool WriteRxlFile(int32_t unused);
    bool WriteRxlFileTo(const Str& path);

    // The regular stations (KEY_Interval) every StationInterval along the alignment, in
    // displayed stations across the equations.
    void AddIntervalStations(ChainageElementArray& list) const;
    // Moves the start point between the element chain and the PI list. The filled list
    // must hold only its start point; otherwise this is reported and nothing changes.
    void SwitchHorizontalDefinition();
    bool HasSpirals() const;
    int32_t GetExtents(coord_CorrectedGrid* northWest, coord_CorrectedGrid* southEast) const {
        return HorizontalAlignment.GetExtents(northWest, southEast);
    }
    // Every vertical element is a point at the end station of some horizontal element.
    bool VerticalPointsOnHorizontalEnds() const;

    // The cross section at the station; the centre line only when CentreLineOnly is set.
    void CrossSectionAt(double station, roadxs_Section& section) const override;
    // The design elevation at the station and offset; null off the road or beyond its edges.
    double ElevationAt(double station, double offset) const;
    // The grid point at the station and offset, its elevation the given height above the design.
    coord_CorrectedGrid PointAtStationOffset(double station, double offset, double height) const;
    // The point's station and offset, with its height above the design as the elevation.
    coord_StationOffset StationOffsetElevationOfPoint(const coord_CorrectedGrid& point) const;

    Str Name;
    Str FilePath;
    Str Code;
    // Set to 0 by construction and by every load, to nothing else.
    int32_t Status = 0;
    bool FullyLoaded = false;
    bool Loaded = false;
    // Cross sections hold the centre line only and key stations are gathered; nothing in
    // the library sets it.
    bool CentreLineOnly = false;
    double StationInterval = 20.0;
    RxlChainageList Chainages;
    TemplateArray Templates;
    VerticalElementArray VerticalAlignment;
    HorizontalElementArray HorizontalAlignment;
    HorizontalPIArray HorizontalAlignmentPIs;
    TemplatePlacementArray TemplatePositioning;
    SuperElevationArray Supers;
    StationEquationArray StationEquations;

private:
    // Load's first steps: flags, status, path and name; false for an empty path.
    bool StartLoad(const Str& path);
};

// The process-wide road held from library load to unload, with a flag beside it; nothing
// reads it.
void road_InitStaticRoad();
void road_ExitStaticRoad();
// Builds the holder once (when the library loads) and removes it at unload.
void road_KeepStaticRoad();
