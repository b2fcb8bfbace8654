// Feature codes of a point observation, line or arc, each with typed attributes.
//
// Serialised inside the record (little-endian in the journal):
//   FeatureArray  i32 count, then each Feature
//   Feature       string code (string), code (string), then its Attributes
//   Attributes    i32 count, then each attribute: u16 type, name (string), then by type
//                 0 Numerical, 3 Date, 4 Time: f64      2 Menu: u16 index, string
//                 1 Text, 5 File, 8 Photo: string        7 Integer: i32
//                 6 Separator and any other type: nothing
//
// Counts read from a job file are bounded by the bytes left in the record (a feature
// takes at least 6 bytes, an attribute 3): a count that cannot fit marks the read as
// damaged and nothing is allocated from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "foundation/text/str.h"
#include "records/recordheap.h"

class ReadBuffer;
class WriteBuffer;

enum {
    FEATURE_AttribNumerical = 0,
    FEATURE_AttribText = 1,
    FEATURE_AttribMenu = 2,
    FEATURE_AttribDate = 3,
    FEATURE_AttribTime = 4,
    FEATURE_AttribFile = 5,
    FEATURE_AttribSeparator = 6,
    FEATURE_AttribInteger = 7,
    FEATURE_AttribPhoto = 8,
    FEATURE_AttribTypeCount = 9,
};

// Longest code the code-string parser produces; a longer code string gives no token.
constexpr int DBTYPE_CodeSize = 42;

// The attribute type names of the feature code library and the export, by type;
// nullptr outside 0..8.
const char* FeatureAttribute_TypeName(int type);

class FeatureAttribute {
public:
    FeatureAttribute() = default;

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    // The integer value and the link pair take no part.
    bool IsEqual(const FeatureAttribute& other) const;

    // Ordered for size (56 bytes, no padding): a job holds one per attribute of
    // every coded point. The type and the menu index are as wide as on disk.
    Str name;
    Str text;
    double number = 0.0;
    int integer = 0;
    // Copied with the attribute, never serialised.
    int link[2] = {0, 0};
    uint16_t type = FEATURE_AttribSeparator;
    uint16_t menuIndex = 0;
};

class Attributes {
public:
    Attributes() = default;
    Attributes(const Attributes& other) = default;
    Attributes(Attributes&& other) noexcept = default;
    Attributes& operator=(const Attributes& other) {
        Assign(other);
        return *this;
    }
    Attributes& operator=(Attributes&& other) noexcept = default;
    ~Attributes() = default;

    // Room for count attributes in all, so that adding them moves none.
    void Reserve(int count) {
        if (count > 0) _Attribs.reserve(static_cast<size_t>(count));
    }

    void Clear() { _Attribs.clear(); }
    int Count() const { return static_cast<int>(_Attribs.size()); }
    // Out of range: reported, and a scratch attribute is returned.
    FeatureAttribute& GetAt(int pos);
    const FeatureAttribute& GetAt(int pos) const;
    void Assign(const Attributes& other);
    bool IsEqual(const Attributes& other) const;
    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    bool Append(const FeatureAttribute& attribute);
    bool Append(FeatureAttribute&& attribute);
    bool SetAt(int index, const FeatureAttribute& attribute);

    bool AddNumerical(const Str& name, double number);
    bool AddText(const Str& name, const Str& text);
    bool AddMenu(const Str& name, const Str& text, int menuIndex);
    bool AddDate(const Str& name, double number);
    bool AddTime(const Str& name, double number);
    bool AddFile(const Str& name, const Str& text);
    bool AddSeparator(const Str& name);
    bool AddInteger(const Str& name, int integer);
    bool AddPhoto(const Str& name, const Str& text);

    void ClearLinks();

private:
    std::vector<FeatureAttribute, dbRecord_HeapAllocator<FeatureAttribute>> _Attribs;
};

class Feature {
public:
    Feature() = default;
    Feature(const Feature& other) = default;
    Feature(Feature&& other) noexcept = default;
    Feature& operator=(const Feature& other) = default;
    Feature& operator=(Feature&& other) noexcept = default;
    // String code, code and attributes; nothing on self-assignment.
    void Assign(const Feature& other) { *this = other; }

    const Str& GetCode() const { return _Code; }
    void SetCode(const Str& code) { _Code = code; }
    const Str& GetStringCode() const { return _StringCode; }
    void SetStringCode(const Str& stringCode) { _StringCode = stringCode; }
    Attributes& GetAttributes() { return _Attributes; }
    const Attributes& GetAttributes() const { return _Attributes; }

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    bool IsEqual(const Feature& other) const;
    bool IsNotEqual(const Feature& other) const { return !IsEqual(other); }

private:
    Attributes _Attributes;
    Str _Code;
    Str _StringCode;
};

// Nearly every coded point has no feature, so the list itself lives apart from the
// array and only while it holds a feature: an empty array is one null pointer.
class FeatureArray {
public:
    FeatureArray() = default;
    FeatureArray(const FeatureArray& other);
    FeatureArray& operator=(const FeatureArray& other) {
        Assign(other);
        return *this;
    }
    ~FeatureArray() { Drop(); }

    bool IsEqual(const FeatureArray& other) const;
    bool IsNotEqual(const FeatureArray& other) const { return !IsEqual(other); }
    bool SharesStorage(const FeatureArray& other) const;
    void Assign(const FeatureArray& other);

    void Clear() { Drop(); }
    int Count() const { return _Features ? static_cast<int>(_Features->size()) : 0; }
    // Out of range: reported, and a scratch feature is returned.
    Feature& GetAt(int pos);
    const Feature& GetAt(int pos) const;
    // The copy in the array; valid until the array changes.
    Feature& Append(const Feature& feature);
    Feature& Append(Feature&& feature);
    void InsertAt(const Feature& feature, int addAtNdx);
    // The feature must be an element of this array.
    void Remove(const Feature& feature);
    // A new array that takes over the features; this one is left empty.
    FeatureArray* Detach();
    // Exchanges the features of two arrays; no feature is copied or moves in memory.
    void Swap(FeatureArray& other) noexcept { std::swap(_Features, other._Features); }

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);

    // Index of the first feature at or after startAt whose code equals code, ignoring
    // ASCII case; -1 when there is none.
    int FindCode(const Str& code, int startAt) const;

    void ParseCodeString(const Str& codes, bool splitDigits);
    void SetFromCodeString(const Str& codes, bool splitDigits);
    Str GetCodeString() const;
    void JoinCodes(const Str& codes);
    // Blanks and unit separators (0x1F) become middle dots (U+00B7).
    static Str DotBlanks(const Str& text);

    StrArray GetCodes() const;
    bool HasAttributes() const;
    int CountFeaturesWithAttributes() const;
    void ClearAllAttributes();
    void ClearStringCodes();
    void ClearAttributeLinks();

private:
    using List = std::vector<Feature, dbRecord_HeapAllocator<Feature>>;

    std::span<Feature> Items() { return _Features ? std::span<Feature>(*_Features) : std::span<Feature>(); }
    std::span<const Feature> Items() const {
        return _Features ? std::span<const Feature>(*_Features) : std::span<const Feature>();
    }
    // The list, made when the first feature comes.
    List& Grow();
    void Drop() noexcept;

    // Null while the array is empty.
    List* _Features = nullptr;
};

// Takes the next blank-separated token off rest; false when rest is empty, 43
// characters or longer, or starts with a separator.
bool FeatureArray_NextCodeToken(Str& rest, Str& token);
// Moves a trailing run of digits of the feature's code into its string code; a code
// of digits only stays whole.
void FeatureArray_SplitStringCode(Feature& feature);
