#include "records/dbRecordValues.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

void dbRecord_WriteCircle(WriteBuffer& buffer, const coord_Circle& circle) {
    buffer.PutDouble(circle.HorzCircle);
    buffer.PutDouble(circle.VertCircle);
    buffer.PutDouble(circle.EDMDistance);
    buffer.PutInt16(circle.Face);
    buffer.PutDouble(circle.HorzCircleStdErr);
    buffer.PutDouble(circle.VertCircleStdErr);
    buffer.PutDouble(circle.EDMDistanceStdErr);
    buffer.PutInt16(circle.EDMMeasurementMode);
}

void dbRecord_ReadCircle(ReadBuffer& buffer, int& byteOffset, coord_Circle& circle) {
    circle.HorzCircle = buffer.GetDouble(byteOffset);
    circle.VertCircle = buffer.GetDouble(byteOffset);
    circle.EDMDistance = buffer.GetDouble(byteOffset);
    circle.Face = buffer.GetInt16(byteOffset);
    circle.HorzCircleStdErr = buffer.GetDouble(byteOffset);
    circle.VertCircleStdErr = buffer.GetDouble(byteOffset);
    circle.EDMDistanceStdErr = buffer.GetDouble(byteOffset);
    circle.EDMMeasurementMode = buffer.GetInt16(byteOffset);
}

bool dbRecord_CircleEqual(const coord_Circle& a, const coord_Circle& b) {
    return a.HorzCircle == b.HorzCircle && a.VertCircle == b.VertCircle &&
           a.EDMDistance == b.EDMDistance && a.Face == b.Face &&
           a.HorzCircleStdErr == b.HorzCircleStdErr && a.VertCircleStdErr == b.VertCircleStdErr &&
           a.EDMDistanceStdErr == b.EDMDistanceStdErr &&
           a.EDMMeasurementMode == b.EDMMeasurementMode;
}

bool dbRecord_CountFits(const ReadBuffer& buffer, int& byteOffset, int64_t count, int minBytes) {
    if (dbRecord_IsDamaged(buffer, byteOffset)) return false;
    if (count <= 0) return true;
    if (count * minBytes <= dbRecord_BytesLeft(buffer, byteOffset)) return true;
    dbRecord_MarkDamaged(buffer, byteOffset);
    return false;
}

void dbRecord_Report(const char* text) { QZ_FAIL(text); }
