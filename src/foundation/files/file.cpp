#include "foundation/files/file.h"

#include <cstring>

#include "foundation/environment.h"
#include "foundation/files/filesys.h"
#include "foundation/files/path.h"

namespace {

constexpr const char* kModule = "QZ/file";
constexpr const char* kStdOutName = "STDOUT$";

void ReportInvalidHandle(uint32_t code) {
    if (code == PLATFORM_ErrorInvalidHandle) QZ_FAIL("!\"Invalid File Handle\"");
}

}  // namespace

// ---- construction, copy and path parts -------------------------------------------------

file_Class::file_Class() = default;

file_Class::file_Class(const Str& path) { SetPath(path); }

file_Class::file_Class(const Str& path, int) { SetPath(path); }

file_Class::file_Class(const file_Class& file) { *this = file; }

file_Class& file_Class::operator=(const file_Class& file) {
    QZ_ASSERT(!file.IsOpen());
    if (&file == this) return *this;
    if (IsOpen()) Close();
    FreeLineBuffer();
    Directory = file.Directory;
    Name = file.Name;
    Extension = file.Extension;
    _ResourceBacked = file._ResourceBacked;
    _Resource = resource_Stream(file._Resource.GetID());
    _ModificationTime = file._ModificationTime;
    _QueriedSize = file._QueriedSize;
    _LogicalSize = file._LogicalSize;
    _Scrambled = file._Scrambled;
    _Mode = file._Mode;
    _WinHandle = PLATFORM_NoHandle;
    _StdOut = false;
    _LastSystemError = 0;
    ClearReadState();
    file_AttachedObject* clone = file._Attached ? file._Attached->Clone() : nullptr;
    delete _Attached;
    _Attached = clone;
    return *this;
}

file_Class::~file_Class() {
    if (!_ResourceBacked && IsOpen()) {
        QZ_ASSERT(!this->IsOpen());
        Close();  // so the handle is not lost
    }
    FreeLineBuffer();
    delete _Attached;
}

void file_Class::SetPath(const Str& path) {
    if (path.IsEmpty()) return;
    Str p(path);
    p.ReplaceChar('/', '\\');
    int last = p.FindLastChar('\\');
    if (p.PastTheEnd(last) || last == 0) {
        Directory = Str();
    } else {
        Directory = p.Left(last);
    }
    Str component = (p.PastTheEnd(last) || last == 0) ? p : p.MidToEnd(last + 1);
    int dot = component.FindLastChar('.');
    if (component.PastTheEnd(dot)) {
        Name = component;
        Extension = Str();
    } else {
        Name = component.Left(dot);
        Extension = component.MidToEnd(dot + 1);
        Extension.StripLeading('.');
    }
    _ResourceBacked = filesys_IsResourcePath(path);
    if (_ResourceBacked) {
        int id = resource_GetID(GetFileName());
        QZ_ASSERT_TEXT(id != 0, "resourceID");
        _Resource = resource_Stream(id);
    }
}

// A plain join: "a.rxl" with extension "rxl" must stay "a.rxl.rxl", so the
// extension-aware builder of path_MakeFileName is not used here.
// Expanded once, so an undefined macro in the name is reported once.
Str file_Class::GetFullPath() const {
    if (!HasName()) return Str();
    return path_Expand(path_Combine(Directory, JoinedName()));
}

Str file_Class::GetFileName() const {
    if (!HasName()) return Str();
    return path_Expand(JoinedName());
}

Str file_Class::JoinedName() const { return Extension.IsEmpty() ? Name : Name + "." + Extension; }

bool file_Class::IsSameFile(const file_Class& other) const {
    return path_IsSamePath(GetFullPath(), other.GetFullPath());
}

void file_Class::SetAttachedObject(file_AttachedObject* object) {
    if (object == _Attached) return;
    delete _Attached;
    _Attached = object;
}

// ---- internal helpers ------------------------------------------------------------------

// Keeps the platform's last error and reports it with the given name.
uint32_t file_Class::Fail(int line, const Str& name) {
    _LastSystemError = platform_GetLastError();
    Environment::Get()->SystemError(kModule, line, _LastSystemError, name.Data());
    return _LastSystemError;
}

void file_Class::FreeLineBuffer() {
    delete[] _LineBuffer;
    _LineBuffer = nullptr;
}

void file_Class::ClearReadState() {
    _ReadIndex = LineBufferSize;
    _ReadSize = 0;
    _Remaining = 0;
    _ScrambleArmed = false;
}

bool file_Class::IsOpen() const {
    if (_ResourceBacked) return _Resource.IsOpen();
    return _WinHandle != PLATFORM_NoHandle;
}

// ---- opening, creating and closing -----------------------------------------------------

bool file_Class::Create(const Str& path) {
    if (IsOpen()) Close();
    SetPath(path);
    if (Exists() && IsReadOnly()) return false;
    Str full = GetFullPath();
    platform_Handle h = platform_FileCreateNew(full.Data());
    // Missing folders are made once and creation tried once more; a folder that still
    // cannot be found after that is a failure, not a loop.
    if (h == PLATFORM_NoHandle && platform_GetLastError() == PLATFORM_ErrorPathNotFound) {
        if (filesys_MakeDirectoryTree(path_GetDirectory(full))) h = platform_FileCreateNew(full.Data());
        else platform_SetLastError(PLATFORM_ErrorPathNotFound);  // the creation's own error
    }
    if (h == PLATFORM_NoHandle) {
        Fail(__LINE__, full);
        return false;
    }
    _WinHandle = h;
    _Mode = ModeReadWrite;
    _StdOut = false;
    _Scrambled = false;
    FreeLineBuffer();
    ClearReadState();
    uint64_t size = 0;
    if (!platform_FileSize(h, &size)) Fail(__LINE__, full);
    _LogicalSize = size;
    return true;
}

bool file_Class::Create() { return Create(GetFullPath()); }

bool file_Class::Open(int mode) {
    if (Name.IsEmpty()) return false;
    if (mode != ModeRead && mode != ModeWrite && mode != ModeReadWrite) {
        QZ_FAIL("");
        return false;
    }
    if (IsOpen()) Close();
    FreeLineBuffer();
    ClearReadState();
    _Scrambled = false;
    if (_ResourceBacked) {
        if (!_Resource.Open()) return false;
        _Mode = mode;
        _LogicalSize = static_cast<uint64_t>(_Resource.GetSize());
        return true;
    }
    Str full = GetFullPath();
    platform_Handle h;
    if (Name == kStdOutName) {
        h = platform_FileStdOut();
        _StdOut = h != PLATFORM_NoHandle;
    } else {
        h = platform_FileOpen(full.Data(), static_cast<platform_Access>(mode));
    }
    if (h == PLATFORM_NoHandle) {
        Fail(__LINE__, full);
        return false;
    }
    _WinHandle = h;
    _Mode = mode;
    uint64_t size = 0;
    if (!platform_FileSize(h, &size)) Fail(__LINE__, full);
    _LogicalSize = size;
    return true;
}

bool file_Class::Close() {
    if (_ResourceBacked) {
        FreeLineBuffer();
        ClearReadState();
        return true;
    }
    if (_WinHandle == PLATFORM_NoHandle) return true;
    bool ok = true;
    if (_StdOut) {
        // Our own duplicate: the host's standard output stays open.
        ok = platform_FileClose(_WinHandle);
        _LastSystemError = ok ? 0 : platform_GetLastError();
        _WinHandle = PLATFORM_NoHandle;
        _StdOut = false;
        FreeLineBuffer();
        ClearReadState();
        return ok;
    }
    Str full = GetFullPath();
    uint64_t size = 0;
    if (!platform_FileSize(_WinHandle, &size)) {
        ReportInvalidHandle(Fail(__LINE__, full));
        ok = false;
    } else if (_LogicalSize < size) {
        // Bytes past the logical end are never kept.
        if (!platform_FileSeek(_WinHandle, static_cast<int64_t>(_LogicalSize))) {
            Fail(__LINE__, full);
            ok = false;
        } else if (!platform_FileSetEnd(_WinHandle)) {
            Fail(__LINE__, full);
            ok = false;
        }
    }
    if (!platform_FileClose(_WinHandle)) {
        ReportInvalidHandle(Fail(__LINE__, full));
        ok = false;
    }
    _WinHandle = PLATFORM_NoHandle;
    FreeLineBuffer();
    ClearReadState();
    return ok;
}

bool file_Class::MakeTemporaryName() {
    QZ_ASSERT_TEXT(!IsOpen(), "!this->IsOpen ()");
    Directory = path_Expand("$(TempDir)");
    Name = "_QZ";
    Extension = "tmp";
    return MakeUniqueName();
}

bool file_Class::MakeUniqueName() {
    QZ_ASSERT(!Directory.IsEmpty());
    QZ_ASSERT_TEXT(!Name.IsEmpty(), "!Name.IsEmpty ()");
    for (int counter = 1; counter <= 999; ++counter) {
        char digits[4] = {static_cast<char>('0' + counter / 100), static_cast<char>('0' + counter / 10 % 10),
                          static_cast<char>('0' + counter % 10), 0};
        file_Class candidate;
        candidate.Directory = Directory;
        candidate.Name = Name + digits;
        candidate.Extension = Extension;
        if (!candidate.Exists()) {
            Name = candidate.Name;
            return true;
        }
    }
    return false;
}

// ---- reading, writing and positioning --------------------------------------------------

bool file_Class::Read(void* destination, uint32_t n, uint32_t* count) {
    if (_ResourceBacked) {
        if (!QZ_ASSERT_TEXT(n < 0x7FFFFFFF, "size < 0x7FFFFFFF")) return false;
        int got = _Resource.Read(destination, static_cast<int>(n));
        _ReadSize = got;
        if (count) *count = static_cast<uint32_t>(got);
        return static_cast<uint32_t>(got) == n;
    }
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
    int64_t position = 0;
    if (!platform_FileTell(_WinHandle, &position)) {
        Fail(__LINE__, GetFullPath());
        return false;
    }
    if (static_cast<uint64_t>(position) >= _LogicalSize) return false;
    uint64_t left = _LogicalSize - static_cast<uint64_t>(position);
    if (n > left) n = static_cast<uint32_t>(left);
    uint32_t got = 0;
    if (!platform_FileRead(_WinHandle, destination, n, &got)) {
        Fail(__LINE__, GetFullPath());
        if (count) *count = 0;
        return false;
    }
    _ReadSize = static_cast<int>(got < 0x7FFFFFFFu ? got : 0x7FFFFFFFu);
    if (count) *count = got;
    return got > 0;
}

bool file_Class::Write(const void* source, uint32_t n, uint32_t* count) {
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) {
        if (count) *count = 0;
        return false;
    }
    uint32_t written = 0;
    if (!platform_FileWrite(_WinHandle, source, n, &written)) {
        ReportInvalidHandle(Fail(__LINE__, GetFullPath()));
        if (count) *count = 0;
        return false;
    }
    if (count) *count = written;
    if (!_StdOut) {
        int64_t position = 0;
        if (!platform_FileTell(_WinHandle, &position)) {
            ReportInvalidHandle(Fail(__LINE__, GetFullPath()));
            return false;
        }
        if (static_cast<uint64_t>(position) > _LogicalSize) _LogicalSize = static_cast<uint64_t>(position);
    }
    return written == n;
}

bool file_Class::WriteAtEnd(const void* source, uint32_t n) {
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
    if (!platform_FileSeek(_WinHandle, static_cast<int64_t>(_LogicalSize))) {
        Fail(__LINE__, GetFullPath());
        return false;
    }
    uint32_t written = 0;
    bool ok = platform_FileWrite(_WinHandle, source, n, &written);
    if (!ok) Fail(__LINE__, GetFullPath());
    _LogicalSize += written;
    return ok && written == n;
}

bool file_Class::Seek(int64_t position) {
    if (_ResourceBacked) {
        if (!QZ_ASSERT_TEXT(position < 0x7FFFFFFF, "pos < 0x7FFFFFFF")) return false;
        if (_LineBuffer) {
            // A resource has no read-ahead of its own: start the buffer afresh.
            _ReadIndex = LineBufferSize;
            _ReadSize = 0;
            _Remaining = static_cast<int64_t>(_LogicalSize) - position;
        }
        return _Resource.Seek(static_cast<int>(position));
    }
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
    if (_LineBuffer) {
        int64_t c = 0;
        if (!platform_FileTell(_WinHandle, &c)) {
            Fail(__LINE__, GetFullPath());
            return false;
        }
        _Remaining = static_cast<int64_t>(_LogicalSize) - position;
        // Served from the buffer only when it really holds that position.
        if (c - _ReadSize <= position && position < c) {
            _ReadIndex = static_cast<int>(position - c + _ReadSize);
            QZ_ASSERT(_ReadIndex >= 0 && _ReadIndex < _ReadSize);
            return true;
        }
        _ReadIndex = LineBufferSize;
        _ReadSize = 0;
    }
    if (!platform_FileSeek(_WinHandle, position)) {
        Fail(__LINE__, GetFullPath());
        return false;
    }
    return true;
}

int64_t file_Class::Tell() {
    int64_t position = 0;
    if (_ResourceBacked) {
        position = _Resource.Tell();
    } else {
        if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return -1;
        if (!platform_FileTell(_WinHandle, &position)) {
            Fail(__LINE__, GetFullPath());
            return -1;
        }
    }
    // Only the line buffer reads ahead; a plain Read leaves nothing undelivered.
    if (_LineBuffer && _ReadIndex < _ReadSize) position -= _ReadSize - _ReadIndex;
    return position;
}

bool file_Class::Truncate(int64_t position) {
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
    if (!platform_FileSeek(_WinHandle, position)) {
        Fail(__LINE__, GetFullPath());
        return false;
    }
    if (!platform_FileSetEnd(_WinHandle)) {
        Fail(__LINE__, GetFullPath());
        return false;
    }
    return true;
}

bool file_Class::Flush() {
    if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
    return ReportFlush(FlushDevice());
}

uint32_t file_Class::FlushDevice() const {
    return platform_FileFlush(_WinHandle) ? static_cast<uint32_t>(PLATFORM_ErrorSuccess) : platform_GetLastError();
}

bool file_Class::ReportFlush(uint32_t error) {
    if (error == PLATFORM_ErrorSuccess) return true;
    platform_SetLastError(error);
    Fail(__LINE__, GetFullPath());
    return false;
}

// ---- line reading ----------------------------------------------------------------------

// Fills the line buffer with the next block; false (buffer freed) when the read fails.
bool file_Class::Refill() {
    uint32_t want = static_cast<uint32_t>(_Remaining < LineBufferSize ? _Remaining : LineBufferSize);
    uint32_t got = 0;
    if (!Read(_LineBuffer, want, &got) || got == 0) {
        FreeLineBuffer();
        ClearReadState();
        return false;
    }
    _ReadSize = static_cast<int>(got);
    _ReadIndex = 0;
    auto* bytes = reinterpret_cast<uint8_t*>(_LineBuffer);
    if (_ScrambleArmed) {
        _ScrambleArmed = false;
        if (_ReadSize > SCRAMBLE_HeaderSize && scramble_IsHeader(bytes)) {
            _Scrambled = true;
            _Scramble = scramble_Seed(bytes);
            _ReadIndex = SCRAMBLE_HeaderSize;
            _Remaining -= SCRAMBLE_HeaderSize;
        }
    }
    if (_Scrambled)
        for (int i = _ReadIndex; i < _ReadSize; ++i) bytes[i] ^= scramble_Next(_Scramble);
    return true;
}

bool file_Class::ReadLine(char* buffer, int size) {
    if (!buffer || size <= 0) return false;
    buffer[0] = 0;
    // Room for no character would deliver an empty "line" forever.
    if (size < 2) return false;
    if (!_LineBuffer) {
        int64_t fileSize = 0;
        if (_ResourceBacked) {
            fileSize = static_cast<int64_t>(_LogicalSize);
        } else {
            if (!QZ_ASSERT_TEXT(_WinHandle != PLATFORM_NoHandle, "_WinHandle != NULL")) return false;
            uint64_t platformSize = 0;
            if (!platform_FileSize(_WinHandle, &platformSize)) {
                Fail(__LINE__, GetFullPath());
                return false;
            }
            fileSize = static_cast<int64_t>(platformSize);
        }
        int64_t position = Tell();
        if (position < 0) return false;
        _Remaining = fileSize - position;
        _ReadIndex = LineBufferSize;
        _ReadSize = 0;
        _LineBuffer = new char[LineBufferSize];
        _ScrambleArmed = position == 0;
    }
    int stored = 0;
    bool afterCR = false;
    for (;;) {
        if (stored == size - 1 && !afterCR) break;
        if (_Remaining <= 0) {
            // Only stored characters make a line: a CR that ends the file adds none.
            buffer[stored] = 0;
            return stored > 0;
        }
        if (_ReadIndex >= _ReadSize && !Refill()) {
            buffer[stored] = 0;
            return false;
        }
        char c = _LineBuffer[_ReadIndex];
        if (afterCR) {
            // The character after a CR ends the line; an LF goes with it, anything else
            // stays for the next call.
            if (c == '\n') {
                ++_ReadIndex;
                --_Remaining;
            }
            break;
        }
        ++_ReadIndex;
        --_Remaining;
        if (c == '\n') break;
        if (c == '\r') {
            afterCR = true;
            continue;
        }
        buffer[stored++] = c;
    }
    buffer[stored] = 0;
    return true;
}

// ---- queries and operations by path ----------------------------------------------------

bool file_Class::Exists() const {
    if (Name.IsEmpty()) return false;
    platform_FileInfo info;
    return platform_GetFileInfo(GetFullPath().Data(), &info);
}

bool file_Class::IsReadOnly() const {
    platform_FileInfo info;
    return platform_GetFileInfo(GetFullPath().Data(), &info) && info.readOnly;
}

double file_Class::GetModificationTime() {
    if (_ResourceBacked) return 0;
    if (_ModificationTime != 0) return _ModificationTime;
    Str full = GetFullPath();
    platform_FileInfo info;
    double seconds = 0;
    if (!platform_GetFileInfo(full.Data(), &info) || !filesys_LocalSecondsFrom(info.modified, &seconds)) {
        Fail(__LINE__, full);
        return 0;
    }
    _ModificationTime = seconds;
    return seconds;
}

int64_t file_Class::QuerySize() {
    if (_QueriedSize >= 0) return _QueriedSize;
    Str full = GetFullPath();
    platform_FileInfo info;
    if (!platform_GetFileInfo(full.Data(), &info)) {
        Fail(__LINE__, full);
        return 0;
    }
    _QueriedSize = static_cast<int64_t>(info.size);
    return _QueriedSize;
}

bool file_Class::Delete() {
    Str full = GetFullPath();
    if (platform_DeleteFile(full.Data())) return true;
    if (platform_GetLastError() == PLATFORM_ErrorFileNotFound) {
        _LastSystemError = PLATFORM_ErrorFileNotFound;
        return false;
    }
    Fail(__LINE__, full);
    return false;
}

bool file_Class::MoveTo(const file_Class& target) {
    Str from = GetFullPath();
    Str to = target.GetFullPath();
    if (!platform_MoveFile(from.Data(), to.Data())) {
        Fail(__LINE__, from + " -> " + to);
        return false;
    }
    Directory = target.Directory;
    Name = target.Name;
    Extension = target.Extension;
    return true;
}

bool file_CopyFile(const Str& source, const Str& target) {
    return platform_CopyFile(path_Expand(source).Data(), path_Expand(target).Data());
}
