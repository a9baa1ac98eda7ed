// The DirectX offer at the end of an install run: asks, then starts the DirectX 8.1 setup from the disc.
#include "menu/directx_offer.h"

#include "install/run_state.h"
#include "support/action_log.h"
#include "support/message_box.h"
#include "support/process.h"

namespace {

const char kQuestion[] =
    "DirectX8.1をインストールしても宜しいですか？\n"
    "\n"
    "＊本製品の動作にはDirectX8.1以降が必要です。\n"
    "　DirectXがインストールされていない、又はそれ以前のDirectX\n"
    "　がインストールされている場合はOKボタンを押してDircetX8.1の\n"
    "　セットアップを行って下さい。\n"
    "\n"
    "＊DirectX8.1のインストールが完了しましたら、マシンの再起動を行い\n"
    "　再度本製品を起動して下さい。";
const char kQuestionCaption[] = "DirectXのインストール確認";
const char kStartFailed[] = "DirectX8.1インストーラーの起動に失敗しました。";
const char kStartFailedCaption[] = "DirectXのインストール";

}  // namespace

bool directXSetupPaths(char* folder, char* program)
{
    if (textJoin(folder, kTextSize, sourceRoot, "directx81\\redist\\directX81") &&
        textJoin(program, kTextSize, folder, "\\dxsetup.exe"))
        return true;
    folder[0] = '\0';
    program[0] = '\0';
    return false;
}

bool startDirectXSetup(HWND owner)
{
    Text folder = {}, program = {};
    if (directXSetupPaths(folder, program) && startProcess(program, nullptr, folder, 0)) {
        logAction("DirectX setup started: %s", program);
        return true;
    }
    showMessage(owner, kStartFailed, kStartFailedCaption, MB_OK | MB_ICONERROR);
    return false;
}

bool offerDirectXSetup(HWND owner)
{
    if (showMessage(owner, kQuestion, kQuestionCaption, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;
    return startDirectXSetup(owner);
}
