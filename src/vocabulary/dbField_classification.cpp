// A point's classification as the export names it. Current exports write the names
// of db_PointClassification ("Normal"); older ones wrote DBENTITY_ names that also
// carried the deleted state, and know fewer classifications.
#include <cstring>

#include "foundation/xml/element.h"
#include "vocabulary/dbField.h"

namespace {

struct LegacyClassification {
    const char* name;
    int32_t value;
    bool deleted;
};

constexpr LegacyClassification kLegacy[] = {
    {"DBENTITY_Check", db_PointClassification::Check, false},
    {"DBENTITY_BackSight", db_PointClassification::BackSight, false},
    {"DBENTITY_AsBuilt", db_PointClassification::Stakeout, false},
    {"DBENTITY_Construction", db_PointClassification::Construction, false},
    {"DBENTITY_Normal", db_PointClassification::Normal, false},
    {"DBENTITY_Control", db_PointClassification::Control, false},
    {"DBENTITY_DeletedCheck", db_PointClassification::Check, true},
    {"DBENTITY_DeletedBackSight", db_PointClassification::BackSight, true},
    {"DBENTITY_DeletedAsBuilt", db_PointClassification::Stakeout, true},
    {"DBENTITY_DeletedConstruction", db_PointClassification::Construction, true},
    {"DBENTITY_DeletedNormal", db_PointClassification::Normal, true},
    {"DBENTITY_DeletedControl", db_PointClassification::Control, true},
};

} // namespace

int32_t dbField_ClassificationFromText(dbField_ChildName childName, const Str& text) {
    // The names made once, not once per value tried: every point record comes here.
    static const struct Names {
        Str name[db_PointClassification::MaxValue - db_PointClassification::MinValue + 1];
        Names() {
            for (int32_t v = db_PointClassification::MinValue; v <= db_PointClassification::MaxValue; ++v)
                name[v - db_PointClassification::MinValue] =
                    db_PointClassification(static_cast<dbentity_Classification>(v)).GetName();
        }
    } names;
    for (int32_t v = db_PointClassification::MinValue; v <= db_PointClassification::MaxValue; ++v) {
        // Lengths first: a Str holds no zero byte, so this answers as == would.
        const Str& name = names.name[v - db_PointClassification::MinValue];
        if (name.Length() == text.Length() && std::memcmp(name.Data(), text.Data(), static_cast<size_t>(text.Length())) == 0)
            return v;
    }
    throw dbField_InvalidValueMessage("dbentity_Classification", childName.name, text);
}

int32_t load_dbentity_Classification(const xml_Element* element, dbField_ChildName childName) {
    return dbField_ClassificationFromText(childName, dbField_ChildText(element, childName, Str()));
}

void load_legacy_dbentity_Classification(const Str& text, db_PointClassification& classification,
                                         bool& deleted) {
    for (const LegacyClassification& row : kLegacy) {
        if (text == row.name) {
            classification = db_PointClassification(static_cast<dbentity_Classification>(row.value));
            deleted = row.deleted;
            return;
        }
    }
    // The caller may have read the text from any child; the message always names this one.
    throw dbField_InvalidValueMessage("load_legacy_dbentity_Classification", "Classification", text);
}
