// The registry record against Wine's real registry: value types, data lengths and data of the
// product and title keys, tag expansion, number reading, and the cut of list lines at the comma.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "install/registry_record.h"
#include "data/list_grammar.h"
#include "install/disc_request.h"
#include "install/run_state.h"
#include "menu/pages.h"
#include "tests/support/dialogs.h"
#include "tests/support/registry.h"

using namespace test_support;

namespace {

struct Value {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::vector<unsigned char> data;
    std::string text() const { return std::string(data.begin(), data.end()).c_str(); }
};

Value readValue(const char* keyPath, const char* name)
{
    Value v;
    std::string data;
    if (test_support::readValue(HKEY_CURRENT_USER, keyPath, name, &v.type, &data)) {
        v.result = ERROR_SUCCESS;
        v.data.assign(data.begin(), data.end());
    }
    return v;
}

DWORD valueCount(const char* keyPath)
{
    HKEY key;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return count;
}

std::vector<unsigned char> fullBuffer(const std::string& text)   // the text, then zeros up to 260
{
    std::vector<unsigned char> data(kTextSize, 0);
    std::memcpy(data.data(), text.data(), text.size());
    return data;
}

std::vector<unsigned char> number(DWORD n)
{
    return {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
            static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
}

// Leaves stale bytes after the NUL, as a program-wide buffer may hold from an earlier, longer text.
void setText(char* buffer, const std::string& text)
{
    std::memset(buffer, 'x', kTextSize);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

const char kTitleKey[] = "Software\\Varnis\\TestTitle";

class RegistryRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(user_.ok());
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        run_.installType = 0;
        setText(run_.installDir, "C:\\Program Files\\Varnis\\Hub\\");
        setText(run_.installRoot, "D:\\Games\\");
        setText(sourceRoot, "Q:\\");
        InstallTypeList& list = g_installLists[0];
        std::memset(&list, 0, sizeof list);
        const char* names[kListArchives] = {"script.arc", "pict.arc", "bgm.arc", "se.arc", "voice.arc", ""};
        for (int i = 0; i < kListArchives; ++i) std::strcpy(list.archiveNames[i], names[i]);
        std::strcpy(list.mediaType, "DVD");
        title_ = std::make_unique<TitleRecord>();
        std::strcpy(title_->registryKey, kTitleKey);
    }
    void TearDown() override
    {
        DestroyWindow(owner_);
    }
    void addString(const char* line) { std::strcpy(title_->stringValues[title_->stringValueCount++], line); }
    void addNumber(const char* line) { std::strcpy(title_->numberValues[title_->numberValueCount++], line); }

    PrivateRegistryRoot user_{HKEY_CURRENT_USER, "registry_record"};
    MessageCatcher messages_;
    HWND owner_ = nullptr;
    std::unique_ptr<TitleRecord> title_;
    InstallChoices run_ = {};
};

TEST_F(RegistryRecord, ProductKeyHoldsEveryValueWithItsTypeAndLength)
{
    EXPECT_FALSE(isProductInstalled());
    EXPECT_FALSE(productKeyExistsForWrite());
    run_.installType = 1;   // the compact list names the archives
    g_installLists[1] = g_installLists[0];
    std::strcpy(g_installLists[1].archiveNames[0], "script_c.arc");
    std::strcpy(g_installLists[1].mediaType, "CD");

    ASSERT_TRUE(writeProductRegistry(owner_, run_));
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_TRUE(isProductInstalled());
    EXPECT_TRUE(productKeyExistsForWrite());

    const std::string dir = "C:\\Program Files\\Varnis\\Hub\\";
    Value path = readValue(kProductKeyPath, "INSTALL_PATH");
    EXPECT_EQ(path.type, DWORD{REG_SZ});
    EXPECT_EQ(path.data, fullBuffer(dir));   // 260 bytes, no stale bytes
    Value type = readValue(kProductKeyPath, "INSTALL_TYPE");
    EXPECT_EQ(type.type, DWORD{REG_DWORD});
    EXPECT_EQ(type.data, number(1));
    struct { const char* name; std::string text; } texts[] = {
        {"SCRIPT_ARC", dir + "script_c.arc"}, {"PICT_ARC", dir + "pict.arc"}, {"BGM_ARC", dir + "bgm.arc"},
        {"SE_ARC", dir + "se.arc"}, {"VOICE_ARC", dir + "voice.arc"}, {"VOICE2_ARC", dir}, {"MEDIA_TYPE", "CD"},
    };
    for (const auto& e : texts) {   // REG_SZ of the text's length plus its NUL
        Value v = readValue(kProductKeyPath, e.name);
        EXPECT_EQ(v.type, DWORD{REG_SZ}) << e.name;
        EXPECT_EQ(v.data.size(), e.text.size() + 1) << e.name;
        EXPECT_EQ(v.text(), e.text) << e.name;
    }
    // The run has not copied anything yet: the product copy is marked unfinished until the last
    // list entry is done.
    Value mark = readValue(kProductKeyPath, "INSTALL_UNFINISHED");
    EXPECT_EQ(mark.type, DWORD{REG_DWORD});
    EXPECT_EQ(mark.data, number(1));
    EXPECT_TRUE(productCopyUnfinished());
    EXPECT_EQ(valueCount(kProductKeyPath), 10u);
    markProductCopyFinished();
    EXPECT_FALSE(productCopyUnfinished());
    EXPECT_EQ(valueCount(kProductKeyPath), 9u);
}

TEST_F(RegistryRecord, ArchivePathTooLongIsLeftOutWithAMessageNotCut)
{
    const std::string dir = "C:\\" + std::string(246, 'd') + "\\";   // 250: "script.arc" makes 260
    setText(run_.installDir, dir);
    EXPECT_TRUE(writeProductRegistry(owner_, run_));   // the run still starts
    EXPECT_EQ(readValue(kProductKeyPath, "SCRIPT_ARC").result, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(readValue(kProductKeyPath, "VOICE_ARC").text(), dir + "voice.arc");   // 259 fits
    EXPECT_EQ(readValue(kProductKeyPath, "MEDIA_TYPE").text(), "DVD");
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "ERROR");
    EXPECT_EQ(messages_.shown()[0].owner, owner_);
    EXPECT_EQ(messages_.shown()[0].text, "パスが長すぎるためレジストリに書き込めませんでした：SCRIPT_ARC");
}

TEST_F(RegistryRecord, TitleKeyExpandsTagsReadsNumbersAndKeepsWholeBuffers)
{
    struct { const char* line; const char* name; const char* text; } strings[] = {
        {"SAVE,[インストールパス]save\\", "SAVE", "D:\\Games\\save\\"},
        {"MEDIA,[メディアパス]", "MEDIA", "Q:\\"},
        {"ROOT,[インストールパス]", "ROOT", "D:\\Games\\"},
        {"NOTAG,x[メディアパス]", "NOTAG", "x[メディアパス]"},      // only at the start
        {"HALF,[インストールパス", "HALF", "[インストールパス"},     // over its full length
        {"COMMAS,a,b,,c", "COMMAS", "abc"},                           // later commas dropped
        {"表示,ソフト", "表示", "ソフト"},                            // 0x5C trail bytes
    };
    struct { const char* line; const char* name; DWORD value; } numbers[] = {
        {"N12,12abc", "N12", 12}, {"NONE,abc", "NONE", 0}, {"NEG, -5", "NEG", static_cast<DWORD>(-5)},
    };
    for (const auto& s : strings) addString(s.line);
    for (const auto& n : numbers) addNumber(n.line);

    EXPECT_FALSE(isTitleInstalled(*title_));
    ASSERT_TRUE(writeTitleRegistry(owner_, *title_, run_.installRoot));
    EXPECT_TRUE(messages_.shown().empty());
    EXPECT_TRUE(isTitleInstalled(*title_));

    Value root = readValue(kTitleKey, "L_INST_PATH");
    EXPECT_EQ(root.type, DWORD{REG_SZ});
    EXPECT_EQ(root.data, fullBuffer("D:\\Games\\"));
    for (const auto& s : strings) {
        Value v = readValue(kTitleKey, s.name);
        EXPECT_EQ(v.type, DWORD{REG_SZ}) << s.line;
        EXPECT_EQ(v.data, fullBuffer(s.text)) << s.line;
    }
    for (const auto& n : numbers) {
        Value v = readValue(kTitleKey, n.name);
        EXPECT_EQ(v.type, DWORD{REG_DWORD}) << n.line;
        EXPECT_EQ(v.data, number(n.value)) << n.line;
    }
    EXPECT_EQ(valueCount(kTitleKey), 11u);

    Text folder;
    ASSERT_TRUE(readTitleInstallPath(*title_, folder));
    EXPECT_STREQ(folder, "D:\\Games\\");

    // A title without values gets L_INST_PATH alone.
    std::strcpy(title_->registryKey, "Software\\Varnis\\Bare");
    title_->stringValueCount = title_->numberValueCount = 0;
    ASSERT_TRUE(writeTitleRegistry(owner_, *title_, run_.installRoot));
    EXPECT_EQ(valueCount("Software\\Varnis\\Bare"), 1u);
}

TEST_F(RegistryRecord, TooLongExpansionIsRefusedAndStopsTheTitle)
{
    const std::string root = "D:\\" + std::string(240, 'r') + "\\";   // 244 characters
    setText(run_.installRoot, root);
    addString("FIRST,[インストールパス]short\\");             // 250: fits
    addString("SAVE,[インストールパス]savedata\\long\\path\\");  // 263: does not
    addString("AFTER,plain");
    addNumber("N,1");

    EXPECT_FALSE(writeTitleRegistry(owner_, *title_, run_.installRoot));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].caption, "ERROR");
    EXPECT_EQ(messages_.shown()[0].owner, owner_);
    EXPECT_EQ(messages_.shown()[0].text, "パスが長すぎるためレジストリに書き込めませんでした：SAVE");
    EXPECT_EQ(readValue(kTitleKey, "FIRST").text(), root + "short\\");
    for (const char* name : {"SAVE", "AFTER", "N"})   // not cut short, and nothing after it
        EXPECT_EQ(readValue(kTitleKey, name).result, ERROR_FILE_NOT_FOUND) << name;
}

TEST_F(RegistryRecord, TitleWithoutKeyPathIsNeverInstalledNorWritten)
{
    // An empty path would name HKEY_CURRENT_USER itself.
    title_->registryKey[0] = '\0';
    EXPECT_FALSE(isTitleInstalled(*title_));
    EXPECT_FALSE(writeTitleRegistry(owner_, *title_, run_.installRoot));
    ASSERT_EQ(messages_.shown().size(), 1u);
    EXPECT_EQ(messages_.shown()[0].text, "キー情報をレジストリに書き込めませんでした");
    EXPECT_EQ(messages_.shown()[0].owner, owner_);
    EXPECT_EQ(readValue("", "L_INST_PATH").result, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryRecord, InstallPathIsReadOnlyAsATerminatedString)
{
    Text folder;
    auto readsAs = [&](bool expected, const char* text) {
        std::memset(folder, 'x', sizeof folder);
        EXPECT_EQ(readTitleInstallPath(*title_, folder), expected);
        EXPECT_STREQ(folder, text);
    };
    readsAs(false, "");   // no key
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTitleKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    readsAs(false, "");   // no value
    DWORD seven = 7;
    RegSetValueExA(key, "L_INST_PATH", 0, REG_DWORD, reinterpret_cast<BYTE*>(&seven), sizeof seven);
    readsAs(false, "");
    RegSetValueExA(key, "L_INST_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>("E:\\G\\"), 5);   // no NUL
    readsAs(true, "E:\\G\\");
    const std::string full(kTextSize, 'a');   // 260 characters: more than the buffer holds
    RegSetValueExA(key, "L_INST_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(full.data()), kTextSize);
    readsAs(false, "");
    RegCloseKey(key);
}

std::pair<std::string, std::string> cut(const char* line, size_t bytes = 0)
{
    Text buffer = {}, key, value;
    std::memcpy(buffer, line, bytes ? bytes : std::strlen(line) + 1);
    std::memset(key, 'k', sizeof key);
    std::memset(value, 'v', sizeof value);
    splitAtComma(buffer, kTextSize, key, value);
    return {std::string(key, strnlen(key, kTextSize)), std::string(value, strnlen(value, kTextSize))};
}

TEST(SplitAtComma, CutsAtTheFirstSingleByteCommaOnly)
{
    using Cut = std::pair<std::string, std::string>;
    EXPECT_EQ(cut("SAVE,[インストールパス]save\\"), Cut("SAVE", "[インストールパス]save\\"));
    EXPECT_EQ(cut("a,b,,c,"), Cut("a", "bc"));
    EXPECT_EQ(cut("no comma"), Cut("no comma", ""));
    EXPECT_EQ(cut(",value"), Cut("", "value"));
    EXPECT_EQ(cut("ab\x81,cd,ef"), Cut("ab\x81,cd", "ef"));   // a lead byte takes the comma
    EXPECT_EQ(cut("ソ表,ソ\x81,"), Cut("ソ表", "ソ\x81,"));
    EXPECT_EQ(cut("key,\x81"), Cut("key", "\x81"));           // a lead byte cut off by the end
    EXPECT_EQ(cut("k,v\0,stale", 11), Cut("k", "v"));         // the text ends at its NUL
}

TEST(SplitAtComma, NeverReadsOrWritesPastTheBuffers)
{
    // 260 bytes without a NUL, ending in a lead byte right before an inaccessible page: a walk
    // past the buffer faults. The key keeps 259 characters and its NUL.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    char* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD previous;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &previous));
    char* line = pages + system.dwPageSize - kTextSize;
    std::memset(line, 'a', kTextSize);
    line[kTextSize - 1] = '\x81';
    Text key, value;
    splitAtComma(line, kTextSize, key, value);
    EXPECT_EQ(std::string(key), std::string(kTextSize - 1, 'a'));
    EXPECT_STREQ(value, "");

    // A two-byte character that would pass the limit is left out whole, never halved.
    line[kTextSize - 2] = '\x83';
    line[kTextSize - 1] = '\x5C';
    splitAtComma(line, kTextSize, key, value);
    EXPECT_EQ(std::string(key), std::string(kTextSize - 2, 'a'));
    VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
