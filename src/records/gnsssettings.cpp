#include "records/gnsssettings.h"

#include "records/editactions.h"

db_Radio& db_Radio::operator=(const db_Radio& source) {
    if (this == &source) return *this;
    _Type = source.GetType();
    dbRecord_Class::operator=(source);
    dbfield_Copy<Fields>::Copy(*this, source);
    return *this;
}

db_BaseRadio::db_BaseRadio() {
    _Type = RecordType;
    RadioType = 16;
    ModemBaudRate = 9600;
    ModemCTSEnabled = true;
    DataThrottling = 4;
}

db_Survey& db_Survey::operator=(const db_Survey& source) {
    if (this == &source) return *this;
    _Type = source.GetType();
    dbRecord_Class::operator=(source);
    dbfield_Copy<Fields>::Copy(*this, source);
    return *this;
}

db_Survey* db_Survey::Cast(dbRecord_Class* record) {
    if (!record) return nullptr;
    const int type = record->GetType();
    return type == DATABASE_RoverSurveyRecord || type == DATABASE_BaseSurveyRecord ? static_cast<db_Survey*>(record)
                                                                                  : nullptr;
}

db_BaseSurvey::db_BaseSurvey() {
    _Type = RecordType;
    LoggingDevice = 1;
    Filename = "base0001";
    SatDiffCorrection = 1;
    StationIndex = 29;
    AntennaNumber = 185;
}

void db_Antenna::ApplyDBIDAction(const db_DBID& action) { Equipment = action.Id; }
