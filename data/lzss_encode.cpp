// LZSS packing for authoring installer archives: hash chains over the last 4096 bytes, one-step lazy matching.
#include "data/lzss.h"

#include <algorithm>
#include <memory>

namespace lzss {

namespace {

constexpr size_t kWindow = 4096;           // farthest a match may reach back
constexpr size_t kRingStart = 0xFEE;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;
constexpr int kHashBits = 14;
constexpr size_t kHashSize = size_t(1) << kHashBits;
constexpr size_t kChainSize = 2 * kWindow;  // keeps every position of the window in its own slot
constexpr unsigned kMaxChain = 48;          // candidates tried per position
constexpr uint32_t kNone = UINT32_MAX;   // positions fit 32 bits: entry sizes are 32-bit

inline uint32_t hash3(const uint8_t* p)
{
    uint32_t v = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
}

class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t size) : data_(data), size_(size)
    {
        std::fill(head_, head_ + kHashSize, kNone);
    }

    // Enters position pos into the chains (it must be the next position not yet entered).
    void insert(size_t pos)
    {
        if (pos + kMinMatch > size_) return;
        uint32_t h = hash3(data_ + pos);
        prev_[pos % kChainSize] = head_[h];
        head_[h] = static_cast<uint32_t>(pos);
    }

    // Longest match for pos among positions already entered; answers its length (0 when none
    // reaches kMinMatch) and sets *source.
    size_t longest(size_t pos, size_t* source) const
    {
        size_t limit = size_ - pos < kMaxMatch ? size_ - pos : kMaxMatch;
        if (limit < kMinMatch) return 0;
        const uint8_t* cur = data_ + pos;
        size_t best = kMinMatch - 1;
        uint32_t cand = head_[hash3(cur)];
        for (unsigned tries = 0; cand != kNone && tries < kMaxChain; ++tries) {
            size_t c = static_cast<size_t>(cand);
            if (pos - c > kWindow) break;
            const uint8_t* p = data_ + c;
            if (p[best] == cur[best] && p[0] == cur[0]) {
                size_t n = 0;
                while (n < limit && p[n] == cur[n]) ++n;   // may run into pos: overlapping copies repeat
                if (n > best) {
                    best = n;
                    *source = c;
                    if (n == limit) break;
                }
            }
            cand = prev_[c % kChainSize];
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    uint32_t head_[kHashSize];
    uint32_t prev_[kChainSize];
};

class Writer {
public:
    explicit Writer(std::vector<uint8_t>* out) : out_(out) {}

    void literal(uint8_t c)
    {
        startItem();
        (*out_)[flagAt_] |= static_cast<uint8_t>(1u << bit_);
        out_->push_back(c);
        ++bit_;
    }

    void match(size_t source, size_t length)
    {
        startItem();
        size_t ringPos = (kRingStart + source) & (kWindow - 1);
        out_->push_back(static_cast<uint8_t>(ringPos & 0xFF));
        out_->push_back(static_cast<uint8_t>(((ringPos >> 4) & 0xF0) | (length - kMinMatch)));
        ++bit_;
    }

private:
    void startItem()
    {
        if (bit_ == 8) {
            flagAt_ = out_->size();
            out_->push_back(0);
            bit_ = 0;
        }
    }

    std::vector<uint8_t>* out_;
    size_t flagAt_ = 0;
    unsigned bit_ = 8;
};

}  // namespace

std::vector<uint8_t> encode(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> out;
    if (size == 0) return out;
    out.reserve(size + size / 8 + 16);

    // The finder's tables (96 KB) live on the heap, not on a thread's stack.
    std::unique_ptr<MatchFinder> finder(new MatchFinder(data, size));
    Writer writer(&out);

    size_t pos = 0;
    size_t source = 0;
    size_t length = finder->longest(pos, &source);
    while (pos < size) {
        finder->insert(pos);
        if (length >= kMinMatch && length < kMaxMatch && pos + 1 < size) {
            // One step of lazy matching: a longer match one byte on is worth a literal here.
            size_t nextSource = 0;
            size_t nextLength = finder->longest(pos + 1, &nextSource);
            if (nextLength > length) {
                writer.literal(data[pos]);
                ++pos;
                length = nextLength;
                source = nextSource;
                continue;
            }
        }
        if (length >= kMinMatch) {
            writer.match(source, length);
            for (size_t k = 1; k < length; ++k) finder->insert(pos + k);
            pos += length;
        } else {
            writer.literal(data[pos]);
            ++pos;
        }
        length = pos < size ? finder->longest(pos, &source) : 0;
    }
    return out;
}

}  // namespace lzss
