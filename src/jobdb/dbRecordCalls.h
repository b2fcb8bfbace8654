// The record-level calls of the record catalogue: store a record, replace a stored
// one, insert one in front of another, read the job header, find a stored record's
// type. Each store is one action of the access object, which keeps a clone; the only
// change made to the caller's record is its record id.
//
// A store that is refused (no record, no record type, a measurement as a record of the
// chain, nothing to replace) is reported, stores nothing, leaves the caller's record
// as it was and gives NODBID.
//
// They live with the job database, which they call, and report as the catalogue's
// module.
#pragma once

#include "jobdb/dbaccess.h"
#include "records/jobheader.h"

// Operation 10800: a new record at the end of the job; its id.
DBID dbRecord_Append(dbAccess* database, dbRecord_Class* record);
// Operation 10801: the stored record under position takes the record's values; the
// position.
DBID dbRecord_ReplaceAt(dbAccess* database, DBID position, dbRecord_Class* record);
// Operation 10802: a new record in front of the one under position; its id.
DBID dbRecord_InsertBefore(dbAccess* database, DBID position, dbRecord_Class* record);
// The same in a nested group of their own: committed at once outside any other group.
DBID dbRecord_AppendGrouped(dbAccess* database, dbRecord_Class* record);
DBID dbRecord_ReplaceAtGrouped(dbAccess* database, DBID position, dbRecord_Class* record);
DBID dbRecord_InsertBeforeGrouped(dbAccess* database, DBID position, dbRecord_Class* record);

// Copies the job's first record into jobHeader and returns its id; NODBID (reported)
// when the job holds no job header first.
DBID dbRecord_ReadJobHeader(dbAccess* database, db_JobHeader* jobHeader);
// The type code of the stored record under position; 163 (reported) when there is none.
int dbRecord_GetTypeAt(dbAccess* database, DBID position);
