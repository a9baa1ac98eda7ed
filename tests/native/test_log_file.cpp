// Tests of the log channel: off by default, stamped lines appended in order, long messages cut.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/log_file.h"

namespace {

std::string tempPath(const char* name) { return testing::TempDir() + name; }

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool exists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

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
    EXPECT_EQ("first", log.GetLastMessage());
    log.SetMode(2);
    log.Printf("%s %d", "second", 2);
    EXPECT_EQ("second 2", log.GetLastMessage());
    EXPECT_FALSE(exists(path));
    EXPECT_EQ("errorlog.txt", CLogFile().FileName());
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

    std::istringstream lines(readAll(path));
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

TEST(LogFile, LongMessagesAreCutToFitAtCharacterBoundaries)
{
    const std::string path = tempPath("log_long.txt");
    std::remove(path.c_str());
    CLogFile log(path.c_str());
    log.SetMode(1);

    const std::string long300(300, 'x');
    log.Write(long300.c_str());
    EXPECT_EQ(long300, log.GetLastMessage());            // kept whole, only the line is cut
    std::string text = readAll(path);
    ASSERT_EQ(255u, text.size());
    EXPECT_EQ('\n', text.back());
    EXPECT_EQ(std::string(234, 'x'), messagePart(text.substr(0, 254)));

    // "x" then two-byte characters: 234 bytes would split one, so the line keeps 233.
    std::string wide = "x";
    for (int i = 0; i < 150; ++i) wide += "あ";
    std::remove(path.c_str());
    log.Write(wide.c_str());
    text = readAll(path);
    EXPECT_EQ(254u, text.size());
    EXPECT_EQ(wide.substr(0, 233) + "\n", messagePart(text));

    // Printf's buffer holds 511 characters; a two-byte character across the cut is dropped whole.
    log.Printf("%s", std::string(600, 'y').c_str());
    EXPECT_EQ(511u, log.GetLastMessage().size());
    std::string oddWide = "y";
    for (int i = 0; i < 300; ++i) oddWide += "あ";
    log.Printf("y%s", oddWide.c_str());
    EXPECT_EQ(510u, log.GetLastMessage().size());
    std::remove(path.c_str());
}

TEST(LogFile, UnopenableFileLosesTheLineOnly)
{
    CLogFile log(testing::TempDir().c_str());   // a folder cannot be opened for appending
    log.SetMode(1);
    EXPECT_EQ(0, log.Write("lost"));
    EXPECT_EQ("lost", log.GetLastMessage());
}
