#include "records/cogo.h"

#include <cstring>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// The fewest bytes an element takes on disk: its kind, a name and two points of a
// name and three f64 each.
constexpr int kMinElementBytes = 2 + 1 + 2 * (1 + 3 * 8);

// The element classes by kind, in kind order.
AreaElement* NewLine() { return new AreaLineElement; }
AreaElement* NewArc() { return new AreaArcElement; }
constexpr AreaElement* (*kElementFactory[])() = {&NewLine, &NewArc};
}  // namespace

// ---------------------------------------------------------------- boundary elements

void AreaPointElement::Write(WriteBuffer& buffer) const {
    buffer.PutStr(Name);
    buffer.PutDouble(North);
    buffer.PutDouble(East);
    buffer.PutDouble(Elev);
}

void AreaPointElement::Read(ReadBuffer& buffer, int& byteOffset) {
    Name = buffer.GetString(byteOffset);
    North = buffer.GetDouble(byteOffset);
    East = buffer.GetDouble(byteOffset);
    Elev = buffer.GetDouble(byteOffset);
}

void AreaElement::Write(WriteBuffer& buffer) const {
    buffer.PutStr(Name);
    Start.Write(buffer);
    End.Write(buffer);
}

void AreaElement::Read(ReadBuffer& buffer, int& byteOffset) {
    Name = buffer.GetString(byteOffset);
    Start.Read(buffer, byteOffset);
    End.Read(buffer, byteOffset);
}

void AreaArcElement::Write(WriteBuffer& buffer) const {
    AreaElement::Write(buffer);
    Centre.Write(buffer);
    buffer.PutDouble(ScribedAngle);
    buffer.PutBool(Clockwise);
}

void AreaArcElement::Read(ReadBuffer& buffer, int& byteOffset) {
    AreaElement::Read(buffer, byteOffset);
    Centre.Read(buffer, byteOffset);
    ScribedAngle = buffer.GetDouble(byteOffset);
    Clockwise = buffer.GetBool(byteOffset);
}

// ---------------------------------------------------------------- AreaElementArray

AreaElementArray& AreaElementArray::operator=(const AreaElementArray& other) {
    if (this == &other) return *this;
    std::vector<std::unique_ptr<AreaElement>> copies;
    copies.reserve(other._Elements.size());
    for (const auto& element : other._Elements) {
        copies.emplace_back(element ? element->Clone() : nullptr);
    }
    _Elements = std::move(copies);
    return *this;
}

void AreaElementArray::Resize(int count) {
    _Elements.clear();
    if (!QZ_ASSERT(count >= 0)) return;
    _Elements.resize(static_cast<size_t>(count));
}

AreaElement* AreaElementArray::Get(int index) const {
    if (!QZ_ASSERT(index >= 0 && index < Count())) return nullptr;
    return _Elements[static_cast<size_t>(index)].get();
}

void AreaElementArray::Set(int index, AreaElement* element) {
    std::unique_ptr<AreaElement> owned(element);
    if (!QZ_ASSERT(index >= 0 && index < Count())) return;
    _Elements[static_cast<size_t>(index)] = std::move(owned);
}

void AreaElementArray::Append(AreaElement* element) { _Elements.emplace_back(element); }

void AreaElementArray::Write(WriteBuffer& buffer) const {
    uint32_t present = 0;
    for (const auto& element : _Elements) present += element ? 1 : 0;
    buffer.PutUInt32(present);
    for (const auto& element : _Elements) {
        if (!element) continue;
        buffer.PutUInt16(static_cast<uint32_t>(element->GetKind()));
        element->Write(buffer);
    }
}

void AreaElementArray::Read(ReadBuffer& buffer, int& byteOffset) {
    _Elements.clear();
    const uint32_t count = buffer.GetUInt32(byteOffset);
    if (!dbRecord_CountFits(buffer, byteOffset, count, kMinElementBytes)) return;
    _Elements.reserve(count);
    for (uint32_t i = 0; i < count && !dbRecord_IsDamaged(buffer, byteOffset); ++i) {
        const int kind = buffer.GetUInt16(byteOffset);
        if (dbRecord_IsDamaged(buffer, byteOffset)) return;
        if (kind != AREA_LineElement && kind != AREA_ArcElement) {
            QZ_FAIL("false");
            dbRecord_MarkDamaged(buffer, byteOffset);
            return;
        }
        std::unique_ptr<AreaElement> element(kElementFactory[kind]());
        element->Read(buffer, byteOffset);
        _Elements.push_back(std::move(element));
    }
}

bool AreaElementArray::IsEqual(const AreaElementArray& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        const AreaElement* a = _Elements[static_cast<size_t>(i)].get();
        const AreaElement* b = other._Elements[static_cast<size_t>(i)].get();
        if (!a || !b) {
            if (a != b) return false;
            continue;
        }
        if (a->GetKind() != b->GetKind()) return false;
        WriteBuffer wa(ENDIAN_Little), wb(ENDIAN_Little);
        a->Write(wa);
        b->Write(wb);
        if (wa.Length() != wb.Length() ||
            (wa.Length() > 0 && std::memcmp(wa.Data(), wb.Data(), static_cast<size_t>(wa.Length())) != 0))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- created point names

void db_WriteCountedNames(WriteBuffer& buffer, const StrArray& names) {
    buffer.PutUInt32(static_cast<uint32_t>(names.Count()));
    for (int i = 0; i < names.Count(); ++i) buffer.PutStr(names[i]);
}

void db_ReadCountedNames(ReadBuffer& buffer, int& byteOffset, StrArray& names) {
    names.Clear();
    const uint32_t count = buffer.GetUInt32(byteOffset);
    // Each name takes at least its terminator.
    if (!dbRecord_CountFits(buffer, byteOffset, count, 1)) return;
    for (uint32_t i = 0; i < count && !dbRecord_IsDamaged(buffer, byteOffset); ++i) {
        names.Add(buffer.GetString(byteOffset));
    }
}
