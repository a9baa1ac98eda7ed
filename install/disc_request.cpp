// Asking the player for an install disc until its marker is found on an optical drive.
#include "install/disc_request.h"

#include "install/disc_probe.h"
#include "install/run_state.h"
#include "support/message_box.h"
#include "support/text_buffer.h"

void formatDiscMarker(int disc, char* out)
{
    wsprintfA(out, "varnis_disc%d.ico", disc);
}

void formatDiscRequest(int disc, char* out)
{
    wsprintfA(out, "「インストールdisc%d」に入れ替えてください", disc);
}

bool requestDisc(HWND owner, int disc)
{
    char marker[kTextSize];
    char request[kTextSize];
    formatDiscMarker(disc, marker);
    formatDiscRequest(disc, request);
    while (!probeDiscFile(marker)) {
        if (showMessage(owner, request, "インストール", MB_OKCANCEL) != IDOK) {
            noteRunFailure(RunFailure::DiscMissing);
            return false;
        }
    }
    return true;
}
