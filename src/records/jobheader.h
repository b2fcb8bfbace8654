// The job header and note records (types 0 and 1).
//
// db_JobHeader: the first record of every job; its one field is the job name,
//   JobName fixed(33): zero padded, a longer name cut (at a whole UTF-8 character)
//   with no terminator when it fills all 33 bytes.
// db_Note: free text; no field of its own, the text is the header's notes. It is the
//   one record whose equality compares the notes.
#pragma once

#include "records/dbRecordFields.h"

class db_JobHeader : public dbRecord_Body<db_JobHeader> {
public:
    static constexpr database_RecordType RecordType = DATABASE_JobHeaderRecord;
    static constexpr int JobNameSize = 33;

    const Str& GetName() const override { return JobName; }
    // Renames the job with the edit's text, whatever its code says.
    void ApplyStrAction(const db_Str& action) override;

    Str JobName;

    using Fields = dbfield_List<dbfield_FixedText<JobNameSize, &db_JobHeader::JobName>>;
};

class db_Note : public dbRecord_Body<db_Note> {
public:
    static constexpr database_RecordType RecordType = DATABASE_NoteRecord;

    // Compares the notes, byte for byte.
    bool IsEqual(const dbRecord_Class& record) const override;

    using Fields = dbfield_List<>;
};
