// The feature code library: a list of feature codes a surveyor may attach to points,
// lines and arcs, each with a description, a drawing kind and typed attribute
// definitions; and its file.
//
// File layout (little-endian; a text field of n bytes holds 8-bit code-page text up to
// its first zero byte, written cut to n bytes and padded with zeros; offsets count from
// the start of the file, and 0xFFFFFFFF means none):
//
//   header, 98 bytes at 0:  u8 version (3 or 4), u8 header byte, u16 feature count,
//                           text[25] name, u16 header word, text[61] text,
//                           u16 format code (4), u32 offset of the first feature
//   feature, 78 bytes:      u16 attribute count, u32 kind flags, text[21] code,
//                           text[43] description, u32 first attribute, u32 next feature
//   attribute, 29 bytes +:  u16 type, u16 options, text[21] name, u32 next attribute,
//                           then by type: numerical f64 f64 f64 u8 u16 units;
//                           text/file/photo u16; menu u16 n, u16 has-default,
//                           u16 default index, n x text[21]; date u16 u16; time u16 u16;
//                           separator nothing. Integer attributes have no record.
//
// Blanks (and 0x1F) of a feature code on disk are middle dots in memory. Attribute
// values, the text of text and file attributes and menu selections are not stored.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/text/str.h"

class file_Class;

// ---- memory, colours, text ------------------------------------------------------------

// The C runtime's allocator; a failure shows only in the result. A negative size fails.
void* mem_Alloc(int size);
// On failure the old block stays valid and null is returned.
void* mem_Realloc(void* block, int size);
void mem_Free(void* block);

// Colour numbers 1..15 to RGB (red in the low byte); 16 for any other number.
int fclfile_ColourToRGB(int number);
// The first colour number with that RGB value; 16 when none has it.
int fclfile_RGBToColour(int rgb);

Str fclfile_UTF8ToCodePage(const Str& text);
Str fclfile_CodePageToUTF8(const char* text);
void fclfile_BlanksToMiddleDots(Str& code);
void fclfile_MiddleDotsToBlanks(Str& code);

// The file leaves out square US feet (39): its units codes stop at 45.
int fclfile_UnitsFromFile(int code);
int fclfile_UnitsToFile(int units);
bool fclfile_ReadAttributeType(file_Class& file, int& type);
// Bytes compared as signed values: a byte of 0x80 or above sorts before ASCII.
int fclfile_CompareCodes(const char* a, const char* b);

class fclfile_Feature;
// strcmp of the upper-cased codes.
int fclfile_CompareFeatures(const fclfile_Feature& a, const fclfile_Feature& b);

class fclfile_IndexList {
public:
    fclfile_IndexList() = default;
    fclfile_IndexList(const fclfile_IndexList&) = delete;
    fclfile_IndexList& operator=(const fclfile_IndexList&) = delete;
    ~fclfile_IndexList();

    // Grows by exactly one entry.
    bool Add(int value);
    bool Get(int index, int* out) const;
    int Count() const { return _Count; }

private:
    int* _Items = nullptr;
    int _Count = 0;
};

// ---- attributes -----------------------------------------------------------------------

enum fclfile_AttributeType {
    FCLFILE_Numerical = 0,
    FCLFILE_Text = 1,
    FCLFILE_Menu = 2,
    FCLFILE_Date = 3,
    FCLFILE_Time = 4,
    FCLFILE_File = 5,
    FCLFILE_Separator = 6,
    FCLFILE_Integer = 7,
    FCLFILE_Photo = 8,
};

// Record layout shared by every type.
constexpr int FCLFILE_AttributeHeaderBytes = 29;
constexpr int FCLFILE_NameBytes = 21;
constexpr int FCLFILE_UnitsNone = 47;

class fclfile_Attribute {
public:
    fclfile_Attribute() = default;
    virtual ~fclfile_Attribute() = default;

    // The base body compares type, name (byte for byte) and options; every concrete
    // class adds its own members and calls it first.
    virtual bool IsEqual(const fclfile_Attribute& other) const = 0;
    bool IsNotEqual(const fclfile_Attribute& other) const { return !IsEqual(other); }
    virtual int GetType() const = 0;
    // The record's size on disk, the type code included.
    virtual int BytesOnDisk() const = 0;
    // Reads the record after its type code; `size` bytes are there.
    virtual void Read(const unsigned char* record, int size) = 0;
    // Appends the whole record, the type code and the given next-attribute offset
    // included.
    virtual void Write(std::string& out, uint32_t next) const = 0;

    // A new attribute of that type; null for a code outside 0..8.
    static fclfile_Attribute* Make(int type);
    // A copy of the same type.
    fclfile_Attribute* Clone() const;

    Str Name;
    int Options = 0;
    int ValueSet = 0;

protected:
    void ReadHeader(const unsigned char* record);
    void WriteHeader(std::string& out, uint32_t next) const;
    virtual void CopyFrom(const fclfile_Attribute& other) = 0;
};

class fclfile_NumericalAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Numerical; }
    int BytesOnDisk() const override { return 56; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;
    double GetValue() const { return Value; }
    void SetValue(double value) { Value = value; ValueSet = 1; }

    double Double1 = 0.0, Double2 = 0.0, Double3 = 0.0;
    int Byte = 0;
    int Units = FCLFILE_UnitsNone;
    double Value = 0.0;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

// Text and file attributes share a record: a 16-bit number on disk, a text and a value in
// memory only.
class fclfile_TextAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Text; }
    int BytesOnDisk() const override { return 31; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;
    Str GetValue() const { return Value; }
    void SetValue(const Str& value) { Value = value; ValueSet = 1; }

    int Number = 0;
    Str Text;
    Str Value;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

class fclfile_FileAttribute : public fclfile_TextAttribute {
public:
    int GetType() const override { return FCLFILE_File; }
};

class fclfile_PhotoAttribute : public fclfile_FileAttribute {
public:
    int GetType() const override { return FCLFILE_Photo; }
};

class fclfile_MenuAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Menu; }
    int BytesOnDisk() const override { return 35 + 21 * ItemCount; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;
    void AddItem(const Str& item);
    int GetSelectedIndex() const { return SelectedIndex; }
    Str GetSelectedText() const { return SelectedText; }
    void SetSelection(int index, const Str& text);

    int ItemCount = 0;
    int HasDefault = 0;
    int DefaultIndex = 0;
    Str DefaultText;
    StrArray Items;
    int SelectedIndex = 0;
    Str SelectedText;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

class fclfile_DateAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Date; }
    int BytesOnDisk() const override { return 33; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;
    double GetValue() const { return Value; }
    void SetValue(double value) { Value = value; ValueSet = 1; }

    int Number = 0;
    int Flag = 0;
    double Value = 0.0;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

class fclfile_TimeAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Time; }
    int BytesOnDisk() const override { return 33; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;
    double GetValue() const { return Value; }
    void SetValue(double value) { Value = value; ValueSet = 1; }

    int Flag1 = 0;
    int Flag2 = 0;
    double Value = 0.0;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

class fclfile_SeparatorAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Separator; }
    int BytesOnDisk() const override { return FCLFILE_AttributeHeaderBytes; }
    void Read(const unsigned char* record, int size) override;
    void Write(std::string& out, uint32_t next) const override;

protected:
    void CopyFrom(const fclfile_Attribute&) override {}
};

// Held in memory only: the file has no record for it.
class fclfile_IntegerAttribute : public fclfile_Attribute {
public:
    bool IsEqual(const fclfile_Attribute& other) const override;
    int GetType() const override { return FCLFILE_Integer; }
    int BytesOnDisk() const override { return 0; }
    void Read(const unsigned char*, int) override {}
    void Write(std::string&, uint32_t) const override {}
    int GetValue() const { return Value; }
    void SetValue(int value) { Value = value; ValueSet = 1; }

    int32_t Int1 = 0, Int2 = 0, Int3 = 0;
    int Value = 0;

protected:
    void CopyFrom(const fclfile_Attribute& other) override;
};

// ---- features -------------------------------------------------------------------------

class fclfile_Feature {
public:
    fclfile_Feature() = default;
    fclfile_Feature(const fclfile_Feature&) = delete;
    fclfile_Feature& operator=(const fclfile_Feature&) = delete;
    virtual ~fclfile_Feature();

    // A deep copy; false when memory runs out (the target then holds the attributes
    // copied so far).
    bool Assign(const fclfile_Feature& other);
    bool IsEqual(const fclfile_Feature& other) const;
    // Takes ownership; false when memory runs out (the attribute is deleted).
    bool AddAttribute(fclfile_Attribute* attribute);
    void ClearAttributes();
    int AttributeCount() const { return _AttributeCount; }
    // Null outside 0..count-1.
    fclfile_Attribute* GetAttribute(int i) const;

    int Kind = 0;
    int KindOption = 0;
    int Subtype = 1;
    int32_t Extra1 = 0, Extra2 = 0;
    Str Code;
    Str Description;

private:
    friend class falFormat_Library;
    fclfile_Attribute** _Attributes = nullptr;
    int _AttributeCount = 0;
};

// Kind flags as stored: kind 1 is 4 (0x104 with the option), kind 2 is 1 plus one
// subtype bit. Reading tests the subtype bits in another order than writing sets them.
uint32_t fclfile_EncodeKind(int kind, int option, int subtype);
void fclfile_DecodeKind(uint32_t flags, int& kind, int& option, int& subtype);

// ---- libraries ------------------------------------------------------------------------

class featureCode_Library {
public:
    featureCode_Library() = default;
    featureCode_Library(const featureCode_Library&) = delete;
    featureCode_Library& operator=(const featureCode_Library&) = delete;
    virtual ~featureCode_Library();

    virtual bool IsEqual(const featureCode_Library& other) const;
    bool IsNotEqual(const featureCode_Library& other) const { return !IsEqual(other); }
    void Clear();
    virtual int Load(const Str& path);
    virtual int Save(const Str& path);
    int GetNumberFeatures() const { return NumberFeatures; }
    int GetVersion() const { return Version; }
    void SetVersion(int version) { Version = version; }
    Str GetName() const { return Name; }
    void SetName(const Str& name) { Name = name; }
    virtual int GetHeaderWord() const { return 0; }
    virtual Str GetText() const { return Str(); }
    int RemoveFeature(int n);
    bool InsertFeature(const fclfile_Feature& feature, int& index);
    bool CanEdit() const { return true; }
    fclfile_Feature* GetFeature(int i) const;
    bool GetFeature(int i, fclfile_Feature** out) const;
    bool FindFeatureByCode(const Str& code, int& index) const;
    bool FindFeatureByDescription(const Str& description, int& index) const;
    bool HasAttributes() const;
    void Sort();
    // Room for n more features; the count is unchanged.
    bool Reserve(int n);

protected:
    int Version = 4;
    Str Name;
    int NumberFeatures = 0;
    fclfile_Feature** _Features = nullptr;
    int _Allocated = 0;
};

class falFormat_Library : public featureCode_Library {
public:
    falFormat_Library() = default;

    bool IsEqual(const featureCode_Library& other) const override;
    // 0 success; 2 cannot open; 3 a record cannot be read (or would reach past the end);
    // 6 a seek fails or an attribute type has no record; 8 out of memory; 9 not a
    // library of version 3 or 4 and format 4.
    int Load(const Str& path) override;
    // 0 success; 1 the file cannot be created (it exists, say); 4 a record cannot be
    // written, or the library holds an integer attribute, which the format cannot keep.
    // A failed save leaves no file.
    int Save(const Str& path) override;
    int GetHeaderWord() const override { return HeaderWord; }
    Str GetText() const override { return Text; }
    void SetHeaderWord(int word) { HeaderWord = word; }
    void SetText(const Str& text) { Text = text; }
    int GetHeaderByte() const { return HeaderByte; }
    void SetHeaderByte(int value) { HeaderByte = value; }
    int GetFormatCode() const { return FormatCode; }

private:
    int LoadFrom(file_Class& file);
    int SaveTo(file_Class& file) const;

    int HeaderWord = 0;
    Str Text;
    int HeaderByte = 0;
    int FormatCode = 4;
};
