// Tests of the log channel: off by default, stamped lines appended in order, long messages whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/log_file.h"
#include "tests/support/host_files.h"

namespace {

std::string tempPath(const char* name) { return testing::TempDir() + name; }

using test_support::fileExists;
using test_support::readText;

// "MM/DD/YY HH:MM:SS : " with digits where the pattern has 9.
bool isStamped(const std::string& line)
{
    const char pattern[] = "99/99/99 99:99:99 : ";
    if (line.size() < 20) return false;
    for (size_t i = 0; i < 20; ++i)
        if (pattern[i] == '9' ? !(line[i] >= '0' && line[i] <= '9') : line[i] != pattern[i]) return false;
    return line[0] <= '1' && line[3] <= '3' && line[9] <= '2';   // month, day, hour in range
}

std::string messagePart(const std::string& line)
{
    return line.size() >= 20 ? line.substr(20) : std::string();
}

}  // namespace

TEST(LogFile, OffUnlessModeIsOne)
{
    const std::string path = tempPath("log_off.txt");
    std::remove(path.c_str());
    CLogFile log(path.c_str());
    EXPECT_EQ(0, log.Write("first"));
    EXPECT_STREQ("first", log.GetLastMessage());
    log.SetMode(2);
    log.Printf("%s %d", "second", 2);
    EXPECT_STREQ("second 2", log.GetLastMessage());
    EXPECT_FALSE(fileExists(path));
    EXPECT_STREQ("errorlog.txt", CLogFile().FileName());
}

TEST(LogFile, FormatsTheConversionsOfThePrograms)
{
    CLogFile log;
    log.Printf("%d %i %ld|%u %lu|%x %lx|%c%%|%s", -42, 7, -2147483647L - 1, 4000000000u, 4294967295ul, 255u,
               0xabcdul, 'Q', "ソフト");
    EXPECT_STREQ("-42 7 -2147483648|4000000000 4294967295|ff abcd|Q%|ソフト", log.GetLastMessage());
    // A copied file's size is 64-bit.
    log.Printf("%llu|%lld|%llx", 18446744073709551615ull, -9223372036854775807LL - 1, 0x123456789ull);
    EXPECT_STREQ("18446744073709551615|-9223372036854775808|123456789", log.GetLastMessage());
    // From a conversion the programs do not use on, the format is kept and takes no argument.
    log.Printf("%d and %5d then %s", 1, 2, "never read");
    EXPECT_STREQ("1 and %5d then %s", log.GetLastMessage());
}

TEST(LogFile, AppendsStampedLinesInOrder)
{
    const std::string path = tempPath("log_on.txt");
    {
        std::ofstream old(path, std::ios::binary | std::ios::trunc);
        old << "earlier line\n";
    }
    CLogFile log(path.c_str());
    log.SetMode(1);
    log.Write("インストール開始");
    log.WriteInt(42);
    log.Printf("%s=%d", "copied", 7);

    std::istringstream lines(readText(path));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ("earlier line", line);
    const char* expected[] = {"インストール開始", "42", "copied=7"};
    for (const char* message : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_TRUE(isStamped(line)) << line;
        EXPECT_EQ(message, messagePart(line));
    }
    EXPECT_FALSE(std::getline(lines, line));
    std::remove(path.c_str());
}

TEST(LogFile, LongMessagesAreWrittenWholeAfterEarlierLines)
{
    // A copy line names two paths of up to 259 bytes each; a message is logged word for word.
    const std::string path = tempPath("log_long.txt");
    std::remove(path.c_str());
    CLogFile log("unused.txt");
    log.SetFileName(path.c_str());
    log.SetMode(1);

    std::string wide = "x";
    for (int i = 0; i < 300; ++i) wide += "あ";
    log.Write(wide.c_str());
    log.Printf("copied: %s -> %s (%d bytes)", std::string(259, 'a').c_str(), std::string(259, 'b').c_str(), 7);

    std::istringstream lines(readText(path));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(wide, messagePart(line));
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ("copied: " + std::string(259, 'a') + " -> " + std::string(259, 'b') + " (7 bytes)", messagePart(line));
    EXPECT_EQ(messagePart(line), log.GetLastMessage());
    EXPECT_FALSE(std::getline(lines, line));
    std::remove(path.c_str());
}

TEST(LogFile, UnopenableFileLosesTheLineOnly)
{
    CLogFile log(testing::TempDir().c_str());   // a folder cannot be opened for appending
    log.SetMode(1);
    EXPECT_EQ(0, log.Write("lost"));
    EXPECT_STREQ("lost", log.GetLastMessage());
}
