// Copy benchmark: the list copy (copyListFile) against the plainest loop that still keeps the
// pages alive (8192-byte fread/fwrite, one message dispatched per chunk) and against CopyFileA,
// on one large file in TEMP, with the progress page on screen. Then how quickly the page answers
// another thread while a list copy runs. Prints figures and ratios; it checks nothing.
//   bench_copy.exe [SIZE_MB] [ROUNDS]      (defaults 256 and 5; MB here is 2^20 bytes)
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/file_copy.h"
#include "install/run_state.h"
#include "menu/pages.h"
#include "menu/progress_page.h"
#include "menu/page_ids.h"

namespace {

constexpr size_t kChunk = 8192;
constexpr double kDvd16x = 22.0;   // MB/s (10^6 bytes) a 16x DVD drive reads at best

double now()
{
    static const double perSecond = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perSecond;
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p / 100.0 * static_cast<double>(v.size()));
    return v[std::min(i, v.size() - 1)];
}

unsigned long long fileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return ~0ull;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Deterministic bytes that do not repeat within a chunk (xorshift from a fixed seed).
bool writeSource(const char* path, unsigned long long bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::vector<unsigned int> block(1u << 18);   // 1 MB
    unsigned int state = 0x9E3779B9u;
    bool ok = true;
    for (unsigned long long done = 0; ok && done < bytes;) {
        for (unsigned int& word : block) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            word = state;
        }
        const DWORD want = static_cast<DWORD>(std::min<unsigned long long>(bytes - done, block.size() * 4));
        DWORD wrote = 0;
        ok = WriteFile(file, block.data(), want, &wrote, nullptr) && wrote == want;
        done += want;
    }
    return CloseHandle(file) && ok;
}

bool sameContents(const char* a, const char* b)
{
    FILE* fa = std::fopen(a, "rb");
    FILE* fb = std::fopen(b, "rb");
    bool same = fa && fb;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    while (same) {
        const size_t na = std::fread(ba.data(), 1, ba.size(), fa);
        const size_t nb = std::fread(bb.data(), 1, bb.size(), fb);
        same = na == nb && std::equal(ba.begin(), ba.begin() + static_cast<long>(na), bb.begin());
        if (na == 0) break;
    }
    if (fa) std::fclose(fa);
    if (fb) std::fclose(fb);
    return same;
}

// The least a copy can do and still keep the pages alive: 8192-byte chunks through the C
// streams, one waiting message dispatched after each.
bool minimalCopy(const char* source, const char* destination)
{
    FILE* in = std::fopen(source, "rb");
    if (!in) return false;
    FILE* out = std::fopen(destination, "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    char chunk[kChunk];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(chunk, 1, kChunk, in);
        if (got && std::fwrite(chunk, 1, got, out) != got) {
            ok = false;
            break;
        }
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (got < kChunk) break;
    }
    ok = !std::ferror(in) && ok;
    std::fclose(in);
    return std::fclose(out) == 0 && ok;
}

INT_PTR CALLBACK quietPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Starts a list copy the way the install run does: nothing copied yet, the bar at 0.
void resetProgress(HWND bar)
{
    bytesCopied = 0;
    lastListPercent = -1;
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(g_pages.progress, IDC_PERCENT, "0％");
}

// Dispatches whatever is waiting (paints of the page) so no variant pays for another's leftovers.
void drainMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The other thread of the responsiveness run: every 2 ms, WM_GETTEXT to the percentage of the
// progress page, and the time until the answer.
struct Prober {
    HWND target = nullptr;
    std::atomic<bool> stop{false};
    std::vector<double> latencyMs;
    int timeouts = 0;
};

DWORD WINAPI probe(void* argument)
{
    Prober& p = *static_cast<Prober*>(argument);
    const double period = 0.002;
    double next = now();
    while (!p.stop.load()) {
        char text[64];
        DWORD_PTR result = 0;
        const double start = now();
        if (SendMessageTimeoutA(p.target, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                SMTO_NORMAL, 2000, &result))
            p.latencyMs.push_back((now() - start) * 1000.0);
        else
            ++p.timeouts;
        next += period;
        const double wait = next - now();
        if (wait > 0.0005) Sleep(static_cast<DWORD>(wait * 1000.0 + 0.5));
        else if (wait < -period) next = now();   // fell behind: no burst to catch up
    }
    return 0;
}

struct Latency {
    double medianMs, p99Ms, maxMs;
    size_t samples;
    int timeouts;
};

// Runs work on this thread while the prober sends to target from another.
template <typename Work>
Latency measureLatency(HWND target, Work work)
{
    Prober p;
    p.target = target;
    p.latencyMs.reserve(1 << 20);
    HANDLE thread = CreateThread(nullptr, 0, probe, &p, 0, nullptr);
    work();
    p.stop = true;
    // The prober may be waiting on this thread: keep answering until it has gone.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        drainMessages();
    CloseHandle(thread);
    const double maxMs = p.latencyMs.empty() ? 0 : *std::max_element(p.latencyMs.begin(), p.latencyMs.end());
    return {median(p.latencyMs), percentile(p.latencyMs, 99), maxMs, p.latencyMs.size(), p.timeouts};
}

}  // namespace

int main(int argc, char** argv)
{
    const unsigned long long sizeMb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const unsigned long long bytes = sizeMb << 20;
    if (sizeMb == 0 || bytes > 0xFFFFFFFFull) {
        std::fprintf(stderr, "bench_copy: size must be 1..4095 MB (bytesCopied is 32-bit)\n");
        return 2;
    }

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string source = std::string(temp) + "vga_bench_copy_source.bin";
    const std::string destination = std::string(temp) + "vga_bench_copy_target.bin";
    std::printf("bench_copy: %llu MB file, %d rounds, TEMP %s\n", sizeMb, rounds, temp);
    if ((temp[0] | 0x20) != 'c')
        std::printf("bench_copy: warning: TEMP is not on C:, the figures are not those of the prefix's disk\n");
    std::fflush(stdout);

    if (!writeSource(source.c_str(), bytes)) {
        std::fprintf(stderr, "bench_copy: cannot write %s\n", source.c_str());
        return 1;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                   quietPageProc, 0);
    if (!page) {
        std::fprintf(stderr, "bench_copy: the progress page was not created (%lu)\n", GetLastError());
        DeleteFileA(source.c_str());
        return 1;
    }
    g_pages.progress = page;
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    HWND bar = GetDlgItem(page, IDC_PROGRESS_BAR);
    HWND percentText = GetDlgItem(page, IDC_PERCENT);
    // The list's size in its own units (10^6 bytes, the whole ones), so the bar ends at 100.
    const int listSizeMb = static_cast<int>(bytes / 1000000);
    ProgressPage& progress = progressPage();
    drainMessages();

    const double mb = static_cast<double>(bytes) / 1e6;
    const char* names[3] = {"copyListFile", "minimal loop", "CopyFileA"};
    std::vector<double> rate[3];
    bool allOk = true;
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 3; ++k) {
            const int variant = (round + k) % 3;   // each variant takes each place in turn
            DeleteFileA(destination.c_str());
            resetProgress(bar);
            drainMessages();
            const double start = now();
            bool ok = false;
            if (variant == 0) ok = copyListFile(&progress, source.c_str(), destination.c_str(), listSizeMb);
            else if (variant == 1) ok = minimalCopy(source.c_str(), destination.c_str());
            else ok = CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
            const double seconds = now() - start;
            ok = ok && fileSize(destination.c_str()) == bytes;
            if (ok && round == 0 && variant == 0) ok = sameContents(source.c_str(), destination.c_str());
            if (!ok) {
                std::printf("bench_copy: %s failed in round %d\n", names[variant], round + 1);
                allOk = false;
            }
            rate[variant].push_back(mb / seconds);
            std::printf("  round %d  %-13s %8.1f MB/s  (%.3f s)\n", round + 1, names[variant], mb / seconds, seconds);
            std::fflush(stdout);
        }
    }
    DeleteFileA(destination.c_str());

    char shown[32] = {};
    GetWindowTextA(percentText, shown, sizeof shown);   // the number, then a full-width percent sign
    const int barPos = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));

    const double a = median(rate[0]), b = median(rate[1]), c = median(rate[2]);
    std::printf("\nmedians (MB = 10^6 bytes):\n");
    for (int v = 0; v < 3; ++v) std::printf("  %-13s %8.1f MB/s\n", names[v], median(rate[v]));
    std::printf("ratios:\n");
    std::printf("  copyListFile / minimal loop   %.2f\n", a / b);
    std::printf("  copyListFile / CopyFileA      %.2f\n", a / c);
    std::printf("  copyListFile / 16x DVD (%.0f)  %.1f\n", kDvd16x, a / kDvd16x);
    std::printf("progress page after the last list copy: bar %d, text %d%%\n", barPos, std::atoi(shown));
    std::fflush(stdout);

    // Responsiveness: first with this thread idle in its message wait (the floor Wine's
    // cross-thread sends set), then during a list copy.
    const Latency idle = measureLatency(percentText, [] {
        const double end = now() + 1.0;
        while (now() < end) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            drainMessages();
        }
    });
    DeleteFileA(destination.c_str());
    resetProgress(bar);
    drainMessages();
    bool copied = false;
    double copySeconds = 0;
    const Latency busy = measureLatency(percentText, [&] {
        const double start = now();
        copied = copyListFile(&progress, source.c_str(), destination.c_str(), listSizeMb);
        copySeconds = now() - start;
    });
    if (!copied || fileSize(destination.c_str()) != bytes) {
        std::printf("bench_copy: copyListFile failed in the responsiveness run\n");
        allOk = false;
    }
    std::printf("\nanswer time of WM_GETTEXT to %d from another thread, every 2 ms (goal: 99th < 10 ms):\n", IDC_PERCENT);
    std::printf("  idle page       median %.3f ms  99th %.3f ms  max %.3f ms  (%zu answers, %d timeouts)\n",
                idle.medianMs, idle.p99Ms, idle.maxMs, idle.samples, idle.timeouts);
    std::printf("  during copy     median %.3f ms  99th %.3f ms  max %.3f ms  (%zu answers, %d timeouts, copy %.1f MB/s)\n",
                busy.medianMs, busy.p99Ms, busy.maxMs, busy.samples, busy.timeouts, mb / copySeconds);

    DeleteFileA(destination.c_str());
    DeleteFileA(source.c_str());
    g_pages.progress = nullptr;
    DestroyWindow(page);
    return allOk ? 0 : 1;
}
