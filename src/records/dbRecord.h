// The record frame: what every job record has in common.
//
// A record is one object of a record class, identified by its type code
// (database_RecordType, records/dbRecordTypes.h). Records reach the job file only as
// the payload of journal actions: the engine writes a record with its own Write into a
// little-endian WriteBuffer, and on replay creates an empty record of the code it
// reads and lets it Read itself.
//
// Every serialised record opens with the common header:
//   offset 0   u16     type code
//   offset 2   u32     record id
//   offset 6   f64     timestamp (local seconds since 1980-01-01; null is 1e308)
//   offset 14  string  notes (zero-terminated; one byte when empty)
// and then carries its own fields in the order of its class's field list, nothing
// between them and nothing after the last: no length, no version, no checksum (the
// journal frame around it holds the length and the CRC).
//
// A feature-coded record (point observation, line, arc) writes, in place of the bare
// header: the header, its FeatureArray, Description1 and Description2, and then its
// own fields. In memory the descriptions come before the features; on disk after.
//
// Record classes declare their fields once (records/dbRecordFields.h); Write, Read,
// IsEqual and copying follow that list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/text/str.h"
#include "records/dbFeatures.h"
#include "records/dbRecordTypes.h"
#include "records/dbid.h"
#include "records/recordheap.h"

class ReadBuffer;
class WriteBuffer;
class dbAccess;
class db_BoolAction;
class db_DBID;
class db_Str;

// The source module of every report of the record catalogue.
inline constexpr const char* dbRecord_Module = "Library/dbRecord";

class dbRecord_Class {
public:
    // Record id NODBID, timestamp the current local time, empty notes.
    dbRecord_Class();
    dbRecord_Class(const dbRecord_Class& other) = default;
    // Reports a type mismatch and copies the header all the same; nothing on
    // self-assignment.
    dbRecord_Class& operator=(const dbRecord_Class& other);
    virtual ~dbRecord_Class() = default;

    // Records live in the record heap (records/recordheap.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* record, std::size_t size) noexcept;

    // The virtual operations, in the order the engine knows them.
    virtual database_RecordType GetType() const = 0;
    virtual const Str& GetName() const;
    // These four answer from the type catalogue.
    virtual bool IsMeasurement() const;
    virtual bool IsDeleted() const;
    virtual bool IsPersisted() const;
    virtual bool IsDefaultRequired() const;
    virtual bool InvalidatesPositions() const;
    // A copy of this record with its unset parts taken from another record of the same
    // type, or null when nothing would change; the caller owns the copy.
    virtual dbRecord_Class* FillUnsetFrom(const dbRecord_Class& from) const;
    virtual bool IsEqual(const dbRecord_Class& record) const = 0;
    virtual void Write(WriteBuffer& buffer) const = 0;
    virtual void Read(ReadBuffer& buffer, int& byteOffset) = 0;
    // An edit that this class does not take is reported ("0") and changes nothing.
    virtual void ApplyBoolAction(const db_BoolAction& action);
    virtual void ApplyDBIDAction(const db_DBID& action);
    virtual void ApplyStrAction(const db_Str& action);

    // Copy by class, for Clone and for copying fields between records of one type.
    // Duplicate: a new deep copy of this record, header included.
    virtual dbRecord_Class* Duplicate() const = 0;
    // Copies every field and the header of source into this record by the class's own
    // assignment. A source of another type is refused without a report (the caller
    // reports in its own words) and leaves this record unchanged: false.
    virtual bool AssignFrom(const dbRecord_Class& source) = 0;

    // Reads the record and tells whether it fitted its bytes: false when a read ran
    // past the data or a count could not fit what was left. What was read stays in
    // the record.
    bool ReadChecked(ReadBuffer& buffer, int& byteOffset);

    void WriteHeader(WriteBuffer& buffer) const;
    void ReadHeader(ReadBuffer& buffer, int& byteOffset);

    DBID GetRecordId() const { return _RecordId; }
    void SetRecordId(DBID id) { _RecordId = id; }
    double GetTimeStamp() const { return _TimeStamp; }
    void SetTimeStamp(double timeStamp) { _TimeStamp = timeStamp; }
    const Str& GetNotes() const { return _Notes; }
    Str& GetNotes() { return _Notes; }
    void SetNotes(const Str& notes) { _Notes = notes; }
    // A text built for the record is taken over, not copied.
    void SetNotes(Str&& notes) { _Notes = static_cast<Str&&>(notes); }
    // The notes split into lines at CR, LF, CR LF and LF CR.
    StrArray GetNoteLines() const;

    // A deep copy of this record, record id and timestamp included; the caller owns it.
    // Null when the factory could not make the type: a code outside 0..161, or no
    // memory.
    dbRecord_Class* Clone() const;

    // Copies the newest record of this record's type that the job holds into this one;
    // false when there is none. Defined with the job database (jobdb/dbRecordCalls.cpp).
    bool LoadLatest(dbAccess* database);

    // The frame a record's Write and Read put around its own fields; a feature-coded
    // record hides these with its feature part.
    void WriteFrame(WriteBuffer& buffer) const { WriteHeader(buffer); }
    void ReadFrame(ReadBuffer& buffer, int& byteOffset) { ReadHeader(buffer, byteOffset); }

protected:
    // For IsEqual: reports the type check (by default "this->GetType() ==
    // record.GetType ()"; a few classes spell it otherwise) when the types differ and
    // answers whether they match, so a mismatch never reads the other record as a class
    // it is not.
    bool IsSameType(const dbRecord_Class& record,
                    const char* text = "this->GetType() == record.GetType ()") const {
        if (GetType() == record.GetType()) return true;
        ReportTypeMismatch(text);
        return false;
    }
    static void ReportTypeMismatch(const char* text);

private:
    double _TimeStamp;
    Str _Notes;
    // Last: a derived class's first field of 4 bytes or less fills the padding after it.
    DBID _RecordId;
};

// A new default record of a class: the factory entry of the type catalogue.
template <class T>
dbRecord_Class* dbRecord_New() {
    return new T;
}

// Two free description texts of a feature-coded record. On disk: Description1,
// Description2, each a string.
class dbrecord_Descriptions {
public:
    dbrecord_Descriptions& Assign(const dbrecord_Descriptions& other) {
        Description1 = other.Description1;
        Description2 = other.Description2;
        return *this;
    }
    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    bool IsEqual(const dbrecord_Descriptions& other) const {
        return Description1 == other.Description1 && Description2 == other.Description2;
    }
    bool IsSet() const { return !Description1.IsEmpty() || !Description2.IsEmpty(); }
    void Clear() {
        Description1 = Str();
        Description2 = Str();
    }
    // n is 1 or 2; any other n gives the empty text.
    Str Get(int n) const;
    // n is 1 or 2; any other n reports "false" and gives null.
    Str* GetPtr(int n);

    Str Description1;
    Str Description2;
};

// The descriptions of a coded entity, kept in the record heap and only while one of
// them has a length: few entities carry any, and an empty pair would cost 32 bytes in
// each. The test is the length, not IsSet, so a text starting with a zero byte stays.
class dbrecord_DescriptionsSlot {
public:
    dbrecord_DescriptionsSlot() = default;
    dbrecord_DescriptionsSlot(const dbrecord_DescriptionsSlot& other);
    dbrecord_DescriptionsSlot& operator=(const dbrecord_DescriptionsSlot& other) {
        Set(other.Get());
        return *this;
    }
    ~dbrecord_DescriptionsSlot() { dbRecord_HeapDelete(_Pair); }

    // A shared empty pair while none is held.
    const dbrecord_Descriptions& Get() const;
    // Two empty texts drop the pair held; nothing is made for them.
    void Set(const dbrecord_Descriptions& pair);
    void Set(dbrecord_Descriptions&& pair);
    void Write(WriteBuffer& buffer) const { Get().Write(buffer); }
    void Read(ReadBuffer& buffer, int& byteOffset);

private:
    void Drop() noexcept;

    dbrecord_Descriptions* _Pair = nullptr;
};

// The base of the point observation, line and arc records (types 2, 3, 4).
class dbRecordWithFeatures_Class : public dbRecord_Class {
public:
    dbRecordWithFeatures_Class() = default;
    dbRecordWithFeatures_Class(const dbRecordWithFeatures_Class& other) = default;
    dbRecordWithFeatures_Class& operator=(const dbRecordWithFeatures_Class& other);

    // The feature part: header, features, Description1, Description2.
    virtual void WriteWithFeatures(WriteBuffer& buffer) const;
    virtual void ReadWithFeatures(ReadBuffer& buffer, int& byteOffset);
    // Updates this stored record in place from another record of the same class.
    virtual void UpdateFrom(const dbRecordWithFeatures_Class& record) = 0;

    FeatureArray& GetFeatures() { return _Features; }
    const FeatureArray& GetFeatures() const { return _Features; }
    void SetFeatures(const FeatureArray& features);
    void ClearFeatures() { _Features.Clear(); }
    int GetFeatureCount() const { return _Features.Count(); }
    Str GetFeatureCodes() const { return _Features.GetCodeString(); }
    void SetFeatureCodes(const Str& codes, bool splitDigits);
    // As SetFeatureCodes, but a code that stays keeps its attributes.
    void UpdateFeatureCodes(const Str& codes, bool splitDigits);

    const dbrecord_Descriptions& GetDescriptions() const { return _Descriptions.Get(); }
    void SetDescriptions(const dbrecord_Descriptions& descriptions) { _Descriptions.Set(descriptions); }
    void SetDescriptions(dbrecord_Descriptions&& descriptions) {
        _Descriptions.Set(static_cast<dbrecord_Descriptions&&>(descriptions));
    }

    // The record when its type is 2, 3 or 4, else null.
    static dbRecordWithFeatures_Class* Cast(dbRecord_Class* record);
    static const dbRecordWithFeatures_Class* Cast(const dbRecord_Class* record);

    void WriteFrame(WriteBuffer& buffer) const { WriteWithFeatures(buffer); }
    void ReadFrame(ReadBuffer& buffer, int& byteOffset) { ReadWithFeatures(buffer, byteOffset); }

private:
    dbrecord_DescriptionsSlot _Descriptions;
    FeatureArray _Features;
};

// The kind of coordinate value (foundation/coords/coord.h).
enum coord_Type : int32_t;

// The base of the twelve measurement records (types 8 to 19) that attach to a point
// observation. It adds no field; IsMeasurement answers true for its types.
class db_Measurement : public dbRecord_Class {
public:
    // The kind of coordinate the measurement yields.
    virtual coord_Type GetCoordType() const = 0;

    // The record when its IsMeasurement is true, else null: the one cast that asks a
    // query instead of testing a code.
    static db_Measurement* Cast(dbRecord_Class* record) {
        return record && record->IsMeasurement() ? static_cast<db_Measurement*>(record) : nullptr;
    }
    static const db_Measurement* Cast(const dbRecord_Class* record) {
        return Cast(const_cast<dbRecord_Class*>(record));
    }
};
