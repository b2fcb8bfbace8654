// Imaging, scanning and foreign records. Each writes the common header and then its
// fields in the order of its list.
//
//   131 db_Scanning           a scan made from an instrument station
//   132 db_Image              an image taken from a station; the source rectangle is
//                             written but not compared
//   133 db_Camera             a camera's calibration (records/cameracalibration.h, 125 bytes)
//   134 db_Panorama           a panorama: its bounds and angular steps
//   136 db_GridStdDeviations  standard deviations of a grid position, written north first
//   137 db_Foreign            content the job carries without interpreting it: a name and a
//                             block of raw bytes
//   138 db_TimeZone           the time zone of the job's times
//   144 db_ImportDataBegin, 145 db_ImportDataEnd   the bracket around imported data
//
// The links of db_Scanning and db_Image hold the export's record IDs until the import's
// second pass replaces them by record ids.
//
// db_Foreign, after the common header:
//   Name     string
//   Length   u32      number of bytes in Data
//   Data     Length raw bytes (absent while Length is 0)
// It has no element in the XML export; the journal writes it only into a foreign file
// of one record (dbJournal::WriteForeignFile).
//
// Ownership of the block: a record owns the block it reads or is given (SetData), and
// copying a record copies the block, so a copy or a clone never shares bytes with its
// source. A writer that must not copy a large block may lend it (Lend): the record then
// refers to the lender's bytes, never frees them, and the lender takes them back
// (TakeBack) before it lets go of them. Copying a record that holds a lent block gives
// a copy that owns bytes of its own.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "records/cameracalibration.h"
#include "records/dbRecordFields.h"

class db_Scanning : public dbRecord_Body<db_Scanning> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ScanningRecord;

    DBID StationID;
    DBID BackBearingID;
    int32_t ScanType = 0;  // dbentity_ScanType
    int32_t ScanMode = 0;  // dbentity_ScanMode
    Str FileName;
    uint32_t NumberOfPoints = 0;
    double TimeTaken = MATHS_Null;
    double AtDistance = MATHS_Null;
    double HorizontalStep = MATHS_Null;
    double VerticalStep = MATHS_Null;
    double HorizontalDistInterval = MATHS_Null;
    double VerticalDistInterval = MATHS_Null;

    using R = db_Scanning;
    using Fields = dbfield_List<dbfield_Id<&R::StationID>, dbfield_Id<&R::BackBearingID>, dbfield_I16<&R::ScanType>,
                                dbfield_I16<&R::ScanMode>, dbfield_String<&R::FileName>,
                                dbfield_U32<&R::NumberOfPoints>, dbfield_F64<&R::TimeTaken>,
                                dbfield_F64<&R::AtDistance>, dbfield_F64<&R::HorizontalStep>,
                                dbfield_F64<&R::VerticalStep>, dbfield_F64<&R::HorizontalDistInterval>,
                                dbfield_F64<&R::VerticalDistInterval>>;
};

class db_Image : public dbRecord_Body<db_Image> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ImageRecord;

    DBID StationID;
    DBID BackBearingID;
    DBID CameraID;
    DBID PointRecordID;
    Str FileName;
    double HorizontalAngle = MATHS_Null;
    double VerticalAngle = MATHS_Null;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t SourceX = 0;
    int32_t SourceY = 0;
    int32_t SourceWidth = 0;
    int32_t SourceHeight = 0;

    using R = db_Image;
    // The source rectangle does not make two images differ.
    using Fields = dbfield_List<dbfield_Id<&R::StationID>, dbfield_Id<&R::BackBearingID>, dbfield_Id<&R::CameraID>,
                                dbfield_Id<&R::PointRecordID>, dbfield_String<&R::FileName>,
                                dbfield_F64<&R::HorizontalAngle>, dbfield_F64<&R::VerticalAngle>,
                                dbfield_I32<&R::Width>, dbfield_I32<&R::Height>,
                                dbfield_NotCompared<dbfield_I32<&R::SourceX>>,
                                dbfield_NotCompared<dbfield_I32<&R::SourceY>>,
                                dbfield_NotCompared<dbfield_I32<&R::SourceWidth>>,
                                dbfield_NotCompared<dbfield_I32<&R::SourceHeight>>>;
};

class db_Camera : public dbRecord_Body<db_Camera> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CameraRecord;

    db_Camera() = default;
    explicit db_Camera(const CameraCalibration& calibration) : Calibration(calibration) {}

    CameraCalibration Calibration;

    using Fields = dbfield_List<dbfield_Value<&db_Camera::Calibration>>;
};

class db_Panorama : public dbRecord_Body<db_Panorama> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PanoramaRecord;

    int32_t Method = 0;  // dbentity_PanoramaMethod
    double Top = MATHS_Null;
    double Left = MATHS_Null;
    double Bottom = MATHS_Null;
    double Right = MATHS_Null;
    double HAstep = MATHS_Null;
    double VAstep = MATHS_Null;

    using R = db_Panorama;
    using Fields = dbfield_List<dbfield_I16<&R::Method>, dbfield_F64<&R::Top>, dbfield_F64<&R::Left>,
                                dbfield_F64<&R::Bottom>, dbfield_F64<&R::Right>, dbfield_F64<&R::HAstep>,
                                dbfield_F64<&R::VAstep>>;
};

// Zero, not null, until set.
class db_GridStdDeviations : public dbRecord_Body<db_GridStdDeviations> {
public:
    static constexpr database_RecordType RecordType = DATABASE_GridStdDeviationsRecord;

    coord_CorrectedGrid StdDev{0.0, 0.0, 0.0};

    using R = db_GridStdDeviations;
    using G = coord_CorrectedGrid;
    using Fields = dbfield_List<dbfield_F64<&R::StdDev, &G::North>, dbfield_F64<&R::StdDev, &G::East>,
                                dbfield_F64<&R::StdDev, &G::Elev>>;
};

class db_TimeZone : public dbRecord_Body<db_TimeZone> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TimeZoneRecord;

    Str TimeZoneName;
    double HoursToUTC = MATHS_Null;

    using Fields = dbfield_List<dbfield_String<&db_TimeZone::TimeZoneName>, dbfield_F64<&db_TimeZone::HoursToUTC>>;
};

class db_ImportDataBegin : public dbRecord_Body<db_ImportDataBegin> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ImportDataBeginRecord;

    Str Source;

    using Fields = dbfield_List<dbfield_String<&db_ImportDataBegin::Source>>;
};

class db_ImportDataEnd : public dbRecord_Body<db_ImportDataEnd> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ImportDataEndRecord;

    int32_t EntitiesImported = 0;  // written as i16

    using Fields = dbfield_List<dbfield_I16<&db_ImportDataEnd::EntitiesImported>>;
};

class db_Foreign : public dbRecord_Body<db_Foreign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ForeignRecord;

    db_Foreign() = default;
    db_Foreign(const db_Foreign& other);
    db_Foreign& operator=(const db_Foreign& other);
    // Empties the name and releases the block unless it is lent.
    ~db_Foreign() override;

    // Not meant for this record: reports "0" and answers false, even for itself.
    bool IsEqual(const dbRecord_Class& record) const override;

    uint32_t GetLength() const { return Length; }
    // Null while Length is 0.
    const uint8_t* GetData() const { return Data; }
    // Copies length bytes into a block of the record's own.
    void SetData(const void* data, uint32_t length);
    // Refers to the caller's bytes without copying them; the caller keeps owning them.
    void Lend(const void* data, uint32_t length);
    // Lets go of a lent block (nothing is freed): Length 0, no data.
    void TakeBack();
    bool IsLent() const { return _Lent; }

    Str Name;

private:
    // The length and the bytes: the block is allocated only for bytes that are there.
    struct Block {
        static void Write(const db_Foreign& r, WriteBuffer& b) {
            b.PutUInt32(r.Length);
            if (r.Length == 0 || !r.Data) return;
            // A block larger than any buffer is refused by the buffer itself.
            const uint32_t most = static_cast<uint32_t>(WRITEBUFFER_MaxLength) + 1;
            b.PutBytes(r.Data, static_cast<int>(r.Length < most ? r.Length : most));
        }
        static void Read(db_Foreign& r, ReadBuffer& b, int& o);
        static bool Equal(const db_Foreign&, const db_Foreign&) { return false; }
    };

    // Frees an owned block; forgets a lent one.
    void Release();
    // A new block holding a copy of length bytes; null for none.
    static uint8_t* CopyBlock(const uint8_t* data, uint32_t length);

    uint32_t Length = 0;
    uint8_t* Data = nullptr;
    bool _Lent = false;

public:
    using Fields = dbfield_List<dbfield_String<&db_Foreign::Name>, Block>;
};
