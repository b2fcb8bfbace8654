// The edit records (types 157 to 161). They never come from an export: the job
// database journals one as an apply action aimed at a stored record, and replaying
// the journal hands it to that record, which carries it out.
//
//   157 db_BoolAction    Action byte: 0 deletes the target, 1 undeletes it
//   158 db_DBID          Id u32: the record id the target stores in its link
//   159 db_Str           Code byte (which name), then Text string: a rename
//   160 db_Features      a FeatureArray: the target's new feature codes
//   161 db_Descriptions  Description1, Description2: the target's new descriptions
//
// The byte fields are ints in memory, written as their low byte and read back
// without sign.
#pragma once

#include "records/dbRecordValues.h"

class db_BoolAction : public dbRecord_Body<db_BoolAction> {
public:
    static constexpr database_RecordType RecordType = DATABASE_BoolActionRecord;
    enum { Delete = 0, Undelete = 1 };

    db_BoolAction() = default;
    explicit db_BoolAction(int action) : Action(action) {}

    int Action = Delete;

    using Fields = dbfield_List<dbfield_Byte<&db_BoolAction::Action>>;
};

class db_DBID : public dbRecord_Body<db_DBID> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DBIDActionRecord;

    db_DBID() = default;
    explicit db_DBID(DBID id) : Id(id) {}

    DBID Id;

    using Fields = dbfield_List<dbfield_Id<&db_DBID::Id>>;
};

// In memory the text comes first; on disk the code. Equality looks at the text only.
class db_Str : public dbRecord_Body<db_Str> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StrActionRecord;

    db_Str() = default;
    db_Str(const Str& text, int code) : Text(text), Code(code) {}

    Str Text;
    int Code = 0;

    using Fields = dbfield_List<dbfield_NotCompared<dbfield_Byte<&db_Str::Code>>,
                                dbfield_String<&db_Str::Text>>;
};

class db_Features : public dbRecord_Body<db_Features> {
public:
    static constexpr database_RecordType RecordType = DATABASE_FeaturesActionRecord;

    // Reports a type mismatch in its own words and answers false.
    bool IsEqual(const dbRecord_Class& record) const override;
    bool IsNotEqual(const dbRecord_Class& record) const { return !IsEqual(record); }

    FeatureArray Features;

    using Fields = dbfield_List<dbfield_Value<&db_Features::Features>>;
};

class db_Descriptions : public dbRecord_Body<db_Descriptions> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DescriptionsActionRecord;

    bool IsNotEqual(const dbRecord_Class& record) const { return !IsEqual(record); }

    dbrecord_Descriptions Descriptions;

    using Fields = dbfield_List<dbfield_Value<&db_Descriptions::Descriptions>>;
};
