// LZSS decoding of installer-archive entries: the fast decoder and the plain ring decoder.
#include "data/lzss.h"

#include <cstring>

namespace lzss {

namespace {

constexpr size_t kRingSize = 4096;
constexpr size_t kRingMask = kRingSize - 1;
constexpr size_t kRingStart = 0xFEE;       // first write position in the ring
constexpr size_t kMaxMatch = 18;

// Ring distance from the write position back to a match's ring position. The ring is written at
// (kRingStart + outPos), so the byte at that distance is the output byte that many places back;
// distance 0 is the byte written a whole ring ago.
inline size_t matchDistance(size_t outPos, unsigned b0, unsigned b1)
{
    size_t ringPos = b0 | ((b1 & 0xF0u) << 4);
    size_t d = (kRingStart + outPos - ringPos) & kRingMask;
    return d == 0 ? kRingSize : d;
}

// A match at a short distance repeats a pattern of `distance` bytes. Building the three 8-byte
// words in registers matters: copying out of bytes written a moment ago makes every load straddle
// earlier stores, which the processor cannot forward, and stalls each match for tens of cycles.
template <unsigned D>
inline uint64_t patternWord(uint64_t pattern, unsigned phase)
{
    // The pattern rotated to start at `phase`, then repeated across eight bytes.
    uint64_t mask = (uint64_t(1) << (8 * D)) - 1;
    uint64_t rotated = phase ? ((pattern >> (8 * phase)) | (pattern << (8 * (D - phase)))) & mask : pattern;
    uint64_t word = 0;
    for (unsigned k = 0; k < 8; k += D) word |= rotated << (8 * k);
    return word;
}

template <unsigned D>
inline void repeatPatternOf(uint8_t* dst, const uint8_t* src)
{
    uint64_t pattern = 0;
    for (unsigned i = 0; i < D; ++i) pattern |= uint64_t(src[i]) << (8 * i);
    uint64_t w0 = patternWord<D>(pattern, 0);
    uint64_t w1 = patternWord<D>(pattern, 8 % D);
    uint64_t w2 = patternWord<D>(pattern, 16 % D);
    std::memcpy(dst, &w0, 8);
    std::memcpy(dst + 8, &w1, 8);
    std::memcpy(dst + 16, &w2, 8);   // up to 24 bytes: the group's slack takes the overrun
}

inline void repeatPattern(size_t distance, uint8_t* dst, const uint8_t* src)
{
    switch (distance) {
    case 1: repeatPatternOf<1>(dst, src); break;
    case 2: repeatPatternOf<2>(dst, src); break;
    case 3: repeatPatternOf<3>(dst, src); break;
    case 4: repeatPatternOf<4>(dst, src); break;
    case 5: repeatPatternOf<5>(dst, src); break;
    case 6: repeatPatternOf<6>(dst, src); break;
    default: repeatPatternOf<7>(dst, src); break;
    }
}

bool failRest(uint8_t* out, size_t outPos, size_t outSize)
{
    std::memset(out + outPos, 0, outSize - outPos);
    return false;
}

}  // namespace

bool decodeReference(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize)
{
    uint8_t ring[kRingSize];
    std::memset(ring, 0, sizeof ring);
    size_t r = kRingStart;
    unsigned flags = 0;
    size_t inPos = 0, outPos = 0;

    while (outPos < outSize) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            if (inPos >= inSize) return failRest(out, outPos, outSize);
            flags = in[inPos++] | 0xFF00u;
        }
        if (flags & 1) {
            if (inPos >= inSize) return failRest(out, outPos, outSize);
            uint8_t c = in[inPos++];
            out[outPos++] = c;
            ring[r] = c;
            r = (r + 1) & kRingMask;
        } else {
            if (inSize - inPos < 2) return failRest(out, outPos, outSize);
            unsigned b0 = in[inPos], b1 = in[inPos + 1];
            inPos += 2;
            size_t pos = b0 | ((b1 & 0xF0u) << 4);
            size_t length = (b1 & 0x0Fu) + 3;
            for (size_t k = 0; k < length && outPos < outSize; ++k) {
                uint8_t c = ring[(pos + k) & kRingMask];
                out[outPos++] = c;
                ring[r] = c;
                r = (r + 1) & kRingMask;
            }
        }
    }
    return true;
}

// The output itself serves as the window: a match at distance d copies out[outPos - d ...], and
// a source index before the start of the output is the ring's initial zero. The first ring's
// worth of output and the tail near outSize go item by item with every bound checked; the bulk
// runs whole flag groups with the bounds checked once per group.
bool decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize)
{
    // One group: a flag byte and at most eight two-byte matches in; at most eight 18-byte matches
    // out, and the last match's 8-byte copy may run 6 bytes past its end.
    constexpr size_t kGroupIn = 1 + 8 * 2;
    constexpr size_t kGroupOut = 8 * kMaxMatch + 8;

    unsigned flags = 0;
    size_t inPos = 0, outPos = 0;

    while (outPos < outSize) {
        if (!((flags >> 1) & 0x100) && outPos >= kRingSize && inSize - inPos >= kGroupIn &&
            outSize - outPos >= kGroupOut) {
            unsigned f = in[inPos++];
            if (f == 0xFF) {
                std::memcpy(out + outPos, in + inPos, 8);
                inPos += 8;
                outPos += 8;
                flags = 0;
                continue;
            }
            for (int item = 0; item < 8; ++item, f >>= 1) {
                if (f & 1) {
                    out[outPos++] = in[inPos++];
                    continue;
                }
                unsigned b0 = in[inPos], b1 = in[inPos + 1];
                inPos += 2;
                size_t distance = matchDistance(outPos, b0, b1);
                size_t length = (b1 & 0x0Fu) + 3;
                uint8_t* dst = out + outPos;
                const uint8_t* src = dst - distance;   // outPos >= 4096 >= distance
                if (distance >= 8) {
                    // Eight bytes at a time, front to back: each chunk reads only bytes that are
                    // already final, so this is right even when the match overlaps itself.
                    std::memcpy(dst, src, 8);
                    std::memcpy(dst + 8, src + 8, 8);
                    if (length > 16) std::memcpy(dst + 16, src + 16, 8);
                } else {
                    repeatPattern(distance, dst, src);
                }
                outPos += length;
            }
            flags = 0;   // the group is used up: the next item loads a flag byte
            continue;
        }

        flags >>= 1;
        if (!(flags & 0x100)) {
            if (inPos >= inSize) return failRest(out, outPos, outSize);
            flags = in[inPos++] | 0xFF00u;
        }
        if (flags & 1) {
            if (inPos >= inSize) return failRest(out, outPos, outSize);
            out[outPos++] = in[inPos++];
        } else {
            if (inSize - inPos < 2) return failRest(out, outPos, outSize);
            unsigned b0 = in[inPos], b1 = in[inPos + 1];
            inPos += 2;
            size_t distance = matchDistance(outPos, b0, b1);
            size_t length = (b1 & 0x0Fu) + 3;
            if (length > outSize - outPos) length = outSize - outPos;
            for (size_t k = 0; k < length; ++k, ++outPos)
                out[outPos] = outPos >= distance ? out[outPos - distance] : 0;
        }
    }
    return true;
}

}  // namespace lzss
