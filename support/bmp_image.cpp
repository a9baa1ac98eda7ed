// BMP file images: header checks against the image length, pixel copy to a top-down 24-bit picture.
#include "support/bmp_image.h"

#include <cstring>

#include "support/alpha_plane.h"

namespace {

constexpr size_t kHeadersSize = 14 + 40;   // file header and information header

uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

int bmpReadLayout(const uint8_t* image, size_t length, BmpLayout* layout)
{
    if (!image || length < kHeadersSize) return kBmpRefused;
    const int bitCount = read16(image + 28);
    if (bitCount != 24 && bitCount != 32) return kBmpUnsupportedDepth;

    const int32_t width = static_cast<int32_t>(read32(image + 18));
    const int32_t height = static_cast<int32_t>(read32(image + 22));
    if (width <= 0 || height <= 0) return kBmpRefused;

    // All sizes in 64 bits: width and height are below 2^31, so no product below overflows.
    const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
    const uint64_t pictureStride = (3 * w + 3) & ~uint64_t(3);
    const uint64_t sourceStride = bitCount == 24 ? pictureStride : 4 * w;
    // The section is two rows taller than the picture; its size and the colour bytes are 32-bit.
    if (pictureStride * (h + 2) > 0x7FFFFFFFu || 3 * w * h > 0x7FFFFFFFu) return kBmpRefused;

    const bool carriesAlphaPlane = bitCount == 24 && read16(image + 6) != 0;
    const uint32_t pixelOffset = read32(image + 10);
    uint64_t needed = pixelOffset + sourceStride * h;
    if (carriesAlphaPlane) needed += w * h;
    if (needed > length) return kBmpRefused;

    layout->width = width;
    layout->height = height;
    layout->bitCount = bitCount;
    layout->pixelOffset = pixelOffset;
    layout->sourceStride = static_cast<uint32_t>(sourceStride);
    layout->pictureStride = static_cast<uint32_t>(pictureStride);
    layout->imageBytes = static_cast<int32_t>(3 * w * h);
    layout->carriesAlphaPlane = carriesAlphaPlane;
    layout->bytesNeeded = static_cast<size_t>(needed);
    return kBmpOk;
}

int bmpCopyPixels(const uint8_t* image, size_t length, const BmpLayout& layout, uint8_t* picture,
                  size_t pictureStride, CAlphaPlane* alpha, bool* hasAlpha)
{
    if (!image || !picture || layout.width <= 0 || layout.height <= 0 ||
        layout.bytesNeeded > length || pictureStride < layout.pictureStride)
        return kBmpRefused;

    const int32_t w = layout.width, h = layout.height;
    const uint8_t* pixels = image + layout.pixelOffset;
    alpha->Release();

    if (layout.bitCount == 24) {
        // The file's rows are bottom-up with the same 4-byte padding as the picture's.
        for (int32_t i = 0; i < h; ++i)
            std::memcpy(picture + static_cast<size_t>(i) * pictureStride,
                        pixels + static_cast<size_t>(h - 1 - i) * layout.sourceStride, layout.sourceStride);
        if (layout.carriesAlphaPlane) {
            *hasAlpha = true;
            alpha->CreateFrom(w, h, pixels + static_cast<size_t>(layout.sourceStride) * h);
        } else {
            *hasAlpha = false;
            alpha->CreateBlank(w, h);
        }
        return kBmpOk;
    }

    // 32-bit: blue, green, red to the picture, the fourth byte to the plane, flipped to top-down.
    *hasAlpha = true;
    alpha->CreateFrom(w, h, pixels);   // sized here; every byte is overwritten below
    const bool planeReady = !alpha->IsEmpty();
    for (int32_t i = 0; i < h; ++i) {
        const uint8_t* src = pixels + static_cast<size_t>(h - 1 - i) * layout.sourceStride;
        uint8_t* dst = picture + static_cast<size_t>(i) * pictureStride;
        uint8_t* planeRow = planeReady ? alpha->Row(i) : nullptr;
        for (int32_t j = 0; j < w; ++j, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            if (planeRow) planeRow[j] = src[3];
        }
    }
    return kBmpOk;
}
