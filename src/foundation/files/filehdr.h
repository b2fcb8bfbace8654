// The 48-byte header at the start of every job file; the journal follows from byte 48.
//
//   offset  size  field                 value written
//        0    43  title, fixed(43)      "Quorvel Zentrovane Journal" (type 1), "... Antenna"
//                                       (2), "... Style" (3), zero padded
//       43     1  file type             1 journal, 2 antenna, 3 style
//       44     1  reserved              0
//       45     3  version               12, 45, 4 (release 12.45, third byte 4)
//
// Two headers are the same when type and version agree; title and reserved value are
// not compared. A reader also accepts a header without a title, its five bytes at the
// start. A file that is shorter than 48 bytes has no header.
//
// Thin wrappers over file_Class used by the feature code library and the coordinate
// system engine stand here too.
#pragma once

#include <cstdint>

#include "foundation/buffer.h"
#include "foundation/files/file.h"
#include "foundation/text/str.h"

constexpr int FILEHDR_SizeOnDisk = 48;
constexpr int FILEHDR_TitleSize = 43;

enum { FILEHDR_Journal = 1, FILEHDR_Antenna = 2, FILEHDR_Style = 3 };

class filehdr_Class {
public:
    // A header of the current version; any type but 1, 2 and 3 is reported and
    // leaves the title empty.
    explicit filehdr_Class(int fileType);

    bool IsSame(const filehdr_Class& other) const;
    void Serialise(WriteBuffer& buffer) const;
    void Parse(const ReadBuffer& buffer, int& offset);

    Str Title;
    int FileType;
    int Reserved;
    uint8_t Version[3];
};

// Reads the header at offset 0 of an open file; false unless all 48 bytes were read.
bool filehdr_Read(file_Class& file, filehdr_Class& header);
// Writes the header at offset 0 of an open file; true when all 48 bytes were written.
bool filehdr_Write(file_Class& file, const filehdr_Class& header);

bool fileio_Seek(file_Class& file, int64_t position);
bool fileio_Read(file_Class& file, void* destination, uint32_t n, uint32_t* count);
bool fileio_Write(file_Class& file, const void* source, uint32_t n, uint32_t* count);
bool fileio_Delete(file_Class& file);
bool fileio_DeletePath(const Str& path);
bool fileio_Move(file_Class& file, const file_Class& target);
bool fileio_MovePath(const Str& source, const Str& target);
