// Reading the Windows BMP file images that the pictures are loaded from: the header checked
// against the image's length, then the pixels copied into a top-down 24-bit picture and an
// alpha plane. Portable: no Win32 header; CDIB provides the picture memory.
#pragma once
#include <cstddef>
#include <cstdint>

class CAlphaPlane;

enum BmpResult {
    kBmpOk = 0,
    kBmpRefused = 1,            // malformed, top-down, too large, or reaching past the image
    kBmpUnsupportedDepth = 3,   // anything but 24 or 32 bits per pixel
};

// What the header of a readable image says, in the terms the copy uses.
struct BmpLayout {
    int32_t width = 0;             // pixels, > 0
    int32_t height = 0;            // pixels, > 0: only bottom-up files are read
    int bitCount = 0;              // 24 or 32
    uint32_t pixelOffset = 0;      // bfOffBits: first byte of the bottom row
    uint32_t sourceStride = 0;     // bytes per file row: 3 x width rounded up to 4, or 4 x width
    uint32_t pictureStride = 0;    // bytes per row of the 24-bit picture: 3 x width rounded up to 4
    int32_t imageBytes = 0;        // 3 x width x height, the unpadded colour bytes
    bool carriesAlphaPlane = false;// 24-bit file with bfReserved1 != 0: width x height alpha
                                   // bytes, rows bottom-up, follow the colour rows
    size_t bytesNeeded = 0;        // bytes of the image that the copy reads, from its start
};

// Checks the BMP file image at image (length bytes) and describes it in *layout.
// Read from the image: bfReserved1 (offset 6), bfOffBits (10), biWidth (18), biHeight (22),
// biBitCount (28). The signature, file size, header size and compression are not examined.
// kBmpRefused: shorter than the two headers (54 bytes), width or height not positive (a
// negative height, a top-down file, is refused too), a picture whose section or colour bytes
// would not fit in 32 bits, or any byte that the copy would read lying past length.
// kBmpUnsupportedDepth: a depth other than 24 or 32. *layout is only written on kBmpOk.
// The image is never written.
int bmpReadLayout(const uint8_t* image, size_t length, BmpLayout* layout);

// Copies the pixels of a checked image into picture: layout.height rows, top row first, each
// pictureStride bytes apart (at least layout.pictureStride). 24-bit rows are copied whole,
// padding included; 32-bit pixels lose their fourth byte, which goes to the alpha plane.
// alpha is released first and then filled: from a 32-bit file's fourth bytes, from the plane
// a 24-bit file carries, or all zero. *hasAlpha is true when the plane came from the file (it
// stays true for a 32-bit file even if the plane could not be allocated; those alpha bytes are
// then dropped). kBmpRefused, nothing written, when length or pictureStride does not match the
// layout.
int bmpCopyPixels(const uint8_t* image, size_t length, const BmpLayout& layout, uint8_t* picture,
                  size_t pictureStride, CAlphaPlane* alpha, bool* hasAlpha);
