// Field codecs for values that several record families embed (see
// records/dbRecordFields.h for the field lists they plug into):
//
//   dbfield_CogoMask   a coordsys_CogoSettings (BitMask) written as u16, read back
//                      zero-extended.
//   dbfield_Circle     a coord_Circle as a circle reading of 52 bytes:
//                        HorzCircle f64, VertCircle f64, EDMDistance f64, Face i16,
//                        HorzCircleStdErr f64, VertCircleStdErr f64,
//                        EDMDistanceStdErr f64, EDMMeasurementMode i16
//                      The reading's Flag member is neither written, read nor
//                      compared: after a read it keeps the value it had.
//   dbfield_CountBound the rule every list read from a job file follows: a count
//                      never drives a loop or an allocation beyond what the bytes
//                      left can hold.
//
// A record's derivation code (two characters, the first in the low byte) is held as
// a uint16_t and written through dbfield_U16: the same two bytes as an i16, and a
// code with a second character of 0x80 or above equals its own round trip.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"
#include "records/dbRecord.h"

// The derivation code KI, set by the coordinate-system definition records.
inline constexpr uint16_t dbRecord_DerivationKeyedIn = 0x494B;
// Two blanks: no derivation given.
inline constexpr uint16_t dbRecord_DerivationNone = 0x2020;

template <auto... Path>
struct dbfield_CogoMask : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutUInt16(static_cast<uint32_t>(P::Get(r).Value()));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        P::Get(r) = coordsys_CogoSettings(static_cast<int32_t>(b.GetUInt16(o)));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

// The eight written values of a circle reading, on a coord_Circle of its own.
void dbRecord_WriteCircle(WriteBuffer& buffer, const coord_Circle& circle);
void dbRecord_ReadCircle(ReadBuffer& buffer, int& byteOffset, coord_Circle& circle);
// Exact equality of the eight written values.
bool dbRecord_CircleEqual(const coord_Circle& a, const coord_Circle& b);

template <auto... Path>
struct dbfield_Circle : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        dbRecord_WriteCircle(b, P::Get(r));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        dbRecord_ReadCircle(b, o, P::Get(r));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return dbRecord_CircleEqual(P::Get(a), P::Get(c));
    }
};

// Whether count entries of at least minBytes each can still lie in the record's
// bytes. When they cannot, the record is marked damaged (records/damage.h) and the
// caller reads none of them.
bool dbRecord_CountFits(const ReadBuffer& buffer, int& byteOffset, int64_t count, int minBytes);

// A circle reading as the measurement records construct it: the three readings 0,
// face 0, standard errors null, mode 7.
inline coord_Circle dbRecord_ZeroCircle() {
    coord_Circle c;
    c.HorzCircle = 0.0;
    c.VertCircle = 0.0;
    c.EDMDistance = 0.0;
    return c;
}

// Copies the members of a field list from one record to another, leaving everything
// else (header, features, linked records) as it is: the in-place update of a stored
// record.
template <class List>
struct dbfield_Copy;

template <class... F>
struct dbfield_Copy<dbfield_List<F...>> {
    template <class R>
    static void Copy(R& to, const R& from) {
        ((F::Get(to) = F::Get(from)), ...);
    }
};

// Reports a failed check of a record class under its own text.
void dbRecord_Report(const char* text);

// A record class whose IsEqual compares nothing: it reports "0" and answers true,
// whatever the other record is.
template <class Derived, class Base = dbRecord_Class>
class dbRecord_UncomparedBody : public dbRecord_Body<Derived, Base> {
public:
    bool IsEqual(const dbRecord_Class&) const override {
        dbRecord_Report("0");
        return true;
    }
};
