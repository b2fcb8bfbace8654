// The residuals of a fitted point pair: a calibration point's and a local
// transformation point pair's. On disk nine f64 in the order of the members: the
// one-, two- and three-dimensional residuals (0.0 until fitted), then the residual
// and the delta in north, east and elevation (null until fitted). Compared exactly.
#pragma once

#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"

class dbrecord_CalibResiduals {
public:
    void Write(WriteBuffer& buffer) const { Fields::Write(*this, buffer); }
    void Read(ReadBuffer& buffer, int& byteOffset) { Fields::Read(*this, buffer, byteOffset); }
    bool IsEqual(const dbrecord_CalibResiduals& other) const { return Fields::Equal(*this, other); }

    double OneD = 0.0;
    double TwoD = 0.0;
    double ThreeD = 0.0;
    double North = MATHS_Null;
    double East = MATHS_Null;
    double Elev = MATHS_Null;
    double DeltaNorth = MATHS_Null;
    double DeltaEast = MATHS_Null;
    double DeltaElev = MATHS_Null;

    using R = dbrecord_CalibResiduals;
    using Fields = dbfield_List<dbfield_F64<&R::OneD>, dbfield_F64<&R::TwoD>, dbfield_F64<&R::ThreeD>,
                                dbfield_F64<&R::North>, dbfield_F64<&R::East>, dbfield_F64<&R::Elev>,
                                dbfield_F64<&R::DeltaNorth>, dbfield_F64<&R::DeltaEast>,
                                dbfield_F64<&R::DeltaElev>>;
};
