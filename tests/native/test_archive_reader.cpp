// Tests of CArchiveReader on archives written here: keys, names, packing, the cache, corrupt files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/archive_reader.h"
#include "data/lzss.h"
#include "support/platform_hooks.h"
#include "tests/support/archive_image.h"
#include "tests/support/host_files.h"

namespace {

using test_support::Bytes;

std::vector<std::string> g_messages;
void recordMessage(const char* text, const char* caption)
{
    g_messages.push_back(std::string(text) + (caption ? std::string("|") + caption : ""));
}

using Image = test_support::ArchiveImage;

Bytes pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = uint8_t((i / 7 + seed) * (i % 5 == 0 ? 3 : 1));
    return b;
}

class ArchiveReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        platform::setMessageHook(recordMessage);
        dir = std::filesystem::temp_directory_path() /
              ("vga_arc_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        path = (dir / "instdata.arc").string();
        reader.SetKey("kavo");
    }
    void TearDown() override
    {
        platform::setMessageHook(nullptr);
        std::filesystem::remove_all(dir);
    }

    void write(const Bytes& b, const std::string& to = "")
    {
        ASSERT_TRUE(test_support::writeBytes(to.empty() ? path : to, b));
    }
    Bytes read(const char* name, int expect = 1)
    {
        uint32_t size = 0;
        reader.GetSize(name, &size);
        Bytes out(size, 0xCD);
        EXPECT_EQ(reader.Read(name, out.data()), expect) << name;
        return out;
    }

    std::filesystem::path dir;
    std::string path;
    CArchiveReader reader;
};

}  // namespace

TEST_F(ArchiveReaderTest, StoredAndPackedEntriesReadBackByLoweredName)
{
    for (uint32_t packed : {0u, 7u}) {
        Image img;
        img.packed = packed;
        img.add("inst1.bmp", pattern(5000, 1));
        img.add("instdata_f.txt", Bytes{'o', 'k'});
        img.add("\x83\x41.TXT", Bytes{'s'});   // trail byte 'A' is lowered too
        img.add(std::string(27, 'L') + ".dat", Bytes{'l'});   // the longest name, 31 bytes
        write(img.bytes("kavo"));
        ASSERT_EQ(reader.Open(path.c_str()), 1);
        EXPECT_EQ(reader.IsPacked(), packed != 0);
        EXPECT_EQ(read("Inst1.BMP"), pattern(5000, 1));
        EXPECT_EQ(read("INSTDATA_F.txt"), (Bytes{'o', 'k'}));
        EXPECT_EQ(read("\x83\x61.txt"), Bytes{'s'});
        EXPECT_EQ(read((std::string(27, 'l') + ".DAT").c_str()), Bytes{'l'});
        EXPECT_EQ(reader.Exists("inst1.bmp"), 1);
        EXPECT_EQ(reader.Exists((std::string(27, 'l') + ".datx").c_str()), 0);

        uint32_t size = 99;
        EXPECT_EQ(reader.GetSize("inst1.bmp ", &size), 0);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(reader.Read("inst2.bmp", nullptr), 0);
        EXPECT_EQ(reader.Exists("inst2.bmp"), 0);
    }
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(ArchiveReaderTest, KeyWalksOnAcrossEntriesAndEmptyKeyReadsPlain)
{
    Image img;
    img.add("a.txt", Bytes{'a'});
    img.add("b.txt", Bytes{'b'});
    img.add("c.txt", Bytes{'c'});
    write(img.bytes("xyz"));   // 44 is no multiple of 3: a key restarted per entry would fail
    reader.SetKey("xyz");
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    EXPECT_EQ(read("c.txt"), Bytes{'c'});

    write(img.bytes(""));
    reader.SetKey("");
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    EXPECT_EQ(read("b.txt"), Bytes{'b'});
}

TEST_F(ArchiveReaderTest, HiddenAndDuplicateEntries)
{
    Image img;
    img.add("gone.txt", Bytes{'g'}, /*hidden=*/true);
    img.add("Dup.txt", Bytes{'1'});
    img.add("dup.TXT", Bytes{'2', '2'});
    write(img.bytes("kavo"));
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    uint32_t size = 5;
    EXPECT_EQ(reader.GetSize("gone.txt", &size), 0);
    EXPECT_EQ(reader.Exists("gone.txt"), 0);
    EXPECT_EQ(reader.Directory().count("gone.txt"), 1u);
    EXPECT_EQ(read("dup.txt"), (Bytes{'2', '2'}));
    EXPECT_EQ(reader.Directory().size(), 2u);
}

TEST_F(ArchiveReaderTest, SecondReadOfPackedEntryComesFromTheCache)
{
    Image img;
    img.packed = 1;
    img.add("inst2.bmp", pattern(3000, 2));
    write(img.bytes("kavo"));
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    EXPECT_EQ(read("Inst2.bmp"), pattern(3000, 2));
    ASSERT_EQ(reader.Cache().EntryCount(), 1u);
    EXPECT_STREQ(reader.Cache().NameAt(0), "Inst2.bmp");   // as the caller spelled it
    EXPECT_EQ(read("INST2.BMP"), pattern(3000, 2));
    EXPECT_EQ(reader.Cache().UseCountAt(0), 1u);

    // A re-opened archive whose entry of the same name has another size is decoded afresh.
    Image other;
    other.packed = 1;
    other.add("inst2.bmp", pattern(4000, 9));
    write(other.bytes("kavo"));
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    EXPECT_EQ(read("inst2.bmp"), pattern(4000, 9));
}

TEST_F(ArchiveReaderTest, MissingFileShowsMessageAndKeepsTheReader)
{
    Image img;
    img.add("a.txt", Bytes{'a'});
    write(img.bytes("kavo"));
    ASSERT_EQ(reader.Open(path.c_str()), 1);

    std::string missing = (dir / "nothere.arc").string();
    EXPECT_EQ(reader.Open(missing.c_str()), 0);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], missing + "ファイルが見当たりません\n");   // no caption
    EXPECT_EQ(read("a.txt"), Bytes{'a'});

    std::filesystem::remove(path);
    g_messages.clear();
    EXPECT_EQ(reader.Exists("a.txt"), 0);
    EXPECT_TRUE(g_messages.empty());
    uint8_t byte = 0;
    EXPECT_EQ(reader.Read("a.txt", &byte), 0);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], path + "ファイルが見当たりません\n");
}

TEST_F(ArchiveReaderTest, MalformedArchivesAreRefusedWithoutChange)
{
    Image good;
    good.packed = 1;
    good.add("keep.txt", pattern(100, 3));
    write(good.bytes("kavo"), (dir / "good.arc").string());
    ASSERT_EQ(reader.Open((dir / "good.arc").string().c_str()), 1);

    const std::vector<std::pair<const char*, std::function<Bytes()>>> cases = {
        {"shorter than the header", [] { return Bytes{1, 0, 0}; }},
        {"count beyond the file", [] { Image i; i.add("a", Bytes{'a'}); i.countOverride = 0x10000000; return i.bytes("kavo"); }},
        {"directory cut short", [] { Image i; i.add("a", Bytes{'a'}); i.add("b", Bytes{'b'}); Bytes b = i.bytes("kavo"); b.resize(60); return b; }},
        {"entry past the end", [] { Image i; i.add("a", Bytes{'a', 'b'}); Bytes b = i.bytes("kavo"); b.pop_back(); return b; }},
        {"offset near 4 GB", [] { Image i; i.add("a", Bytes{'a'}); i.dir[0].offset = 0xFFFFFFFF - 52; return i.bytes("kavo"); }},
        {"name without NUL", [] { Image i; i.add("a", Bytes{'a'}); std::memset(i.dir[0].name, 'n', 32); return i.bytes("kavo"); }},
        {"stored size differs", [] { Image i; i.add("a", Bytes{'a'}); i.dir[0].size = 1000; return i.bytes("kavo"); }},
        {"packed size impossible", [] { Image i; i.packed = 1; i.add("a", Bytes(40, 'a')); i.dir[0].size = 0xFFFFFFF0; return i.bytes("kavo"); }},
    };
    for (const auto& c : cases) {
        write(c.second());
        EXPECT_EQ(reader.Open(path.c_str()), 0) << c.first;
        EXPECT_EQ(read("keep.txt"), pattern(100, 3)) << c.first;
    }
    EXPECT_TRUE(g_messages.empty());

    // The parser alone leaves its outputs as they were.
    std::map<std::string, ArchiveEntry> out{{"x", ArchiveEntry{}}};
    int32_t packed = 5;
    uint32_t count = 6;
    Bytes bad = cases[1].second();
    EXPECT_FALSE(parseArchiveDirectory(bad.data(), bad.size(), bad.size(), "kavo", &out, &packed, &count));
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(packed, 5);
    EXPECT_EQ(count, 6u);
}

TEST_F(ArchiveReaderTest, ShortReadsAndBrokenStreamsAnswerZero)
{
    for (uint32_t packed : {0u, 1u}) {
        Image img;
        img.packed = packed;
        img.add("first.txt", pattern(2000, 4));
        img.add("last.txt", pattern(2000, 5));
        Bytes b = img.bytes("kavo");
        write(b);
        ASSERT_EQ(reader.Open(path.c_str()), 1);
        b.resize(b.size() - 10);   // the file shrinks after it was opened
        write(b);
        Bytes out = read("last.txt", 0);
        EXPECT_EQ(out, Bytes(out.size(), 0)) << "no stale or partial bytes";
        EXPECT_EQ(read("first.txt"), pattern(2000, 4));
    }

    // A packed entry whose stream ends before its size: refused, and not cached.
    Image img;
    img.packed = 1;
    img.add("cut.txt", pattern(2000, 6));
    Bytes stream = lzss::encode(pattern(2000, 6).data(), 2000);
    img.dir[0].storedSize = uint32_t(stream.size() - 3);
    write(img.bytes("kavo"));
    ASSERT_EQ(reader.Open(path.c_str()), 1);
    reader.Cache().Clear();
    read("cut.txt", 0);
    EXPECT_EQ(reader.Cache().EntryCount(), 0u);
}
