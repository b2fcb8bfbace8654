// Bytes as a job file through the journal reader, the access object and the job
// database, read-only and for writing. Nothing may crash, every status is a documented
// one, and a job opened for writing, cut at its damage and closed again still holds every
// transaction the reader found before the damage.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "fuzz_support.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbjournal.h"

namespace {

namespace fs = std::filesystem;

using fuzz::Fail;

const fs::path& Folder() {
    static const fs::path folder = fuzz::MakeFolder("qz-journal-fuzz");
    return folder;
}

// One transaction as the tests compare it: operation, target, type and id of each action.
using Seen = std::vector<uint64_t>;

Seen Describe(const dbTransaction& transaction) {
    Seen seen;
    for (const dbModel_Action* a = transaction.GetFirst(); a; a = a->GetNext()) {
        const uint64_t type = a->DBRecord ? a->DBRecord->GetType() : 0xFFFF;
        const uint64_t id = a->DBRecord ? a->DBRecord->GetRecordId().Value() : 0;
        seen.push_back(static_cast<uint64_t>(a->Operation) << 48 | type << 32 | id);
        seen.push_back(a->Target.Value());
    }
    return seen;
}

// The good transactions before the reader stops.
std::vector<Seen> ReadGood(const std::string& path, uint64_t size) {
    std::vector<Seen> good;
    dbJournal journal;
    if (!journal.Open(Str(path.c_str()), false)) return good;
    journal.SeekFirstRecord();
    const uint64_t most = size / 16 + 2;
    for (uint64_t reads = 0;; ++reads) {
        if (reads > most) Fail("the reader does not come to an end");
        int status = -1;
        dbTransaction* transaction = journal.ReadTransaction(status);
        if (status < DBJOURNAL_ReadGood || status > DBJOURNAL_ReadDamaged) Fail("unknown read status");
        if (transaction && status == DBJOURNAL_ReadGood) good.push_back(Describe(*transaction));
        delete transaction;
        if (status == DBJOURNAL_ReadEnd || status == DBJOURNAL_ReadDamaged) break;
    }
    journal.Close();
    return good;
}

bool IsOpenStatus(int status) {
    switch (status) {
    case DBACCESS_Opened:
    case DBACCESS_CannotOpen:
    case DBACCESS_WrongVersion:
    case DBACCESS_NotAJob:
    case DBACCESS_ModelFailed:
    case DBACCESS_Damaged:
        return true;
    default:
        return false;
    }
}

bool Agree(JobDatabase*) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path file = Folder() / "job.job";
    fs::remove(file);
    {
        FILE* out = std::fopen(file.c_str(), "wb");
        if (!out) return 0;
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    const std::string path = file.string();
    const std::vector<Seen> before = ReadGood(path, size);

    {
        dbAccess access;
        access.Open(Str(path.c_str()), false);
        if (!IsOpenStatus(access.GetOpenStatus())) Fail("unknown open status (read-only)");
        if (access.IsOpen()) {
            uint64_t walked = 0;
            for (DBID id = access.GetFirstId(); id != NODBID; id = access.GetNextId(id)) {
                if (!access.GetRecord(id)) Fail("a chained record is missing");
                if (++walked > size) Fail("the chain does not end");
            }
            access.Close();
        }
    }
    {
        JobDatabase job;
        job.TruncationCallback = &Agree;
        const bool opened = job.Open(Str(path.c_str()), true);
        if (!IsOpenStatus(job.GetOpenStatus())) Fail("unknown open status (writable)");
        if (opened) {
            job.Close();
            // Cutting keeps what came before the damage, transaction for transaction.
            const std::vector<Seen> after = ReadGood(path, fs::file_size(file));
            if (after.size() < before.size()) Fail("a cut job lost transactions before its damage");
            for (size_t i = 0; i < before.size(); ++i)
                if (after[i] != before[i]) Fail("a cut job changed a transaction before its damage");
            dbAccess again;
            again.Open(Str(path.c_str()), false);
            if (again.GetOpenStatus() != DBACCESS_Opened) Fail("a cut and closed job does not open whole");
            if (again.IsOpen()) again.Close();
        }
    }
    fs::remove(file);
    return 0;
}
