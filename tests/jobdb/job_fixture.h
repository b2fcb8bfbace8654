// A job created in a temp folder, with what its commits and its file hold.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jobdb/dbJob.h"
#include "jobdb/dbjournal.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

// One journal record (or committed action) as the tests compare it.
struct ActionSeen {
    int operation;
    uint32_t target;
    int type;
    uint32_t id;
    bool operator==(const ActionSeen&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ActionSeen& a) {
    return out << "{" << a.operation << ", " << a.target << ", type " << a.type << ", id " << a.id << "}";
}

using TransactionSeen = std::vector<ActionSeen>;

inline TransactionSeen Describe(const dbTransaction& transaction) {
    TransactionSeen seen;
    for (const dbModel_Action* a = transaction.GetFirst(); a; a = a->GetNext())
        seen.push_back({a->Operation, a->Target.Value(), a->DBRecord ? static_cast<int>(a->DBRecord->GetType()) : -1,
                        a->DBRecord ? a->DBRecord->GetRecordId().Value() : 0});
    return seen;
}

// The good transactions of a job file, in order.
inline std::vector<TransactionSeen> ReadJobFile(const std::string& path) {
    std::vector<TransactionSeen> result;
    dbJournal journal;
    if (!journal.Open(Str(path.c_str()), false)) {
        ADD_FAILURE() << "cannot open " << path;
        return result;
    }
    journal.SeekFirstRecord();
    for (;;) {
        int status = 0;
        dbTransaction* transaction = journal.ReadTransaction(status);
        if (transaction && status == 0) result.push_back(Describe(*transaction));
        delete transaction;
        if (status == 1 || status == 4) break;
    }
    journal.Close();
    return result;
}

// A new job "Job" whose records keep their own timestamps. Every commit the job's
// listener hears is kept in `commits` (the access object does not group automatically
// here, so every commit reaches it).
class JobFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = tmp / "a.job";
        ASSERT_TRUE(job.Create(Str(path.c_str()), "Job", true));
        current = this;
        job.TransactionCallback = [](JobDatabase*, dbTransaction& transaction) {
            current->commits.push_back(Describe(transaction));
        };
    }
    void TearDown() override {
        if (job.GetAccess()) job.Close();
        current = nullptr;
    }
    // Closes the job and reads its file back.
    std::vector<TransactionSeen> CloseAndRead() {
        job.Close();
        return ReadJobFile(path);
    }

    static inline JobFileTest* current = nullptr;
    RecordingEnvironment env;
    TempFolder tmp;
    std::string path;
    JobDatabase job;
    std::vector<TransactionSeen> commits;
};
