// Bytes as an export through ImportQZXMLFile, into a fresh folder each time. The contract:
// a result among 0, 1, 2, 4 and 5; a job file exactly when the result is 0; and a job
// that reopens with every record of its chain readable.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "qzxmli.h"

namespace {

namespace fs = std::filesystem;

using fuzz::Fail;

const fs::path& Folder() {
    static const fs::path folder = fuzz::MakeFolder("qz-convert-fuzz");
    return folder;
}

void CheckJob(const std::string& path) {
    JobDatabase job;
    if (!job.Open(Str(path.c_str()), false)) Fail("a converted job does not open");
    if (job.GetOpenStatus() != DBACCESS_Opened) Fail("a converted job opens damaged");
    dbAccess* access = job.GetAccess();
    uint64_t walked = 0;
    for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id)) {
        if (!access->GetRecord(id)) Fail("a chained record is missing");
        if (++walked > (1u << 24)) Fail("the chain does not end");
    }
    job.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path xml = Folder() / "export.xml";
    const fs::path job = Folder() / "job.job";
    {
        FILE* out = std::fopen(xml.c_str(), "wb");
        if (!out) return 0;
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    const int result = ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr);
    if (result != 0 && result != 1 && result != 2 && result != 4 && result != 5) Fail("unknown result");
    const bool exists = fs::exists(job);
    if (exists != (result == 0)) Fail(result == 0 ? "success without a job file" : "a failure left its job file");
    if (exists) CheckJob(job.string());
    // Road files and the job go, so the next input starts from an empty folder.
    for (const auto& entry : fs::directory_iterator(Folder())) fs::remove_all(entry.path());
    return 0;
}
