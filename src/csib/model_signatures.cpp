#include "csib/model_signatures.h"

#include <algorithm>
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/gridfile.h"
#include "csib/rtcm.h"
#include "foundation/buffer.h"
#include "foundation/environment.h"
#include "foundation/files/filehdr.h"
#include "foundation/files/path.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "records/coordsysdefs.h"

namespace {

constexpr const char* kModule = "Library/datum";
constexpr int kBlock = 256;
constexpr char kCdgSignature[] = "QVX COMBINED GRID FILE";
constexpr char kGridMagic[] = "QVX GRID FILE";

// A text field of `size` bytes into a buffer of as many: the bytes before the first
// NUL, and at most size - 1 of them. A field without a NUL is reported with
// `asserted` (when given) before it is cut.
void Text(const ReadBuffer& buffer, int& offset, char* out, int size, const char* asserted = nullptr) {
    uint8_t raw[DATUM_CDGSourceFileSize];
    buffer.GetBytes(offset, raw, size);
    const auto* end = static_cast<const uint8_t*>(std::memchr(raw, 0, static_cast<std::size_t>(size)));
    if (asserted) QZ_ASSERT_TEXT(end != nullptr, asserted);
    const std::size_t length = std::min<std::size_t>(end ? static_cast<std::size_t>(end - raw) : size, size - 1);
    std::memcpy(out, raw, length);
    out[length] = 0;
}

// Reads all n bytes at the position into the buffer.
bool ReadAt(file_Class& file, int64_t position, ReadBuffer& buffer, int n) {
    uint32_t count = 0;
    return file.Seek(position) && file.Read(buffer.Data(), static_cast<uint32_t>(n), &count) &&
           count == static_cast<uint32_t>(n);
}

bool OpenForReading(file_Class& file) { return file.Exists() && file.Open(file_Class::ModeRead); }

bool ReadFirstGridSet(file_Class& file, datum_CdgHeader& h) {
    ReadBuffer buffer(kBlock, ENDIAN_Little);
    if (!ReadAt(file, 0, buffer, kBlock)) return false;
    int at = 0;
    h.firstSetOffset = buffer.GetUInt16(at);
    h.format = buffer.GetUInt8(at);
    h.secondByte = buffer.GetUInt8(at);
    Text(buffer, at, h.signature, DATUM_CDGSignatureSize, "strlen(signature) < DATUM_CDGSignatureSize");
    Text(buffer, at, h.modelName, DATUM_CDGModelSize, "strlen(modelName) < DATUM_CDGModelSize");
    h.setCount = buffer.GetUInt8(at);
    if (h.format != 1 || std::strcmp(h.signature, kCdgSignature) != 0 || h.setCount == 0) return false;
    int64_t position = h.firstSetOffset;
    for (int set = 0; set < h.setCount; ++set) {
        if (!ReadAt(file, position, buffer, kBlock)) return false;
        at = 0;
        h.setLength = buffer.GetUInt16(at);
        h.setType = buffer.GetUInt16(at);
        if (h.setType != 1 && h.setType != 2) {
            position += h.setLength;
            continue;
        }
        const bool height = h.setType == 2;
        h.latitudeOffset = buffer.GetUInt32(at);
        h.longitudeOffset = buffer.GetUInt32(at);
        h.heightOffset = height ? buffer.GetUInt32(at) : 0;
        Text(buffer, at, h.latitudeSource, DATUM_CDGSourceFileSize,
             "strlen(latitudeSource) < DATUM_CDGSourceFileSize");
        Text(buffer, at, h.longitudeSource, DATUM_CDGSourceFileSize,
             "strlen(longitudeSource) < DATUM_CDGSourceFileSize");
        if (height) Text(buffer, at, h.heightSource, DATUM_CDGSourceFileSize);
        else h.heightSource[0] = 0;
        h.semiMajorAxis = buffer.GetDouble(at);
        h.flattening = 1.0 / buffer.GetDouble(at);
        return true;
    }
    return false;
}

bool QualifiesAsRtcm(const coordsys_Datum& datum) {
    return datum.DatumType == COORDSYS_RTCMGrid && !datum.GridName.IsEmpty() && path_IsPlainName(datum.GridName) &&
           file_Class(path_MakeFileName("$(SharedDir)", datum.GridName, "RTD")).Exists();
}

}  // namespace

bool datum_ReadCdgHeader(datum_CdgHeader& header, const Str& fileName) {
    file_Class file(fileName);
    if (!OpenForReading(file)) return false;
    std::memset(&header, 0, sizeof header);
    const bool read = ReadFirstGridSet(file, header);
    file.Close();
    return read;
}

bool datum_GetCdgEllipsoid(const Str& fileName, coordsys_Ellipsoid& ellipsoid) {
    datum_CdgHeader header;
    if (!datum_ReadCdgHeader(header, fileName)) return false;
    ellipsoid = coordsys_Ellipsoid(header.semiMajorAxis, header.flattening);
    return true;
}

bool datum_GetRtdEllipsoid(const Str& fileName, coordsys_Ellipsoid& ellipsoid) {
    if (fileName.Length() >= RTCM_FileNameSize) return false;
    auto* record = static_cast<rtcm_Transformation*>(csib_MemAlloc(sizeof(rtcm_Transformation)));
    if (!record) return false;
    std::memset(record, 0, sizeof *record);
    const bool read = csibglue_RtcmReadHeader(record, fileName.Data()) && record->header.version == RTCM_Version &&
                      std::memcmp(record->header.title, RTCM_Title, sizeof RTCM_Title) == 0;
    if (read) {
        const double a = record->header.targetA, b = record->header.targetB;
        ellipsoid = coordsys_Ellipsoid(a, (a - b) / a);
    }
    csib_MemFree(record);
    return read;
}

bool gridfile_ReadHeader(file_Class& file, int64_t offset, bool keepOpen, gridfile_Header& h) {
    if (!OpenForReading(file)) return false;
    ReadBuffer buffer(GRIDFILE_HeaderBytes, ENDIAN_Little);
    if (!ReadAt(file, offset, buffer, GRIDFILE_HeaderBytes)) {
        file.Close();
        return false;
    }
    if (!keepOpen) file.Close();
    int at = 0;
    h.byteOrderMark = buffer.GetUInt16(at);
    Text(buffer, at, h.magic, sizeof h.magic);
    Text(buffer, at, h.name, sizeof h.name);
    for (double* value : {&h.south, &h.north, &h.west, &h.east, &h.rowSpacing, &h.columnSpacing})
        *value = buffer.GetDouble(at);
    h.rows = buffer.GetInt32(at);
    h.columns = buffer.GetInt32(at);
    for (double* value : {&h.auxiliaryValue1, &h.auxiliaryValue2, &h.nullValue, &h.scaleDivisor})
        *value = buffer.GetDouble(at);
    h.interpolationWindow = buffer.GetInt16(at);
    for (uint8_t* value : {&h.flags, &h.unused, &h.method, &h.cellType, &h.lineDirection, &h.cellDirection,
                           &h.spare[0], &h.spare[1]})
        *value = buffer.GetUInt8(at);
    return std::strcmp(h.magic, kGridMagic) == 0;
}

bool gridfile_IsGridFile(const file_Class& file) {
    file_Class copy(file);
    gridfile_Header header;
    return gridfile_ReadHeader(copy, 0, false, header);
}

bool jobfile_CheckHeader(const Str& fileName, uint8_t version[3]) {
    file_Class file(fileName);
    if (!file.Open(file_Class::ModeRead)) return false;
    filehdr_Class header(FILEHDR_Journal);
    const bool read = filehdr_Read(file, header);
    file.Close();
    if (!read || header.FileType != FILEHDR_Journal || header.Version[0] < 4 || header.Version[0] > 20) return false;
    const bool sixZeroOrFive = header.Version[0] == 6 && (header.Version[1] == 0 || header.Version[1] == 5);
    if (!(header.Reserved == 0 || header.Reserved == 1 || (header.Reserved == 2 && sixZeroOrFive))) return false;
    std::memcpy(version, header.Version, 3);
    return true;
}

bool datum_FindLatestRtcmDatum(const dbJobIndex* index, coordsys_Datum* datum) {
    if (!index || !datum || !index->Database || !index->Database->IsOpen()) return false;
    dbAccess* access = index->Database;
    DBID id = access->GetLastIdOfType(DATABASE_DatumRecord);
    if (id == NODBID) return false;
    const dbRecord_Class* record = access->GetRecord(id);
    if (!record) return false;
    coordsys_Datum candidate = static_cast<const db_Datum*>(record)->Datum;
    while (!QualifiesAsRtcm(candidate)) {
        id = access->GetPreviousId(id);
        if (id == NODBID) return false;
        record = access->GetRecord(id);
        if (record && record->GetType() == DATABASE_DatumRecord)
            candidate = static_cast<const db_Datum*>(record)->Datum;
    }
    *datum = candidate;
    return true;
}
