// Road stake-out settings and cross-section records.
//
//   38  db_RoadAvailableStations    which stations a road offers for staking (5 flags)
//   39  db_RoadConstructionOffsets  construction offsets per kind of road definition
//                                   (15 f64 and 25 flags, 145 bytes; disk order below)
//  101  db_CrossSectionNode         one node of a cross-section side
//  102  db_CrossSectionBatter       the batter at the end of a side
//  103  db_CrossSectionSide         batter flag, node count, the batter, the nodes
//  104  db_CrossSectionCenterNode   the centre-line node; its grid written E, N, Elev
//  105  db_CrossSectionReport       side flags, the centre node, left side, right side
//
// The cross-section records nest: a report holds its centre node and up to two sides,
// a side its batter and nodes, and each nested record is written whole, its own
// common header first, inside its parent. Reading a nested record checks its type
// code first: a code that is not the expected class's is reported and marks the parent
// damaged, so no other record's bytes are taken for its fields. Copies are deep.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"
#include "records/equatedstation.h"

class db_RoadAvailableStations : public dbRecord_Body<db_RoadAvailableStations> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoadAvailableStations;

    // The five flags back to their defaults.
    void Reset() {
        RegularSections = HorizCurve = VerticalCurve = true;
        TemplateAssignment = SuperWiden = false;
    }

    bool RegularSections = true;
    bool HorizCurve = true;
    bool VerticalCurve = true;
    bool TemplateAssignment = false;
    bool SuperWiden = false;

    using R = db_RoadAvailableStations;
    using Fields = dbfield_List<dbfield_Bool<&R::RegularSections>, dbfield_Bool<&R::HorizCurve>,
                                dbfield_Bool<&R::VerticalCurve>, dbfield_Bool<&R::TemplateAssignment>,
                                dbfield_Bool<&R::SuperWiden>>;
};

// Three groups of offsets, one per kind of road definition (quorvel, string, landxml).
// The flags are listed here as the members are held; the field list gives the disk
// order, in which each group's flags are arranged differently.
class db_RoadConstructionOffsets : public dbRecord_Body<db_RoadConstructionOffsets> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoadConstructionOffsets;

    double quorvelSAOHorizontal = 0.0;
    double quorvelSAOVertical = 0.0;
    double quorvelPORVertical = 0.0;
    double quorvelSSFAHorizontal = 0.0;
    double quorvelSSFAVertical = 0.0;
    double quorvelNROHorizontal = 0.0;
    double quorvelNROVertical = 0.0;
    bool quorvelSAOApplyOnSlopePrevious = false;
    bool quorvelSAOApplyOnSlopeNext = false;
    bool quorvelSAOApplyVertOnPerpendicular = false;
    bool quorvelPORApplyVertOnPerpendicular = false;
    bool quorvelSSFAApplyOnSlopePrevious = false;
    bool quorvelSSFAApplyOnSlopeNext = false;
    bool quorvelSSFAApplyVertOnPerpendicular = false;
    bool quorvelNROApplyOnSlopePrevious = false;
    bool quorvelNROApplyOnSlopeNext = false;
    bool quorvelNROApplyVertOnPerpendicular = false;
    bool quorvelNROApplyCalculatedOffset = false;

    double stringSOSHorizontal = 0.0;
    double stringSOSVertical = 0.0;
    double stringSOSStation = 0.0;
    double stringPORVertical = 0.0;
    double stringSASHorizontal = 0.0;
    double stringSASVertical = 0.0;
    bool stringSOSApplyOnSlopePrevious = false;
    bool stringSOSApplyOnSlopeNext = false;
    bool stringSOSApplyPerpendicularToSubString = false;
    bool stringSOSApplyVertOnPerpendicular = false;
    bool stringSOSApplyOffsetAtString = false;
    bool stringSOSApplyCalculatedOffset = false;
    bool stringPORApplyVertOnPerpendicular = false;
    bool stringSASApplyOnSlopePrevious = false;
    bool stringSASApplyOnSlopeNext = false;
    bool stringSASApplyVertOnPerpendicular = false;
    bool stringSASApplyCalculatedOffset = false;

    double landxmlSAOHorizontal = 0.0;
    double landxmlSAOVertical = 0.0;
    bool landxmlSAOApplyOnSlopePrevious = false;
    bool landxmlSAOApplyOnSlopeNext = false;
    bool landxmlSAOApplyVertOnPerpendicular = false;

    using R = db_RoadConstructionOffsets;
    using Fields = dbfield_List<
        dbfield_F64<&R::quorvelSAOHorizontal>, dbfield_F64<&R::quorvelSAOVertical>,
        dbfield_F64<&R::quorvelPORVertical>, dbfield_F64<&R::quorvelSSFAHorizontal>,
        dbfield_F64<&R::quorvelSSFAVertical>, dbfield_F64<&R::quorvelNROHorizontal>,
        dbfield_F64<&R::quorvelNROVertical>, dbfield_Bool<&R::quorvelSAOApplyOnSlopeNext>,
        dbfield_Bool<&R::quorvelSSFAApplyOnSlopeNext>, dbfield_Bool<&R::quorvelNROApplyOnSlopeNext>,
        dbfield_Bool<&R::quorvelSAOApplyOnSlopePrevious>, dbfield_Bool<&R::quorvelSSFAApplyOnSlopePrevious>,
        dbfield_Bool<&R::quorvelNROApplyOnSlopePrevious>, dbfield_Bool<&R::quorvelSAOApplyVertOnPerpendicular>,
        dbfield_Bool<&R::quorvelPORApplyVertOnPerpendicular>, dbfield_Bool<&R::quorvelSSFAApplyVertOnPerpendicular>,
        dbfield_Bool<&R::quorvelNROApplyVertOnPerpendicular>, dbfield_Bool<&R::quorvelNROApplyCalculatedOffset>,
        dbfield_F64<&R::stringSOSHorizontal>, dbfield_F64<&R::stringSOSVertical>, dbfield_F64<&R::stringSOSStation>,
        dbfield_F64<&R::stringPORVertical>, dbfield_F64<&R::stringSASHorizontal>, dbfield_F64<&R::stringSASVertical>,
        dbfield_Bool<&R::stringSOSApplyOnSlopeNext>, dbfield_Bool<&R::stringSOSApplyOnSlopePrevious>,
        dbfield_Bool<&R::stringSOSApplyPerpendicularToSubString>, dbfield_Bool<&R::stringSASApplyOnSlopeNext>,
        dbfield_Bool<&R::stringSASApplyOnSlopePrevious>, dbfield_Bool<&R::stringSOSApplyVertOnPerpendicular>,
        dbfield_Bool<&R::stringPORApplyVertOnPerpendicular>, dbfield_Bool<&R::stringSASApplyVertOnPerpendicular>,
        dbfield_Bool<&R::stringSASApplyCalculatedOffset>, dbfield_Bool<&R::stringSOSApplyOffsetAtString>,
        dbfield_Bool<&R::stringSOSApplyCalculatedOffset>, dbfield_F64<&R::landxmlSAOHorizontal>,
        dbfield_F64<&R::landxmlSAOVertical>, dbfield_Bool<&R::landxmlSAOApplyOnSlopeNext>,
        dbfield_Bool<&R::landxmlSAOApplyOnSlopePrevious>, dbfield_Bool<&R::landxmlSAOApplyVertOnPerpendicular>>;
};

// ---------------------------------------------------------------- nesting

// Reads a nested record written whole inside its parent. The type code is looked at
// first: another code is reported with the header check's words and marks the read
// damaged, and nothing of the nested record is read.
void dbRecord_ReadNested(dbRecord_Class& nested, ReadBuffer& buffer, int& byteOffset);

// An owned nested record or none; copies are deep.
template <class T>
class dbrecord_Owned {
public:
    dbrecord_Owned() = default;
    dbrecord_Owned(const dbrecord_Owned& other) : _Record(other._Record ? new T(*other._Record) : nullptr) {}
    dbrecord_Owned& operator=(const dbrecord_Owned& other) {
        if (this != &other) _Record.reset(other._Record ? new T(*other._Record) : nullptr);
        return *this;
    }

    explicit operator bool() const { return _Record != nullptr; }
    T* Get() const { return _Record.get(); }
    T* operator->() const { return _Record.get(); }
    T& operator*() const { return *_Record; }
    // A new default record in place of any held.
    T& Create() {
        _Record.reset(new T);
        return *_Record;
    }
    void Reset() { _Record.reset(); }

private:
    std::unique_ptr<T> _Record;
};

// A nested record held by value.
template <auto... Path>
struct dbfield_Nested : dbfield_Value<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        dbRecord_ReadNested(P::Get(r), b, o);
    }
};

// The flag that says whether an owned record is present; reading it makes a default
// record (or drops the one held) for dbfield_Owned to read later.
template <auto... Path>
struct dbfield_Present : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutBool(static_cast<bool>(P::Get(r)));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        if (b.GetBool(o)) P::Get(r).Create();
        else P::Get(r).Reset();
    }
    template <class R>
    static bool Equal(const R&, const R&) {
        return true;  // dbfield_Owned compares presence and contents
    }
};

// An owned record, written only when present.
template <auto... Path>
struct dbfield_Owned : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        if (P::Get(r)) P::Get(r)->Write(b);
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        if (P::Get(r)) dbRecord_ReadNested(*P::Get(r), b, o);
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        const auto& x = P::Get(a);
        const auto& y = P::Get(c);
        if (!x || !y) return !x && !y;
        return x->IsEqual(*y);
    }
};

// The classes below report a type mismatch in IsEqual with these words.
inline constexpr const char* dbRecord_CrossSectionTypeCheck = "this->GetType() == record.GetType()";

class db_CrossSectionNode : public dbRecord_Body<db_CrossSectionNode> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CrossSectionNode;
    static constexpr const char* TypeCheckText = dbRecord_CrossSectionTypeCheck;

    Str Code;
    double Offset = 0.0;
    double Elevation = 0.0;

    using R = db_CrossSectionNode;
    using Fields = dbfield_List<dbfield_String<&R::Code>, dbfield_F64<&R::Offset>, dbfield_F64<&R::Elevation>>;
};

class db_CrossSectionBatter : public dbRecord_Body<db_CrossSectionBatter> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CrossSectionBatter;
    static constexpr const char* TypeCheckText = dbRecord_CrossSectionTypeCheck;

    Str Code;
    double CutGrade = MATHS_Null;
    double FillGrade = MATHS_Null;
    double DitchWidth = 0.0;

    using R = db_CrossSectionBatter;
    using Fields = dbfield_List<dbfield_String<&R::Code>, dbfield_F64<&R::CutGrade>, dbfield_F64<&R::FillGrade>,
                                dbfield_F64<&R::DitchWidth>>;
};

// The node count (i32) and the nodes. A count read is bounded by the bytes left; zero
// or less gives no nodes.
template <auto... Path>
struct dbfield_NodeCount : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    // A node on disk: its header with empty notes, an empty code and two f64.
    static constexpr int MinNodeBytes = 15 + 1 + 16;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutInt32(static_cast<int32_t>(P::Get(r).size()));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        const int32_t count = b.GetInt32(o);
        P::Get(r).clear();
        if (count > 0 && dbRecord_CountFits(b, o, count, MinNodeBytes)) P::Get(r).resize(static_cast<size_t>(count));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a).size() == P::Get(c).size();
    }
};

template <auto... Path>
struct dbfield_Nodes : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        for (const auto& node : P::Get(r)) node.Write(b);
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        for (auto& node : P::Get(r)) {
            if (dbRecord_IsDamaged(b, o)) return;
            dbRecord_ReadNested(node, b, o);
        }
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        const auto& x = P::Get(a);
        const auto& y = P::Get(c);
        if (x.size() != y.size()) return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (!x[i].IsEqual(y[i])) return false;
        return true;
    }
};

// One side of a cross section: its nodes in the order the import gave them, and an
// optional batter.
class db_CrossSectionSide : public dbRecord_Body<db_CrossSectionSide> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CrossSectionSide;
    static constexpr const char* TypeCheckText = dbRecord_CrossSectionTypeCheck;

    bool IsEqual(const dbRecord_Class& record) const override {
        return &record == this || dbRecord_Body::IsEqual(record);
    }

    int GetNumberOfNodes() const { return static_cast<int>(Nodes.size()); }
    // n default nodes in place of those held; none for n of zero or less.
    void SetNumberOfNodes(int n) {
        Nodes.clear();
        if (n > 0) Nodes.resize(static_cast<size_t>(n));
    }

    std::vector<db_CrossSectionNode> Nodes;
    dbrecord_Owned<db_CrossSectionBatter> Batter;

    using R = db_CrossSectionSide;
    using Fields = dbfield_List<dbfield_Present<&R::Batter>, dbfield_NodeCount<&R::Nodes>,
                                dbfield_Owned<&R::Batter>, dbfield_Nodes<&R::Nodes>>;
};

class db_CrossSectionCenterNode : public dbRecord_Body<db_CrossSectionCenterNode> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CrossSectionCenterNode;
    static constexpr const char* TypeCheckText = dbRecord_CrossSectionTypeCheck;

    Str Code;
    double Station = 0.0;
    EquatedStation EquatedRoadStation;
    double RightAzimuth = 0.0;  // radians
    coord_CorrectedGrid Grid{0.0, 0.0, 0.0};

    // Unlike the other records holding a grid, this one writes east before north.
    using R = db_CrossSectionCenterNode;
    using G = coord_CorrectedGrid;
    using Fields = dbfield_List<dbfield_String<&R::Code>, dbfield_F64<&R::Station>,
                                dbfield_Value<&R::EquatedRoadStation>, dbfield_F64<&R::RightAzimuth>,
                                dbfield_F64<&R::Grid, &G::East>, dbfield_F64<&R::Grid, &G::North>,
                                dbfield_F64<&R::Grid, &G::Elev>>;
};

// A cross-section report at one station: the centre node, always there, and the left
// and right sides, each optional.
class db_CrossSectionReport : public dbRecord_Body<db_CrossSectionReport> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CrossSectionReport;
    static constexpr const char* TypeCheckText = dbRecord_CrossSectionTypeCheck;

    bool IsEqual(const dbRecord_Class& record) const override {
        return &record == this || dbRecord_Body::IsEqual(record);
    }

    db_CrossSectionCenterNode Center;
    dbrecord_Owned<db_CrossSectionSide> LeftSide;
    dbrecord_Owned<db_CrossSectionSide> RightSide;

    using R = db_CrossSectionReport;
    using Fields = dbfield_List<dbfield_Present<&R::LeftSide>, dbfield_Present<&R::RightSide>,
                                dbfield_Nested<&R::Center>, dbfield_Owned<&R::LeftSide>,
                                dbfield_Owned<&R::RightSide>>;
};
