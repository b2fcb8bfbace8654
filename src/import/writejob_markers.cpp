// The marker elements: records without fields of their own, whose place in the job is
// their meaning. So far the end of an entity.
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "records/stakeoutsettings.h"

void JobWriter::WriteEndEntity(const xml_Element* element) {
    // Inside a road definition the element ends the alignment being collected, nothing more.
    if (inRoad) {
        roadSet.CloseAlignment();
        return;
    }
    db_EndEntity record;
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_CheckRecAttribute(element, "db_EndEntity");
    StoreRecord(element, &record);
}
