// The feature code library in memory and its file (layout in fclfile.h).
#include "jobdb/fclfile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/environment.h"
#include "foundation/files/file.h"

namespace {

constexpr const char* kModule = "Library/fclfile";

constexpr int kHeaderBytes = 98;
constexpr int kFeatureBytes = 78;
constexpr int kNameBytes = 25;
constexpr int kTextBytes = 61;
constexpr int kCodeBytes = 21;
constexpr int kDescriptionBytes = 43;
constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr int kFormatCode = 4;

// Load and save results.
enum {
    kOk = 0,
    kCannotCreate = 1,
    kCannotOpen = 2,
    kCannotRead = 3,
    kCannotWrite = 4,
    kBadSeek = 6,
    kNoMemory = 8,
    kBadFormat = 9,
};

// ---- little-endian fields --------------------------------------------------------------

uint32_t GetU16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t GetU32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
double GetF64(const unsigned char* p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
// Text up to the first zero byte within the field, from the code page to UTF-8.
Str GetField(const unsigned char* p, int size) {
    int n = 0;
    while (n < size && p[n]) ++n;
    const Str raw(reinterpret_cast<const char*>(p), n);
    return fclfile_CodePageToUTF8(raw.Data());
}

void PutU8(std::string& out, uint32_t v) { out += static_cast<char>(v & 0xFF); }
void PutU16(std::string& out, uint32_t v) {
    PutU8(out, v);
    PutU8(out, v >> 8);
}
void PutU32(std::string& out, uint32_t v) {
    PutU16(out, v);
    PutU16(out, v >> 16);
}
void PutF64(std::string& out, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) PutU8(out, static_cast<uint32_t>(bits >> (8 * i)));
}
// UTF-8 text in the code page, cut to the field (no terminator when it fills it) and
// padded with zero bytes.
void PutText(std::string& out, const Str& text, int size) {
    const Str bytes = fclfile_UTF8ToCodePage(text);
    const int n = std::min(bytes.Length(), size);
    out.append(bytes.Data(), static_cast<size_t>(n));
    out.append(static_cast<size_t>(size - n), '\0');
}

// Subtype bits in the order a reader tests them.
struct SubtypeBit {
    uint32_t bit;
    int subtype;
};
constexpr SubtypeBit kReadOrder[] = {{0x8, 1},   {0x20, 3},  {0x200, 4},  {0x40, 5},  {0x10, 2},
                                     {0x400, 6}, {0x800, 7}, {0x1000, 8}, {0x2000, 9}};

}  // namespace

uint32_t fclfile_EncodeKind(int kind, int option, int subtype) {
    if (kind == 1) return option == 1 ? 0x104 : 0x4;
    if (kind != 2) return 0;
    for (const SubtypeBit& entry : kReadOrder)
        if (entry.subtype == subtype) return 0x1 | entry.bit;
    return 0x1;
}

void fclfile_DecodeKind(uint32_t flags, int& kind, int& option, int& subtype) {
    if (flags & 0x1) {
        kind = 2;
        subtype = 0;
        for (const SubtypeBit& entry : kReadOrder)
            if (flags & entry.bit) {
                subtype = entry.subtype;
                break;
            }
    } else if (flags & 0x4) {
        kind = 1;
        option = (flags & 0x100) ? 1 : 0;
    } else {
        kind = 0;
    }
}

// ---- attributes ------------------------------------------------------------------------

fclfile_Attribute* fclfile_Attribute::Make(int type) {
    switch (type) {
    case FCLFILE_Numerical: return new fclfile_NumericalAttribute;
    case FCLFILE_Text: return new fclfile_TextAttribute;
    case FCLFILE_Menu: return new fclfile_MenuAttribute;
    case FCLFILE_Date: return new fclfile_DateAttribute;
    case FCLFILE_Time: return new fclfile_TimeAttribute;
    case FCLFILE_File: return new fclfile_FileAttribute;
    case FCLFILE_Separator: return new fclfile_SeparatorAttribute;
    case FCLFILE_Integer: return new fclfile_IntegerAttribute;
    case FCLFILE_Photo: return new fclfile_PhotoAttribute;
    default: return nullptr;
    }
}

fclfile_Attribute* fclfile_Attribute::Clone() const {
    fclfile_Attribute* copy = Make(GetType());
    if (!copy) return nullptr;
    copy->Name = Name;
    copy->Options = Options;
    copy->ValueSet = ValueSet;
    copy->CopyFrom(*this);
    return copy;
}

bool fclfile_Attribute::IsEqual(const fclfile_Attribute& other) const {
    if (this == &other) return true;
    return GetType() == other.GetType() && std::strcmp(Name.Data(), other.Name.Data()) == 0 &&
           Options == other.Options;
}

void fclfile_Attribute::ReadHeader(const unsigned char* record) {
    Options = static_cast<int>(GetU16(record));
    Name = GetField(record + 2, FCLFILE_NameBytes);
}

void fclfile_Attribute::WriteHeader(std::string& out, uint32_t next) const {
    PutU16(out, static_cast<uint32_t>(GetType()));
    PutU16(out, static_cast<uint32_t>(Options));
    PutText(out, Name, FCLFILE_NameBytes);
    PutU32(out, next);
}

// The members after the common header start here in a record read without its type.
constexpr int kOwnFields = FCLFILE_AttributeHeaderBytes - 2;

bool fclfile_NumericalAttribute::IsEqual(const fclfile_Attribute& other) const {
    if (!fclfile_Attribute::IsEqual(other)) return false;
    const auto& o = static_cast<const fclfile_NumericalAttribute&>(other);
    return Double1 == o.Double1 && Double2 == o.Double2 && Double3 == o.Double3 && Byte == o.Byte &&
           Units == o.Units;
}
void fclfile_NumericalAttribute::Read(const unsigned char* record, int) {
    ReadHeader(record);
    const unsigned char* p = record + kOwnFields;
    Double1 = GetF64(p);
    Double2 = GetF64(p + 8);
    Double3 = GetF64(p + 16);
    Byte = p[24];
    Units = fclfile_UnitsFromFile(static_cast<int>(GetU16(p + 25)));
}
void fclfile_NumericalAttribute::Write(std::string& out, uint32_t next) const {
    WriteHeader(out, next);
    PutF64(out, Double1);
    PutF64(out, Double2);
    PutF64(out, Double3);
    PutU8(out, static_cast<uint32_t>(Byte));
    PutU16(out, static_cast<uint32_t>(fclfile_UnitsToFile(Units)));
}
void fclfile_NumericalAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_NumericalAttribute&>(other);
    Double1 = o.Double1;
    Double2 = o.Double2;
    Double3 = o.Double3;
    Byte = o.Byte;
    Units = o.Units;
    Value = o.Value;
}

bool fclfile_TextAttribute::IsEqual(const fclfile_Attribute& other) const {
    return fclfile_Attribute::IsEqual(other) &&
           Number == static_cast<const fclfile_TextAttribute&>(other).Number;
}
void fclfile_TextAttribute::Read(const unsigned char* record, int) {
    ReadHeader(record);
    Number = static_cast<int>(GetU16(record + kOwnFields));
}
void fclfile_TextAttribute::Write(std::string& out, uint32_t next) const {
    WriteHeader(out, next);
    PutU16(out, static_cast<uint32_t>(Number));
}
void fclfile_TextAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_TextAttribute&>(other);
    Number = o.Number;
    Text = o.Text;
    Value = o.Value;
}

bool fclfile_MenuAttribute::IsEqual(const fclfile_Attribute& other) const {
    if (!fclfile_Attribute::IsEqual(other)) return false;
    const auto& o = static_cast<const fclfile_MenuAttribute&>(other);
    return ItemCount == o.ItemCount && HasDefault == o.HasDefault && DefaultIndex == o.DefaultIndex &&
           Items == o.Items;
}
void fclfile_MenuAttribute::Read(const unsigned char* record, int size) {
    ReadHeader(record);
    const unsigned char* p = record + kOwnFields;
    const int count = static_cast<int>(GetU16(p));
    HasDefault = static_cast<int>(GetU16(p + 2));
    DefaultIndex = static_cast<int>(GetU16(p + 4));
    Items.Clear();
    ItemCount = 0;
    // The caller hands over the whole record; never read items it does not hold.
    const int present = std::max(0, (size - kOwnFields - 6) / FCLFILE_NameBytes);
    for (int i = 0; i < std::min(count, present); ++i) AddItem(GetField(p + 6 + FCLFILE_NameBytes * i, FCLFILE_NameBytes));
    if (HasDefault == 0) {
        DefaultIndex = 0xFFFF;
        DefaultText = "?";
    } else if (DefaultIndex < ItemCount) {
        DefaultText = Items[DefaultIndex];
    } else {
        // A stored index past the items names no text; flag and index stay as stored.
        DefaultText = "?";
    }
}
void fclfile_MenuAttribute::Write(std::string& out, uint32_t next) const {
    WriteHeader(out, next);
    PutU16(out, static_cast<uint32_t>(ItemCount));
    PutU16(out, static_cast<uint32_t>(HasDefault));
    PutU16(out, static_cast<uint32_t>(DefaultIndex));
    for (int i = 0; i < ItemCount; ++i) PutText(out, Items[i], FCLFILE_NameBytes);
}
void fclfile_MenuAttribute::AddItem(const Str& item) {
    Items.Add(item);
    ItemCount = Items.Count();
}
void fclfile_MenuAttribute::SetSelection(int index, const Str& text) {
    SelectedIndex = index;
    SelectedText = text;
    ValueSet = 1;
}
void fclfile_MenuAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_MenuAttribute&>(other);
    ItemCount = o.ItemCount;
    HasDefault = o.HasDefault;
    DefaultIndex = o.DefaultIndex;
    DefaultText = o.DefaultText;
    Items = o.Items;
    SelectedIndex = o.SelectedIndex;
    SelectedText = o.SelectedText;
}

bool fclfile_DateAttribute::IsEqual(const fclfile_Attribute& other) const {
    if (!fclfile_Attribute::IsEqual(other)) return false;
    const auto& o = static_cast<const fclfile_DateAttribute&>(other);
    return Number == o.Number && Flag == o.Flag;
}
void fclfile_DateAttribute::Read(const unsigned char* record, int) {
    ReadHeader(record);
    Number = static_cast<int>(GetU16(record + kOwnFields));
    Flag = static_cast<int>(GetU16(record + kOwnFields + 2));
}
void fclfile_DateAttribute::Write(std::string& out, uint32_t next) const {
    WriteHeader(out, next);
    PutU16(out, static_cast<uint32_t>(Number));
    PutU16(out, static_cast<uint32_t>(Flag));
}
void fclfile_DateAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_DateAttribute&>(other);
    Number = o.Number;
    Flag = o.Flag;
    Value = o.Value;
}

bool fclfile_TimeAttribute::IsEqual(const fclfile_Attribute& other) const {
    if (!fclfile_Attribute::IsEqual(other)) return false;
    const auto& o = static_cast<const fclfile_TimeAttribute&>(other);
    return Flag1 == o.Flag1 && Flag2 == o.Flag2;
}
void fclfile_TimeAttribute::Read(const unsigned char* record, int) {
    ReadHeader(record);
    Flag1 = static_cast<int>(GetU16(record + kOwnFields));
    Flag2 = static_cast<int>(GetU16(record + kOwnFields + 2));
}
void fclfile_TimeAttribute::Write(std::string& out, uint32_t next) const {
    WriteHeader(out, next);
    PutU16(out, static_cast<uint32_t>(Flag1));
    PutU16(out, static_cast<uint32_t>(Flag2));
}
void fclfile_TimeAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_TimeAttribute&>(other);
    Flag1 = o.Flag1;
    Flag2 = o.Flag2;
    Value = o.Value;
}

bool fclfile_SeparatorAttribute::IsEqual(const fclfile_Attribute& other) const {
    return fclfile_Attribute::IsEqual(other);
}
void fclfile_SeparatorAttribute::Read(const unsigned char* record, int) { ReadHeader(record); }
void fclfile_SeparatorAttribute::Write(std::string& out, uint32_t next) const { WriteHeader(out, next); }

bool fclfile_IntegerAttribute::IsEqual(const fclfile_Attribute& other) const {
    if (!fclfile_Attribute::IsEqual(other)) return false;
    const auto& o = static_cast<const fclfile_IntegerAttribute&>(other);
    return Int1 == o.Int1 && Int2 == o.Int2 && Int3 == o.Int3;
}
void fclfile_IntegerAttribute::CopyFrom(const fclfile_Attribute& other) {
    const auto& o = static_cast<const fclfile_IntegerAttribute&>(other);
    Int1 = o.Int1;
    Int2 = o.Int2;
    Int3 = o.Int3;
    Value = o.Value;
}

// ---- features --------------------------------------------------------------------------

fclfile_Feature::~fclfile_Feature() { ClearAttributes(); }

void fclfile_Feature::ClearAttributes() {
    for (int i = 0; i < _AttributeCount; ++i) delete _Attributes[i];
    mem_Free(_Attributes);
    _Attributes = nullptr;
    _AttributeCount = 0;
}

fclfile_Attribute* fclfile_Feature::GetAttribute(int i) const {
    return i >= 0 && i < _AttributeCount ? _Attributes[i] : nullptr;
}

bool fclfile_Feature::AddAttribute(fclfile_Attribute* attribute) {
    void* grown = mem_Realloc(_Attributes, (_AttributeCount + 1) * static_cast<int>(sizeof(void*)));
    if (!grown) {
        delete attribute;
        return false;
    }
    _Attributes = static_cast<fclfile_Attribute**>(grown);
    _Attributes[_AttributeCount++] = attribute;
    return true;
}

bool fclfile_Feature::Assign(const fclfile_Feature& other) {
    if (this == &other) return true;
    ClearAttributes();
    Code = other.Code;
    Description = other.Description;
    Kind = other.Kind;
    KindOption = other.KindOption;
    Subtype = other.Subtype;
    Extra1 = other.Extra1;
    Extra2 = other.Extra2;
    for (int i = 0; i < other._AttributeCount; ++i) {
        const fclfile_Attribute* source = other._Attributes[i];
        fclfile_Attribute* copy = source ? source->Clone() : nullptr;
        QZ_ASSERT_TEXT(copy, "false");
        // A slot whose type cannot be copied stays empty, so the count still matches.
        if (!AddAttribute(copy)) return false;
    }
    return true;
}

bool fclfile_Feature::IsEqual(const fclfile_Feature& other) const {
    if (this == &other) return true;
    if (std::strcmp(Code.Data(), other.Code.Data()) != 0 ||
        std::strcmp(Description.Data(), other.Description.Data()) != 0 ||
        _AttributeCount != other._AttributeCount || Kind != other.Kind || KindOption != other.KindOption ||
        Subtype != other.Subtype || Extra1 != other.Extra1 || Extra2 != other.Extra2)
        return false;
    for (int i = 0; i < _AttributeCount; ++i) {
        const fclfile_Attribute* a = _Attributes[i];
        const fclfile_Attribute* b = other._Attributes[i];
        if (!a || !b) {
            if (a != b) return false;
        } else if (!a->IsEqual(*b)) {
            return false;
        }
    }
    return true;
}

// ---- featureCode_Library ---------------------------------------------------------------

featureCode_Library::~featureCode_Library() { Clear(); }

bool featureCode_Library::IsEqual(const featureCode_Library& other) const {
    if (this == &other) return true;
    if (NumberFeatures != other.NumberFeatures || Version != other.Version) return false;
    for (int i = 0; i < NumberFeatures; ++i)
        if (!_Features[i]->IsEqual(*other._Features[i])) return false;
    return true;
}

void featureCode_Library::Clear() {
    for (int i = 0; i < NumberFeatures; ++i) delete _Features[i];
    mem_Free(_Features);
    _Features = nullptr;
    _Allocated = 0;
    NumberFeatures = 0;
}

int featureCode_Library::Load(const Str&) {
    QZ_FAIL("0");
    return kCannotOpen;
}

int featureCode_Library::Save(const Str&) {
    QZ_FAIL("0");
    return kCannotWrite;
}

bool featureCode_Library::Reserve(int n) {
    if (n <= 0) return true;
    const int64_t wanted = static_cast<int64_t>(_Allocated) + n;
    if (wanted > INT32_MAX / static_cast<int>(sizeof(void*))) return false;
    void* grown = mem_Realloc(_Features, static_cast<int>(wanted) * static_cast<int>(sizeof(void*)));
    if (!grown) return false;
    _Features = static_cast<fclfile_Feature**>(grown);
    for (int64_t i = _Allocated; i < wanted; ++i) _Features[i] = nullptr;
    _Allocated = static_cast<int>(wanted);
    return true;
}

fclfile_Feature* featureCode_Library::GetFeature(int i) const {
    if (!QZ_ASSERT(i > -1) || !QZ_ASSERT(i < this->NumberFeatures)) return nullptr;
    return _Features[i];
}

bool featureCode_Library::GetFeature(int i, fclfile_Feature** out) const {
    if (!out || i < 0 || i >= NumberFeatures) return false;
    *out = _Features[i];
    return true;
}

int featureCode_Library::RemoveFeature(int n) {
    if (!QZ_ASSERT(n > -1) || !QZ_ASSERT(n < this->NumberFeatures)) return NumberFeatures;
    delete _Features[n];
    std::memmove(_Features + n, _Features + n + 1, sizeof(void*) * static_cast<size_t>(NumberFeatures - n - 1));
    _Features[--NumberFeatures] = nullptr;
    return NumberFeatures;
}

bool featureCode_Library::InsertFeature(const fclfile_Feature& feature, int& index) {
    fclfile_Feature* copy = new (std::nothrow) fclfile_Feature;
    if (!copy) return false;
    if (!copy->Assign(feature) || (NumberFeatures == _Allocated && !Reserve(1))) {
        delete copy;
        return false;
    }
    Str code = feature.Code;
    code.MakeUpper();
    int at = 0;
    for (; at < NumberFeatures; ++at) {
        Str existing = _Features[at]->Code;
        existing.MakeUpper();
        if (fclfile_CompareCodes(existing.Data(), code.Data()) >= 0) break;
    }
    std::memmove(_Features + at + 1, _Features + at, sizeof(void*) * static_cast<size_t>(NumberFeatures - at));
    _Features[at] = copy;
    ++NumberFeatures;
    index = at;
    return true;
}

bool featureCode_Library::FindFeatureByCode(const Str& code, int& index) const {
    Str wanted = code;
    wanted.MakeUpper();
    for (index = 0; index < NumberFeatures; ++index) {
        Str candidate = _Features[index]->Code;
        candidate.MakeUpper();
        if (candidate == wanted) return true;
    }
    return false;
}

bool featureCode_Library::FindFeatureByDescription(const Str& description, int& index) const {
    Str wanted = description;
    wanted.MakeUpper();
    for (index = 0; index < NumberFeatures; ++index) {
        Str candidate = _Features[index]->Description;
        candidate.MakeUpper();
        if (candidate == wanted) return true;
    }
    return false;
}

bool featureCode_Library::HasAttributes() const {
    for (int i = 0; i < NumberFeatures; ++i)
        if (_Features[i]->AttributeCount() > 0) return true;
    return false;
}

void featureCode_Library::Sort() {
    std::sort(_Features, _Features + NumberFeatures, [](const fclfile_Feature* a, const fclfile_Feature* b) {
        return fclfile_CompareFeatures(*a, *b) < 0;
    });
}

// ---- falFormat_Library: the file -------------------------------------------------------

bool falFormat_Library::IsEqual(const featureCode_Library& other) const {
    if (!featureCode_Library::IsEqual(other)) return false;
    const auto* o = dynamic_cast<const falFormat_Library*>(&other);
    if (!o) return false;
    return HeaderWord == o->HeaderWord && std::strcmp(Text.Data(), o->Text.Data()) == 0 &&
           std::strcmp(Name.Data(), o->Name.Data()) == 0 && HeaderByte == o->HeaderByte &&
           FormatCode == o->FormatCode;
}

namespace {

// Reads `size` bytes at `offset` into `out`; a record reaching past the end of the file is
// a read failure found before anything is taken for it.
int ReadAt(file_Class& file, uint32_t offset, int size, std::string& out) {
    if (!file.Seek(offset)) return kBadSeek;
    if (static_cast<uint64_t>(offset) + static_cast<uint64_t>(size) > file.GetSize()) return kCannotRead;
    out.resize(static_cast<size_t>(size));
    uint32_t count = 0;
    if (!file.Read(out.data(), static_cast<uint32_t>(size), &count) || count != static_cast<uint32_t>(size))
        return kCannotRead;
    return kOk;
}

const unsigned char* Bytes(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

}  // namespace

int falFormat_Library::Load(const Str& path) {
    Clear();
    file_Class file(path);
    if (!file.Open(file_Class::ModeReadWrite) && !file.Open(file_Class::ModeRead)) return kCannotOpen;
    int result;
    try {
        result = LoadFrom(file);
    } catch (const std::bad_alloc&) {
        result = kNoMemory;
    }
    file.Close();
    return result;
}

int falFormat_Library::LoadFrom(file_Class& file) {
    std::string record;
    if (!file.Seek(0)) return kBadSeek;
    if (ReadAt(file, 0, kHeaderBytes, record) != kOk) return kCannotRead;
    const unsigned char* h = Bytes(record);
    Version = h[0];
    HeaderByte = h[1];
    const int count = static_cast<int>(GetU16(h + 2));
    Name = GetField(h + 4, kNameBytes);
    HeaderWord = static_cast<int>(GetU16(h + 29));
    Text = GetField(h + 31, kTextBytes);
    FormatCode = static_cast<int>(GetU16(h + 92));
    uint32_t next = GetU32(h + 94);
    if ((Version != 3 && Version != 4) || FormatCode != kFormatCode) return kBadFormat;
    // Features the file cannot hold are never allocated.
    if (static_cast<uint64_t>(count) * kFeatureBytes > file.GetSize() - kHeaderBytes) return kCannotRead;

    if (!Reserve(count)) return kNoMemory;
    for (int i = 0; i < count; ++i) {
        _Features[i] = new (std::nothrow) fclfile_Feature;
        if (!_Features[i]) return kNoMemory;
        ++NumberFeatures;
    }

    for (int i = 0; i < count; ++i) {
        fclfile_Feature& feature = *_Features[i];
        if (int status = ReadAt(file, next, kFeatureBytes, record)) return status;
        const unsigned char* f = Bytes(record);
        const int attributes = static_cast<int>(GetU16(f));
        fclfile_DecodeKind(GetU32(f + 2), feature.Kind, feature.KindOption, feature.Subtype);
        feature.Code = GetField(f + 6, kCodeBytes);
        fclfile_BlanksToMiddleDots(feature.Code);
        feature.Description = GetField(f + 27, kDescriptionBytes);
        uint32_t attribute = GetU32(f + 70);
        next = GetU32(f + 74);

        if (static_cast<uint64_t>(attributes) * FCLFILE_AttributeHeaderBytes > file.GetSize()) return kCannotRead;
        for (int k = 0; k < attributes; ++k) {
            if (!file.Seek(attribute)) return kBadSeek;
            if (static_cast<uint64_t>(attribute) + 2 > file.GetSize()) return kCannotRead;
            int type = 0;
            if (!fclfile_ReadAttributeType(file, type)) return kCannotRead;
            if (type == FCLFILE_Integer) return kBadSeek;
            fclfile_Attribute* made = fclfile_Attribute::Make(type);
            if (!made) return kBadSeek;
            if (!feature.AddAttribute(made)) return kNoMemory;
            int size = made->BytesOnDisk() - 2;
            if (int status = ReadAt(file, attribute + 2, size, record)) return status;
            if (type == FCLFILE_Menu) {
                // The items follow the fixed part; their count is in it.
                const int items = static_cast<int>(GetU16(Bytes(record) + kOwnFields));
                std::string rest;
                if (int status = ReadAt(file, attribute + 2 + size, FCLFILE_NameBytes * items, rest)) return status;
                record += rest;
                size += FCLFILE_NameBytes * items;
            }
            made->Read(Bytes(record), size);
            attribute = GetU32(Bytes(record) + kOwnFields - 4);
        }
    }
    return kOk;
}

int falFormat_Library::Save(const Str& path) {
    // The format has no record for an integer attribute, and no field wider than 16 bits
    // for a count: such a library would not load back, so nothing is written.
    if (NumberFeatures > 0xFFFF) return kCannotWrite;
    for (int i = 0; i < NumberFeatures; ++i) {
        const fclfile_Feature& feature = *_Features[i];
        if (feature.AttributeCount() > 0xFFFF) return kCannotWrite;
        for (int k = 0; k < feature.AttributeCount(); ++k) {
            const fclfile_Attribute* a = feature.GetAttribute(k);
            if (!a || a->GetType() == FCLFILE_Integer) return kCannotWrite;
            if (a->GetType() == FCLFILE_Menu && static_cast<const fclfile_MenuAttribute*>(a)->ItemCount > 0xFFFF)
                return kCannotWrite;
        }
    }
    file_Class file;
    if (!file.Create(path)) return kCannotCreate;
    const int result = SaveTo(file);
    const bool closed = file.Close();
    if (result == kOk && closed) return kOk;
    // A half-written library must not be loaded later.
    file.Delete();
    return kCannotWrite;
}

int falFormat_Library::SaveTo(file_Class& file) const {
    std::string out;
    PutU8(out, static_cast<uint32_t>(Version));
    PutU8(out, static_cast<uint32_t>(HeaderByte));
    PutU16(out, static_cast<uint32_t>(NumberFeatures));
    PutText(out, Name, kNameBytes);
    PutU16(out, static_cast<uint32_t>(HeaderWord));
    PutText(out, Text, kTextBytes);
    PutU16(out, static_cast<uint32_t>(FormatCode));
    PutU32(out, NumberFeatures > 0 ? kHeaderBytes : kNone);
    if (!file.Write(out.data(), static_cast<uint32_t>(out.size()))) return kCannotWrite;

    uint32_t offset = kHeaderBytes;
    for (int i = 0; i < NumberFeatures; ++i) {
        const fclfile_Feature& feature = *_Features[i];
        const int attributes = feature.AttributeCount();
        uint32_t end = offset + kFeatureBytes;
        for (int k = 0; k < attributes; ++k) end += static_cast<uint32_t>(feature.GetAttribute(k)->BytesOnDisk());

        out.clear();
        PutU16(out, static_cast<uint32_t>(attributes));
        PutU32(out, fclfile_EncodeKind(feature.Kind, feature.KindOption, feature.Subtype));
        Str code = feature.Code;
        fclfile_MiddleDotsToBlanks(code);
        PutText(out, code, kCodeBytes);
        PutText(out, feature.Description, kDescriptionBytes);
        PutU32(out, attributes > 0 ? offset + kFeatureBytes : kNone);
        PutU32(out, i + 1 < NumberFeatures ? end : kNone);

        uint32_t attribute = offset + kFeatureBytes;
        for (int k = 0; k < attributes; ++k) {
            const fclfile_Attribute& a = *feature.GetAttribute(k);
            attribute += static_cast<uint32_t>(a.BytesOnDisk());
            const size_t before = out.size();
            a.Write(out, k + 1 < attributes ? attribute : kNone);
            QZ_ASSERT_TEXT(out.size() - before == static_cast<size_t>(a.BytesOnDisk()),
                           "buffer.Length() == this->BytesOnDisk ()");
        }
        if (!file.Write(out.data(), static_cast<uint32_t>(out.size()))) return kCannotWrite;
        offset = end;
    }
    return kOk;
}
