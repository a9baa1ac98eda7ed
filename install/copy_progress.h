// What an install run shows while it copies. The progress page provides it; the copy only tells
// it what to show, and takes its window as the owner of the run's message boxes.
#pragma once
#include <windows.h>

class CopyProgress {
public:
    virtual ~CopyProgress() = default;
    // The window that owns the run's message boxes (null: no owner).
    virtual HWND owner() const = 0;
    // The file being copied: its source and destination paths.
    virtual void showFiles(const char* source, const char* destination) = 0;
    // The percentage on the bar and as text ("0％" to "100％", a title run may pass 100).
    virtual void showPercent(int percent) = 0;
    // The picture beside the bar, repainted now if it needs it.
    virtual void repaintPicture() = 0;
};
