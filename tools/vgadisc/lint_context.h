// What the disc checks share: the discs and the archive under check, where findings go, and the
// common measures (path lengths under a typical destination, relative paths).
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "data/install_lists.h"
#include "tools/vgadisc/archive_file.h"
#include "tools/vgadisc/disc_set.h"
#include "tools/vgadisc/host_files.h"
#include "tools/vgadisc/lint.h"

namespace vgadisc {
namespace lint {

constexpr size_t kMaxPath = kTextSize - 1;   // 259 bytes and the NUL

// A list value in quotes, as host text.
std::string quote(const std::string& cp932);
// "exactly 3" or "3 to 4": the sizes that agree with a real size.
std::string sizeWords(uint64_t floorMb, uint64_t ceilMb);

class Context {
public:
    Context(const DiscSet& discs, const ArchiveFile& archive, LintReport* report)
        : discs_(discs), archive_(archive), report_(report)
    {
    }

    const DiscSet& discs() const { return discs_; }
    const ArchiveFile& archive() const { return archive_; }

    void note(const std::string& where, int line, const std::string& text);
    void countList() { ++report_->listsRead; }
    void countLookup() { ++report_->filesChecked; }

    // A finding when base + rel would not fit a 260-byte path buffer.
    void checkLength(const std::string& where, int line, const char* base, const std::string& rel,
                     const std::string& what);
    // A finding when path is absolute, names a drive or climbs out with "..".
    void checkRelative(const std::string& where, int line, const std::string& path, const std::string& what);
    // The folders of a list, made under base one level at a time in list order: each must be
    // relative, fit under base, and have its parent made before it (made holds the folders made
    // so far, as folderKey; the ones checked here are added).
    void checkFolders(const std::string& where, const Text* folders, int count, const std::vector<int>& lines,
                      const char* base, std::set<std::string>& made);
    // The list's bytes from the archive; a finding and false when it is missing or damaged.
    bool readList(const char* name, host::Bytes* data);
    // A finding for a list the loader refused, at the line it stopped on.
    void refused(const char* name, const ListResult& result);

private:
    const DiscSet& discs_;
    const ArchiveFile& archive_;
    LintReport* report_;
};

// Where an install-type list leaves the drive, and what it installs.
struct InstallListOutcome {
    bool loaded = false;
    int endDisc = 1;                   // disc in the drive after the list; 0 when it is a disc not given
    std::set<std::string> installed;   // entries, lowered
};

// The full (compact = false) or compact install-type list: folders, entries on their discs,
// declared size, uninstall program, archive names.
InstallListOutcome checkInstallList(Context& ctx, const char* name, bool compact);

// Every disc folder against what an image can hold, and each disc's size against a DVD-5.
void checkImages(Context& ctx);

// The seven title lists in install order. possible holds the discs that may be in the drive when
// the first title is installed.
void checkTitles(Context& ctx, std::set<int> possible);

}  // namespace lint
}  // namespace vgadisc
