#include "records/dbFeatures.h"

#include <utility>

#include "foundation/buffer.h"
#include "foundation/environment.h"
#include "records/damage.h"

namespace {
constexpr const char* kModule = "Library/dbFeatures";

// The fewest bytes one serialised element can take: a feature is two empty strings
// and a count, an attribute a type and an empty name.
constexpr int kMinFeatureBytes = 1 + 1 + 4;
constexpr int kMinAttributeBytes = 2 + 1;

constexpr const char* kTypeNames[FEATURE_AttribTypeCount] = {
    "Numerical", "Text", "Menu", "Date", "Time", "File", "Separator", "Integer", "Photo",
};

// Returned by an access out of range, so nothing outside an array is touched.
FeatureAttribute& ScratchAttribute() {
    static FeatureAttribute scratch;
    scratch = FeatureAttribute();
    return scratch;
}

Feature& ScratchFeature() {
    static Feature scratch;
    scratch = Feature();
    return scratch;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

const char* FeatureAttribute_TypeName(int type) {
    return type >= 0 && type < FEATURE_AttribTypeCount ? kTypeNames[type] : nullptr;
}

// ---------------------------------------------------------------- FeatureAttribute

void FeatureAttribute::Write(WriteBuffer& buffer) const {
    buffer.PutUInt16(type);
    buffer.PutStr(name);
    switch (type) {
    case FEATURE_AttribNumerical:
    case FEATURE_AttribDate:
    case FEATURE_AttribTime:
        buffer.PutDouble(number);
        break;
    case FEATURE_AttribMenu:
        buffer.PutUInt16(menuIndex);
        buffer.PutStr(text);
        break;
    case FEATURE_AttribText:
    case FEATURE_AttribFile:
    case FEATURE_AttribPhoto:
        buffer.PutStr(text);
        break;
    case FEATURE_AttribInteger:
        buffer.PutInt32(integer);
        break;
    default:
        break;
    }
}

void FeatureAttribute::Read(ReadBuffer& buffer, int& byteOffset) {
    type = buffer.GetUInt16(byteOffset);
    name = buffer.GetString(byteOffset);
    link[0] = link[1] = 0;
    switch (type) {
    case FEATURE_AttribNumerical:
    case FEATURE_AttribDate:
    case FEATURE_AttribTime:
        number = buffer.GetDouble(byteOffset);
        break;
    case FEATURE_AttribMenu:
        menuIndex = buffer.GetUInt16(byteOffset);
        text = buffer.GetString(byteOffset);
        break;
    case FEATURE_AttribText:
    case FEATURE_AttribFile:
    case FEATURE_AttribPhoto:
        text = buffer.GetString(byteOffset);
        break;
    case FEATURE_AttribInteger:
        integer = buffer.GetInt32(byteOffset);
        break;
    default:
        break;
    }
}

bool FeatureAttribute::IsEqual(const FeatureAttribute& other) const {
    return type == other.type && name == other.name && number == other.number &&
           text == other.text && menuIndex == other.menuIndex;
}

// ---------------------------------------------------------------- Attributes

FeatureAttribute& Attributes::GetAt(int pos) {
    const bool below = QZ_ASSERT_TEXT(pos < Count(), "pos < this->NumAttribs");
    const bool above = QZ_ASSERT(pos >= 0);
    if (!below || !above) return ScratchAttribute();
    return _Attribs[pos];
}

const FeatureAttribute& Attributes::GetAt(int pos) const {
    return const_cast<Attributes*>(this)->GetAt(pos);
}

void Attributes::Assign(const Attributes& other) {
    if (this == &other) return;
    _Attribs = other._Attribs;
}

bool Attributes::IsEqual(const Attributes& other) const {
    if (this == &other) return true;
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (!_Attribs[i].IsEqual(other._Attribs[i])) return false;
    }
    return true;
}

void Attributes::Write(WriteBuffer& buffer) const {
    buffer.PutInt32(Count());
    for (const FeatureAttribute& a : _Attribs) a.Write(buffer);
}

void Attributes::Read(ReadBuffer& buffer, int& byteOffset) {
    Clear();
    const int AttribCountCheck = buffer.GetInt32(byteOffset);
    if (dbRecord_IsDamaged(buffer, byteOffset)) return;
    if (AttribCountCheck < 0 ||
        AttribCountCheck > dbRecord_BytesLeft(buffer, byteOffset) / kMinAttributeBytes) {
        dbRecord_MarkDamaged(buffer, byteOffset);
        return;
    }
    for (int i = 0; i < AttribCountCheck; ++i) {
        FeatureAttribute attribute;
        attribute.Read(buffer, byteOffset);
        if (dbRecord_IsDamaged(buffer, byteOffset)) return;
        Append(attribute);
    }
    QZ_ASSERT_TEXT(AttribCountCheck == Count(), "AttribCountCheck == this->NumAttribs");
}

bool Attributes::Append(const FeatureAttribute& attribute) {
    _Attribs.push_back(attribute);
    return true;
}

bool Attributes::Append(FeatureAttribute&& attribute) {
    _Attribs.push_back(std::move(attribute));
    return true;
}

bool Attributes::SetAt(int index, const FeatureAttribute& attribute) {
    if (index < 0 || index >= Count()) return false;
    _Attribs[index] = attribute;
    return true;
}

namespace {
FeatureAttribute MakeAttribute(int type, const Str& name) {
    FeatureAttribute a;
    a.type = static_cast<uint16_t>(type);
    a.name = name;
    return a;
}
}  // namespace

bool Attributes::AddNumerical(const Str& name, double number) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribNumerical, name);
    a.number = number;
    return Append(std::move(a));
}

bool Attributes::AddText(const Str& name, const Str& text) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribText, name);
    a.text = text;
    return Append(std::move(a));
}

bool Attributes::AddMenu(const Str& name, const Str& text, int menuIndex) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribMenu, name);
    a.text = text;
    a.menuIndex = static_cast<uint16_t>(menuIndex);
    return Append(std::move(a));
}

bool Attributes::AddDate(const Str& name, double number) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribDate, name);
    a.number = number;
    return Append(std::move(a));
}

bool Attributes::AddTime(const Str& name, double number) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribTime, name);
    a.number = number;
    return Append(std::move(a));
}

bool Attributes::AddFile(const Str& name, const Str& text) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribFile, name);
    a.text = text;
    return Append(std::move(a));
}

bool Attributes::AddSeparator(const Str& name) {
    return Append(MakeAttribute(FEATURE_AttribSeparator, name));
}

bool Attributes::AddInteger(const Str& name, int integer) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribInteger, name);
    a.integer = integer;
    return Append(std::move(a));
}

bool Attributes::AddPhoto(const Str& name, const Str& text) {
    FeatureAttribute a = MakeAttribute(FEATURE_AttribPhoto, name);
    a.text = text;
    return Append(std::move(a));
}

void Attributes::ClearLinks() {
    for (FeatureAttribute& a : _Attribs) a.link[0] = a.link[1] = 0;
}

// ---------------------------------------------------------------- Feature

void Feature::Write(WriteBuffer& buffer) const {
    // The string code comes first on disk.
    buffer.PutStr(_StringCode);
    buffer.PutStr(_Code);
    _Attributes.Write(buffer);
}

void Feature::Read(ReadBuffer& buffer, int& byteOffset) {
    _StringCode = buffer.GetString(byteOffset);
    _Code = buffer.GetString(byteOffset);
    _Attributes.Read(buffer, byteOffset);
}

bool Feature::IsEqual(const Feature& other) const {
    if (this == &other) return true;
    return _Code == other._Code && _StringCode == other._StringCode &&
           _Attributes.IsEqual(other._Attributes);
}

// ---------------------------------------------------------------- FeatureArray

FeatureArray::FeatureArray(const FeatureArray& other)
    : _Features(other.Count() > 0 ? dbRecord_HeapNew<List>(*other._Features) : nullptr) {}

FeatureArray::List& FeatureArray::Grow() {
    if (!_Features) _Features = dbRecord_HeapNew<List>();
    return *_Features;
}

void FeatureArray::Drop() noexcept {
    dbRecord_HeapDelete(_Features);
    _Features = nullptr;
}

bool FeatureArray::IsEqual(const FeatureArray& other) const {
    if (this == &other) return true;
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (!Items()[i].IsEqual(other.Items()[i])) return false;
    }
    return true;
}

bool FeatureArray::SharesStorage(const FeatureArray& other) const {
    return this == &other || (Count() > 0 && Items().data() == other.Items().data());
}

void FeatureArray::Assign(const FeatureArray& other) {
    if (this == &other) return;
    if (other.Count() == 0) {
        Drop();
    } else if (_Features) {
        *_Features = *other._Features;
    } else {
        _Features = dbRecord_HeapNew<List>(*other._Features);
    }
}

Feature& FeatureArray::GetAt(int pos) {
    const bool above = QZ_ASSERT(pos >= 0);
    const bool below = QZ_ASSERT_TEXT(pos < Count(), "pos < NumFeatures");
    if (!above || !below) return ScratchFeature();
    return Items()[pos];
}

const Feature& FeatureArray::GetAt(int pos) const {
    return const_cast<FeatureArray*>(this)->GetAt(pos);
}

Feature& FeatureArray::Append(const Feature& feature) {
    List& list = Grow();
    list.push_back(feature);
    return list.back();
}

Feature& FeatureArray::Append(Feature&& feature) {
    List& list = Grow();
    list.push_back(std::move(feature));
    return list.back();
}

void FeatureArray::InsertAt(const Feature& feature, int addAtNdx) {
    if (!QZ_ASSERT_TEXT(addAtNdx >= 0 && addAtNdx <= Count(),
                        "addAtNdx >= 0 && addAtNdx <= NumFeatures")) {
        return;
    }
    List& list = Grow();
    list.insert(list.begin() + addAtNdx, feature);
}

void FeatureArray::Remove(const Feature& feature) {
    const std::span<Feature> items = Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (&items[i] == &feature) {
            _Features->erase(_Features->begin() + static_cast<std::ptrdiff_t>(i));
            if (_Features->empty()) Drop();
            return;
        }
    }
    QZ_FAIL("found");
}

FeatureArray* FeatureArray::Detach() {
    FeatureArray* detached = new FeatureArray;
    detached->Swap(*this);
    return detached;
}

void FeatureArray::Write(WriteBuffer& buffer) const {
    buffer.PutInt32(Count());
    for (const Feature& f : Items()) f.Write(buffer);
}

void FeatureArray::Read(ReadBuffer& buffer, int& byteOffset) {
    Clear();
    const int NumFeatures = buffer.GetInt32(byteOffset);
    if (dbRecord_IsDamaged(buffer, byteOffset)) return;
    QZ_ASSERT(NumFeatures < 100);
    if (NumFeatures < 0 || NumFeatures > dbRecord_BytesLeft(buffer, byteOffset) / kMinFeatureBytes) {
        dbRecord_MarkDamaged(buffer, byteOffset);
        return;
    }
    for (int i = 0; i < NumFeatures; ++i) {
        Feature feature;
        feature.Read(buffer, byteOffset);
        if (dbRecord_IsDamaged(buffer, byteOffset)) return;
        Grow().push_back(std::move(feature));
    }
}

int FeatureArray::FindCode(const Str& code, int startAt) const {
    if (startAt < 0) return -1;
    for (int i = startAt; i < Count(); ++i) {
        if (Items()[i].GetCode().EqualInsensitive(code)) return i;
    }
    return -1;
}

bool FeatureArray_NextCodeToken(Str& rest, Str& token) {
    if (rest.IsEmpty() || rest.Length() > DBTYPE_CodeSize) return false;
    if (rest[0] == ' ') return false;
    int end = 0;
    while (end < rest.Length() && rest[end] != ' ' && rest[end] != 0) ++end;
    token = rest.Left(end);
    rest = rest.MidToEnd(end);
    rest.StripLeading(' ');
    return true;
}

void FeatureArray_SplitStringCode(Feature& feature) {
    const Str& code = feature.GetCode();
    int start = code.Length();
    while (start > 0 && IsDigit(code[start - 1])) --start;
    if (start == 0 || start == code.Length()) return;
    Str stringCode = code.MidToEnd(start);
    Str head = code.Left(start);
    feature.SetCode(head);
    feature.SetStringCode(stringCode);
}

void FeatureArray::ParseCodeString(const Str& codes, bool splitDigits) {
    Clear();
    Str rest = codes;
    Str token;
    while (FeatureArray_NextCodeToken(rest, token)) {
        Feature feature;
        feature.SetCode(token);
        if (splitDigits) FeatureArray_SplitStringCode(feature);
        Grow().push_back(std::move(feature));
    }
}

void FeatureArray::SetFromCodeString(const Str& codes, bool splitDigits) {
    Str text = codes;
    text.Strip(' ');
    FeatureArray parsed;
    parsed.ParseCodeString(text, splitDigits);
    for (Feature& feature : parsed.Items()) {
        Str code = feature.GetCode();
        code.MakeLower();
        for (const Feature& old : Items()) {
            Str oldCode = old.GetCode();
            oldCode.MakeLower();
            if (oldCode == code) {
                feature.GetAttributes().Assign(old.GetAttributes());
                break;
            }
        }
    }
    Swap(parsed);
}

Str FeatureArray::GetCodeString() const {
    Str result;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) result += ' ';
        result += Items()[i].GetCode();
        result += Items()[i].GetStringCode();
    }
    return result;
}

Str FeatureArray::DotBlanks(const Str& text) {
    Str dotted;
    for (int i = 0; i < text.Length(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\x1F') {
            dotted += "\xC2\xB7";
        } else {
            dotted += c;
        }
    }
    return dotted;
}

void FeatureArray::JoinCodes(const Str& codes) {
    const Str dotted = DotBlanks(codes);
    int first = -1;
    int last = -1;
    Str rest = codes;
    Str token;
    // The token is taken before the count is tested, so a token taken when the
    // features run out still counts as consumed.
    for (int i = 0; FeatureArray_NextCodeToken(rest, token) && i < Count(); ++i) {
        const int c = FindCode(token, i);
        if (c >= 0 && first < 0) {
            first = last = c;
        } else if (c >= 0 && c == last + 1) {
            last = c;
        } else if (first >= 0) {
            // The run broke: drop it and look again from the start of the text.
            first = last = -1;
            rest = codes;
        }
    }
    if (!rest.IsEmpty() || first < 0 || last <= first) return;
    (*_Features)[first].SetCode(dotted);
    _Features->erase(_Features->begin() + first + 1, _Features->begin() + last + 1);
}

StrArray FeatureArray::GetCodes() const {
    StrArray codes;
    for (const Feature& f : Items()) codes.Add(f.GetCode());
    return codes;
}

bool FeatureArray::HasAttributes() const { return CountFeaturesWithAttributes() > 0; }

int FeatureArray::CountFeaturesWithAttributes() const {
    int n = 0;
    for (const Feature& f : Items()) {
        if (f.GetAttributes().Count() > 0) ++n;
    }
    return n;
}

void FeatureArray::ClearAllAttributes() {
    for (Feature& f : Items()) f.GetAttributes().Clear();
}

void FeatureArray::ClearStringCodes() {
    for (Feature& f : Items()) f.SetStringCode(Str());
}

void FeatureArray::ClearAttributeLinks() {
    for (Feature& f : Items()) f.GetAttributes().ClearLinks();
}
