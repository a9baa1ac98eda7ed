// Tests of vgadisc: archives it packs read back byte for byte, archives written here by hand read
// correctly, bad inputs give clear errors, and lint finds faults planted in a small disc set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "tools/vgadisc/archive_writer.h"
#include "tools/vgadisc/commands.h"
#include "tools/vgadisc/host_process.h"
#include "tools/vgadisc/lint.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

Outcome vgadisc(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    int code = vgadisc::runCommand(args, out, err);
    return Outcome{code, out.str(), err.str()};
}

Bytes pattern(size_t n, unsigned seed)
{
    Bytes b(n);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        // Runs of repeats and noise, so the packer finds matches and literals.
        b[i] = (i / 64) % 3 == 0 ? uint8_t(i / 64) : uint8_t(x >> 24);
    }
    return b;
}

void writeBytes(const fs::path& path, const Bytes& data)
{
    fs::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes readBytes(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A fresh folder per test, removed afterwards.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        dir_ = fs::temp_directory_path() / ("vgadisc_test_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& rel) const { return (dir_ / fs::u8path(rel)).string(); }
    fs::path dir_;
};

// ---- an archive written here, independently of the tool's writer ----------------------------

struct HandEntry {
    std::string name;   // code page 932, up to 31 bytes
    Bytes stored;
    uint32_t size;
    bool unusable = false;
};

// Directory after the header, then the data in reverse order with a gap, so offsets must be used.
Bytes handArchive(const std::vector<HandEntry>& entries, bool packed, const std::string& key)
{
    auto put = [](Bytes& b, uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    };
    size_t dataStart = 8 + entries.size() * 44 + 13;
    std::vector<uint32_t> offsets(entries.size());
    Bytes data;
    for (size_t i = entries.size(); i-- > 0;) {
        offsets[i] = uint32_t(dataStart + data.size());
        data.insert(data.end(), entries[i].stored.begin(), entries[i].stored.end());
        data.push_back(0xEE);
    }
    Bytes block;
    for (size_t i = 0; i < entries.size(); ++i) {
        char name[32] = {};
        std::memcpy(name, entries[i].name.data(), entries[i].name.size());
        block.insert(block.end(), name, name + 32);
        put(block, entries[i].size);
        put(block, entries[i].unusable ? 0 : uint32_t(entries[i].stored.size()));
        put(block, offsets[i]);
    }
    for (size_t i = 0; !key.empty() && i < block.size(); ++i) block[i] = uint8_t(block[i] - key[i % key.size()]);
    Bytes out;
    put(out, uint32_t(entries.size()));
    put(out, packed ? 1 : 0);
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), 13, 0x55);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A packed stream of literals only: what the oldest packers wrote, and valid for any decoder.
Bytes literalStream(const Bytes& data)
{
    Bytes out;
    for (size_t i = 0; i < data.size(); i += 8) {
        out.push_back(0xFF);
        for (size_t j = i; j < data.size() && j < i + 8; ++j) out.push_back(data[j]);
    }
    return out;
}

// ---- pack, list, extract -------------------------------------------------------------------

class ArchiveRoundTrip : public TempDirTest, public ::testing::WithParamInterface<std::tuple<bool, std::string>> {};

TEST_P(ArchiveRoundTrip, PackedFilesComeBackByteForByte)
{
    const bool store = std::get<0>(GetParam());
    const std::string key = std::get<1>(GetParam());
    std::map<std::string, Bytes> files = {
        {"noise.bin", pattern(70000, 1)},
        {"zeros.dat", Bytes(50000, 0)},
        {"one.txt", Bytes{'x'}},
        {u8"表ソ.txt", pattern(5000, 2)},                        // trail bytes 0x5C in the name
        {"a_name_of_exactly_31_bytes_.bin", pattern(4097, 3)},   // 31 bytes: the longest that fits
    };
    std::vector<std::string> args = {"pack", "--key", key};
    if (store) args.push_back("--store");
    args.push_back(path("out.arc"));
    for (const auto& f : files) {
        writeBytes(path("in/" + f.first), f.second);
        args.push_back(path("in/" + f.first));
    }
    Outcome pack = vgadisc(args);
    ASSERT_EQ(pack.code, 0) << pack.err;

    Outcome list = vgadisc({"list", "--key", key, path("out.arc")});
    ASSERT_EQ(list.code, 0) << list.err;
    std::istringstream lines(list.out);
    std::string line;
    size_t count = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, size, stored, offset;
        std::getline(fields, name, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, stored, '\t');
        std::getline(fields, offset, '\t');
        ASSERT_TRUE(files.count(name)) << line;
        EXPECT_EQ(std::stoul(size), files[name].size());
        if (store) {
            EXPECT_EQ(stored, size);
        }
        ++count;
    }
    EXPECT_EQ(count, files.size());

    Outcome extract = vgadisc({"extract", "--key", key, path("out.arc"), "-o", path("all")});
    ASSERT_EQ(extract.code, 0) << extract.err;
    for (const auto& f : files) EXPECT_EQ(readBytes(path("all/" + f.first)), f.second) << f.first;

    // One entry by name, in another letter case.
    Outcome one = vgadisc({"extract", "--key", key, path("out.arc"), "NOISE.BIN", "-o", path("one")});
    ASSERT_EQ(one.code, 0) << one.err;
    EXPECT_EQ(readBytes(path("one/noise.bin")), files["noise.bin"]);
    EXPECT_FALSE(fs::exists(path("one/zeros.dat")));
}

INSTANTIATE_TEST_SUITE_P(StoredAndPacked, ArchiveRoundTrip,
                         ::testing::Combine(::testing::Bool(), ::testing::Values("kavo", "", "abcde")),
                         [](const ::testing::TestParamInfo<ArchiveRoundTrip::ParamType>& info) {
                             const std::string& key = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param) ? "Stored" : "Packed") + "_key_" +
                                    (key.empty() ? "none" : key);
                         });

TEST(ArchiveWriter, KeyWalksOnAcrossEntries)
{
    // 44 is a multiple of 4, so only a key of another length shows a walk that restarts per entry.
    std::vector<vgadisc::ArchiveInput> inputs = {{"first.txt", pattern(10, 1)}, {"second.txt", pattern(20, 2)}};
    vgadisc::ArchiveOptions options;
    options.key = "xyz";
    options.packed = false;
    Bytes archive;
    std::string error;
    ASSERT_TRUE(vgadisc::buildArchive(inputs, options, &archive, &error)) << error;
    ASSERT_EQ(archive.size(), 8u + 2 * 44 + 30);
    Bytes block(archive.begin() + 8, archive.begin() + 8 + 88);
    for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(block[i] + options.key[i % 3]);
    EXPECT_STREQ(reinterpret_cast<const char*>(&block[0]), "first.txt");
    EXPECT_STREQ(reinterpret_cast<const char*>(&block[44]), "second.txt");
    uint32_t offset2 = block[84] | block[85] << 8 | block[86] << 16 | uint32_t(block[87]) << 24;
    EXPECT_EQ(Bytes(archive.begin() + offset2, archive.end()), inputs[1].data);
}

TEST(ArchiveWriter, RefusesWhatTheReaderCouldNotFindAgain)
{
    vgadisc::ArchiveOptions options;
    Bytes archive;
    std::string error;
    std::vector<vgadisc::ArchiveInput> tooLong = {{std::string(32, 'n'), Bytes{1}}};
    EXPECT_FALSE(vgadisc::buildArchive(tooLong, options, &archive, &error));
    EXPECT_NE(error.find("31 bytes"), std::string::npos) << error;
    std::vector<vgadisc::ArchiveInput> twice = {{"Setup.txt", Bytes{1}}, {"setup.TXT", Bytes{2}}};
    EXPECT_FALSE(vgadisc::buildArchive(twice, options, &archive, &error));
    EXPECT_NE(error.find("twice"), std::string::npos) << error;
    std::vector<vgadisc::ArchiveInput> empty = {{"empty.txt", Bytes{}}};
    EXPECT_FALSE(vgadisc::buildArchive(empty, options, &archive, &error));
    EXPECT_NE(error.find("empty"), std::string::npos) << error;
    EXPECT_TRUE(archive.empty());
}

using HandWrittenArchive = TempDirTest;

TEST_F(HandWrittenArchive, ListAndExtractFollowTheDirectory)
{
    Bytes one = pattern(3000, 5), two = pattern(17, 6), three = pattern(900, 7);
    std::vector<HandEntry> entries = {
        {"One.BMP", literalStream(one), uint32_t(one.size())},
        {"\x95\x5c.txt", literalStream(two), uint32_t(two.size())},   // "表.txt": 0x5C is a trail byte
        {"hidden.txt", literalStream(three), uint32_t(three.size()), true},
    };
    writeBytes(path("hand.arc"), handArchive(entries, true, "kavo"));

    Outcome list = vgadisc({"list", path("hand.arc")});
    ASSERT_EQ(list.code, 0) << list.err;
    EXPECT_NE(list.out.find("one.bmp\t3000\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("hidden.txt\t900\t0\t"), std::string::npos) << list.out;

    Outcome extract = vgadisc({"extract", path("hand.arc"), "-o", path("out")});
    ASSERT_EQ(extract.code, 0) << extract.err;
    EXPECT_EQ(readBytes(path("out/one.bmp")), one);
    EXPECT_EQ(readBytes(path(u8"out/表.txt")), two);
    EXPECT_FALSE(fs::exists(path("out/hidden.txt")));   // storedSize 0: unusable
    EXPECT_NE(extract.err.find("hidden.txt"), std::string::npos);
    EXPECT_EQ(vgadisc({"extract", path("hand.arc"), "hidden.txt", "-o", path("out2")}).code, 2);
}

TEST_F(HandWrittenArchive, EntryNamesThatLeaveTheFolderAreRefused)
{
    for (const std::string& name : {std::string(".."), std::string("..\\escape.txt"), std::string("sub/x.txt")}) {
        Bytes data = pattern(10, 1);
        writeBytes(path("bad.arc"), handArchive({{name, data, 10}}, false, ""));
        fs::remove_all(path("out"));
        Outcome r = vgadisc({"extract", "--key", "", path("bad.arc"), "-o", path("out/inner")});
        EXPECT_EQ(r.code, 2) << name;
        EXPECT_NE(r.err.find("not a plain file name"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(path("out"))) << "nothing may be written for " << name;
    }
}

TEST_F(HandWrittenArchive, BadInputsGiveClearErrors)
{
    Bytes text(400, 'a');
    writeBytes(path("text.arc"), text);
    std::vector<uint8_t> good;
    std::string error;
    ASSERT_TRUE(vgadisc::buildArchive({{"a.txt", pattern(500, 1)}, {"b.txt", pattern(500, 2)}}, {}, &good, &error));
    writeBytes(path("good.arc"), good);
    writeBytes(path("cut.arc"), Bytes(good.begin(), good.begin() + 60));

    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"list", path("missing.arc")}, "no such file"},
        {{"list", dir_.string()}, "no such file"},
        {{"list", path("text.arc")}, "not an installer archive, or wrong key"},
        {{"list", "--key", "wrong", path("good.arc")}, "not an installer archive, or wrong key"},
        {{"list", "--key", "", path("good.arc")}, "not an installer archive, or wrong key"},
        {{"list", path("cut.arc")}, "not an installer archive, or wrong key"},
        {{"extract", path("good.arc"), "nothere.txt", "-o", path("x")}, "no entry"},
        {{"extract", path("good.arc")}, "usage"},
        {{"pack", path("new.arc"), path("missing.txt")}, "no such file"},
        {{"pack", path("new.arc")}, "usage"},
        {{"list", "--key"}, "--key needs a value"},
        {{"frobnicate"}, "unknown command"},
        {{}, "usage"},
    };
    for (const Case& c : cases) {
        Outcome r = vgadisc(c.args);
        std::string words = "";
        for (const std::string& a : c.args) words += a + " ";
        EXPECT_EQ(r.code, 2) << words;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << words << "\n" << r.err;
    }
    EXPECT_FALSE(fs::exists(path("new.arc")));
    EXPECT_FALSE(fs::exists(path("new.arc.tmp")));
}

TEST_F(HandWrittenArchive, PackErrorLeavesAnEarlierArchiveUntouched)
{
    writeBytes(path("in/ok.txt"), pattern(100, 1));
    ASSERT_EQ(vgadisc({"pack", path("out.arc"), path("in/ok.txt")}).code, 0);
    Bytes before = readBytes(path("out.arc"));
    writeBytes(path("in/empty.txt"), Bytes{});
    Outcome r = vgadisc({"pack", path("out.arc"), path("in/ok.txt"), path("in/empty.txt")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(readBytes(path("out.arc")), before);
}

// ---- lint ------------------------------------------------------------------------------------

// A list as lines of code page 932 text (the literals of this file are compiled to CP932).
struct ListText {
    std::vector<std::string> lines;
    bool finalLineEnd = true;

    Bytes bytes() const
    {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i)
            text += lines[i] + (i + 1 < lines.size() || finalLineEnd ? "\r\n" : "");
        return Bytes(text.begin(), text.end());
    }
    int lineOf(const std::string& line) const
    {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line) return int(i) + 1;
        return 0;
    }
    void replace(const std::string& from, const std::string& to) { lines[size_t(lineOf(from) - 1)] = to; }
    void insertAfter(const std::string& after, const std::string& line)
    {
        lines.insert(lines.begin() + lineOf(after), line);
    }
};

ListText titleList(const std::string& id, int sizeMb, const std::vector<std::string>& fileLines,
                   const std::string& registryKey)
{
    const std::string folder = "Varnis\\" + id + "\\";
    ListText t;
    t.lines = {"【名前】",
               id,
               "【容量】",
               std::to_string(sizeMb),
               "【コピー元】",
               id + "\\",
               "【実行ファイル】",
               folder + id + ".exe",
               "【フォルダ】",
               folder,
               "end",
               "【ファイル】"};
    t.lines.insert(t.lines.end(), fileLines.begin(), fileLines.end());
    std::vector<std::string> rest = {"end",
                                     "【メニューフォルダ】",
                                     "Varnis",
                                     "Varnis\\" + id,
                                     "end",
                                     "【メニュー】",
                                     folder + id + ".exe," + folder + id + ".lnk",
                                     "end",
                                     "【デスクトップ】",
                                     folder + id + ".exe," + folder + id + ".lnk",
                                     "end",
                                     "【キー】",
                                     registryKey,
                                     "【文字列値】",
                                     "SAVE_PATH,[インストールパス]" + folder + "save\\",
                                     "end",
                                     "【数値】",
                                     "VERSION,100",
                                     "end",
                                     "【1】",
                                     "a",
                                     "【2】",
                                     "b",
                                     "【3】",
                                     "c",
                                     "【4】",
                                     "d"};
    t.lines.insert(t.lines.end(), rest.begin(), rest.end());
    return t;
}

std::vector<std::string> titleFiles(const std::string& id, int disc, const std::vector<std::string>& extra = {})
{
    std::vector<std::string> lines = {"disc" + std::to_string(disc), "setdir,Varnis\\" + id + "\\",
                                      "file," + id + ".exe", "file," + id + ".dat"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
}

Bytes tinyBmp()
{
    Bytes b(54 + 8, 0);   // 2 x 1 pixels, 24-bit, one padded row of 8 bytes
    b[0] = 'B';
    b[1] = 'M';
    b[2] = uint8_t(b.size());
    b[10] = 54;
    b[14] = 40;
    b[18] = 2;
    b[22] = 1;
    b[26] = 1;
    b[28] = 24;
    return b;
}

// A two-disc set small enough to build per test; clean as made, faults are planted by editing it.
struct DiscModel {
    std::map<std::string, ListText> lists;
    std::map<std::string, uint64_t> files;   // host path under the discs folder ("disc1/data/a.arc") -> size
    static constexpr uint64_t kLargestWritten = 64 << 20;   // larger files are sparse
    std::vector<std::string> archiveExtras = {"inst1.bmp", "inst2.bmp"};

    DiscModel()
    {
        lists["instdata_f.txt"].lines = {"【タイトル】",
                                         "Varnis Grand Anthology",
                                         "【名前】",
                                         "Varnis Grand Anthology",
                                         "【容量】",
                                         "2",
                                         "【アンインストーラー】",
                                         "vgan1_menu.exe",
                                         "【フォルダ】",
                                         "data\\",
                                         "表\\",
                                         "【ファイル】",
                                         "vgan1_menu.exe",
                                         "instdata.arc",
                                         "DATA\\A.ARC",
                                         "表\\ソ.dat",
                                         "CDCHANGE 2",
                                         "data\\b.arc",
                                         "【アーカイブ】",
                                         "data\\a.arc",
                                         "data\\a.arc",
                                         "data\\a.arc",
                                         "data\\a.arc",
                                         "data\\b.arc",
                                         "DVD-ROM",
                                         "【セーブ】",
                                         "save\\*.sav",
                                         "【既読】",
                                         "save\\read.dat",
                                         "【システム】",
                                         "save\\s1.dat",
                                         "【システム】",
                                         "save\\s2.dat"};
        lists["instdata_c.txt"] = lists["instdata_f.txt"];
        ListText& compact = lists["instdata_c.txt"];
        compact.lines.erase(compact.lines.begin() + 15, compact.lines.begin() + 18);   // ソ.dat, CDCHANGE, b.arc
        compact.replace("2", "1");
        compact.replace("data\\b.arc", "data\\v.arc");   // voice archive left on disc 1
        compact.replace("DVD-ROM", "CD-ROM");
        lists["inst_lantern.txt"] =
            titleList("lantern", 1, titleFiles("lantern", 1, {"disc2,omake.dat"}), "Software\\V\\L");
        lists["inst_brindle.txt"] = titleList("brindle", 1, titleFiles("brindle", 1), "Software\\V\\B");
        lists["inst_harbormenu.txt"] = titleList("harbor", 1, titleFiles("harbor", 1), "Software\\V\\H");
        lists["inst_harbor.txt"] =
            titleList("harbor", 0, {"disc1", "setdir,Varnis\\harbor\\", "file,x1.dat"}, "Software\\V\\H1");
        lists["inst_harborsp.txt"] =
            titleList("harbor", 0, {"disc2", "setdir,Varnis\\harbor\\", "file,x2.dat"}, "Software\\V\\H2");
        lists["inst_rainmere.txt"] = titleList("rainmere", 1, titleFiles("rainmere", 1), "Software\\V\\R");
        lists["inst_mistvale.txt"] = titleList("mistvale", 1, titleFiles("mistvale", 2), "Software\\V\\M");

        files = {{"disc1/varnis_disc1.ico", 100},
                 {"disc1/vgan1_menu.exe", 200000},
                 {"disc1/data/a.arc", 900000},
                 {"disc1/data/v.arc", 1000},
                 {u8"disc1/表/ソ.dat", 50000},
                 {"disc2/varnis_disc2.ico", 100},
                 {"disc2/data/b.arc", 400000},
                 {"disc2/readme.txt", 10},
                 {"disc2/directx81/redist/directX81/dxsetup.exe", 10},
                 {"disc2/lantern/omake.dat", 1000},
                 {"disc1/harbor/x1.dat", 1000},
                 {"disc2/harbor/x2.dat", 1000}};
        for (const char* id : {"lantern", "brindle", "harbor", "rainmere"}) {
            files[std::string("disc1/") + id + "/" + id + ".exe"] = 1000;
            files[std::string("disc1/") + id + "/" + id + ".dat"] = 600000;
        }
        files["disc2/mistvale/mistvale.exe"] = 1000;
        files["disc2/mistvale/mistvale.dat"] = 600000;
    }

    void write(const fs::path& root) const
    {
        unsigned seed = 0;
        for (const auto& f : files) {
            const fs::path file = root / fs::u8path(f.first);
            if (f.second <= kLargestWritten) {
                writeBytes(file, pattern(f.second, ++seed));
            } else {   // only its size is read
                writeBytes(file, Bytes{});
                fs::resize_file(file, f.second);
            }
        }
        std::vector<vgadisc::ArchiveInput> inputs;
        for (const auto& l : lists) inputs.push_back({l.first, l.second.bytes()});
        for (const std::string& name : archiveExtras) inputs.push_back({name, tinyBmp()});
        Bytes archive;
        std::string error;
        ASSERT_TRUE(vgadisc::buildArchive(inputs, vgadisc::ArchiveOptions(), &archive, &error)) << error;
        writeBytes(root / "disc1" / "instdata.arc", archive);
    }
};

class Lint : public TempDirTest {
protected:
    Outcome lint(const DiscModel& model)
    {
        fs::remove_all(dir_ / "discs");
        model.write(dir_ / "discs");
        return vgadisc({"lint", (dir_ / "discs" / "disc1").string(), (dir_ / "discs" / "disc2").string()});
    }
    // Lint must report exactly one finding, starting with prefix and containing words.
    void expectOne(const DiscModel& model, const std::string& prefix, const std::string& words)
    {
        Outcome r = lint(model);
        EXPECT_EQ(r.code, 1) << r.out << r.err;
        EXPECT_EQ(r.out.compare(0, prefix.size(), prefix), 0) << "expected " << prefix << "\n" << r.out;
        EXPECT_NE(r.out.find(words), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("vgadisc lint: 1 finding "), std::string::npos) << r.out;
    }
    DiscModel model;
};

TEST_F(Lint, TheSmallDiscSetIsClean)
{
    Outcome r = lint(model);
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("vgadisc lint: clean (9 lists read"), std::string::npos) << r.out;
}

TEST_F(Lint, ListsTheLoaderRefusesOrCutsAreReportedWithTheirLine)
{
    ListText& full = model.lists["instdata_f.txt"];
    for (int i = 0; i < 15; ++i) full.insertAfter("表\\", "more" + std::to_string(i) + "\\");   // 17 folders
    expectOne(model, "instdata_f.txt:26: refused", "more lines in a section than it holds");

    // A title list is read up to its slots instead, and the rest of it is checked as usual.
    model = DiscModel();
    ListText& brindle = model.lists["inst_brindle.txt"];
    for (int i = 0; i < 20; ++i) brindle.insertAfter("Varnis\\brindle\\", "Varnis\\brindle\\" + std::to_string(i));
    expectOne(model, "inst_brindle.txt:" + std::to_string(brindle.lineOf("Varnis\\brindle\\0")) + ": folder list",
              "holds 21 lines, only the first 20 are read: the 1 line(s) from here on are left out");

    model = DiscModel();
    model.lists["inst_brindle.txt"].replace("a", std::string(300, 'x'));
    expectOne(model,
              "inst_brindle.txt:" + std::to_string(model.lists["inst_brindle.txt"].lineOf("【1】") + 1) + ": refused",
              "longer than 259");

    model = DiscModel();
    model.lists["inst_rainmere.txt"].finalLineEnd = false;
    expectOne(model, "inst_rainmere.txt:", "refused by the list loader");

    model = DiscModel();
    model.lists.erase("inst_mistvale.txt");
    expectOne(model, "inst_mistvale.txt: not in instdata.arc", "");

    model = DiscModel();
    model.archiveExtras = {"inst1.bmp"};
    expectOne(model, "instdata.arc: inst2.bmp is missing", "");
}

TEST_F(Lint, FilesAreLookedForOnTheDiscInTheDrive)
{
    model.files.erase("disc2/data/b.arc");
    expectOne(model, "instdata_f.txt:18: entry \"data\\b.arc\" is on no disc", "");

    // A file before the disc change that lies on disc 2 only.
    model = DiscModel();
    model.lists["instdata_f.txt"].insertAfter("表\\ソ.dat", "data\\b.arc");
    expectOne(model, "instdata_f.txt:17: entry \"data\\b.arc\" is on disc 2, but disc 1", "");

    model = DiscModel();
    model.files.erase("disc2/lantern/omake.dat");
    int line = model.lists["inst_lantern.txt"].lineOf("disc2,omake.dat");
    expectOne(model, "inst_lantern.txt:" + std::to_string(line) + ": \"lantern\\omake.dat\" is on no disc", "");

    // "disc 2" is not a disc line: nothing changes the disc before the file.
    model = DiscModel();
    model.lists["inst_lantern.txt"].replace("disc2,omake.dat", "disc 2,omake.dat");
    Outcome r0 = lint(model);
    EXPECT_NE(r0.out.find("inst_lantern.txt:" + std::to_string(line) + ": disc line \"disc 2\" names no disc"),
              std::string::npos)
        << r0.out;
    EXPECT_NE(r0.out.find("\"lantern\\omake.dat\" is on disc 2, but disc 1 is in the drive"), std::string::npos)
        << r0.out;

    // Without its disc line, Brindle is read from whichever disc the full or compact list left in
    // the drive: disc 2 after the full list.
    model = DiscModel();
    model.lists["inst_brindle.txt"].lines.erase(model.lists["inst_brindle.txt"].lines.begin() + 12);
    Outcome r = lint(model);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("inst_brindle.txt:14: \"brindle\\brindle.exe\" is read from whichever disc is in the drive "
                         "when the title is installed (disc 1 or 2), but it is not on disc 2"),
              std::string::npos)
        << r.out;

    model = DiscModel();
    model.files.erase("disc2/varnis_disc2.ico");
    expectOne(model, "disc2: disc marker varnis_disc2.ico is missing", "");

    // A disc change is "CDCHANGE", a blank and the number, which the menu reads from the tenth
    // character: anything else is named, and the drive holds the disc the menu reads (disc 2
    // for "CDCHANGE22" and "CDCHANGEx2", so data\b.arc after it is found there).
    const char* const discChanges[][2] = {{"CDCHANGE2", "names no disc"},  {"CDCHANGE", "names no disc"},
                                          {"CDCHANGE ", "names no disc"},  {"CDCHANGE x", "names no disc"},
                                          {"CDCHANGE22", "reads disc 2"},  {"CDCHANGEx2", "reads disc 2"},
                                          {"CDCHANGE  2", "reads disc 2"}};
    for (const auto& change : discChanges) {
        model = DiscModel();
        model.lists["instdata_f.txt"].replace("CDCHANGE 2", change[0]);
        expectOne(model, "instdata_f.txt:17: disc change \"" + std::string(change[0]) + "\"", change[1]);
    }
}

TEST_F(Lint, DeclaredSizesMustAgreeWithTheFiles)
{
    // Full list: 200,000 + 900,000 + 50,000 + 400,000 and the archive's few KB: 1 or 2 MB agree.
    model.lists["instdata_f.txt"].replace("2", "3");
    expectOne(model, "instdata_f.txt:6: size 3 MB disagrees with the entries' 155", "bytes (1 to 2 MB");

    // Harbor: its own record and both extra lists count together.
    model = DiscModel();
    model.lists["inst_harbor.txt"].replace("0", "1");
    model.lists["inst_harborsp.txt"].replace("0", "1");
    expectOne(model, "inst_harbormenu.txt:4: size 1 MB (3 MB with its extra lists)", "603000 bytes");
}

TEST_F(Lint, PathsAndTargetsThatWouldFailAtInstallTime)
{
    const std::string longName = "data\\" + std::string(230, 'n') + ".arc";   // 28 + 239 bytes
    model.lists["instdata_f.txt"].insertAfter("表\\ソ.dat", longName);
    model.files["disc1/data/" + std::string(230, 'n') + ".arc"] = 1000;
    Outcome r = lint(model);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("instdata_f.txt:17: entry \"" + longName +
                         "\" would be 267 bytes under C:\\Program Files\\Varnis\\Hub\\"),
              std::string::npos)
        << r.out;
    // Its name is too long for an image as well.
    EXPECT_NE(r.out.find("disc1: name \"" + longName + "\" is 234 characters long: a Joliet name holds at most 64"),
              std::string::npos)
        << r.out;

    model = DiscModel();
    model.lists["instdata_f.txt"].insertAfter("表\\ソ.dat", "save\\x.dat");
    model.files["disc1/save/x.dat"] = 10;
    expectOne(model, "instdata_f.txt:17: entry \"save\\x.dat\" lies in a folder the list does not make", "");

    model = DiscModel();
    model.lists["inst_rainmere.txt"].replace("Varnis\\rainmere\\rainmere.exe", "rainmere.exe");
    expectOne(model, "inst_rainmere.txt:8: program file \"rainmere.exe\" is not a file the title installs", "");

    // A blank line ends the file list early: the lines after it are never copied, and the
    // program and shortcuts then point at nothing.
    model = DiscModel();
    model.lists["inst_lantern.txt"].insertAfter("disc1", "");
    r = lint(model);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("inst_lantern.txt:14: this line ends the file list: the 4 line(s) after it are never copied"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("program file \"Varnis\\lantern\\lantern.exe\" is not a file"), std::string::npos) << r.out;

    model = DiscModel();
    model.lists["inst_harbor.txt"].replace("Software\\V\\H1", "Software\\V\\h");
    expectOne(model, "inst_harbor.txt:", "is also used by inst_harbormenu.txt");
}

// What an image cannot hold as it is, with the path on the disc; the same kind of file just
// inside the limit is clean.
TEST_F(Lint, WhatAnImageCannotHoldIsNamedWithItsPath)
{
    auto times = [](const std::string& s, int n) {
        std::string r;
        for (int i = 0; i < n; ++i) r += s;
        return r;
    };
    const std::string a60 = times(u8"長", 60), b58 = times(u8"霧", 58), levels = "1/2/3/4/5/6/7";
    const struct {
        std::string file;   // under disc2, host text
        uint64_t size;
        std::string finding;   // "" for clean
        std::string words = "";
    } cases[] = {
        {times(u8"長", 60) + ".dat", 10, ""},
        {times(u8"長", 61) + ".dat", 10,
         u8"name \"" + times(u8"長", 61) + ".dat\" is 65 characters long: a Joliet name holds at most 64"},
        {a60 + "/" + b58, 10, ""},
        {a60 + "/" + b58 + "x", 10, u8"path \"\\" + a60 + "\\" + b58 + "x\" is 121 characters long from the root"},
        {levels + "/f.dat", 10, ""},
        {levels + "/8/f.dat", 10, "folder \"1\\2\\3\\4\\5\\6\\7\\8\" is level 9 counting the root as 1"},
        {"a:b.txt", 10, "name \"a:b.txt\" holds \":\", which a Windows file name cannot"},
        // U+301C, whose code page 932 form reads back as U+FF5E; then code page 932 bytes, not UTF-8.
        {u8"〜.txt", 10, u8"name \"〜.txt\" has no code page 932 form"},
        {"\x82\xA0.txt", 10, "name \"\\x82\\xA0.txt\" has no code page 932 form"},
        {"movie/big.dat", vgadisc::kDvd5Bytes - 1000000, "an image would take about ",
         "more than the 4700372992 bytes of a DVD-5"},
    };
    for (const auto& c : cases) {
        model = DiscModel();
        model.files["disc2/" + c.file] = c.size;
        if (c.finding.empty()) {
            Outcome r = lint(model);
            EXPECT_EQ(r.code, 0) << c.file << "\n" << r.out;
        } else {
            expectOne(model, "disc2: " + c.finding, c.words);
        }
    }

    model = DiscModel();
    lint(model);
    fs::create_symlink(dir_ / "nowhere", dir_ / "discs" / "disc2" / "link");
    Outcome r = vgadisc({"lint", (dir_ / "discs" / "disc1").string(), (dir_ / "discs" / "disc2").string()});
    EXPECT_NE(r.out.find("disc2: \"link\" is neither a file nor a folder"), std::string::npos) << r.out;
}

TEST_F(Lint, AListThatDoesNotInstallTheArchiveLeavesAMenuThatCannotUninstall)
{
    std::vector<std::string>& lines = model.lists["instdata_c.txt"].lines;
    lines.erase(std::find(lines.begin(), lines.end(), "instdata.arc"));
    expectOne(model, "instdata_c.txt:8: \"instdata.arc\" is not one of the entries", "could not uninstall");
}

TEST_F(Lint, CommandLineProblemsAreErrors)
{
    EXPECT_EQ(vgadisc({"lint"}).code, 2);
    EXPECT_EQ(vgadisc({"lint", path("nowhere")}).code, 2);
    model.write(dir_ / "discs");
    writeBytes(dir_ / "discs" / "disc1" / "instdata.arc", Bytes(100, 'z'));
    Outcome r = vgadisc({"lint", (dir_ / "discs" / "disc1").string()});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("not an installer archive, or wrong key"), std::string::npos) << r.err;
}

TEST_F(Lint, OneDiscAloneIsNotClean)
{
    model.write(dir_ / "discs");
    Outcome r = vgadisc({"lint", (dir_ / "discs" / "disc1").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("disc2: not given"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("vgadisc lint: 1 finding "), std::string::npos) << r.out;
}

// ---- master ----------------------------------------------------------------------------------

// Runs the image tool; false when it is not installed.
bool imageTool(const std::vector<std::string>& argv, std::string* output = nullptr)
{
    int code = -1;
    std::string text, error;
    if (!host::runProgram(argv, &code, &text, &error)) return false;
    EXPECT_EQ(code, 0) << text;
    if (output) *output = text;
    return true;
}

#define SKIP_WITHOUT_XORRISO()                                                                       \
    if (!imageTool({"xorriso", "-version"}))                                                         \
    GTEST_SKIP() << "xorriso is not installed (Debian package xorriso): the disc images are not tested"

// Every file under root (relative path with '/', host text) with its bytes.
std::map<std::string, Bytes> filesUnder(const fs::path& root)
{
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files[fs::relative(e.path(), root).u8string()] = readBytes(e.path());
    return files;
}

// The image's files as the image tool's own reader extracts them: Joliet names and bytes.
std::map<std::string, Bytes> imageFiles(const fs::path& image, const fs::path& into)
{
    fs::remove_all(into);
    imageTool({"osirrox", "-no_rc", "-local_charset", "UTF-8", "-indev", image.string(), "-extract", "/",
               into.string()});
    // The extracted files and folders are read-only, as on the disc.
    for (const auto& e : fs::recursive_directory_iterator(into))
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add);
    std::map<std::string, Bytes> files = filesUnder(into);
    fs::remove_all(into);
    return files;
}

std::string volumeId(const fs::path& image)
{
    std::string info;
    imageTool({"xorriso", "-no_rc", "-indev", image.string(), "-pvd_info"}, &info);
    size_t at = info.find("Volume Id    : ");
    return at == std::string::npos ? "" : info.substr(at + 15, info.find('\n', at) - at - 15);
}

class Master : public Lint {
protected:
    void SetUp() override
    {
        Lint::SetUp();
        // Blanks, Japanese names and "ソ" / "表", whose second byte in code page 932 is 0x5C.
        model.files[u8"disc1/ソフト 資料/表紙 ソ.bmp"] = 3000;
        model.files[u8"disc2/おまけ/a b.txt"] = 10;
        model.write(dir_ / "discs");
    }
    Outcome master(const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> args = {"master"};
        args.insert(args.end(), extra.begin(), extra.end());
        for (const char* a : {"disc1", "disc2"}) args.push_back((dir_ / "discs" / a).string());
        args.insert(args.end(), {"-o", out().string()});
        return vgadisc(args);
    }
    fs::path out() const { return dir_ / "out"; }
    std::vector<std::string> outNames() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(out())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Master, EachImageHoldsItsDiscFolderWithJolietNamesBytesAndLabel)
{
    SKIP_WITHOUT_XORRISO();
    Outcome r = master({"--label-prefix", "TEST_"});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(outNames(), (std::vector<std::string>{"disc1.iso", "disc2.iso"}));
    const std::string autorun = "[autorun]\r\nopen=vgan1_menu.exe\r\nicon=varnis_disc1.ico\r\n";
    for (int disc = 1; disc <= 2; ++disc) {
        const std::string name = "disc" + std::to_string(disc);
        const fs::path image = out() / (name + ".iso");
        std::map<std::string, Bytes> expected = filesUnder(dir_ / "discs" / name);
        if (disc == 1) expected["autorun.inf"] = Bytes(autorun.begin(), autorun.end());
        std::map<std::string, Bytes> files = imageFiles(image, dir_ / "read");
        EXPECT_EQ(files, expected) << name;
        EXPECT_EQ(files.count(u8"ソフト 資料/表紙 ソ.bmp") + files.count(u8"表/ソ.dat"), disc == 1 ? 2u : 0u);
        EXPECT_EQ(volumeId(image), "TEST_" + std::to_string(disc));
        // The lint's estimate may not fall short of the real image.
        const uint64_t estimate = vgadisc::scanDiscImage((dir_ / "discs" / name).string()).imageBytes();
        EXPECT_GE(estimate, fs::file_size(image));
        EXPECT_LE(estimate, fs::file_size(image) + 2 * 1024 * 1024);
    }

    // A disc folder with its own autorun.inf keeps it; the new images replace the earlier ones.
    const std::string own = "[AutoRun]\r\nopen=other.exe\r\n";
    writeBytes(dir_ / "discs" / "disc1" / "AUTORUN.INF", Bytes(own.begin(), own.end()));
    r = master();
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    std::map<std::string, Bytes> files = imageFiles(out() / "disc1.iso", dir_ / "read");
    EXPECT_EQ(files.count("autorun.inf"), 0u);
    EXPECT_EQ(files["AUTORUN.INF"], Bytes(own.begin(), own.end()));
    EXPECT_EQ(volumeId(out() / "disc1.iso"), "VGAN1_DISC1");
}

TEST_F(Master, AFailedRunLeavesTheEarlierImagesAndNoHalfImage)
{
    SKIP_WITHOUT_XORRISO();
    ASSERT_EQ(master().code, 0);
    const Bytes disc1 = readBytes(out() / "disc1.iso"), disc2 = readBytes(out() / "disc2.iso");
    auto unchanged = [&](const std::string& why) {
        EXPECT_EQ(outNames(), (std::vector<std::string>{"disc1.iso", "disc2.iso"})) << why;
        EXPECT_TRUE(readBytes(out() / "disc1.iso") == disc1 && readBytes(out() / "disc2.iso") == disc2) << why;
    };

    // A lint finding: printed, nothing written.
    fs::remove(dir_ / "discs" / "disc2" / "varnis_disc2.ico");
    Outcome r = master();
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("disc2: disc marker varnis_disc2.ico is missing"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("no image written"), std::string::npos) << r.err;
    unchanged("lint finding");
    model.write(dir_ / "discs");

    // The image tool fails on disc 2 after disc 1 was written, or is not there at all.
    const std::string path = std::getenv("PATH");
    fs::path real;
    std::istringstream dirs(path);
    for (std::string d; real.empty() && std::getline(dirs, d, ':');)
        if (fs::exists(fs::path(d) / "xorriso")) real = fs::path(d) / "xorriso";
    const fs::path fake = dir_ / "fake";
    fs::create_directories(fake);
    std::ofstream(fake / "xorriso") << "#!/bin/sh\n"
                                       "for a; do case $a in stdio:*) out=${a#stdio:};; esac; done\n"
                                       "case $out in *disc2*) printf half > \"$out\"; echo broken >&2; exit 5;; esac\n"
                                       "exec '" << real.string() << "' \"$@\"\n";
    fs::permissions(fake / "xorriso", fs::perms::owner_all);
    setenv("PATH", (fake.string() + ":" + path).c_str(), 1);
    r = master();
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("xorriso failed (exit 5)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("broken"), std::string::npos) << r.err;
    unchanged("failing image tool");
    setenv("PATH", dir_.string().c_str(), 1);
    r = master();
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("xorriso is not installed"), std::string::npos) << r.err;
    unchanged("no image tool");

    // An output folder outside the discs, a label both trees hold.
    const std::string d1 = (dir_ / "discs" / "disc1").string(), d2 = (dir_ / "discs" / "disc2").string();
    EXPECT_NE(vgadisc({"master", d1, d2, "-o", d1 + "/images"}).err.find("inside the disc folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(d1 + "/images"));
    for (const char* prefix : {"vgan", "A B", "", "SIXTEEN_CHARS_XX"}) {
        r = vgadisc({"master", "--label-prefix", prefix, d1, d2, "-o", out().string()});
        EXPECT_EQ(r.code, 2) << prefix;
        EXPECT_NE(r.err.find("label prefix"), std::string::npos) << prefix << r.err;
    }
    unchanged("usage");
}

// The sample discs of the cross build, when they have been built.
fs::path sampleDiscs()
{
    const char* env = std::getenv("VGA_SAMPLE_DISCS");
    return env && *env ? fs::path(env) : fs::path(VGA_SOURCE_DIR) / "build" / "i686" / "discs";
}

TEST(SampleDiscs, LintIsClean)
{
    const fs::path discs = sampleDiscs();
    if (!fs::exists(discs / "disc1" / "instdata.arc")) GTEST_SKIP() << "no sample discs at " << discs;
    Outcome r = vgadisc({"lint", (discs / "disc1").string(), (discs / "disc2").string()});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
}

TEST(SampleDiscs, ImagesHoldTheDiscFolders)
{
    SKIP_WITHOUT_XORRISO();
    const fs::path discs = sampleDiscs();
    if (!fs::exists(discs / "disc1.iso")) GTEST_SKIP() << "no sample disc images at " << discs;
    const fs::path read = fs::temp_directory_path() / ("vgadisc_test_" + std::to_string(::getpid()) + "_sample");
    for (const char* name : {"disc1", "disc2"}) {
        const fs::path image = discs / (std::string(name) + ".iso");
        std::map<std::string, Bytes> expected = filesUnder(discs / name), files = imageFiles(image, read);
        if (std::string(name) == "disc1") {
            EXPECT_EQ(expected.count("autorun.inf"), 0u);
            EXPECT_EQ(files.erase("autorun.inf"), 1u);
        }
        EXPECT_EQ(files, expected) << name;
        EXPECT_EQ(volumeId(image), std::string("VGAN1_DISC") + name[4]);
    }
}

}  // namespace
