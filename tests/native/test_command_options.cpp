// Tests of the menu's command line: the disc folder parted from the options, the options read
// (and refused, naming the word), and written back for the restart from TEMP.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "menu/command_options.h"

namespace {

// The options of a run as a short text, so a table can say what a command line must give.
std::string summary(const CommandOptions& o)
{
    char titles[16];
    formatTitleNumbers(o.titles, titles);
    std::string s;
    if (o.silent) s += "silent ";
    if (o.uninstall) s += "uninstall ";
    s += std::string("titles=") + (o.titlesAll ? "all" : titles) + (o.titlesGiven ? "" : "(default)") + " ";
    if (o.dataGiven) {
        s += "data=";
        s += o.dataAll ? "all" : "";
        for (auto kind : {std::make_pair(o.dataGame, "g"), std::make_pair(o.dataSystem, "y"),
                          std::make_pair(o.dataRead, "r"), std::make_pair(o.dataSave, "s")})
            if (kind.first) s += kind.second;
        s += " ";
    }
    if (o.noDesktop) s += "nodesktop ";
    if (o.noStartMenu) s += "nostartmenu ";
    if (o.noDirectX) s += "nodirectx ";
    if (o.noReadme) s += "noreadme ";
    if (o.dir[0]) s += std::string("dir=[") + o.dir + "] ";
    if (o.log[0]) s += std::string("log=[") + o.log + "] ";
    return s;
}

struct Accepted {
    const char* text;
    const char* expected;
};

TEST(CommandOptions, WordsAreReadAsTheRunTakesThem)
{
    const Accepted cases[] = {
        {"", "titles=all(default) "},
        {"/log=C:\\logs\\vga.log", "titles=all(default) log=[C:\\logs\\vga.log] "},
        {"/log=vga.log", "titles=all(default) log=[vga.log] "},
        {"/silent", "silent titles=all(default) "},
        {"/SILENT /Titles=3,1 /NoDesktop", "silent titles=1,3 nodesktop "},
        {"/silent\t/nodirectx   /noreadme /nostartmenu", "silent titles=all(default) nostartmenu nodirectx noreadme "},
        // Blanks and two-byte characters whose second byte is a backslash ("ソ", "表") or '|' ("ポ").
        {"\"/dir=C:\\My Games\\ソ\" /silent", "silent titles=all(default) dir=[C:\\My Games\\ソ] "},
        {"/silent /dir=\"D:\\ゲーム 表\\\"", "silent titles=all(default) dir=[D:\\ゲーム 表\\] "},
        {"/silent /dir=D:\\\"ポ ート\"\\x", "silent titles=all(default) dir=[D:\\ポ ート\\x] "},
        {"/silent /dir=\\\\server\\share\\games", "silent titles=all(default) dir=[\\\\server\\share\\games] "},
        {"/silent /titles=all /dir=C:\\", "silent titles=all dir=[C:\\] "},
        {"/silent /uninstall /titles=all /data=all", "silent uninstall titles=all data=allgyrs "},
        {"/silent /uninstall /titles=2 /data=save,GAME", "silent uninstall titles=2 data=gs "},
        // All four kinds are what the page makes of them: 全データ削除 checks itself.
        {"/silent /uninstall /titles=5,4 /data=read,game,system,save", "silent uninstall titles=4,5 data=allgyrs "},
    };
    for (const Accepted& c : cases) {
        CommandOptions options;
        const OptionCheck check = parseOptions(c.text, &options);
        EXPECT_EQ(check.error, OptionError::None) << c.text << " refused at " << check.option;
        EXPECT_EQ(summary(options), c.expected) << c.text;
    }
}

struct Refused {
    const char* text;
    OptionError error;
    const char* named;
};

TEST(CommandOptions, FaultsAreRefusedNamingTheWord)
{
    const Refused cases[] = {
        {"silent", OptionError::NotAnOption, "silent"},
        {"/silent \"\"", OptionError::NotAnOption, ""},
        {"/silent /titels=1", OptionError::Unknown, "/titels=1"},
        {"/silent=yes", OptionError::UnexpectedValue, "/silent=yes"},
        {"/silent /dir", OptionError::MissingValue, "/dir"},
        {"/silent /titles=", OptionError::MissingValue, "/titles="},
        {"/silent /log=\"\"", OptionError::MissingValue, "/log="},
        {"/silent /silent", OptionError::Repeated, "/silent"},
        {"/silent /titles=1 /TITLES=2", OptionError::Repeated, "/TITLES=2"},
        {"/silent /dir=\"C:\\My Games", OptionError::UnclosedQuote, "/dir=C:\\My Games"},
        // Title numbers: 1 to 5, each once, in a plain comma list.
        {"/silent /titles=6", OptionError::BadTitles, "/titles=6"},
        {"/silent /titles=0", OptionError::BadTitles, "/titles=0"},
        {"/silent /titles=1,,3", OptionError::BadTitles, "/titles=1,,3"},
        {"/silent /titles=3,3", OptionError::BadTitles, "/titles=3,3"},
        {"/silent /titles=13", OptionError::BadTitles, "/titles=13"},
        {"/silent /titles=1-3", OptionError::BadTitles, "/titles=1-3"},
        {"/silent /titles=all,1", OptionError::BadTitles, "/titles=all,1"},
        {"/silent /uninstall /titles=1 /data=games", OptionError::BadData, "/data=games"},
        {"/silent /uninstall /titles=1 /data=game,game", OptionError::BadData, "/data=game,game"},
        {"/silent /uninstall /titles=1 /data=all,save", OptionError::BadData, "/data=all,save"},
        // Paths: absolute for /dir, and nothing a folder name cannot hold (outside two-byte characters).
        {"/silent /dir=Games", OptionError::PathNotAbsolute, "/dir=Games"},
        {"/silent /dir=C:Games", OptionError::PathNotAbsolute, "/dir=C:Games"},
        {"/silent /dir=\\Games", OptionError::PathNotAbsolute, "/dir=\\Games"},
        {"/silent /dir=\\\\\\x", OptionError::PathNotAbsolute, "/dir=\\\\\\x"},
        {"/silent /dir=C:/Games", OptionError::PathInvalid, "/dir=C:/Games"},
        {"/silent /dir=C:\\a|b", OptionError::PathInvalid, "/dir=C:\\a|b"},
        {"/silent /dir=C:\\a:b", OptionError::PathInvalid, "/dir=C:\\a:b"},
        {"/silent /dir=C:\\*", OptionError::PathInvalid, "/dir=C:\\*"},
        {"/silent /log=C:\\a\x83", OptionError::PathInvalid, "/log=C:\\a\x83"},   // half of a two-byte character
        // Options that need another, or go with no other.
        {"/titles=1", OptionError::NeedsSilent, "/titles=1"},
        {"/log=C:\\l.txt /dir=C:\\x", OptionError::NeedsSilent, "/dir=C:\\x"},
        {"/uninstall /titles=1 /data=all", OptionError::NeedsSilent, "/uninstall"},
        {"/silent /data=all", OptionError::NeedsUninstall, "/data=all"},
        {"/silent /uninstall /titles=1 /data=game /nodesktop", OptionError::NotForUninstall, "/nodesktop"},
        {"/silent /uninstall /titles=1", OptionError::MissingForUninstall, "/uninstall"},
    };
    for (const Refused& c : cases) {
        CommandOptions options;
        const OptionCheck check = parseOptions(c.text, &options);
        EXPECT_EQ(check.error, c.error) << c.text;
        EXPECT_STREQ(check.option, c.named) << c.text;
    }
}

TEST(CommandOptions, PathsOfAByteTooManyAreRefusedNotCut)
{
    // 259 bytes fit a 260-byte buffer; a "ソ" (0x83 0x5C) ends both.
    const std::string fits = "C:\\" + std::string(254, 'x') + "ソ";
    CommandOptions options;
    ASSERT_EQ(parseOptions(("/silent /dir=" + fits).c_str(), &options).error, OptionError::None);
    EXPECT_EQ(std::string(options.dir), fits);
    const std::string tooLong = "C:\\" + std::string(255, 'x') + "ソ";
    for (const char* option : {"/dir=", "/log="}) {
        const OptionCheck check = parseOptions(("/silent " + std::string(option) + tooLong).c_str(), &options);
        EXPECT_EQ(check.error, OptionError::PathTooLong) << option;
        // The word is named by its start, not by the whole path.
        const std::string head = std::string(option) + "C:\\xxxxxx";
        EXPECT_EQ(std::string(check.option).substr(0, head.size()), head) << option;
        EXPECT_EQ(std::string(check.option).substr(std::strlen(check.option) - 3), "...") << option;
        EXPECT_STREQ(option[1] == 'd' ? options.dir : options.log, "");
    }
    // Words far longer than any right one keep their faults (the parser keeps only their start).
    const struct {
        std::string text;
        OptionError error;
    } huge[] = {
        {"/silent /dir=C:\\" + std::string(3000, 'x'), OptionError::PathTooLong},
        {"/silent /titles=" + std::string(3000, ','), OptionError::BadTitles},
        {"/silent /uninstall /titles=1 /data=game" + std::string(3000, ','), OptionError::BadData},
        {"/" + std::string(3000, 'n') + "=1", OptionError::Unknown},
        {"/silent=" + std::string(3000, '1'), OptionError::UnexpectedValue},
    };
    for (const auto& c : huge) {
        const OptionCheck check = parseOptions(c.text.c_str(), &options);
        EXPECT_EQ(check.error, c.error) << c.text.substr(0, 40);
        EXPECT_EQ(std::string(check.option).substr(std::strlen(check.option) - 3), "...") << c.text.substr(0, 40);
    }
}

TEST(CommandOptions, EveryWordIsReadSoThatTheFaultIsReportedSilentlyAndLogged)
{
    CommandOptions options;
    const OptionCheck check = parseOptions("/titels=1 /silent /log=\"C:\\ログ ソ\\a.log\" /titles=9", &options);
    EXPECT_EQ(check.error, OptionError::Unknown);
    EXPECT_STREQ(check.option, "/titels=1") << "the first fault is the one named";
    EXPECT_TRUE(options.silent);
    EXPECT_STREQ(options.log, "C:\\ログ ソ\\a.log");
}

struct Split {
    const char* argument;
    const char* folder;
    const char* options;
};

TEST(CommandOptions, TheDiscFolderIsPartedFromTheOptions)
{
    const Split cases[] = {
        {"", "", ""},
        {"Q:\\", "Q:\\", ""},
        {"Q:\\ /silent /titles=1", "Q:\\", "/silent /titles=1"},
        {"Q:\\\t\t/silent", "Q:\\", "/silent"},
        // A folder with blanks and "ソ" right before its backslash stays as it is.
        {"D:\\ゲーム ソ\\disc 1\\ /silent", "D:\\ゲーム ソ\\disc 1\\", "/silent"},
        {"\"D:\\ゲーム ソ\\\" /silent", "D:\\ゲーム ソ\\", "/silent"},
        {"\"D:\\ゲーム ソ\\\"", "D:\\ゲーム ソ\\", ""},
        {"/silent /dir=C:\\x", "", "/silent /dir=C:\\x"},
        {"\"/dir=C:\\a b\" /silent", "", "\"/dir=C:\\a b\" /silent"},
        // A slash inside a word starts nothing.
        {"Q:\\a/b", "Q:\\a/b", ""},
    };
    for (const Split& c : cases) {
        Text folder = "unchanged";
        const char* options = nullptr;
        ASSERT_TRUE(splitArgument(c.argument, folder, &options)) << c.argument;
        EXPECT_STREQ(folder, c.folder) << c.argument;
        EXPECT_STREQ(options, c.options) << c.argument;
    }
    const std::string tooLong = "D:\\" + std::string(256, 'x') + "\\ /silent";   // a folder of 260 bytes
    Text folder = "unchanged";
    const char* options = nullptr;
    EXPECT_FALSE(splitArgument(tooLong.c_str(), folder, &options));
    EXPECT_STREQ(folder, "");
}

TEST(CommandOptions, WrittenOptionsReadBackTheSame)
{
    const char* const texts[] = {
        "",
        "/log=C:\\l.log",
        "/silent",
        "/silent /titles=all /nodesktop /nostartmenu /nodirectx /noreadme",
        "/silent /dir=\"C:\\My Games\\ソ表\" /titles=1,3 /log=\"C:\\ログ ソ\\\"",
        "/silent /dir=C:\\ /titles=1,2,3,4,5",
        "/silent /uninstall /titles=all /data=all",
        "/silent /uninstall /titles=2,5 /data=save,read",
    };
    for (const char* text : texts) {
        CommandOptions first, second;
        ASSERT_EQ(parseOptions(text, &first).error, OptionError::None) << text;
        char written[kOptionsTextSize];
        ASSERT_TRUE(formatOptions(first, written, sizeof written)) << text;
        ASSERT_EQ(parseOptions(written, &second).error, OptionError::None) << written;
        EXPECT_EQ(summary(second), summary(first)) << text << " written as " << written;
    }
    // A run of the pages carries nothing; the longest options still fit.
    char written[kOptionsTextSize] = "x";
    ASSERT_TRUE(formatOptions(defaultOptions(), written, sizeof written));
    EXPECT_STREQ(written, "");
    CommandOptions longest = defaultOptions();
    longest.silent = longest.titlesGiven = longest.noDesktop = longest.noStartMenu = true;
    longest.noDirectX = longest.noReadme = true;
    std::memset(longest.dir, 'd', kTextSize - 1);
    std::memset(longest.log, 'l', kTextSize - 1);
    EXPECT_TRUE(formatOptions(longest, written, sizeof written));
    EXPECT_FALSE(formatOptions(longest, written, 100));
    EXPECT_STREQ(written, "");
}

}  // namespace
