// Definitions of the menu's program-wide state, with the values it has when the program starts.
#include "menu/app_state.h"

#include "support/timer_resolution.h"

Pages g_pages = {};

Text sourceRoot = "";
Text programFilesDir = "";
Text installRoot = "";
Text installDir = "";
int installType = 0;
RunMode runMode = RunMode::Idle;
int copyIndex = 0;
unsigned int bytesCopied = 0;
int currentDisc = 1;
bool voiceArcNoted = false;
volatile unsigned char cancelRequested = 0;

InstallTypeList g_installLists[2] = {};
TitleRecord g_titles[kTitleCount] = {};
TitleRecord g_harborExtra[2] = {};
CArchiveReader g_archive;
bool g_installListRead[2] = {};
const char* const kInstallTypeListNames[2] = {"instdata_f.txt", "instdata_c.txt"};
bool g_titleListRead[kTitleCount] = {};
bool g_harborExtraRead[2] = {};

HANDLE g_menuMutex = nullptr;

// 1 ms resolution of the multimedia timer for the whole run (the archive cache stamps its
// entries with timeGetTime).
CTimerResolution g_timerResolution;
