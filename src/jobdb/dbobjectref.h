// A reference to an index object: the index number and the object's subscript inside
// that index (see jobdb/dbindex.h for the registry and the packed form).
#pragma once

#include <cstdint>

class dbIndex;
class dbObject;

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

    // The index registered under the number; null for a null reference, a number
    // outside 0..255 and a free number.
    dbIndex* GetIndex() const;
    // The index exists and holds an object at the subscript.
    bool IsValid() const;
    // The object, completed first when it is not a point; null when there is none or a
    // non-point object could not be completed.
    dbObject* GetObject() const;

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
