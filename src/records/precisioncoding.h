// Precision, coding, meteorological and calibration records.
//
// Built so far:
//   50 db_Coding  the feature coding set-up: a comment, the feature library and its
//                 data dictionary file with a checksum, and two attribute switches.
//                 A persisted job setting that every job must hold. Its three texts
//                 compare without regard to ASCII case (file names on the device are
//                 not case-sensitive).
#pragma once

#include <cstdint>

#include "records/dbRecordFields.h"

class db_Coding : public dbRecord_Body<db_Coding> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CodingRecord;

    Str Comment;
    Str Filename;
    Str DDFFilename;
    uint16_t CheckSum = 0;
    bool AttributesActive = false;
    bool UseAttributesOfBaseCode = false;

    using R = db_Coding;
    using Fields = dbfield_List<dbfield_TextNoCase<dbfield_String<&R::Comment>>,
                                dbfield_TextNoCase<dbfield_String<&R::Filename>>,
                                dbfield_TextNoCase<dbfield_String<&R::DDFFilename>>,
                                dbfield_U16<&R::CheckSum>, dbfield_Bool<&R::AttributesActive>,
                                dbfield_Bool<&R::UseAttributesOfBaseCode>>;
};
