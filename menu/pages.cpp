// The menu's page handles and mutex, empty until start-up fills them.
#include "menu/pages.h"

Pages g_pages = {};
HANDLE g_menuMutex = nullptr;
