// Datum kind 0: WGS84 is the local datum, points pass unchanged. No record, no saved
// part.
#include "csib/kinds.h"

namespace {

csib_Status Load(csib_Block*, const uint8_t*) { return CSIB_Ok; }

csib_Status Free(csib_Block*) { return CSIB_Ok; }

csib_Status Save(csib_Block*, uint8_t*, uint8_t) { return CSIB_Ok; }

csib_Status Copy(csib_Block*, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    *out = *in;
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block*, int16_t, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = nullptr;
    return CSIB_Ok;
}

}  // namespace

const csib_DatumFunctions csib_DatumNone = {
    Load, csib_NoFileWork, csib_NoFileWork, Free, Save, Copy, Copy, GetParameters, csib_FixedSavedSize<0>,
};
