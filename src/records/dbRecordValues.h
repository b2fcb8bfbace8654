// Values that several record families embed, with their field codecs.
//
// Derivation code: two characters in 16 bits, the first in the low byte; written as
//   i16 (the same two bytes as u16). It is held and compared as its 16 bits, so a
//   code whose second character is 0x80 or above reads back equal to itself.
// Cogo settings mask: written as u16, read back zero-extended.
// Circle reading: a coord_Circle written as eight values, 52 bytes:
//   HorzCircle f64, VertCircle f64, EDMDistance f64, Face i16, HorzCircleStdErr f64,
//   VertCircleStdErr f64, EDMDistanceStdErr f64, EDMMeasurementMode i16.
//   The circle's flag is neither written, read nor compared.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"

using dbrecord_Derivation = uint16_t;
// Two blanks, the derivation code of a record constructed without one.
inline constexpr dbrecord_Derivation DBRECORD_BlankDerivation = 0x2020;

// The derivation code: written in two bytes, read back zero-extended.
template <auto... Path>
using dbfield_Derivation = dbfield_U16<Path...>;

// A cogo settings mask (CreatedView): written as u16, read back zero-extended; bits
// above 0xFFFF are not stored.
template <auto... Path>
struct dbfield_CogoMask : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        b.PutUInt16(static_cast<uint32_t>(P::Get(r).Value()));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        P::Get(r) = BitMask(b.GetUInt16(o));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

// A circle reading as measurement and observation records construct it: the three
// readings 0, face 0, standard errors null, mode 7.
inline coord_Circle dbrecord_ZeroCircle() {
    coord_Circle c;
    c.HorzCircle = 0.0;
    c.VertCircle = 0.0;
    c.EDMDistance = 0.0;
    return c;
}

// A coord_Circle as a circle reading (see above).
template <auto... Path>
struct dbfield_Circle : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        const coord_Circle& c = P::Get(r);
        b.PutDouble(c.HorzCircle);
        b.PutDouble(c.VertCircle);
        b.PutDouble(c.EDMDistance);
        b.PutInt16(c.Face);
        b.PutDouble(c.HorzCircleStdErr);
        b.PutDouble(c.VertCircleStdErr);
        b.PutDouble(c.EDMDistanceStdErr);
        b.PutInt16(c.EDMMeasurementMode);
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        coord_Circle& c = P::Get(r);
        c.HorzCircle = b.GetDouble(o);
        c.VertCircle = b.GetDouble(o);
        c.EDMDistance = b.GetDouble(o);
        c.Face = b.GetInt16(o);
        c.HorzCircleStdErr = b.GetDouble(o);
        c.VertCircleStdErr = b.GetDouble(o);
        c.EDMDistanceStdErr = b.GetDouble(o);
        c.EDMMeasurementMode = b.GetInt16(o);
    }
    template <class R>
    static bool Equal(const R& r, const R& s) {
        const coord_Circle& a = P::Get(r);
        const coord_Circle& c = P::Get(s);
        return a.HorzCircle == c.HorzCircle && a.VertCircle == c.VertCircle &&
               a.EDMDistance == c.EDMDistance && a.Face == c.Face &&
               a.HorzCircleStdErr == c.HorzCircleStdErr &&
               a.VertCircleStdErr == c.VertCircleStdErr &&
               a.EDMDistanceStdErr == c.EDMDistanceStdErr &&
               a.EDMMeasurementMode == c.EDMMeasurementMode;
    }
};

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

// Reports "0": the equality of the classes that compare nothing.
void dbRecord_ReportNotCompared();
// Reports a failed check of a record class under its own text.
void dbRecord_Report(const char* text);

// A record class whose IsEqual compares nothing: it reports "0" and answers true,
// whatever the other record is.
template <class Derived, class Base = dbRecord_Class>
class dbRecord_UncomparedBody : public dbRecord_Body<Derived, Base> {
public:
    bool IsEqual(const dbRecord_Class&) const override {
        dbRecord_ReportNotCompared();
        return true;
    }
};
