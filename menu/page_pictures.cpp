// The page pictures: "inst1.bmp" on pageWelcome and pageMain, "inst2.bmp" on pageProgress.
//
// The picture controls are empty bitmap statics. Each one is subclassed and paints its block
// from the picture's memory DC in its own WM_PAINT, so the static's own painting never runs over
// the picture (painting into the control's DC from the page's WM_PAINT is undone as soon as the
// static repaints itself, for example after an UpdateWindow during a copy). Handing the static
// the bitmap instead does not work here: the DIB section is kept selected in the picture's
// memory DC, and a bitmap can be selected into one DC only.
#include "menu/page_pictures.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "data/catalogue.h"
#include "support/message_box.h"

CDIB g_pictureInst1;
CDIB g_pictureInst2;
CDIB g_pictureSpare;

namespace {

struct PictureSlot {
    HWND control;
    CDIB* picture;
    int width;
    int height;
    WNDPROC staticProc;   // the control's own procedure, for every message but WM_PAINT
};

PictureSlot g_slots[8];   // 1043, 1044, 1045; a destroyed control frees its slot

void loadPicture(CDIB& picture, const char* name)
{
    picture.Release();
    if (!g_archive.Exists(name)) return;
    uint32_t size = 0;
    g_archive.GetSize(name, &size);
    void* image = (size > 0 && size <= INT_MAX) ? std::malloc(size) : nullptr;
    if (!image || !g_archive.Read(name, image)) {
        std::free(image);
        showMessage(nullptr, "PICT（マスク）アーカイブがありません", "ERROR");
        return;
    }
    picture.Load(image, static_cast<int>(size), 0);
    std::free(image);
}

LRESULT CALLBACK pictureProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* slot = reinterpret_cast<PictureSlot*>(GetWindowLongPtrA(control, GWLP_USERDATA));
    if (!slot) return DefWindowProcA(control, message, wParam, lParam);
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(control, &paint);
        HDC source = slot->picture->GetMemoryDC();
        if (dc && source) BitBlt(dc, 0, 0, slot->width, slot->height, source, 0, 0, SRCCOPY);
        EndPaint(control, &paint);
        return 0;
    }
    WNDPROC staticProc = slot->staticProc;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(staticProc));
        SetWindowLongPtrA(control, GWLP_USERDATA, 0);
        slot->control = nullptr;
    }
    return CallWindowProcA(staticProc, control, message, wParam, lParam);
}

}  // namespace

void loadPagePictures()
{
    loadPicture(g_pictureInst1, "inst1.bmp");
    loadPicture(g_pictureInst2, "inst2.bmp");
}

void releasePagePictures()
{
    g_pictureInst1.Release();
    g_pictureInst2.Release();
    g_pictureSpare.Release();
}

void attachPicture(HWND control, CDIB* picture, int width, int height)
{
    if (!control) return;
    for (PictureSlot& slot : g_slots) {
        if (slot.control) continue;
        slot = PictureSlot{control, picture, width, height, nullptr};
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&slot));
        slot.staticProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pictureProc)));
        InvalidateRect(control, nullptr, TRUE);
        return;
    }
}
