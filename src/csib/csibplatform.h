// The engine's only way to the platform: heap memory, the folders searched for model
// files, buffered file streams, number parsing and the grid readers' locks. Every
// engine module allocates and frees through here, so a record made by one module (or
// by the glue) may be released by any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

void* csib_MemAlloc(std::size_t size);
void* csib_MemRealloc(void* block, std::size_t size);
void csib_MemFree(void* block);  // null does nothing

// Test seam: the n-th allocation from now (MemAlloc or MemRealloc) fails; 0 turns the
// failure off. The live count is the number of blocks handed out and not yet freed.
void csib_FailAllocation(int32_t n);
int64_t csib_LiveAllocations();

// The folders searched by csib_OpenFile. Each stored folder ends with a backslash.
int16_t csib_ClearSearchDirectories();  // forgets the list, releases nothing
int16_t csib_AddSearchDirectory(const char* directory);
void csib_FreeSearchDirectories();

// An empty name gives null. With no search folder the name itself is opened; else
// each folder joined with the name, the first that opens winning. A joined name that
// does not fit 259 bytes is not tried.
std::FILE* csib_OpenFile(const char* fileName, const char* mode);
std::size_t csib_FileRead(void* buffer, std::size_t itemSize, std::size_t count, std::FILE* stream);
std::size_t csib_FileWrite(const void* buffer, std::size_t itemSize, std::size_t count, std::FILE* stream);
int csib_FileSeek(std::FILE* stream, long offset, int origin);
int csib_FileGetChar(std::FILE* stream);  // -1 at the end
char* csib_FileGets(char* buffer, int size, std::FILE* stream);
int csib_FileClose(std::FILE* stream);
// atof of the "C" locale, whatever locale the host has set.
double csib_ParseDouble(const char* text);

// A grid reader's lock; the holder may enter again.
struct csib_Lock;
csib_Lock* csib_CreateLock();  // null when memory fails
void csib_EnterLock(csib_Lock* lock);
int16_t csib_LeaveLock(csib_Lock* lock);
void csib_FreeLock(csib_Lock* lock);
