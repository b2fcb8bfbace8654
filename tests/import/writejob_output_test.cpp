// The road file names kept for the host: fetching, emptying, refused indexes and names.
#include <gtest/gtest.h>

#include <string>

#include "import/writejob.h"
#include "qzxmli.h"

namespace {

std::string Text(const char16_t* text) {
    std::string out;
    for (; *text; ++text) out += *text < 0x80 ? static_cast<char>(*text) : '?';
    return out;
}

class ExtraOutputTest : public ::testing::Test {
protected:
    void SetUp() override { Drain(); }
    void TearDown() override { Drain(); }
    static void Drain() {
        char16_t buffer[260];
        while (int count = qzxmli_ExtraOutputFileCount()) qzxmli_GetExtraOutputFileName(buffer, count - 1);
    }
    static std::string Fetch(int index) {
        char16_t buffer[260];
        buffer[0] = u'x';
        qzxmli_GetExtraOutputFileName(buffer, index);
        return Text(buffer);
    }
};

TEST_F(ExtraOutputTest, FetchingTheLastNameEmptiesTheList) {
    writejob_AddExtraOutputFile("/jobs/A.rxl");
    writejob_AddExtraOutputFile("/jobs/B.rxl");
    EXPECT_EQ(Fetch(0), "/jobs/A.rxl");
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 2);
    EXPECT_EQ(Fetch(1), "/jobs/B.rxl");
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
    EXPECT_EQ(Fetch(0), "");
}

TEST_F(ExtraOutputTest, AnIndexOutsideTheListGivesAnEmptyNameAndChangesNothing) {
    writejob_AddExtraOutputFile("one");
    for (int index : {-1, 1, 2, -2147483647 - 1}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Fetch(index), "");
        EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 1);
    }
}

TEST_F(ExtraOutputTest, NamesOf260BytesOrMoreAreNotReturned) {
    const std::string fits(259, 'a');
    writejob_AddExtraOutputFile(fits.c_str());
    writejob_AddExtraOutputFile(std::string(260, 'b').c_str());
    EXPECT_EQ(Fetch(0), fits);
    // The last index empties the list even though its name is refused.
    EXPECT_EQ(Fetch(1), "");
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
}

TEST_F(ExtraOutputTest, NamesAreReturnedAsUtf16) {
    writejob_AddExtraOutputFile("Stra\xC3\x9F" "e.rxl");
    char16_t buffer[260];
    qzxmli_GetExtraOutputFileName(buffer, 0);
    EXPECT_EQ(std::u16string(buffer), u"Stra\u00DFe.rxl");
}

}  // namespace
