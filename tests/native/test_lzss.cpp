// Tests of the LZSS codec: round trips, the fast decoder against the ring decoder, truncated streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "data/lzss.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes decodeWith(bool fast, const Bytes& in, size_t outSize, bool* ok, uint8_t fill = 0xCD)
{
    Bytes out(outSize, fill);
    *ok = (fast ? lzss::decode : lzss::decodeReference)(in.data(), in.size(), out.data(), outSize);
    return out;
}

// Both decoders must agree on the bytes and on the answer.
void expectSameDecode(const Bytes& in, size_t outSize)
{
    bool okFast = false, okRef = false;
    Bytes fast = decodeWith(true, in, outSize, &okFast);
    Bytes ref = decodeWith(false, in, outSize, &okRef);
    ASSERT_EQ(okFast, okRef) << "input " << in.size() << " bytes, output " << outSize;
    ASSERT_EQ(fast, ref) << "input " << in.size() << " bytes, output " << outSize;
}

// A valid stream of random items; match positions anywhere in the ring, so they reach the
// never-written zero region and wrap around its end.
Bytes randomStream(std::mt19937& rng, size_t items, int literalPercent)
{
    Bytes s;
    for (size_t i = 0; i < items; i += 8) {
        uint8_t flags = 0;
        Bytes body;
        for (int bit = 0; bit < 8; ++bit) {
            if (int(rng() % 100) < literalPercent) {
                flags |= uint8_t(1u << bit);
                body.push_back(uint8_t(rng() % 4));   // few symbols, so matches repeat real data
            } else {
                body.push_back(uint8_t(rng()));
                body.push_back(uint8_t(rng()));
            }
        }
        s.push_back(flags);
        s.insert(s.end(), body.begin(), body.end());
    }
    return s;
}

Bytes sampleData(std::mt19937& rng, size_t size)
{
    static const char* words[] = {"install ", "varnis ", "\\data\\", "title,", "0x00 ", "\r\n"};
    Bytes d;
    while (d.size() < size) {
        switch (rng() % 4) {
        case 0: for (const char* w = words[rng() % 6]; *w; ++w) d.push_back(uint8_t(*w)); break;
        case 1: d.insert(d.end(), rng() % 300, uint8_t(rng())); break;
        case 2: for (int i = 0; i < 40; ++i) d.push_back(uint8_t(rng())); break;
        default: if (d.size() > 10) { size_t from = rng() % d.size(); size_t n = std::min<size_t>(rng() % 64, d.size() - from);
                     d.insert(d.end(), d.begin() + from, d.begin() + from + n); }
        }
    }
    d.resize(size);
    return d;
}

}  // namespace

TEST(Lzss, RoundTripsThroughBothDecoders)
{
    std::mt19937 rng(7);
    Bytes random(70000);
    for (auto& b : random) b = uint8_t(rng());
    const std::vector<Bytes> cases = {
        {}, {0x41}, {0, 0, 0}, Bytes(10000, 0), Bytes(5000, 'a'), random, sampleData(rng, 300000),
        Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2},
    };
    for (const Bytes& data : cases) {
        Bytes packed = lzss::encode(data.data(), data.size());
        for (bool fast : {true, false}) {
            bool ok = false;
            EXPECT_EQ(decodeWith(fast, packed, data.size(), &ok), data) << data.size() << " bytes";
            EXPECT_TRUE(ok);
        }
    }
    EXPECT_TRUE(lzss::encode(nullptr, 0).empty());
    // A real match search: runs and repeated text shrink to a small part.
    Bytes zeros(100000, 0);
    EXPECT_LT(lzss::encode(zeros.data(), zeros.size()).size(), zeros.size() / 8);
    Bytes text = sampleData(rng, 100000);
    EXPECT_LT(lzss::encode(text.data(), text.size()).size(), text.size() / 2);
}

TEST(Lzss, FormatDetails)
{
    bool ok = false;
    // A match into the untouched ring gives zeros, not spaces.
    EXPECT_EQ(decodeWith(true, {0x00, 0x00, 0x0F}, 18, &ok), Bytes(18, 0));
    // 'A' at 0xFEE, then a match at 0xFEE of 18 repeats it (overlapping copy), cut at the size.
    Bytes run = {0x01, 'A', 0xEE, 0xFF};
    EXPECT_EQ(decodeWith(true, run, 19, &ok), Bytes(19, 'A'));
    EXPECT_TRUE(ok);
    EXPECT_EQ(decodeWith(true, run, 10, &ok), Bytes(10, 'A'));
    EXPECT_TRUE(ok);
    // Position bits: b0 low byte, b1 high nibble as bits 8-11 (0xFEE = 0xEE, 0xF0).
    Bytes hi = {0x03, 'x', 'y', 0xEE, 0xF0};
    EXPECT_EQ(decodeWith(true, hi, 5, &ok), (Bytes{'x', 'y', 'x', 'y', 'x'}));
}

TEST(Lzss, FastDecoderMatchesRingDecoder)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        size_t items = 1 + rng() % 6000;
        Bytes s = randomStream(rng, items, int(rng() % 101));
        // Sizes below, at and past what the stream yields: cut matches and running out.
        size_t outSize = rng() % (items * 12 + 1);
        expectSameDecode(s, outSize);
        if (::testing::Test::HasFatalFailure()) return;
    }
    for (int round = 0; round < 200; ++round) {
        Bytes garbage(rng() % 20000);
        for (auto& b : garbage) b = uint8_t(rng());
        expectSameDecode(garbage, rng() % 150000);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(Lzss, TruncatedStreamAnswersFalseAndZeroFillsTheRest)
{
    std::mt19937 rng(99);
    Bytes data = sampleData(rng, 20000);
    Bytes packed = lzss::encode(data.data(), data.size());
    for (size_t cut : {size_t(0), size_t(1), size_t(2), packed.size() / 2, packed.size() - 1}) {
        Bytes in(packed.begin(), packed.begin() + cut);
        for (bool fast : {true, false}) {
            bool ok = true;
            Bytes out = decodeWith(fast, in, data.size(), &ok);
            EXPECT_FALSE(ok) << "cut at " << cut;
            // Nothing of the buffer's old content survives: what was not decoded is zero.
            EXPECT_EQ(out, decodeWith(fast, in, data.size(), &ok, 0x11));
            EXPECT_EQ(out.back(), 0);
        }
        expectSameDecode(in, data.size());
    }
}
