#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/memcheck.h"
#include "records/jobheader.h"
#include "records/recordheap.h"

namespace {

struct Space {
    unsigned char* bytes;
    std::size_t size;
    unsigned char mark;
};

Space Take(std::size_t size, unsigned char mark) {
    Space s{static_cast<unsigned char*>(dbRecord_Heap::Allocate(size)), size, mark};
    std::memset(s.bytes, mark, size);
    return s;
}

bool Intact(const Space& s) {
    for (std::size_t i = 0; i < s.size; ++i)
        if (s.bytes[i] != s.mark) return false;
    return true;
}

// Space handed out twice, or overlapping, shows as an overwritten mark. Enough space is
// taken to need more than one block of pages, and every size class and the general heap
// are met, with space given back and taken again in between.
TEST(RecordHeap, SpaceStaysApartAcrossSizesAndReuse) {
    const std::size_t before = dbRecord_Heap::LiveCount();
    const std::size_t sizes[] = {1, 8, 15, 16, 17, 96, 176, 1000, 1024, 1025, 3000};
    std::vector<Space> held;
    for (int round = 0; round < 1500; ++round)
        for (std::size_t size : sizes) held.push_back(Take(size, static_cast<unsigned char>(held.size() * 7 + 1)));
    for (const Space& s : held) ASSERT_TRUE(Intact(s)) << s.size;
    // Every other one back, then as many taken again (from the freed space).
    for (std::size_t i = 0; i < held.size(); i += 2) {
        dbRecord_Heap::Free(held[i].bytes, held[i].size);
        held[i] = Take(held[i].size, static_cast<unsigned char>(held[i].mark + 3));
    }
    for (const Space& s : held) ASSERT_TRUE(Intact(s)) << s.size;
    for (const Space& s : held) dbRecord_Heap::Free(s.bytes, s.size);
    EXPECT_EQ(before, dbRecord_Heap::LiveCount());
    dbRecord_Heap::Free(nullptr, 16);

    // With nothing left the space starts over, and works as before.
    Space again = Take(176, 0x5A);
    EXPECT_TRUE(Intact(again));
    dbRecord_Heap::Free(again.bytes, again.size);
    EXPECT_EQ(before, dbRecord_Heap::LiveCount());
}

TEST(RecordHeap, RecordsLiveThereAndThreadsShareIt) {
    const std::size_t before = dbRecord_Heap::LiveCount();
    {
        auto* record = new db_JobHeader;
        if (!platform_MemoryChecksActive()) {
            EXPECT_EQ(before + 1, dbRecord_Heap::LiveCount());
        }
        dbRecord_Class* copy = record->Clone();
        ASSERT_NE(nullptr, copy);
        delete record;
        delete copy;
    }
    EXPECT_EQ(before, dbRecord_Heap::LiveCount());

    auto churn = [](unsigned char mark) {
        std::vector<Space> held;
        bool intact = true;
        for (int i = 0; i < 20000; ++i) {
            held.push_back(Take(16 + (i % 12) * 16, mark));
            if (held.size() > 64) {
                intact = intact && Intact(held.front());
                dbRecord_Heap::Free(held.front().bytes, held.front().size);
                held.erase(held.begin());
            }
        }
        for (const Space& s : held) {
            intact = intact && Intact(s);
            dbRecord_Heap::Free(s.bytes, s.size);
        }
        return intact;
    };
    bool intact[4] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back([&, t] { intact[t] = churn(static_cast<unsigned char>(0x11 * (t + 1))); });
    for (std::thread& t : threads) t.join();
    for (bool each : intact) EXPECT_TRUE(each);
    EXPECT_EQ(before, dbRecord_Heap::LiveCount());
}

}  // namespace
