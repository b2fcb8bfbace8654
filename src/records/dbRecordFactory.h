// The record factory and copy by type.
//
// The factory reads the create column of the type catalogue (records/dbRecordTypes.cpp):
// a record family registers a class by giving its row &dbRecord_New<its class> and
// including its header there. Nothing else in the program lists the classes.
#pragma once

#include "records/dbRecord.h"

// A new default record of the class that a type code names, owned by the caller; null
// for a code outside 0..161 and for a type whose class is not registered. Nothing is
// reported.
dbRecord_Class* dbRecord_Create(int type);

// True when the factory can make records of the type.
bool dbRecord_CanCreate(int type);

// Copies every field of Source into Dest, header included, by the assignment of
// Source's class, and returns Dest. Records of different types are reported
// ("Source.GetType () == Dest.GetType()") and Dest is left unchanged.
dbRecord_Class& dbRecord_CopyFields(const dbRecord_Class& Source, dbRecord_Class& Dest);
