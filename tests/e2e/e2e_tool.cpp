// Two uses of the end-to-end driver outside the tests, run by the tools scripts under Wine:
//   vga_e2e_tool --render OUTDIR         walks all eight pages; at each one writes OUTDIR/<page>.ready
//                                        ("x y width height" of the page) and waits for
//                                        OUTDIR/<page>.done, made by the script once it took the picture
//   vga_e2e_tool --bench RUNS BARE_EXE [IMPORTS_EXE]
//                                        times the menu's start from the disc to its first page,
//                                        split by the menu's start-up trace, against BARE_EXE (and
//                                        the same program with the menu's imports, IMPORTS_EXE)
// OUTDIR and the programs may be host paths (reached through Z:). Both need sample disc 1 staged
// in the drives folder (VGA_E2E_DRIVES).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "menu/page_ids.h"
#include "tests/e2e/driver.h"

using namespace e2e;

namespace {

const DWORD kPageTimeoutMs = 60000;

bool fail(const char* what)
{
    std::fprintf(stderr, "vga_e2e_tool: %s\n", what);
    return false;
}

// Puts disc 1 in Q:, empties R:, ends what runs, clears the registry.
bool cleanStart()
{
    killLeftovers();
    resetRegistry();
    if (!ejectDisc('R') || !insertDisc('Q', 1)) return fail("disc 1 cannot be put in Q: (is it staged?)");
    return true;
}

// ---- --render

class Renderer {
public:
    explicit Renderer(std::string outDir) : outDir_(windowsPath(outDir)) {}

    // Lets the page paint, hands its rectangle to the script and waits for the picture.
    bool capture(HWND page)
    {
        const char* name = pageName(identifyPage(page));
        Sleep(800);
        RECT r;
        GetWindowRect(page, &r);
        const std::string base = outDir_ + "\\" + name;
        DeleteFileA((base + ".done").c_str());
        // Written under another name and renamed, so the script never reads half a line.
        FILE* ready = std::fopen((base + ".part").c_str(), "wb");
        if (!ready) return fail("cannot write the .ready file");
        std::fprintf(ready, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(ready);
        if (!MoveFileExA((base + ".part").c_str(), (base + ".ready").c_str(), MOVEFILE_REPLACE_EXISTING))
            return fail("cannot write the .ready file");
        if (!waitUntil([&] { return fileExists(base + ".done"); }, 60000)) return fail("no picture taken");
        std::printf("render: %s\n", name);
        return true;
    }

    // Presses a button and captures the page it leads to.
    HWND goAndCapture(MenuRun& menu, HWND page, int controlId, Page next)
    {
        if (!click(page, controlId)) {
            fail("a button cannot be pressed");
            return nullptr;
        }
        HWND shown = menu.waitForPage(next, kPageTimeoutMs);
        if (!shown || !capture(shown)) return nullptr;
        return shown;
    }

private:
    std::string outDir_;
};

bool render(const std::string& outDir)
{
    Renderer renderer(outDir);
    // First run, nothing installed: welcome, install selection, confirm, progress.
    {
        if (!cleanStart()) return false;
        MenuRun menu;
        if (!menu.start()) return fail("the menu does not start");
        HWND page = menu.waitForPage(Page::Welcome, kPageTimeoutMs);
        if (!page || !renderer.capture(page)) return fail("no welcome page");
        if (!(page = renderer.goAndCapture(menu, page, IDC_INSTALL, Page::InstallSelect))) return false;
        if (!(page = renderer.goAndCapture(menu, page, IDC_NEXT, Page::InstallConfirm))) return false;
        // With no disc in the drive the install run stops on its first file and asks for
        // disc 1: the progress page stays. The request box is moved aside for the picture.
        if (!ejectDisc('Q') || !postClick(page, IDC_START_INSTALL)) return fail("the install run does not start");
        HWND progress = menu.waitForPage(Page::Progress, kPageTimeoutMs);
        if (!progress) return fail("no progress page");
        HWND box = nullptr;
        waitUntil([&] { return (box = findMessageBox(menu.menuPid())) != nullptr; }, 10000);
        if (box) {
            // Moved below the page: the picture shows the page alone, repainted where it lay.
            RECT r;
            GetWindowRect(box, &r);
            SetWindowPos(box, nullptr, 0, GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(progress, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        if (!renderer.capture(progress)) return false;
    }
    // Second run, the product and three titles installed: main, play, uninstall pages.
    {
        if (!cleanStart()) return false;
        const std::string root = programFilesFolder();
        writeProductKey((root + "Varnis\\Hub\\").c_str());
        for (int i : {0, 1, 3}) writeTitleKey(i, root.c_str());
        MenuRun menu;
        if (!menu.start()) return fail("the menu does not start");
        HWND main = menu.waitForPage(Page::Main, kPageTimeoutMs);
        if (!main || !renderer.capture(main)) return fail("no main page");
        HWND page = renderer.goAndCapture(menu, main, IDC_PLAY, Page::Play);
        if (!page || !click(page, IDC_BACK) || !(main = menu.waitForPage(Page::Main, kPageTimeoutMs)))
            return fail("no way back from the play page");
        if (!click(main, IDC_UNINSTALL) || !(page = menu.waitForPage(Page::UninstallSelect, kPageTimeoutMs)))
            return fail("no uninstall selection");
        click(page, IDC_TITLE_BOX_BASE + 1);   // a box checked, so Next is enabled
        if (!renderer.capture(page)) return false;
        if (!renderer.goAndCapture(menu, page, IDC_NEXT, Page::UninstallConfirm)) return false;
    }
    killLeftovers();
    resetRegistry();
    ejectDisc('Q');
    return true;
}

// ---- --bench

struct Stamps {
    std::map<std::string, double> disc, copy;   // phase -> ms, per instance
};

// Reads the trace lines "<phase> <ms> <pid>"; the disc instance is discPid, the other the copy.
Stamps readTrace(const std::string& path, DWORD discPid)
{
    Stamps stamps;
    const std::string text = readFile(path);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        char phase[64] = {};
        double ms = 0;
        unsigned long pid = 0;
        if (std::sscanf(text.substr(at, end - at).c_str(), "%63s %lf %lu", phase, &ms, &pid) == 3)
            (pid == discPid ? stamps.disc : stamps.copy)[phase] = ms;
        at = end + 1;
    }
    return stamps;
}

double median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The menu's stamps after each page's CreateDialogParam. The first page (pageWelcome here: the
// benchmark's prefix has nothing installed) is made and shown first, the others after it in
// this order.
const char* const kFirstPageStamp = "dialog_welcome";
const char* const kLaterPageStamps[] = {"dialog_main", "dialog_install_select", "dialog_install_confirm",
                                        "dialog_progress", "dialog_uninstall_confirm", "dialog_uninstall_select",
                                        "dialog_play"};

// One start of the menu from the disc to its first page, in ms: "total", and when the menu
// wrote its trace the parts (see bench).
bool benchMenu(const std::string& trace, std::map<std::string, double>* figures)
{
    DeleteFileA(trace.c_str());
    MenuRun menu;
    const double t0 = nowMs();
    if (!menu.start(environmentWith({"VGA_STARTUP_TRACE=" + trace}))) return fail("the menu does not start");
    HWND page = nullptr;
    waitUntil([&] { return (page = findVisiblePage(0)) != nullptr; }, kPageTimeoutMs, 2);
    const double visible = nowMs();
    if (!page || identifyPage(page) != Page::Welcome) return fail("no welcome page");
    menu.waitForPage(Page::Welcome, 1000);
    click(page, IDC_NO_INSTALL);
    menu.waitExit(10000);

    const Stamps s = readTrace(trace, menu.startedPid());
    auto at = [](const std::map<std::string, double>& m, const char* phase) {
        auto it = m.find(phase);
        return it == m.end() ? -1.0 : it->second;
    };
    std::map<std::string, double>& f = *figures;
    f.clear();
    f["total"] = visible - t0;
    const double e1 = at(s.disc, "entry"), r = at(s.disc, "restart"), e2 = at(s.copy, "entry");
    const double a = at(s.copy, "archive"), p = at(s.copy, "pictures"), d = at(s.copy, "destination");
    const double l = at(s.copy, "titles"), c = at(s.copy, kFirstPageStamp), sh = at(s.copy, "show");
    const double ready = at(s.copy, "ready");
    if (e1 < 0 || r < 0 || e2 < 0 || a < 0 || p < 0 || d < 0 || l < 0 || c < 0 || sh < 0 || ready < 0) return true;
    // The first page is on screen once the benchmark sees it visible and the menu has painted
    // it, whichever comes later ("visible" alone is what earlier versions of this benchmark
    // counted, when the menu painted its first page only in the message loop).
    const double onScreen = visible > sh ? visible : sh;
    f["start_disc"] = e1 - t0;
    f["start_copy"] = e2 - r;
    f["bootstrap"] = r - e1;
    f["lists"] = (a - e2) + (l - d);
    f["pictures"] = p - a;
    f["destination"] = d - p;
    f["first_page"] = c - l;
    f["show"] = onScreen - c;
    f["own_work_visible"] = (r - e1) + (visible - e2);
    f["own_work"] = (r - e1) + (onScreen - e2);
    f["ready"] = ready - t0;

    // The seven other pages, each to its CreateDialogParam (the previous page's title and picture
    // included), then the destination's text and the first states of the controls.
    double before = sh;
    for (const char* page : kLaterPageStamps) {
        const double created = at(s.copy, page);
        if (created < 0) return true;
        f[page] = created - before;
        before = created;
    }
    f["later_pages"] = before - sh;
    f["controls"] = ready - before;
    return true;
}

// One start of a bare dialog program to its dialog on screen: figure key in ms, and when it wrote
// its trace its process start (to its first line of code) as key_start and its one
// CreateDialogParam as key_create.
bool benchBare(const std::string& program, const std::string& trace, const std::string& key,
               std::map<std::string, double>* figures)
{
    DeleteFileA(trace.c_str());
    std::vector<char> environment = environmentWith({"VGA_STARTUP_TRACE=" + trace});
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    const double t0 = nowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, environment.data(), nullptr,
                        &startup, &process))
        return fail("the bare dialog program does not start");
    HWND dialog = nullptr;
    auto shown = [&] {
        dialog = FindWindowA("#32770", "bare dialog");
        if (!dialog || !IsWindowVisible(dialog)) return false;
        DWORD pid = 0;
        GetWindowThreadProcessId(dialog, &pid);
        return pid == process.dwProcessId;
    };
    const bool ok = waitUntil(shown, kPageTimeoutMs, 2);
    const double visible = nowMs();
    if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ok) return fail("the bare dialog program does not show its dialog");
    (*figures)[key] = visible - t0;
    const Stamps s = readTrace(trace, process.dwProcessId);
    if (s.disc.count("entry")) (*figures)[key + "_start"] = s.disc.at("entry") - t0;
    if (s.disc.count("entry") && s.disc.count("dialog"))
        (*figures)[key + "_create"] = s.disc.at("dialog") - s.disc.at("entry");
    return true;
}

// importsProgram, when given, is the bare dialog program linked with the menu's imports and
// manifest: the difference of its start from the plain one is what those imports cost.
bool bench(int runs, const std::string& bareProgram, const std::string& importsProgram)
{
    if (!cleanStart()) return false;
    const std::string trace = tempFolder() + "vga_startup_trace.txt";
    const std::string bareTrace = tempFolder() + "vga_bare_trace.txt";
    const std::string bare = windowsPath(bareProgram);
    const std::string imports = importsProgram.empty() ? "" : windowsPath(importsProgram);
    std::map<std::string, std::vector<double>> all;
    for (int run = 0; run <= runs; ++run) {   // run 0 warms the file cache and is not counted
        std::map<std::string, double> f;
        if (!benchMenu(trace, &f) || !benchBare(bare, bareTrace, "bare", &f)) return false;
        if (!imports.empty() && !benchBare(imports, bareTrace, "imports", &f)) return false;
        if (run == 0) continue;
        for (auto& figure : f) all[figure.first].push_back(figure.second);
        std::printf("run %d: first page after %.1f ms", run, f["total"]);
        if (f.count("own_work"))
            std::printf(" (process starts %.1f + %.1f, menu's own work %.1f)", f["start_disc"], f["start_copy"],
                        f["own_work"]);
        std::printf("; bare dialog %.1f ms\n", f["bare"]);
    }
    killLeftovers();
    ejectDisc('Q');

    // A figure that some run lacks (no trace) has no median.
    auto has = [&](const char* figure) { return all[figure].size() == static_cast<size_t>(runs); };
    auto m = [&](const char* figure) { return median(all[figure]); };
    std::printf("\nmedians over %d runs, ms\n", runs);
    auto line = [](const char* what, double ms) { std::printf("  %-40s%8.1f\n", what, ms); };
    line("disc start to first page visible", m("total"));
    if (has("own_work")) {
        const double starts = m("start_disc") + m("start_copy");
        std::printf("  %-40s%8.1f  (disc instance %.1f, copy in TEMP %.1f)\n", "process starts (Wine)", starts,
                    m("start_disc"), m("start_copy"));
        line("bootstrap copy to TEMP", m("bootstrap"));
        line("archive open and the nine lists", m("lists"));
        line("the two pictures", m("pictures"));
        line("destination", m("destination"));
        line("first page: CreateDialogParam", m("first_page"));
        line("first page: title, picture, shown, painted", m("show"));
        line("menu's own work to the first page visible", m("own_work_visible"));
        std::printf("  %-40s%8.1f  (goal: under 100: %s)\n", "menu's own work to the first page painted",
                    m("own_work"), m("own_work") < 100 ? "met" : "missed");
        if (has("controls")) {
            std::printf("  after the first page is on screen, before any input is handled:\n");
            for (const char* page : kLaterPageStamps)
                std::printf("    CreateDialogParam %-22s%8.1f\n", page + std::strlen("dialog_"), m(page));
            std::printf("    %-38s%8.1f\n", "the seven pages", m("later_pages"));
            std::printf("    %-38s%8.1f\n", "destination text, first control states", m("controls"));
            line("disc start to all pages ready", m("ready"));
        }
    } else {
        std::printf("  (the menu wrote no start-up trace: its time is not split)\n");
    }
    for (const char* bare : {"bare", "imports"}) {
        if (!has(bare)) continue;
        const std::string key = bare;
        std::printf("  %s:\n", key == "bare" ? "bare dialog program" : "bare dialog program with the menu's imports and manifest");
        line("  start to visible", m(bare));
        if (has((key + "_start").c_str())) line("  process start", m((key + "_start").c_str()));
        if (has((key + "_create").c_str())) line("  CreateDialogParam", m((key + "_create").c_str()));
    }
    if (has("bare_start")) {
        if (has("imports_start"))
            line("ratio bare start with / without imports", m("imports_start") / m("bare_start"));
        if (has("own_work")) {
            line("ratio menu's disc start / bare start", m("start_disc") / m("bare_start"));
            line("ratio menu's copy start / bare start", m("start_copy") / m("bare_start"));
        }
    }
    line("ratio first page / bare dialog visible", m("total") / m("bare"));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--render") == 0) return render(argv[2]) ? 0 : 1;
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--bench") == 0) {
        const int runs = std::atoi(argv[2]);
        return runs > 0 && bench(runs, argv[3], argc == 5 ? argv[4] : "") ? 0 : 1;
    }
    std::fprintf(stderr, "usage: vga_e2e_tool --render OUTDIR | --bench RUNS BARE_EXE [BARE_WITH_IMPORTS_EXE]\n");
    return 2;
}
