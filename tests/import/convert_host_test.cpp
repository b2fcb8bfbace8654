// What a host's world does to a conversion: threads calling at once, a progress callback
// calling back in, and export paths that name no regular file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <latch>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "qzxmli.h"
#include "support/temp_folder.h"
#include "support/zoned_time.h"

namespace {

namespace fs = std::filesystem;

// Every file of the folder, by name.
std::vector<std::pair<std::string, std::string>> Files(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.emplace_back(entry.path().filename().string(), TempFolder::Read(entry.path().string()));
    std::sort(files.begin(), files.end());
    return files;
}

void FetchAllNames() {
    char16_t name[260];
    for (int n = qzxmli_ExtraOutputFileCount(); n > 0; --n) qzxmli_GetExtraOutputFileName(name, n - 1);
    qzxmli_GetExtraOutputFileName(name, 0);
}

class ConvertHostTest : public ZonedTimeTest {};

// Conversions started on eight threads at once each give the job and road files the
// same export gives alone.
TEST_F(ConvertHostTest, ConversionsOnManyThreadsEachGiveTheirOwnJob) {
    const char* exports[] = {"all_elements.xml", "cogo_1050.xml", "conventional.xml", "gnss.xml",
                             "road_files.xml",   "roads.xml",     "settings.xml",     "traverse.xml"};
    constexpr int kCount = 8;
    Zone("UTC");
    platform_FixTime(1700000000);
    TempFolder folder;
    auto convert = [&](int i, const std::string& set) {
        const std::string out = folder / (set + std::to_string(i));
        fs::create_directories(out);
        const std::string xml = std::string(QZ_FIXTURES_DIR) + "/import/" + exports[i];
        const std::string job = out + "/job.job";
        return ImportQZXMLFile(xml.c_str(), job.c_str(), [](int) { return true; });
    };
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(convert(i, "alone"), 0) << exports[i];
    FetchAllNames();

    // Several rounds, each started at one moment, so that the conversions overlap.
    constexpr int kRounds = 5;
    int roadFiles = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string set = "together" + std::to_string(round) + "_";
        int results[kCount];
        std::latch start(kCount);
        std::vector<std::thread> threads;
        for (int i = 0; i < kCount; ++i)
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                results[i] = convert(i, set);
            });
        for (std::thread& t : threads) t.join();
        for (int i = 0; i < kCount; ++i) {
            SCOPED_TRACE(exports[i]);
            EXPECT_EQ(results[i], 0);
            const auto alone = Files(folder / ("alone" + std::to_string(i)));
            EXPECT_EQ(Files(folder / (set + std::to_string(i))), alone);
            roadFiles += static_cast<int>(alone.size()) - 1;
        }
    }
    EXPECT_GT(roadFiles, 0);
    // Every road file of the conversions is listed once.
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), roadFiles);
    FetchAllNames();
}

// A progress callback runs inside the conversion: it may read the road-file list, and a
// conversion it starts fails at once instead of waiting for the one that called it.
TEST_F(ConvertHostTest, ProgressCallbackCallingBackIn) {
    TempFolder folder;
    static std::string nestedXml, nestedJob;
    static int nestedResult;
    nestedXml = std::string(QZ_FIXTURES_DIR) + "/import/gnss.xml";
    nestedJob = folder / "nested.job";
    nestedResult = -1;
    const std::string xml = std::string(QZ_FIXTURES_DIR) + "/import/gnss.xml";
    const std::string job = folder / "outer.job";
    auto progress = [](int) {
        qzxmli_ExtraOutputFileCount();
        if (nestedResult < 0) nestedResult = ImportQZXMLFile(nestedXml.c_str(), nestedJob.c_str(), nullptr);
        return true;
    };
    EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), progress), 0);
    EXPECT_EQ(nestedResult, 2);
    EXPECT_TRUE(fs::exists(job));
    EXPECT_FALSE(fs::exists(nestedJob));
}

// An export path that names a FIFO without a writer, a folder or a device is no export:
// the conversion answers 4 at once and creates no job.
TEST_F(ConvertHostTest, ExportThatIsNoRegularFileGivesFourWithoutBlocking) {
    TempFolder folder;
    const std::string fifo = folder / "fifo.xml";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(folder / "folder.xml");
    const std::string paths[] = {fifo, folder / "folder.xml", "/dev/null", "/dev/zero"};
    for (const std::string& xml : paths) {
        SCOPED_TRACE(xml);
        const std::string job = folder / "job.job";
        auto result = std::async(std::launch::async, [&] { return ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr); });
        if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Give the blocked open its writer, so that the test can end.
            int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            ADD_FAILURE() << "the conversion blocked";
            result.wait();
            if (writer >= 0) close(writer);
            continue;
        }
        EXPECT_EQ(result.get(), 4);
        EXPECT_FALSE(fs::exists(job));
    }
}

}  // namespace
