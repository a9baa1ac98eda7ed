// pageProgress as the display of an install run: file paths, percentage, bar and picture.
#pragma once
#include "install/copy_progress.h"

class ProgressPage : public CopyProgress {
public:
    HWND owner() const override;
    void showFiles(const char* source, const char* destination) override;   // 1035, 1036
    void showPercent(int percent) override;                                 // bar 1025, text 1034
    void repaintPicture() override;                                         // picture 1045
    // Back to the start: "0％", the bar at 0, no file paths.
    void clear();
};

// The progress page of the running menu.
ProgressPage& progressPage();
