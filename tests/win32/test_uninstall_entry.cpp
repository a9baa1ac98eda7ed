// The add/remove programs entry: written whole with a quoted command, a stale entry replaced, removal, failures.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/uninstall_entry.h"
#include "install_test_helpers.h"
#include "tests/support/dialogs.h"
#include "tests/support/registry.h"

using namespace install_test;
using namespace test_support;

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct Value {
    DWORD type = 0;
    std::string data;   // raw bytes, terminating NUL included
};

// Every value of the key, by name; empty when the key does not open.
std::vector<std::pair<std::string, Value>> valuesOf(const char* path)
{
    std::vector<std::pair<std::string, Value>> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        values.push_back({name, {type, std::string(reinterpret_cast<char*>(data), dataLength)}});
    }
    RegCloseKey(key);
    return values;
}

class UninstallEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(machine_.ok());
        ASSERT_TRUE(createKey(HKEY_LOCAL_MACHINE, kUninstallKey));
        setText(installDir_, "C:\\Program Files\\Varnis\\Hub\\");
    }
    PrivateRegistryRoot machine_{HKEY_LOCAL_MACHINE, "uninstall_entry"};
    MessageCatcher messages_;
    Text installDir_ = {};
};

TEST_F(UninstallEntry, StaleEntryIsReplacedWholeWithTwoValuesAndAQuotedCommand)
{
    // An entry from an earlier run, with a value and a subkey that the new one does not have.
    HKEY stale;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntryPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &stale, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(stale, "DisplayIcon", 0, REG_SZ, reinterpret_cast<const BYTE*>("old.ico"), 8);
    RegSetValueExA(stale, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>("old.exe"), 8);
    HKEY child;
    RegCreateKeyExA(stale, "Stale", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
    RegCloseKey(child);
    RegCloseKey(stale);

    for (int run = 0; run < 2; ++run) {   // a second run finds its own entry and replaces it
        EXPECT_TRUE(registerUninstallEntry(nullptr, installDir_, "vgan1_menu.exe"));
        const auto values = valuesOf(kUninstallEntryPath);
        ASSERT_EQ(values.size(), 2u);
        EXPECT_EQ(values[0].first, "DisplayName");
        EXPECT_EQ(values[0].second.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(values[0].second.data, std::string("Hub", 4));
        EXPECT_EQ(values[1].first, "UninstallString");
        static const char kCommand[] = "\"C:\\Program Files\\Varnis\\Hub\\vgan1_menu.exe\"";
        EXPECT_EQ(values[1].second.data, std::string(kCommand, sizeof kCommand));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallEntryPath) + "\\Stale"));
    }
    EXPECT_TRUE(messages_.shown().empty());

    EXPECT_TRUE(removeUninstallEntry());
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntryPath));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(removeUninstallEntry());   // nothing left to remove is no failure
}

TEST_F(UninstallEntry, CommandThatDoesNotFitIsRefusedBeforeAnythingIsWritten)
{
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    setText(installDir_, "C:\\" + std::string(240, 'v') + "\\");
    EXPECT_FALSE(registerUninstallEntry(owner, installDir_, "vgan1_menu.exe"));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallEntryPath));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "アプリケーション追加削除への追加に失敗しました[3]");
    EXPECT_EQ(messages_.shown()[0].caption, "ERROR");
    EXPECT_EQ(messages_.shown()[0].owner, owner);
    DestroyWindow(owner);
}

TEST_F(UninstallEntry, MissingUninstallKeyIsReportedAndCreatesNothing)
{
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKey), ERROR_SUCCESS);
    EXPECT_FALSE(registerUninstallEntry(nullptr, installDir_, "vgan1_menu.exe"));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "アプリケーション追加削除への追加に失敗しました[1]");
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

}  // namespace
