// dbJournal: the job file.
//
// A job file is a 48-byte file header followed by an append-only journal of record
// actions. Nothing is ever rewritten in place: changing a record means appending a new
// journal record, and opening a job replays the journal into the in-memory model.
//
// The header (offsets 0..47; written once, at creation)
//   0   fixed(43)  title, "Quorvel Zentrovane Journal" zero padded
//   43  byte       file type, 1 for a job file
//   44  byte       reserved, 0
//   45  3 bytes    version 12, 45, 4
// A job opens only when the type is 1 and the three version bytes match ours.
//
// The journal record, from offset 48 on, one after another with no gap and no end
// marker; every number little-endian:
//   0       u32    L: the bytes that follow, flags through CRC (12..524,288)
//   4       byte   flags
//   5       u16    operation, 10800..10806 (DBMODEL_Append ... DBMODEL_Remove)
//   7       u32    target record id (0 when the operation has none)
//   11      L-9    the record exactly as its own Write puts it, type code first
//   4+L-2   u16    CRC-16/ARC of the L-2 bytes from the flags through the record
// The length field is not under the CRC. Operation 10805 ("no record") has neither
// target nor record: its frame is flags, operation and CRC, too short for any reader.
//
// Flags: 1 first record of a transaction, 2 last record (a transaction of one record
// carries 3), 4 the transaction was aborted (on its last record only; replay skips the
// transaction). The whole byte 0xBF marks a record overwritten by a manual repair: it is
// recognised before anything else and the record is skipped unread.
//
// A reader accepts a record when its length lies in range, its CRC matches, its
// operation lies in 10800..10806 (10805, "no record", never does), and its record
// decodes: a known type code below 162 whose Read stays within the record's bytes (it
// never reaches the CRC), with a record id that the file could have issued (one id per
// 16 bytes of file up to the record's end at most, so a damaged id never sizes the
// model's id table, and cutting the file behind a record never makes it unbelievable).
// Reading a job stops at the first damaged record (short length field, impossible
// length, short record, CRC mismatch, undecodable record): everything before it stands,
// the damage is reported through Environment::Warning with its file position, and the
// journal is not written again until the caller cuts the file behind the last good
// record. A transaction whose end never arrives (the program stopped mid-write) is
// dropped, and new transactions are written over it; one whose first record is missing
// is returned to be skipped.
//
// A foreign file: one journal record (flags 3, operation 10804, no target) holding a
// db_Foreign record, appended to the end of an existing file with no file header of
// its own. Replaying a job skips such records; the reader takes them as good.
//
// Writing: transactions collect in an output buffer that goes to disk, followed by a
// flush to the device, once it holds more than 40,960 bytes, on the timed path and at
// close. A failed write or device flush, and a record too long for any reader (its
// whole transaction is refused), are remembered: Close then answers false, so nothing
// is lost silently. A new file written in bulk may have its device flushes run on a
// thread of their own (DeferDeviceFlushes): the same flushes in the same order, each
// behind its write, while encoding goes on; Close waits for them all.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/buffer.h"
#include "foundation/files/file.h"
#include "foundation/files/filehdr.h"
#include "foundation/text/str.h"
#include "jobdb/dbmodel.h"

// Flags of a journal record.
enum : uint8_t {
    DBJOURNAL_FlagFirst = 1,
    DBJOURNAL_FlagLast = 2,
    DBJOURNAL_FlagAborted = 4,
    DBJOURNAL_FlagManualRepair = 0xBF,  // compared as a whole byte
};

// Where the first journal record starts: behind the file header.
inline constexpr int64_t DBJOURNAL_FirstRecordOffset = 48;
// The bounds a reader puts on L; the smallest is the frame of an empty record.
inline constexpr uint32_t DBJOURNAL_MinRecordLength = 12;
inline constexpr uint32_t DBJOURNAL_MaxRecordLength = 524288;
// The output buffer goes to disk once it holds more than this (checked after each
// whole transaction) and when the journal closes.
inline constexpr int DBJOURNAL_FlushThreshold = 40960;

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final XOR. Continues
// from crc, so a frame can be checked in pieces.
uint16_t dbJournal_CRC16(const void* bytes, int n, uint16_t crc = 0);

// What reading a record or a transaction found.
enum dbJournal_Status : int {
    DBJOURNAL_ReadGood = 0,
    DBJOURNAL_ReadEnd = 1,      // also after a partial last transaction
    DBJOURNAL_ReadAborted = 2,  // complete but abandoned: skip it
    DBJOURNAL_ReadPartial = 3,  // incomplete or headless: skip it
    DBJOURNAL_ReadDamaged = 4,  // stop reading
};

class dbJournal_Flusher;

class dbJournal {
public:
    dbJournal();
    dbJournal(const dbJournal&) = delete;
    dbJournal& operator=(const dbJournal&) = delete;
    // Requires the file to be closed.
    virtual ~dbJournal();

    // A new file (never an existing one) with the header written at offset 0.
    bool Create(const Str& path, const filehdr_Class& header);
    // An existing file; its header is read and kept. A file marked read-only is never
    // written, whatever was asked.
    bool Open(const Str& path, bool writable);
    // Flushes and closes. False when anything appended since Create or Open did not
    // reach the file: a failed write or device flush, a refused record, bytes left
    // unwritten (a journal that is not writable).
    bool Close();
    bool IsOpen() const { return _File.IsOpen(); }
    // False when no file is open.
    bool GetHeader(filehdr_Class& header) const;

    // Reading, from the first record on.
    void SeekFirstRecord();
    // One record; the caller owns the action. Null with status 1 at the end of the
    // file or 4 at damage.
    dbModel_Action* ReadRecord(int& status);
    // One transaction; the caller owns it whatever the status.
    dbTransaction* ReadTransaction(int& status);
    // Decodes flags, operation, target and record from a record's bytes without the
    // length and the CRC. False when the operation is not one of 10800..10806 or the
    // record cannot be made or does not fit its bytes.
    bool DecodeRecord(dbModel_Action& action, ReadBuffer& buffer) const;

    // Writing. Every action becomes one record; a transaction is buffered whole or not
    // at all (a record longer than a reader accepts refuses its transaction).
    void AppendTransaction(const dbTransaction& transaction);
    // Appends one record body (flags through CRC) to buffer; returns its length.
    static int WriteRecord(const dbModel_Action& action, WriteBuffer& buffer, uint32_t extraFlags);
    // Whether the record of such an action is short enough for a reader to accept;
    // measured in a block of its own that never grows much past that length.
    static bool Fits(int operation, DBID target, const dbRecord_Class& record);
    void Flush();
    void FlushIfFull();
    // The timed path: a flush 3 seconds after the first byte was buffered.
    void FlushIfDue(double now);
    // From now until Close, the device flush that ends each write runs on a thread of
    // its own, one after another in the order of the writes, while the caller goes on.
    // Close (and a truncation or copy) waits for all of them; a failed one is reported
    // on the caller's thread as an inline one is, and Close then answers false. For a
    // new file that nothing reads before it is closed.
    void DeferDeviceFlushes();
    void HoldOutput() { _OutputOnHold = true; }
    void ReleaseOutput() { _OutputOnHold = false; }

    // Appends one foreign record holding name and the caller's length bytes to the end
    // of the existing file at path; the bytes are lent to the record, never copied.
    // False when data is null with a length, the file cannot be opened for writing,
    // the record would be too long for any reader (nothing is written), or it did not
    // reach the file whole (the file then keeps its old end).
    static bool WriteForeignFile(const Str& path, const Str& name, const void* data, uint32_t length);

    // Cuts the file behind the last good record read and makes the journal writable
    // again (unless the file is read-only or was opened for reading); the position, or
    // 0 when the cut failed.
    int64_t TruncateAtLastGood();
    // The same at a given position: the append position, behind the last transaction
    // that read back whole.
    int64_t TruncateAt(int64_t position);
    // Copies the job file to a new file of that name in the same folder.
    bool CopyFile(const Str& name);

    bool IsWritable() const { return _Writable; }
    bool IsRepairDetected() const { return _RepairDetected; }
    void SetRepairDetected(bool detected) { _RepairDetected = detected; }
    void SetAppendPosition(int64_t position) { _AppendPosition = position; }
    int64_t GetAppendPosition() const { return _AppendPosition; }
    int64_t GetLastGoodAppendPosition() const { return _LastGoodAppendPosition; }
    uint64_t GetFileSize() const { return _File.GetSize(); }
    const file_Class& GetFile() const { return _File; }
    int GetBufferedLength() const { return _Output.Length(); }
    // Whether a write failed or a record was refused since Create or Open.
    bool HasWriteFailed() const { return _WriteFailed; }

private:
    // One record body (flags through CRC) of any record, appended to buffer; its length.
    static int EncodeRecord(uint32_t flags, int operation, DBID target, const dbRecord_Class* record,
                            WriteBuffer& buffer);
    // Environment::Warning: the text and value, then the file size (or the second
    // text and value when given).
    void Report(const char* text, uint64_t value, const char* secondText = nullptr, uint64_t second = 0) const;
    // Reports the deferred device flushes that failed; with wait, once every one asked
    // for has run.
    void CollectDeviceFlushes(bool wait);

    file_Class _File;
    int _ByteOrder = ENDIAN_Little;
    filehdr_Class _Header;
    double _FlushDeadline;
    WriteBuffer _Output;
    // One transaction being encoded, before it joins the output.
    WriteBuffer _Pending;
    int _FlushThreshold = DBJOURNAL_FlushThreshold;
    int64_t _AppendPosition = 0;
    int64_t _LastGoodAppendPosition = 0;
    bool _OutputOnHold = false;
    bool _Writable = false;
    bool _RepairDetected = false;
    bool _WriteFailed = false;
    int _OpenMode = file_Class::ModeRead;
    // The bytes of the record being read, reused.
    std::vector<uint8_t> _RecordBytes;
    // The thread of the deferred device flushes, while they are deferred.
    std::unique_ptr<dbJournal_Flusher> _Flusher;
};

// Reads the 48-byte header of any file; true only when it opened and was read.
bool dbJournal_ReadFileHeader(const Str& path, filehdr_Class& header);
