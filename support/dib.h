// CDIB: one picture as a 24-bit DIB section kept selected in its own memory DC, so a window
// paints it with one BitBlt; beside it a one-byte-per-pixel alpha plane. Win32 only.
#pragma once
#include <windows.h>

#include "support/alpha_plane.h"
#include "support/engine_object.h"

class CDIB : public CEngineObject {
public:
    CDIB();
    ~CDIB() override;

    // On WM_PAINT paints the picture at the window's origin (nothing while empty); 0 always.
    int OnMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam) override;

    // Fills the picture from a complete BMP file image of length bytes (the entry's size as the
    // archive reader gave it); reserved is unused (0). Reads nothing past length and never
    // writes into the image; the caller keeps it and may free it on return.
    // 0 loaded; 1 already loaded (the first picture stays), the image is malformed, top-down,
    // too large or shorter than its header says, or the section or DC cannot be made (the
    // picture stays empty); 3 a depth other than 24 or 32 bits (the picture stays empty).
    virtual int Load(const void* image, int length, int reserved);
    // Empties the picture; harmless when already empty.
    virtual void Release();

    // The memory DC with the section selected; null while empty. Copy from origin (0,0).
    HDC GetMemoryDC() const { return memoryDC_; }

    bool IsLoaded() const { return loaded_ != 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }              // bytes per row: 3 x width rounded up to 4
    int ImageBytes() const { return imageBytes_; }      // 3 x width x height
    bool HasAlpha() const { return hasAlpha_ != 0; }
    uint8_t* Bits() const { return bits_; }             // row 0 is the top; height + 2 rows
    uint8_t* Row(int i) const { return rows_[i]; }      // 0 <= i < Height()
    const CAlphaPlane& Alpha() const { return alpha_; }
    HBITMAP Section() const { return section_; }
    const char* Label() const { return label_; }

private:
    uint8_t* bits_;
    uint8_t** rows_;            // height pointers into bits_, C heap
    const char* reserved_ = "";   // an empty text, never set or read
    int32_t hasAlpha_;
    CAlphaPlane alpha_;
    HDC memoryDC_;
    int32_t stride_;
    int32_t width_;
    int32_t height_;
    char label_[256];
    HBITMAP section_;
    int32_t imageBytes_;
    int32_t loaded_;
};
