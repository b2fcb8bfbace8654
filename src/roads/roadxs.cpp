#include "roads/roadxs.h"

#include <algorithm>
#include <cmath>

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "roads/roadcogo.h"

namespace {

constexpr const char* kModule = "roadxs";

// Node offsets, elevations and section headers compare to 8 decimals.
constexpr int kDecimals = 8;

bool Near(double a, double b) { return approx_EqualDecimals(a, APPROX_EqualTo, b, kDecimals); }

bool IsReserved(int32_t node) { return node == ROADXS_ReservedLeftNode || node == ROADXS_ReservedRightNode; }
bool IsBatterNumber(int32_t node) { return node == ROADXS_LeftBatterNode || node == ROADXS_RightBatterNode; }

int32_t SideOfOffset(double offset) { return offset < 0 ? DBROAD_SideLeft : DBROAD_SideRight; }

}  // namespace

// Node.

bool roadxs_Node::operator==(const roadxs_Node& other) const {
    return Value == other.Value && Code == other.Code && Tag == other.Tag && Near(Elevation, other.Elevation) &&
           Near(Offset, other.Offset) && Flag == other.Flag;
}

// Side.

roadxs_Side::roadxs_Side(const roadxs_Side& other) { *this = other; }

roadxs_Side& roadxs_Side::operator=(const roadxs_Side& other) {
    if (this == &other) return *this;
    TemplateName = other.TemplateName;
    Allocate(other.Size);
    for (int32_t i = 0; i < other.Count; ++i) Nodes[i] = other.Nodes[i];
    Count = other.Count;
    Width = other.Width;
    HasBatter = other.HasBatter;
    CutGrade = other.CutGrade;
    FillGrade = other.FillGrade;
    BatterCode = other.BatterCode;
    CutDitchWidth = other.CutDitchWidth;
    BatterTag = other.BatterTag;
    BatterValue = other.BatterValue;
    return *this;
}

bool roadxs_Side::operator==(const roadxs_Side& other) const {
    if (!(BatterCode == other.BatterCode && Near(Width, other.Width) && CutGrade == other.CutGrade &&
          FillGrade == other.FillGrade && CutDitchWidth == other.CutDitchWidth && BatterTag == other.BatterTag &&
          BatterValue == other.BatterValue && HasBatter == other.HasBatter && Count == other.Count &&
          TemplateName == other.TemplateName))
        return false;
    for (int32_t i = 0; i < Count; ++i)
        if (Nodes[i] != other.Nodes[i]) return false;
    return true;
}

void roadxs_Side::Allocate(int32_t size) {
    Free();
    if (size <= 0) return;
    Nodes.reset(new roadxs_Node[size]);
    Size = size;
}

void roadxs_Side::Reserve(int32_t size) {
    if (size <= Size) return;
    std::unique_ptr<roadxs_Node[]> table(new roadxs_Node[size]);
    for (int32_t i = 0; i < Count; ++i) table[i] = Nodes[i];
    Nodes = std::move(table);
    Size = size;
}

void roadxs_Side::Append(const roadxs_Node& node) {
    if (Count >= Size) Reserve(std::max(4, Size * 2));
    Nodes[Count++] = node;
    Width = node.Offset;
}

void roadxs_Side::Free() {
    Nodes.reset();
    Size = 0;
    Count = 0;
}

// Position.

bool roadxs_Position::operator==(const roadxs_Position& other) const {
    return Code == other.Code && Node == other.Node && Offset == other.Offset;
}

bool roadxs_Position::IsLeftBatter() const {
    if (Node != ROADXS_LeftBatterNode) return false;
    QZ_ASSERT_TEXT(Offset == ROADXS_LeftBatterOffset, "Offset == ROADXS_LeftBatterOffset");
    return true;
}

bool roadxs_Position::IsRightBatter() const {
    if (Node != ROADXS_RightBatterNode) return false;
    QZ_ASSERT_TEXT(Offset == ROADXS_RightBatterOffset, "Offset == ROADXS_RightBatterOffset");
    return true;
}

void roadxs_Position::SetLeftBatter(const Str& code) {
    Code = code;
    Node = ROADXS_LeftBatterNode;
    Offset = ROADXS_LeftBatterOffset;
}

void roadxs_Position::SetRightBatter(const Str& code) {
    Code = code;
    Node = ROADXS_RightBatterNode;
    Offset = ROADXS_RightBatterOffset;
}

void roadxs_Position::SetBatter(int32_t side, const Str& code) {
    if (side == DBROAD_SideRight)
        SetRightBatter(code);
    else
        SetLeftBatter(code);
}

bool roadxs_Position::IsOutwardOf(const roadxs_Position& other) const {
    if (Offset == 0 && other.Offset == 0) return false;
    if (other.Offset == 0) return true;
    if (Offset == 0) return false;
    const bool batter = IsBatter();
    if (batter && Node == other.Node) return false;
    if (batter) return true;
    if (Offset < 0 && other.IsLeftBatter()) return false;
    if (Offset >= 0 && other.IsRightBatter()) return false;
    if (maths_IsNull(Offset) || maths_IsNull(other.Offset)) return false;
    return Offset >= 0 ? other.Offset < Offset : other.Offset > Offset;
}

// Section.

roadxs_Section::roadxs_Section() { Centre.Offset = 0; }

bool roadxs_Section::operator==(const roadxs_Section& other) const {
    return RoadName == other.RoadName && Near(Point.North, other.Point.North) && Near(Point.East, other.Point.East) &&
           Near(Point.Elev, other.Point.Elev) && Near(Direction, other.Direction) && Station == other.Station &&
           EquatedStation == other.EquatedStation && Centre == other.Centre &&
           Sides[DBROAD_SideLeft] == other.Sides[DBROAD_SideLeft] &&
           Sides[DBROAD_SideRight] == other.Sides[DBROAD_SideRight];
}

int32_t roadxs_Section::NodeCount() const {
    const roadxs_Side& left = Sides[DBROAD_SideLeft];
    const roadxs_Side& right = Sides[DBROAD_SideRight];
    return (left.HasBatter ? 1 : 0) + left.Count + (HasCentreNode() ? 1 : 0) + right.Count + (right.HasBatter ? 1 : 0);
}

namespace {

// What a sequential node number stands for: a batter of a side, or a node.
struct Numbered {
    const roadxs_Node* node = nullptr;
    int32_t batterSide = -1;
};

Numbered Locate(const roadxs_Section& s, int32_t n) {
    Numbered found;
    const roadxs_Side& left = s.Sides[DBROAD_SideLeft];
    const roadxs_Side& right = s.Sides[DBROAD_SideRight];
    if (left.HasBatter && n-- == 0) {
        found.batterSide = DBROAD_SideLeft;
        return found;
    }
    if (n < left.Count) {
        found.node = left.At(left.Count - 1 - n);
        return found;
    }
    n -= left.Count;
    if (s.HasCentreNode() && n-- == 0) {
        found.node = &s.Centre;
        return found;
    }
    if (n < right.Count) {
        found.node = right.At(n);
        return found;
    }
    n -= right.Count;
    if (right.HasBatter && n == 0) found.batterSide = DBROAD_SideRight;
    return found;
}

}  // namespace

int32_t roadxs_Section::NodeTag(int32_t node) const {
    const bool notNegative = QZ_ASSERT(node >= 0);
    if (!QZ_ASSERT(node < NodeCount()) || !notNegative) return -1;
    const Numbered found = Locate(*this, node);
    if (found.node) return found.node->Tag;
    return found.batterSide >= 0 ? Sides[found.batterSide].BatterTag : -1;
}

double roadxs_Section::NodeOffset(int32_t node) const {
    const bool notNegative = QZ_ASSERT(node >= 0);
    if (!QZ_ASSERT(node < NodeCount()) || !notNegative) return MATHS_Null;
    const Numbered found = Locate(*this, node);
    if (found.node) return found.node->Offset;
    if (found.batterSide == DBROAD_SideLeft) return ROADXS_LeftBatterOffset;
    if (found.batterSide == DBROAD_SideRight) return ROADXS_RightBatterOffset;
    return MATHS_Null;
}

bool roadxs_Section::IsCentreOnly() const {
    for (const roadxs_Side& side : Sides)
        if (side.HasBatter || side.Count > 0) return false;
    return true;
}

double roadxs_Section::GetDirection() const {
    double azimuth = maths_Subtract(Direction, CONSTANT_PiOverTwo);
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

roadxs_Position roadxs_Section::EdgePosition(int32_t side) const {
    const roadxs_Side& s = Sides[side == DBROAD_SideLeft ? DBROAD_SideLeft : DBROAD_SideRight];
    if (const roadxs_Node* edge = s.Outermost())
        return roadxs_Position(edge->Code, side == DBROAD_SideLeft ? -s.Count : s.Count, edge->Offset);
    return roadxs_Position(Centre.Code, 0, Centre.Offset);
}

double roadxs_Section::EdgeElevation(int32_t side) const {
    const roadxs_Node* edge = Sides[side == DBROAD_SideLeft ? DBROAD_SideLeft : DBROAD_SideRight].Outermost();
    return edge ? edge->Elevation : Centre.Elevation;
}

double roadxs_Section::EdgeGrade(int32_t side) const {
    const double grade = roadxs_GradeAt(*this, EdgePosition(side));
    return maths_IsNull(grade) ? 0.0 : grade;
}

bool roadxs_Section::IsBeyondEdge(double offset) const {
    const int32_t side = offset > 0 ? DBROAD_SideRight : DBROAD_SideLeft;
    return std::fabs(offset) > std::fabs(EdgePosition(side).Offset);
}

const roadxs_Node* roadxs_Section::NodeOfNumber(int32_t k) const {
    if (k == 0) return &Centre;
    if (k < 0) return Sides[DBROAD_SideLeft].At(-k - 1);
    return Sides[DBROAD_SideRight].At(k - 1);
}

bool roadxs_Section::MoveTo(roadxs_Position& position, int32_t k) const {
    if (k == ROADXS_LeftBatterNode || k == ROADXS_RightBatterNode) {
        const int32_t side = k == ROADXS_LeftBatterNode ? DBROAD_SideLeft : DBROAD_SideRight;
        position.SetBatter(side, Sides[side].BatterCode);
        return true;
    }
    // A number from another section may name no node here: leave the position alone.
    const roadxs_Node* node = NodeOfNumber(k);
    if (!QZ_ASSERT_TEXT(node != nullptr, "node != NULL")) return false;
    position.Node = k;
    position.Offset = node->Offset;
    position.Code = node->Code;
    return true;
}

int32_t roadxs_Section::NodeRightOf(const roadxs_Position& position) const {
    const roadxs_Side& left = Sides[DBROAD_SideLeft];
    const roadxs_Side& right = Sides[DBROAD_SideRight];
    const double x = position.Offset;
    for (int32_t k = -left.Count; k <= right.Count; ++k) {
        if (k == 0) {
            if (x < 0) return 0;
        } else if (NodeOfNumber(k)->Offset > x) {
            return k;
        }
    }
    return right.HasBatter ? ROADXS_RightBatterNode : right.Count;
}

int32_t roadxs_Section::NodeLeftOf(const roadxs_Position& position) const {
    const roadxs_Side& left = Sides[DBROAD_SideLeft];
    const roadxs_Side& right = Sides[DBROAD_SideRight];
    const double x = position.Offset;
    for (int32_t k = right.Count; k >= -left.Count; --k) {
        if (k == 0) {
            if (x > 0) return 0;
        } else if (NodeOfNumber(k)->Offset < x) {
            return k;
        }
    }
    return left.HasBatter ? ROADXS_LeftBatterNode : -left.Count;
}

bool roadxs_Section::StepRight(roadxs_Position& position) const {
    const roadxs_Side& right = Sides[DBROAD_SideRight];
    const int32_t node = position.Node;
    if (node == 0) {
        if (right.IsEmpty()) return false;
        if (right.Count == 0) {
            QZ_ASSERT_TEXT(right.HasBatter, "Sides[DBROAD_SideRight].HasBatter");
            return MoveTo(position, ROADXS_RightBatterNode);
        }
        return MoveTo(position, 1);
    }
    if (node == ROADXS_RightBatterNode) return false;
    if (node == ROADXS_NodeUnset || IsReserved(node) || node == ROADXS_LeftBatterNode)
        return MoveTo(position, NodeRightOf(position));
    if (!right.IsEmpty() && node == right.Count) {
        if (!right.HasBatter) return false;
        return MoveTo(position, ROADXS_RightBatterNode);
    }
    return MoveTo(position, node + 1);
}

bool roadxs_Section::StepLeft(roadxs_Position& position) const {
    const roadxs_Side& left = Sides[DBROAD_SideLeft];
    const int32_t node = position.Node;
    if (node == 0) {
        if (left.IsEmpty()) return false;
        if (left.Count == 0) {
            QZ_ASSERT_TEXT(left.HasBatter, "Sides[DBROAD_SideLeft].HasBatter");
            return MoveTo(position, ROADXS_LeftBatterNode);
        }
        return MoveTo(position, -1);
    }
    if (node == ROADXS_LeftBatterNode) return false;
    if (node == ROADXS_NodeUnset || IsReserved(node) || node == ROADXS_RightBatterNode)
        return MoveTo(position, NodeLeftOf(position));
    if (!left.IsEmpty() && node == -left.Count) {
        if (!left.HasBatter) return false;
        return MoveTo(position, ROADXS_LeftBatterNode);
    }
    return MoveTo(position, node - 1);
}

bool roadxs_Section::StepOutward(roadxs_Position& position) const {
    return position.IsRightSide() ? StepRight(position) : StepLeft(position);
}

bool roadxs_Section::HasNodeOutward(const roadxs_Position& position) const {
    const int32_t side = SideOfOffset(position.Offset);
    if (Sides[side].Count == 0) return false;
    roadxs_Position stepped = position;
    if (!StepOutward(stepped)) return false;
    const bool batter = side == DBROAD_SideRight ? stepped.IsRightBatter() : stepped.IsLeftBatter();
    return stepped.IsOutwardOf(position) && !batter;
}

void roadxs_Section::MoveToBatter(roadxs_Position& position) const {
    const int32_t side = position.IsRightSide() ? DBROAD_SideRight : DBROAD_SideLeft;
    position.SetBatter(side, Sides[side].BatterCode);
}

void roadxs_Section::SnapToEdge(roadxs_Position& position, const Str& code) const {
    const int32_t side = SideOfOffset(position.Offset);
    const roadxs_Node* edge = Sides[side].Outermost();
    if (!QZ_ASSERT_TEXT(edge != nullptr, "Sides[side].Count > 0")) return;
    position.Node = side == DBROAD_SideLeft ? -Sides[side].Count : Sides[side].Count;
    position.Offset = edge->Offset;
    position.Code = code;
}

bool roadxs_Section::HasNodeAt(const roadxs_Position& position) const {
    if (position.Node != ROADXS_NodeUnset) return false;
    for (int32_t i = 0; i < Nodes.Count(); ++i) {
        const roadxs_Node* node = Nodes.At(i);
        if (node->Offset == position.Offset && node->Code == position.Code) return true;
    }
    return false;
}

double roadxs_Section::ElevationAt(const roadxs_Position& position) const {
    return ElevationWithSideSlope(position, MATHS_Null, false);
}

double roadxs_Section::ElevationAtPosition(const roadxs_Position& position) const {
    return roadxs_ElevationAt(*this, position.Offset, position.Node);
}

double roadxs_Section::ElevationWithSideSlope(const roadxs_Position& position, double height) const {
    return ElevationWithSideSlope(position, height, true);
}

double roadxs_Section::ElevationWithSideSlope(const roadxs_Position& position, double height, bool slopes) const {
    QZ_ASSERT_TEXT(position.Offset != ROADXS_LeftBatterOffset, "Offset.Offset != ROADXS_LeftBatterOffset");
    QZ_ASSERT_TEXT(position.Offset != ROADXS_RightBatterOffset, "Offset.Offset != ROADXS_RightBatterOffset");
    if (IsCentreOnly() && position.Offset == 0) return Point.Elev;
    if (IsBeyondEdge(position.Offset)) return slopes ? SideSlopeElevation(position.Offset, height) : MATHS_Null;
    return ElevationAtPosition(position);
}

double roadxs_Section::SideSlopeElevation(double offset, double height) const {
    const int32_t side = SideOfOffset(offset);
    const double a = maths_Abs(offset);
    const double edge = EdgeElevation(side);
    const double width = maths_Abs(EdgePosition(side).Offset);
    const double rise = maths_Subtract(edge, Point.Elev);
    if (maths_IsNull(width) || maths_IsNull(rise) || maths_IsNull(a) || maths_IsNull(height)) return MATHS_Null;
    const roadxs_Side& s = Sides[side];
    if (height < rise)  // below the edge: fill
        return maths_Subtract(edge, maths_Multiply(maths_Subtract(a, width), maths_Tan(s.FillGrade)));
    const double foot = maths_IsNull(s.CutDitchWidth) ? width : width + std::fabs(s.CutDitchWidth);
    if (a < foot) return edge;  // the ditch bottom
    return maths_Add(edge, maths_Multiply(a - foot, maths_Tan(s.CutGrade)));
}

// Free functions.

double roadxs_InterpolateLinear(double y1, double y2, double x1, double x2, double x) {
    return roadcogo_Interpolate(y1, y2, x1, x2, x);
}

double roadxs_ElevationAt(const roadxs_Section& section, double x, int32_t node) {
    const roadxs_Side& s = section.Sides[x >= 0 ? DBROAD_SideRight : DBROAD_SideLeft];
    const roadxs_Side& o = section.Sides[x >= 0 ? DBROAD_SideLeft : DBROAD_SideRight];
    if (x == 0 && (node == 0 || node == ROADXS_NodeUnset) && section.HasCentreNode()) return section.Centre.Elevation;
    if (IsReserved(node) || s.IsEmpty()) return x == 0 ? section.Centre.Elevation : MATHS_Null;
    // 0: any node may answer.
    const int32_t wanted = node == ROADXS_NodeUnset || IsBatterNumber(node) ? 0 : std::abs(node);

    const roadxs_Node* first = s.At(0);
    const roadxs_Node& start = section.HasCentreNode() || !first ? section.Centre : *first;
    if (!section.HasCentreNode() && o.Count > 0 && std::fabs(start.Offset) > std::fabs(x)) {
        const roadxs_Node* across = o.At(0);
        return roadxs_InterpolateLinear(across->Elevation, start.Elevation, across->Offset, start.Offset, x);
    }
    const roadxs_Node* previous = &start;
    for (int32_t i = 1; i <= s.Count; ++i) {
        const roadxs_Node* n = s.At(i - 1);
        if (approx_Equal(n->Offset, APPROX_EqualTo, x) && (wanted == 0 || wanted == i)) return n->Elevation;
        if (std::fabs(n->Offset) > std::fabs(x))
            return roadxs_InterpolateLinear(previous->Elevation, n->Elevation, previous->Offset, n->Offset, x);
        previous = n;
    }
    // Beyond the last node.
    return MATHS_Null;
}

double roadxs_GradeAt(const roadxs_Section& section, const roadxs_Position& position) {
    const double x = position.Offset;
    if (x == 0) return 0;
    if (IsReserved(position.Node)) return MATHS_Null;
    if (IsBatterNumber(position.Node)) {
        QZ_FAIL("Why did we get here?");
        return MATHS_Null;
    }
    const bool right = x > 0;
    const roadxs_Side& s = section.Sides[right ? DBROAD_SideRight : DBROAD_SideLeft];
    // The first node at or beyond the offset, within the tolerance.
    for (int32_t i = 0; i < s.Count; ++i) {
        const roadxs_Node& n = s.Nodes[i];
        if (!approx_Equal(n.Offset, right ? APPROX_GreaterOrEqual : APPROX_LessOrEqual, x)) continue;
        const double previousOffset = i == 0 ? 0.0 : s.Nodes[i - 1].Offset;
        const double previousElevation = i == 0 ? section.Centre.Elevation : s.Nodes[i - 1].Elevation;
        const double rise = maths_IsNull(previousElevation) ? 0.0 : maths_Subtract(n.Elevation, previousElevation);
        const double run = maths_Abs(maths_Subtract(n.Offset, previousOffset));
        // Two nodes at one offset have no grade between them.
        if (!QZ_ASSERT_TEXT(run != 0.0, "deltaHorz != 0.0")) return MATHS_Null;
        return maths_ATan(maths_Divide(rise, run));
    }
    return MATHS_Null;
}
