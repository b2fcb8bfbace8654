// The job index as the job database sees it: the operations JobDatabase and the import
// rely on, with the least behind them. The index that builds objects from the job's
// points, lines and arcs replaces the bodies, not this interface: until then the index
// is registered while its job is open but holds no objects of its own, so every lookup
// answers "not found".
//
// The index owns the job's coordinate transform. Transforms are made by the coordinate
// geometry, which this subsystem does not link: whatever makes a transform registers
// how to delete one (dbJobIndex_SetTransformDeleter) before handing it over.
#pragma once

#include "foundation/text/str.h"
#include "jobdb/dbindex.h"
#include "jobdb/dbselection.h"

class JobDatabase;
class dbAccess;
class dbTransaction;
class dbRecord_Class;
class transfrm_Class;

using dbJobIndex_TransformDeleter = void (*)(transfrm_Class* transform);
// Registered once by the code that makes transforms; the index calls it to delete the
// transform it holds. Without one a held transform cannot be freed and is reported.
void dbJobIndex_SetTransformDeleter(dbJobIndex_TransformDeleter deleter);

// What the coordinate geometry answers about a transform it made, registered by the
// same code as the deleter. A member left null answers as if nothing were registered.
struct dbJobIndex_CoordinateGeometry {
    // The grid orientation code, 0..3.
    int (*GridOrientation)(const transfrm_Class* transform) = nullptr;
    // Azimuths are reckoned from south.
    bool (*SouthAzimuths)(const transfrm_Class* transform) = nullptr;
    // The azimuth turned to the grid orientation and south setting, in [0, 2 pi).
    double (*OrientAzimuth)(int gridOrientation, bool southAzimuths, double azimuth) = nullptr;
};
// Keeps a copy; null forgets the registered one.
void dbJobIndex_SetCoordinateGeometry(const dbJobIndex_CoordinateGeometry* geometry);
// Of the index's transform; without an index, a transform or a registered answer: code
// 0, not south.
int dbJobIndex_GridOrientation(const dbJobIndex* index);
bool dbJobIndex_SouthAzimuths(const dbJobIndex* index);
// Without a registered answer the azimuth normalised to [0, 2 pi), as for code 0 and
// north azimuths.
double dbJobIndex_OrientAzimuth(int gridOrientation, bool southAzimuths, double azimuth);

class dbJobIndex : public dbIndex {
public:
    dbJobIndex() = default;
    ~dbJobIndex() override;

    // Drops the database, the job, the transform and anything cached; called on a new
    // index before it is attached.
    virtual void Reset();
    // Binds the index to the job and its access object (borrowed) and builds its
    // objects from the job's records in chain order. True on success.
    virtual bool AttachJob(JobDatabase* job);
    // Brings the index up to date with one committed transaction.
    virtual void FollowTransaction(dbTransaction* transaction);
    // Frees the objects and the transform; the caller then deletes the index.
    void Clear() override;

    // The job file of Database; empty without one.
    Str GetFullPath() const override;
    Str GetFileName() const override;
    // Until the index builds objects, these have nothing to work on: the selection is
    // empty, no point is found, and no object gets coordinates or status bits.
    dbSelection& GetNameSelection() override { return _SortedByName; }
    bool FindBestPoints(const char* name, dbBestPointTable& table, uint32_t& status) override;
    bool ComputeObject(dbObject* object) override;
    void ComputeStatusBits(dbObject* object) override;

    // The db_Target record (type 127) of the newest target of that name, or null.
    virtual const dbRecord_Class* FindTargetRecord(const Str& name) const;
    // Fills the selection with the objects of one record type, oldest first; true when
    // there is at least one.
    virtual bool SelectByType(int type, dbSelection& selection) const;

    // The job's access object, borrowed; JobDatabase::Close sets it to null first.
    dbAccess* Database = nullptr;
    // The job's coordinate transform, owned.
    transfrm_Class* Transform = nullptr;
    JobDatabase* Job = nullptr;

protected:
    void DeleteTransform();

    dbSelection _SortedByName;
};

// Makes the job index of a JobDatabase. The full index registers its own maker; until
// then (and after a null maker) this is a plain dbJobIndex.
using dbJobIndex_Maker = dbJobIndex* (*)();
void dbJobIndex_SetMaker(dbJobIndex_Maker maker);
dbJobIndex* dbJobIndex_New();
