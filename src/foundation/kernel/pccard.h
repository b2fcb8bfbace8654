// The storage-card module: the count and the names of the files open on the removable
// storage card, and the process's error mode, set at load so that a missing card raises
// no system dialog.
//
// The state is process-wide and used from the caller's thread; nothing locks.
#pragma once

#include "foundation/text/str.h"

class file_Class;

// Files currently open on the card; never negative in correct use.
extern int OpenFilesOnPCCard;
// The names ("name.extension", no folder) of the open card files, in the order of opening.
StrArray& pccard_OpenFileNames();
// The result of pccard_InitErrorMode, taken once (when the library loads, or on first use)
// and never undone.
bool pccard_ErrorModeSet();

struct pccard_Status {
    int counter1 = 0;  // never changed: always 0
    int counter2 = 0;  // never changed: always 0
    int openFiles = 0;
    Str lastOpened;    // the most recently opened file still open; empty when none is
};

void pccard_FileOpened(const file_Class& file);
// Counts the file as closed and takes its name off the list.
void pccard_FileClosed(const file_Class& file);
// Removes the first entry equal (case-sensitive) to the file's name; nothing when none is.
void pccard_RemoveOpenFile(const file_Class& file);
bool pccard_HasOpenFiles();
void pccard_GetStatus(pccard_Status& status);
bool pccard_GetState();
void pccard_SetFlag();
void pccard_ClearFlag();
// Makes critical errors go to the caller instead of a dialog; true.
bool pccard_InitErrorMode();
