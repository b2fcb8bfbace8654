// Field lists: each record class declares its fields once, in disk order, and Write,
// Read and IsEqual follow that list; copying is the class's member-wise copy.
//
//   class db_Precision : public dbRecord_Body<db_Precision> {
//   public:
//       static constexpr database_RecordType RecordType = DATABASE_PrecisionRecord;
//       double Horizontal = 0.0;
//       double Vertical = 0.0;
//       using Fields = dbfield_List<dbfield_F64<&db_Precision::Horizontal>,
//                                   dbfield_F64<&db_Precision::Vertical>>;
//   };
//
// A field names its member by a path of member pointers, so a component of a nested
// value is a field of its own: dbfield_F64<&db_Grid::Grid, &coord_CorrectedGrid::North>.
// The width is the codec's: dbfield_I16 holds an int member and writes it as i16,
// reading it back sign-extended; dbfield_U16 zero-extends.
//
// The exceptions a class has are written as wrappers next to its list:
// dbfield_NotCompared (written but left out of IsEqual), dbfield_Tolerance (doubles
// equal within a bound), dbfield_TextNoCase (texts compared ignoring ASCII case). A
// member that is held in memory only is simply not in the list.
//
// Read stops at the first field that finds the record damaged (records/damage.h), so
// a short record is reported once by the buffer and not once per field.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "foundation/buffer.h"
#include "records/damage.h"
#include "records/dbRecord.h"
#include "records/recordheap.h"

// The member a path of member pointers leads to.
template <auto... Path>
struct dbfield_Path {
    template <class R>
    static auto& Get(R& record) {
        return (record.*....*Path);
    }
    template <class R>
    static const auto& Get(const R& record) {
        return (record.*....*Path);
    }
};

// A field whose codec writes and reads one value of the member's type through a
// pair of buffer calls; equality is ==.
#define QZ_DBFIELD_SIMPLE(NAME, PUT, GET, DISK)                                      \
    template <auto... Path>                                                          \
    struct NAME : dbfield_Path<Path...> {                                            \
        using P = dbfield_Path<Path...>;                                             \
        template <class R>                                                           \
        static void Write(const R& r, WriteBuffer& b) {                              \
            b.PUT(static_cast<DISK>(P::Get(r)));                                     \
        }                                                                            \
        template <class R>                                                           \
        static void Read(R& r, ReadBuffer& b, int& o) {                              \
            using M = std::remove_reference_t<decltype(P::Get(r))>;                  \
            P::Get(r) = static_cast<M>(b.GET(o));                                    \
        }                                                                            \
        template <class R>                                                           \
        static bool Equal(const R& a, const R& c) {                                  \
            return P::Get(a) == P::Get(c);                                           \
        }                                                                            \
    };

QZ_DBFIELD_SIMPLE(dbfield_Byte, PutUInt8, GetUInt8, uint32_t)
QZ_DBFIELD_SIMPLE(dbfield_I8, PutUInt8, GetInt8, uint32_t)
QZ_DBFIELD_SIMPLE(dbfield_Bool, PutBool, GetBool, bool)
QZ_DBFIELD_SIMPLE(dbfield_U16, PutUInt16, GetUInt16, uint32_t)
QZ_DBFIELD_SIMPLE(dbfield_I16, PutInt16, GetInt16, int32_t)
QZ_DBFIELD_SIMPLE(dbfield_U32, PutUInt32, GetUInt32, uint32_t)
QZ_DBFIELD_SIMPLE(dbfield_I32, PutInt32, GetInt32, int32_t)
QZ_DBFIELD_SIMPLE(dbfield_I64, PutInt64, GetInt64, int64_t)
QZ_DBFIELD_SIMPLE(dbfield_F32, PutFloat, GetFloat, float)
QZ_DBFIELD_SIMPLE(dbfield_F64, PutDouble, GetDouble, double)
QZ_DBFIELD_SIMPLE(dbfield_String, PutStr, GetString, const Str&)
#undef QZ_DBFIELD_SIMPLE

// A record id, written as u32.
template <auto... Path>
struct dbfield_Id : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutUInt32(P::Get(r).Value());
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        P::Get(r) = DBID(b.GetUInt32(o));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

// A text in exactly N bytes, zero padded, cut at N with no terminator.
template <int N, auto... Path>
struct dbfield_Fixed : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutFixedString(P::Get(r).Data(), N, 0);
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        P::Get(r) = b.GetFixedString(o, N);
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

// A text in exactly N bytes like dbfield_Fixed, but a valid UTF-8 text longer than N
// is cut after its last whole character within N bytes, so no character is split;
// other texts are cut at N. Only the written bytes are cut: the member stays whole.
void dbfield_PutFixedText(WriteBuffer& buffer, const Str& text, int n);

template <int N, auto... Path>
struct dbfield_FixedText : dbfield_Fixed<N, Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        dbfield_PutFixedText(b, P::Get(r), N);
    }
};

// A nested value that writes, reads and compares itself:
// Write(WriteBuffer&), Read(ReadBuffer&, int&), IsEqual(const T&).
template <auto... Path>
struct dbfield_Value : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        P::Get(r).Write(b);
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        P::Get(r).Read(b, o);
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a).IsEqual(P::Get(c));
    }
};

// Written and read like F, but left out of IsEqual.
template <class F>
struct dbfield_NotCompared : F {
    template <class R>
    static bool Equal(const R&, const R&) {
        return true;
    }
};

// A double compared within a bound: equal when |a - b| < Bound. The bound is named by
// reference, which every compiler here takes as a template argument.
template <class F, const double& Bound>
struct dbfield_Tolerance : F {
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return std::fabs(F::Get(a) - F::Get(c)) < Bound;
    }
};

// A text compared ignoring ASCII case.
template <class F>
struct dbfield_TextNoCase : F {
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return F::Get(a).EqualInsensitive(F::Get(c));
    }
};

template <class... F>
struct dbfield_List {
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        (F::Write(r, b), ...);
    }
    // Stops at the first field that finds the record damaged.
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        ((dbRecord_IsDamaged(b, o) ? void() : F::Read(r, b, o)), ...);
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return (F::Equal(a, c) && ...);
    }
};

// The text a class's IsEqual reports on a type mismatch: Derived::TypeCheckText when
// the class declares one, else the common spelling.
template <class Derived>
constexpr const char* dbRecord_TypeCheckText() {
    if constexpr (requires { Derived::TypeCheckText; }) {
        return Derived::TypeCheckText;
    } else {
        return "this->GetType() == record.GetType ()";
    }
}

// The operations every record class shares, driven by Derived::Fields and
// Derived::RecordType. Base is dbRecord_Class or an intermediate base such as
// dbRecordWithFeatures_Class, whose frame (header, or feature part) is written first.
// A class overrides any of these where its own rules differ.
template <class Derived, class Base = dbRecord_Class>
class dbRecord_Body : public Base {
public:
    dbRecord_Body() { static_assert(alignof(Derived) <= dbRecord_Heap::kAlignment, "records live in the record heap"); }

    database_RecordType GetType() const override { return Derived::RecordType; }

    bool IsEqual(const dbRecord_Class& record) const override {
        if (!this->IsSameType(record, dbRecord_TypeCheckText<Derived>())) return false;
        return Derived::Fields::Equal(Self(), static_cast<const Derived&>(record));
    }

    void Write(WriteBuffer& buffer) const override {
        Self().Base::WriteFrame(buffer);
        Derived::Fields::Write(Self(), buffer);
    }

    void Read(ReadBuffer& buffer, int& byteOffset) override {
        Self().Base::ReadFrame(buffer, byteOffset);
        Derived::Fields::Read(Self(), buffer, byteOffset);
    }

    dbRecord_Class* Duplicate() const override { return new Derived(Self()); }

    bool AssignFrom(const dbRecord_Class& source) override {
        if (source.GetType() != this->GetType()) return false;
        Self() = static_cast<const Derived&>(source);
        return true;
    }

    // The record when its type is the class's code, else null.
    static Derived* Cast(dbRecord_Class* record) {
        return record && record->GetType() == Derived::RecordType ? static_cast<Derived*>(record)
                                                                  : nullptr;
    }
    static const Derived* Cast(const dbRecord_Class* record) {
        return Cast(const_cast<dbRecord_Class*>(record));
    }

private:
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
    Derived& Self() { return static_cast<Derived&>(*this); }
};
