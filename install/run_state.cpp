// The install run's state, with the values it has when the program starts.
#include "install/run_state.h"

Text sourceRoot = "";
InstallChoices g_run = {};
RunOrigin g_runOrigin = {};
RunMode runMode = RunMode::Idle;
int copyIndex = 0;
unsigned int bytesCopied = 0;
int currentDisc = 1;
bool voiceArcNoted = false;
volatile unsigned char cancelRequested = 0;
RunFailure runFailure = RunFailure::None;

void noteRunFailure(RunFailure failure)
{
    if (runFailure == RunFailure::None) runFailure = failure;
}
