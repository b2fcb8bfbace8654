// The road files written by conversions, and the two exports through which the host
// fetches their names.
#include "foundation/text/unistr.h"
#include "import/writejob.h"
#include "platform/lock.h"
#include "qzxmli.h"

namespace {

constexpr int kMaxOutputName = 260;

}  // namespace

// Process-wide: names of several conversions accumulate until the host fetches the
// last one.
StrArray& ExtraOutputFiles() {
    static StrArray names;
    return names;
}

void writejob_AddExtraOutputFile(const Str& name) { ExtraOutputFiles().Add(name); }

Str writejob_TakeExtraOutputFile(int index) {
    StrArray& names = ExtraOutputFiles();
    const int count = names.Count();
    if (index < 0 || index >= count) return Str();
    Str name = names[index];
    if (count == index + 1) names.Clear();
    return name;
}

int writejob_ExtraOutputFileCount() { return ExtraOutputFiles().Count(); }

platform_CriticalSection& writejob_ConversionLock() {
    static platform_CriticalSection lock;
    return lock;
}

extern "C" {

// The list is read only between conversions; a host's progress callback may read it
// during its own conversion, since the lock may be entered again by its holder.
int qzxmli_ExtraOutputFileCount(void) {
    platform_Hold hold(writejob_ConversionLock());
    return writejob_ExtraOutputFileCount();
}

void qzxmli_GetExtraOutputFileName(char16_t* buffer, int index) {
    if (!buffer) return;
    buffer[0] = 0;
    platform_Hold hold(writejob_ConversionLock());
    const Str name = writejob_TakeExtraOutputFile(index);
    if (name.Length() >= kMaxOutputName) return;
    const UniString wide(name);
    // UTF-16 never needs more units than UTF-8 needs bytes, so the name fits.
    for (int i = 0; i <= wide.Length(); ++i) buffer[i] = i < wide.Length() ? wide.Data()[i] : 0;
}

}  // extern "C"
