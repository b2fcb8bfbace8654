#include <gtest/gtest.h>

#include <string>

#include "foundation/files/filehdr.h"
#include "foundation/files/path.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

// The first 48 bytes of every job file.
std::string JobHeaderBytes() {
    std::string bytes = "Quorvel Zentrovane Journal";
    bytes.resize(43, '\0');
    bytes += std::string("\x01\x00\x0C\x2D\x04", 5);
    return bytes;
}

TEST(FileHeader, JournalHeaderSerialisesToItsBytes) {
    filehdr_Class header(FILEHDR_Journal);
    WriteBuffer buffer(FILEHDR_SizeOnDisk, ENDIAN_Little);
    header.Serialise(buffer);
    ASSERT_EQ(buffer.Length(), 48);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.Data()), 48), JobHeaderBytes());
}

TEST(FileHeader, TitlesByTypeAndBadType) {
    RecordingEnvironment env;
    EXPECT_EQ(filehdr_Class(FILEHDR_Antenna).Title, "Quorvel Zentrovane Antenna");
    EXPECT_EQ(filehdr_Class(FILEHDR_Style).Title, "Quorvel Zentrovane Style");
    EXPECT_TRUE(env.assertions.empty());
    filehdr_Class bad(7);
    EXPECT_EQ(bad.Title, "");
    EXPECT_EQ(bad.FileType, 7);
    EXPECT_EQ(bad.Version[1], 45);
    ASSERT_EQ(env.assertions.size(), 1u);
    EXPECT_EQ(env.assertions[0].expression, "Bad file type");
    EXPECT_EQ(env.assertions[0].module, "Library/filehdr");
}

TEST(FileHeader, ParseAndCompare) {
    std::string bytes = JobHeaderBytes();
    ReadBuffer buffer(48, ENDIAN_Little, bytes.data());
    filehdr_Class header(FILEHDR_Style);
    int offset = 0;
    header.Parse(buffer, offset);
    EXPECT_EQ(offset, 48);
    EXPECT_EQ(header.Title, "Quorvel Zentrovane Journal");
    EXPECT_EQ(header.FileType, 1);
    EXPECT_EQ(header.Reserved, 0);
    EXPECT_EQ(header.Version[0], 12);
    EXPECT_EQ(header.Version[1], 45);
    EXPECT_EQ(header.Version[2], 4);
    EXPECT_TRUE(header.IsSame(filehdr_Class(FILEHDR_Journal)));

    filehdr_Class other(FILEHDR_Journal);
    other.Title = "something else";
    other.Reserved = 9;
    EXPECT_TRUE(header.IsSame(other));
    other.Version[2] = 3;
    EXPECT_FALSE(header.IsSame(other));
    EXPECT_FALSE(header.IsSame(filehdr_Class(FILEHDR_Antenna)));
}

TEST(FileHeader, HeaderWithoutTitle) {
    std::string bytes("\x01\x00\x0C\x2D\x04", 5);
    bytes.resize(48, 'x');
    ReadBuffer buffer(48, ENDIAN_Little, bytes.data());
    filehdr_Class header(FILEHDR_Style);
    int offset = 0;
    header.Parse(buffer, offset);
    EXPECT_EQ(offset, 5);
    EXPECT_EQ(header.Title, "");
    EXPECT_TRUE(header.IsSame(filehdr_Class(FILEHDR_Journal)));
}

class FileHeaderOnDisk : public ::testing::Test {
protected:
    Str In(const char* name) { return Str((tmp / name).c_str()); }
    TempFolder tmp;
    RecordingEnvironment env;
};

TEST_F(FileHeaderOnDisk, NewJobFileBeginsWithTheHeader) {
    file_Class file;
    ASSERT_TRUE(file.Create(In("a.job")));
    ASSERT_TRUE(filehdr_Write(file, filehdr_Class(FILEHDR_Journal)));
    EXPECT_TRUE(file.WriteAtEnd("journal", 7));
    filehdr_Class read(FILEHDR_Style);
    ASSERT_TRUE(filehdr_Read(file, read));
    EXPECT_EQ(read.FileType, 1);
    EXPECT_EQ(file.Tell(), 48);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(tmp / "a.job"), JobHeaderBytes() + "journal");
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST_F(FileHeaderOnDisk, ShortOrEmptyFilesHaveNoHeader) {
    for (size_t size : {size_t{0}, size_t{5}, size_t{47}}) {
        std::string name = "s" + std::to_string(size) + ".job";
        tmp.Write(name, JobHeaderBytes().substr(0, size));
        file_Class file(In(name.c_str()));
        ASSERT_TRUE(file.Open());
        filehdr_Class header(FILEHDR_Style);
        EXPECT_FALSE(filehdr_Read(file, header)) << size;
        EXPECT_EQ(header.FileType, 3);  // unchanged
        file.Close();
    }
}

TEST_F(FileHeaderOnDisk, ClosedFileIsReported) {
    file_Class file(In("x.job"));
    filehdr_Class header(FILEHDR_Journal);
    EXPECT_FALSE(filehdr_Read(file, header));
    EXPECT_FALSE(filehdr_Write(file, header));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"file.IsOpen ()", "file.IsOpen ()"}));
}

TEST_F(FileHeaderOnDisk, PathWrappers) {
    tmp.Write("a.txt", "A");
    EXPECT_TRUE(fileio_MovePath(In("a.txt"), In("b.txt")));
    EXPECT_FALSE(fileio_MovePath(In("a.txt"), In("b.txt")));
    EXPECT_TRUE(fileio_DeletePath(In("b.txt")));
    EXPECT_FALSE(fileio_DeletePath(In("b.txt")));
    ASSERT_EQ(env.systemErrors.size(), 1u);  // only the failed move; a missing file is quiet
    EXPECT_EQ(env.systemErrors[0].code, 2u);
}

}  // namespace
