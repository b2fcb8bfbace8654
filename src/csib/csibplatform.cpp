#include "csib/csibplatform.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/text/number.h"
#include "platform/lock.h"
#include "platform/stream.h"

namespace {

std::atomic<int32_t> failCountdown{0};
std::atomic<int64_t> liveBlocks{0};

// True when this allocation is the one the test seam asked to fail.
bool AllocationFails() {
    int32_t n = failCountdown.load();
    while (n > 0) {
        if (failCountdown.compare_exchange_weak(n, n - 1)) return n == 1;
    }
    return false;
}

char** searchDirectories = nullptr;
uint16_t searchDirectoryCount = 0;

constexpr std::size_t kPathBytes = 260;

}  // namespace

void* csib_MemAlloc(std::size_t size) {
    if (AllocationFails()) return nullptr;
    void* block = std::malloc(size ? size : 1);
    if (block) ++liveBlocks;
    return block;
}

void* csib_MemRealloc(void* block, std::size_t size) {
    if (AllocationFails()) return nullptr;
    void* moved = std::realloc(block, size ? size : 1);
    if (moved && !block) ++liveBlocks;
    return moved;
}

void csib_MemFree(void* block) {
    if (!block) return;
    --liveBlocks;
    std::free(block);
}

void csib_FailAllocation(int32_t n) { failCountdown.store(n > 0 ? n : 0); }

int64_t csib_LiveAllocations() { return liveBlocks.load(); }

int16_t csib_ClearSearchDirectories() {
    searchDirectories = nullptr;
    searchDirectoryCount = 0;
    return 0;
}

int16_t csib_AddSearchDirectory(const char* directory) {
    if (!directory) directory = "";
    auto** grown = static_cast<char**>(csib_MemAlloc((searchDirectoryCount + 1u) * sizeof(char*)));
    if (!grown) return -26;
    for (uint16_t i = 0; i < searchDirectoryCount; ++i) grown[i] = searchDirectories[i];
    std::size_t length = std::strlen(directory);
    auto* copy = static_cast<char*>(csib_MemAlloc(length + 1));
    if (!copy) {
        csib_MemFree(grown);
        return -26;
    }
    std::memcpy(copy, directory, length + 1);
    // An empty folder stays empty: it stands for the name itself.
    if (length > 0 && copy[length - 1] != '\\') {
        auto* longer = static_cast<char*>(csib_MemRealloc(copy, length + 2));
        if (!longer) {
            csib_MemFree(copy);
            csib_MemFree(grown);
            return -26;
        }
        copy = longer;
        copy[length] = '\\';
        copy[length + 1] = 0;
    }
    grown[searchDirectoryCount] = copy;
    csib_MemFree(searchDirectories);
    searchDirectories = grown;
    ++searchDirectoryCount;
    return 0;
}

void csib_FreeSearchDirectories() {
    for (uint16_t i = 0; i < searchDirectoryCount; ++i) csib_MemFree(searchDirectories[i]);
    csib_MemFree(searchDirectories);
    searchDirectories = nullptr;
    searchDirectoryCount = 0;
}

std::FILE* csib_OpenFile(const char* fileName, const char* mode) {
    if (!fileName || !*fileName) return nullptr;
    if (searchDirectoryCount == 0) return platform_OpenStream(fileName, mode);
    std::size_t nameLength = std::strlen(fileName);
    char joined[kPathBytes];
    for (uint16_t i = 0; i < searchDirectoryCount; ++i) {
        std::size_t folderLength = std::strlen(searchDirectories[i]);
        if (folderLength + nameLength >= kPathBytes) continue;
        std::memcpy(joined, searchDirectories[i], folderLength);
        std::memcpy(joined + folderLength, fileName, nameLength + 1);
        if (std::FILE* stream = platform_OpenStream(joined, mode)) return stream;
    }
    return nullptr;
}

std::size_t csib_FileRead(void* buffer, std::size_t itemSize, std::size_t count, std::FILE* stream) {
    return std::fread(buffer, itemSize, count, stream);
}

std::size_t csib_FileWrite(const void* buffer, std::size_t itemSize, std::size_t count, std::FILE* stream) {
    return std::fwrite(buffer, itemSize, count, stream);
}

int csib_FileSeek(std::FILE* stream, long offset, int origin) { return std::fseek(stream, offset, origin); }

int csib_FileGetChar(std::FILE* stream) { return std::fgetc(stream); }

char* csib_FileGets(char* buffer, int size, std::FILE* stream) { return std::fgets(buffer, size, stream); }

int csib_FileClose(std::FILE* stream) { return std::fclose(stream); }

double csib_ParseDouble(const char* text) { return number_Atof(text); }

struct csib_Lock {
    platform_CriticalSection section;
};

csib_Lock* csib_CreateLock() {
    void* memory = csib_MemAlloc(sizeof(csib_Lock));
    return memory ? new (memory) csib_Lock : nullptr;
}

void csib_EnterLock(csib_Lock* lock) { lock->section.Enter(); }

int16_t csib_LeaveLock(csib_Lock* lock) {
    lock->section.Leave();
    return 0;
}

void csib_FreeLock(csib_Lock* lock) {
    if (!lock) return;
    lock->~csib_Lock();
    csib_MemFree(lock);
}
