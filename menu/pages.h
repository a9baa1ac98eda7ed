// The menu's own program-wide state: the eight page handles.
#pragma once
#include <windows.h>

// The eight pages, in the order they are created.
struct Pages {
    HWND welcome;           // 132
    HWND main;              // 133
    HWND installSelect;     // 134
    HWND installConfirm;    // 137
    HWND progress;          // 135
    HWND uninstallConfirm;  // 136
    HWND uninstallSelect;   // 138
    HWND play;              // 139
};

extern Pages g_pages;
