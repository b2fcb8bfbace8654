#include "foundation/buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "support/recording_environment.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Written(const WriteBuffer& w) { return Bytes(w.Data(), w.Data() + w.Length()); }

ReadBuffer Reader(const Bytes& b, int order = ENDIAN_Little) {
    return ReadBuffer(static_cast<int>(b.size()), order, b.data());
}

// One value of every width: how it is written, how it is read back (as raw bits), the
// bits expected back, and its bytes in both orders.
struct WidthCase {
    const char* name;
    std::function<void(WriteBuffer&)> put;
    std::function<uint64_t(const ReadBuffer&, int&)> get;
    uint64_t value;
    Bytes little;
    Bytes big;
};

std::vector<WidthCase> WidthCases() {
    return {
        {"byte", [](WriteBuffer& w) { w.PutUInt8(0x1AB); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetUInt8(o); }, 0xAB, {0xAB}, {0xAB}},
        {"i8", [](WriteBuffer& w) { w.PutUInt8(static_cast<uint32_t>(-3)); },
         [](const ReadBuffer& r, int& o) { return static_cast<uint64_t>(int64_t{r.GetInt8(o)}); },
         static_cast<uint64_t>(-3), {0xFD}, {0xFD}},
        {"bool", [](WriteBuffer& w) { w.PutBool(true); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetBool(o); }, 1, {0x01}, {0x01}},
        {"u16", [](WriteBuffer& w) { w.PutUInt16(0x51234); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetUInt16(o); }, 0x1234, {0x34, 0x12},
         {0x12, 0x34}},
        {"i16", [](WriteBuffer& w) { w.PutInt16(-2); },
         [](const ReadBuffer& r, int& o) { return static_cast<uint64_t>(int64_t{r.GetInt16(o)}); },
         static_cast<uint64_t>(-2), {0xFE, 0xFF}, {0xFF, 0xFE}},
        {"u32", [](WriteBuffer& w) { w.PutUInt32(0xDEADBEEF); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetUInt32(o); }, 0xDEADBEEF,
         {0xEF, 0xBE, 0xAD, 0xDE}, {0xDE, 0xAD, 0xBE, 0xEF}},
        {"i32", [](WriteBuffer& w) { w.PutInt32(-100000); },
         [](const ReadBuffer& r, int& o) { return static_cast<uint64_t>(int64_t{r.GetInt32(o)}); },
         static_cast<uint64_t>(-100000), {0x60, 0x79, 0xFE, 0xFF}, {0xFF, 0xFE, 0x79, 0x60}},
        {"int64", [](WriteBuffer& w) { w.PutInt64(0x0102030405060708); },
         [](const ReadBuffer& r, int& o) { return static_cast<uint64_t>(r.GetInt64(o)); }, 0x0102030405060708,
         {8, 7, 6, 5, 4, 3, 2, 1}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"int64 negative", [](WriteBuffer& w) { w.PutInt64(-2); },
         [](const ReadBuffer& r, int& o) { return static_cast<uint64_t>(r.GetInt64(o)); },
         static_cast<uint64_t>(-2), {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}},
        {"f32", [](WriteBuffer& w) { w.PutFloat(1.0f); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return std::bit_cast<uint32_t>(r.GetFloat(o)); },
         0x3F800000, {0x00, 0x00, 0x80, 0x3F}, {0x3F, 0x80, 0x00, 0x00}},
        {"f64", [](WriteBuffer& w) { w.PutDouble(1.0); },
         [](const ReadBuffer& r, int& o) { return std::bit_cast<uint64_t>(r.GetDouble(o)); },
         0x3FF0000000000000, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, {0x3F, 0xF0, 0, 0, 0, 0, 0, 0}},
        {"f64 null", [](WriteBuffer& w) { w.PutDouble(MATHS_Null); },
         [](const ReadBuffer& r, int& o) { return std::bit_cast<uint64_t>(r.GetDouble(o)); },
         0x7FE1CCF385EBC8A0, {0xA0, 0xC8, 0xEB, 0x85, 0xF3, 0xCC, 0xE1, 0x7F},
         {0x7F, 0xE1, 0xCC, 0xF3, 0x85, 0xEB, 0xC8, 0xA0}},
        {"string", [](WriteBuffer& w) { w.PutStr(Str("abc")); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetString(o) == "abc"; }, 1,
         {0x61, 0x62, 0x63, 0x00}, {0x61, 0x62, 0x63, 0x00}},
        {"empty string", [](WriteBuffer& w) { w.PutStr(Str()); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetString(o).Length() == 0; }, 1, {0x00},
         {0x00}},
        {"fixed(3) cut", [](WriteBuffer& w) { w.PutFixedString("abcdef", 3); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetFixedString(o, 3) == "abc"; }, 1,
         {0x61, 0x62, 0x63}, {0x61, 0x62, 0x63}},
        {"fixed(5) padded", [](WriteBuffer& w) { w.PutFixedString("ab", 5); },
         [](const ReadBuffer& r, int& o) -> uint64_t { return r.GetFixedString(o, 5) == "ab"; }, 1,
         {0x61, 0x62, 0, 0, 0}, {0x61, 0x62, 0, 0, 0}},
        {"bytes(3)", [](WriteBuffer& w) { w.PutBytes("\x03\x02\x01", 3); },
         [](const ReadBuffer& r, int& o) -> uint64_t {
             uint8_t d[3] = {};
             r.GetBytes(o, d, 3);
             return d[0] == 3 && d[1] == 2 && d[2] == 1;
         },
         1, {3, 2, 1}, {3, 2, 1}},
    };
}

TEST(Buffer, EveryWidthHasItsBytesInBothOrdersAndReadsBack) {
    RecordingEnvironment rec;
    for (const WidthCase& c : WidthCases()) {
        for (int order : {ENDIAN_Little, ENDIAN_Big}) {
            SCOPED_TRACE(std::string(c.name) + (order == ENDIAN_Little ? " little" : " big"));
            WriteBuffer w(order);
            c.put(w);
            const Bytes& expected = order == ENDIAN_Little ? c.little : c.big;
            EXPECT_EQ(Written(w), expected);
            ReadBuffer r = Reader(expected, order);
            int offset = 0;
            EXPECT_EQ(c.get(r, offset), c.value);
            EXPECT_EQ(offset, static_cast<int>(expected.size()));
            EXPECT_FALSE(r.Failed());
        }
    }
    EXPECT_TRUE(rec.assertions.empty()) << rec.assertions[0].expression;
}

TEST(Buffer, ReadsInterpretBytesByWidth) {
    RecordingEnvironment rec;
    ReadBuffer le = Reader({0xFE, 0xFF});
    int o = 0;
    EXPECT_EQ(le.GetUInt16(o), 65534);
    o = 0;
    EXPECT_EQ(le.GetInt16(o), -2);
    // u24: 01 02 03 is 0x030201 little-endian and 0x010203 big-endian, top byte 0.
    o = 0;
    EXPECT_EQ(Reader({1, 2, 3}).GetUInt24(o), 0x030201u);
    EXPECT_EQ(o, 3);
    o = 0;
    EXPECT_EQ(Reader({1, 2, 3}, ENDIAN_Big).GetUInt24(o), 0x010203u);
    o = 0;
    EXPECT_EQ(Reader({0xFF, 0xFF, 0xFF}).GetUInt24(o), 0xFFFFFFu);
    // Any non-zero byte is true; the writer only ever writes 0 or 1.
    o = 0;
    EXPECT_TRUE(Reader({2}).GetBool(o));
    WriteBuffer w(ENDIAN_Little);
    w.PutBool(false);
    w.PutBool(true);
    EXPECT_EQ(Written(w), (Bytes{0, 1}));
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Buffer, StringsStopAtTheirFirstZeroByte) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    w.PutStr(Str("ab\0cd", 5));  // a Str holding a zero byte is written up to it
    w.PutString("xyz");
    w.PutString("");
    w.PutFixedString("abc", 43);
    Bytes expected = {'a', 'b', 0, 'x', 'y', 'z', 0, 0, 'a', 'b', 'c'};
    expected.resize(expected.size() + 40, 0);
    EXPECT_EQ(Written(w), expected);

    ReadBuffer r = Reader(expected);
    int o = 0;
    EXPECT_EQ(r.GetString(o), "ab");
    EXPECT_EQ(o, 3);
    EXPECT_EQ(r.GetString(o), "xyz");
    Str empty = r.GetString(o);
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(o, 8);
    EXPECT_EQ(r.GetFixedString(o, 43), "abc");
    EXPECT_EQ(o, 51);
    EXPECT_TRUE(r.IsAtEnd(o));
    // The second entry point reads the same texts into the caller's Str.
    Str into("old");
    o = 0;
    r.GetStringInto(o, into);
    EXPECT_EQ(into, "ab");
    EXPECT_EQ(o, 3);
    r.GetStringInto(o, into);
    EXPECT_EQ(into, "xyz");
    r.GetStringInto(o, into);
    EXPECT_EQ(into.Length(), 0);
    EXPECT_EQ(o, 8);

    // A fixed field holding 61 00 62 ... reads as "a" and still moves by its width.
    ReadBuffer f = Reader({'a', 0, 'b', 'c', 'd', 'e', 'f', 'g'});
    o = 0;
    EXPECT_EQ(f.GetFixedString(o, 8), "a");
    EXPECT_EQ(o, 8);
    // The fill byte pads; every caller passes 0.
    WriteBuffer p(ENDIAN_Little);
    p.PutFixedString("ab", 4, ' ');
    EXPECT_EQ(Written(p), (Bytes{'a', 'b', ' ', ' '}));
    EXPECT_TRUE(rec.assertions.empty());
}

// The same bytes whether a value fits in the block, ends at its last byte, or needs it
// to grow: each width written after every count of leading bytes around the end of
// the first block of 256.
TEST(Buffer, EveryWidthKeepsItsBytesAcrossTheEndOfTheBlock) {
    RecordingEnvironment rec;
    for (const WidthCase& c : WidthCases()) {
        for (int order : {ENDIAN_Little, ENDIAN_Big}) {
            const Bytes& expected = order == ENDIAN_Little ? c.little : c.big;
            for (int lead = 246; lead <= 257; ++lead) {
                SCOPED_TRACE(std::string(c.name) + (order == ENDIAN_Little ? " little " : " big ") + std::to_string(lead));
                WriteBuffer w(order);
                for (int i = 0; i < lead; ++i) w.PutUInt8(static_cast<uint32_t>(i));
                c.put(w);
                ASSERT_EQ(w.Length(), lead + static_cast<int>(expected.size()));
                EXPECT_EQ(Bytes(w.Data() + lead, w.Data() + w.Length()), expected);
                for (int i = 0; i < lead; ++i) ASSERT_EQ(w.Data()[i], static_cast<uint8_t>(i));
            }
        }
    }
    EXPECT_TRUE(rec.assertions.empty()) << rec.assertions[0].expression;
}

TEST(Buffer, WriterGrowsBy256TimesPowersOf8) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    EXPECT_EQ(w.Capacity(), 0);
    EXPECT_EQ(w.Data(), nullptr);
    w.PutUInt8(0);
    EXPECT_EQ(w.Capacity(), 256);
    for (int i = 1; i < 256; ++i) w.PutUInt8(static_cast<uint32_t>(i));
    EXPECT_EQ(w.Capacity(), 256);
    w.PutUInt8(0xAA);
    EXPECT_EQ(w.Capacity(), 2048);
    ASSERT_EQ(w.Length(), 257);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(w.Data()[i], i);
    EXPECT_EQ(w.Data()[256], 0xAA);

    EXPECT_EQ(WriteBuffer(48, ENDIAN_Little).Capacity(), 256);
    EXPECT_EQ(WriteBuffer(48, ENDIAN_Little).Length(), 0);
    EXPECT_EQ(WriteBuffer(300, ENDIAN_Little).Capacity(), 2048);

    struct Case { int n, capacity; };
    const Case cases[] = {{1, 256},        {256, 256},         {257, 2048},       {2048, 2048},
                          {2049, 16384},   {16385, 131072},    {131073, 1048576}, {1048577, 8388608}};
    for (const Case& c : cases) {
        WriteBuffer r(ENDIAN_Little);
        r.Reserve(c.n);
        EXPECT_EQ(r.Capacity(), c.capacity) << c.n;
    }
    // Reserve counts up from 256 each time and never shrinks.
    WriteBuffer big(ENDIAN_Little);
    big.Reserve(3000);
    big.Reserve(2000);
    EXPECT_EQ(big.Capacity(), 16384);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"newLength >= _AllocatedLength"});
}

TEST(Buffer, ReserveRefusesZeroNegativeAndOversizedRequests) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    w.PutUInt32(7);
    struct Case { int n; const char* report; };
    const Case cases[] = {{0, "n > 0"},
                          {-5, "n > 0"},
                          {WRITEBUFFER_MaxLength + 1, "n <= WRITEBUFFER_MaxLength"},
                          {INT_MAX, "n <= WRITEBUFFER_MaxLength"}};
    for (const Case& c : cases) {
        rec.Clear();
        w.Reserve(c.n);
        EXPECT_EQ(rec.Expressions(), std::vector<std::string>{c.report}) << c.n;
        EXPECT_EQ(rec.assertions[0].module, "Library/buffer");
        EXPECT_EQ(w.Capacity(), 256);
        EXPECT_EQ(w.Length(), 4);
    }
    EXPECT_FALSE(w.Failed());
}

TEST(Buffer, AppendsBeyondTheLargestBlockAreDroppedAndMarkTheWriter) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    w.PutUInt8(1);
    uint8_t source[1] = {0};
    w.PutBytes(source, WRITEBUFFER_MaxLength);  // 1 + 2^29 bytes would not fit
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"_DataLength + n <= WRITEBUFFER_MaxLength"});
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(w.Length(), 1);
    EXPECT_EQ(w.Capacity(), 256);
    // The mark travels with the bytes it describes.
    EXPECT_TRUE(WriteBuffer(w).Failed());
}

// A writer that only measures: appends that would grow its block past the limit are
// dropped quietly; ones that fit the room it has are kept.
TEST(Buffer, ALimitStopsTheBlockGrowingWithoutAReport) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    w.SetLimit(300);
    const std::string text(2000, 'x');
    w.PutStr(Str(text.c_str()));
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(w.Length(), 0);
    EXPECT_EQ(w.Capacity(), 0);
    w.Clear();
    w.PutBytes(text.data(), 250);
    w.PutBytes(text.data(), 40);  // 290: grows the block to 2048
    EXPECT_FALSE(w.Failed());
    w.PutBytes(text.data(), 100);  // past the limit, within the room: kept
    EXPECT_FALSE(w.Failed());
    EXPECT_EQ(w.Length(), 390);
    w.PutBytes(text.data(), 2000);  // would grow the block again
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(w.Length(), 390);
    EXPECT_EQ(w.Capacity(), 2048);
    EXPECT_TRUE(rec.Expressions().empty());
}

TEST(Buffer, NegativeCountsAndNullSourcesAppendNothing) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Little);
    w.PutBytes("abc", -1);
    w.PutFixedString("abc", -1);
    w.PutBytes(nullptr, 4);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"n >= 0", "n >= 0", "bytes"}));
    EXPECT_EQ(w.Length(), 0);
    // A null text keeps the layout in step: it is written as the empty text.
    rec.Clear();
    w.PutString(nullptr);
    w.PutFixedString(nullptr, 2);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"text", "text"}));
    EXPECT_EQ(Written(w), (Bytes{0, 0, 0}));
    // Empty appends are no appends.
    rec.Clear();
    WriteBuffer e(ENDIAN_Little);
    e.PutBytes(nullptr, 0);
    e.PutFixedString("x", 0);
    EXPECT_EQ(e.Capacity(), 0);
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Buffer, UndefinedOrderIsReportedAndProceedsBigEndian) {
    RecordingEnvironment rec;
    WriteBuffer w;
    w.PutUInt16(0x1234);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"data_Endian != ENDIAN_Undefined"});
    // Doubles, floats and whole buffers make no such test.
    rec.Clear();
    w.PutDouble(1.0);
    w.PutFloat(1.0f);
    w.PutBuffer(w);
    EXPECT_TRUE(rec.assertions.empty());
    EXPECT_EQ(Written(w).size(), 28u);
    EXPECT_EQ(Written(w)[0], 0x12);
    EXPECT_EQ(Written(w)[2], 0x3F);

    ReadBuffer r(2, ENDIAN_Undefined, "\x12\x34");
    rec.Clear();
    int o = 0;
    EXPECT_EQ(r.GetUInt16(o), 0x1234);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"data_Endian != ENDIAN_Undefined"});
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(ReadBuffer().Endian(), ENDIAN_Undefined);
}

TEST(Buffer, ReadPastTheDataIsReportedNeutralAndStillAdvances) {
    RecordingEnvironment rec;
    ReadBuffer r = Reader({1, 2, 3});
    struct Case { std::function<uint64_t(int&)> get; int width; const char* report; };
    const Case cases[] = {
        {[&](int& o) -> uint64_t { return r.GetUInt8(o); }, 1, "(Offset + 1) <= _DataLength"},
        {[&](int& o) -> uint64_t { return static_cast<uint8_t>(r.GetInt8(o)); }, 1, "(Offset + 1) <= _DataLength"},
        {[&](int& o) -> uint64_t { return r.GetBool(o); }, 1, "(Offset + 1) <= _DataLength"},
        {[&](int& o) -> uint64_t { return r.GetUInt16(o); }, 2, "(Offset + 2) <= _DataLength"},
        {[&](int& o) -> uint64_t { return static_cast<uint16_t>(r.GetInt16(o)); }, 2, "(Offset + 2) <= _DataLength"},
        {[&](int& o) -> uint64_t { return r.GetUInt24(o); }, 3, "(Offset + 3) <= _DataLength"},
        {[&](int& o) -> uint64_t { return r.GetUInt32(o); }, 4, "(Offset + 4) <= _DataLength"},
        {[&](int& o) -> uint64_t { return static_cast<uint32_t>(r.GetInt32(o)); }, 4, "(Offset + 4) <= _DataLength"},
        {[&](int& o) { return static_cast<uint64_t>(r.GetInt64(o)); }, 8, "(Offset + 8) <= _DataLength"},
        {[&](int& o) -> uint64_t { return std::bit_cast<uint32_t>(r.GetFloat(o)); }, 4,
         "(Offset + (int) sizeof (float)) <= _DataLength"},
        {[&](int& o) { return std::bit_cast<uint64_t>(r.GetDouble(o)); }, 8,
         "(Offset + (int) sizeof (double)) <= _DataLength"},
        {[&](int& o) -> uint64_t { return r.GetFixedString(o, 5).Length(); }, 5, "Offset + n <= _DataLength"},
        {[&](int& o) -> uint64_t {
             uint8_t d[5] = {9, 9, 9, 9, 9};
             r.GetBytes(o, d, 5);
             return d[0] == 9 ? 0 : 1;  // a failed read leaves the destination alone
         },
         5, "Offset + n <= _DataLength"},
    };
    for (const Case& c : cases) {
        // Starting inside the data with too few bytes left, then again past the end.
        for (int start : {std::max(0, 3 - c.width + 1), 3}) {
            rec.Clear();
            r.ResetFailed();
            int o = start;
            EXPECT_EQ(c.get(o), 0u) << c.report << " at " << start;
            EXPECT_EQ(o, start + c.width);
            EXPECT_EQ(rec.Expressions(), std::vector<std::string>{c.report});
            EXPECT_TRUE(r.Failed());
        }
    }
}

TEST(Buffer, FailedStaysSetUntilTheReaderIsReset) {
    RecordingEnvironment rec;
    ReadBuffer r = Reader({1, 0, 2, 0});
    int o = 0;
    EXPECT_EQ(r.GetUInt16(o), 1);
    EXPECT_EQ(r.GetUInt32(o), 0u);
    EXPECT_TRUE(r.Failed());
    o = 0;
    EXPECT_EQ(r.GetUInt16(o), 1);  // a later good read does not clear the mark
    EXPECT_TRUE(r.Failed());
    r.ResetFailed();
    EXPECT_FALSE(r.Failed());
    r.GetUInt32(o);
    r.Allocate(4);  // new data starts clean
    EXPECT_FALSE(r.Failed());
    r.GetUInt8(o);
    ReadBuffer copy(r);
    EXPECT_FALSE(copy.Failed());
    r = copy;
    EXPECT_FALSE(r.Failed());
}

TEST(Buffer, EmptyReaderReportsLengthAndBlock) {
    RecordingEnvironment rec;
    ReadBuffer r(ENDIAN_Little);
    int o = 0;
    EXPECT_EQ(r.GetDouble(o), 0.0);
    EXPECT_EQ(o, 8);
    EXPECT_EQ(rec.Expressions(),
              (std::vector<std::string>{"(Offset + (int) sizeof (double)) <= _DataLength", "_Buffer"}));
    EXPECT_TRUE(r.Failed());
    EXPECT_TRUE(r.IsAtEnd(0));
}

TEST(Buffer, NegativeOffsetsAndCountsTouchNothing) {
    RecordingEnvironment rec;
    ReadBuffer r = Reader({1, 2, 3, 4});
    int o = -1;
    EXPECT_EQ(r.GetUInt16(o), 0);
    EXPECT_EQ(o, 1);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"Offset >= 0"});
    EXPECT_TRUE(r.Failed());

    // A negative count is refused without moving the offset backwards.
    rec.Clear();
    uint8_t d[4] = {};
    o = 2;
    r.GetBytes(o, d, -3);
    EXPECT_EQ(r.GetFixedString(o, -1).Length(), 0);
    EXPECT_EQ(o, 2);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"n >= 0", "n >= 0"}));

    // A huge count or offset saturates instead of wrapping negative.
    rec.Clear();
    o = 2;
    r.GetBytes(o, d, INT_MAX);
    EXPECT_EQ(o, INT_MAX);
    EXPECT_EQ(r.GetUInt32(o), 0u);
    EXPECT_EQ(o, INT_MAX);
    EXPECT_EQ(rec.Expressions(),
              (std::vector<std::string>{"Offset + n <= _DataLength", "(Offset + 4) <= _DataLength"}));
    EXPECT_EQ(d[0], 0);
    o = INT_MAX;
    EXPECT_EQ(r.GetString(o).Length(), 0);
    EXPECT_EQ(o, INT_MAX);
    o = -7;
    EXPECT_EQ(r.GetString(o).Length(), 0);
    EXPECT_EQ(o, -6);
}

TEST(Buffer, StringWithoutTerminatorStopsAtTheEndOfTheBlock) {
    RecordingEnvironment rec;
    ReadBuffer r = Reader({'a', 'b', 0, 'c', 'd'});
    int o = 0;
    EXPECT_EQ(r.GetString(o), "ab");
    EXPECT_FALSE(r.Failed());
    EXPECT_EQ(r.GetString(o).Length(), 0);
    EXPECT_EQ(o, 6);  // after where the missing terminator would be
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"Offset <= _DataLength"});
    EXPECT_TRUE(r.Failed());
    rec.Clear();
    EXPECT_EQ(r.GetString(o).Length(), 0);
    EXPECT_EQ(o, 7);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"Offset <= _DataLength"});
    rec.Clear();
    Str into("old");
    o = 3;
    r.GetStringInto(o, into);
    EXPECT_EQ(into.Length(), 0) << "a failed read empties the caller's text";
    EXPECT_EQ(o, 6);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"Offset <= _DataLength"});

    rec.Clear();
    ReadBuffer none(ENDIAN_Little);
    o = 0;
    none.GetString(o);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"_Buffer", "Offset <= _DataLength"}));
}

TEST(Buffer, GetBytesWithoutDestinationSkips) {
    ReadBuffer r = Reader({1, 2, 3, 4, 5, 6});
    int o = 0;
    r.GetBytes(o, nullptr, 5);
    EXPECT_EQ(o, 5);
    EXPECT_EQ(r.GetUInt8(o), 6);
    EXPECT_TRUE(r.IsAtEnd(o));
    EXPECT_TRUE(r.IsAtEnd(o + 10));
    EXPECT_FALSE(r.IsAtEnd(5));
}

TEST(Buffer, SetPatchesWrittenBytesOnly) {
    RecordingEnvironment rec;
    for (int order : {ENDIAN_Big, ENDIAN_Little}) {
        WriteBuffer w(order);
        w.PutUInt32(0);
        w.SetUInt16(0x1234, 0);
        EXPECT_EQ(Written(w), order == ENDIAN_Big ? (Bytes{0x12, 0x34, 0, 0}) : (Bytes{0x34, 0x12, 0, 0}));
        w.SetUInt32(0xA1B2C3D4, 0);
        w.SetUInt8(0x1FF, 3);
        EXPECT_EQ(Written(w), order == ENDIAN_Big ? (Bytes{0xA1, 0xB2, 0xC3, 0xFF})
                                                  : (Bytes{0xD4, 0xC3, 0xB2, 0xFF}));
        EXPECT_EQ(w.Length(), 4);
    }
    EXPECT_TRUE(rec.assertions.empty());

    WriteBuffer w(ENDIAN_Little);
    w.PutUInt32(0x04030201);
    const Bytes before = Written(w);
    w.SetUInt8(9, 4);
    w.SetUInt16(9, 3);
    w.SetUInt32(9, 1);
    w.SetUInt32(9, -1);
    w.SetUInt16(9, INT_MAX);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"place < _DataLength", "place + 2 <= _DataLength",
                                                           "place + 4 <= _DataLength", "place >= 0",
                                                           "place + 2 <= _DataLength"}));
    EXPECT_EQ(Written(w), before);
    EXPECT_EQ(w.Length(), 4);

    rec.Clear();
    WriteBuffer empty(ENDIAN_Little);
    empty.SetUInt8(1, 0);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"place < _DataLength"});
}

TEST(Buffer, WriterCopiesFollowTheirLength) {
    RecordingEnvironment rec;
    WriteBuffer w(ENDIAN_Big);
    w.Reserve(5000);
    w.PutUInt16(0x0102);
    WriteBuffer copy(w);
    EXPECT_EQ(copy.Capacity(), 256);
    EXPECT_EQ(copy.Endian(), ENDIAN_Big);
    EXPECT_EQ(Written(copy), (Bytes{1, 2}));
    EXPECT_NE(copy.Data(), w.Data());

    WriteBuffer empty(ENDIAN_Little);
    WriteBuffer emptyCopy(empty);
    EXPECT_EQ(emptyCopy.Capacity(), 0);

    WriteBuffer assigned(ENDIAN_Little);
    assigned.PutUInt32(5);
    assigned = w;
    EXPECT_EQ(assigned.Endian(), ENDIAN_Big);
    EXPECT_EQ(Written(assigned), (Bytes{1, 2}));
    assigned = empty;
    EXPECT_EQ(assigned.Length(), 0);
    EXPECT_EQ(assigned.Capacity(), 0);
    EXPECT_EQ(assigned.Endian(), ENDIAN_Little);
    auto& self = w;
    w = self;
    EXPECT_EQ(Written(w), (Bytes{1, 2}));

    uint8_t* data = w.CopyData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 1);
    EXPECT_EQ(data[1], 2);
    delete[] data;
    EXPECT_EQ(empty.CopyData(), nullptr);
    EXPECT_TRUE(rec.assertions.empty());
}

TEST(Buffer, PutBufferAppendsAnotherWriterOrItself) {
    WriteBuffer a(ENDIAN_Little), b(ENDIAN_Little);
    a.PutUInt8(1);
    b.PutUInt16(0x0302);
    a.PutBuffer(b);
    EXPECT_EQ(Written(a), (Bytes{1, 2, 3}));
    // Doubling itself across a growth of the block.
    WriteBuffer s(ENDIAN_Little);
    for (int i = 0; i < 200; ++i) s.PutUInt8(static_cast<uint32_t>(i));
    s.PutBuffer(s);
    ASSERT_EQ(s.Length(), 400);
    EXPECT_EQ(s.Capacity(), 2048);
    for (int i = 0; i < 400; ++i) ASSERT_EQ(s.Data()[i], i % 200);
    a.PutBuffer(WriteBuffer(ENDIAN_Little));
    EXPECT_EQ(a.Length(), 3);
}

TEST(Buffer, ReaderCopiesAndComparisons) {
    RecordingEnvironment rec;
    ReadBuffer r = Reader({1, 2, 3}, ENDIAN_Big);
    ReadBuffer copy(r);
    EXPECT_EQ(copy.Length(), 3);
    EXPECT_EQ(copy.Endian(), ENDIAN_Big);
    EXPECT_NE(copy.Data(), r.Data());
    EXPECT_TRUE(copy == r);
    // Only this reader's length is compared: a longer other with the same start is equal.
    ReadBuffer longer = Reader({1, 2, 3, 4});
    EXPECT_TRUE(r == longer);
    EXPECT_FALSE(Reader({1, 2, 4}) == longer);
    EXPECT_TRUE(rec.assertions.empty());
    // A shorter other is reported and never read beyond its block.
    EXPECT_FALSE(longer == r);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"_DataLength <= other._DataLength"});

    rec.Clear();
    ReadBuffer empty(ENDIAN_Little);
    ReadBuffer emptyCopy(empty);
    EXPECT_EQ(emptyCopy.Length(), 0);
    EXPECT_EQ(emptyCopy.Data(), nullptr);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"n > 0"});

    rec.Clear();
    ReadBuffer assigned = Reader({9});
    assigned = r;
    EXPECT_TRUE(assigned == r);
    EXPECT_EQ(assigned.Endian(), ENDIAN_Big);
    assigned = empty;
    EXPECT_EQ(assigned.Length(), 0);
    EXPECT_EQ(assigned.Data(), nullptr);
    EXPECT_EQ(assigned.Endian(), ENDIAN_Little);
    auto& self = r;
    r = self;
    EXPECT_EQ(r.Length(), 3);
    EXPECT_TRUE(rec.assertions.empty());

    ReadBuffer sized(16, ENDIAN_Little);
    EXPECT_EQ(sized.Length(), 16);
    ASSERT_NE(sized.Data(), nullptr);
    sized.Allocate(0);
    EXPECT_EQ(sized.Length(), 0);
    EXPECT_EQ(sized.Data(), nullptr);
    EXPECT_EQ(rec.Expressions(), std::vector<std::string>{"n > 0"});
    // A size read from a damaged file never drives a huge allocation.
    rec.Clear();
    sized.Allocate(WRITEBUFFER_MaxLength + 1);
    sized.Allocate(-1);
    EXPECT_EQ(sized.Length(), 0);
    EXPECT_EQ(rec.Expressions(), (std::vector<std::string>{"n <= WRITEBUFFER_MaxLength", "n > 0"}));
}

// A record-shaped round trip: mixed fields, then a length patched in front.
TEST(Buffer, RecordRoundTrip) {
    WriteBuffer w(ENDIAN_Little);
    w.PutUInt32(0);  // length, patched below
    w.PutUInt16(2);
    w.PutDouble(MATHS_Null);
    w.PutStr(Str("Point 1"));
    w.PutBool(true);
    w.PutInt32(-42);
    w.PutFixedString("code", 8);
    w.SetUInt32(static_cast<uint32_t>(w.Length()), 0);

    ReadBuffer r(w.Length(), ENDIAN_Little, w.Data());
    int o = 0;
    EXPECT_EQ(r.GetUInt32(o), static_cast<uint32_t>(w.Length()));
    EXPECT_EQ(r.GetUInt16(o), 2);
    EXPECT_TRUE(maths_IsNull(r.GetDouble(o)));
    EXPECT_EQ(r.GetString(o), "Point 1");
    EXPECT_TRUE(r.GetBool(o));
    EXPECT_EQ(r.GetInt32(o), -42);
    EXPECT_EQ(r.GetFixedString(o, 8), "code");
    EXPECT_TRUE(r.IsAtEnd(o));
    EXPECT_FALSE(r.Failed());
}

}  // namespace
