#include "foundation/files/filehdr.h"

#include <cstring>

#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "Library/filehdr";
constexpr const char* kMaker = "Quorvel";
constexpr uint8_t kVersion[3] = {12, 45, 4};

}  // namespace

filehdr_Class::filehdr_Class(int fileType) : FileType(fileType), Reserved(0) {
    std::memcpy(Version, kVersion, sizeof Version);
    switch (fileType) {
    case FILEHDR_Journal: Title = "Quorvel Zentrovane Journal"; break;
    case FILEHDR_Antenna: Title = "Quorvel Zentrovane Antenna"; break;
    case FILEHDR_Style: Title = "Quorvel Zentrovane Style"; break;
    default: QZ_FAIL("Bad file type"); break;
    }
}

bool filehdr_Class::IsSame(const filehdr_Class& other) const {
    return FileType == other.FileType && std::memcmp(Version, other.Version, sizeof Version) == 0;
}

void filehdr_Class::Serialise(WriteBuffer& buffer) const {
    buffer.PutFixedString(Title.Data(), FILEHDR_TitleSize, 0);
    buffer.PutUInt8(static_cast<uint32_t>(FileType));
    buffer.PutUInt8(static_cast<uint32_t>(Reserved));
    for (uint8_t v : Version) buffer.PutUInt8(v);
}

void filehdr_Class::Parse(const ReadBuffer& buffer, int& offset) {
    Title = buffer.GetFixedString(offset, FILEHDR_TitleSize);
    // A header without a title carries type and version in its first five bytes.
    if (std::strncmp(Title.Data(), kMaker, std::strlen(kMaker)) != 0) {
        Title = Str();
        offset = 0;
    }
    FileType = buffer.GetUInt8(offset);
    Reserved = buffer.GetUInt8(offset);
    for (uint8_t& v : Version) v = buffer.GetUInt8(offset);
}

bool filehdr_Read(file_Class& file, filehdr_Class& header) {
    if (!QZ_ASSERT(file.IsOpen ())) return false;
    if (!file.Seek(0)) return false;
    ReadBuffer buffer(FILEHDR_SizeOnDisk, ENDIAN_Little);
    uint32_t count = 0;
    // Bytes that were not read are no header data: a short file has no header.
    if (!file.Read(buffer.Data(), FILEHDR_SizeOnDisk, &count) || count != FILEHDR_SizeOnDisk) return false;
    int offset = 0;
    header.Parse(buffer, offset);
    return true;
}

bool filehdr_Write(file_Class& file, const filehdr_Class& header) {
    if (!QZ_ASSERT(file.IsOpen ())) return false;
    WriteBuffer buffer(FILEHDR_SizeOnDisk, ENDIAN_Little);
    header.Serialise(buffer);
    if (!QZ_ASSERT(buffer.Length () == FILEHDR_SizeOnDisk)) return false;
    if (!file.Seek(0)) return false;
    return file.Write(buffer.Data(), static_cast<uint32_t>(buffer.Length()));
}

bool fileio_Seek(file_Class& file, int64_t position) {
    file.Seek(position);
    return true;
}

bool fileio_Read(file_Class& file, void* destination, uint32_t n, uint32_t* count) {
    return file.Read(destination, n, count);
}

bool fileio_Write(file_Class& file, const void* source, uint32_t n, uint32_t* count) {
    return file.Write(source, n, count);
}

bool fileio_Delete(file_Class& file) { return file.Delete(); }

bool fileio_DeletePath(const Str& path) {
    file_Class file(path);
    return file.Delete();
}

bool fileio_Move(file_Class& file, const file_Class& target) { return file.MoveTo(target); }

bool fileio_MovePath(const Str& source, const Str& target) {
    file_Class from(source);
    file_Class to(target);
    return from.MoveTo(to);
}
