#include "foundation/buffer.h"

#include <bit>
#include <cstring>
#include <new>

#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "Library/buffer";

uint64_t Arrange(const uint8_t* p, int width, bool little) {
    uint64_t value = 0;
    if (little) {
        for (int i = width - 1; i >= 0; --i) value = (value << 8) | p[i];
    } else {
        for (int i = 0; i < width; ++i) value = (value << 8) | p[i];
    }
    return value;
}

void Scatter(uint8_t* p, uint64_t value, int width, bool little) {
    for (int i = 0; i < width; ++i) {
        uint8_t b = static_cast<uint8_t>(value >> (8 * i));
        p[little ? i : width - 1 - i] = b;
    }
}

// The bytes before the first zero among the first n.
size_t BoundedLength(const char* text, size_t n) {
    size_t i = 0;
    while (i < n && text[i] != 0) ++i;
    return i;
}

// Offsets saturate instead of wrapping, so repeated failed reads never turn negative.
int Advance(int offset, int64_t width) {
    int64_t next = static_cast<int64_t>(offset) + width;
    return next > INT32_MAX ? INT32_MAX : static_cast<int>(next);
}

}  // namespace

// ---- ReadBuffer --------------------------------------------------------------------

ReadBuffer::ReadBuffer() : data_Endian(ENDIAN_Undefined), _DataLength(0), _Buffer(nullptr) {}

ReadBuffer::ReadBuffer(int order) : data_Endian(order), _DataLength(0), _Buffer(nullptr) {}

ReadBuffer::ReadBuffer(int size, int order) : data_Endian(order), _DataLength(0), _Buffer(nullptr) {
    Allocate(size);
}

ReadBuffer::ReadBuffer(int size, int order, const void* source)
    : data_Endian(order), _DataLength(0), _Buffer(nullptr) {
    Allocate(size);
    if (!QZ_ASSERT(_Buffer)) return;
    if (QZ_ASSERT(source)) std::memcpy(_Buffer, source, static_cast<size_t>(_DataLength));
    else std::memset(_Buffer, 0, static_cast<size_t>(_DataLength));
}

ReadBuffer::ReadBuffer(const ReadBuffer& other)
    : data_Endian(other.data_Endian), _DataLength(0), _Buffer(nullptr) {
    CopyFrom(other);
}

ReadBuffer& ReadBuffer::operator=(const ReadBuffer& other) {
    if (this == &other) return *this;
    delete[] _Buffer;
    _Buffer = nullptr;
    _DataLength = 0;
    _Failed = false;
    data_Endian = other.data_Endian;
    if (other._DataLength > 0) CopyFrom(other);
    return *this;
}

ReadBuffer::~ReadBuffer() { delete[] _Buffer; }

void ReadBuffer::CopyFrom(const ReadBuffer& other) {
    // Copying an empty reader reports "n > 0" and gives an empty one.
    Allocate(other._DataLength);
    if (other._DataLength <= 0 || !QZ_ASSERT(_Buffer)) return;
    std::memcpy(_Buffer, other._Buffer, static_cast<size_t>(_DataLength));
}

void ReadBuffer::Allocate(int n) {
    delete[] _Buffer;
    _Buffer = nullptr;
    _DataLength = 0;
    _Failed = false;
    if (!QZ_ASSERT(n > 0)) return;
    if (!QZ_ASSERT(n <= WRITEBUFFER_MaxLength)) return;
    _Buffer = new (std::nothrow) uint8_t[static_cast<size_t>(n)];
    if (_Buffer) _DataLength = n;
}

bool ReadBuffer::operator==(const ReadBuffer& other) const {
    if (!QZ_ASSERT(_Buffer)) return _DataLength == 0;
    if (!QZ_ASSERT(_DataLength <= other._DataLength)) return false;
    return std::memcmp(_Buffer, other._Buffer, static_cast<size_t>(_DataLength)) == 0;
}

const uint8_t* ReadBuffer::Take(int& Offset, int64_t width, const char* lengthText) const {
    QZ_ASSERT(data_Endian != ENDIAN_Undefined);
    if (!QZ_ASSERT_TEXT(width >= 0, "n >= 0")) {
        _Failed = true;
        return nullptr;
    }
    bool inside;
    if (Offset < 0) inside = QZ_ASSERT(Offset >= 0);
    else inside = qz_Check(Offset + width <= _DataLength, lengthText, kModule, __LINE__);
    if (!QZ_ASSERT(_Buffer)) inside = false;
    const uint8_t* p = inside ? _Buffer + Offset : nullptr;
    if (!inside) _Failed = true;
    Offset = Advance(Offset, width);
    return p;
}

uint8_t ReadBuffer::GetUInt8(int& Offset) const {
    const uint8_t* p = Take(Offset, 1, "(Offset + 1) <= _DataLength");
    return p ? *p : 0;
}

int8_t ReadBuffer::GetInt8(int& Offset) const { return static_cast<int8_t>(GetUInt8(Offset)); }

bool ReadBuffer::GetBool(int& Offset) const { return GetUInt8(Offset) != 0; }

uint16_t ReadBuffer::GetUInt16(int& Offset) const {
    const uint8_t* p = Take(Offset, 2, "(Offset + 2) <= _DataLength");
    return p ? static_cast<uint16_t>(Arrange(p, 2, data_Endian == ENDIAN_Little)) : 0;
}

int16_t ReadBuffer::GetInt16(int& Offset) const { return static_cast<int16_t>(GetUInt16(Offset)); }

uint32_t ReadBuffer::GetUInt24(int& Offset) const {
    const uint8_t* p = Take(Offset, 3, "(Offset + 3) <= _DataLength");
    return p ? static_cast<uint32_t>(Arrange(p, 3, data_Endian == ENDIAN_Little)) : 0;
}

uint32_t ReadBuffer::GetUInt32(int& Offset) const {
    const uint8_t* p = Take(Offset, 4, "(Offset + 4) <= _DataLength");
    return p ? static_cast<uint32_t>(Arrange(p, 4, data_Endian == ENDIAN_Little)) : 0;
}

int32_t ReadBuffer::GetInt32(int& Offset) const { return static_cast<int32_t>(GetUInt32(Offset)); }

int64_t ReadBuffer::GetInt64(int& Offset) const {
    const uint8_t* p = Take(Offset, 8, "(Offset + 8) <= _DataLength");
    return p ? static_cast<int64_t>(Arrange(p, 8, data_Endian == ENDIAN_Little)) : 0;
}

float ReadBuffer::GetFloat(int& Offset) const {
    const uint8_t* p = Take(Offset, 4, "(Offset + (int) sizeof (float)) <= _DataLength");
    if (!p) return 0.0f;
    return std::bit_cast<float>(static_cast<uint32_t>(Arrange(p, 4, data_Endian == ENDIAN_Little)));
}

double ReadBuffer::GetDouble(int& Offset) const {
    const uint8_t* p = Take(Offset, 8, "(Offset + (int) sizeof (double)) <= _DataLength");
    if (!p) return 0.0;
    return std::bit_cast<double>(Arrange(p, 8, data_Endian == ENDIAN_Little));
}

Str ReadBuffer::GetString(int& Offset) const {
    QZ_ASSERT(data_Endian != ENDIAN_Undefined);
    QZ_ASSERT(_Buffer);
    if (!QZ_ASSERT(Offset >= 0)) {
        _Failed = true;
        Offset = Advance(Offset, 1);
        return Str();
    }
    // The scan stops at the end of the block; a missing terminator is a failed read.
    if (_Buffer && Offset < _DataLength) {
        const uint8_t* start = _Buffer + Offset;
        const void* zero = std::memchr(start, 0, static_cast<size_t>(_DataLength - Offset));
        if (zero) {
            int n = static_cast<int>(static_cast<const uint8_t*>(zero) - start);
            Offset += n + 1;
            return Str(reinterpret_cast<const char*>(start), n);
        }
    }
    Offset = Advance(Offset > _DataLength ? Offset : _DataLength, 1);
    QZ_ASSERT(Offset <= _DataLength);
    _Failed = true;
    return Str();
}

Str ReadBuffer::GetFixedString(int& Offset, int n) const {
    const uint8_t* p = Take(Offset, n, "Offset + n <= _DataLength");
    if (!p) return Str();
    const void* zero = std::memchr(p, 0, static_cast<size_t>(n));
    int length = zero ? static_cast<int>(static_cast<const uint8_t*>(zero) - p) : n;
    return Str(reinterpret_cast<const char*>(p), length);
}

void ReadBuffer::GetBytes(int& Offset, void* destination, int n) const {
    const uint8_t* p = Take(Offset, n, "Offset + n <= _DataLength");
    // A failed read leaves the destination alone: its size is the caller's n, which
    // may be the very count that was damaged.
    if (p && destination && n > 0) std::memcpy(destination, p, static_cast<size_t>(n));
}

// ---- WriteBuffer -------------------------------------------------------------------

WriteBuffer::WriteBuffer()
    : data_Endian(ENDIAN_Undefined), _DataLength(0), _AllocatedLength(0), _Buffer(nullptr) {}

WriteBuffer::WriteBuffer(int order)
    : data_Endian(order), _DataLength(0), _AllocatedLength(0), _Buffer(nullptr) {}

WriteBuffer::WriteBuffer(int size, int order)
    : data_Endian(order), _DataLength(0), _AllocatedLength(0), _Buffer(nullptr) {
    Reserve(size);
}

WriteBuffer::WriteBuffer(const WriteBuffer& other)
    : data_Endian(other.data_Endian), _DataLength(0), _AllocatedLength(0), _Buffer(nullptr),
      _Limit(other._Limit), _Failed(other._Failed) {
    if (other._DataLength == 0) return;
    Reserve(other._DataLength);
    if (!QZ_ASSERT(_Buffer)) return;
    std::memcpy(_Buffer, other._Buffer, static_cast<size_t>(other._DataLength));
    _DataLength = other._DataLength;
}

WriteBuffer& WriteBuffer::operator=(const WriteBuffer& other) {
    if (this == &other) return *this;
    delete[] _Buffer;
    _Buffer = nullptr;
    _DataLength = 0;
    _AllocatedLength = 0;
    data_Endian = other.data_Endian;
    _Limit = other._Limit;
    _Failed = other._Failed;
    if (other._DataLength == 0) return *this;
    Reserve(other._DataLength);
    if (!QZ_ASSERT(_Buffer)) return *this;
    std::memcpy(_Buffer, other._Buffer, static_cast<size_t>(other._DataLength));
    _DataLength = other._DataLength;
    return *this;
}

WriteBuffer::~WriteBuffer() { delete[] _Buffer; }

void WriteBuffer::Reserve(int n) {
    if (!QZ_ASSERT(n > 0)) return;
    // Beyond the largest block the request is refused rather than wrapping the size.
    if (!QZ_ASSERT(n <= WRITEBUFFER_MaxLength)) return;
    // Counted up from 256 every time, so the capacity never depends on history.
    int32_t newLength = 256;
    while (newLength < n) newLength *= 8;
    if (!QZ_ASSERT(newLength >= _AllocatedLength)) return;
    if (newLength == _AllocatedLength) return;
    uint8_t* block = new (std::nothrow) uint8_t[static_cast<size_t>(newLength)];
    if (!QZ_ASSERT(block)) return;
    if (_Buffer) {
        std::memcpy(block, _Buffer, static_cast<size_t>(_DataLength));
        delete[] _Buffer;
    }
    _Buffer = block;
    _AllocatedLength = newLength;
}

uint8_t* WriteBuffer::CopyData() const {
    if (_DataLength == 0) return nullptr;
    uint8_t* copy = new uint8_t[static_cast<size_t>(_DataLength)];
    std::memcpy(copy, _Buffer, static_cast<size_t>(_DataLength));
    return copy;
}

uint8_t* WriteBuffer::Extend(int64_t n, bool checkOrder) {
    if (checkOrder) QZ_ASSERT(data_Endian != ENDIAN_Undefined);
    if (!QZ_ASSERT(n >= 0)) return nullptr;
    int64_t need = _DataLength + n;
    if (need > _AllocatedLength) {
        if (need > _Limit && _Limit < WRITEBUFFER_MaxLength) {
            _Failed = true;
            return nullptr;
        }
        if (!QZ_ASSERT(_DataLength + n <= WRITEBUFFER_MaxLength)) {
            _Failed = true;
            return nullptr;
        }
        Reserve(static_cast<int>(need));
    }
    if (!QZ_ASSERT(_Buffer) || need > _AllocatedLength) {
        _Failed = true;
        return nullptr;
    }
    uint8_t* p = _Buffer + _DataLength;
    _DataLength = static_cast<int32_t>(need);
    return p;
}

void WriteBuffer::AppendOrdered(uint64_t value, int width, bool checkOrder) {
    uint8_t* p = Extend(width, checkOrder);
    if (p) Scatter(p, value, width, data_Endian == ENDIAN_Little);
}

void WriteBuffer::PutBool(bool flag) { PutUInt8(flag ? 1 : 0); }
void WriteBuffer::PutInt16(int32_t value) { AppendOrdered(static_cast<uint32_t>(value) & 0xFFFFu, 2, true); }
void WriteBuffer::PutInt64(int64_t value) { AppendOrdered(static_cast<uint64_t>(value), 8, true); }
void WriteBuffer::PutFloat(float value) { AppendOrdered(std::bit_cast<uint32_t>(value), 4, false); }

void WriteBuffer::PutString(const char* text) {
    // A null text still writes its terminator, so the layout after it stays in step.
    if (!QZ_ASSERT(text)) text = "";
    size_t n = std::strlen(text) + 1;
    uint8_t* p = Extend(static_cast<int64_t>(n), true);
    if (p) std::memcpy(p, text, n);
}

void WriteBuffer::PutStr(const Str& text) {
    size_t n = BoundedLength(text.Data(), static_cast<size_t>(text.Length()));
    uint8_t* p = Extend(static_cast<int64_t>(n) + 1, true);
    if (!p) return;
    std::memcpy(p, text.Data(), n);
    p[n] = 0;
}

void WriteBuffer::PutFixedString(const char* text, int n, uint8_t fill) {
    if (!QZ_ASSERT(text)) text = "";
    if (n == 0) return;
    uint8_t* p = Extend(n, true);
    if (!p) return;
    size_t used = BoundedLength(text, static_cast<size_t>(n));
    std::memcpy(p, text, used);
    std::memset(p + used, fill, static_cast<size_t>(n) - used);
}

void WriteBuffer::PutBytes(const void* bytes, int n) {
    if (n == 0) return;
    if (!QZ_ASSERT(bytes)) return;
    uint8_t* p = Extend(n, true);
    if (p) std::memcpy(p, bytes, static_cast<size_t>(n));
}

void WriteBuffer::PutBuffer(const WriteBuffer& other) {
    int n = other._DataLength;
    if (n == 0) return;
    // Appending a writer to itself: its block may move, so copy from it afterwards.
    const uint8_t* source = &other == this ? nullptr : other._Buffer;
    uint8_t* p = Extend(n, false);
    if (p) std::memcpy(p, source ? source : _Buffer, static_cast<size_t>(n));
}

uint8_t* WriteBuffer::SetPlace(int place, int width, const char* lengthText) {
    QZ_ASSERT(data_Endian != ENDIAN_Undefined);
    if (!QZ_ASSERT(place >= 0)) return nullptr;
    if (!qz_Check(static_cast<int64_t>(place) + width <= _DataLength, lengthText, kModule, __LINE__))
        return nullptr;
    if (!QZ_ASSERT(_Buffer)) return nullptr;
    return _Buffer + place;
}

void WriteBuffer::SetUInt8(uint32_t value, int place) {
    uint8_t* p = SetPlace(place, 1, "place < _DataLength");
    if (p) *p = static_cast<uint8_t>(value);
}

void WriteBuffer::SetUInt16(uint32_t value, int place) {
    uint8_t* p = SetPlace(place, 2, "place + 2 <= _DataLength");
    if (p) Scatter(p, value, 2, data_Endian == ENDIAN_Little);
}

void WriteBuffer::SetUInt32(uint32_t value, int place) {
    uint8_t* p = SetPlace(place, 4, "place + 4 <= _DataLength");
    if (p) Scatter(p, value, 4, data_Endian == ENDIAN_Little);
}
