// The test environment itself: a Japanese ANSI code page, code page 932 literals, optical drives.
// Every other Win32 test relies on these; a broken prefix or build flag shows up here first.
#include <windows.h>

#include <gtest/gtest.h>

TEST(WineEnvironment, AnsiCodePageIsJapanese)
{
    EXPECT_EQ(GetACP(), 932u);
}

TEST(WineEnvironment, LiteralsAreCodePage932)
{
    // "ソ" is 0x83 0x5C: the trail byte is a backslash.
    const char* so = "ソ";
    ASSERT_EQ(strlen(so), 2u);
    EXPECT_EQ(static_cast<unsigned char>(so[0]), 0x83);
    EXPECT_EQ(static_cast<unsigned char>(so[1]), 0x5C);
    wchar_t wide[4] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, so, -1, wide, 4), 2);
    EXPECT_EQ(wide[0], 0x30BD);
}

TEST(WineEnvironment, SimulatedOpticalDrivesAreListed)
{
    EXPECT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(DRIVE_CDROM));
    char roots[1024] = {};
    GetLogicalDriveStringsA(sizeof roots - 1, roots);
    bool q = false;
    for (const char* r = roots; *r; r += strlen(r) + 1) q = q || (r[0] == 'Q' || r[0] == 'q');
    EXPECT_TRUE(q);
}
