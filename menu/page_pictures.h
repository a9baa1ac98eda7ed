// The page pictures: "inst1.bmp" on pageWelcome and pageMain, "inst2.bmp" on pageProgress.
#pragma once
#include <windows.h>

#include "support/dib.h"

extern CDIB g_pictureInst1;    // "inst1.bmp": pictures 1043 (pageWelcome) and 1044 (pageMain)
extern CDIB g_pictureInst2;    // "inst2.bmp": picture 1045 (pageProgress)
extern CDIB g_pictureSpare;    // never loaded; released with the others

// Loads both pictures from the installer archive. An entry the archive does not hold leaves its
// picture empty without a message; an entry that cannot be read shows
// "PICT（マスク）アーカイブがありません" (caption "ERROR") and leaves it empty.
void loadPagePictures();

// Empties all three pictures; the picture controls then paint nothing.
void releasePagePictures();

// Makes control paint a width x height block of picture, from the picture's origin to the
// control's origin, whenever the control is painted. The control keeps no image of its own.
void attachPicture(HWND control, CDIB* picture, int width, int height);
