// The storage of job records, of their feature lists and of the actions that carry
// them to the model. An open job holds hundreds of thousands of small records for as
// long as it is open; carved from large blocks of pages they cost no allocator header
// each and few page faults as the job grows, and the space of a deleted record goes to
// the next record of its size class. Safe to use from any thread.
//
// Records larger than kLargest bytes, and every record while a memory checker watches
// the process (so that it sees each record as a block of its own), come from the
// general heap. When no record is left, every block but the last goes back to the
// system; the last is kept for the next job.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace dbRecord_Heap {

constexpr std::size_t kLargest = 1024;
// Space is aligned to this: no record, feature or action asks for more.
constexpr std::size_t kAlignment = 8;

// Space for an object of `size` bytes, aligned to kAlignment; throws std::bad_alloc.
void* Allocate(std::size_t size);
// Takes back the space of Allocate(size); null is ignored.
void Free(void* object, std::size_t size) noexcept;
// Records held at the moment; for tests.
std::size_t LiveCount();

}  // namespace dbRecord_Heap

// The record heap for a standard container inside a record.
template <class T>
struct dbRecord_HeapAllocator {
    static_assert(alignof(T) <= dbRecord_Heap::kAlignment);
    using value_type = T;

    dbRecord_HeapAllocator() = default;
    template <class U>
    dbRecord_HeapAllocator(const dbRecord_HeapAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return static_cast<T*>(dbRecord_Heap::Allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { dbRecord_Heap::Free(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const dbRecord_HeapAllocator<U>&) const noexcept {
        return true;
    }
};

// An object of a record's own that most records do without (a feature list, a pair of
// descriptions), made in the record heap when first needed.
template <class T, class... Args>
T* dbRecord_HeapNew(Args&&... args) {
    static_assert(alignof(T) <= dbRecord_Heap::kAlignment);
    void* space = dbRecord_Heap::Allocate(sizeof(T));
    try {
        return new (space) T(std::forward<Args>(args)...);
    } catch (...) {
        dbRecord_Heap::Free(space, sizeof(T));
        throw;
    }
}

// Destroys an object of dbRecord_HeapNew and gives its space back; null is ignored.
template <class T>
void dbRecord_HeapDelete(T* object) noexcept {
    if (!object) return;
    object->~T();
    dbRecord_Heap::Free(object, sizeof(T));
}
