// Local site transformations: a job's named mapping between the cogo grid and its
// local grid (the locally transformed grid), and back. The job index makes one per
// named transformation: a line transformation from two points known in both grids,
// a Helmert transformation from the two parameter blocks of the job's Helmert record,
// or the null transformation when the name is empty or not found. The coordinate
// transform calls them only while they are defined.
//
// The line and Helmert directions are exact inverses of each other (to rounding)
// except the line's method 2, which mixes the scaled and unit coefficients
// differently per direction.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "records/localtransform.h"

// GetType codes.
enum LocalTransformation_Type : int32_t {
    LOCALTRANSFORMATION_Line = 0,     // "TransformationMethod_Line"
    LOCALTRANSFORMATION_Helmert = 1,  // "TransformationMethod_Helmert"
    LOCALTRANSFORMATION_Null = 2,
};

// How a line transformation applies the scale between its two lines.
enum LocalTransformation_ScaleMethod : int32_t {
    LINETRANSFORMATION_ScaleFree = 0,           // "LineTransformationScale_Free"
    LINETRANSFORMATION_ScaleFixedTo1 = 1,       // "LineTransformationScale_FixedTo1"
    LINETRANSFORMATION_ScaleAlongLineOnly = 2,  // "LineTransformationScale_AlongLineOfAxisOnly"
};

class LocalTransformation {
public:
    LocalTransformation() = default;
    LocalTransformation(const LocalTransformation&) = default;
    LocalTransformation& operator=(const LocalTransformation&) = default;
    virtual ~LocalTransformation() = default;

    virtual int32_t GetType() const = 0;
    // Undefined, without a name.
    virtual void Clear();
    virtual void ToCogoGrid(const coord_LocalTransformedGrid& local, coord_CogoGrid* cogo) = 0;
    virtual void ToLocalTransformedGrid(const coord_CogoGrid& cogo, coord_LocalTransformedGrid* local) = 0;

    int32_t Defined = 0;  // 1 once parameters were set successfully
    Str Name;
};

// What the job index hands out when a job names no usable transformation: every
// point maps to a null point.
class LocalNullTransformation : public LocalTransformation {
public:
    LocalNullTransformation() { Clear(); }

    int32_t GetType() const override { return LOCALTRANSFORMATION_Null; }
    void ToCogoGrid(const coord_LocalTransformedGrid&, coord_CogoGrid* cogo) override { cogo->SetNull(); }
    void ToLocalTransformedGrid(const coord_CogoGrid&, coord_LocalTransformedGrid* local) override {
        local->SetNull();
    }
};

// A similarity fitted to one line known in both grids: two source points in the cogo
// grid, the same two as target points in the local grid. Elevations pass unchanged.
class LocalLineTransformation : public LocalTransformation {
public:
    LocalLineTransformation() { Clear(); }

    int32_t GetType() const override { return LOCALTRANSFORMATION_Line; }
    void Clear() override;
    // False, leaving the transformation undefined, when a point is horizontally null
    // or either pair of points lies within cogo's zero distance (0.0005 m): no line
    // to fit. The points and the method are stored either way.
    bool Set(const Str& name, const coord_CogoGrid& source1, const coord_CogoGrid& source2,
             const coord_LocalTransformedGrid& target1, const coord_LocalTransformedGrid& target2, int32_t method);
    void ToCogoGrid(const coord_LocalTransformedGrid& local, coord_CogoGrid* cogo) override;
    void ToLocalTransformedGrid(const coord_CogoGrid& cogo, coord_LocalTransformedGrid* local) override;

    coord_CogoGrid Source1;
    coord_CogoGrid Source2;
    coord_LocalTransformedGrid Target1;
    coord_LocalTransformedGrid Target2;
    int32_t ScaleApplicationMethod = LINETRANSFORMATION_ScaleFree;
    double SourceLengthSquared = 0.0;  // |dS|^2
    double TargetLengthSquared = 0.0;  // |dT|^2

private:
    enum Coefficients : int32_t { None = 0, TowardCogoGrid = 1, TowardLocalGrid = 2 };
    // east = EastA dE + EastB dN, north = NorthA dN - NorthB dE.
    struct Mapping {
        double EastA, EastB, NorthA, NorthB;
    };
    // Computed on first use of a direction and kept until the other one is asked for.
    void ComputeCoefficients(Coefficients direction);
    Mapping MappingToward(Coefficients direction);
    // The point taken from one line's first point to the other's; false for a null.
    bool Map(Coefficients direction, double north, double east, double fromNorth, double fromEast, double toNorth,
             double toEast, double* outNorth, double* outEast);

    int32_t _Coefficients = None;
    double _SourceDeltaNorth = 0.0;
    double _SourceDeltaEast = 0.0;
    double _TargetDeltaNorth = 0.0;
    double _TargetDeltaEast = 0.0;
    double _A = 0.0;
    double _B = 0.0;
    double _K = 0.0;
    double _UnitA = 0.0;  // a / k
    double _UnitB = 0.0;  // b / k
};

// A plane similarity about an origin for north and east, and a constant or an
// inclined plane for elevation; the two parameter blocks of the job's Helmert record.
class LocalHelmertTransformation : public LocalTransformation {
public:
    LocalHelmertTransformation() { Clear(); }

    int32_t GetType() const override { return LOCALTRANSFORMATION_Helmert; }
    void ToCogoGrid(const coord_LocalTransformedGrid& local, coord_CogoGrid* cogo) override;
    void ToLocalTransformedGrid(const coord_CogoGrid& cogo, coord_LocalTransformedGrid* local) override;
    // A null block resets that block to its defaults. False, leaving the transformation
    // undefined, for an applied horizontal block whose Scale is 0, null or not finite:
    // it would map every point onto one (an export without a scale stores 0).
    virtual bool Set(const Str& name, const dbrecord_HelmertParameters* horizontal,
                     const dbrecord_HelmertSolution* vertical);

    dbrecord_HelmertParameters HorizontalParameters;
    dbrecord_HelmertSolution VerticalParameters;

private:
    void Derive();

    double _SinMinusRotation = 0.0;
    double _CosMinusRotation = 1.0;
    double _SinRotation = 0.0;
    double _CosRotation = 1.0;
    double _InverseScale = 1.0;
    double _InverseTranslationEast = 0.0;
    double _InverseTranslationNorth = 0.0;
};
