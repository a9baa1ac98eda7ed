// Tests of CDIB on real GDI: pictures from BMP images in memory, the section, load/release states.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/dib.h"
#include "tests/support/bmp_builder.h"

namespace {

using test_support::Bytes;
using test_support::put16;
using test_support::put32;

// Picture pixel (row from the top, column): red 0x80 + row, green 16 x column, blue 0x20 + row.
COLORREF colourAt(int row, int col) { return RGB(0x80 + row, 16 * col, 0x20 + row); }
uint8_t alphaAt(int row, int col) { return static_cast<uint8_t>(0x40 + 8 * row + col); }

Bytes makeBmp(int bits, int w, int h)
{
    return test_support::makeBmp(bits, w, h, [](int row, int col) {
        const COLORREF c = colourAt(row, col);
        return test_support::BmpPixel{GetBValue(c), GetGValue(c), GetRValue(c), alphaAt(row, col)};
    });
}

int load(CDIB& dib, const Bytes& file) { return dib.Load(file.data(), static_cast<int>(file.size()), 0); }

void expectPicture(const CDIB& dib, int w, int h)
{
    HDC dc = dib.GetMemoryDC();
    ASSERT_NE(nullptr, dc);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            ASSERT_EQ(colourAt(row, col), GetPixel(dc, col, row)) << row << "," << col;
            const uint8_t* px = dib.Row(row) + 3 * col;
            ASSERT_EQ(GetBValue(colourAt(row, col)), px[0]);
        }
}

}  // namespace

TEST(Dib, LoadsTwentyFourBitPictureWithPaddedRows)
{
    CDIB dib;
    EXPECT_STREQ("CDIB", dib.Name());
    EXPECT_STREQ("none", dib.Label());
    EXPECT_EQ(nullptr, dib.GetMemoryDC());

    const Bytes file = makeBmp(24, 5, 3);
    const Bytes before = file;
    ASSERT_EQ(0, load(dib, file));
    EXPECT_EQ(before, file);                      // the caller's image is only read
    EXPECT_EQ(5, dib.Width());
    EXPECT_EQ(3, dib.Height());
    EXPECT_EQ(16, dib.Stride());
    EXPECT_EQ(45, dib.ImageBytes());
    EXPECT_FALSE(dib.HasAlpha());
    ASSERT_FALSE(dib.Alpha().IsEmpty());
    EXPECT_EQ(0, dib.Alpha().Data()[14]);
    expectPicture(dib, 5, 3);
    EXPECT_EQ(dib.Bits() + 2 * 16, dib.Row(2));

    // The section is two rows taller than the picture, top-down, 24 bits, selected in the DC.
    DIBSECTION ds;
    ASSERT_EQ(static_cast<int>(sizeof ds), GetObjectA(dib.Section(), sizeof ds, &ds));
    EXPECT_EQ(5, ds.dsBm.bmWidth);
    EXPECT_EQ(5, ds.dsBm.bmHeight);
    EXPECT_EQ(24, ds.dsBm.bmBitsPixel);
    EXPECT_EQ(dib.Section(), GetCurrentObject(dib.GetMemoryDC(), OBJ_BITMAP));
    EXPECT_NE(CLR_INVALID, GetPixel(dib.GetMemoryDC(), 0, 4));
}

TEST(Dib, LoadsThirtyTwoBitPictureWithItsAlpha)
{
    CDIB dib;
    ASSERT_EQ(0, load(dib, makeBmp(32, 3, 4)));
    EXPECT_EQ(12, dib.Stride());
    EXPECT_TRUE(dib.HasAlpha());
    expectPicture(dib, 3, 4);
    const CAlphaPlane& alpha = dib.Alpha();
    ASSERT_EQ(3, alpha.RowLength());
    ASSERT_EQ(4, alpha.RowCount());
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) EXPECT_EQ(alphaAt(row, col), alpha.Row(row)[col]);
}

TEST(Dib, LoadAndReleaseStates)
{
    CDIB dib;
    dib.Release();                                // never loaded: nothing happens
    EXPECT_STREQ("none", dib.Label());

    ASSERT_EQ(0, load(dib, makeBmp(24, 2, 2)));
    EXPECT_EQ(1, load(dib, makeBmp(32, 6, 6)));   // refused; the first picture stays
    EXPECT_EQ(2, dib.Width());
    expectPicture(dib, 2, 2);

    dib.Release();
    dib.Release();
    EXPECT_FALSE(dib.IsLoaded());
    EXPECT_EQ(nullptr, dib.GetMemoryDC());
    EXPECT_EQ(nullptr, dib.Bits());
    EXPECT_TRUE(dib.Alpha().IsEmpty());
    EXPECT_EQ(0, dib.Width());
    EXPECT_STREQ("", dib.Label());

    ASSERT_EQ(0, load(dib, makeBmp(32, 6, 6)));
    expectPicture(dib, 6, 6);
}

TEST(Dib, RefusedImagesLeaveThePictureEmpty)
{
    CDIB dib;
    Bytes file = makeBmp(24, 4, 4);
    put16(file, 28, 8);
    EXPECT_EQ(3, load(dib, file));
    EXPECT_FALSE(dib.IsLoaded());

    file = makeBmp(24, 5, 3);
    EXPECT_EQ(1, dib.Load(file.data(), static_cast<int>(file.size()) - 1, 0));   // one byte short
    EXPECT_EQ(1, dib.Load(file.data(), 0, 0));                                   // length not given
    EXPECT_EQ(1, dib.Load(nullptr, 100, 0));
    put32(file, 22, static_cast<uint32_t>(-3));                                   // top-down file
    EXPECT_EQ(1, load(dib, file));
    EXPECT_FALSE(dib.IsLoaded());
    EXPECT_EQ(nullptr, dib.GetMemoryDC());
    EXPECT_EQ(nullptr, dib.Section());
}

namespace {
CDIB* g_painted = nullptr;
LRESULT CALLBACK paintProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT && g_painted) return g_painted->OnMessage(hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

TEST(Dib, PaintsAtTheWindowOrigin)
{
    CDIB dib;
    ASSERT_EQ(0, load(dib, makeBmp(24, 8, 8)));
    WNDCLASSA wc = {};
    wc.lpfnWndProc = paintProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DibPaintTest";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ASSERT_NE(0, RegisterClassA(&wc));
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, "DibPaintTest", "", WS_POPUP | WS_VISIBLE, 0, 0, 32, 32,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, hwnd);
    g_painted = &dib;
    EXPECT_EQ(0, dib.OnMessage(hwnd, WM_MOUSEMOVE, 0, 0));
    UpdateWindow(hwnd);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(colourAt(5, 3), GetPixel(dc, 3, 5));
    EXPECT_EQ(colourAt(0, 7), GetPixel(dc, 7, 0));
    ReleaseDC(hwnd, dc);
    g_painted = nullptr;
    DestroyWindow(hwnd);
    UnregisterClassA("DibPaintTest", wc.hInstance);
}
