#include "records/unitstiming.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// The selectors FillUnsetFrom completes, each with the value that marks it unset.
struct UnsetSelector {
    int32_t db_Units::*field;
    int32_t unset;
};

constexpr UnsetSelector kUnsetSelectors[] = {
    {&db_Units::VerticalUnits, db_Units::UnitsNone},
    {&db_Units::HorizontalUnits, db_Units::UnitsNone},
    {&db_Units::AngleUnits, db_Units::UnitsNone},
    {&db_Units::LatLongUnits, db_Units::UnitsNone},
    {&db_Units::VelocityUnits, db_Units::UnitsNone},
    {&db_Units::TemperatureUnits, db_Units::UnitsNone},
    {&db_Units::PressureUnits, db_Units::UnitsNone},
    {&db_Units::Grade, db_Units::UnitsNone},
    {&db_Units::AreaUnits, db_Units::UnitsNone},
    {&db_Units::Stationing, 3},       // DBCONFIG_StationingNULL
    {&db_Units::LaserVA, 2},          // DBCONFIG_LaserVerticalAngleNULL
    {&db_Units::GPSTimeDisplay, 2},   // DBCONFIG_GPSTimeDisplayNULL
    {&db_Units::DMSAngleDisplay, 2},  // DBCONFIG_DMSAngleNULL
};
}  // namespace

void db_InitTimes::Write(WriteBuffer& buffer) const { Fields::Write(*this, buffer); }

void db_InitTimes::Read(ReadBuffer& buffer, int& byteOffset) { Fields::Read(*this, buffer, byteOffset); }

bool db_InitTimes::IsEqual(const db_InitTimes& other) const { return Fields::Equal(*this, other); }

dbRecord_Class* db_Units::FillUnsetFrom(const dbRecord_Class& fromUnits) const {
    const db_Units* from = Cast(&fromUnits);
    if (!QZ_ASSERT_TEXT(from, "fromUnits")) return nullptr;
    db_Units* filled = new db_Units(*this);
    for (const UnsetSelector& selector : kUnsetSelectors) {
        if (filled->*selector.field == selector.unset) filled->*selector.field = from->*selector.field;
    }
    if (filled->IsEqual(*this)) {
        delete filled;
        return nullptr;
    }
    return filled;
}
