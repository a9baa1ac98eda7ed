// Soak: install and uninstall cycles of the sample discs in one prefix, alternating the titles
// and the data options. Every cycle must leave the machine as it found it, and the menu must
// need no more handles or memory in the last cycle than in the first. The figures of each
// cycle are printed; VGA_SOAK_CYCLES sets the number of cycles (3 unless told).
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/install_fixture.h"

using namespace e2e;

namespace {

// What the menu holds at one moment.
struct Usage {
    DWORD handles = 0;
    SIZE_T privateKb = 0;
    SIZE_T workingSetKb = 0;
};

// Handles the process holds, counted in the system's handle table (the per-process count is
// not kept by every system the tests run on); 0 when the table cannot be read.
DWORD handleCountOf(DWORD pid)
{
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType, flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    struct HandleTable {
        ULONG count;
        HandleEntry entries[1];
    };
    typedef LONG(WINAPI * QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    const ULONG kSystemHandleInformation = 16;
    const LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    LONG status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kLengthMismatch)
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    if (status != 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].ownerPid == pid) ++count;
    return count;
}

bool usageOf(DWORD pid, Usage* usage)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return false;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    const bool ok = GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    usage->handles = handleCountOf(pid);
    usage->privateKb = memory.PagefileUsage / 1024;   // the committed private bytes
    usage->workingSetKb = memory.WorkingSetSize / 1024;
    return ok && usage->handles > 0;
}

int cyclesWanted()
{
    const char* text = std::getenv("VGA_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 3;
    return cycles > 0 ? cycles : 3;
}

class SoakE2E : public InstallFixture {
protected:
    // One install of the chosen titles, to pageMain; the usage there.
    bool install(bool everyTitle, Usage* atStart, Usage* afterInstall)
    {
        HWND welcome = startMenu(Page::Welcome);
        if (!welcome || !usageOf(menu_.menuPid(), atStart)) return false;
        HWND select = go(welcome, IDC_INSTALL, Page::InstallSelect);
        if (!select) return false;
        if (!everyTitle) {
            // Brindle and Rainmere left out: Lantern, Harbor with its extras, Mistvale.
            for (int index : {1, 3})
                if (!click(select, IDC_TITLE_BOX_BASE + index)) return false;
        }
        HWND confirm = go(select, IDC_NEXT, Page::InstallConfirm);
        if (!confirm || !postClick(confirm, IDC_START_INSTALL)) return false;
        RunLog log;
        if (!followRun(Page::Main, log)) return false;
        EXPECT_TRUE(log.otherMessages.empty()) << joinLines(log.otherMessages);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(fileExists(programFilesFolder() + kSampleTitles[i].programFile), everyTitle || (i != 1 && i != 3))
                << kSampleTitles[i].programFile;
        return usageOf(menu_.menuPid(), afterInstall);
    }

    // Uninstall of everything with all data from the running menu's main page; the menu ends.
    bool uninstall(bool dataOneByOne)
    {
        HWND main = menu_.visiblePage();
        HWND select = main ? go(main, IDC_UNINSTALL, Page::UninstallSelect) : nullptr;
        if (!select || !click(select, IDC_ALL_TITLES)) return false;
        HWND confirm = go(select, IDC_NEXT, Page::UninstallConfirm);
        if (!confirm) return false;
        if (dataOneByOne) {
            for (int option : {IDC_DATA_GAME, IDC_DATA_SYSTEM, IDC_DATA_READ, IDC_DATA_SAVE})
                if (!click(confirm, option)) return false;
            EXPECT_TRUE(isChecked(confirm, IDC_DATA_ALL)) << "all four options check delete-all";
        } else if (!click(confirm, IDC_DATA_ALL)) {
            return false;
        }
        if (!postClick(confirm, IDC_UNINSTALL_RUN)) return false;
        HWND box = nullptr;
        if (!waitUntil([&] { return (box = findMessageBox(menu_.menuPid())) != nullptr; }, kRunTimeoutMs)) return false;
        EXPECT_EQ(messageBoxText(box), kUninstallDone);
        return answerMessageBox(box, IDOK) && menu_.waitExit(kExitTimeoutMs) == 0;
    }
};

TEST_F(SoakE2E, InstallUninstallCyclesLeaveNothingAndTheMenuDoesNotGrow)
{
    const int cycles = cyclesWanted();
    std::vector<Usage> starts, installs;
    std::printf("soak: cycle  titles  data      handles start/installed  private KB start/installed  working set KB installed\n");
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const bool everyTitle = cycle % 2 == 1, dataOneByOne = cycle % 4 == 2 || cycle % 4 == 3;
        ASSERT_TRUE(insertDisc('Q', 1));
        Usage atStart, afterInstall;
        ASSERT_TRUE(install(everyTitle, &atStart, &afterInstall)) << "cycle " << cycle;
        ASSERT_TRUE(uninstall(dataOneByOne)) << "cycle " << cycle;
        const std::vector<std::string> after = productSnapshot();
        ASSERT_EQ(after, before_) << "cycle " << cycle << " left:\n" << snapshotDifference(before_, after);
        starts.push_back(atStart);
        installs.push_back(afterInstall);
        std::printf("soak: %5d  %-6s  %-8s  %7lu / %-9lu         %7lu / %-9lu         %9lu\n", cycle,
                    everyTitle ? "all" : "3 of 5", dataOneByOne ? "one by 1" : "all", atStart.handles,
                    afterInstall.handles, static_cast<unsigned long>(atStart.privateKb),
                    static_cast<unsigned long>(afterInstall.privateKb),
                    static_cast<unsigned long>(afterInstall.workingSetKb));
        std::fflush(stdout);
    }

    // Growth: the last cycles against the first ones of the same kind (same titles).
    const size_t last = installs.size() - 1, firstSameKind = last % 2;
    const long handleGrowth = static_cast<long>(installs[last].handles) - static_cast<long>(installs[firstSameKind].handles);
    const long privateGrowthKb =
        static_cast<long>(installs[last].privateKb) - static_cast<long>(installs[firstSameKind].privateKb);
    std::printf("soak: %d cycles, no residue; menu after install: handles %+ld, private memory %+ld KB "
                "(cycle %zu against cycle %zu)\n",
                cycles, handleGrowth, privateGrowthKb, last + 1, firstSameKind + 1);
    if (cycles > 1) {
        // Each cycle is a new menu process: what grows here is kept between starts (in the
        // prefix, the registry or files the menu reads), not a leak inside one run.
        EXPECT_LE(handleGrowth, 2) << "the menu holds more handles after a later install";
        EXPECT_LE(privateGrowthKb, 512) << "the menu needs more memory after a later install";
    }
    // Within one run: what an install adds to the menu must stay small (files and keys closed).
    for (size_t i = 0; i < installs.size(); ++i)
        EXPECT_LE(static_cast<long>(installs[i].handles) - static_cast<long>(starts[i].handles), 16)
            << "cycle " << i + 1 << ": the install left handles open";
}

}  // namespace
