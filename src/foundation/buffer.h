// Byte buffers: every byte-level format of the system (file header, journal frames,
// record bodies, feature lists) is appended to a WriteBuffer and parsed from a
// ReadBuffer. Nothing else encodes numbers into bytes by hand.
//
// Widths, as the record layouts name them:
//   byte, i8, bool  1 byte (bool written 0/1, read true for any non-zero byte)
//   u16, i16        2 bytes       u24 3 bytes (read only)
//   u32, i32        4 bytes       int64 8 bytes
//   f32, f64        IEEE 754, 4 / 8 bytes (MATHS_Null is stored as its bit pattern)
//   string          the text's bytes and one zero byte, no length prefix
//   fixed(N)        exactly N bytes, zero padded; a text of N bytes or more is cut at
//                   N and has no terminator
//   bytes(N)        N raw bytes
// Little-endian puts the least significant byte first; every buffer of the system is
// little-endian. Any order other than ENDIAN_Little is arranged big-endian, including
// ENDIAN_Undefined, which is reported on every typed access first.
//
// Offsets and sizes are signed 32-bit; a buffer never exceeds WRITEBUFFER_MaxLength.
// Every failed check is reported to Environment::AssertionFailed and execution goes
// on; nothing is ever read or written outside the block.
#pragma once

#include <bit>
#include <cstdint>

#include "foundation/text/str.h"

enum { ENDIAN_Little = 0, ENDIAN_Big = 1, ENDIAN_Undefined = 2 };

// The largest block a writer holds: 256 x 8^7 = 2^29 bytes.
inline constexpr int32_t WRITEBUFFER_MaxLength = 536870912;

// A block of bytes read at an offset that the caller keeps: each Get reads at Offset
// and advances it by the value's width. A read that would pass the data is reported,
// returns a neutral value (0, 0.0, false, empty text) and still advances Offset by the
// full width, so every later read of the same record fails too. Such a read also
// marks the reader Failed(), which stays set until the reader is given new data
// (Allocate, assignment) or ResetFailed() is called: a caller parses a whole record
// and then asks once whether it was damaged.
class ReadBuffer {
public:
    ReadBuffer();
    explicit ReadBuffer(int order);
    // A block of size bytes whose contents the caller fills through Data().
    ReadBuffer(int size, int order);
    ReadBuffer(int size, int order, const void* source);
    ReadBuffer(const ReadBuffer& other);
    ReadBuffer& operator=(const ReadBuffer& other);
    ~ReadBuffer();

    // Frees the block and allocates n bytes (contents undefined); clears Failed().
    void Allocate(int n);
    int Length() const { return _DataLength; }
    uint8_t* Data() { return _Buffer; }
    const uint8_t* Data() const { return _Buffer; }
    int Endian() const { return data_Endian; }
    bool IsAtEnd(int Offset) const { return Offset >= _DataLength; }
    // This reader's bytes equal the first as many bytes of the other. A shorter other
    // is reported and compares unequal.
    bool operator==(const ReadBuffer& other) const;

    // Whether any read ran past the data (or had a negative offset or count).
    bool Failed() const { return _Failed; }
    void ResetFailed() { _Failed = false; }

    uint8_t GetUInt8(int& Offset) const;
    int8_t GetInt8(int& Offset) const;
    bool GetBool(int& Offset) const;
    uint16_t GetUInt16(int& Offset) const;
    int16_t GetInt16(int& Offset) const;
    uint32_t GetUInt24(int& Offset) const;
    uint32_t GetUInt32(int& Offset) const;
    int32_t GetInt32(int& Offset) const;
    int64_t GetInt64(int& Offset) const;
    float GetFloat(int& Offset) const;
    double GetDouble(int& Offset) const;
    // The text up to the next zero byte; Offset ends after that byte. Without a zero
    // byte before the end of the block the read fails and gives the empty text.
    Str GetString(int& Offset) const;
    // The same read into the caller's text.
    void GetStringInto(int& Offset, Str& text) const { text = GetString(Offset); }
    // A fixed(n) field: the bytes before the first zero, or all n. Offset moves by n.
    Str GetFixedString(int& Offset, int n) const;
    // Copies n bytes to destination, or skips them when destination is null.
    void GetBytes(int& Offset, void* destination, int n) const;

private:
    // Checks a read of width bytes at Offset; always advances Offset past it (a
    // negative width is refused without moving). Returns the bytes when they lie
    // inside the data, else null.
    const uint8_t* Take(int& Offset, int64_t width, const char* lengthText) const;
    void CopyFrom(const ReadBuffer& other);

    int32_t data_Endian;
    int32_t _DataLength;
    uint8_t* _Buffer;
    mutable bool _Failed = false;
};

// A growing block of bytes: appends go to Length(). Nothing is allocated before the
// first append; the capacity is always the smallest 256 x 8^k bytes that holds the
// data (256, 2048, 16384, ...), up to WRITEBUFFER_MaxLength. An append that would
// pass that limit is reported and dropped, and marks the writer Failed().
class WriteBuffer {
public:
    WriteBuffer();
    explicit WriteBuffer(int order);
    // Reserves size bytes at once: an initial size of 48 gives a capacity of 256.
    WriteBuffer(int size, int order);
    // The copy's capacity follows from its length, not from the other's capacity.
    WriteBuffer(const WriteBuffer& other);
    WriteBuffer& operator=(const WriteBuffer& other);
    ~WriteBuffer();

    void Reserve(int n);
    int Length() const { return _DataLength; }
    int Capacity() const { return _AllocatedLength; }
    const uint8_t* Data() const { return _Buffer; }
    int Endian() const { return data_Endian; }
    // A new block holding a copy of the written bytes, owned by the caller (delete[]);
    // null when nothing is written.
    uint8_t* CopyData() const;

    // Whether an append was dropped because the writer would pass its largest block.
    bool Failed() const { return _Failed; }
    // The block grows no further than needed for `bytes`: an append that would grow it
    // past that is dropped, quietly, and marks the writer Failed(). One that fits the room
    // already there is kept, so Length() can still pass `bytes`: a writer that only
    // measures compares it too.
    void SetLimit(int bytes) { _Limit = bytes; }
    // Forgets the written bytes (and a dropped append); the block is kept for reuse.
    void Clear() {
        _DataLength = 0;
        _Failed = false;
    }

    // A journal encodes every field of every record through these: the common case
    // (little-endian, room in the block) is written inline.
    void PutUInt8(uint32_t value) { PutLittle(value & 0xFFu, 1, true); }  // low 8 bits
    void PutBool(bool flag);
    void PutUInt16(uint32_t value) { PutLittle(value & 0xFFFFu, 2, true); }  // low 16 bits
    void PutInt16(int32_t value);    // low 16 bits
    void PutUInt32(uint32_t value) { PutLittle(value, 4, true); }
    void PutInt32(int32_t value) { PutLittle(static_cast<uint32_t>(value), 4, true); }
    void PutInt64(int64_t value);
    void PutFloat(float value);
    void PutDouble(double value) { PutLittle(std::bit_cast<uint64_t>(value), 8, false); }
    // The text and its zero byte. A null text is reported and written as empty.
    void PutString(const char* text);
    // The Str's text up to its first zero byte, then one zero byte.
    void PutStr(const Str& text);
    // Exactly n bytes: the text's bytes while there are any, then the fill byte.
    void PutFixedString(const char* text, int n, uint8_t fill = 0);
    void PutBytes(const void* bytes, int n);
    void PutBuffer(const WriteBuffer& other);

    // Patch bytes already written; they never change the length or grow the block.
    // A place outside the written bytes is reported and nothing is written.
    void SetUInt8(uint32_t value, int place);
    void SetUInt16(uint32_t value, int place);
    void SetUInt32(uint32_t value, int place);

private:
    // Makes room for n more bytes after the data and returns where they go, or null
    // (reported) when they do not fit. checkOrder: whether the append reports an
    // undefined byte order.
    uint8_t* Extend(int64_t n, bool checkOrder);
    void AppendOrdered(uint64_t value, int width, bool checkOrder);
    // As AppendOrdered, which takes every other case.
    void PutLittle(uint64_t value, int width, bool checkOrder) {
        if (data_Endian == ENDIAN_Little && _AllocatedLength - _DataLength >= width) {
            uint8_t* p = _Buffer + _DataLength;
            for (int i = 0; i < width; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
            _DataLength += width;
        } else {
            AppendOrdered(value, width, checkOrder);
        }
    }
    uint8_t* SetPlace(int place, int width, const char* lengthText);

    int32_t data_Endian;
    int32_t _DataLength;
    int32_t _AllocatedLength;
    uint8_t* _Buffer;
    int32_t _Limit = WRITEBUFFER_MaxLength;
    bool _Failed = false;
};
