// The menu's page handles, empty until start-up fills them.
#include "menu/pages.h"

Pages g_pages = {};
