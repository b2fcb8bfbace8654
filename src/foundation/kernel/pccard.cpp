#include "foundation/kernel/pccard.h"

#include "foundation/environment.h"
#include "foundation/files/file.h"

namespace {
constexpr const char* kModule = "Kernel/pccard";

// Set and cleared by callers, read by nobody.
bool Flag = false;
// Lazily initialised; nothing ever makes it true.
bool State = false;
bool StateInitialised = false;

Str CardName(const file_Class& file) { return file.Name + "." + file.Extension; }

}  // namespace

int OpenFilesOnPCCard = 0;

StrArray& pccard_OpenFileNames() {
    static StrArray names;
    return names;
}

bool pccard_ErrorModeSet() {
    static const bool set = pccard_InitErrorMode();
    return set;
}

void pccard_FileOpened(const file_Class& file) {
    ++OpenFilesOnPCCard;
    pccard_OpenFileNames().Add(CardName(file));
}

void pccard_FileClosed(const file_Class& file) {
    QZ_ASSERT(OpenFilesOnPCCard >= 0);
    --OpenFilesOnPCCard;
    pccard_RemoveOpenFile(file);
}

void pccard_RemoveOpenFile(const file_Class& file) {
    StrArray& names = pccard_OpenFileNames();
    int index = names.Find(CardName(file));
    if (index >= 0) names.Remove(index);
}

bool pccard_HasOpenFiles() { return OpenFilesOnPCCard > 0; }

void pccard_GetStatus(pccard_Status& status) {
    status.counter1 = 0;
    status.counter2 = 0;
    status.openFiles = OpenFilesOnPCCard;
    const StrArray& names = pccard_OpenFileNames();
    int count = names.Count();
    // The counter can disagree with the list after unmatched closes: never index an empty list.
    status.lastOpened = OpenFilesOnPCCard > 0 && count > 0 ? names[count - 1] : Str();
}

bool pccard_GetState() {
    if (!StateInitialised) {
        State = false;
        StateInitialised = true;
    }
    return State;
}

void pccard_SetFlag() { Flag = true; }

void pccard_ClearFlag() { Flag = false; }

bool pccard_InitErrorMode() {
    // Critical errors already come back to the caller as error codes here; there is no
    // dialog to suppress.
    return true;
}
