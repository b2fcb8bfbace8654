// Marks for a memory checker. Code that recycles memory itself (node pools) hides freed
// blocks from the checker's view; poisoning them lets a use after free still be caught.
// Without a checker in the process every call does nothing.
#pragma once

#include <cstddef>

// Any access to [ptr, ptr + size) is reported until the range is unpoisoned.
void platform_PoisonMemory(const void* ptr, std::size_t size);
// Makes [ptr, ptr + size) usable again.
void platform_UnpoisonMemory(const void* ptr, std::size_t size);

// True when a checker runs in this process, so that the calls above take effect.
bool platform_MemoryChecksActive();
// True when the byte at `ptr` is poisoned; always false without a checker.
bool platform_IsMemoryPoisoned(const void* ptr);
