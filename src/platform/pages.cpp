#include "platform/pages.h"

#include <sys/mman.h>

#include <cstdint>

void* platform_AllocatePages(std::size_t size) {
    if (size == 0 || size % platform_LargePageSize != 0) return nullptr;
    // Mapped one large page more than asked, so an aligned block lies inside; the slack
    // at both ends goes back at once.
    const std::size_t mapped = size + platform_LargePageSize;
    void* area = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t aligned = (start + platform_LargePageSize - 1) & ~(platform_LargePageSize - 1);
    if (aligned > start) munmap(area, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* block = reinterpret_cast<void*>(aligned);
    // Only advice: without large pages the block works the same.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void platform_FreePages(void* block, std::size_t size) {
    if (block) munmap(block, size);
}
