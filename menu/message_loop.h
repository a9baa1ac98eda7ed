// The menu's message loop, which also drives the install copy.
#pragma once

// Dispatches the thread's messages (without dialog keyboard handling) until WM_QUIT and answers
// its exit code. While runMode is Copying, every pass that finds no message runs one idle step;
// otherwise the loop sleeps until the next message arrives.
int runMessageLoop();
