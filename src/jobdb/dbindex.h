// Object references, the registry of open indexes and the object index.
//
// An index (dbIndex) holds one small object per indexed record or file entry (see
// jobdb/dbobjects.h) and registers itself under a number 0..255 in the process-wide
// StaticIndexGlobals, so an object can be named from anywhere by a dbObjectRef: the
// index number and the object's subscript inside its index. Packed into one word a
// reference is index number << 24 | subscript; the null reference {-1, -1} packs to
// 0xFFFFFFFF, which unpacks to {255, 16777215} and is not null. An index therefore
// takes at most 16,777,216 objects.
//
// Numbers are handed out round robin from 1: 1, 2, ... 255, then 0, skipping numbers
// in use; a freed number comes back only when the search reaches it again, and once no
// index is registered numbering starts at 1 again.
//
// Objects live in blocks of 1000 pointers: adding one never moves another, and a
// subscript lookup is two array steps. Subscripts are dense and objects are replaced in
// place, never moved. Record ids map to subscripts through a table kept sorted by id,
// since objects need not arrive in id order (a record inserted before another).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "jobdb/dbobjectref.h"
#include "jobdb/dbselection.h"
#include "records/classification.h"
#include "records/dbRecord.h"
#include "records/dbid.h"

class dbIndex;
class dbJobIndex;
class dbObject;
class dbBestPointTable;
class db_Measurement;

inline constexpr int DBINDEX_IndexCount = 256;
inline constexpr int DBINDEX_BlockSize = 1000;
// Every subscript fits the 24 bits of a packed reference.
inline constexpr int DBINDEX_MaxObjects = 0x1000000;

// The registry of open indexes, one per process.
struct dbIndexGlobals {
    dbIndex* IndexList[DBINDEX_IndexCount] = {};
    int32_t NextInIndexList = 1;
    int32_t HighestIndexNumber = 1;
    // What objects and indexes answer for a missing name, code or descriptions.
    const Str EmptyText{};
    const dbrecord_Descriptions EmptyDescriptions{};
};
// Built when the library loads (see import/process_objects.cpp), or on first use.
dbIndexGlobals& StaticIndexGlobals();

// The index of one source of points and shapes: the open job (dbJobIndex), a
// comma-separated point file or a background file. A subclass sets its file type,
// owner and root, registers, stores its objects with AddObject, and supplies the name
// selection, the best points of a name, and the computation of an object's
// coordinates and status bits.
class dbIndex {
public:
    enum FileType : int32_t { NoFile = 0, DatabaseFile = 1, CommaSeparatedFile = 2, BackgroundFile = 3 };

    dbIndex() = default;
    dbIndex(const dbIndex&) = delete;
    dbIndex& operator=(const dbIndex&) = delete;
    // Unregisters and frees the objects.
    virtual ~dbIndex();

    // Unregisters the index and frees its objects; the index is then empty and may be
    // loaded and registered again.
    virtual void Clear();
    virtual void Notify(void* argument);
    virtual Str GetFullPath() const = 0;
    virtual Str GetFileName() const = 0;
    // Grid; an index of local-transformed grid coordinates answers 19.
    virtual coord_Type GetCoordType() const;
    // The local transformation of an index of local-transformed grid coordinates.
    virtual Str GetTransformationName() const;
    // Clears flags 0x1, 0x8 and 0x10 of every object, so coordinates and status are
    // worked out again on their next read.
    virtual bool ClearComputedFlags();
    // Every object of the index, sorted by name.
    virtual dbSelection& GetNameSelection() = 0;
    // Puts the best candidates of the name into the table and ORs 0x100 into the
    // status when a Stakeout point is met; the new wanted flag of the table's last slot.
    virtual bool FindBestPoints(const char* name, dbBestPointTable& table, uint32_t& status) = 0;
    // Works out the object's coordinates and sets its flags; true on success.
    virtual bool ComputeObject(dbObject* object) = 0;
    // Works out the status bits (third word of the filter) and sets flag 0x8.
    virtual void ComputeStatusBits(dbObject* object) = 0;
    virtual void Refresh();

    // The number the index is registered under, registering it when it is not; -1
    // (reported) when every number is in use.
    int Register();
    static int GetHighestIndexNumber();

    int GetFileType() const { return _FileType; }
    int GetIndexNumber() const { return _IndexNumber; }
    int GetObjectCount() const { return _ObjectCount; }
    dbJobIndex* GetOwner() const { return _Owner; }
    void SetOwner(dbJobIndex* owner) { _Owner = owner; }
    dbJobIndex* GetRoot() const { return _Root; }
    void SetRoot(dbJobIndex* root) { _Root = root; }

    // Takes the object and stores it at the next subscript; its reference. The object's
    // record id, when it has one, is set before it is stored: FindByRecordId knows the
    // ids of stored objects only. A null
    // object, the 16,777,217th object and an object the blocks cannot take are
    // reported, not counted, and give the null reference (the object is freed).
    dbObjectRef AddObject(dbObject* object);
    // Frees the object at the subscript and stores the given one there. Outside
    // 0..count-1 it is reported and the given object is freed instead.
    void ReplaceObject(int subscript, dbObject* object);

    // The accessors by subscript give no object (null, 0, false, the empty text, type
    // 163) outside 0..count-1, and report it.
    dbObject* GetObject(int subscript) const;
    // Flags 0x1 and 0x8 are both set.
    bool IsLoaded(int subscript) const;
    // Loaded, or computed now.
    bool EnsureLoaded(int subscript);
    // The object; a non-point object lacking 0x1 or 0x8 is computed first.
    dbObject* GetLoadedObject(int subscript);
    dbObjectRef MakeReference(int subscript) const { return dbObjectRef(_IndexNumber, subscript); }
    int GetRecordType(int subscript) const;
    // The object's name; the empty text for subscript -1 or a name the object lacks.
    const char* GetName(int subscript) const;
    // The object's flags word, writable.
    uint16_t* GetFlags(int subscript);
    DBID GetRecordId(int subscript) const;
    // Of a point object; other objects are reported and answer None, 0, 163 or null.
    db_PointClassification GetClassification(int subscript) const;
    int32_t GetMethod(int subscript) const;
    int GetMeasurementType(int subscript) const;
    db_Measurement* GetMeasurement(int subscript) const;
    // For a mean-turned-angle point, the method its observation amounts to: 33 (angles
    // only) when its mean turned angle has no distance, else 35. Worked out once.
    int32_t GetUnderlyingMethod(int subscript);
    // Category bit 0x2.
    bool IsDeleted(int subscript) const;
    // Flag 0x20.
    bool IsRemoved(int subscript) const;
    bool IsBestInIndex(int subscript) const;
    bool IsBestInIndexGnss(int subscript) const;
    bool IsBestInIndexGrid(int subscript) const;
    bool IsBestInIndexLocalGrid(int subscript) const;
    bool IsBestInIndexNotLocalGrid(int subscript) const;

    // The object made from the record with that id, in a job index; the null reference
    // for NODBID, for another kind of index and for an id that made no object.
    dbObjectRef FindByRecordId(DBID id) const;

protected:
    dbJobIndex* _Owner = nullptr;
    dbJobIndex* _Root = nullptr;
    int32_t _FileType = NoFile;
    int32_t _IndexNumber = -1;
    int32_t _ObjectCount = 0;
    int32_t _BlockCount = 0;
    dbObject*** _BlockList = nullptr;

private:
    // The status test of the object at a subscript; false when there is none.
    bool IsBest(int subscript, bool (dbObject::*test)()) const;
    // Record id -> subscript, sorted by id.
    std::vector<std::pair<uint32_t, int32_t>> _ByRecordId;
    void MapRecordId(DBID id, int subscript);
    void UnmapRecordId(DBID id, int subscript);
};
