// Memory straight from the system, for allocators that carve many small objects out of
// few blocks. The system is asked to back such a block with large pages: a block filled
// object by object then costs one fault per large page instead of one per small page.
#pragma once

#include <cstddef>

// Bytes in a large page; blocks are asked for in multiples of it.
constexpr std::size_t platform_LargePageSize = std::size_t(2) << 20;

// A zero-filled block of `size` bytes aligned to a large page, or null.
void* platform_AllocatePages(std::size_t size);
// Gives back a block of platform_AllocatePages with the size it was asked for.
void platform_FreePages(void* block, std::size_t size);
