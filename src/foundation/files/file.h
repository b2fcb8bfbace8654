// file_Class: the system's one way to a file on disk, named by a directory (which may
// hold path macros), a name and an extension.
//
// It adds three things to the platform's file calls:
// - a logical size: the size when the file was created or opened, raised by every write
//   that ends beyond it. Reads stop there, and Close cuts the disk file back to it, so
//   bytes written past a journal's logical end never survive.
// - an 8 KiB line buffer for ReadLine, which ends lines at CR, LF or CR LF; Seek and
//   Tell take the buffered bytes into account.
// - transparent reading of scrambled text files (see scramble.h).
//
// Sizes and offsets are 64-bit. Every failed platform call is reported to
// Environment::SystemError with the Windows error number and the file's full path; the
// caller sees false, 0 or -1, and GetLastSystemError() keeps the number.
#pragma once

#include <cstdint>

#include "foundation/files/resource.h"
#include "foundation/files/scramble.h"
#include "foundation/text/str.h"
#include "platform/file.h"

// An object a file can carry and own; cloned with the file.
class file_AttachedObject {
public:
    virtual ~file_AttachedObject() = default;
    virtual file_AttachedObject* Clone() const = 0;
};

class file_Class {
public:
    // Open modes; a created file has mode 2.
    enum { ModeRead = 0, ModeWrite = 1, ModeReadWrite = 2 };
    static constexpr int LineBufferSize = 8192;

    file_Class();
    explicit file_Class(const Str& path);
    file_Class(const Str& path, int unused);
    // The other file must be closed; the copy is closed.
    file_Class(const file_Class& file);
    file_Class& operator=(const file_Class& file);
    // An open file is reported, then closed.
    virtual ~file_Class();

    // Splits a path into Directory, Name and Extension; an empty path changes nothing.
    void SetPath(const Str& path);
    bool HasName() const { return !Name.IsEmpty() || !Extension.IsEmpty(); }
    Str GetFullPath() const;
    Str GetFileName() const;
    Str GetDirectory() const { return HasName() ? Directory : Str(); }
    Str GetName() const { return Name; }
    uint32_t GetLastSystemError() const { return _LastSystemError; }
    uint64_t GetSize() const { return _LogicalSize; }
    bool IsSameFile(const file_Class& other) const;
    void SetAttachedObject(file_AttachedObject* object);
    file_AttachedObject* GetAttachedObject() const { return _Attached; }

    // Creates a new, empty file; fails (80) when the file exists, so nothing is ever
    // overwritten. Missing folders are created, once.
    bool Create(const Str& path);
    bool Create();
    bool Open(int mode);
    bool Open() { return Open(ModeRead); }
    // The mode the file was last opened in (ModeReadWrite once created); a failed Open
    // and Close leave it.
    int GetOpenMode() const { return _Mode; }
    // Cuts the disk file to the logical size and closes it; false when a step failed.
    bool Close();
    bool IsOpen() const;
    // A free name "_QZnnn.tmp" in the temp folder; the file is not created.
    bool MakeTemporaryName();
    // Appends the first free number 001..999 to Name.
    bool MakeUniqueName();

    // Reads at the current position, never past the logical size; true when at least
    // one byte was read.
    bool Read(void* destination, uint32_t n, uint32_t* count = nullptr);
    // True when all n bytes were written.
    bool Write(const void* source, uint32_t n, uint32_t* count = nullptr);
    bool WriteAtEnd(const void* source, uint32_t n);
    // The next line, at most size - 1 characters and a terminating zero.
    bool ReadLine(char* buffer, int size);
    bool Seek(int64_t position);
    int64_t Tell();
    // Ends the disk file at the position; the logical size stays.
    bool Truncate(int64_t position);
    bool Flush();
    // Flush in two halves, for a device flush run on another thread: FlushDevice reads
    // nothing of this object but the handle, reports nothing and answers the error number
    // (0 on success); ReportFlush then reports that number on the caller's thread exactly
    // as Flush would, and answers whether the flush succeeded.
    uint32_t FlushDevice() const;
    bool ReportFlush(uint32_t error);

    bool Exists() const;
    bool IsReadOnly() const;
    // Local seconds since 1980-01-01 of the last write; cached; 0 on failure.
    double GetModificationTime();
    // The size in the file's directory entry; cached; 0 on failure.
    int64_t QuerySize();
    void SetModificationTime(double time) { _ModificationTime = time; }
    void SetQueriedSize(int64_t size) { _QueriedSize = size; }
    bool Delete();
    // Never replaces an existing target (183).
    bool MoveTo(const file_Class& target);

    Str Directory;
    Str Name;
    Str Extension;

private:
    bool IsResourceBacked() const { return _ResourceBacked; }
    // Name and extension joined with a dot, unexpanded.
    Str JoinedName() const;
    void FreeLineBuffer();
    void ClearReadState();
    uint32_t Fail(int line, const Str& name);
    bool Refill();

    bool _ResourceBacked = false;
    resource_Stream _Resource;
    double _ModificationTime = 0;
    int64_t _QueriedSize = -1;
    uint64_t _LogicalSize = 0;
    uint32_t _LastSystemError = 0;
    char* _LineBuffer = nullptr;
    int64_t _Remaining = 0;
    int _ReadIndex = LineBufferSize;
    int _ReadSize = 0;
    bool _Scrambled = false;
    bool _ScrambleArmed = false;
    scramble_State _Scramble{};
    platform_Handle _WinHandle = PLATFORM_NoHandle;
    int _Mode = ModeRead;
    bool _StdOut = false;
    file_AttachedObject* _Attached = nullptr;
};

// Copies a file, replacing an existing target; nothing is reported.
bool file_CopyFile(const Str& source, const Str& target);
