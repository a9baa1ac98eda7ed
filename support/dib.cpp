// CDIB: loading a BMP file image into a DIB section with its memory DC, painting, release.
#include "support/dib.h"

#include <cstdlib>
#include <cstring>

#include "support/bmp_image.h"

CDIB::CDIB()
    : bits_(nullptr), rows_(nullptr), hasAlpha_(0), memoryDC_(nullptr), stride_(0), width_(0),
      height_(0), section_(nullptr), imageBytes_(0), loaded_(0)
{
    name_ = "CDIB";
    std::memset(label_, 0, sizeof label_);
    std::strcpy(label_, "none");
}

CDIB::~CDIB()
{
    Release();
}

int CDIB::OnMessage(void* window, unsigned message, uintptr_t, intptr_t)
{
    if (message == WM_PAINT) {
        HWND hwnd = static_cast<HWND>(window);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc && memoryDC_) BitBlt(dc, 0, 0, width_, height_, memoryDC_, 0, 0, SRCCOPY);
        EndPaint(hwnd, &ps);
    }
    return 0;
}

int CDIB::Load(const void* image, int length, int)
{
    if (loaded_) return 1;
    if (!image || length <= 0) return 1;

    const uint8_t* file = static_cast<const uint8_t*>(image);
    BmpLayout layout;
    int checked = bmpReadLayout(file, static_cast<size_t>(length), &layout);
    if (checked != kBmpOk) return checked;

    // The section is described by a header of our own: 24-bit, top-down (negative height), two
    // rows taller than the picture. The file's own header is only read.
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = layout.width;
    info.bmiHeader.biHeight = -(layout.height + 2);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(layout.imageBytes);

    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section) DeleteObject(section);
        return 1;
    }
    DIBSECTION described;
    HDC dc = nullptr;
    uint8_t** rows = nullptr;
    bool ready = GetObjectA(section, sizeof described, &described) == sizeof described &&
                 described.dsBm.bmWidthBytes >= static_cast<LONG>(layout.pictureStride);
    if (ready) ready = (dc = CreateCompatibleDC(nullptr)) != nullptr;
    if (ready) ready = (rows = static_cast<uint8_t**>(std::malloc(sizeof(uint8_t*) * layout.height))) != nullptr;
    if (!ready) {
        if (dc) DeleteDC(dc);
        DeleteObject(section);
        return 1;
    }

    const int32_t stride = described.dsBm.bmWidthBytes;
    uint8_t* pixels = static_cast<uint8_t*>(bits);
    bool hasAlpha = false;
    bmpCopyPixels(file, static_cast<size_t>(length), layout, pixels, static_cast<size_t>(stride), &alpha_,
                  &hasAlpha);
    SelectObject(dc, section);
    for (int32_t i = 0; i < layout.height; ++i) rows[i] = pixels + static_cast<size_t>(i) * stride;

    bits_ = pixels;
    rows_ = rows;
    section_ = section;
    memoryDC_ = dc;
    stride_ = stride;
    width_ = layout.width;
    height_ = layout.height;
    imageBytes_ = layout.imageBytes;
    hasAlpha_ = hasAlpha ? 1 : 0;
    loaded_ = 1;
    return 0;
}

void CDIB::Release()
{
    if (!loaded_) return;
    alpha_.Release();
    std::free(rows_);
    DeleteDC(memoryDC_);        // the section is no longer selected anywhere after this
    DeleteObject(section_);
    rows_ = nullptr;
    memoryDC_ = nullptr;
    section_ = nullptr;
    bits_ = nullptr;
    imageBytes_ = 0;
    width_ = 0;
    height_ = 0;
    loaded_ = 0;
    std::memset(label_, 0, sizeof label_);
}
