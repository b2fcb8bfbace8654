#include "records/recordheap.h"

#include <cstdint>
#include <mutex>
#include <atomic>
#include <new>
#include <thread>

#include "platform/memcheck.h"
#include "platform/pages.h"

namespace {

// Size classes 8 bytes apart: records are mostly a multiple of 8 bytes, and a coarser
// grain would round many up (a 40-byte marker to 48).
constexpr std::size_t kGrain = dbRecord_Heap::kAlignment;
constexpr std::size_t kClasses = dbRecord_Heap::kLargest / kGrain + 1;

struct FreeSpace {
    FreeSpace* next;
};

// Each block opens with a link to the block made before it.
struct BlockHeader {
    BlockHeader* previous;
    std::size_t unused;
};
static_assert(sizeof(BlockHeader) % kGrain == 0);

// Held for a few instructions at a time, far shorter than a mutex takes to lock and
// unlock; a thread that finds it held spins and, past a few tries, gives way.
class SpinLock {
public:
    void lock() {
        for (int tries = 0; held.exchange(true, std::memory_order_acquire); ++tries) {
            while (held.load(std::memory_order_relaxed))
                if (++tries > 64) std::this_thread::yield();
        }
    }
    void unlock() { held.store(false, std::memory_order_release); }

private:
    std::atomic<bool> held{false};
};

struct Heap {
    SpinLock guard;
    FreeSpace* spare[kClasses] = {};
    BlockHeader* last = nullptr;
    char* next = nullptr;
    char* end = nullptr;
    std::size_t live = 0;
    // Fixed for the life of the process, so a record is freed the way it was made.
    const bool general = platform_MemoryChecksActive();

    void* Carve(std::size_t bytes) {
        if (static_cast<std::size_t>(end - next) < bytes) {
            void* fresh = platform_AllocatePages(platform_LargePageSize);
            if (!fresh) throw std::bad_alloc();
            BlockHeader* header = static_cast<BlockHeader*>(fresh);
            header->previous = last;
            last = header;
            next = static_cast<char*>(fresh) + sizeof(BlockHeader);
            end = static_cast<char*>(fresh) + platform_LargePageSize;
        }
        void* space = next;
        next += bytes;
        return space;
    }

    // At unload every block goes back, unless a record still lives in one: that block
    // stays until the record is freed.
    ~Heap() {
        if (live != 0) return;
        for (FreeSpace*& list : spare) list = nullptr;
        while (last) {
            BlockHeader* previous = last->previous;
            platform_FreePages(last, platform_LargePageSize);
            last = previous;
        }
        next = end = nullptr;
    }

    // No record left: the free lists hold every carved space, so all of it can go.
    void Reset() {
        for (FreeSpace*& list : spare) list = nullptr;
        BlockHeader* keep = last;
        BlockHeader* block = keep->previous;
        keep->previous = nullptr;
        while (block) {
            BlockHeader* previous = block->previous;
            platform_FreePages(block, platform_LargePageSize);
            block = previous;
        }
        next = reinterpret_cast<char*>(keep) + sizeof(BlockHeader);
    }
};

Heap& TheHeap() {
    static Heap heap;
    return heap;
}

}  // namespace

void* dbRecord_Heap::Allocate(std::size_t size) {
    Heap& heap = TheHeap();
    if (heap.general || size > kLargest) return ::operator new(size);
    const std::size_t sizeClass = (size + kGrain - 1) / kGrain;
    std::lock_guard<SpinLock> lock(heap.guard);
    void* space;
    if (FreeSpace* first = heap.spare[sizeClass]) {
        heap.spare[sizeClass] = first->next;
        space = first;
    } else {
        space = heap.Carve(sizeClass * kGrain);
    }
    ++heap.live;
    return space;
}

void dbRecord_Heap::Free(void* object, std::size_t size) noexcept {
    if (!object) return;
    Heap& heap = TheHeap();
    if (heap.general || size > kLargest) {
        ::operator delete(object);
        return;
    }
    const std::size_t sizeClass = (size + kGrain - 1) / kGrain;
    std::lock_guard<SpinLock> lock(heap.guard);
    FreeSpace* space = static_cast<FreeSpace*>(object);
    space->next = heap.spare[sizeClass];
    heap.spare[sizeClass] = space;
    if (--heap.live == 0) heap.Reset();
}

std::size_t dbRecord_Heap::LiveCount() {
    Heap& heap = TheHeap();
    std::lock_guard<SpinLock> lock(heap.guard);
    return heap.live;
}
