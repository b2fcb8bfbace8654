#include <gtest/gtest.h>

#include <string>

#include "foundation/kernel/ringbuf.h"

namespace {

class RingBuffer : public ::testing::Test {
protected:
    void Make(int capacity) { ASSERT_TRUE(ringbuf_Create(&buffer, capacity)); }
    void TearDown() override { ringbuf_Free(&buffer); }

    // The bytes held, oldest first, read without removing them.
    std::string Held() const {
        std::string held;
        unsigned char c = 0;
        for (int p = 1; ringbuf_Peek(buffer, p, &c); ++p) held += static_cast<char>(c);
        return held;
    }

    ringbuf_Buffer* buffer = nullptr;
};

TEST_F(RingBuffer, CreateAndFree) {
    ringbuf_Buffer* none = reinterpret_cast<ringbuf_Buffer*>(1);
    EXPECT_FALSE(ringbuf_Create(&none, 0));
    EXPECT_EQ(none, nullptr);
    EXPECT_FALSE(ringbuf_Create(&none, -3));

    Make(1);
    EXPECT_EQ(buffer->capacity, 1);
    EXPECT_EQ(ringbuf_Count(buffer), 0);
    EXPECT_FALSE(ringbuf_IsFull(buffer));
    ringbuf_Free(&buffer);
    EXPECT_EQ(buffer, nullptr);
    ringbuf_Free(&buffer);  // a null pointer is left alone
    ringbuf_Free(nullptr);
}

TEST_F(RingBuffer, WrapsAroundAtCapacityFour) {
    Make(4);
    EXPECT_TRUE(ringbuf_PutString(buffer, "abc"));
    unsigned char got[2] = {};
    ASSERT_TRUE(ringbuf_GetBytes(buffer, got, 2));
    EXPECT_EQ(got[0], 'a');
    EXPECT_EQ(got[1], 'b');
    EXPECT_TRUE(ringbuf_Put(buffer, 'd'));
    EXPECT_TRUE(ringbuf_Put(buffer, 'e'));
    EXPECT_TRUE(ringbuf_Put(buffer, 'f'));  // stored at index 1, past the end of storage
    EXPECT_EQ(ringbuf_Count(buffer), 4);
    EXPECT_TRUE(ringbuf_IsFull(buffer));
    unsigned char c = 0;
    ASSERT_TRUE(ringbuf_Peek(buffer, 1, &c));
    EXPECT_EQ(c, 'c');
    ASSERT_TRUE(ringbuf_Peek(buffer, 4, &c));
    EXPECT_EQ(c, 'f');

    EXPECT_FALSE(ringbuf_Put(buffer, 'g'));
    EXPECT_EQ(Held(), "cdef");

    std::string drained;
    while (ringbuf_Get(buffer, &c)) drained += static_cast<char>(c);
    EXPECT_EQ(drained, "cdef");
    EXPECT_EQ(ringbuf_Count(buffer), 0);
    EXPECT_FALSE(ringbuf_Get(buffer, &c));
}

TEST_F(RingBuffer, MultiByteOperationsAreAllOrNothing) {
    Make(6);
    ASSERT_TRUE(ringbuf_PutString(buffer, "xy"));
    EXPECT_FALSE(ringbuf_PutBytes(buffer, "12345", 5));  // 4 free
    EXPECT_FALSE(ringbuf_PutString(buffer, "12345"));
    EXPECT_EQ(Held(), "xy");
    EXPECT_TRUE(ringbuf_PutBytes(buffer, "1234", 4));
    EXPECT_TRUE(ringbuf_IsFull(buffer));

    char out[8] = {};
    EXPECT_FALSE(ringbuf_GetBytes(buffer, out, 7));
    EXPECT_EQ(out[0], 0);
    EXPECT_FALSE(ringbuf_Skip(buffer, 7));
    EXPECT_EQ(Held(), "xy1234");

    EXPECT_TRUE(ringbuf_Skip(buffer, 3));
    EXPECT_EQ(Held(), "234");
    EXPECT_TRUE(ringbuf_PutString(buffer, "ABC"));  // wraps
    EXPECT_EQ(Held(), "234ABC");
    EXPECT_TRUE(ringbuf_GetBytes(buffer, out, 6));
    EXPECT_EQ(std::string(out, 6), "234ABC");
}

TEST_F(RingBuffer, EmptyAndOutOfRangeRequests) {
    Make(3);
    EXPECT_TRUE(ringbuf_PutString(buffer, nullptr));
    EXPECT_TRUE(ringbuf_PutString(buffer, ""));
    EXPECT_TRUE(ringbuf_PutBytes(buffer, nullptr, 0));
    EXPECT_EQ(ringbuf_Count(buffer), 0);
    EXPECT_TRUE(ringbuf_Skip(buffer, 0));
    EXPECT_FALSE(ringbuf_Skip(buffer, 1));
    EXPECT_TRUE(ringbuf_GetBytes(buffer, nullptr, 0));

    ASSERT_TRUE(ringbuf_Put(buffer, 'q'));
    unsigned char c = 'z';
    EXPECT_FALSE(ringbuf_Peek(buffer, 0, &c));
    EXPECT_FALSE(ringbuf_Peek(buffer, -1, &c));
    EXPECT_FALSE(ringbuf_Peek(buffer, 2, &c));
    EXPECT_EQ(c, 'z');
    EXPECT_FALSE(ringbuf_PutBytes(buffer, "ab", -1));
    EXPECT_FALSE(ringbuf_GetBytes(buffer, &c, -1));
    EXPECT_FALSE(ringbuf_Skip(buffer, -1));
    EXPECT_EQ(Held(), "q");

    // A null buffer is refused, never touched.
    EXPECT_FALSE(ringbuf_Put(nullptr, 'a'));
    EXPECT_FALSE(ringbuf_Get(nullptr, &c));
    EXPECT_EQ(ringbuf_Count(nullptr), 0);
    EXPECT_FALSE(ringbuf_IsFull(nullptr));
}

}  // namespace
