// The fixer table of the second pass: for each record type that holds references to
// other records, which fields hold XML IDs and how the record goes back into the job
// once they are record ids. One row per type; a record family adds its rows when it
// lands, and the pass reads nothing else.
//
// Most records are fixed on a copy that replaces them in place. Two kinds of record
// own the records that hold the references instead: a point observation owns its
// measurement (fixed on a copy that is applied to the observation again), and a
// tunnel point list owns its points (each fixed on a copy that replaces the point at
// the point's own record id). The owned records have rows of their own, reached only
// through their owner; an owned record whose type has no row is left as it is.
#pragma once

#include <span>

class JobWriter;
class dbRecord_Class;

enum writejob_FixAction : int {
    WRITEJOB_FixReplace,        // a copy with resolved fields replaces the record
    WRITEJOB_FixApplyPart,      // the owned record's fixed copy is applied to the owner
    WRITEJOB_FixReplaceParts,   // each owned record's fixed copy replaces it in place
    WRITEJOB_FixPart,           // fixed only through its owner
};

struct writejob_Fixer {
    int type;
    writejob_FixAction action;
    // Resolves the reference fields of a copy of a record of this type (Replace and
    // Part rows).
    void (*resolve)(const JobWriter& writer, dbRecord_Class& record);
    // Owner rows: the count of owned records and the n-th of them (null for none).
    int (*partCount)(const dbRecord_Class& owner);
    const dbRecord_Class* (*part)(const dbRecord_Class& owner, int n);
};

extern const std::span<const writejob_Fixer> writejob_Fixers;
