// The DirectX offer: Cancel does nothing more, OK starts the setup by its quoted path in its own folder,
// a setup that is not there is reported.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/run_state.h"
#include "menu/directx_offer.h"
#include "install_test_helpers.h"
#include "tests/support/dialogs.h"
#include "tests/support/files.h"

using namespace install_test;
using namespace test_support;

namespace {

const char kStartRecord[] = "vga_dxsetup_started.txt";

std::string tempPath(const char* name) { return tempFolder() + name; }

// A copy of this program named dxsetup.exe stands in for the setup: started under that name it
// only records its command line and working folder, then ends.
const bool g_runAsSetup = [] {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    const std::string name = "\\dxsetup.exe";
    if (path.size() < name.size() || lstrcmpiA(path.c_str() + path.size() - name.size(), name.c_str()) != 0)
        return false;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    writeFile(tempPath(kStartRecord), std::string(GetCommandLineA()) + "\n" + folder);
    ExitProcess(0);
}();

class DirectXOffer : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(tempPath(kStartRecord).c_str());
        owner_ = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        // A disc folder with a blank: an unquoted command line would name "...\disc" as the program.
        setText(sourceRoot, scratch_.path() + "disc with blank\\");
        CreateDirectoryA(sourceRoot, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
        DeleteFileA(tempPath(kStartRecord).c_str());
    }
    ScratchFolder scratch_{"directx_offer"};
    MessageCatcher messages_;
    HWND owner_ = nullptr;
};

TEST_F(DirectXOffer, CancelDoesNothingMoreAndAMissingSetupIsReported)
{
    messages_.answer(IDCANCEL);
    EXPECT_FALSE(offerDirectXSetup(owner_));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "DirectXのインストール確認");
    EXPECT_EQ(messages_.shown()[0].owner, owner_);

    EXPECT_FALSE(offerDirectXSetup(owner_));   // OK, but the disc has no setup
    ASSERT_EQ(messages_.shown().size(), 3u);
    EXPECT_EQ(messages_.shown()[2].text, "DirectX8.1インストーラーの起動に失敗しました。");
    EXPECT_EQ(messages_.shown()[2].caption, "DirectXのインストール");
    EXPECT_EQ(messages_.shown()[2].owner, owner_);
}

TEST_F(DirectXOffer, OkStartsTheSetupByItsQuotedPathInItsOwnFolder)
{
    Text folder = {}, program = {};
    ASSERT_TRUE(directXSetupPaths(folder, program));
    EXPECT_EQ(std::string(folder), std::string(sourceRoot) + "directx81\\redist\\directX81");
    for (const char* part : {"directx81", "directx81\\redist", "directx81\\redist\\directX81"})
        CreateDirectoryA((std::string(sourceRoot) + part).c_str(), nullptr);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, program, FALSE));

    EXPECT_TRUE(offerDirectXSetup(owner_));
    EXPECT_EQ(messages_.shown().size(), 1u);   // the question only
    std::string record;
    for (int i = 0; i < 200 && (record = readFile(tempPath(kStartRecord))).find('\n') == std::string::npos; ++i)
        Sleep(50);
    EXPECT_EQ(record, "\"" + std::string(program) + "\"\n" + folder);
    // The stand-in has ended by now or soon: let it go before its folder is removed.
    for (int i = 0; i < 100 && !DeleteFileA(program); ++i) Sleep(50);
}

}  // namespace
