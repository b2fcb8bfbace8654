// The glue's builders of the conic, cylindrical, oblique and stereographic records:
// only the defining values go in; each kind's Load derives the rest at the read-back.
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/projection_records.h"
#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "csibglue";
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kUPSFalseOrigin = 2000000.0;
constexpr double kUPSScale = 0.994;

template <typename Record>
csib_Status NewRecord(csib_Block* block, Record** record) {
    const csib_Status status = csibglue_AllocProjectionParams(block, static_cast<int32_t>(sizeof(Record)));
    *record = static_cast<Record*>(block->projectionParameters);
    return status;
}

csib_Status SetUPS(csib_Block* block, double originLatitude) {
    csib_PolarStereoParameters* record = nullptr;
    const csib_Status status = NewRecord(block, &record);
    if (status < 0) return status;
    block->originLatitude = originLatitude;
    block->originLongitude = 0.0;
    block->falseNorthing = kUPSFalseOrigin;
    block->falseEasting = kUPSFalseOrigin;
    block->scaleFactor = kUPSScale;
    return CSIB_Ok;
}

}  // namespace

csib_Status csibglue_SetAlbersParams(csib_Block* block, const coordsys_Projection& projection) {
    csib_AlbersParameters* record = nullptr;
    const csib_Status status = NewRecord(block, &record);
    if (status < 0) return status;
    record->parallel1 = projection.Orientation1;
    record->parallel2 = projection.Orientation2;
    block->scaleFactor = 1.0;
    return CSIB_Ok;
}

csib_Status csibglue_SetLambertParams(csib_Block* block, uint8_t parallels, const coordsys_Projection& projection) {
    csib_LambertParameters* record = nullptr;
    const csib_Status status = NewRecord(block, &record);
    if (status < 0) return status;
    record->parallelCount = parallels;
    if (parallels == 2) {
        record->parallel1 = projection.Orientation1;
        record->parallel2 = projection.Orientation2;
        block->scaleFactor = 1.0;
    }
    return CSIB_Ok;
}

csib_Status csibglue_SetMercatorParams(csib_Block* block) {
    csib_MercatorParameters* record = nullptr;
    const csib_Status status = NewRecord(block, &record);
    if (status < 0) return status;
    if (maths_IsNull(block->originLatitude)) block->originLatitude = 0.0;
    return CSIB_Ok;
}

csib_Status csibglue_SetObliqueMercatorParams(csib_Block* block, const coordsys_Projection& projection) {
    csib_ObliqueMercatorParameters* record = nullptr;
    const csib_Status status = NewRecord(block, &record);
    if (status < 0) return status;
    QZ_ASSERT(projection.AzimuthFormat == COORDSYS_GridAzimuth ||
              projection.AzimuthFormat == COORDSYS_GeodeticAzimuth);
    QZ_ASSERT(projection.OriginCenter == COORDSYS_OriginAtEquator ||
              projection.OriginCenter == COORDSYS_OriginAtProjectionCenter);
    // A grid azimuth is the rectified angle; a geodetic one the central line's azimuth.
    record->mode = projection.AzimuthFormat == COORDSYS_GridAzimuth ? CSIB_HotineRectifiedAngle : CSIB_HotineAzimuth;
    record->rectify = projection.Rectify ? 1 : 0;
    record->originAtCentre = projection.OriginCenter == COORDSYS_OriginAtProjectionCenter ? 1 : 0;
    record->angle = projection.Orientation1;
    return CSIB_Ok;
}

csib_Status csibglue_SetUPSNorth(csib_Block* block) { return SetUPS(block, kHalfPi); }
csib_Status csibglue_SetUPSSouth(csib_Block* block) { return SetUPS(block, -kHalfPi); }
