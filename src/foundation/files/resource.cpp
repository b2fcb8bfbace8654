#include "foundation/files/resource.h"

#include <cstring>

#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "Library/qzres";

struct ResourceEntry {
    const char* name;
    int id;
};

const ResourceEntry kResources[RESOURCE_Count] = {
    {"antenna.dat", 251},          {"english.lng", 255},          {"english.hlp", 252},
    {"qz.lck", 253},               {"standard.csd", 254},         {"stdprofile.eprf", 867},
    {"stdqaprofile.eprf", 2067},   {"stdqbprofile.eprf", 2068},   {"stdqcprofile.eprf", 932},
    {"defaultpoint.sss", 882},     {"defaultline.sss", 883},      {"defaultarc.sss", 884},
    {"defaultdtm.sss", 885},       {"defaultroad.sss", 879},      {"default3daxis.3ds", 2064},
    {"defaultalignment.sss", 1022}, {"newstubfxl._fxl", 956},
};

}  // namespace

int resource_GetID(const Str& fileName) {
    Str lower(fileName);
    lower.MakeLower();
    for (const ResourceEntry& entry : kResources)
        if (lower == entry.name) return entry.id;
    return 0;
}

StrArray resource_GetNames() {
    StrArray names;
    for (const ResourceEntry& entry : kResources) names.Add(entry.name);
    return names;
}

resource_Stream::resource_Stream() : resource_Stream(0) {}

resource_Stream::resource_Stream(int resourceID)
    : _resourceID(resourceID), _startOfData(nullptr), _currentPosition(nullptr), _size(0),
      _foundResource(nullptr) {}

bool resource_Stream::Open() { return false; }

bool resource_Stream::Seek(int toWhere) {
    if (!QZ_ASSERT(_startOfData)) return false;
    if (!QZ_ASSERT(toWhere >= 0)) return false;
    if (toWhere >= _size) return false;
    _currentPosition = _startOfData + toWhere;
    return true;
}

int resource_Stream::Read(void* buffer, int howManyBytes) {
    if (!QZ_ASSERT(_startOfData)) return 0;
    if (!QZ_ASSERT(howManyBytes >= 0)) return 0;
    if (!QZ_ASSERT(buffer)) return 0;
    if (!QZ_ASSERT(_currentPosition)) return 0;
    const uint8_t* end = _startOfData + _size;
    if (_currentPosition >= end) return 0;
    int n = howManyBytes < end - _currentPosition ? howManyBytes : static_cast<int>(end - _currentPosition);
    std::memcpy(buffer, _currentPosition, static_cast<size_t>(n));
    _currentPosition += n;
    return n;
}

int resource_Stream::Tell() const {
    if (!QZ_ASSERT(_startOfData)) return 0;
    if (!QZ_ASSERT(_currentPosition)) return 0;
    return static_cast<int>(_currentPosition - _startOfData);
}
