// The shape most element handlers share, written once: a record of the element's
// class, the element's notes, the fields the handler reads, the "rec" check, the store.
// Notes come first and the check after the fields, so a bad child is reported before a
// wrong "rec" and nothing is stored for either.
#pragma once

#include "import/writejob.h"

// readFields(record) fills the handler's fields; it runs inline on the record, which
// lives on the stack as before: a handler pays nothing for the shared frame.
template <class R, class ReadFields>
void writejob_WriteRecord(JobWriter& writer, const xml_Element* element, const char* recName,
                          ReadFields&& readFields) {
    R record;
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    readFields(record);
    writejob_CheckRecAttribute(element, recName);
    writer.StoreRecord(element, &record);
}

// A record of notes alone (markers and the like).
template <class R>
void writejob_WriteRecord(JobWriter& writer, const xml_Element* element, const char* recName) {
    writejob_WriteRecord<R>(writer, element, recName, [](R&) {});
}
