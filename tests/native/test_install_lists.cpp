// Tests of the install-type and title list readers: layout, section ends, capacities, faults.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/archive_reader.h"
#include "data/install_lists.h"
#include "tests/support/archive_image.h"
#include "tests/support/host_files.h"

namespace {

using Lines = std::vector<std::string>;

std::string join(const Lines& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

const uint8_t* bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// A full install list as the disc carries it; line numbers in the comments.
Lines installList(const Lines& folders, const Lines& entries)
{
    Lines l = {"【タイトル】", "ヴァーニス・グランドアンソロジー",          // 1, 2
               "【ショートカット】", " ヴァーニス 総合メニュー ",            // 3, 4
               "【容量】", "850",                                           // 5, 6
               "【アンインストール】", "vgan1_uninst.exe",                   // 7, 8
               "【フォルダ】"};                                             // 9
    l.insert(l.end(), folders.begin(), folders.end());
    l.push_back("【ファイル】");
    l.insert(l.end(), entries.begin(), entries.end());
    Lines tail = {"【アーカイブ】", "script.arc", "pict.arc", "bgm.arc", "se.arc", "voice.arc", "DVD",
                  "【セーブデータ】", "Save\\*.sav", "【既読データ】", "Save\\既読.dat",
                  "【システムデータ１】", "Save\\system.dat", "【システムデータ２】", "Save\\表示.dat"};
    l.insert(l.end(), tail.begin(), tail.end());
    return l;
}

Lines titleList(const Lines& folders, const Lines& stringValues)
{
    Lines l = {"【名前】", "ランタン", "【容量】", "1200", "【コピー元】", "LANTERN\\", "【実行】", "lantern.exe",
               "フォルダ"};
    l.insert(l.end(), folders.begin(), folders.end());
    Lines middle = {"end", "ファイル", "lantern.exe,", "ソフト\\data.pak,ソフト\\", "end",
                    "endメニュー",                                    // a header that is an end line
                    "ショートカット", "ランタン,lantern.exe", "end", "end", "【レジストリ】",
                    "Software\\Varnis\\Lantern", "文字列"};
    l.insert(l.end(), middle.begin(), middle.end());
    l.insert(l.end(), stringValues.begin(), stringValues.end());
    Lines tail = {"end", "数値", "L_VER,2", "end", "【1】", "一", "【2】", "", "【3】", "三", "【4】", "四"};
    l.insert(l.end(), tail.begin(), tail.end());
    return l;
}

Lines numbered(const char* prefix, int n)
{
    Lines l;
    for (int i = 0; i < n; ++i) l.push_back(prefix + std::to_string(i));
    return l;
}

template <typename Record>
std::unique_ptr<Record> filledRecord()
{
    std::unique_ptr<Record> r(new Record);
    std::memset(r.get(), 0xA5, sizeof(Record));
    return r;
}

// Parses text into a record full of 0xA5; on a fault the record must be byte-for-byte unchanged.
template <typename Record>
ListResult parseChecked(ListResult (*parse)(const uint8_t*, size_t, Record*), const std::string& text)
{
    auto record = filledRecord<Record>();
    ListResult r = parse(bytes(text), text.size(), record.get());
    if (!r.ok()) {
        auto pristine = filledRecord<Record>();
        EXPECT_EQ(0, std::memcmp(record.get(), pristine.get(), sizeof(Record))) << "record changed on a fault";
    }
    return r;
}

}  // namespace

TEST(InstallTypeList, ReadsEveryFieldInItsPlace)
{
    std::string text = join(installList({"Data\\", "ソフト\\"},
                                        {"vgan1_menu.exe", "Data\\script.arc", "CDCHANGE 2", "Data\\voice.arc"}));
    auto list = filledRecord<InstallTypeList>();
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());

    EXPECT_STREQ("ヴァーニス・グランドアンソロジー", list->title);
    EXPECT_STREQ(" ヴァーニス 総合メニュー ", list->secondText);   // not trimmed
    EXPECT_EQ(850, list->listSizeMb);
    EXPECT_STREQ("vgan1_uninst.exe", list->uninstallProgram);
    ASSERT_EQ(2, list->folderCount);
    EXPECT_STREQ("ソフト\\", list->folderList[1]);                  // trail byte 0x5C kept
    EXPECT_STREQ("【ファイル】", list->folderList[2]);              // the closing line stays after the last
    EXPECT_STREQ("", list->folderList[3]);                         // the rest is cleared
    ASSERT_EQ(4, list->entryCount);                                // the disc change takes one slot
    EXPECT_STREQ("CDCHANGE 2", list->entries[2]);
    EXPECT_STREQ("Data\\voice.arc", list->entries[3]);
    EXPECT_STREQ("script.arc", list->archiveNames[0]);
    EXPECT_STREQ("voice.arc", list->archiveNames[4]);
    EXPECT_STREQ("", list->archiveNames[5]);
    EXPECT_STREQ("DVD", list->mediaType);
    EXPECT_STREQ("Save\\*.sav", list->saveDataPattern);
    EXPECT_STREQ("Save\\既読.dat", list->readDataFile);
    EXPECT_STREQ("Save\\system.dat", list->systemDataFiles[0]);
    EXPECT_STREQ("Save\\表示.dat", list->systemDataFiles[1]);
}

TEST(InstallTypeList, EmptySectionsAndFullCapacity)
{
    std::string text = join(installList({}, {}));
    auto list = filledRecord<InstallTypeList>();
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
    EXPECT_EQ(0, list->folderCount);
    EXPECT_EQ(0, list->entryCount);
    EXPECT_STREQ("【ファイル】", list->folderList[0]);
    EXPECT_STREQ("script.arc", list->archiveNames[0]);

    // Exactly full: no slot is left for the closing line, and nothing spills over.
    text = join(installList(numbered("F", kListFolders), numbered("E", kListEntries)));
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
    EXPECT_EQ(kListFolders, list->folderCount);
    EXPECT_EQ(kListEntries, list->entryCount);
    EXPECT_STREQ("F15", list->folderList[15]);
    EXPECT_STREQ("E255", list->entries[255]);
    EXPECT_STREQ("script.arc", list->archiveNames[0]);
}

TEST(InstallTypeList, RefusesOverfullSectionsAtTheFirstExtraLine)
{
    ListResult r = parseChecked(parseInstallTypeList, join(installList(numbered("F", 17), {})));
    EXPECT_EQ(ListFault::SectionOverCapacity, r.fault);
    EXPECT_EQ(9 + 17, r.line);

    r = parseChecked(parseInstallTypeList, join(installList({"Data\\"}, numbered("E", 257))));
    EXPECT_EQ(ListFault::SectionOverCapacity, r.fault);
    EXPECT_EQ(9 + 1 + 1 + 257, r.line);
}

TEST(InstallTypeList, LineFaultsCarryTheLineNumber)
{
    Lines lines = installList({"Data\\"}, {"a.exe"});
    const std::string whole = join(lines);   // 27 lines

    // Line 8 (uninstallProgram): 259 bytes fit, 260 do not.
    Lines longLine = lines;
    longLine[7] = std::string(259, 'x');
    std::string text = join(longLine);
    auto list = filledRecord<InstallTypeList>();
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
    EXPECT_EQ(259u, std::strlen(list->uninstallProgram));
    longLine[7] += "y";
    ListResult r = parseChecked(parseInstallTypeList, join(longLine));
    EXPECT_EQ(ListFault::LineTooLong, r.fault);
    EXPECT_EQ(8, r.line);

    // The last needed line without its CR LF, or with only the CR.
    r = parseChecked(parseInstallTypeList, whole.substr(0, whole.size() - 2));
    EXPECT_EQ(ListFault::UnterminatedLine, r.fault);
    EXPECT_EQ(27, r.line);
    r = parseChecked(parseInstallTypeList, whole.substr(0, whole.size() - 1));
    EXPECT_EQ(ListFault::UnterminatedLine, r.fault);

    // Data that stops at a line end before the layout is complete, down to no data at all.
    r = parseChecked(parseInstallTypeList, join(Lines(lines.begin(), lines.end() - 1)));
    EXPECT_EQ(ListFault::Truncated, r.fault);
    EXPECT_EQ(27, r.line);
    r = parseChecked(parseInstallTypeList, join(Lines(lines.begin(), lines.begin() + 11)));   // no 【 after entries
    EXPECT_EQ(ListFault::Truncated, r.fault);
    EXPECT_EQ(12, r.line);
    r = parseChecked(parseInstallTypeList, std::string());
    EXPECT_EQ(ListFault::Truncated, r.fault);
    EXPECT_EQ(1, r.line);

    // Trailing bytes after the last needed line are not read.
    text = whole + "extra";
    EXPECT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
}

TEST(InstallTypeList, LineEndsOnlyAtCrLfAndTextEndsAtNul)
{
    Lines lines = installList({"Data\\"}, {"a.exe"});
    lines[1] = "one\rtwo\nthree";              // lone CR and LF are text
    lines[7] = std::string("uninst.exe\0junk", 15);
    std::string text = join(lines);
    auto list = filledRecord<InstallTypeList>();
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
    EXPECT_STREQ("one\rtwo\nthree", list->title);
    EXPECT_STREQ("uninst.exe", list->uninstallProgram);
    EXPECT_EQ(0, list->uninstallProgram[11]);  // nothing of the line after the NUL is kept

    // A NUL right after the bracket's first byte does not end a section.
    lines = installList({std::string("\x81\0\x79", 3)}, {"a.exe"});
    text = join(lines);
    ASSERT_TRUE(parseInstallTypeList(bytes(text), text.size(), list.get()).ok());
    EXPECT_EQ(1, list->folderCount);
}

TEST(TitleRecord, ReadsEveryFieldInItsPlace)
{
    std::string text = join(titleList({"Lantern\\", "Lantern\\Save\\"}, {"L_INST_PATH,", "L_NAME,ランタン"}));
    auto title = filledRecord<TitleRecord>();
    ASSERT_TRUE(parseTitleRecord(bytes(text), text.size(), title.get()).ok());
    EXPECT_STREQ("ランタン", title->name);
    EXPECT_EQ(1200, title->sizeMb);
    EXPECT_STREQ("LANTERN\\", title->sourceFolder);
    EXPECT_STREQ("lantern.exe", title->programFile);
    ASSERT_EQ(2, title->folderCount);
    EXPECT_STREQ("Lantern\\Save\\", title->folderList[1]);
    EXPECT_STREQ("", title->folderList[2]);            // the end line is not stored
    ASSERT_EQ(2, title->fileLineCount);
    EXPECT_STREQ("ソフト\\data.pak,ソフト\\", title->fileLines[1]);
    EXPECT_EQ(0, title->menuFolderCount);              // header "endメニュー"
    ASSERT_EQ(1, title->menuShortcutCount);
    EXPECT_STREQ("ランタン,lantern.exe", title->menuShortcuts[0]);
    EXPECT_EQ(0, title->desktopShortcutCount);         // header "end"
    EXPECT_STREQ("Software\\Varnis\\Lantern", title->registryKey);
    ASSERT_EQ(2, title->stringValueCount);
    EXPECT_STREQ("L_NAME,ランタン", title->stringValues[1]);
    ASSERT_EQ(1, title->numberValueCount);
    EXPECT_STREQ("L_VER,2", title->numberValues[0]);
    EXPECT_STREQ("一", title->furtherTexts[0]);
    EXPECT_STREQ("", title->furtherTexts[1]);
    EXPECT_STREQ("四", title->furtherTexts[3]);
}

TEST(TitleRecord, CapacitiesAndFaults)
{
    std::string text = join(titleList(numbered("D", kTitleFolders), numbered("S", kTitleValues)));
    auto title = filledRecord<TitleRecord>();
    ListResult r = parseTitleRecord(bytes(text), text.size(), title.get());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(0, r.cutLines);
    EXPECT_EQ(kTitleFolders, title->folderCount);
    EXPECT_EQ(kTitleValues, title->stringValueCount);
    EXPECT_STREQ("S39", title->stringValues[39]);

    // Over the slots: the first lines are kept, the rest dropped up to "end", and the sections
    // after a cut one are still read in their places. A fault after a cut answers the fault alone.
    text = join(titleList(numbered("D", 21), numbered("S", 43)));
    r = parseTitleRecord(bytes(text), text.size(), title.get());
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(1 + 3, r.cutLines);
    EXPECT_EQ(9 + 21, r.firstCutLine);
    EXPECT_EQ(kTitleFolders, title->folderCount);
    EXPECT_STREQ("S39", title->stringValues[kTitleValues - 1]);
    EXPECT_STREQ("L_VER,2", title->numberValues[0]);
    r = parseChecked(parseTitleRecord, text.substr(0, text.size() - 2));
    EXPECT_EQ(ListFault::UnterminatedLine, r.fault);
    EXPECT_EQ(0, r.cutLines);

    // An "end" line that never comes.
    Lines open = {"【名前】", "ランタン", "【容量】", "1", "【コピー元】", "L\\", "【実行】", "l.exe", "フォルダ", "a", "b"};
    r = parseChecked(parseTitleRecord, join(open));
    EXPECT_EQ(ListFault::Truncated, r.fault);
    EXPECT_EQ(12, r.line);
    open.back() = std::string(300, 'b');
    r = parseChecked(parseTitleRecord, join(open));
    EXPECT_EQ(ListFault::LineTooLong, r.fault);
    EXPECT_EQ(11, r.line);
}

TEST(InstallLists, AtoiReadsLikeTheCLibraryWithoutOverflow)
{
    EXPECT_EQ(850, listAtoi("850"));
    EXPECT_EQ(-12, listAtoi(" \t-12MB"));
    EXPECT_EQ(7, listAtoi("+7"));
    EXPECT_EQ(0, listAtoi(""));
    EXPECT_EQ(0, listAtoi("MB 12"));
    EXPECT_EQ(0, listAtoi("- 5"));
    EXPECT_EQ(0, listAtoi("１２"));                 // full-width digits are not digits
    EXPECT_EQ(2147483647, listAtoi("2147483647"));
    EXPECT_EQ(2147483647, listAtoi("99999999999999999999999"));
    EXPECT_EQ(-2147483647 - 1, listAtoi("-2147483648"));
    EXPECT_EQ(-2147483647 - 1, listAtoi("-99999999999999999999999"));
}

// The loaders take the list from an archive; a plain (unpacked, unscrambled) one is enough.
TEST(InstallLists, LoadsFromTheArchive)
{
    const std::string good = join(installList({"Data\\"}, {"a.exe"}));
    const std::string cut = join(titleList(numbered("D", 21), {}));
    test_support::ArchiveImage image;
    image.add("instdata_f.txt", test_support::bytesOf(good));
    image.add("inst_lantern.txt", test_support::bytesOf(cut));
    image.add("inst_harbor.txt", test_support::bytesOf(good), /*hidden=*/true);   // unusable
    const std::string path = testing::TempDir() + "lists_test.arc";
    ASSERT_TRUE(test_support::writeBytes(path, image.bytes("")));

    CArchiveReader archive;
    archive.SetKey("");
    ASSERT_EQ(1, archive.Open(path.c_str()));

    auto list = filledRecord<InstallTypeList>();
    ListResult r;
    EXPECT_TRUE(loadInstallTypeList(archive, "INSTDATA_F.TXT", list.get(), &r));
    EXPECT_STREQ("a.exe", list->entries[0]);

    auto title = filledRecord<TitleRecord>(), pristine = filledRecord<TitleRecord>();
    EXPECT_FALSE(loadTitleRecord(archive, "inst_harbor.txt", title.get(), &r));
    EXPECT_EQ(ListFault::Missing, r.fault);
    EXPECT_FALSE(loadTitleRecord(archive, "inst_mistvale.txt", title.get()));
    EXPECT_EQ(0, std::memcmp(title.get(), pristine.get(), sizeof(TitleRecord)));
    EXPECT_TRUE(loadTitleRecord(archive, "inst_lantern.txt", title.get(), &r));
    EXPECT_EQ(1, r.cutLines);
    std::remove(path.c_str());
}
