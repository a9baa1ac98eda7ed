// BMP file images for the tests of the picture code (native and Win32): a 54-byte header and
// bottom-up rows of 24 or 32 bits, 24-bit rows padded to four bytes with 0xEE.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, size_t at, uint16_t v)
{
    b[at] = v & 0xFF;
    b[at + 1] = v >> 8;
}

inline void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

struct BmpPixel {
    uint8_t blue, green, red, alpha;   // alpha is written only in 32-bit images
};

// A w x h image; pixelAt(row, col) gives each pixel, row 0 being the top row of the picture.
template <typename PixelAt>
Bytes makeBmp(int bits, int w, int h, PixelAt pixelAt)
{
    const size_t stride = bits == 24 ? (3 * w + 3) & ~3u : 4 * w;
    Bytes b(54 + stride * h, 0xEE);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<uint32_t>(b.size()));
    put32(b, 6, 0);
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, w);
    put32(b, 22, h);
    put16(b, 26, 1);
    put16(b, 28, static_cast<uint16_t>(bits));
    for (size_t i = 30; i < 54; ++i) b[i] = 0;
    for (int row = 0; row < h; ++row) {
        uint8_t* p = &b[54 + stride * (h - 1 - row)];
        for (int col = 0; col < w; ++col) {
            const BmpPixel pixel = pixelAt(row, col);
            *p++ = pixel.blue;
            *p++ = pixel.green;
            *p++ = pixel.red;
            if (bits == 32) *p++ = pixel.alpha;
        }
    }
    return b;
}

}  // namespace test_support
