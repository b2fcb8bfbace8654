#include "jobdb/dbjournal.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>

#include "foundation/environment.h"
#include "foundation/files/path.h"
#include "platform/error.h"
#include "records/dbRecordFactory.h"
#include "records/imaging.h"

namespace {

// One entry per byte value: the CRC of that byte alone.
constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

// Sixteen bytes a step ("slicing"): table k holds the CRC of a byte followed by k zero
// bytes, so the register, xored into the first two bytes of a group, and the other
// bytes each look up their contribution independently. A tail of fewer than sixteen
// bytes takes groups of eight, four and two from the same tables, so a short record
// costs few dependent steps.
constexpr int kCrcSlices = 16;

constexpr std::array<std::array<uint16_t, 256>, kCrcSlices> MakeCrcSliceTables() {
    std::array<std::array<uint16_t, 256>, kCrcSlices> tables{};
    tables[0] = kCrcTable;
    for (int k = 1; k < kCrcSlices; ++k)
        for (int i = 0; i < 256; ++i)
            tables[k][i] = static_cast<uint16_t>((tables[k - 1][i] >> 8) ^ kCrcTable[tables[k - 1][i] & 0xFF]);
    return tables;
}

constexpr std::array<std::array<uint16_t, 256>, kCrcSlices> kCrcSlice = MakeCrcSliceTables();

// The register after a group of Width bytes at b.
template <int Width>
inline uint16_t CrcGroup(uint16_t crc, const uint8_t* b) {
    uint16_t next = static_cast<uint16_t>(kCrcSlice[Width - 1][(b[0] ^ crc) & 0xFF] ^
                                          kCrcSlice[Width - 2][b[1] ^ (crc >> 8)]);
    for (int k = 2; k < Width; ++k) next = static_cast<uint16_t>(next ^ kCrcSlice[Width - 1 - k][b[k]]);
    return next;
}

}  // namespace

uint16_t dbJournal_CRC16(const void* bytes, int n, uint16_t crc) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    int i = 0;
    for (; i + 16 <= n; i += 16) crc = CrcGroup<16>(crc, p + i);
    if (i + 8 <= n) {
        crc = CrcGroup<8>(crc, p + i);
        i += 8;
    }
    if (i + 4 <= n) {
        crc = CrcGroup<4>(crc, p + i);
        i += 4;
    }
    if (i + 2 <= n) {
        crc = CrcGroup<2>(crc, p + i);
        i += 2;
    }
    if (i < n) crc = static_cast<uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ p[i]) & 0xFF]);
    return crc;
}

// ------------------------------------------------------------------ dbJournal

namespace {

constexpr const char* kModule = "Library/dbjournal";
constexpr double kNoDeadline = 1e200;
constexpr uint32_t kCopyBlock = 65536;
// The smallest whole journal record (length field and empty frame): no file can have
// issued more record ids than it holds such records.
constexpr uint64_t kBytesPerId = 4 + DBJOURNAL_MinRecordLength;

// The one place where the journal makes a record from its type code.
dbRecord_Class* MakeRecord(int type) { return dbRecord_Create(type); }

uint32_t LittleU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

Str WithHex(const char* text, uint64_t value) {
    char hex[24];
    std::snprintf(hex, sizeof hex, " 0x%llx", static_cast<unsigned long long>(value));
    Str message(text);
    message += hex;
    return message;
}

void Warn(const char* text, uint64_t value) { Environment::Get()->Warning(WithHex(text, value).Data()); }

}  // namespace

// Runs the device flushes of one open file on threads of their own. Each write asks for
// one flush, taken in the order asked; a few run at once, since a device commits flushes
// that wait together in one go. It reports nothing: the error numbers of failed flushes
// wait for the journal's thread to collect them, in the order the flushes were asked for.
class dbJournal_Flusher {
public:
    explicit dbJournal_Flusher(const file_Class& file) : _File(file) {
        _Running.reserve(kThreads);
        for (std::thread& thread : _Threads) thread = std::thread([this] { Run(); });
    }
    dbJournal_Flusher(const dbJournal_Flusher&) = delete;
    dbJournal_Flusher& operator=(const dbJournal_Flusher&) = delete;
    // Runs what was asked for, then ends the threads.
    ~dbJournal_Flusher() {
        {
            std::lock_guard<std::mutex> lock(_Mutex);
            _Stop = true;
        }
        _Wake.notify_all();
        for (std::thread& thread : _Threads) thread.join();
    }

    void Ask() {
        {
            std::lock_guard<std::mutex> lock(_Mutex);
            ++_Asked;
        }
        _Wake.notify_one();
    }

    // The failures since the last collection, in the order asked; with wait, once every
    // flush asked for has run.
    std::vector<uint32_t> Collect(bool wait) {
        std::unique_lock<std::mutex> lock(_Mutex);
        if (wait) _Done.wait(lock, [this] { return _Ran == _Asked; });
        std::vector<uint32_t> errors;
        if (_Failures.empty()) return errors;
        // Only the failures before the first flush still running are due: a later one
        // waits, so the reports keep the order asked.
        std::sort(_Failures.begin(), _Failures.end());
        size_t due = 0;
        while (due < _Failures.size() && _Failures[due].first < FirstUnfinished()) ++due;
        for (size_t i = 0; i < due; ++i) errors.push_back(_Failures[i].second);
        _Failures.erase(_Failures.begin(), _Failures.begin() + static_cast<std::ptrdiff_t>(due));
        return errors;
    }

private:
    static constexpr int kThreads = 4;

    void Run() {
        std::unique_lock<std::mutex> lock(_Mutex);
        for (;;) {
            _Wake.wait(lock, [this] { return _Stop || _Taken < _Asked; });
            if (_Taken == _Asked) return;
            const uint64_t number = _Taken++;
            _Running.push_back(number);
            lock.unlock();
            const uint32_t error = _File.FlushDevice();
            lock.lock();
            _Running.erase(std::find(_Running.begin(), _Running.end(), number));
            ++_Ran;
            if (error != PLATFORM_ErrorSuccess) _Failures.emplace_back(number, error);
            if (_Ran == _Asked) _Done.notify_all();
        }
    }

    // The number of the earliest flush not yet run (with the mutex held).
    uint64_t FirstUnfinished() const {
        uint64_t first = _Taken;
        for (uint64_t number : _Running) first = std::min(first, number);
        return first;
    }

    // Only its handle is read here, and the handle stays until the journal closes, which
    // ends these threads first.
    const file_Class& _File;
    std::mutex _Mutex;
    std::condition_variable _Wake;
    std::condition_variable _Done;
    uint64_t _Asked = 0;
    uint64_t _Taken = 0;
    uint64_t _Ran = 0;
    bool _Stop = false;
    // Flushes taken and not yet finished, at most one a thread.
    std::vector<uint64_t> _Running;
    // The number of each failed flush and its error.
    std::vector<std::pair<uint64_t, uint32_t>> _Failures;
    std::array<std::thread, kThreads> _Threads;
};

dbJournal::dbJournal()
    : _Header(FILEHDR_Journal), _FlushDeadline(kNoDeadline), _Output(ENDIAN_Little), _Pending(ENDIAN_Little) {}

dbJournal::~dbJournal() {
    if (!QZ_ASSERT_TEXT(!_File.IsOpen(), "!_File.IsOpen()")) Close();
}

void dbJournal::Report(const char* text, uint64_t value, const char* secondText, uint64_t second) const {
    Warn(text, value);
    if (secondText) Warn(secondText, second);
    else Warn("-- Reported file size ", _File.GetSize());
}

bool dbJournal::Create(const Str& path, const filehdr_Class& header) {
    if (!QZ_ASSERT_TEXT(!_File.IsOpen(), "!_File.IsOpen()")) return false;
    if (!_File.Create(path)) return false;
    _Header = header;
    if (!filehdr_Write(_File, _Header)) {
        // The file is ours and holds nothing usable.
        _File.Close();
        _File.Delete();
        return false;
    }
    _OpenMode = file_Class::ModeReadWrite;
    _Output.Clear();
    _FlushDeadline = kNoDeadline;
    _AppendPosition = _LastGoodAppendPosition = DBJOURNAL_FirstRecordOffset;
    _Writable = true;
    _RepairDetected = false;
    _WriteFailed = false;
    return true;
}

bool dbJournal::Open(const Str& path, bool writable) {
    if (!QZ_ASSERT_TEXT(!_File.IsOpen(), "!_File.IsOpen()")) return false;
    _Writable = writable;
    _Output.Clear();
    _FlushDeadline = kNoDeadline;
    _WriteFailed = false;
    _OpenMode = writable ? file_Class::ModeReadWrite : file_Class::ModeRead;
    _File.SetPath(path);
    if (!_File.Open(_OpenMode)) return false;
    if (!filehdr_Read(_File, _Header)) {
        _File.Close();
        return false;
    }
    if (_File.IsReadOnly()) {
        Str message("Journal Open : Job file is read-only: ");
        message += _File.GetFileName();
        Environment::Get()->Warning(message.Data());
        _Writable = false;
    }
    _AppendPosition = _LastGoodAppendPosition = _File.Tell();
    return true;
}

void dbJournal::DeferDeviceFlushes() {
    if (_File.IsOpen() && !_Flusher) _Flusher = std::make_unique<dbJournal_Flusher>(_File);
}

void dbJournal::CollectDeviceFlushes(bool wait) {
    if (!_Flusher) return;
    for (uint32_t error : _Flusher->Collect(wait)) {
        _File.ReportFlush(error);
        _WriteFailed = true;
    }
}

bool dbJournal::Close() {
    if (!QZ_ASSERT_TEXT(_File.IsOpen(), "_File.IsOpen()")) return false;
    Flush();
    // The last write's device flush included: the file is on the device before Close answers.
    CollectDeviceFlushes(true);
    _Flusher.reset();
    bool ok = !_WriteFailed;
    if (_Output.Length() > 0) {
        Warn("Journal close: Flush() failed.  Bytes unwritten:", static_cast<uint64_t>(_Output.Length()));
        ok = false;
    }
    if (!_File.Close()) ok = false;
    _Output.Clear();
    _FlushDeadline = kNoDeadline;
    _Writable = false;
    _WriteFailed = false;
    return ok;
}

bool dbJournal::GetHeader(filehdr_Class& header) const {
    if (!_File.IsOpen()) return false;
    header = _Header;
    return true;
}

void dbJournal::SeekFirstRecord() { _File.Seek(DBJOURNAL_FirstRecordOffset); }

// ------------------------------------------------------------------ writing

int dbJournal::WriteRecord(const dbModel_Action& action, WriteBuffer& buffer, uint32_t extraFlags) {
    return EncodeRecord(extraFlags | action.Flags, action.Operation, action.Target, action.DBRecord, buffer);
}

int dbJournal::EncodeRecord(uint32_t flags, int operation, DBID target, const dbRecord_Class* record,
                            WriteBuffer& buffer) {
    const int start = buffer.Length();
    buffer.PutUInt8(flags);
    buffer.PutUInt16(static_cast<uint32_t>(operation));
    if (operation != DBMODEL_NoRecord) {
        buffer.PutUInt32(target.Value());
        if (QZ_ASSERT_TEXT(record != nullptr, "action->DBRecord != NULL")) record->Write(buffer);
    }
    const int n = buffer.Length() - start;
    buffer.PutUInt16(dbJournal_CRC16(buffer.Data() + start, n));
    return buffer.Length() - start;
}

bool dbJournal::Fits(int operation, DBID target, const dbRecord_Class& record) {
    WriteBuffer scratch(ENDIAN_Little);
    scratch.SetLimit(static_cast<int>(DBJOURNAL_MaxRecordLength));
    const int n = EncodeRecord(0, operation, target, &record, scratch);
    return !scratch.Failed() && static_cast<uint32_t>(n) <= DBJOURNAL_MaxRecordLength;
}

void dbJournal::AppendTransaction(const dbTransaction& transaction) {
    if (!QZ_ASSERT_TEXT(_File.IsOpen(), "_File.IsOpen()")) return;
    _Pending.Clear();
    for (const dbModel_Action* action = transaction.GetFirst(); action; action = action->GetNext()) {
        uint32_t flags = 0;
        if (action == transaction.GetFirst()) flags |= DBJOURNAL_FlagFirst;
        if (!action->GetNext()) flags |= DBJOURNAL_FlagLast;
        const int place = _Pending.Length();
        _Pending.PutInt32(0);
        const int length = WriteRecord(*action, _Pending, flags);
        if (_Pending.Failed() || static_cast<uint32_t>(length) > DBJOURNAL_MaxRecordLength) {
            // No reader would accept it: the whole transaction stays out of the file,
            // and the journal remembers that something was lost.
            Warn("Journal: Record too long, transaction not written. Length", static_cast<uint32_t>(length));
            _Pending.Clear();
            _WriteFailed = true;
            return;
        }
        _Pending.SetUInt32(static_cast<uint32_t>(length), place);
    }
    _Output.PutBuffer(_Pending);
    _Pending.Clear();
    if (_Output.Failed()) {
        // The buffer would pass its largest block: what it held cannot be kept whole.
        _WriteFailed = true;
        _Output.Clear();
        return;
    }
    FlushIfFull();
}

void dbJournal::Flush() {
    if (!_Writable || !_File.IsOpen()) return;
    const int n = _Output.Length();
    if (n > 0) {
        uint32_t written = 0;
        const bool ok = _File.Seek(_AppendPosition) && _File.Write(_Output.Data(), static_cast<uint32_t>(n), &written);
        if (!ok || written != static_cast<uint32_t>(n)) {
            // The bytes stay buffered: the next flush writes them again at the same place.
            Warn("Journal write failed (disk full?) at filepos", static_cast<uint64_t>(_AppendPosition));
            _WriteFailed = true;
            return;
        }
        _AppendPosition += n;
        _Output.Clear();
        if (_Flusher) {
            _Flusher->Ask();
            CollectDeviceFlushes(false);
        } else if (!_File.Flush()) {
            _WriteFailed = true;
        }
    }
    _FlushDeadline = kNoDeadline;
}

void dbJournal::FlushIfFull() {
    if (_Output.Length() > _FlushThreshold) Flush();
}

void dbJournal::FlushIfDue(double now) {
    if (_Output.Length() == 0) return;
    if (_FlushDeadline == kNoDeadline) _FlushDeadline = now + 3;
    if (_OutputOnHold) return;
    if (now >= _FlushDeadline || _Output.Length() > _FlushThreshold) Flush();
}

// ------------------------------------------------------------------ reading

bool dbJournal::DecodeRecord(dbModel_Action& action, ReadBuffer& buffer) const {
    int offset = 0;
    action.Flags = buffer.GetUInt8(offset);
    action.Operation = buffer.GetUInt16(offset);
    action.SetRecord(nullptr);
    if (!dbModel_IsOperation(action.Operation) || action.Operation == DBMODEL_NoRecord) return false;
    action.Target = DBID(buffer.GetUInt32(offset));
    int peek = offset;
    const int type = buffer.GetUInt16(peek);
    if (buffer.Failed()) return false;
    dbRecord_Class* record = MakeRecord(type);
    if (!record) return false;
    // The buffer ends where the record ends, so reading past it is damage and the CRC
    // is never taken for data.
    if (!record->ReadChecked(buffer, offset)) {
        delete record;
        return false;
    }
    action.SetRecord(record);
    return true;
}

dbModel_Action* dbJournal::ReadRecord(int& status) {
    for (;;) {
        status = DBJOURNAL_ReadGood;
        const int64_t position = _File.Tell();
        uint8_t lengthBytes[4];
        uint32_t count = 0;
        _File.Read(lengthBytes, 4, &count);
        if (count == 0) {
            status = DBJOURNAL_ReadEnd;
            return nullptr;
        }
        if (count < 4) {
            Report("Journal record length short read failure at filepos ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        const uint32_t length = LittleU32(lengthBytes);
        if (length < DBJOURNAL_MinRecordLength || length > DBJOURNAL_MaxRecordLength) {
            Report("Journal record length is unbelieveable at ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        // The length alone never sizes a block: a record reaching past the file's end
        // is a short read, found before any memory is taken for it.
        if (static_cast<uint64_t>(position) + 4 + length > _File.GetSize()) {
            Report("Journal record short read failure at filepos ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        _RecordBytes.resize(length);
        count = 0;
        _File.Read(_RecordBytes.data(), length, &count);
        if (count < length) {
            Report("Journal record short read failure at filepos ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        if (_RecordBytes[0] == DBJOURNAL_FlagManualRepair) {
            _RepairDetected = true;
            Report("Journal: Manual repair detected at ", static_cast<uint64_t>(position), "-- Hammered record size ",
                   length);
            continue;
        }
        const int body = static_cast<int>(length) - 2;
        const uint16_t stored = static_cast<uint16_t>(_RecordBytes[body] | _RecordBytes[body + 1] << 8);
        if (dbJournal_CRC16(_RecordBytes.data(), body) != stored) {
            Report("Journal: CRC error at ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        dbModel_Action* action = new dbModel_Action;
        ReadBuffer buffer(body, ENDIAN_Little, _RecordBytes.data());
        bool good = DecodeRecord(*action, buffer) && action->DBRecord->GetType() < DATABASE_AllRecords &&
                    // An id this file could never have issued is damage, not a reason to
                    // grow the model's id table. It is measured by the bytes up to this
                    // record's end, not the file's: a record accepted once stays accepted
                    // when the file is cut behind it, and ids issued after it stay believable.
                    action->DBRecord->GetRecordId().Value() <=
                        (static_cast<uint64_t>(position) + 4 + length) / kBytesPerId + 1;
        if (!good) {
            delete action;
            Report("Journal: Record corruption at filepos ", static_cast<uint64_t>(position));
            status = DBJOURNAL_ReadDamaged;
            return nullptr;
        }
        _LastGoodAppendPosition = _File.Tell();
        return action;
    }
}

dbTransaction* dbJournal::ReadTransaction(int& status) {
    dbModel_Action* action = ReadRecord(status);
    if (status == DBJOURNAL_ReadDamaged) _Writable = false;
    if (!action) return nullptr;
    // A transaction whose first record is missing is incomplete: it is returned to be
    // skipped, however long it is.
    bool headless = false;
    if (!(action->Flags & DBJOURNAL_FlagFirst)) {
        Report("Journal: Transaction start flag missing near filepos ", static_cast<uint64_t>(_File.Tell()));
        headless = true;
    }
    dbTransaction* transaction = new dbTransaction;
    bool aborted = false;
    for (;;) {
        transaction->Append(action);
        if (action->Flags & DBJOURNAL_FlagAborted) aborted = true;
        if (action->Flags & DBJOURNAL_FlagLast) break;
        action = ReadRecord(status);
        if (status == DBJOURNAL_ReadDamaged) _Writable = false;
        if (!action) {
            Report("Journal: Partial last transaction near filepos ", static_cast<uint64_t>(_File.Tell()));
            delete transaction;
            return nullptr;
        }
        if (action->Flags & DBJOURNAL_FlagFirst) {
            // The records so far never got their end: drop them and start afresh.
            Report("Journal: Partial transaction near filepos ", static_cast<uint64_t>(_File.Tell()));
            transaction->Clear();
            aborted = false;
            headless = false;
        }
    }
    if (headless) status = DBJOURNAL_ReadPartial;
    else if (aborted && status == DBJOURNAL_ReadGood) status = DBJOURNAL_ReadAborted;
    return transaction;
}

// ------------------------------------------------------------------ maintenance

int64_t dbJournal::TruncateAtLastGood() { return TruncateAt(_LastGoodAppendPosition); }

int64_t dbJournal::TruncateAt(int64_t position) {
    CollectDeviceFlushes(true);
    if (!_File.Truncate(position)) position = 0;
    if (_OpenMode != file_Class::ModeRead) _Writable = !_File.IsReadOnly();
    return position;
}

bool dbJournal::CopyFile(const Str& name) {
    if (!QZ_ASSERT_TEXT(_File.IsOpen(), "_File.IsOpen()")) return false;
    file_Class copy;
    CollectDeviceFlushes(true);
    if (!copy.Create(path_Combine(_File.GetDirectory(), name))) return false;
    uint64_t left = _File.GetSize();
    std::vector<uint8_t> block(kCopyBlock);
    // A copy taken between two reads leaves the reading where it was.
    const int64_t resume = _File.Tell();
    bool ok = _File.Seek(0);
    while (ok && left > 0) {
        const uint32_t want = left < kCopyBlock ? static_cast<uint32_t>(left) : kCopyBlock;
        uint32_t got = 0, put = 0;
        _File.Read(block.data(), want, &got);
        ok = got == want && copy.Write(block.data(), got, &put) && put == got;
        left -= got;
    }
    if (!copy.Close()) ok = false;
    if (!ok) copy.Delete();
    _File.Seek(resume);
    return ok;
}

bool dbJournal::WriteForeignFile(const Str& path, const Str& name, const void* data, uint32_t length) {
    // No bytes to go with a length: the record would claim what it does not hold.
    if (!data && length > 0) return false;
    file_Class file(path);
    if (!file.Open(file_Class::ModeWrite)) return false;
    const uint64_t end = file.GetSize();

    // The record borrows the caller's bytes and is encoded directly, never held by an
    // action: an action would own, copy and delete it.
    db_Foreign foreign;
    foreign.Name = name;
    foreign.Lend(data, length);
    WriteBuffer scratch(ENDIAN_Little);
    scratch.PutUInt32(0);
    bool fits = length <= DBJOURNAL_MaxRecordLength;
    int n = 0;
    if (fits) {
        n = EncodeRecord(DBJOURNAL_FlagFirst | DBJOURNAL_FlagLast, DBMODEL_Foreign, NODBID, &foreign, scratch);
        fits = !scratch.Failed() && static_cast<uint32_t>(n) <= DBJOURNAL_MaxRecordLength;
    }
    foreign.TakeBack();
    if (!fits) {
        // No reader would accept it: nothing is written.
        Warn("Journal: Record too long, transaction not written. Length",
             n > 0 ? static_cast<uint64_t>(n) : static_cast<uint64_t>(length));
        file.Close();
        return false;
    }
    scratch.SetUInt32(static_cast<uint32_t>(n), 0);
    bool ok = file.WriteAtEnd(scratch.Data(), static_cast<uint32_t>(scratch.Length()));
    // A record that did not arrive whole would read as damage: the file keeps its old end.
    if (!ok) file.Truncate(static_cast<int64_t>(end));
    if (!file.Close()) ok = false;
    return ok;
}

bool dbJournal_ReadFileHeader(const Str& path, filehdr_Class& header) {
    file_Class file(path);
    if (!file.Open(file_Class::ModeRead)) return false;
    const bool ok = filehdr_Read(file, header);
    file.Close();
    return ok;
}
