#include "foundation/files/filelist.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/files/path.h"

namespace {
constexpr const char* kModule = "QZ/file";

int CompareNames(const file_Class& a, const file_Class& b) {
    int order = string_CompareNatural(a.Name, b.Name);
    return order != 0 ? order : string_CompareInsensitive(a.Extension.Data(), b.Extension.Data());
}

// Handed out for an index out of range, so a caller never reaches outside the list.
file_Class& ScratchFile() {
    static thread_local file_Class scratch;
    if (!scratch.IsOpen()) scratch = file_Class();
    return scratch;
}

}  // namespace

file_Array::file_Array() : _Array(nullptr), _Allocated(0), _Count(0) {}

file_Array::file_Array(const file_Array& other) : file_Array() { CopyFrom(other); }

file_Array& file_Array::operator=(const file_Array& other) {
    if (this == &other) return *this;
    Clear();
    CopyFrom(other);
    return *this;
}

file_Array::~file_Array() { Clear(); }

void file_Array::CopyFrom(const file_Array& other) {
    // The copy always starts from an empty list.
    QZ_ASSERT(!_Array);
    QZ_ASSERT(!_Count);
    QZ_ASSERT(!_Allocated);
    Add(other);
}

void file_Array::Clear() {
    for (int i = 0; i < _Count; ++i) delete _Array[i];
    delete[] _Array;
    _Array = nullptr;
    _Count = 0;
    _Allocated = 0;
}

void file_Array::Reserve(int n) {
    if (_Allocated >= n) return;
    file_Class** grown = new (std::nothrow) file_Class*[static_cast<size_t>(n) + 16];
    if (!QZ_ASSERT_TEXT(grown, "New")) return;
    for (int i = 0; i < _Count; ++i) grown[i] = _Array[i];
    delete[] _Array;
    _Array = grown;
    _Allocated = n + 16;
}

void file_Array::Add(const file_Class& file) {
    Reserve(_Count + 1);
    if (_Allocated < _Count + 1) return;
    _Array[_Count++] = new file_Class(file);
}

void file_Array::Add(const file_Array& other) {
    // Counted first: adding a list to itself copies each of its files once.
    int count = other._Count;
    Reserve(_Count + count);
    if (_Allocated < _Count + count) return;
    for (int i = 0; i < count; ++i) _Array[_Count++] = new file_Class(*other._Array[i]);
}

file_Array file_Array::operator+(const file_Class& file) const {
    file_Array sum(*this);
    sum.Add(file);
    return sum;
}

file_Array file_Array::operator+(const file_Array& other) const {
    file_Array sum(*this);
    sum.Add(other);
    return sum;
}

void file_Array::RemoveAt(int index) {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < _Count, "index < _Count")) return;
    delete _Array[index];
    for (int i = index; i + 1 < _Count; ++i) _Array[i] = _Array[i + 1];
    --_Count;
}

file_Class& file_Array::operator[](int index) {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < _Count, "Index < _Count")) return ScratchFile();
    return *_Array[index];
}

const file_Class& file_Array::operator[](int index) const {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < _Count, "Index < _Count")) return ScratchFile();
    return *_Array[index];
}

file_Class file_Array::GetCopy(int index) const {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < _Count, "Index < _Count")) return file_Class();
    return *_Array[index];
}

void file_Array::Reverse() {
    for (int i = 0, j = _Count - 1; i < j; ++i, --j) std::swap(_Array[i], _Array[j]);
}

// Each file's key is taken once before sorting, so a date or size costs one platform
// query per file (and a missing file one report), not one per comparison. A merge sort
// is used because the natural comparison need not be a strict order: it must not be able
// to walk a sort outside the array.
template <typename Key, typename Compare>
void file_Array::SortBy(bool ascending, Key key, Compare compare) {
    if (_Count < 2) return;
    if (!QZ_ASSERT(_Array)) return;
    using KeyType = decltype(key(*_Array[0]));
    std::vector<std::pair<file_Class*, KeyType>> keyed;
    keyed.reserve(static_cast<size_t>(_Count));
    for (int i = 0; i < _Count; ++i) keyed.emplace_back(_Array[i], key(*_Array[i]));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const auto& a, const auto& b) { return compare(*a.first, a.second, *b.first, b.second) < 0; });
    for (int i = 0; i < _Count; ++i) _Array[i] = keyed[static_cast<size_t>(i)].first;
    if (!ascending) Reverse();
}

namespace {
int NoKey(const file_Class&) { return 0; }
}  // namespace

void file_Array::SortByName(bool ascending) {
    SortBy(ascending, NoKey, [](const file_Class& a, int, const file_Class& b, int) { return CompareNames(a, b); });
}

void file_Array::SortByDirectory(bool ascending) {
    SortBy(ascending, NoKey, [](const file_Class& a, int, const file_Class& b, int) {
        int order = string_CompareInsensitive(a.Directory.Data(), b.Directory.Data());
        if (order == 0) order = string_CompareNatural(a.Name, b.Name);
        if (order == 0) order = string_CompareNatural(a.Extension, b.Extension);
        return order;
    });
}

void file_Array::SortByDate(bool ascending) {
    SortBy(
        ascending, [](file_Class& f) { return f.GetModificationTime(); },
        [](const file_Class&, double a, const file_Class&, double b) { return a < b ? -1 : a > b ? 1 : 0; });
}

void file_Array::SortBySize(bool ascending) {
    SortBy(
        ascending, [](file_Class& f) { return f.QuerySize(); },
        [](const file_Class& fa, int64_t a, const file_Class& fb, int64_t b) {
            return a < b ? -1 : a > b ? 1 : CompareNames(fa, fb);
        });
}

void file_Array::SortByExtension(bool ascending) {
    SortBy(ascending, NoKey, [](const file_Class& a, int, const file_Class& b, int) {
        int order = string_CompareInsensitive(a.Extension.Data(), b.Extension.Data());
        return order != 0 ? order : string_CompareNatural(a.Name, b.Name);
    });
}

FileTypeArray::FileTypeArray() { Add("*.*"); }

FileTypeArray::FileTypeArray(const char* patterns) : FileTypeArray(Str(patterns)) {}

FileTypeArray::FileTypeArray(const Str& patterns) { StrArray::operator=(path_SplitPatterns(patterns)); }

FileTypeArray::~FileTypeArray() = default;

bool FileTypeArray::Contains(const Str& type) const {
    Str upper(type);
    upper.MakeUpper();
    return StrArray::Contains(upper);
}

Str file_TypeDescription(const Str& extension) {
    Str description(extension);
    description.MakeUpper();
    return description + " file";
}

file_Class fileio_FindLargest(const file_Array& files) {
    file_Class largest;
    uint64_t largestSize = 0;
    for (int i = 0; i < files.Count(); ++i) {
        file_Class probe(files[i]);
        if (!probe.Open(file_Class::ModeRead)) continue;
        uint64_t size = probe.GetSize();
        probe.Close();
        if (size > largestSize) {
            largestSize = size;
            largest = probe;
        }
    }
    return largest;
}
