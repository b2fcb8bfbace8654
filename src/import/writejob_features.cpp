// Feature and attribute elements. Newer exports nest one features element listing
// every feature with its attributes; older ones give the codes as the text of a "Code"
// child, optionally followed by a nested attribute element. Both end in the open
// entity's whole feature array written as one db_Features edit.
//
// A feature element carries its values in attributes and its children are taken by
// position, whatever their names. Its counts are trusted only as far as the children
// that are there.
#include <string_view>
#include <utility>

#include "foundation/environment.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "jobdb/dbJob.h"
#include "records/dbFeatures.h"
#include "records/dbRecord.h"
#include "records/precisioncoding.h"

namespace {

constexpr const char* kModule = "converter/writejob";

// The value of a feature element's attribute, read in place; empty when missing.
const Str& Attribute(const xml_Element* element, const char* name) {
    static const Str kNone;
    const xml_Attribute* attribute = element->FindAttribute(name);
    return attribute ? attribute->value : kNone;
}

// One db_Features edit holding a copy of the array (or the array itself, when the
// caller is done with it), applied to the entity.
template <class Array>
void SetRecordFeatures(JobDatabase* job, DBID target, Array&& array) {
    if (job->SetRecordFeatures(target, std::forward<Array>(array)) == NODBID)
        throw Str("features not stored: refused by the job");
}

// Counts texts as they will be stored (each with its zero byte) and refuses them, before
// they are copied, once no job record could hold them all.
class StoredTexts {
public:
    // The text, once counted.
    const Str& Take(const Str& text) {
        _Bytes += text.Length() + 1;
        writejob_CheckTextLength("features", _Bytes);
        return text;
    }

private:
    int64_t _Bytes = 0;
};

void AddAttribute(Attributes& attributes, const xml_Element* child, StoredTexts& stored) {
    const Str& name = Attribute(child, "Name");
    const Str& type = Attribute(child, "Type");
    // The type names measured once: every attribute of every feature comes here.
    static const struct TypeNames {
        std::string_view name[FEATURE_AttribTypeCount];
        TypeNames() {
            for (int t = 0; t < FEATURE_AttribTypeCount; ++t) name[t] = FeatureAttribute_TypeName(t);
        }
    } typeNames;
    const std::string_view typeText(type.Data(), static_cast<size_t>(type.Length()));
    int kind = -1;
    for (int t = 0; t < FEATURE_AttribTypeCount; ++t) {
        if (typeText == typeNames.name[t]) {
            kind = t;
            break;
        }
    }
    if (kind >= 0) stored.Take(name);
    switch (kind) {
    case FEATURE_AttribNumerical:
        attributes.AddNumerical(name, writejob_ScanDouble(Attribute(child, "Value")));
        break;
    case FEATURE_AttribInteger:
        attributes.AddInteger(name, writejob_ScanInt(Attribute(child, "Value")));
        break;
    case FEATURE_AttribText:
        attributes.AddText(name, stored.Take(Attribute(child, "Value")));
        break;
    case FEATURE_AttribMenu:
        attributes.AddMenu(name, stored.Take(Attribute(child, "Item")),
                           static_cast<uint16_t>(writejob_ScanUnsigned(Attribute(child, "ItemIndex"))));
        break;
    case FEATURE_AttribDate:
        attributes.AddDate(name, writejob_ScanDouble(Attribute(child, "Value")));
        break;
    case FEATURE_AttribTime:
        attributes.AddTime(name, writejob_ScanDouble(Attribute(child, "Value")));
        break;
    case FEATURE_AttribFile:
        attributes.AddFile(name, stored.Take(Attribute(child, "Value")));
        break;
    case FEATURE_AttribPhoto:
        attributes.AddPhoto(name, stored.Take(Attribute(child, "Value")));
        break;
    case FEATURE_AttribSeparator:
        attributes.AddSeparator(name);
        break;
    default:
        // An unknown type loses this attribute only.
        QZ_FAIL("false");
        break;
    }
}

}  // namespace

Feature& writejob_FindOrAddFeature(FeatureArray& array, const Str& code) {
    int index = array.FindCode(code, 0);
    if (index < 0) {
        Feature feature;
        feature.SetCode(code);
        array.Append(feature);
        index = array.FindCode(code, 0);
    }
    return array.GetAt(index);
}

void JobWriter::ReadFeatures(dbRecord_Class* record, const xml_Element* element) {
    dbRecordWithFeatures_Class* withFeatures = dbRecordWithFeatures_Class::Cast(record);
    if (!QZ_ASSERT_TEXT(withFeatures, "recWithFeatures")) return;
    if (IsVersionFrom(1120, 500)) {
        if (const xml_Element* features = element->FindChild("DATABASE_FeaturesRecord"))
            WriteFeatureAttribData(features);
        return;
    }
    // The job's coding settings say whether a code's trailing digits become its string code.
    withFeatures->SetFeatureCodes(writejob_ReadText(element, "Code"), job->GetCodingSettings()->UseAttributesOfBaseCode);
    SetRecordFeatures(job, current, withFeatures->GetFeatures());
    if (const xml_Element* attributes = element->FindChild("DATABASE_FeatureAttribDataRecord"))
        WriteFeatureAttribData(attributes);
}

void JobWriter::WriteFeatureAttribData(const xml_Element* element) {
    const dbRecordWithFeatures_Class* entity =
        current == NODBID ? nullptr : dbRecordWithFeatures_Class::Cast(database->GetRecord(current));
    if (!entity) throw Str("features without an open point, line or arc");
    // Added to a copy: the stored entity changes only through the edit below.
    FeatureArray array = entity->GetFeatures();
    const bool eachFeatureApart = IsVersionFrom(1120, 500);

    const uint32_t featureCount = writejob_ScanUnsigned(Attribute(element, "FeatureCount"));
    StoredTexts stored;
    uint32_t i = 0;
    for (const xml_Element* child = element->firstChild; child && i < featureCount; child = child->nextSibling, ++i) {
        const Str& code = Attribute(child, "Name");
        // An older export's code is stored once, when it makes a new feature.
        if (eachFeatureApart) stored.Take(code);
        else writejob_CheckTextLength("features", code.Length() + 1);
        const Str name = writejob_ReplaceUnitSeparators(code);
        Feature* feature;
        if (eachFeatureApart) {
            Feature added;
            added.SetCode(name);
            added.SetStringCode(writejob_ReplaceUnitSeparators(stored.Take(Attribute(child, "StringCode"))));
            feature = &array.Append(std::move(added));
        } else {
            // Older exports merge features of equal code and have no string codes.
            const int count = array.Count();
            feature = &writejob_FindOrAddFeature(array, name);
            if (array.Count() > count) stored.Take(code);
        }
        const uint32_t attributeCount = writejob_ScanUnsigned(Attribute(child, "AttributeCount"));
        // Room for the attributes that are there, up to the count.
        int present = 0;
        for (const xml_Element* attribute = child->firstChild; attribute && static_cast<uint32_t>(present) < attributeCount;
             attribute = attribute->nextSibling)
            ++present;
        feature->GetAttributes().Reserve(feature->GetAttributes().Count() + present);
        uint32_t j = 0;
        for (const xml_Element* attribute = child->firstChild; attribute && j < attributeCount;
             attribute = attribute->nextSibling, ++j)
            AddAttribute(feature->GetAttributes(), attribute, stored);
    }

    SetRecordFeatures(job, current, std::move(array));
    writejob_CheckRecAttribute(element, IsVersionFrom(1200, 600)   ? "FeatureArray"
                                        : IsVersionFrom(1120, 500) ? "db_FeatureArray"
                                                                   : "db_FeatureAttribData");
}
