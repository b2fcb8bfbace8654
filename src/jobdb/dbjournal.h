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
// The length field is not under the CRC.
//
// Flags: 1 first record of a transaction, 2 last record (a transaction of one record
// carries 3), 4 the transaction was aborted (on its last record only; replay skips the
// transaction). The whole byte 0xBF marks a record overwritten by a manual repair: it is
// recognised before anything else and the record is skipped unread.
//
// A reader accepts a record when its length lies in range, its CRC matches, its
// operation lies in 10800..10806 (10805, "no record", never does), and its record
// decodes: a known type code below 162 whose Read uses exactly its bytes and no more.
// Reading a job stops at the first damaged record (short length field, impossible
// length, short record, CRC mismatch, undecodable record): everything before it stands,
// the damage is reported through Environment::Warning with its file position, and the
// journal is not written again until the caller cuts the file behind the last good
// record. A transaction whose end never arrives (the program stopped mid-write) is
// dropped; new transactions are written over it.
#pragma once

#include <cstdint>

// Flags of a journal record.
enum : uint8_t {
    DBJOURNAL_FirstOfTransaction = 1,
    DBJOURNAL_LastOfTransaction = 2,
    DBJOURNAL_Aborted = 4,
    DBJOURNAL_ManualRepair = 0xBF,  // compared as a whole byte
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
