// A conversion onto a disk that fills up, and the progress it reports on the way. A
// write that fails ends the conversion at that write with 2 and leaves nothing
// half-written; 100 is reported only once the road files are written and the job is
// closed. The full disk is a tmpfs of 200 KiB mounted for the test; where mounting is
// not allowed those tests are skipped.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "export_generator.h"
#include "import/road_file_list.h"
#include "qzxmli.h"
#include "roads/roadquorvel_road.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string kRoadFiles = std::string(QZ_FIXTURES_DIR) + "/import/road_files.xml";

std::vector<int> percents;
bool RecordProgress(int percent) {
    percents.push_back(percent);
    return true;
}

int Convert(const std::string& xml, const std::string& job) {
    percents.clear();
    return ImportQZXMLFile(xml.c_str(), job.c_str(), RecordProgress);
}

// A disk of 200 KiB of its own, unmounted when the test ends.
class SmallDisk {
public:
    SmallDisk() : path_(folder_ / "disk") {
        fs::create_directory(path_);
        if (mount("tmpfs", path_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=200k") == 0)
            mounted_ = true;
        else
            error_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    TempFolder folder_;
    std::string path_;
    bool mounted_ = false;
    std::string error_;
};

#define QZ_SKIP_WITHOUT(disk) \
    if (!(disk).Mounted()) GTEST_SKIP() << "a small tmpfs cannot be mounted here: " << (disk).Error()

TEST(Progress, ReportsOneHundredOnlyOnceTheConversionHasFinished) {
    TempFolder folder;
    import_test::TakeRoadFileNames();
    // On one line the reader holds the whole file from the first element on, so the
    // position it reports is the file's end all along.
    std::string text = TempFolder::Read(kRoadFiles);
    std::replace(text.begin(), text.end(), '\n', ' ');
    const std::string xml = folder.Write("one_line.xml", text);
    ASSERT_EQ(Convert(xml, folder / "done.job"), 0);
    ASSERT_GE(percents.size(), 2u);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 1);
    EXPECT_EQ(percents[percents.size() - 2], 99);
    EXPECT_EQ(import_test::TakeRoadFileNames().size(), 3u);

    // Failures after the last element: a road file that cannot be written (2) and
    // content after the root's end (4). Neither reports 100.
    TempFolder second;
    const std::string blocked = second.Write("road(S).rxl", "not a road");
    ASSERT_EQ(chmod(blocked.c_str(), 0444), 0);
    EXPECT_EQ(Convert(xml, second / "blocked.job"), 2);
    EXPECT_FALSE(percents.empty());
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 0);
    chmod(blocked.c_str(), 0644);
    import_test::TakeRoadFileNames();

    const std::string after = folder.Write("after.xml", text + "<after/>");
    EXPECT_EQ(Convert(after, folder / "after.job"), 4);
    EXPECT_FALSE(percents.empty());
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 0);
    import_test::TakeRoadFileNames();
}

TEST(FullDisk, AJobWriteThatFailsEndsTheConversionThere) {
    SmallDisk disk;
    QZ_SKIP_WITHOUT(disk);
    TempFolder folder;
    const std::string xml = folder / "export.xml";
    std::FILE* out = std::fopen(xml.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ExportOptions options;
    options.bytes = 4 << 20;
    GenerateExport(out, options);
    std::fclose(out);

    EXPECT_EQ(Convert(xml, disk / "job.job"), 2);
    // The job takes about a fifth of the export's size: the disk is full a quarter of
    // the way through, and the conversion reads no further.
    ASSERT_FALSE(percents.empty());
    EXPECT_LT(percents.back(), 40);
    EXPECT_TRUE(fs::is_empty(disk.Path()));
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
}

// A job of two roads and many templates: the job file stays small, while every road file
// carries every template (about 460 bytes each).
std::string TemplateHeavyExport(int templates) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JobExport product=\"Quorvel Zentrovane\" version=\"1245\">\n"
        "<DATABASE_JobHeaderRecord ID=\"0x1\">S</DATABASE_JobHeaderRecord>\n";
    int id = 0x10;
    for (const char* road : {"A", "B"})
        xml += "<DATABASE_RoadHeaderRecord ID=\"0x" + std::to_string(++id) + "\"><RoadName>" + road +
               "</RoadName><SectionInterval>20</SectionInterval><Deleted>false</Deleted></DATABASE_RoadHeaderRecord>\n";
    for (int i = 0; i < templates; ++i)
        xml += "<DATABASE_TmpltHeaderRecord ID=\"0x" + std::to_string(++id) + "\"><TmpltName>T" + std::to_string(i) +
               "</TmpltName><Deleted>false</Deleted></DATABASE_TmpltHeaderRecord>\n"
               "<DATABASE_TmpltDistGradeRecord><Code>lane</Code><Grade>-0.02</Grade><HorzDistance>3.5</HorzDistance>"
               "<ApplySuper>true</ApplySuper><ApplyWidening>false</ApplyWidening></DATABASE_TmpltDistGradeRecord>\n";
    return xml + "</JobExport>\n";
}

TEST(FullDisk, ARoadFileThatDoesNotFitFailsTheConversion) {
    SmallDisk disk;
    QZ_SKIP_WITHOUT(disk);
    RecordingEnvironment env;
    TempFolder folder;
    import_test::TakeRoadFileNames();
    // Road files of about 137 KB: the first fits on the disk, the second does not. A
    // file of the user's stands at the name the second's temporary would take first.
    const std::string xml = folder.Write("roads.xml", TemplateHeavyExport(300));
    std::FILE* users = std::fopen((disk / "B(S).rxl.tmp").c_str(), "wb");
    ASSERT_NE(users, nullptr);
    std::fputs("the user's", users);
    std::fclose(users);

    EXPECT_EQ(Convert(xml, disk / "job.job"), 2);
    EXPECT_EQ(std::count(percents.begin(), percents.end(), 100), 0);
    // The first road file stays whole and listed; the second's own temporary is gone,
    // the user's file and nothing else stays; no job.
    EXPECT_EQ(import_test::TakeRoadFileNames(), std::vector<std::string>{disk / "A(S).rxl"});
    EXPECT_EQ(import_test::FolderListing(disk.Path()), (std::vector<std::string>{"A(S).rxl", "B(S).rxl.tmp"}));
    EXPECT_EQ(TempFolder::Read(disk / "B(S).rxl.tmp"), "the user's");
    QuorvelRoad road;
    ASSERT_TRUE(road.Load(Str((disk / "A(S).rxl").c_str())));
    EXPECT_EQ(road.Templates.Count(), 300);
}

}  // namespace
