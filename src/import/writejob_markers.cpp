// The marker elements: records without fields of their own, whose place in the job is
// their meaning; and the start of one round, which carries its number.
#include <cstdint>

#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_handler.h"
#include "records/jobproperties.h"
#include "records/stakeoutsettings.h"

void JobWriter::WriteEndEntity(const xml_Element* element) {
    // Inside a road definition the element ends the alignment being collected, nothing more.
    if (inRoad) {
        roadSet.CloseAlignment();
        return;
    }
    writejob_WriteRecord<db_EndEntity>(*this, element, "db_EndEntity");
}

// The header and notes alone; the two resection-type elements share a class but not
// their "rec".

void JobWriter::WriteCalibBegin(const xml_Element* element) {
    writejob_WriteRecord<db_CalibBegin>(*this, element, "db_CalibBegin");
}

void JobWriter::WriteResectBegin(const xml_Element* element) {
    writejob_WriteRecord<db_StationSetupResidualsBegin>(*this, element, "db_ResectBegin");
}

void JobWriter::WriteStationSetupResidualsBegin(const xml_Element* element) {
    writejob_WriteRecord<db_StationSetupResidualsBegin>(*this, element, "db_StationSetupResidualsBegin");
}

void JobWriter::WriteMeanTurnedAngleResidualsBegin(const xml_Element* element) {
    writejob_WriteRecord<db_MeanTurnedAngleResidualsBegin>(*this, element, "db_MeanTurnedAngleResidualsBegin");
}

void JobWriter::WriteEndContinuous(const xml_Element* element) {
    writejob_WriteRecord<db_EndContinuous>(*this, element, "db_EndContinuous");
}

void JobWriter::WriteEndStyle(const xml_Element* element) {
    writejob_WriteRecord<db_EndSurveyStyle>(*this, element, "db_EndSurveyStyle");
}

void JobWriter::WriteContinuous(const xml_Element* element) {
    writejob_WriteRecord<db_Continuous>(*this, element, "db_Continuous");
}

void JobWriter::WriteStartRounds(const xml_Element* element) {
    writejob_WriteRecord<db_StartRounds>(*this, element, "db_StartRounds");
}

void JobWriter::WriteEndRound(const xml_Element* element) {
    writejob_WriteRecord<db_EndRound>(*this, element, "db_EndRound");
}

void JobWriter::WriteEndRounds(const xml_Element* element) {
    writejob_WriteRecord<db_EndRounds>(*this, element, "db_EndRounds");
}

void JobWriter::WriteStartRound(const xml_Element* element) {
    writejob_WriteRecord<db_StartRound>(*this, element, "db_StartRound", [&](auto& record) {
        record.Round = static_cast<uint16_t>(writejob_ReadHexOrDecimal(element, "Round"));
    });
}
