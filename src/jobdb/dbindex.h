// Object references and the object index, in the least form the job database needs
// until the full index lands: an index that holds no objects, so every lookup answers
// "not found".
//
// A dbObjectRef names one object of one index: the number under which the index is
// registered (0..255, -1 for none) and the object's subscript inside it. Packed into
// one word it is index number << 24 | subscript; the null reference {-1, -1} packs to
// 0xFFFFFFFF, which unpacks to {255, 16777215} and is not null.
#pragma once

#include <cstdint>

#include "records/dbid.h"

class dbObjectRef {
public:
    dbObjectRef() = default;
    dbObjectRef(int index, int subscript) : _Index(index), _Subscript(subscript) {}
    explicit dbObjectRef(uint32_t packed)
        : _Index(static_cast<int>(packed >> 24)), _Subscript(static_cast<int>(packed & 0xFFFFFF)) {}

    uint32_t Pack() const {
        return static_cast<uint32_t>(_Index) << 24 | (static_cast<uint32_t>(_Subscript) & 0xFFFFFF);
    }
    // Only the index number decides.
    bool IsNull() const { return _Index == -1; }
    int GetIndexNumber() const { return _Index; }
    int GetSubscript() const { return _Subscript; }

    bool operator==(const dbObjectRef& other) const {
        return _Index == other._Index && _Subscript == other._Subscript;
    }
    bool operator!=(const dbObjectRef& other) const { return !(*this == other); }
    bool operator<(const dbObjectRef& other) const {
        return _Index != other._Index ? _Index < other._Index : _Subscript < other._Subscript;
    }

private:
    int32_t _Index = -1;
    int32_t _Subscript = -1;
};

// A list of object references. Only what the job database fills: the full selection
// (name order, filters) comes with the index.
class dbSelection {
public:
    dbSelection() = default;
    dbSelection(const dbSelection& other);
    dbSelection& operator=(const dbSelection& other);
    virtual ~dbSelection();

    int GetCount() const { return _ItemCount; }
    // Item count 0; the array stays.
    void Clear() { _ItemCount = 0; }
    // Appends a reference; returns its position.
    int Add(const dbObjectRef& reference);
    // The reference at a position; the null reference outside 0..count-1.
    dbObjectRef At(int position) const;

private:
    void Reserve(int count);

    int _ItemCount = 0;
    int _Allocated = 0;
    uint32_t* _Items = nullptr;
};

// The index of one source of points and shapes. Here it holds no objects: the queries
// the job database relies on answer "none" without touching memory.
class dbIndex {
public:
    dbIndex() = default;
    dbIndex(const dbIndex&) = delete;
    dbIndex& operator=(const dbIndex&) = delete;
    virtual ~dbIndex() = default;

    virtual void Clear();

    int GetFileType() const { return _FileType; }
    int GetIndexNumber() const { return _IndexNumber; }
    int GetObjectCount() const { return _ObjectCount; }

    // The reference of the object made from the record with that id; the null
    // reference for NODBID and for ids that made no object.
    virtual dbObjectRef FindByRecordId(DBID id) const;
    // The record type of the object at a subscript; 163 (no type) when there is none.
    virtual int GetRecordType(int subscript) const;
    // The flags word of the object at a subscript, writable; null when there is none.
    virtual uint16_t* GetFlags(int subscript);

protected:
    int _FileType = 0;
    int _IndexNumber = -1;
    int _ObjectCount = 0;
};
