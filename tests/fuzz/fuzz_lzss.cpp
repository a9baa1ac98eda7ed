// Fuzz target: the fast LZSS decoder must give exactly what the ring decoder gives, on any input.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/lzss.h"

namespace {
constexpr size_t kMaxOutput = size_t(1) << 20;
}

// Input: three bytes of output size (little-endian, taken modulo 1 MB + 1), then the packed stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    size_t outSize = (data[0] | (size_t(data[1]) << 8) | (size_t(data[2]) << 16)) % (kMaxOutput + 1);
    const uint8_t* in = data + 3;
    size_t inSize = size - 3;
    // No stream yields more than nine bytes per input byte, so past that (with some slack) both
    // decoders surely run out; a larger size would only spend time filling and comparing zeros.
    outSize = std::min(outSize, inSize * 9 + 4096);

    std::vector<uint8_t> fast(outSize, 0xAA), reference(outSize, 0x55);
    bool okFast = lzss::decode(in, inSize, fast.data(), outSize);
    bool okRef = lzss::decodeReference(in, inSize, reference.data(), outSize);
    if (okFast != okRef || fast != reference) {
        std::fprintf(stderr, "decoders differ: answers %d/%d, output %zu bytes\n", okFast, okRef, outSize);
        std::abort();
    }
    return 0;
}
