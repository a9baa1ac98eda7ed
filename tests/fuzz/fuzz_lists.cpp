// libFuzzer target: the install-type and title list readers on the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "data/install_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<InstallTypeList> list(new InstallTypeList());
    static std::unique_ptr<TitleRecord> title(new TitleRecord());

    ListResult r = parseInstallTypeList(data, size, list.get());
    if (r.ok()) {
        if (list->folderCount < 0 || list->folderCount > kListFolders || list->entryCount < 0 ||
            list->entryCount > kListEntries || std::memchr(list->title, 0, kTextSize) == nullptr || r.cutLines)
            std::abort();
    } else if (r.line < 1) {
        std::abort();
    }

    r = parseTitleRecord(data, size, title.get());
    if (r.ok()) {
        const int32_t counts[] = {title->folderCount, title->fileLineCount, title->menuFolderCount,
                                  title->menuShortcutCount, title->desktopShortcutCount,
                                  title->stringValueCount, title->numberValueCount};
        const int32_t limits[] = {kTitleFolders, kTitleFileLines, kTitleShortcutLines, kTitleShortcutLines,
                                  kTitleShortcutLines, kTitleValues, kTitleValues};
        for (int i = 0; i < 7; ++i)
            if (counts[i] < 0 || counts[i] > limits[i]) std::abort();
        // Dropped lines come with the line of the first, which lies past the record's fixed lines.
        if (r.cutLines < 0 || (r.cutLines > 0) != (r.firstCutLine > 9)) std::abort();
    } else if (r.line < 1 || r.cutLines) {
        std::abort();
    }

    // The number reader on the first line-sized piece of the input.
    char number[kTextSize] = {};
    std::memcpy(number, data, size < kTextSize - 1 ? size : kTextSize - 1);
    listAtoi(number);
    return 0;
}
