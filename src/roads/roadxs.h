// A road's cross section at one station and the questions asked of it: the elevation
// and grade at an offset, the edges, stepping from node to node, and the side slopes
// (batters) that continue beyond the edges.
//
// Offsets are horizontal distances from the centre line, positive to the right;
// elevations are absolute. Each side holds its nodes from the centre outward. Nodes are
// numbered 0 for the centre, -k for the k-th left node and +k for the k-th right node;
// the batters have numbers and offsets of their own, far beyond any real node.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"
#include "records/equatedstation.h"
#include "roads/roadquorvel_placement.h"

inline constexpr int32_t ROADXS_NodeUnset = -32767;
inline constexpr int32_t ROADXS_LeftBatterNode = -32766;
inline constexpr int32_t ROADXS_RightBatterNode = 32767;
// Never produced here; navigation resolves them from the offset, elevation and grade
// queries answer null for them.
inline constexpr int32_t ROADXS_ReservedLeftNode = -32765;
inline constexpr int32_t ROADXS_ReservedRightNode = 32766;
inline constexpr double ROADXS_LeftBatterOffset = -5e306;
inline constexpr double ROADXS_RightBatterOffset = 5e306;

class roadxs_Node {
public:
    roadxs_Node() = default;
    roadxs_Node(double offset, double elevation, const Str& code) : Offset(offset), Elevation(elevation), Code(code) {}
    roadxs_Node(const roadxs_Node& other) = default;
    roadxs_Node& operator=(const roadxs_Node& other) = default;
    virtual ~roadxs_Node() = default;

    // Offset and elevation within 1e-8, the rest exactly.
    bool operator==(const roadxs_Node& other) const;
    bool operator!=(const roadxs_Node& other) const { return !(*this == other); }

    double Offset = MATHS_Null;
    double Elevation = MATHS_Null;
    Str Code;
    // Flag, Tag and Value are carried for callers; the computation never sets them.
    uint8_t Flag = 0;
    int32_t Tag = -1;
    double Value = MATHS_Null;
};

// One side of a section: its nodes from the centre outward and its batter.
class roadxs_Side {
public:
    roadxs_Side() = default;
    roadxs_Side(const roadxs_Side& other);
    roadxs_Side& operator=(const roadxs_Side& other);
    ~roadxs_Side() = default;

    // Width within 1e-8, the batter and the counts exactly, then every node.
    bool operator==(const roadxs_Side& other) const;
    bool operator!=(const roadxs_Side& other) const { return !(*this == other); }

    // No nodes and no batter.
    bool IsEmpty() const { return Count == 0 && !HasBatter; }
    // A new table of that many default nodes, none in use.
    void Allocate(int32_t size);
    // A table of at least that many slots, keeping the nodes in use.
    void Reserve(int32_t size);
    // Appends a node, growing the table when it is full; Width follows.
    void Append(const roadxs_Node& node);
    void Free();
    // The node in use at index i (0 is the innermost), or null.
    const roadxs_Node* At(int32_t i) const { return i >= 0 && i < Count ? &Nodes[i] : nullptr; }
    roadxs_Node* At(int32_t i) { return i >= 0 && i < Count ? &Nodes[i] : nullptr; }
    const roadxs_Node* Outermost() const { return At(Count - 1); }

    Str TemplateName;
    int32_t Count = 0;
    int32_t Size = 0;
    std::unique_ptr<roadxs_Node[]> Nodes;
    // Offset of the outermost node, negative on the left.
    double Width = 0;
    bool HasBatter = false;
    // Side slopes as angles: the cut rising outward, the fill falling outward.
    double CutGrade = 0;
    double FillGrade = 0;
    Str BatterCode;
    // Flat width at the foot of the cut before the cut slope starts.
    double CutDitchWidth = 0;
    int32_t BatterTag = -1;
    double BatterValue = 0;
};

// Further nodes of a section; the computation leaves the list empty.
class roadxs_NodeList {
public:
    int32_t Count() const { return static_cast<int32_t>(nodes.size()); }
    const roadxs_Node* At(int32_t i) const { return i >= 0 && i < Count() ? &nodes[i] : nullptr; }
    void Add(const roadxs_Node& node) { nodes.push_back(node); }
    void Clear() { nodes.clear(); }

private:
    std::vector<roadxs_Node> nodes;
};

// A place on a section: a node number, or an offset, or both.
class roadxs_Position {
public:
    roadxs_Position() = default;
    roadxs_Position(const Str& code, int32_t node, double offset) : Code(code), Node(node), Offset(offset) {}
    // At an offset, with no node number.
    explicit roadxs_Position(double offset) : Offset(offset) {}

    // Every field exactly.
    bool operator==(const roadxs_Position& other) const;
    bool operator!=(const roadxs_Position& other) const { return !(*this == other); }

    bool IsRightSide() const { return Offset >= 0; }
    // By node number; a batter number with another offset is reported.
    bool IsLeftBatter() const;
    bool IsRightBatter() const;
    bool IsBatter() const { return IsLeftBatter() || IsRightBatter(); }
    void SetLeftBatter(const Str& code);
    void SetRightBatter(const Str& code);
    // The right batter for DBROAD_SideRight, else the left one.
    void SetBatter(int32_t side, const Str& code);
    // This position lies further from the centre line than other, on its own side.
    bool IsOutwardOf(const roadxs_Position& other) const;

    Str Code;
    int32_t Node = ROADXS_NodeUnset;
    double Offset = MATHS_Null;
};

class roadxs_Section {
public:
    roadxs_Section();

    // Header values within 1e-8 where they are lengths or angles, the station exactly,
    // then the centre and both sides; the further nodes are not compared.
    bool operator==(const roadxs_Section& other) const;
    bool operator!=(const roadxs_Section& other) const { return !(*this == other); }

    // Numbering left to right: the left batter, the left nodes outermost first, the
    // centre, the right nodes innermost first, the right batter; each only when present.
    int32_t NodeCount() const;
    // -1 past the end (and for a negative number).
    int32_t NodeTag(int32_t node) const;
    // The batter offsets for batters; null past the end (and for a negative number).
    double NodeOffset(int32_t node) const;

    bool HasCentreNode() const { return !maths_IsNull(Centre.Offset); }
    bool IsCentreOnly() const;
    bool IsDesignElevationNull() const { return maths_IsNull(Point.Elev); }
    // The alignment's azimuth at the station.
    double GetDirection() const;

    // The outermost node of the side, or the centre for a side without nodes; batters
    // are no edges.
    roadxs_Position EdgePosition(int32_t side) const;
    double EdgeElevation(int32_t side) const;
    // 0 where the grade is unknown.
    double EdgeGrade(int32_t side) const;
    bool IsBeyondEdge(double offset) const;

    // The nearest node number to the right (left) of the position's offset.
    int32_t NodeRightOf(const roadxs_Position& position) const;
    int32_t NodeLeftOf(const roadxs_Position& position) const;
    // Move to the next node to the right (left); false when there is none, the position
    // then unchanged.
    bool StepRight(roadxs_Position& position) const;
    bool StepLeft(roadxs_Position& position) const;
    // Right when the position IsRightSide.
    bool StepOutward(roadxs_Position& position) const;
    bool HasNodeOutward(const roadxs_Position& position) const;
    void MoveToBatter(roadxs_Position& position) const;
    // The outermost node of the position's side, under the given code.
    void SnapToEdge(roadxs_Position& position, const Str& code) const;
    // An unset position naming one of the further nodes by offset and code.
    bool HasNodeAt(const roadxs_Position& position) const;

    // The design elevation at the position's offset: null beyond the edges.
    double ElevationAt(const roadxs_Position& position) const;
    double ElevationAtPosition(const roadxs_Position& position) const;
    // As ElevationAt, but beyond an edge down or up the side slope that a point at the
    // given height above the design meets.
    double ElevationWithSideSlope(const roadxs_Position& position, double height) const;
    double SideSlopeElevation(double offset, double height) const;

    Str RoadName;
    // Design point on the centre line; its elevation is the design elevation.
    coord_CorrectedGrid Point;
    // Azimuth of the section line towards the right side.
    double Direction = MATHS_Null;
    // Null when the station lies off the alignment.
    double Station = MATHS_Null;
    class EquatedStation EquatedStation;
    roadxs_Node Centre;
    roadxs_Side Sides[2];
    roadxs_NodeList Nodes;

private:
    // The node of number k (not a batter), or null.
    const roadxs_Node* NodeOfNumber(int32_t k) const;
    // Moves the position to node k (a batter number included); false, position
    // unchanged, when the section has no such node.
    bool MoveTo(roadxs_Position& position, int32_t k) const;
    // ElevationAt, or with side slopes beyond the edges.
    double ElevationWithSideSlope(const roadxs_Position& position, double height, bool slopes) const;
};

// The elevation at offset x, restricted to node number `node` when it names a real
// node; null beyond the last node of the side.
double roadxs_ElevationAt(const roadxs_Section& section, double x, int32_t node);
// The grade of the segment that ends at or beyond the position's offset, seen from the
// centre; 0 at the centre, null where there is none.
double roadxs_GradeAt(const roadxs_Section& section, const roadxs_Position& position);
// y at x on the line through (x1, y1) and (x2, y2); equal x1 and x2 give y1 when the ys
// are equal, else null.
double roadxs_InterpolateLinear(double y1, double y2, double x1, double x2, double x);
