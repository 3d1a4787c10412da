// Micro-benchmarks of the hot inner parts: the title search, name conversion,
// the decoder's block loop and a report writer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/chartables.h"
#include "common/formations.h"
#include "common/gametext.h"
#include "common/rom.h"
#include "common/techniques.h"
#include "decoder/decode.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"

namespace {

std::vector<unsigned char> pseudo_random(size_t n) {
    std::vector<unsigned char> v(n);
    uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 16);
        if (b == 'M') b = 'N';
    }
    return v;
}

void BM_TitleSearch(benchmark::State& state) {
    const auto data = pseudo_random(static_cast<size_t>(state.range(0)));
    char path[] = "/tmp/mt-micro-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) state.SkipWithError("tmp");
    close(fd);
    FILE* f = fopen(path, "rb");
    const char* title = "MERIDIAN TALES2      ";
    for (auto _ : state) {
        rewind(f);
        benchmark::DoNotOptimize(common::find_signature(f, reinterpret_cast<const unsigned char*>(title), 21));
    }
    fclose(f);
    unlink(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_TitleSearch)->Arg(1 << 20)->Arg(16 << 20);

void BM_ConvertName(benchmark::State& state) {
    const unsigned char name[10] = {0x82, 0x20, 0xB0, 0xA0, 0x51, 0xE5, 0x23, 0x01, 0x50, 0x50};
    char slot[common::kNameSlotSize];
    for (auto _ : state) {
        common::convert_game_text(slot, name, sizeof slot, sizeof name, mt2::kCharTables);
        benchmark::DoNotOptimize(slot);
    }
}
BENCHMARK(BM_ConvertName);

// Game text of one kind: 0 any bytes; 1 single-byte codes only (no lead
// byte, a line end now and then); 2 as mt_bench's, mostly single-byte codes
// with about a quarter of two-byte codes.
std::vector<unsigned char> game_text(int64_t kind, size_t n) {
    std::vector<unsigned char> v = pseudo_random(n);
    if (kind == 0) return v;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = v[i];
        if (x < 8) {
            v[i] = 0x00;
        } else if (kind == 2 && x < 80 && i + 1 < n) {
            v[i] = static_cast<unsigned char>(common::kFirstLeadByte + (x & 3));
            ++i;  // the second byte keeps its random value
        } else {
            v[i] = static_cast<unsigned char>(0x51 + x % 0xAF);
        }
    }
    return v;
}

void BM_DecodeBlock(benchmark::State& state) {
    const auto text = game_text(state.range(0), 1 << 20);
    std::vector<char> out(4 * text.size());
    const decoder::PackedTables tables = decoder::pack_tables(mt3::kCharTables);
    for (auto _ : state) {
        size_t used = 0;
        benchmark::DoNotOptimize(decoder::decode_block(text.data(), text.size(), out.data(), &used, tables));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DecodeBlock)->ArgName("text")->Arg(0)->Arg(1)->Arg(2);

const char* bench_name(int) { return "テクニック"; }

void BM_LearnFlagReport(benchmark::State& state) {
    std::vector<common::TechRecord> techs(512);
    for (int i = 0; i < 512; ++i) techs[static_cast<size_t>(i)] = {i & 1, (i >> 1) & 1, i * 37 & 0xFFFF, i & 255};
    for (auto _ : state) {
        common::ReportText text;
        common::write_learn_flag_report(text, techs.data(), bench_name);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_LearnFlagReport);

}  // namespace

BENCHMARK_MAIN();
