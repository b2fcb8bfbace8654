// The record store and the note element.
//
// A handler builds one record and hands it to StoreRecord, which stores it
// as its type asks (an observation as an entity of its own, a measurement applied to
// the open entity, a tunnel point changed on its list, anything else appended), maps
// the element's "ID" to the stored record and keeps the open entity and its queued
// notes up to date.
#include <string>

#include "foundation/environment.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "records/dbRecord.h"
#include "records/jobheader.h"

namespace {

constexpr const char* kModule = "converter/writejob";
const Str kNoText;

// A store the job refused would leave a job that silently lacks the record.
[[noreturn]] void ThrowNotStored(const dbRecord_Class* record, const char* why) {
    Str message("record of type ");
    message += writejob_Format("%d", static_cast<int>(record->GetType()));
    message += " not stored: ";
    message += why;
    throw message;
}

bool IsEntityType(int type) {
    return type == DATABASE_ObservationRecord || type == DATABASE_LineRecord || type == DATABASE_ArcRecord ||
           type == DATABASE_TunnelXSPointsRecord || type == DATABASE_TunnelXSSetoutPointsRecord;
}

}  // namespace

void JobWriter::StoreRecord(const xml_Element* element, dbRecord_Class* record) {
    if (!QZ_ASSERT(record)) return;
    writejob_ReadTimeStamp(element, record);
    const int type = record->GetType();
    DBID position = NODBID;
    if (type == DATABASE_ObservationRecord) {
        position = job->AddRecord(record);
        if (position == NODBID || !database->GetRecord(position)) ThrowNotStored(record, "refused by the job");
    } else if (record->IsMeasurement()) {
        // A measurement lives inside its observation; without one it has nowhere to go.
        if (current == NODBID || !database->GetRecord(current)) ThrowNotStored(record, "no open entity");
        if (database->ApplyInGroup(current, record) == NODBID) ThrowNotStored(record, "refused by the job");
        position = current;
        if (pendingDistanceOffset) {
            std::unique_ptr<dbRecord_Class> offset = std::move(pendingDistanceOffset);
            const DBID id = dbRecord_Append(database, offset.get());
            if (id == NODBID || !database->GetRecord(id)) ThrowNotStored(offset.get(), "refused by the job");
        }
    } else if (type == DATABASE_TunnelPointDeltaRecord || type == DATABASE_TunnelSetoutPointRecord) {
        if (current == NODBID || !database->GetRecord(current)) ThrowNotStored(record, "no open entity");
        // A point has a place only on a list of its own kind; anywhere else it would be lost.
        const int listType = type == DATABASE_TunnelPointDeltaRecord ? DATABASE_TunnelXSPointsRecord
                                                                     : DATABASE_TunnelXSSetoutPointsRecord;
        if (database->GetRecord(current)->GetType() != listType) ThrowNotStored(record, "no open tunnel list of its kind");
        if (job->ChangeRecord(current, *record) == NODBID) ThrowNotStored(record, "refused by the job");
    } else {
        position = dbRecord_Append(database, record);
        if (position == NODBID || !database->GetRecord(position)) ThrowNotStored(record, "refused by the job");
    }

    // The record is in the job before its ID is read: a bad ID still fails the conversion.
    // The value is read in place: every stored record passes here.
    const xml_Attribute* id = element->FindAttribute("ID");
    MapRecordId(writejob_ParseRecordId(id ? id->value : kNoText, "ID"), position);

    if (IsEntityType(type)) {
        current = position;
    } else if (type == DATABASE_EndEntityRecord) {
        if (queuedNotes.Count() > 0) {
            // Joined in one block: there may be many.
            std::string joined;
            joined.reserve(static_cast<size_t>(queuedNotesLength));
            for (int i = 0; i < queuedNotes.Count(); ++i) {
                if (i > 0) joined += "\r\n";
                joined.append(queuedNotes[i].Data(), static_cast<size_t>(queuedNotes[i].Length()));
            }
            queuedNotes.Clear();
            queuedNotesLength = 0;
            db_Note note;
            note.SetNotes(Str(joined.data(), static_cast<int>(joined.size())));
            // Applying a note replaces the entity's whole notes text.
            if (current == NODBID || !database->GetRecord(current)) ThrowNotStored(&note, "no open entity");
            if (job->ChangeRecord(current, note) == NODBID) ThrowNotStored(&note, "refused by the job");
        }
        current = NODBID;
    }
}

void JobWriter::WriteNote(const xml_Element* element) {
    if (!IsVersionFrom(1100, 500)) writejob_CheckNotesLength(element->text.Length());
    Str text = IsVersionFrom(1100, 500) ? writejob_ReadNotes(element, "Note") : element->text;
    writejob_CheckRecAttribute(element, "db_Note");
    // Inside an entity the text waits for the entity's end; the element leaves no record.
    if (current != NODBID) {
        const int64_t joined = queuedNotesLength + (queuedNotes.Count() > 0 ? 2 : 0) + text.Length();
        writejob_CheckNotesLength(joined);
        queuedNotesLength = joined;
        // Room made by doubling: added one at a time, a long queue would be copied over
        // and over.
        if (queuedNotes.Count() == queuedNotes.Allocated()) queuedNotes.Reserve(2 * queuedNotes.Count());
        queuedNotes.Add(text);
        return;
    }
    db_Note note;
    note.SetNotes(static_cast<Str&&>(text));
    StoreRecord(element, &note);
}

void writejob_ThrowNotStored(const dbRecord_Class* record, const char* why) { ThrowNotStored(record, why); }
