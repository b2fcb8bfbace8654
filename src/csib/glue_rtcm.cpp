// The glue's entry points into the RTCM transformation data records.
#include "csib/glue.h"
#include "csib/rtcm.h"

csib_Status csibglue_RtcmInit(rtcm_Transformation* record) { return rtcm_Init(record); }

csib_Status csibglue_RtcmReset(rtcm_Transformation* record) { return rtcm_Reset(record); }

Str csibglue_RtcmFileName(const rtcm_Transformation* record) {
    char name[RTCM_FileNameSize];
    return rtcm_GetFileName(record, name, sizeof name) == CSIB_Ok ? Str(name) : Str();
}

bool csibglue_RtcmReadHeader(rtcm_Transformation* header, const char* fileName) {
    return rtcm_ReadHeader(header, fileName) == CSIB_Ok;
}

csib_Status csibglue_RtcmWriteFile(const rtcm_Transformation* record) { return rtcm_WriteFile(record); }

csib_Status csibglue_RtcmStoreResidualBlock(rtcm_Transformation* record, const uint8_t* block) {
    return rtcm_StoreResidualBlock(record, block);
}

csib_Status csibglue_RtcmHeadersEqual(const rtcm_Transformation* a, const rtcm_Transformation* b) {
    return rtcm_HeadersEqual(a, b);
}

csib_Status csibglue_RtcmReadFile(rtcm_Transformation* record) { return rtcm_ReadFile(record); }
