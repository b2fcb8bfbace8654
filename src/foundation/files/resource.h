// Built-in resource files: data files that the original program carried inside its
// module instead of on disk. The table of their names and ids is kept so names answer
// as before, but this platform has no resource module: a resource stream never opens,
// and every file is read from disk.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

constexpr int RESOURCE_Count = 17;

// The id of a built-in file name (name and extension, any case); 0 when it is none.
int resource_GetID(const Str& fileName);
// The built-in file names in table order.
StrArray resource_GetNames();

// Reads one resource as a stream of bytes once opened.
class resource_Stream {
public:
    resource_Stream();
    explicit resource_Stream(int resourceID);

    // Never succeeds here: there is no resource module to search.
    bool Open();
    bool IsOpen() const { return _foundResource != nullptr; }
    bool Seek(int toWhere);
    int Read(void* buffer, int howManyBytes);
    int Tell() const;
    int GetSize() const { return _size; }
    int GetID() const { return _resourceID; }

private:
    int _resourceID;
    const uint8_t* _startOfData;
    const uint8_t* _currentPosition;
    int _size;
    const void* _foundResource;
};
