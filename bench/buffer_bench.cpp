// Byte buffers: a million mixed fields (the widths a record body uses) written to a
// little-endian WriteBuffer and read back from a ReadBuffer.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "foundation/buffer.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr int kFields = 1000000;
constexpr int kKinds = 10;  // one round of the mix below

void WriteFields(WriteBuffer& w) {
    const Str name("Point 1042");
    for (int i = 0; i < kFields / kKinds; ++i) {
        w.PutUInt16(static_cast<uint32_t>(i));
        w.PutUInt32(static_cast<uint32_t>(i) * 7u);
        w.PutInt32(-i);
        w.PutDouble(i * 0.25);
        w.PutDouble(MATHS_Null);
        w.PutBool((i & 1) != 0);
        w.PutUInt8(static_cast<uint32_t>(i));
        w.PutInt64(static_cast<int64_t>(i) << 20);
        w.PutStr(name);
        w.PutFixedString("code", 8);
    }
}

// Sums what it reads so nothing can be optimised away; the sum is checked.
double ReadFields(const ReadBuffer& r) {
    double sum = 0.0;
    int o = 0;
    for (int i = 0; i < kFields / kKinds; ++i) {
        sum += r.GetUInt16(o);
        sum += r.GetUInt32(o);
        sum += r.GetInt32(o);
        sum += r.GetDouble(o);
        sum += maths_IsNull(r.GetDouble(o)) ? 1.0 : 0.0;
        sum += r.GetBool(o) ? 1.0 : 0.0;
        sum += r.GetUInt8(o);
        sum += static_cast<double>(r.GetInt64(o));
        sum += r.GetString(o).Length();
        sum += r.GetFixedString(o, 8).Length();
    }
    if (o != r.Length() || r.Failed()) std::abort();
    return sum;
}

void BM_WriteMillionFields(benchmark::State& state) {
    int64_t bytes = 0;
    for (auto _ : state) {
        WriteBuffer w(ENDIAN_Little);
        WriteFields(w);
        benchmark::DoNotOptimize(w.Data());
        bytes += w.Length();
    }
    state.SetItemsProcessed(state.iterations() * kFields);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteMillionFields)->Unit(benchmark::kMillisecond);

void BM_ReadMillionFields(benchmark::State& state) {
    WriteBuffer w(ENDIAN_Little);
    WriteFields(w);
    ReadBuffer r(w.Length(), ENDIAN_Little, w.Data());
    for (auto _ : state) benchmark::DoNotOptimize(ReadFields(r));
    state.SetItemsProcessed(state.iterations() * kFields);
    state.SetBytesProcessed(state.iterations() * r.Length());
}
BENCHMARK(BM_ReadMillionFields)->Unit(benchmark::kMillisecond);

void BM_WriteAndReadMillionFields(benchmark::State& state) {
    for (auto _ : state) {
        WriteBuffer w(ENDIAN_Little);
        WriteFields(w);
        ReadBuffer r(w.Length(), ENDIAN_Little, w.Data());
        benchmark::DoNotOptimize(ReadFields(r));
    }
    state.SetItemsProcessed(state.iterations() * kFields);
}
BENCHMARK(BM_WriteAndReadMillionFields)->Unit(benchmark::kMillisecond);

}  // namespace
