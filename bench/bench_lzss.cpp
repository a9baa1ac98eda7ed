// Benchmarks of the LZSS codec and of archive reads with and without the entry cache.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/archive_reader.h"
#include "data/lzss.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kCorpusSize = 16u << 20;

// A deterministic mix in 64 KB stretches: script-like text, record-like binary, and noise.
Bytes makeCorpus()
{
    static const char* words[] = {"the ", "varnis ", "lantern ", "harbor ", "\\data\\", "install ", "scene_",
                                  "\"", "said ", "and ", "\r\n", "0123", "title,", "voice.arc ", "。", "「"};
    std::mt19937 rng(20240611);
    Bytes d;
    d.reserve(kCorpusSize);
    while (d.size() < kCorpusSize) {
        size_t end = std::min(kCorpusSize, d.size() + 65536);
        unsigned kind = rng() % 10;
        while (d.size() < end) {
            if (kind < 4) {
                const char* w = words[rng() % 16];
                d.insert(d.end(), w, w + std::strlen(w));
            } else if (kind < 8) {
                uint32_t record[4] = {uint32_t(d.size() / 16), uint32_t(rng() % 256), 0, uint32_t(rng() % 4 ? 0 : rng())};
                d.insert(d.end(), reinterpret_cast<uint8_t*>(record), reinterpret_cast<uint8_t*>(record) + 16);
            } else {
                d.push_back(uint8_t(rng()));
            }
        }
        d.resize(end);
    }
    return d;
}

struct Corpus {
    Bytes plain;
    Bytes packed;
};

const Corpus& corpus()
{
    static const Corpus c = [] {
        Corpus k;
        k.plain = makeCorpus();
        k.packed = lzss::encode(k.plain.data(), k.plain.size());
        return k;
    }();
    return c;
}

using DecodeFn = bool (*)(const uint8_t*, size_t, uint8_t*, size_t);

void decodeCorpus(benchmark::State& state, DecodeFn fn)
{
    const Corpus& c = corpus();
    Bytes out(c.plain.size());
    for (auto _ : state) {
        bool ok = fn(c.packed.data(), c.packed.size(), out.data(), out.size());
        benchmark::DoNotOptimize(ok);
        benchmark::ClobberMemory();
    }
    if (out != c.plain) state.SkipWithError("decoded bytes differ from the corpus");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(out.size()));
}

void BM_Decode(benchmark::State& state) { decodeCorpus(state, lzss::decode); }
void BM_DecodeReference(benchmark::State& state) { decodeCorpus(state, lzss::decodeReference); }
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeReference)->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state)
{
    const Corpus& c = corpus();
    size_t packedSize = 0;
    for (auto _ : state) packedSize = lzss::encode(c.plain.data(), c.plain.size()).size();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(c.plain.size()));
    state.counters["ratio"] = double(packedSize) / double(c.plain.size());
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMillisecond)->Iterations(3);

// The packed entries of a real archive, decoded straight from the file's bytes.
struct SampleEntries {
    std::vector<Bytes> packed;
    std::vector<size_t> sizes;
    size_t total = 0;
};

bool loadSample(const char* path, SampleEntries* out)
{
    CArchiveReader reader;
    const char* key = std::getenv("VGA_SAMPLE_KEY");
    reader.SetKey(key ? key : "kavo");
    if (!reader.Open(path) || !reader.IsPacked()) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    for (const auto& e : reader.Directory()) {
        if (e.second.storedSize == 0) continue;
        Bytes stored(e.second.storedSize);
        if (std::fseek(f, long(e.second.offset), SEEK_SET) != 0 ||
            std::fread(stored.data(), 1, stored.size(), f) != stored.size())
            continue;
        out->packed.push_back(std::move(stored));
        out->sizes.push_back(e.second.size);
        out->total += e.second.size;
    }
    std::fclose(f);
    return !out->packed.empty();
}

void decodeSample(benchmark::State& state, const SampleEntries* sample, DecodeFn fn)
{
    Bytes out(*std::max_element(sample->sizes.begin(), sample->sizes.end()));
    for (auto _ : state) {
        for (size_t i = 0; i < sample->packed.size(); ++i) {
            const Bytes& p = sample->packed[i];
            benchmark::DoNotOptimize(fn(p.data(), p.size(), out.data(), sample->sizes[i]));
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(sample->total));
}

// A temporary archive holding one packed entry of about 1 MB, read through the reader.
class ReaderFixture {
public:
    ReaderFixture()
    {
        Bytes entry(corpus().plain.begin(), corpus().plain.begin() + (1u << 20));
        Bytes stored = lzss::encode(entry.data(), entry.size());
        path_ = (std::filesystem::temp_directory_path() / "vga_bench_lzss.arc").string();
        Bytes file;
        auto put = [&](uint32_t v) { for (int i = 0; i < 4; ++i) file.push_back(uint8_t(v >> (8 * i))); };
        put(1);
        put(1);
        char name[32] = "bench.bin";
        file.insert(file.end(), name, name + 32);   // key "" leaves the directory as it is
        put(uint32_t(entry.size()));
        put(uint32_t(stored.size()));
        put(8 + 44);
        file.insert(file.end(), stored.begin(), stored.end());
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (f) {
            std::fwrite(file.data(), 1, file.size(), f);
            std::fclose(f);
        }
        reader.SetKey("");
        ok = reader.Open(path_.c_str()) == 1;
        size = uint32_t(entry.size());
    }
    ~ReaderFixture() { std::filesystem::remove(path_); }

    CArchiveReader reader;
    uint32_t size = 0;
    bool ok = false;

private:
    std::string path_;
};

ReaderFixture& readerFixture()
{
    static ReaderFixture f;
    return f;
}

void readEntry(benchmark::State& state, bool clearCache)
{
    ReaderFixture& f = readerFixture();
    if (!f.ok) {
        state.SkipWithError("cannot write the temporary archive");
        return;
    }
    Bytes out(f.size);
    f.reader.Read("bench.bin", out.data());   // warm: the entry is in the cache
    for (auto _ : state) {
        if (clearCache) {
            state.PauseTiming();
            f.reader.Cache().Clear();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(f.reader.Read("bench.bin", out.data()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.size));
}

void BM_ReadPackedCacheHit(benchmark::State& state) { readEntry(state, false); }
void BM_ReadPackedCacheMiss(benchmark::State& state) { readEntry(state, true); }
BENCHMARK(BM_ReadPackedCacheHit)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadPackedCacheMiss)->Unit(benchmark::kMicrosecond);

// Median processor time of several runs of work; the two decoders are timed in alternation so
// that a busy spell on a shared machine hits both alike.
template <class Work>
double medianSeconds(Work work, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        std::clock_t start = std::clock();
        work();
        benchmark::ClobberMemory();
        times.push_back(double(std::clock() - start) / CLOCKS_PER_SEC);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Seconds of fast and reference decoding of work(fn), medians over interleaved runs.
template <class Work>
void compare(Work work, int runs, double* fast, double* reference)
{
    std::vector<double> f, r;
    for (int i = 0; i < runs; ++i) {
        f.push_back(medianSeconds([&] { work(lzss::decode); }, 1));
        r.push_back(medianSeconds([&] { work(lzss::decodeReference); }, 1));
    }
    std::sort(f.begin(), f.end());
    std::sort(r.begin(), r.end());
    *fast = f[f.size() / 2];
    *reference = r[r.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    static SampleEntries sample;
    const char* samplePath = std::getenv("VGA_SAMPLE_ARC");
    if (samplePath && *samplePath) {
        if (loadSample(samplePath, &sample)) {
            benchmark::RegisterBenchmark("BM_DecodeSampleArchive", decodeSample, &sample, lzss::decode);
            benchmark::RegisterBenchmark("BM_DecodeReferenceSampleArchive", decodeSample, &sample,
                                         lzss::decodeReference);
        } else {
            std::fprintf(stderr, "VGA_SAMPLE_ARC=%s: no packed entries could be read\n", samplePath);
        }
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const Corpus& c = corpus();
    Bytes out(c.plain.size());
    double fast = 0, reference = 0;
    compare([&](DecodeFn fn) { fn(c.packed.data(), c.packed.size(), out.data(), out.size()); }, 7,
            &fast, &reference);
    double mb = double(c.plain.size()) / 1e6;
    std::printf("corpus: %.1f MB, packed to %.1f%%\n", mb, 100.0 * double(c.packed.size()) / double(c.plain.size()));
    std::printf("decode: %.0f MB/s, reference: %.0f MB/s (processor time, medians of 7)\n", mb / fast, mb / reference);
    std::printf("decode/reference speed ratio: %.2f\n", reference / fast);

    if (!sample.packed.empty()) {
        // The sample archive is small: decode it 50 times per timed run.
        auto all = [&](DecodeFn fn) {
            for (int rep = 0; rep < 50; ++rep)
                for (size_t i = 0; i < sample.packed.size(); ++i)
                    fn(sample.packed[i].data(), sample.packed[i].size(), out.data(), sample.sizes[i]);
        };
        compare(all, 9, &fast, &reference);
        double smb = 50.0 * double(sample.total) / 1e6;
        std::printf("sample archive: %zu entries, %.2f MB unpacked\n", sample.packed.size(), double(sample.total) / 1e6);
        std::printf("sample decode: %.0f MB/s, reference: %.0f MB/s (medians of 9)\n", smb / fast, smb / reference);
        std::printf("sample decode/reference speed ratio: %.2f\n", reference / fast);
    }
    return 0;
}
