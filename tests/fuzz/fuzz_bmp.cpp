// libFuzzer target: BMP header checks and the pixel copy into a picture sized from the header.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "support/alpha_plane.h"
#include "support/bmp_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact copy, so reading one byte past the input is caught by the sanitizer.
    std::vector<uint8_t> image(data, data + size);
    BmpLayout layout;
    if (bmpReadLayout(image.data(), image.size(), &layout) != kBmpOk) return 0;
    if (layout.bytesNeeded > size || layout.width <= 0 || layout.height <= 0) std::abort();
    if (static_cast<uint64_t>(layout.width) * static_cast<uint64_t>(layout.height) > (16u << 20)) return 0;

    std::vector<uint8_t> picture(static_cast<size_t>(layout.pictureStride) * layout.height);
    CAlphaPlane alpha;
    bool hasAlpha = false;
    if (bmpCopyPixels(image.data(), image.size(), layout, picture.data(), layout.pictureStride, &alpha,
                      &hasAlpha) != kBmpOk)
        std::abort();
    if (!alpha.IsEmpty() && (alpha.RowLength() != layout.width || alpha.RowCount() != layout.height))
        std::abort();
    return 0;
}
