// Tests of the BMP reading behind the pictures: row order and padding, alpha planes, refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/alpha_plane.h"
#include "support/bmp_image.h"
#include "tests/support/bmp_builder.h"

namespace {

using test_support::Bytes;
using test_support::put16;
using test_support::put32;

// The colour of picture pixel (row from the top, column): blue = column, green = row, red 0x80.
// Alpha (fourth byte or plane) = 16 x row + column.
uint8_t alphaAt(int row, int col) { return static_cast<uint8_t>(16 * row + col); }

// A bottom-up BMP as files carry it, with reserved1 in its header and, withPlane, an alpha
// plane after the pixels (bottom row first).
Bytes makeBmp(int bits, int w, int h, uint16_t reserved1 = 0, bool withPlane = false)
{
    Bytes b = test_support::makeBmp(bits, w, h, [](int row, int col) {
        return test_support::BmpPixel{static_cast<uint8_t>(col), static_cast<uint8_t>(row), 0x80, alphaAt(row, col)};
    });
    put16(b, 6, reserved1);
    if (withPlane) {
        for (int row = h - 1; row >= 0; --row)
            for (int col = 0; col < w; ++col) b.push_back(alphaAt(row, col));
        put32(b, 2, static_cast<uint32_t>(b.size()));
    }
    return b;
}

struct Decoded {
    int result = -1;
    BmpLayout layout;
    Bytes picture;
    CAlphaPlane alpha;
    bool hasAlpha = false;
};

void decode(const Bytes& file, Decoded& d)
{
    d.result = bmpReadLayout(file.data(), file.size(), &d.layout);
    if (d.result != kBmpOk) return;
    d.picture.assign(static_cast<size_t>(d.layout.pictureStride) * d.layout.height, 0);
    d.result = bmpCopyPixels(file.data(), file.size(), d.layout, d.picture.data(), d.layout.pictureStride,
                             &d.alpha, &d.hasAlpha);
}

void expectColours(const Decoded& d, int w, int h)
{
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint8_t* px = &d.picture[d.layout.pictureStride * row + 3 * col];
            ASSERT_EQ(col, px[0]) << row << "," << col;
            ASSERT_EQ(row, px[1]) << row << "," << col;
            ASSERT_EQ(0x80, px[2]) << row << "," << col;
        }
}

void expectPlane(const CAlphaPlane& plane, int w, int h)
{
    ASSERT_FALSE(plane.IsEmpty());
    ASSERT_EQ(w, plane.RowLength());
    ASSERT_EQ(h, plane.RowCount());
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) ASSERT_EQ(alphaAt(row, col), plane.Data()[w * row + col]);
}

}  // namespace

TEST(BmpImage, TwentyFourBitRowsKeepTheirPaddingAndFlip)
{
    Decoded d;
    const Bytes file = makeBmp(24, 5, 3);             // 15 bytes of colour, rows of 16
    const Bytes before = file;
    decode(file, d);
    ASSERT_EQ(kBmpOk, d.result);
    EXPECT_EQ(16u, d.layout.pictureStride);
    EXPECT_EQ(45, d.layout.imageBytes);
    expectColours(d, 5, 3);
    EXPECT_EQ(0xEE, d.picture[15]);                   // whole rows, padding included
    EXPECT_FALSE(d.hasAlpha);
    ASSERT_FALSE(d.alpha.IsEmpty());
    for (int i = 0; i < 15; ++i) EXPECT_EQ(0, d.alpha.Data()[i]);
    EXPECT_EQ(before, file);                          // the image is only read
}

TEST(BmpImage, AlphaComesFromTheFileTopRowFirst)
{
    Decoded d32;
    decode(makeBmp(32, 3, 4), d32);
    ASSERT_EQ(kBmpOk, d32.result);
    EXPECT_EQ(12u, d32.layout.pictureStride);
    expectColours(d32, 3, 4);
    EXPECT_TRUE(d32.hasAlpha);
    expectPlane(d32.alpha, 3, 4);

    Decoded d24;                                      // bfReserved1 set: a plane after the colour rows
    decode(makeBmp(24, 3, 4, 1, true), d24);
    ASSERT_EQ(kBmpOk, d24.result);
    expectColours(d24, 3, 4);
    EXPECT_TRUE(d24.hasAlpha);
    expectPlane(d24.alpha, 3, 4);

    // A second decode into the same plane replaces it (no stale size, no overrun).
    decode(makeBmp(32, 7, 2), d32);
    ASSERT_EQ(kBmpOk, d32.result);
    expectPlane(d32.alpha, 7, 2);
}

TEST(BmpImage, OtherDepthsGiveThree)
{
    BmpLayout layout;
    for (int bits : {1, 4, 8, 16, 0}) {
        const Bytes file = makeBmp(24, 4, 4);
        Bytes other = file;
        put16(other, 28, static_cast<uint16_t>(bits));
        EXPECT_EQ(kBmpUnsupportedDepth, bmpReadLayout(other.data(), other.size(), &layout)) << bits;
    }
}

TEST(BmpImage, RefusesWhatWouldReadPastTheImage)
{
    BmpLayout layout;
    auto refused = [&](const Bytes& b) { return bmpReadLayout(b.data(), b.size(), &layout) == kBmpRefused; };

    Bytes b = makeBmp(24, 5, 3);
    EXPECT_FALSE(refused(b));
    b.pop_back();                                     // the top row's padding is read too
    EXPECT_TRUE(refused(b));
    b = makeBmp(32, 3, 3);
    b.pop_back();
    EXPECT_TRUE(refused(b));
    b = makeBmp(24, 3, 3, 1, true);
    b.pop_back();                                     // the carried plane is short by one byte
    EXPECT_TRUE(refused(b));
    b = makeBmp(24, 1, 1);
    b.resize(53);                                     // shorter than the two headers
    EXPECT_TRUE(refused(b));

    b = makeBmp(24, 2, 2);
    put32(b, 10, static_cast<uint32_t>(b.size()));    // pixels start at the end
    EXPECT_TRUE(refused(b));
    put32(b, 10, 0xFFFFFFF0u);                        // an offset that wraps in 32 bits
    EXPECT_TRUE(refused(b));

    b = makeBmp(24, 2, 2);
    put32(b, 22, static_cast<uint32_t>(-2));          // top-down files are not read
    EXPECT_TRUE(refused(b));
    put32(b, 22, 0);
    EXPECT_TRUE(refused(b));
    put32(b, 22, 2);
    put32(b, 18, 0x80000000u);
    EXPECT_TRUE(refused(b));
    put32(b, 18, 0x7FFFFFFFu);                        // sizes that overflow 32 bits
    put32(b, 22, 0x7FFFFFFFu);
    EXPECT_TRUE(refused(b));
    put32(b, 18, 0x40000000u);
    put32(b, 22, 1);
    EXPECT_TRUE(refused(b));
    EXPECT_EQ(kBmpRefused, bmpReadLayout(nullptr, 1000, &layout));

    // The copy itself refuses a picture row shorter than the layout's and a shorter image.
    b = makeBmp(24, 5, 3);
    ASSERT_EQ(kBmpOk, bmpReadLayout(b.data(), b.size(), &layout));
    Bytes picture(16 * 3);
    CAlphaPlane plane;
    bool hasAlpha = false;
    EXPECT_EQ(kBmpRefused, bmpCopyPixels(b.data(), b.size(), layout, picture.data(), 15, &plane, &hasAlpha));
    EXPECT_EQ(kBmpRefused, bmpCopyPixels(b.data(), b.size() - 1, layout, picture.data(), 16, &plane, &hasAlpha));
    EXPECT_TRUE(plane.IsEmpty());
}

TEST(AlphaPlane, LifecycleAndLayout)
{
    CAlphaPlane plane;
    const uint8_t source[6] = {1, 2, 3, 4, 5, 6};     // two rows of three, bottom row first
    ASSERT_EQ(0, plane.CreateFrom(3, 2, source));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(plane.Data()) % 8);
    EXPECT_EQ(4, plane.Row(0)[0]);
    EXPECT_EQ(plane.Data() + 3, plane.Row(1));
    EXPECT_EQ(1, plane.CreateBlank(3, 2));           // already there: unchanged
    EXPECT_EQ(4, plane.Row(0)[0]);
    plane.Release();
    plane.Release();
    EXPECT_TRUE(plane.IsEmpty());
    EXPECT_EQ(0, plane.RowCount());
    EXPECT_EQ(2, plane.CreateBlank(0, 5));
    EXPECT_EQ(2, plane.CreateBlank(5, -1));
    EXPECT_TRUE(plane.IsEmpty());
}
